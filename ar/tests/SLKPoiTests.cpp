#include "ar/tests/ARTestSupport.h"

#include "location/CMDeviceMotion.h"
#include "uikit/UIWindow.h"

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

// The device upright, facing north, turned clockwise in the plane of its screen by 15 to 60
// degrees. The overlay turns the other way to keep the labels level, so a label must still come
// to rest on screen exactly where its object appears in the camera picture.
TEST(SLKPoi, LabelsOfARolledDeviceLandOverTheirObjects)
{
    ARTestScope scope;
    UIApplicationHost::resetForTesting();
    {
        auto attitude = SNRSensorManager::sharedSensorManager()->deviceAttitude();
        auto window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        window->makeKeyAndVisible();
        auto controller = SLKViewController::init();
        auto view = SLKView::initWithFrame(window->bounds());
        view->setArViewController(controller);
        window->addSubview(view);
        auto poi = SLKPoi::initWithImageAtLocation("none", CLLocation::initWithLatitudeLongitude(50.01, 8));

        // The iPad's back camera: 35 degrees, on a 768 x 1024 portrait screen.
        const double c = 1 / std::tan(17.5 * M_PI / 180);
        const double aspect = 768.0 / 1024.0;
        const double distance = 5000;
        struct Case {
            double roll, bearing;
        };
        const Case cases[] = { { 15, 5 }, { 20, -6 }, { 30, 5 }, { 45, -4 }, { 60, 3 } };
        for (const auto& k : cases) {
            SCOPED_TRACE(testing::Message() << "roll " << k.roll << ", bearing " << k.bearing);
            double rho = k.roll * M_PI / 180, beta = k.bearing * M_PI / 180;
            // Device axes in the north, west, up frame: right is east tipped down, up is up tipped
            // east, the screen's normal points south.
            CMRotationMatrix m { 0, -std::cos(rho), -std::sin(rho), 0, -std::sin(rho), std::cos(rho), -1, 0, 0 };
            attitude->setMotionFromCMMotion(
                CMDeviceMotion::initWithAttitude(CMAttitude::initWithRotationMatrix(m), { 0, 0, 0 }, 0));
            view->updateView(nullptr);
            // The world position holds the device as seen from the object: north, west, up.
            poi->worldPosition() = { static_cast<float>(-distance * std::cos(beta)),
                static_cast<float>(distance * std::sin(beta)), 0, 1 };
            poi->renderInView(view);
            ASSERT_TRUE(poi->addedToView());

            // The object in device axes: x = d sin(b) cos(r), y = d sin(b) sin(r), z = -d cos(b);
            // projected: X = (c / aspect) x / -z, Y = c y / -z; on screen (384 + 384 X, 512 - 512 Y).
            double X = c / aspect * std::tan(beta) * std::cos(rho);
            double Y = c * std::tan(beta) * std::sin(rho);
            CGPoint onScreen = view->convertPointToView(poi->labelView()->center(), nullptr);
            EXPECT_NEAR(onScreen.x, 384 + 384 * X, 0.5);
            EXPECT_NEAR(onScreen.y, 512 - 512 * Y, 0.5);
        }
        poi->removedFromARController();
        window = nullptr;
        drainAll();
    }
    UIApplicationHost::resetForTesting();
}
