#pragma once

#include "foundation/NSObject.h"

#include <functional>
#include <string>

class KESTAppleMapViewController;
class KESTPlane;

// Walks the detail screens of the running application as a user would, for the demo: opens the
// plane's detail popover and shows each tab, opens the aircraft's past flights and the first
// one's track, the photo grid, and then an airport's board with its first row open. `write`
// saves the key window under the given file name; `run` lets the run loop go for some seconds.
// Returns false when a screen could not be written. Main thread only.
namespace KESTDetailScreensDemo {

bool writeAll(const Ref<KESTAppleMapViewController>& screen, const Ref<KESTPlane>& plane,
    const std::function<bool(const std::string&)>& write, const std::function<void(double)>& run);

// The airborne plane with a flight number nearest `plane` on the map (a scheduled flight fills
// every tab), or `plane` itself when there is none.
Ref<KESTPlane> scheduledPlaneNear(const Ref<KESTPlane>& plane);

} // namespace KESTDetailScreensDemo
