#pragma once

#include "foundation/NSObject.h"

#include <functional>
#include <string>

class KESTAppleMapViewController;

// Opens the aircraft list over the running map as the main menu does, scrolls its grid so the
// altitude column shows, taps that column's header twice (descending), scrolls on so the first
// column on screen shows whole (title and arrow) with the altitude column, and saves the key window
// as "aircraft-list.png" through `write`; `run` lets the run loop go for some seconds. The list
// is closed again afterwards. Returns false when the screen could not be written. Main thread
// only.
namespace KESTListScreenDemo {

bool write(const Ref<KESTAppleMapViewController>& screen, const std::function<bool(const std::string&)>& write,
    const std::function<void(double)>& run);

} // namespace KESTListScreenDemo
