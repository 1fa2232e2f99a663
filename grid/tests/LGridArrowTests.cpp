#include "grid/LGridArrow.h"

#include "graphics/CGImage.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"
#include "grid/LGridGraphics.h"
#include "grid/LGridReorderArrow.h"
#include "grid/LGridViewTinter.h"
#include "grid/LatticeGridLog.h"
#include "grid/tests/GridTestSupport.h"

class LGridArrowTest : public GridTest { };
class LGridViewTinterTest : public GridTest { };

namespace {

// Premultiplied BGRA of one pixel.
std::array<uint8_t, 4> pixel(const Ref<UIImage>& image, size_t x, size_t y)
{
    auto bytes = image->CGImage()->nativeARGB();
    size_t at = (y * image->CGImage()->width() + x) * 4;
    return { bytes[at], bytes[at + 1], bytes[at + 2], bytes[at + 3] };
}

} // namespace

TEST(LGridGraphics, TheBuiltInArrowIsAGreyTriangleInTheRightHalf)
{
    auto image = LGridGraphics::reorderArrowImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->CGImage()->width(), 32u);
    EXPECT_EQ(image->CGImage()->height(), 32u);
    using Pixel = std::array<uint8_t, 4>;
    const Pixel grey { 202, 202, 202, 255 };
    const Pixel clear { 0, 0, 0, 0 };
    EXPECT_EQ(pixel(image, 8, 16), clear) << "the left half is transparent";
    EXPECT_EQ(pixel(image, 16, 0), grey) << "the flat side runs down the middle";
    EXPECT_EQ(pixel(image, 16, 31), grey);
    EXPECT_EQ(pixel(image, 30, 15), grey) << "the point reaches the right edge at mid-height";
    EXPECT_EQ(pixel(image, 30, 2), clear);
}

TEST(LGridGraphics, SortImageNamesAndBadOrders)
{
    EXPECT_EQ(LGridGraphics::imageNameForSortOrder(0), "44_no_sort.png");
    EXPECT_EQ(LGridGraphics::imageNameForSortOrder(1), "44_sort_up.png");
    EXPECT_EQ(LGridGraphics::imageNameForSortOrder(2), "44_sort_down.png");
    EXPECT_THROW(LGridGraphics::imageNameForSortOrder(3), NSException);
}

TEST_F(LGridArrowTest, ArrowsTurnTheBuiltInImageButNotTheirOwnAndPulseBackHome)
{
    const UIImageOrientation turned[]
        = { UIImageOrientationLeft, UIImageOrientationRight, UIImageOrientationDown, UIImageOrientationUp };
    auto own = LGridGraphics::reorderArrowImage();
    for (int32_t orientation = 0; orientation < 4; ++orientation) {
        SCOPED_TRACE(orientation);
        auto builtIn
            = LGridReorderArrow::initWithOrientationWithImageUserControlsOrientation(orientation, nullptr, false);
        EXPECT_EQ(builtIn->image()->imageOrientation(), turned[orientation]);
        EXPECT_EQ(builtIn->alpha(), 0) << "starts invisible";
        auto supplied = LGridReorderArrow::initWithOrientationWithImageUserControlsOrientation(orientation, own, true);
        EXPECT_EQ(supplied->image()->imageOrientation(), UIImageOrientationUp);
    }

    // On a cell of 90 x 60 the bottom arrow sits at the bottom middle and pulses up a third.
    auto cell = LGridCell::initWithReuseIdentifier("Cell");
    cell->setFrame(CGRectMake(0, 0, 90, 60));
    auto arrow = LGridReorderArrow::initWithOrientationWithImageUserControlsOrientation(1, nullptr, false);
    arrow->addToCell(cell);
    EXPECT_EQ(arrow->superview(), cell);
    EXPECT_EQ(arrow->frame().origin.x, 35);
    EXPECT_EQ(arrow->frame().origin.y, 40);
    CGPoint home = arrow->center();
    arrow->pulse();
    EXPECT_EQ(arrow->center().y, home.y - 20);
    m_clock.advance(0.5);
    EXPECT_EQ(arrow->center().x, home.x);
    EXPECT_EQ(arrow->center().y, home.y);

    // The base class does not know where it goes.
    auto base = LGridReorderArrow::initWithOrientationWithImageUserControlsOrientation(0, nullptr, false);
    EXPECT_THROW(base->LGridArrow::addToCell(cell), NSException);
}

TEST_F(LGridViewTinterTest, BandsCoverWhatLiesOutsideTheHighlightedBand)
{
    auto tinter = LGridViewTinter::init();
    auto host = UIView::initWithFrame(CGRectMake(0, 0, 300, 300));
    tinter->moveToView(host);
    tinter->setTintColor(nullptr);
    tinter->highlightYFromToInBounds(10, 50, CGRectMake(0, 10, 200, 300));
    EXPECT_EQ(tinter->tints()[0]->frame().size.height, 0) << "nothing above a band at the top";
    EXPECT_EQ(tinter->tints()[1]->frame().origin.y, 50);
    EXPECT_EQ(tinter->tints()[1]->frame().size.height, 250);
    m_clock.advance(0.3);
    EXPECT_FLOAT_EQ(tinter->tints()[0]->alpha(), 0.3f);
    EXPECT_FALSE(tinter->tintColor()) << "shown, but without a colour it shows nothing";

    tinter->highlightXFromToInBounds(40, 90, CGRectMake(0, 0, 200, 100));
    EXPECT_EQ(tinter->tints()[0]->frame().size.width, 40);
    EXPECT_EQ(tinter->tints()[1]->frame().origin.x, 90);
    EXPECT_EQ(tinter->tints()[1]->frame().size.width, 110);
    tinter->hide();
    m_clock.advance(0.3);
    EXPECT_EQ(tinter->tints()[1]->alpha(), 0);
    EXPECT_FALSE(tinter->tints()[1]->isHidden());
}
