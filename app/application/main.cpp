// volantrix: runs the application headless against the flight-data service.
//
//   volantrix [--service-url URL] [--seconds N] [--center LAT,LON] [--zoom LEVEL]
//             [--png-dir DIR] [--select-plane] [--zoomed-view] [--filter-screens] [--help]
//
// Without --png-dir the application runs until it is terminated (or for --seconds when given).
// SIGTERM or SIGINT ends it in order, as the system would: the delegate hears it will
// terminate, its state is saved and the program exits with status 0.
// With --png-dir it runs for --seconds, writes the key window to DIR/map.png, and then, when
// asked, selects the plane nearest the centre of the map with its detail popover
// (DIR/selected.png) and zooms into the area around the centre (DIR/zoomed.png). Each written
// path is printed on its own line.
#include "app/application/KESTAppDelegate.h"
#include "app/demo/KESTDemoFilterScreens.h"
#include "app/demo/KESTDetailScreensDemo.h"
#include "app/demo/KESTFlightGraphDemo.h"
#include "app/demo/KESTListScreenDemo.h"
#include "app/categories/MKMapView+ZoomLevel.h"
#include "app/core/KESTAnalyticsManager.h"
#include "app/core/KESTAuthManager.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTPlaneMarkerManager.h"
#include "app/core/KESTSettingsManager.h"
#include "app/view-controllers/intro/KESTIntroViewController.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "app/view-controllers/map/KESTMapContainerViewController.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "ar/SNRSensorManager.h"
#include "foundation/Clock.h"
#include "foundation/NSRunLoop.h"
#include "foundation/Sandbox.h"
#include "location/LocationSimulator.h"
#include "mapkit/MKMapView.h"
#include "sdk/HBRFeedbackManager.h"
#include "sdk/HBRHarborManager.h"
#include "sdk/HBRUpdateManager.h"
#include "sdk/HBRUpdateViewController.h"
#include "uikit/UIApplication.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIButton.h"
#include "uikit/UIPasteboard.h"
#include "uikit/UIPopoverController.h"
#include "uikit/UIWindow.h"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include <signal.h>

