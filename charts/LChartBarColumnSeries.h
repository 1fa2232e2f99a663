#pragma once

#include "charts/LChartCartesianSeries.h"

#include <array>

class LChartBarColumnSeriesStyle;

// What bar and column series share: one rectangle per point from the baseline (or, stacked, from
// the point below) to the point's value, filled and outlined in the style's colours above and
// below the baseline. Orientation 0 stands columns on the x axis, 1 lays bars along y. Slots
// across series come from the changed axis; the rectangles' width is `seriesWidth`. Main thread
// only.
class LChartBarColumnSeries : public LChartCartesianSeries {
    VX_OBJECT(LChartBarColumnSeries, LChartCartesianSeries)
public:
    // Fills what the user did not set on the series' styles from the theme's.
    void supplementStylesFromStyles(
        const Ref<LChartSeriesStyle>& normal, const Ref<LChartSeriesStyle>& selected) override;
    explicit LChartBarColumnSeries(Passkey key)
        : LChartCartesianSeries(key)
    {
    }
    bool isBarColumnSeries() const override { return true; }
    void setStackIndex(const Value& index) override { overrideSetStackIndex(index); }
    Ref<LChartBarColumnSeriesStyle> barColumnStyle() const;
    Ref<LChartBarColumnSeriesStyle> barColumnSelectedStyle() const;

    // Columns take their slot on the x axis, bars on the y axis; the other axis maps plainly.
    void mapDataPointOnXAxisAndYAxis(LChartInternalDataPoint& point, LChartAxis& xAxis, LChartAxis& yAxis) override;
    // The shift of this series' slot from the middle of a changed value, in data units, on the
    // axis of the series' orientation; 0 on the other.
    double dataValueAdjustForAxis(const LChartAxis& axis) const override;
    // Stacking: x then y are (changed, measured) for columns, the other way round for bars.
    void mapWithStackedSeriesOnXAxisAndYAxis(
        const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxis& xAxis, LChartAxis& yAxis) override;
    void mapInvalidBinsWithStackedSeriesOnXAxisAndYAxis(const std::vector<Value>& bins,
        const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxis& xAxis, LChartAxis& yAxis) override;
    Ref<LChartInternalDataPoint> lowDataPointToMatchDataPoint(const LChartInternalDataPoint& point, double offset,
        LChartAxis& changedAxis, LChartAxis& measuredAxis) override;
    void mapStackedDataPoint(
        LChartInternalDataPoint& point, LChartAxis& changedAxis, LChartAxis& measuredAxis, double offset) override;
    // The stacked range (with the baseline) on the measured axis of a stacked series; half a slot
    // more at each end on the changed axis so the outer rectangles fit.
    Ref<LChartRange> visibleRangeOnAxis(const LChartAxis& axis) const override;

    // A start and length with a negative length become the same stretch with a positive one.
    static void normaliseRangeStartAndLength(double& start, double& length);
    // Whether the point lies in the rectangle (x, y, width, height; negative sizes normalised),
    // edges included.
    static bool pointInsideBounds(LChartPoint point, std::array<double, 4> bounds);

protected:
    // The hit test of bars and columns: the nearest point as the cartesian search finds it, at
    // distance 0 when the touch lies inside that point's rectangle and the largest double
    // otherwise. A stacked rectangle sits where the stack lifted it, and so does the crosshair.
    void distanceInfoInsideNearestRectangle(
        LChartSeriesDistanceInfo& info, LChartPoint touch, const LChartHitTestHost& chart, bool isOnlySeries);
    RenderIndices emptyRenderIndexDict() const override { return { { "Triangles", 0 }, { "Lines", 0 } }; }
    void drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
        const LChartGLTranslation& translation, RenderIndices& slots) override;
};
