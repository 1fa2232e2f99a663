#pragma once

#include "foundation/NSObject.h"

#include <functional>
#include <string>

class KESTAppleMapViewController;
class KESTPlane;

// Opens a flight's graph as a user would, for the demo: selects the scheduled flight nearest
// `plane`, opens its detail popover on the flight tab, taps the speed row and saves the key
// window as "flight-graph.png" through `write`; then turns the graph's crosshair on, holds a
// long press on the graph and saves "chart-crosshair.png" with the crosshair the chart places.
// `run` lets the run loop go for some seconds. The popover is closed again afterwards. Returns
// false when either screen could not be written. Main thread only.
namespace KESTFlightGraphDemo {

bool write(const Ref<KESTAppleMapViewController>& screen, const Ref<KESTPlane>& plane,
    const std::function<bool(const std::string&)>& write, const std::function<void(double)>& run);

} // namespace KESTFlightGraphDemo
