#include "app/demo/KESTDemoRun.h"

#include "app/categories/MKMapView+ZoomLevel.h"
#include "app/core/KESTAuthManager.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTSettingsManager.h"
#include "app/demo/KESTDemoFilterScreens.h"
#include "app/demo/KESTDetailScreensDemo.h"
#include "app/demo/KESTFlightGraphDemo.h"
#include "app/demo/KESTListScreenDemo.h"
#include "app/view-controllers/intro/KESTIntroViewController.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "ar/SNRSensorManager.h"
#include "location/LocationSimulator.h"
#include "mapkit/MKMapView.h"
#include "sdk/HBRFeedbackManager.h"
#include "sdk/HBRHarborManager.h"
#include "sdk/HBRUpdateManager.h"
#include "sdk/HBRUpdateViewController.h"
#include "uikit/UIApplication.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIButton.h"
#include "uikit/UIPopoverController.h"
#include "uikit/UIWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace KESTDemoRun {

namespace {

using WriteFunction = std::function<bool(const std::string&)>;
using RunFunction = std::function<void(double)>;

Ref<KESTAppleMapViewController> mapScreen()
{
    return std::dynamic_pointer_cast<KESTAppleMapViewController>(
        KESTMapController::sharedInstance()->mapViewController());
}

// The airborne live plane on the shown map nearest its centre (any plane when none flies).
Ref<KESTPlane> planeNearestCenter()
{
    auto facade = KESTMapController::sharedInstance();
    CLLocationCoordinate2D center = facade->centerCoordinate();
    Ref<KESTPlane> nearest;
    double best = std::numeric_limits<double>::max();
    for (const auto& annotation : facade->customAnnotations()) {
        auto plane = std::dynamic_pointer_cast<KESTPlane>(annotation);
        if (!plane)
            continue;
        KESTLocation at = plane->coordinate();
        double d = std::hypot(at.latitude - center.latitude, at.longitude - center.longitude);
        // Planes on the ground count as far away, so a flying plane with a path is preferred.
        if (plane->altitude() < 3000)
            d += 1000;
        if (d < best) {
            best = d;
            nearest = plane;
        }
    }
    return nearest;
}

// A first run shows the tour over the map; the screens written are of the map, so the run goes
// past the tour as a user would, with a tap on its "Jump in" button.
void passFirstRunTour(const Ref<UIApplication>& app, const RunFunction& run)
{
    auto window = app->keyWindow();
    auto root = window ? window->rootViewController() : nullptr;
    if (!root)
        return;
    for (const auto& child : root->childViewControllers()) {
        auto intro = std::dynamic_pointer_cast<KESTIntroViewController>(child);
        if (!intro || !intro->isViewLoaded() || !intro->view()->superview() || !intro->jumpInButton())
            continue;
        auto button = intro->jumpInButton();
        CGRect bounds = button->bounds();
        UIApplicationHost::tap(
            button->convertPointToView(CGPointMake(CGRectGetMidX(bounds), CGRectGetMidY(bounds)), nullptr));
        run(2);
    }
}

// Modal screens are presented by the screen that defines the context, which may be one of the
// map screen's containers: dismisses from the first one that presents something.
void dismissPresented(const Ref<KESTAppleMapViewController>& screen, const RunFunction& run)
{
    for (auto presenter = Ref<UIViewController>(screen); presenter; presenter = presenter->parentViewController()) {
        if (presenter->presentedViewController()) {
            presenter->dismissViewControllerAnimatedCompletion(false, nullptr);
            break;
        }
    }
    run(1);
}

// Writes the screens of the menu, the settings, the login form and the other apps, each opened
// from the map screen as a user would and closed again.
bool writeMenuScreens(const Ref<KESTAppleMapViewController>& screen, const WriteFunction& write, const RunFunction& run)
{
    bool ok = true;
    auto closePopover = [&] {
        if (auto popover = screen->poc())
            popover->dismissPopoverAnimated(false);
        run(1);
    };
    if (auto item = screen->menuBarButtonItem())
        screen->showMenu(item->customView());
    run(2);
    ok = write("menu.png") && ok;
    closePopover();
    screen->showSettings(nullptr);
    run(2);
    ok = write("settings.png") && ok;
    closePopover();
    KESTAuthManager::sharedInstance()->presentLoginInControllerCompletionFailure(screen, nullptr, nullptr);
    run(2);
    ok = write("account.png") && ok;
    dismissPresented(screen, run);
    screen->showKESTApps();
    run(3);
    ok = write("apps.png") && ok;
    dismissPresented(screen, run);
    return ok;
}

// The kit's feedback thread, after a message with a link went to the service and came back,
// and its update screen with the service's versions.
bool writeKitScreens(const Ref<KESTAppleMapViewController>& screen, const std::string& serviceURL,
    const WriteFunction& write, const RunFunction& run)
{
    bool ok = true;
    auto harbor = HBRHarborManager::sharedHarborManager();
    auto feedback = harbor->feedbackManager();
    auto updates = harbor->updateManager();
    if (!feedback || !updates) {
        std::fprintf(stderr, "volantrix: the kit's feedback and update components are not running\n");
        return false;
    }
    feedback->setServerURL(serviceURL);
    updates->setServerURL(serviceURL);
    feedback->setUserName(std::string("Demo Pilot"));
    // The answer is shown in the thread rather than announced.
    feedback->setShowAlertOnIncomingMessages(false);
    feedback->submitMessageWithText(
        "The departures board at Heathrow lags behind. Details: https://volantrix.example/help/boards");
    run(3);
    feedback->updateMessagesList();
    run(2);
    feedback->showFeedbackListView();
    run(3);
    ok = write("feedback.png") && ok;
    dismissPresented(screen, run);
    feedback->setCurrentFeedbackListViewController(nullptr);
    updates->checkForUpdate();
    run(3);
    updates->showUpdateView();
    run(3);
    // Both versions: the newer one and, revealed, the installed one.
    if (auto updateScreen
        = std::dynamic_pointer_cast<HBRUpdateViewController>(updates->currentHarborViewController())) {
        updateScreen->showPreviousVersionAction();
        run(2);
    }
    ok = write("update.png") && ok;
    dismissPresented(screen, run);
    return ok;
}

// The compass bearing, in 30-degree steps, at which the most live planes fly within `range`
// metres of the position.
double bearingOfDensestTraffic(CLLocationCoordinate2D position, double range)
{
    int counts[12] = {};
    auto device = CLLocation::initWithLatitudeLongitude(position.latitude, position.longitude);
    for (const auto& plane : KESTLiveDataManager::sharedInstance()->planeArray()) {
        auto location = CLLocation::initWithLatitudeLongitude(plane->lat(), plane->lon());
        if (location->distanceFromLocation(device) > range)
            continue;
        double bearing = SNRSensorManager::bearingTowardsLocationTo(device, location);
        counts[static_cast<int>(std::fmod(bearing + 15, 360) / 30) % 12]++;
    }
    int best = static_cast<int>(std::max_element(std::begin(counts), std::end(counts)) - std::begin(counts));
    return best * 30.0;
}

// The attitude's yaw (radians) that turns a device held upright (pitched up 90 degrees) so its
// back camera looks along the compass bearing. The yaw turns counter-clockwise seen from above
// in the reference frame of north, west and up, and the camera looks out of the screen's back:
// at yaw 0 it faces west, at -90 degrees north and at +90 south, so a bearing b takes -(b + 90).
double uprightYawFacing(double bearing)
{
    return std::remainder(-(bearing + 90), 360) * M_PI / 180;
}

// Opens the AR screen as the map's AR button does, with the simulated device at the position,
// held upright and turned towards the densest traffic, over the simulated camera.
bool writeARScreen(const Screens& screens, const Ref<KESTAppleMapViewController>& screen, const WriteFunction& write,
    const RunFunction& run)
{
    CLLocationCoordinate2D position = screen->mapView()->centerCoordinate();
    if (screens.center)
        position = CLLocationCoordinate2DMake(screens.center->first, screens.center->second);
    double range = KESTSettingsManager::sharedInstance()->realARRange() * 1000.0;
    double bearing = bearingOfDensestTraffic(position, range);
    auto& sensors = LocationSimulator::shared();
    sensors.setCoordinate(position, 0, 5);
    sensors.setHeadingDegrees(bearing, bearing, 5);
    sensors.setAttitude(0, M_PI / 2, uprightYawFacing(bearing));
    screen->showAR();
    run(3);
    bool written = write("ar.png");
    dismissPresented(screen, run);
    return written;
}

} // namespace

