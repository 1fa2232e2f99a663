#pragma once

#include "charts/ChartsForward.h"
#include "charts/LChartPoint.h"
#include "foundation/FoundationForward.h"

#include <limits>

// The result of a nearest-point search: how far the series' nearest point lies from the touch
// (as the series measures it), that point, the series searched, and where a crosshair on it
// should sit, in the series' internal units. A record nobody filled keeps the largest double as
// its distance, so it never beats a real answer.
struct LChartSeriesDistanceInfo {
    double distance { std::numeric_limits<double>::max() };
    Ref<LChartInternalDataPoint> dataPoint;
    Ref<LChartSeries> series;
    LChartPoint resolvedPoint;
};
