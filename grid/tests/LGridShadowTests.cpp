#include "grid/LGridShadow.h"

#include "foundation/NSString.h"
#include "graphics/CGImage.h"
#include "testing/LogCapture.h"
#include "uikit/UIView.h"

#include <gtest/gtest.h>

TEST(LGridShadow, FitsTheStripAlongEachSide)
{
    struct Case {
        int32_t side;
        CGSize owner;
        CGPoint centre;
        CGSize size;
        UIImageOrientation orientation;
    };
    const Case cases[] = {
        { 0, CGSizeMake(80, 30), CGPointMake(40, -7.5f), CGSizeMake(80, 15), UIImageOrientationRight },
        { 1, CGSizeMake(80, 30), CGPointMake(40, 37.5f), CGSizeMake(80, 15), UIImageOrientationLeft },
        { 2, CGSizeMake(80, 30), CGPointMake(-7.5f, 15), CGSizeMake(15, 30), UIImageOrientationUp },
        { 3, CGSizeMake(80, 30), CGPointMake(87.5f, 14.5f), CGSizeMake(15, 30), UIImageOrientationDown },
        // Half of 31 is 15.5, which rounds up to 16.
        { 3, CGSizeMake(80, 31), CGPointMake(87.5f, 15.5f), CGSizeMake(15, 31), UIImageOrientationDown },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(NSString::stringWithFormat("side %d, height %f", c.side, c.owner.height));
        auto owner = UIView::initWithFrame(CGRectMake(5, 5, c.owner.width, c.owner.height));
        auto shadow = LGridShadow::init();
        shadow->addToView(owner);
        shadow->attachOnSide(c.side);
        EXPECT_FALSE(owner->clipsToBounds());
        EXPECT_EQ(shadow->center().x, c.centre.x);
        EXPECT_EQ(shadow->center().y, c.centre.y);
        EXPECT_EQ(shadow->bounds().size.width, c.size.width);
        EXPECT_EQ(shadow->bounds().size.height, c.size.height);
        ASSERT_TRUE(shadow->image());
        EXPECT_EQ(shadow->image()->imageOrientation(), c.orientation);
    }
}

TEST(LGridShadow, KeepsItsImageWhileTheSideStays)
{
    auto owner = UIView::initWithFrame(CGRectMake(0, 0, 60, 30));
    auto shadow = LGridShadow::init();
    shadow->addToView(owner);
    shadow->attachOnSide(0);
    auto first = shadow->image();
    owner->setFrame(CGRectMake(0, 0, 90, 40));
    shadow->attachOnSide(0);
    EXPECT_EQ(shadow->image(), first);
    EXPECT_EQ(shadow->bounds().size.width, 90);
    shadow->attachOnSide(1);
    EXPECT_NE(shadow->image(), first);

    // Every shadow draws the same strip: black, alpha rising towards its dark end.
    const CGImageRef& strip = first->CGImage();
    ASSERT_EQ(strip->width(), 15u);
    ASSERT_EQ(strip->height(), 1u);
    const uint8_t alphas[] = { 2, 7, 14, 21, 28, 37, 45, 54, 63, 71, 79, 86, 93, 102, 96 };
    for (size_t x = 0; x < 15; ++x) {
        SCOPED_TRACE(x);
        uint8_t rgba[4];
        strip->format().readPremultiplied(strip->bytes(), x, rgba);
        EXPECT_EQ(rgba[0] | rgba[1] | rgba[2], 0);
        EXPECT_EQ(rgba[3], alphas[x]);
    }
}

TEST(LGridShadow, RefusesUnknownSidesAndMissingOwners)
{
    LogCapture log;
    auto shadow = LGridShadow::init();
    shadow->attachOnSide(0);
    auto owner = UIView::initWithFrame(CGRectMake(0, 0, 60, 30));
    owner->setClipsToBounds(true);
    shadow->addToView(owner);
    shadow->attachOnSide(4);
    shadow->attachOnSide(-1);
    EXPECT_FALSE(shadow->image());
    EXPECT_TRUE(owner->clipsToBounds());
    EXPECT_EQ(log.messages().size(), 3u);
    EXPECT_FALSE(shadow->createImageOnSide(7));
}
