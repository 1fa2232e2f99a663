#pragma once

#include "charts/LChartCartesianSeries.h"

class LChartBarColumnSeriesStyle;

// What bar and column series share: one rectangle per point from the baseline (or, stacked, from
// the point below) to the point's value, filled and outlined in the style's colours above and
// below the baseline. Orientation 0 stands columns on the x axis, 1 lays bars along y. Slots
// across series come from the changed axis; the rectangles' width is `seriesWidth`. Main thread
// only.
class LChartBarColumnSeries : public LChartCartesianSeries {
    VX_OBJECT(LChartBarColumnSeries, LChartCartesianSeries)
public:
    explicit LChartBarColumnSeries(Passkey key)
        : LChartCartesianSeries(key)
    {
    }
    bool isBarColumnSeries() const override { return true; }
    void setStackIndex(const Value& index) override { overrideSetStackIndex(index); }
    Ref<LChartBarColumnSeriesStyle> barColumnStyle() const;
    Ref<LChartBarColumnSeriesStyle> barColumnSelectedStyle() const;

protected:
    RenderIndices emptyRenderIndexDict() const override { return { { "Triangles", 0 }, { "Lines", 0 } }; }
    void drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
        const LChartGLTranslation& translation, RenderIndices& slots) override;
};
