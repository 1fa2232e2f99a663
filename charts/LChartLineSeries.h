#pragma once

#include "charts/LChartScatterSeries.h"

#include <vector>

class LChartLineSeriesStyle;

// A bin's line vertices as x, y float pairs in drawing coordinates (and, for a stacked series,
// the matching bottom-edge vertices).
struct LChartLineRenderDataPoints {
    std::vector<float> points;
    std::vector<float> lowPoints;
    int32_t numBaselineCrosses { 0 };
};

// Points joined by a line, optionally filled down to the baseline in separate colours above and
// below it (with an optional gradient), or drawn as steps. Each invalid bin becomes one run of
// vertices that starts at the previous bin's last point, with two extra vertices where the line
// crosses the baseline so the colours change exactly there; markers are drawn as a scatter
// series draws them. Main thread only.
class LChartLineSeries : public LChartScatterSeries {
    VX_OBJECT(LChartLineSeries, LChartScatterSeries)
public:
    explicit LChartLineSeries(Passkey);
    static Ref<LChartLineSeries> init(std::shared_ptr<LChartErrorHandler> errorHandler = nullptr);

    Ref<LChartLineSeriesStyle> style() const;
    void setStyle(const Ref<LChartLineSeriesStyle>& style);
    Ref<LChartLineSeriesStyle> selectedStyle() const;
    void setSelectedStyle(const Ref<LChartLineSeriesStyle>& style);
    bool stepLine() const { return m_stepLine; }
    float maxOffsetAboveBaseline() const { return m_maxOffsetAboveBaseline; }
    float maxOffsetBelowBaseline() const { return m_maxOffsetBelowBaseline; }

    void setStackIndex(const Value& index) override { overrideSetStackIndex(index); }
    Ref<LChartSeriesStyle> themeStyle(const LChartTheme& theme, int32_t index, bool selected) const override;
    void supplementStylesFromStyles(
        const Ref<LChartSeriesStyle>& normal, const Ref<LChartSeriesStyle>& selected) override;
    Ref<LChartSeriesDataBin> dataBinWithStartValue(const Value& value) override;

    // Grows the largest offsets from the baseline over the points' measured drawing
    // coordinates; true when either grew.
    bool updateMaxOffsetsFromBaselineWithDataPoints(
        const std::vector<Ref<LChartInternalDataPoint>>& points, float glBaseline);
    LChartLineRenderDataPoints renderDataPointsForDataBin(
        const LChartSeriesDataBin& bin, float glBaseline, int32_t fillDirection) const;

    // Stacking: the axes in changed/measured order by orientation; where the series has no
    // point its value is interpolated between its neighbours.
    void mapWithStackedSeriesOnXAxisAndYAxis(
        const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxis& xAxis, LChartAxis& yAxis) override;
    void mapInvalidBinsWithStackedSeriesOnXAxisAndYAxis(const std::vector<Value>& bins,
        const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxis& xAxis, LChartAxis& yAxis) override;
    double valueAtChangedValue(const Value& value, LChartAxis& changedAxis, LChartAxis& measuredAxis) override;
    double interpolatedValueForChangedValue(const Value& value) const;
    Ref<LChartInternalDataPoint> lowDataPointToMatchDataPoint(const LChartInternalDataPoint& point, double offset,
        LChartAxis& changedAxis, LChartAxis& measuredAxis) override;
    void mapStackedDataPoint(
        LChartInternalDataPoint& point, LChartAxis& changedAxis, LChartAxis& measuredAxis, double offset) override;
    // On the measured axis a stacked series covers its stacked range and a baselined one its
    // baseline too.
    Ref<LChartRange> visibleRangeOnAxis(const LChartAxis& axis) const override;

    // Crosshair tracing: the normal style's `lineCrosshairTraceStyle` 0 follows x (mode 1),
    // 1 follows y (mode 2); another value is fatal.
    int32_t distanceComparisonModeForPoint() const override;
    // Nearest point by drawing position (stacking included); the crosshair then sits on the line
    // between points when the chart's crosshair interpolates, else on the point found.
    void distanceInfoToPointInChartIsOnlySeries(
        LChartSeriesDistanceInfo& info, LChartPoint touch, const LChartHitTestHost& chart, bool isOnlySeries) override;
    // As the cartesian search, but by each point's `xCoord` and `yCoord` without offsets, and
    // leaving `resolvedPoint` alone.
    void distanceInfoUsingGLToPointInChartIsOnlySeries(
        LChartSeriesDistanceInfo& info, LChartPoint touch, const LChartHitTestHost& chart, bool isOnlySeries) const;
    // The point on the line at the touch's trace coordinate nearest the touch in the other
    // coordinate (a step line keeps the earlier point's level); the point's own drawing position
    // when the line does not pass the trace coordinate.
    LChartPoint interpolatePointForCoord(const LChartInternalDataPoint& point, LChartPoint touch) const;

protected:
    void initLineSeries(std::shared_ptr<LChartErrorHandler> errorHandler, bool stepLine);
    RenderIndices emptyRenderIndexDict() const override;
    void willDrawBinsWithGLBaseline(float glBaseline) override;
    void drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
        const LChartGLTranslation& translation, RenderIndices& slots) override;

private:
    Ref<LChartSeriesDataBin> binBefore(const LChartSeriesDataBin& bin) const;

    bool m_stepLine { false };
    float m_maxOffsetAboveBaseline { 0.01f };
    float m_maxOffsetBelowBaseline { 0.01f };
};
