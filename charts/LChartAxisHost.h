#pragma once

#include "charts/ChartsForward.h"
#include "foundation/FoundationForward.h"
#include "foundation/Value.h"
#include "graphics/CGGeometry.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

class LChartAxis;
class LChartRange;
class LChartTickMark;
class UIView;

// What an axis asks of the chart that holds it. The chart view implements it; tests implement
// it with a small fake. Axes hold their chart unretained: the chart clears the link before it
// goes. Main thread only.
class LChartAxisHost {
public:
    virtual ~LChartAxisHost() = default;

    // The chart view's frame (its width bounds an axis's width).
    virtual CGRect chartFrame() const = 0;
    // The drawing surface of the plot area; null before the canvas has one.
    virtual LChartDrawer* glView() const = 0;
    // The visible ranges that the chart's series groups on this axis report, in group order
    // (groups that report none are left out).
    virtual std::vector<Ref<LChartRange>> visibleRangesOfSeriesGroupsOnAxis(const LChartAxis& axis) const = 0;
    virtual LChartAxis* xAxis() const = 0;
    virtual LChartAxis* yAxis() const = 0;
    virtual bool pinchOrPanInProgress() const { return false; }

    // Told while a range animation or gesture moves the axis.
    virtual void axisIsZooming(LChartAxis&) { }
    virtual void axisIsPanning(LChartAxis&) { }
    virtual void redrawChartIncludePlotArea(bool) { }
    virtual void updateRangesOnCartesianAxis(LChartAxis&) { }
    virtual void setNeedsLayoutIfHaveAxesAndData() { }
    virtual void axisFinishedMomentumZooming(LChartAxis&) { }
    virtual void axisFinishedMomentumPanning(LChartAxis&) { }
    virtual void axisPanningChanged() { }
    // The delegate's longest label for the axis, when it gives one.
    virtual std::optional<std::string> longestLabelStringOnAxis(const LChartAxis&) const { return std::nullopt; }
    // Space the chart keeps for its normal Y axes and its reverse X axes.
    virtual float spaceRequiredForYAxesNormal() const { return 0; }
    virtual float spaceRequiredForXAxesReverse() const { return 0; }
    // Whether zoom levels and resets animate.
    virtual bool animateZoomGesture() const { return true; }

    // The canvas views that hold tick marks, labels and axis lines (overlay, above the drawing
    // surface) and gridlines and stripes (underlay, below it); null before the canvas exists.
    virtual Ref<UIView> canvasOverlay() const { return nullptr; }
    virtual Ref<UIView> canvasUnderlay() const { return nullptr; }
    virtual bool isRadial() const { return false; }
    // Every axis of the chart in each direction, the main one first.
    virtual std::vector<LChartAxis*> allXAxes() const { return {}; }
    virtual std::vector<LChartAxis*> allYAxes() const { return {}; }
    // The data source's own major tick values for the axis (external values, as it gives
    // them), when it gives any.
    virtual std::optional<std::vector<Value>> majorTickValuesForAxis(const LChartAxis&) { return std::nullopt; }
    // The delegate's major and minor frequencies for the axis (nil for none), when it chooses.
    virtual std::optional<std::pair<Value, Value>> tickFrequenciesOnGeneratingTickMarksForAxis(const LChartAxis&)
    {
        return std::nullopt;
    }
    // Offered every tick mark before the axis shows it.
    virtual void alterTickMarkBeforeAddingToAxis(LChartTickMark&, const LChartAxis&) { }
};

// What an axis asks of a series whose points it maps. Series implement it.
class LChartAxisSeries {
public:
    virtual ~LChartAxisSeries() = default;
    virtual LChartDataSeries* dataSeries() const = 0;
    // The offset the series adds to values on the axis (0 for most series).
    virtual double dataValueAdjustForAxis(const LChartAxis&) const { return 0; }
    virtual bool isBarColumnSeries() const { return false; }
    virtual int32_t orientation() const { return 0; }
    // Number of side-by-side slots and this series' slot, for bars and columns.
    virtual int32_t numSeries() const { return 1; }
    virtual int32_t index() const { return 0; }
    virtual void setSeriesWidth(const Value&) { }
};
