#include "app/core/KESTPlane.h"
#include "app/tests/map/MapTestSupport.h"
#include "app/view-controllers/cockpit/KESTCockpitViewController.h"
#include "graphics/CADisplayLink.h"
#include "graphics/CALayer.h"
#include "mapkit/MKMapCamera.h"
#include "mapkit/MKMapView.h"
#include "testing/HostedWindow.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

namespace {

Ref<KESTPlane> planeAt(double altitude, double heading)
{
    return KESTPlane::initWithAdshexAndInfo("400abc",
        Value::array({ "B738", "LHR-JFK", "G-STBA", "BAW117", 51.5, -0.5, altitude, heading, 0, 1388534400.0, "1234", 0,
            "BA117" }));
}

TEST(KESTCockpitViewController, SeesTheGroundFromAnAltitudeAboveThePlane)
{
    struct Case {
        double feet;
        double metres;
    };
    for (const auto& c : { Case { 0, 762 }, Case { 2499, 762 }, Case { 2500, 6858 }, Case { 35000, 16764 } }) {
        SCOPED_TRACE(c.feet);
        EXPECT_DOUBLE_EQ(KESTCockpitViewController::eyeAltitudeForAltitude(c.feet), c.metres);
    }
    // The tilt is the 80-degree rotation followed by the fixed perspective.
    CATransform3D t = KESTCockpitViewController::perspectiveTransform();
    CATransform3D tilt = CATransform3DMakeRotation(1.3962634f, 1, 0, 0);
    EXPECT_NEAR(t.m44,
        tilt.m41 * 0.00049241405f + tilt.m42 * 0.0007582511f + tilt.m43 * -9.502584f + tilt.m44 * 0.58586735f, 1e-5);
    EXPECT_NEAR(t.m11, -0.83867055f, 1e-6);
    EXPECT_NEAR(t.m21, tilt.m22 * 0.54463905f + tilt.m23 * 0.0f, 1e-6);
}

TEST(KESTCockpitViewController, FollowsThePlaneUntilItDisappears)
{
    MapTestScope scope;
    HostedWindow host;
    auto root = host.root();

    auto plane = planeAt(35000, 90);
    auto cockpit = KESTCockpitViewController::initWithPlane(plane);
    EXPECT_EQ(cockpit->title(), "Cockpit View");
    ASSERT_TRUE(cockpit->displayLink());
    root->presentViewControllerAnimatedCompletion(cockpit, false, nullptr);
    drainAll();
    auto map = cockpit->mapView();
    ASSERT_TRUE(map);
    EXPECT_EQ(map->mapType(), MKMapTypeSatellite);
    EXPECT_FALSE(map->isRotateEnabled());
    EXPECT_FALSE(map->isPitchEnabled());
    EXPECT_TRUE(
        CATransform3DEqualToTransform(map->layer()->transform(), KESTCockpitViewController::perspectiveTransform()));
    EXPECT_NEAR(map->camera()->heading(), 90, 1e-6);
    EXPECT_NEAR(map->camera()->altitude(), 16764, 1);

    // Each frame takes the plane's new state.
    plane->updateInfo(Value::array(
        { "B738", "LHR-JFK", "G-STBA", "BAW117", 51.5, -0.5, 1000, 180, 0, 1388534400.0, "1234", 0, "BA117" }));
    scope.clock().advance(1.0 / 60);
    drainAll();
    EXPECT_NEAR(map->camera()->heading(), 180, 1e-6);
    EXPECT_NEAR(map->camera()->altitude(), 762, 1);

    // Once gone, the screen stops following for good.
    root->dismissViewControllerAnimatedCompletion(false, nullptr);
    drainAll();
    EXPECT_FALSE(cockpit->displayLink());
    plane->updateInfo(Value::array(
        { "B738", "LHR-JFK", "G-STBA", "BAW117", 51.5, -0.5, 1000, 270, 0, 1388534400.0, "1234", 0, "BA117" }));
    scope.clock().advance(1.0);
    drainAll();
    EXPECT_NEAR(map->camera()->heading(), 180, 1e-6);
}

} // namespace
