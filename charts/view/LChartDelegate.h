#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "graphics/CGGeometry.h"

#include <cstdint>

class LatticeChart;
class LChartDataPoint;
class LChartDonutSeries;
class LChartRadialDataPoint;
class LChartSeries;
class UILabel;

// Goes with the is-zooming and is-panning callbacks: whether momentum moves the chart (true)
// or the user's fingers do (false).
struct LChartMovementInformation {
    bool momentum { false };
};

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

    // Gestures on the plot area. Panning and zooming start, step (by the fingers, then by
    // momentum) and finish; a double tap may reset the zoom; a box gesture zooms to its box.
    virtual void sChartDidStartPanning(LatticeChart&) { }
    virtual void sChartDidStartZooming(LatticeChart&) { }
    virtual void sChartIsPanning(LatticeChart&) { }
    virtual void sChartIsZooming(LatticeChart&) { }
    virtual void sChartIsPanningWithChartMovementInformation(LatticeChart&, const LChartMovementInformation&) { }
    virtual void sChartIsZoomingWithChartMovementInformation(LatticeChart&, const LChartMovementInformation&) { }
    virtual void sChartDidFinishPanning(LatticeChart&) { }
    virtual void sChartDidFinishZooming(LatticeChart&) { }
    virtual void sChartDidResetZoom(LatticeChart&) { }
    virtual void sChartDidBoxZoom(LatticeChart&) { }
    // A tap toggled the selection of a series, or of one of its points; the public point and its
    // pixel position on the plot area go with it.
    virtual void sChartToggledSelectionForSeriesNearPointAtPixelCoordinate(
        LatticeChart&, LChartSeries&, const Ref<LChartDataPoint>&, CGPoint)
    {
    }
    virtual void sChartToggledSelectionForPointInSeriesAtPixelCoordinate(
        LatticeChart&, const Ref<LChartDataPoint>&, LChartSeries&, CGPoint)
    {
    }
    // The crosshair moved inside the plot area to these values (the axes' data objects).
    virtual void sChartCrosshairMovedToXValueAndYValue(LatticeChart&, const Value&, const Value&) { }
    // A pie or donut series is spun by a pan, then coasts.
    virtual void sChartRadialSeriesDidStartPanning(LatticeChart&, LChartDonutSeries&) { }
    virtual void sChartRadialSeriesIsPanning(LatticeChart&, LChartDonutSeries&) { }
    virtual void sChartRadialSeriesWillBeginDecelerating(LatticeChart&, LChartDonutSeries&) { }
};
