#pragma once

#include "charts/LChartAxis.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartRange.h"
#include "charts/tests/RecordingDrawer.h"
#include "uikit/UIView.h"

#include <vector>

// A chart for axes to live in: a recording drawing surface, a frame, and the visible ranges
// its series groups would report.
class FakeAxisChart : public LChartAxisHost {
public:
    CGRect frame { { 0, 0 }, { 600, 400 } };
    RecordingDrawer drawer;
    bool hasView { true };
    std::vector<Ref<LChartRange>> groupRanges;
    LChartAxis* x { nullptr };
    LChartAxis* y { nullptr };
    int redraws { 0 };
    int zoomingCalls { 0 };

    CGRect chartFrame() const override { return frame; }
    LChartDrawer* glView() const override { return hasView ? const_cast<RecordingDrawer*>(&drawer) : nullptr; }
    std::vector<Ref<LChartRange>> visibleRangesOfSeriesGroupsOnAxis(const LChartAxis&) const override
    {
        return groupRanges;
    }
    LChartAxis* xAxis() const override { return x; }
    LChartAxis* yAxis() const override { return y; }
    Ref<UIView> overlay { UIView::init() };
    Ref<UIView> underlay { UIView::init() };
    std::optional<std::vector<Value>> tickValues;
    std::vector<LChartAxis*> xAxes;
    std::vector<LChartAxis*> yAxes;
    float yAxesSpace { 0 };

    Ref<UIView> canvasOverlay() const override { return overlay; }
    Ref<UIView> canvasUnderlay() const override { return underlay; }
    std::optional<std::vector<Value>> majorTickValuesForAxis(const LChartAxis&) override { return tickValues; }
    std::vector<LChartAxis*> allXAxes() const override { return xAxes; }
    std::vector<LChartAxis*> allYAxes() const override { return yAxes; }
    float spaceRequiredForYAxesNormal() const override { return yAxesSpace; }
    void axisIsZooming(LChartAxis&) override { ++zoomingCalls; }
    void redrawChartIncludePlotArea(bool) override { ++redraws; }
};

// A series as axes see it.
class FakeAxisSeries : public LChartAxisSeries {
public:
    Ref<LChartDataSeries> data { LChartDataSeries::init() };
    bool barColumn { false };
    int32_t seriesOrientation { 0 };
    int32_t count { 1 };
    int32_t slot { 0 };
    double adjust { 0 };
    Value width;

    LChartDataSeries* dataSeries() const override { return data.get(); }
    double dataValueAdjustForAxis(const LChartAxis&) const override { return adjust; }
    bool isBarColumnSeries() const override { return barColumn; }
    int32_t orientation() const override { return seriesOrientation; }
    int32_t numSeries() const override { return count; }
    int32_t index() const override { return slot; }
    void setSeriesWidth(const Value& value) override { width = value; }
};
