#include "ar/tests/ARTestSupport.h"

namespace {

struct Fixture {
    ARTestScope scope;
    Ref<UIView> host = UIView::initWithFrame(CGRectMake(0, 0, 768, 1024));
    Ref<SLKRadarView> radar = SLKRadarView::init();
    Fixture() { host->addSubview(radar); }
};

} // namespace

TEST(SLKRadarView, ThumbnailCornersAndSizes)
{
    Fixture f;
    EXPECT_EQ(f.radar->radarMode(), 0);
    f.radar->setHidden(true);
    struct Case {
        int32_t corner;
        CGRect expected;
    };
    const Case cases[] = {
        { 0, CGRectMake(5, 5 + 44, 128, 128) },
        { 1, CGRectMake(768 - 5 - 128, 5 + 44, 128, 128) },
        { 2, CGRectMake(5, 1024 - 5 - 128 - 32, 128, 128) },
        { 3, CGRectMake(768 - 5 - 128, 1024 - 5 - 128 - 32, 128, 128) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.corner);
        f.radar->setRadarToThumbnailWithAdditionalOffset(c.corner, CGRectMake(0, 44, 0, 32));
        EXPECT_TRUE(CGRectEqualToRect(f.radar->frame(), c.expected));
        EXPECT_FALSE(f.radar->animatesRadius());
    }
    EXPECT_FLOAT_EQ(f.radar->radarRadius(), 56);
    // Unknown corners change nothing.
    f.radar->setRadarToThumbnail(4);
    f.radar->setRadarToThumbnail(-1);
    EXPECT_TRUE(CGRectEqualToRect(f.radar->frame(), cases[3].expected));
    // A negative size yields an empty frame moved up and left.
    f.radar->setRadarToThumbnailWithSize(CGPointMake(20, 20), -10);
    EXPECT_TRUE(CGRectEqualToRect(f.radar->frame(), CGRectMake(10, 10, 0, 0)));
    f.radar->setRadarToThumbnailWithSize(CGPointMake(10, 10), 256);
    EXPECT_FLOAT_EQ(f.radar->radarRadius(), 120);
}

TEST(SLKRadarView, FullscreenAnimatesAChangedSize)
{
    Fixture f;
    f.radar->setHidden(true);
    f.radar->setRadarToThumbnail();
    f.radar->setHidden(false);
    f.radar->setRadarToFullscreen();
    EXPECT_EQ(f.radar->radarMode(), 2);
    EXPECT_TRUE(f.radar->animatesRadius());
    EXPECT_TRUE(CGRectEqualToRect(f.radar->radarRect(), CGRectMake(0, 128, 768, 768)));
    f.scope.clock().advance(0.6);
    drainAll();
    EXPECT_FALSE(f.radar->animatesRadius());
    // The same size again does not animate the radius.
    f.radar->setRadarToFullscreen();
    EXPECT_FALSE(f.radar->animatesRadius());
}

TEST(SLKRadarView, ShowAndHide)
{
    Fixture f;
    f.radar->showRadar();
    EXPECT_EQ(f.radar->radarMode(), 2);
    EXPECT_TRUE(f.radar->isRadarVisible());
    f.radar->hideRadar();
    EXPECT_TRUE(f.radar->isRadarVisible());
    f.scope.clock().advance(0.6);
    drainAll();
    EXPECT_FALSE(f.radar->isRadarVisible());
    // Hiding a radar that is not meant to be visible does nothing.
    f.radar->hideRadar();
    EXPECT_FALSE(f.radar->isRadarVisible());
}

TEST(SLKRadarView, FramesDrawTheVisibleObjectsFifteenTimesASecond)
{
    Fixture f;
    SNRSensorManager::sharedSensorManager()->deviceAttitude()->setLocationFromCLLocation(
        CLLocation::initWithLatitudeLongitude(50, 8));
    auto controller = SLKController::sharedARController();
    auto shown = SLKPoi::initWithImageAtLocation("dot", CLLocation::initWithLatitudeLongitude(50.01, 8));
    auto hidden = SLKPoi::initWithImageAtLocation("dot", CLLocation::initWithLatitudeLongitude(50.02, 8));
    controller->addObject(shown);
    controller->addObject(hidden);
    hidden->setHidden(true);
    f.radar->showRadar();
    f.radar->start();
    f.radar->start();
    f.scope.clock().advance(static_cast<double>(1.0f / 15.0f));
    EXPECT_FALSE(f.radar->isHidden());
    EXPECT_EQ(f.radar->renderID(), 1);
    EXPECT_TRUE(shown->addedToRadar());
    EXPECT_EQ(shown->radarView()->superview(), f.radar->containerView());
    // A radar that may not show hides itself.
    f.radar->setCanBeVisible(false);
    f.scope.clock().advance(static_cast<double>(1.0f / 15.0f));
    EXPECT_TRUE(f.radar->isHidden());
    f.radar->stop();
    EXPECT_FALSE(SLKRadarView::activeView());
}