namespace {

constexpr const char* kDefaultServiceURL = "http://127.0.0.1:8080/";
constexpr double kDefaultSeconds = 20;

struct Options {
    std::string serviceURL = kDefaultServiceURL;
    std::optional<double> seconds;
    std::optional<std::pair<double, double>> center;
    uint32_t zoom = 6;
    std::string pngDirectory;
    bool selectPlane = false;
    bool zoomedView = false;
    bool detailScreens = false;
    bool filterScreens = false;
    bool menuScreens = false;
    bool arView = false;
    bool listScreen = false;
    bool kitScreens = false;
    bool graphScreens = false;
};

void printUsage(FILE* out, const char* program)
{
    std::fprintf(out,
        "usage: %s [options]\n"
        "Runs the flight-tracking application headless against the flight-data service.\n"
        "\n"
        "  --service-url URL   base address of the flight-data and logo services (default %s)\n"
        "  --seconds N         run for N seconds, then stop (default: until terminated; %g with --png-dir)\n"
        "  --center LAT,LON    centre of the map at start\n"
        "  --zoom LEVEL        zoom level of the map at start, with --center (default 6)\n"
        "  --png-dir DIR       write the screen to DIR/map.png at the end of the run\n"
        "  --select-plane      then select the plane nearest the centre and write DIR/selected.png\n"
        "  --zoomed-view       then zoom in around the centre and write DIR/zoomed.png\n"
        "  --detail-screens    then write the plane's detail tabs, history, gallery and an airport board\n"
        "  --filter-screens    then write DIR/filters.png, DIR/filter-editor.png and DIR/alerts.png\n"
        "  --menu-screens      also write the first tour page (intro.png), the main menu (menu.png),\n"
        "                      the settings (settings.png), the login form (account.png) and the\n"
        "                      other apps (apps.png)\n"
        "  --ar-view           then open the AR screen at the centre, facing the most planes, and\n"
        "                      write DIR/ar.png\n"
        "  --list-screen       then open the aircraft list sorted by altitude and write\n"
        "                      DIR/aircraft-list.png\n"
        "  --kit-screens       then write a feedback thread (feedback.png) and the update screen\n"
        "                      (update.png) of the crash, feedback and update kit\n"
        "  --graph-screens     then open the flight graph of a scheduled flight near the centre from\n"
        "                      its flight tab and write DIR/flight-graph.png, and with a long press\n"
        "                      on it DIR/chart-crosshair.png\n"
        "  --help              show this text\n"
        "\n"
        "Environment:\n"
        "  VX_SANDBOX          the application's home, where it keeps its state: Documents (the\n"
        "                      plane and bookmark store), Library/Preferences (settings),\n"
        "                      Library/Caches and tmp (default $HOME/.volantrix, here %s)\n"
        "  VX_RESOURCES        the application bundle: string tables, images, data (default: the\n"
        "                      bundle the build assembled)\n"
        "  VX_PASTEBOARD_ROOT  folder of the named pasteboards shared with the maker's other\n"
        "                      applications (default: the sandbox's path with \"-pasteboards\")\n"
        "  GALLIUM_DRIVER      the Mesa renderer; llvmpipe draws the same on every machine\n"
        "\n"
        "SIGTERM or SIGINT ends the application in order: it is told it will terminate and saves\n"
        "its state before the program exits.\n",
        program, kDefaultServiceURL, kDefaultSeconds, Sandbox::defaultRoot().c_str());
}

bool parseNumber(const char* text, double& value)
{
    if (!text || !*text)
        return false;
    char* end = nullptr;
    value = std::strtod(text, &end);
    return *end == '\0' && std::isfinite(value);
}

// Returns the exit status to stop with, or nullopt to go on.
std::optional<int> parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        auto fail = [&](const std::string& message) {
            std::fprintf(stderr, "volantrix: %s\n", message.c_str());
            printUsage(stderr, argv[0]);
            return std::optional<int>(2);
        };
        if (arg == "--help" || arg == "-h") {
            printUsage(stdout, argv[0]);
            return 0;
        } else if (arg == "--service-url") {
            const char* url = value();
            if (!url || std::strncmp(url, "http", 4) != 0)
                return fail("--service-url needs an http(s) address");
            options.serviceURL = url;
            if (options.serviceURL.back() != '/')
                options.serviceURL += '/';
        } else if (arg == "--seconds") {
            double seconds = 0;
            if (!parseNumber(value(), seconds) || seconds <= 0)
                return fail("--seconds needs a positive number");
            options.seconds = seconds;
        } else if (arg == "--center") {
            const char* text = value();
            double lat = 0, lon = 0;
            std::string pair = text ? text : "";
            auto comma = pair.find(',');
            if (comma == std::string::npos || !parseNumber(pair.substr(0, comma).c_str(), lat)
                || !parseNumber(pair.substr(comma + 1).c_str(), lon) || std::fabs(lat) > 85 || std::fabs(lon) > 180)
                return fail("--center needs LAT,LON");
            options.center = std::make_pair(lat, lon);
        } else if (arg == "--zoom") {
            double level = 0;
            if (!parseNumber(value(), level) || level < 1 || level > 18)
                return fail("--zoom needs a level from 1 to 18");
            options.zoom = static_cast<uint32_t>(level);
        } else if (arg == "--png-dir") {
            const char* dir = value();
            if (!dir || !*dir)
                return fail("--png-dir needs a directory");
            options.pngDirectory = dir;
        } else if (arg == "--select-plane") {
            options.selectPlane = true;
        } else if (arg == "--filter-screens") {
            options.filterScreens = true;
        } else if (arg == "--zoomed-view") {
            options.zoomedView = true;
        } else if (arg == "--detail-screens") {
            options.detailScreens = true;
        } else if (arg == "--menu-screens") {
            options.menuScreens = true;
        } else if (arg == "--ar-view") {
            options.arView = true;
        } else if (arg == "--list-screen") {
            options.listScreen = true;
        } else if (arg == "--graph-screens") {
            options.graphScreens = true;
        } else if (arg == "--kit-screens") {
            options.kitScreens = true;
        } else {
            return fail("unknown option " + arg);
        }
    }
    if ((options.selectPlane || options.zoomedView || options.detailScreens || options.filterScreens
            || options.menuScreens || options.arView || options.listScreen || options.kitScreens
            || options.graphScreens)
        && options.pngDirectory.empty()) {
        std::fprintf(stderr, "volantrix: the screen options need --png-dir\n");
        return 2;
    }
    return std::nullopt;
}

[[noreturn]] void finish(int status)
{
    std::fflush(nullptr);
    std::_Exit(status);
}

// Set by SIGTERM and SIGINT; the run loop below notices it within a tenth of a second.
volatile std::sig_atomic_t s_stopRequested = 0;

// Signal handler: only sets the flag.
void requestStop(int)
{
    s_stopRequested = 1;
}

// From here on SIGTERM and SIGINT ask the run loop to stop instead of killing the process, so
// the application terminates in order. A signal that arrived while they were blocked is taken
// now.
void installStopSignals()
{
    struct sigaction action = {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_UNBLOCK, &stopSignals, nullptr);
}

bool stopRequested()
{
    return s_stopRequested != 0 || UIApplicationHost::hasTerminated();
}

