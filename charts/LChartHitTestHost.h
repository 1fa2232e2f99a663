#pragma once

#include "charts/ChartsForward.h"
#include "graphics/CGGeometry.h"

#include <utility>

// What a series asks of its chart when it measures its distance to a touch. The chart view
// implements it; tests implement it with a small fake. Main thread only.
class LChartHitTestHost {
public:
    virtual ~LChartHitTestHost() = default;

    // The series' x and y axes in this chart.
    virtual std::pair<LChartAxis*, LChartAxis*> axesForSeries(const LChartSeries* series) const = 0;
    // The frame of the plot area's drawing surface; a zero rectangle before there is one.
    virtual CGRect glFrameForHitTesting() const = 0;
    // Whether the chart's crosshair sits between the points of line series.
    virtual bool crosshairInterpolatesPoints() const = 0;
};
