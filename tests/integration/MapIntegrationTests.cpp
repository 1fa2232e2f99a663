#include "app/application/KESTAppDelegate.h"
#include "app/categories/MKMapView+ZoomLevel.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTSettingsManager.h"
#include "app/overlays/KESTFlightPathOverlay.h"
#include "app/tests/map/MapTestSupport.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "app/view-controllers/map/KESTMapAnnotation.h"
#include "app/view-controllers/map/KESTMapContainerViewController.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "mapkit/MKMapView.h"
#include "servicesim/ServiceSimulator.h"
#include "testing/Drain.h"
#include "testing/HostedWindow.h"
#include "testing/VirtualClock.h"
#include "tests/integration/AppLaunch.h"
#include "tests/integration/ServiceSimScope.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

size_t planesOnMap()
{
    size_t count = 0;
    for (const auto& annotation : KESTMapController::sharedInstance()->customAnnotations())
        count += annotation->isKindOfClass(KESTPlane::classObject());
    return count;
}

} // namespace

// The application launches into the map, polls the simulated service over loopback, shows the
// planes in view within the marker budget, and selects and deselects a plane with its path.
TEST(MapIntegration, LaunchPollSelectAndDeselect)
{
    HostedWindow host(HostedWindow::Window::None);
    resetAppSingletonsForTesting();

    auto options = heathrowTraffic(11, 6000);
    ServiceSimScope services(options);
    ASSERT_TRUE(services.started());

    // Launch: the window's root is the map container with the MapKit map screen in it.
    auto app = launchOntoTheMap();
    ASSERT_TRUE(app.screen);
    auto container = app.container;
    auto screen = app.screen;
    auto facade = KESTMapController::sharedInstance();
    EXPECT_EQ(facade->mapView(), screen->mapView());
    EXPECT_GT(screen->mapView()->bounds().size.width, 0);

    // Looking at the busy area around the hotspot: the budget holds the markers to 250 (plus the
    // overflow of its grid cells) while many more planes are in view.
    MKMapView_ZoomLevel::setCenterCoordinateZoomLevelAnimated(screen->mapView(), { 51.47, -0.45 }, 5, false);
    drainAll();
    host.clock().advance(1);
    drainAll();
    auto feed = KESTLiveDataManager::sharedInstance();
    ASSERT_GT(feed->planeArray().size(), 1000u);
    size_t shown = planesOnMap();
    EXPECT_GT(shown, 100u);
    EXPECT_LE(shown, 250u + 36u * 2);
    auto count = screen->mapLabelView()->count();
    ASSERT_TRUE(count);
    EXPECT_NE(count->find(" of " + std::to_string(feed->planeArray().size()) + " visible"), std::string::npos)
        << *count;

    // Zoomed in, few planes are in view: within the detail threshold, markers move.
    MKMapView_ZoomLevel::setCenterCoordinateZoomLevelAnimated(screen->mapView(), { 51.47, -0.45 }, 10, false);
    host.clock().advance(1);
    drainAll();
    EXPECT_TRUE(screen->mapWithinZoomThreshold());
    EXPECT_TRUE(screen->displayLink());

    // A delta poll after the map moved keeps the feed going.
    size_t requestsBefore = services.sim().requests().size();
    host.clock().advance(16);
    drainAll();
    EXPECT_GT(services.sim().requests().size(), requestsBefore);

    // Select a plane on the map: it is centred, its callout opens and its flight path arrives.
    auto planes = facade->customAnnotations();
    Ref<KESTPlane> plane;
    for (const auto& annotation : planes) {
        if ((plane = std::dynamic_pointer_cast<KESTPlane>(annotation)))
            break;
    }
    ASSERT_TRUE(plane);
    KESTSettingsManager::sharedInstance()->setShowFlightPaths(true);
    screen->selectAnnotationMakeVisible(std::static_pointer_cast<KESTAnnotation>(plane), true);
    drainAll();
    EXPECT_EQ(screen->selectedMarker(), plane);
    ASSERT_EQ(screen->mapView()->selectedAnnotations().size(), 1u);
    EXPECT_EQ(KESTMapAnnotation::annotationOf(screen->mapView()->selectedAnnotations()[0]), plane);
    ASSERT_TRUE(screen->activeFlightPath());
    auto overlays = screen->mapView()->overlays();
    EXPECT_EQ(std::count(overlays.begin(), overlays.end(), screen->activeFlightPath()), 1);

    // Deselecting on the map removes the selection and its path.
    screen->mapView()->deselectAnnotationAnimated(KESTMapAnnotation::forAnnotation(plane), false);
    drainAll();
    EXPECT_FALSE(screen->selectedMarker());
    EXPECT_FALSE(screen->activeFlightPath());
    for (const auto& overlay : screen->mapView()->overlays())
        EXPECT_FALSE(std::dynamic_pointer_cast<KESTFlightPathOverlay>(overlay));

    UIApplicationHost::terminate();
    container->teardownVisibleMapController();
    feed->invalidateTimers();
    drainAll();
}
