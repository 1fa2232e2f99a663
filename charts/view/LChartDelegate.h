#pragma once

#include "graphics/CGGeometry.h"

#include <cstdint>

class LatticeChart;
class LChartDonutSeries;
class LChartRadialDataPoint;
class UILabel;

// What a chart view tells its delegate about its loads and its frames. Every callback has an
// empty default, so a delegate overrides only those it cares about. Main thread.
class LChartDelegate {
public:
    virtual ~LChartDelegate() = default;

    // A reload is about to read the data source / its series have been swapped into the chart.
    virtual void sChartWillStartLoadingData(LatticeChart&) { }
    virtual void sChartDidFinishLoadingData(LatticeChart&) { }
    // The first layout of a render pass, with whether the whole plot area is redrawn.
    virtual void sChartRenderStartedWithFullRedraw(LatticeChart&, bool) { }
    // The end of every drawn frame.
    virtual void sChartRenderFinished(LatticeChart&) { }

    // Radial series. Offered every placed slice label (the slice, its index and its series).
    virtual void sChartAlterLabelForDatapointAtSliceIndexInRadialSeries(
        LatticeChart&, UILabel&, LChartRadialDataPoint&, int32_t, LChartDonutSeries&)
    {
    }
    // A tap selected or deselected a slice; the point is the tap in the plot area.
    virtual void sChartToggledSelectionForRadialPointInSeriesAtPixelCoordinate(
        LatticeChart&, LChartRadialDataPoint&, LChartDonutSeries&, CGPoint)
    {
    }
    // A spinning series came to rest.
    virtual void sChartRadialSeriesDidEndDecelerating(LatticeChart&, LChartDonutSeries&) { }
};