// Runs the main run loop for the given wall-clock seconds, or until a stop is asked for.
void runFor(double seconds)
{
    auto loop = NSRunLoop::mainRunLoop();
    double until = Clock::wallTime() + seconds;
    while (!stopRequested() && Clock::wallTime() < until)
        loop->runModeBeforeDate(NSDefaultRunLoopMode, std::min(until, Clock::wallTime() + 0.1));
}

// Ends the application in order after a stop signal: will-terminate, then exit 0.
void finishIfStopRequested()
{
    if (!stopRequested())
        return;
    UIApplicationHost::terminate();
    finish(0);
}

bool writePNG(const std::string& directory, const std::string& name)
{
    finishIfStopRequested();
    std::string path = directory + "/" + name;
    UIApplicationHost::runUntilIdle();
    if (!UIApplicationHost::writeKeyWindowPNG(path)) {
        std::fprintf(stderr, "volantrix: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    return true;
}

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
void passFirstRunTour(const Ref<UIApplication>& app)
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
        runFor(2);
    }
}

// Modal screens are presented by the screen that defines the context, which may be one of the
// map screen's containers: dismisses from the first one that presents something.
void dismissPresented(const Ref<KESTAppleMapViewController>& screen)
{
    for (auto presenter = Ref<UIViewController>(screen); presenter; presenter = presenter->parentViewController()) {
        if (presenter->presentedViewController()) {
            presenter->dismissViewControllerAnimatedCompletion(false, nullptr);
            break;
        }
    }
    runFor(1);
}

// Writes the screens of the menu, the settings, the login form and the other apps, each opened
// from the map screen as a user would and closed again.
bool writeMenuScreens(const Ref<KESTAppleMapViewController>& screen, const std::string& directory)
{
    bool ok = true;
    auto closePopover = [&] {
        if (auto popover = screen->poc())
            popover->dismissPopoverAnimated(false);
        runFor(1);
    };
    if (auto item = screen->menuBarButtonItem())
        screen->showMenu(item->customView());
    runFor(2);
    ok = writePNG(directory, "menu.png") && ok;
    closePopover();
    screen->showSettings(nullptr);
    runFor(2);
    ok = writePNG(directory, "settings.png") && ok;
    closePopover();
    KESTAuthManager::sharedInstance()->presentLoginInControllerCompletionFailure(screen, nullptr, nullptr);
    runFor(2);
    ok = writePNG(directory, "account.png") && ok;
    dismissPresented(screen);
    screen->showKESTApps();
    runFor(3);
    ok = writePNG(directory, "apps.png") && ok;
    dismissPresented(screen);
    return ok;
}