bool writeScreens(
    const Ref<UIApplication>& app, const Screens& screens, const WriteFunction& write, const RunFunction& run)
{
    bool ok = true;
    if (screens.intro)
        ok = write("intro.png") && ok;
    passFirstRunTour(app, run);
    ok = write("map.png") && ok;

    auto screen = mapScreen();
    if (screens.selectPlane && screen) {
        if (auto plane = planeNearestCenter()) {
            screen->selectAnnotationMakeVisible(std::static_pointer_cast<KESTAnnotation>(plane), true);
            run(3);
            screen->showDetailScreenForAnnotation(plane);
            run(3);
            ok = write("selected.png") && ok;
            if (auto popover = screen->mapViewPOC()) {
                popover->dismissPopoverAnimated(false);
                screen->popoverControllerDidDismissPopover(popover);
            }
            screen->mapView()->setSelectedAnnotations({});
            screen->deselectAnnotation(plane);
        } else {
            std::fprintf(stderr, "volantrix: no plane on the map to select\n");
            ok = false;
        }
    }
    if (screens.detailScreens && screen) {
        auto plane = planeNearestCenter();
        bool written = plane && KESTDetailScreensDemo::writeAll(screen, plane, write, run);
        if (!written)
            std::fprintf(stderr, "volantrix: the detail screens were not all written\n");
        ok = written && ok;
    }
    if (screens.graphScreens && screen) {
        auto plane = planeNearestCenter();
        ok = plane && KESTFlightGraphDemo::write(screen, plane, write, run) && ok;
    }
    if (screens.menuScreens && screen)
        ok = writeMenuScreens(screen, write, run) && ok;
    if (screens.zoomedView && screen) {
        CLLocationCoordinate2D center = screen->mapView()->centerCoordinate();
        MKMapView_ZoomLevel::setCenterCoordinateZoomLevelAnimated(screen->mapView(), center, 9, false);
        run(4);
        ok = write("zoomed.png") && ok;
    }
    if (screens.listScreen && screen)
        ok = KESTListScreenDemo::write(screen, write, run) && ok;
    // Before the filter screens, which leave a saved filter active.
    if (screens.arView && screen)
        ok = writeARScreen(screens, screen, write, run) && ok;
    if (screens.filterScreens && screen)
        ok = writeFilterAndAlertScreens(screen, run, write) && ok;
    if (screens.kitScreens && screen)
        ok = writeKitScreens(screen, screens.serviceURL, write, run) && ok;
    return ok;
}

} // namespace KESTDemoRun
