// volantrix: runs the application headless against the flight-data service.
//
//   volantrix [--service-url URL] [--seconds N] [--center LAT,LON] [--zoom LEVEL]
//             [--png-dir DIR] [screen options] [--help]
//
// Without --png-dir the application runs until it is terminated (or for --seconds when given).
// SIGTERM or SIGINT ends it in order, as the system would: the delegate hears it will
// terminate, its state is saved and the program exits with status 0 (128 + the signal when a
// screen run had not finished).
// With --png-dir it runs for --seconds and then writes its screens into DIR, the map and those
// the screen options ask for (app/demo/ walks them). Each written path is printed on its own
// line.
#include "app/application/KESTAppDelegate.h"
#include "app/categories/MKMapView+ZoomLevel.h"
#include "app/core/KESTAnalyticsManager.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlaneMarkerManager.h"
#include "app/demo/KESTDemoRun.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "foundation/Clock.h"
#include "foundation/NSRunLoop.h"
#include "foundation/Sandbox.h"
#include "mapkit/MKMapView.h"
#include "uikit/UIApplication.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIPasteboard.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>

#include <malloc.h>
#include <signal.h>
#include <unistd.h>

namespace {

constexpr const char* kDefaultServiceURL = "http://127.0.0.1:8080/";
constexpr double kDefaultSeconds = 20;

struct Options {
    std::string serviceURL = kDefaultServiceURL;
    std::optional<double> seconds;
    std::optional<std::pair<double, double>> center;
    std::optional<uint32_t> zoom;
    std::string pngDirectory;
    KESTDemoRun::Screens screens;
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
        "  --zoom LEVEL        zoom level of the map at start; needs --center (default 6)\n"
        "  --png-dir DIR       write the screen to DIR/map.png at the end of the run (DIR is made\n"
        "                      when missing)\n"
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
        "its state before the program exits. A screen run (--png-dir) stopped before its last screen\n"
        "exits with 128 plus the signal's number.\n",
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
            options.screens.selectPlane = true;
        } else if (arg == "--filter-screens") {
            options.screens.filterScreens = true;
        } else if (arg == "--zoomed-view") {
            options.screens.zoomedView = true;
        } else if (arg == "--detail-screens") {
            options.screens.detailScreens = true;
        } else if (arg == "--menu-screens") {
            options.screens.menuScreens = true;
        } else if (arg == "--ar-view") {
            options.screens.arView = true;
        } else if (arg == "--list-screen") {
            options.screens.listScreen = true;
        } else if (arg == "--graph-screens") {
            options.screens.graphScreens = true;
        } else if (arg == "--kit-screens") {
            options.screens.kitScreens = true;
        } else {
            return fail("unknown option " + arg);
        }
    }
    const auto& screens = options.screens;
    if ((screens.selectPlane || screens.zoomedView || screens.detailScreens || screens.filterScreens
            || screens.menuScreens || screens.arView || screens.listScreen || screens.kitScreens
            || screens.graphScreens)
        && options.pngDirectory.empty()) {
        std::fprintf(stderr, "volantrix: the screen options need --png-dir\n");
        return 2;
    }
    if (options.zoom && !options.center) {
        std::fprintf(stderr, "volantrix: --zoom needs --center: give the centre the zoom applies to\n");
        return 2;
    }
    // The screens' folder is made now, so a folder that cannot be written fails the run before
    // the application starts rather than after it has run.
    if (!options.pngDirectory.empty()) {
        std::error_code error;
        std::filesystem::create_directories(options.pngDirectory, error);
        if (error || access(options.pngDirectory.c_str(), W_OK) != 0) {
            std::fprintf(stderr, "volantrix: cannot write screens into %s: %s\n", options.pngDirectory.c_str(),
                error ? error.message().c_str() : std::strerror(errno));
            return 2;
        }
    }
    return std::nullopt;
}

// Ends the process without running static destructors: the URL-loading worker thread may still
// be delivering an answer (a logo, a flight path) to the main run loop, which must not be torn
// down under it.
[[noreturn]] void finish(int status)
{
    std::fflush(nullptr);
    std::_Exit(status);
}

// Set by SIGTERM and SIGINT; the run loop below notices it within a tenth of a second.
volatile std::sig_atomic_t s_stopRequested = 0;
// The signal that asked for the stop, for the exit status of an unfinished screen run.
volatile std::sig_atomic_t s_stopSignal = 0;

// Signal handler: only sets the flag.
void requestStop(int signal)
{
    s_stopSignal = signal;
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

// Ends the application in order after a stop signal: will-terminate, then exit with `status`.
void finishIfStopRequested(int status)
{
    if (!stopRequested())
        return;
    UIApplicationHost::terminate();
    finish(status);
}

// A screen run stopped before its end did not do what it was asked: it exits as a process killed
// by the signal would report (128 + the signal), or 1 when the application ended by itself.
void finishScreenRunIfStopRequested()
{
    if (!stopRequested())
        return;
    std::fprintf(stderr, "volantrix: stopped before every screen was written\n");
    finishIfStopRequested(s_stopSignal ? 128 + s_stopSignal : 1);
}

bool writePNG(const std::string& directory, const std::string& name)
{
    finishScreenRunIfStopRequested();
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

} // namespace

int main(int argc, char** argv)
{
    // Blocks of a megabyte or more (poll answers and their tables) are mapped on their own and
    // returned to the system when freed. Left to itself the allocator raises this threshold to
    // the largest block freed so far, after which each poll's answer is carved out of the heap of
    // whichever worker thread took it, and the freed space stays with the process: the resident
    // size then climbs with every full poll.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
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
                screen->mapView(), { options.center->first, options.center->second }, options.zoom.value_or(6), false);
        }
    }

    if (options.pngDirectory.empty()) {
        runFor(options.seconds.value_or(std::numeric_limits<double>::infinity()));
        UIApplicationHost::terminate();
        finish(0);
    }

    runFor(options.seconds.value_or(kDefaultSeconds));
    finishScreenRunIfStopRequested();
    options.screens.serviceURL = options.serviceURL;
    options.screens.center = options.center;
    options.screens.intro = options.screens.menuScreens;
    bool ok = KESTDemoRun::writeScreens(
        app, options.screens, [&](const std::string& name) { return writePNG(options.pngDirectory, name); }, runFor);
    finishScreenRunIfStopRequested();
    UIApplicationHost::terminate();
    finish(ok ? 0 : 1);
}