// The kit's feedback thread, after a message with a link went to the service and came back,
// and its update screen with the service's versions.
bool writeKitScreens(const Ref<KESTAppleMapViewController>& screen, const Options& options)
{
    bool ok = true;
    auto harbor = HBRHarborManager::sharedHarborManager();
    auto feedback = harbor->feedbackManager();
    auto updates = harbor->updateManager();
    if (!feedback || !updates) {
        std::fprintf(stderr, "volantrix: the kit's feedback and update components are not running\n");
        return false;
    }
    feedback->setServerURL(options.serviceURL);
    updates->setServerURL(options.serviceURL);
    feedback->setUserName(std::string("Demo Pilot"));
    // The answer is shown in the thread rather than announced.
    feedback->setShowAlertOnIncomingMessages(false);
    feedback->submitMessageWithText(
        "The departures board at Heathrow lags behind. Details: https://volantrix.example/help/boards");
    runFor(3);
    feedback->updateMessagesList();
    runFor(2);
    feedback->showFeedbackListView();
    runFor(3);
    ok = writePNG(options.pngDirectory, "feedback.png") && ok;
    dismissPresented(screen);
    feedback->setCurrentFeedbackListViewController(nullptr);
    updates->checkForUpdate();
    runFor(3);
    updates->showUpdateView();
    runFor(3);
    // Both versions: the newer one and, revealed, the installed one.
    if (auto updateScreen
        = std::dynamic_pointer_cast<HBRUpdateViewController>(updates->currentHarborViewController())) {
        updateScreen->showPreviousVersionAction();
        runFor(2);
    }
    ok = writePNG(options.pngDirectory, "update.png") && ok;
    dismissPresented(screen);
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

// Opens the AR screen as the map's AR button does, with the simulated device at the position,
// held upright and turned towards the densest traffic, over the simulated camera.
bool writeARScreen(const Options& options, const Ref<KESTAppleMapViewController>& screen)
{
    CLLocationCoordinate2D position = screen->mapView()->centerCoordinate();
    if (options.center)
        position = CLLocationCoordinate2DMake(options.center->first, options.center->second);
    double range = KESTSettingsManager::sharedInstance()->realARRange() * 1000.0;
    double bearing = bearingOfDensestTraffic(position, range);
    auto& sensors = LocationSimulator::shared();
    sensors.setCoordinate(position, 0, 5);
    sensors.setHeadingDegrees(bearing, bearing, 5);
    // Pitched up 90 degrees (upright); a yaw of 0 faces east, so the bearing is turned by 90.
    sensors.setAttitude(0, M_PI / 2, (bearing - 90) * M_PI / 180);
    screen->showAR();
    runFor(3);
    bool written = writePNG(options.pngDirectory, "ar.png");
    dismissPresented(screen);
    return written;
}

// Ends the process without running static destructors: the URL-loading worker thread may still
// be delivering an answer (a logo, a flight path) to the main run loop, which must not be torn
// down under it.
} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (auto status = parseOptions(argc, argv, options))
        return *status;
    installStopSignals();

    KESTLiveDataManager::setServiceBaseURL(options.serviceURL);
    KESTPlaneMarkerManager::setLogoServiceBaseURL(options.serviceURL);
    KESTAnalyticsManager::setCollectorBaseURL(options.serviceURL);
    // Named pasteboards shared with the maker's other applications live beside the sandbox.
    if (const char* shared = std::getenv("VX_PASTEBOARD_ROOT"))
        UIPasteboard::setSharedRoot(shared);
    else
        UIPasteboard::setSharedRoot(Sandbox::root() + "-pasteboards");

    auto app = UIApplicationHost::launch(NSStringFromClass(KESTAppDelegate::classObject()));
    if (!app) {
        std::fprintf(stderr, "volantrix: the application could not be launched\n");
        return 1;
    }
    if (options.center) {
        if (auto screen = mapScreen()) {
            MKMapView_ZoomLevel::setCenterCoordinateZoomLevelAnimated(
                screen->mapView(), { options.center->first, options.center->second }, options.zoom, false);
        }
    }

    if (options.pngDirectory.empty()) {
        runFor(options.seconds.value_or(std::numeric_limits<double>::infinity()));
        UIApplicationHost::terminate();
        finish(0);
    }

    bool ok = true;
    runFor(options.seconds.value_or(kDefaultSeconds));
    finishIfStopRequested();
    if (options.menuScreens)
        ok = writePNG(options.pngDirectory, "intro.png") && ok;
    passFirstRunTour(app);
    ok = writePNG(options.pngDirectory, "map.png") && ok;

    auto screen = mapScreen();
    if (options.selectPlane && screen) {
        if (auto plane = planeNearestCenter()) {
            screen->selectAnnotationMakeVisible(std::static_pointer_cast<KESTAnnotation>(plane), true);
            runFor(3);
            screen->showDetailScreenForAnnotation(plane);
            runFor(3);
            ok = writePNG(options.pngDirectory, "selected.png") && ok;
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
    if (options.detailScreens && screen) {
        auto plane = planeNearestCenter();
        bool written = plane
            && KESTDetailScreensDemo::writeAll(
                screen, plane, [&](const std::string& name) { return writePNG(options.pngDirectory, name); }, runFor);
        if (!written)
            std::fprintf(stderr, "volantrix: the detail screens were not all written\n");
        ok = written && ok;
    }
    if (options.graphScreens && screen) {
        auto plane = planeNearestCenter();
        ok = plane
            && KESTFlightGraphDemo::write(
                screen, plane, [&](const std::string& name) { return writePNG(options.pngDirectory, name); }, runFor)
            && ok;
    }
    if (options.menuScreens && screen)
        ok = writeMenuScreens(screen, options.pngDirectory) && ok;
    if (options.zoomedView && screen) {
        CLLocationCoordinate2D center = screen->mapView()->centerCoordinate();
        MKMapView_ZoomLevel::setCenterCoordinateZoomLevelAnimated(screen->mapView(), center, 9, false);
        runFor(4);
        ok = writePNG(options.pngDirectory, "zoomed.png") && ok;
    }
    if (options.listScreen && screen) {
        ok = KESTListScreenDemo::write(
                 screen, [&](const std::string& name) { return writePNG(options.pngDirectory, name); }, runFor)
            && ok;
    }
    // Before the filter screens, which leave a saved filter active.
    if (options.arView && screen)
        ok = writeARScreen(options, screen) && ok;
    if (options.filterScreens && screen) {
        ok = writeFilterAndAlertScreens(screen, runFor, [&](const std::string& name) {
            return writePNG(options.pngDirectory, name);
        }) && ok;
    }
    if (options.kitScreens && screen)
        ok = writeKitScreens(screen, options) && ok;
    UIApplicationHost::terminate();
    finish(ok ? 0 : 1);
}
