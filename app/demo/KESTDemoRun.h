#pragma once

#include "foundation/NSObject.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>

class UIApplication;

// The demonstration run of the program: after the application has run for a while, walks its
// screens as a user would and saves each one through `write` (which renders the key window into
// the named PNG file and prints its path). `run` lets the main run loop go for some seconds.
// Main thread only.
namespace KESTDemoRun {

struct Screens {
    std::string serviceURL;
    // Where the map was centred at start; the AR screen opens there.
    std::optional<std::pair<double, double>> center;
    bool intro = false;
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

// Writes "map.png" and the screens asked for, in the demo's order. Returns false when any of
// them could not be written.
bool writeScreens(const Ref<UIApplication>& app, const Screens& screens,
    const std::function<bool(const std::string&)>& write, const std::function<void(double)>& run);

} // namespace KESTDemoRun
