#include "ar/tests/ARTestSupport.h"

#include "location/CMDeviceMotion.h"

namespace {

struct Fixture {
    ARTestScope scope;
    Ref<SNRDeviceAttitude> attitude;
    Fixture()
    {
        attitude = SNRSensorManager::sharedSensorManager()->deviceAttitude();
        attitude->setLocationFromCLLocation(CLLocation::initWithLatitudeLongitude(50, 8));
    }
    // Lying flat, unturned: the attitude matrix is the identity.
    void holdFlat()
    {
        attitude->setMotionFromCMMotion(
            CMDeviceMotion::initWithAttitude(CMAttitude::initWithRollPitchYaw(0, 0, 0), { 0, 0, 0 }, 0));
    }
};

} // namespace

TEST(SLKPoi, PlacementFromTheDevicePosition)
{
    Fixture f;
    auto poi = SLKPoi::initAtLocation(CLLocation::initWithLatitudeLongitude(50.01, 8));
    poi->updateLocation();
    // The world position carries north in x and minus east in y; the object is north of the
    // device, so the device lies south of it.
    EXPECT_NEAR(poi->worldPosition().x, -1112.0, 2.0);
    EXPECT_NEAR(poi->worldPosition().y, 0, 0.5);
    EXPECT_EQ(poi->worldPosition().z, 0);
    EXPECT_EQ(poi->worldPosition().w, 1);
    EXPECT_NEAR(poi->angleToUser(), 180, 1e-3);
    EXPECT_NEAR(poi->distanceToCamera(), 1112.0, 2.0);
    EXPECT_FLOAT_EQ(poi->distanceToUser(),
        static_cast<float>(CLLocation::initWithLatitudeLongitude(50.01, 8)->distanceFromLocation(
            CLLocation::initWithLatitudeLongitude(50, 8))));
}

TEST(SLKPoi, WithoutADevicePositionTheDistanceIsZero)
{
    ARTestScope scope;
    auto poi = SLKPoi::initAtLocation(CLLocation::initWithLatitudeLongitude(50.01, 8));
    poi->updateLocation();
    EXPECT_EQ(poi->distanceToUser(), 0);
    LogCapture log;
    EXPECT_FALSE(SLKPoi::initAtLocation(nullptr));
    EXPECT_TRUE(log.contains("location == nil, cannot create SLKPoi"));
}

TEST(SLKPoi, ProjectsThroughTheCameraMatrixAsComputedByHand)
{
    Fixture f;
    f.holdFlat();
    auto view = SLKView::initWithFrame(CGRectMake(0, 0, 768, 1024));
    view->updateView(nullptr);
    auto poi = SLKPoi::initWithImageAtLocation("none", CLLocation::initWithLatitudeLongitude(50.01, 8));
    poi->worldPosition() = { 100, 50, 1000, 1 };
    // fov 35 degrees, aspect 768/1024: c = 1/tan(17.5) = 3.1715948, x scale c/0.75 = 4.2287931.
    // Clip w = -z = -1000, clip z = -(n + f)/(f - n) * 1000 - 2fn/(f - n) < 0: in front.
    // X = -0.42287931, Y = -0.15857974; relative (0.28856035, 0.42071013); centre
    // (768 * 0.28856035, 1024 * (1 - 0.42071013)).
    poi->renderInView(view);
    EXPECT_TRUE(poi->stacked());
    EXPECT_TRUE(poi->addedToView());
    EXPECT_NEAR(poi->relativeScreenPosition().x, 0.28856035, 1e-5);
    EXPECT_NEAR(poi->relativeScreenPosition().y, 0.42071013, 1e-5);
    EXPECT_NEAR(poi->labelView()->center().x, 221.6143, 0.01);
    EXPECT_NEAR(poi->labelView()->center().y, 593.1928, 0.01);

    // Behind the camera (z of 0 included) it is not shown and leaves the view.
    poi->worldPosition() = { 100, 50, -1000, 1 };
    poi->renderInView(view);
    EXPECT_FALSE(poi->addedToView());
    EXPECT_FALSE(poi->stacked());
    EXPECT_TRUE(poi->clippedByViewport());
}

TEST(SLKPoi, RelativeViewportEdges)
{
    Fixture f;
    f.holdFlat();
    auto view = SLKView::initWithFrame(CGRectMake(0, 0, 768, 1024));
    view->updateView(nullptr);
    auto poi = SLKPoi::init();
    struct Case {
        float relativeX;
        bool inside;
    };
    // relative x = (X + 1) / 2, so X = 2 * relative - 1.
    const Case cases[] = { { -0.2499f, true }, { 1.2499f, true }, { 1.2501f, false }, { -0.2501f, false } };
    const SNRMatrix4x4& camera = *view->perspectiveCameraMatrix();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.relativeX);
        float X = 2 * c.relativeX - 1;
        // Clip w is -z: in front means positive z here.
        poi->worldPosition() = { -X * 1000 / camera[0], 0, 1000, 1 };
        EXPECT_EQ(poi->pointInView(view), c.inside);
    }
}

TEST(SLKPoi, RadarDotsSitInsideTheRim)
{
    Fixture f;
    f.holdFlat();
    auto radar = SLKRadarView::init();
    auto host = UIView::initWithFrame(CGRectMake(0, 0, 768, 1024));
    host->addSubview(radar);
    radar->setHidden(true);
    radar->setRadarToThumbnailWithSize(CGPointMake(5, 5), 128);
    radar->setRadarRange(1000);
    auto poi = SLKPoi::initWithImageAtLocation("none", CLLocation::initWithLatitudeLongitude(50.02, 8));
    poi->updateLocation();
    ASSERT_GT(poi->distanceToUser(), 2000);
    SNRVector3 gravity { 0, -1, 0 };
    SLKPoi::setDeviceGravity(&gravity);
    poi->renderInRadar(radar);
    EXPECT_TRUE(poi->addedToRadar());
    // Twice the range away: on the rim (radius 128 / 2 - 8 = 56), per axis clamped.
    CGPoint centre = poi->radarView()->center();
    float dx = centre.x - 64, dy = centre.y - 64;
    EXPECT_NEAR(std::hypot(dx, dy), 56, 0.5);
    EXPECT_LE(std::fabs(dx), 56.001f);
    EXPECT_LE(std::fabs(dy), 56.001f);
    // Held upright with an unturned radar, an object due north (the device south of it) is
    // drawn straight up from the centre.
    EXPECT_NEAR(dx, 0, 1e-3);
    EXPECT_NEAR(dy, -56, 1e-3);
}
