#pragma once

#include "charts/LChartDrawer.h"
#include "charts/LChartPoint.h"
#include "charts/LChartSeries.h"
#include "charts/LChartSeriesGroup.h"

#include <map>
#include <string>

class LChartRange;

// The base of every series drawn against an x and a y axis. It adds the slot and stack the series
// holds in its series group, the drawing loop that turns each invalid bin into geometry through
// the subclass (`drawBin`), the render-slot bookkeeping that lets a bin's geometry be replaced in
// place, and the distance measure of the nearest-point search. Render slots are counted per kind
// ("Triangles", "Indexed Offset Triangles", "Lines", "OffsetLines", "Points"): a new bin takes
// the next free slots of its kinds and keeps them for its life. Main thread only.
class LChartCartesianSeries : public LChartSeries, public LChartGroupedSeries {
    VX_OBJECT(LChartCartesianSeries, LChartSeries)
public:
    using RenderIndices = std::map<std::string, int32_t>;

    explicit LChartCartesianSeries(Passkey);

    bool isStacked() const override { return m_isStacked; }
    void setIsStacked(bool stacked) override { m_isStacked = stacked; }
    bool animated() const { return m_animated; }
    void setAnimated(bool animated) { m_animated = animated; }
    Value baseline() const override { return m_baseline; }
    void setBaseline(const Value& baseline) { m_baseline = baseline; }
    Value stackIndex() const override { return m_stackIndex; }
    // Series kinds that stack override this to call `overrideSetStackIndex`; others log and keep
    // the old value.
    void setStackIndex(const Value& index) override;
    void overrideSetStackIndex(const Value& index) { m_stackIndex = index; }
    int32_t numSeries() const override { return m_numSeries; }
    void setNumSeries(int32_t count) override { m_numSeries = count; }
    int32_t index() const override { return m_index; }
    void setIndex(int32_t index) override { m_index = index; }
    const Value& seriesWidth() const { return m_seriesWidth; }
    void setSeriesWidth(const Value& width) override { m_seriesWidth = width; }
    const Weak<LChartSeriesGroup>& seriesGroup() const { return m_seriesGroup; }
    void setSeriesGroup(const Weak<LChartSeriesGroup>& group) override { m_seriesGroup = group; }
    const Ref<LChartRange>& stackedRange() const { return m_stackedRange; }
    void clearStackedRange() override { m_stackedRange = nullptr; }
    void checkForNewStackedRangeMinAndMax(double minimum, double maximum);
    float animationDuration() const { return m_animationDuration; }
    void setAnimationDuration(float duration);
    int32_t animationCurve() const { return m_animationCurve; }
    void setAnimationCurve(int32_t curve);
    const RenderIndices& nextAvailableRenderDataIndices() const { return m_nextAvailableRenderDataIndices; }

    // The slot's offset from the middle of the group: with 3 slots -1, 0, 1; with 4 -1, 0, 1, 2.
    float offsetFromCentre() const;

    // Draws the invalid bins (each into its own slots), drops the empty ones and clears the
    // invalid set. Always false.
    bool drawWithDrawerWithGLBaselineAndGLTranslation(
        LChartDrawer& drawer, float glBaseline, const LChartGLTranslation& translation) override;
    // Moves every piece of the series' geometry to the new translation without rebuilding.
    void updateWithDrawerAndGLTranslation(LChartDrawer& drawer, const LChartGLTranslation& translation) override;

    // What the series group asks of its series; the flags are the series' own.
    Class seriesClass() const override { return objectClass(); }
    LChartDataSeries* dataSeries() const override { return LChartSeries::dataSeries(); }
    int32_t orientation() const override { return LChartSeries::orientation(); }
    bool isBarColumnSeries() const override { return false; }
    bool hidden() const override { return LChartSeries::hidden(); }
    void setHidden(bool hidden) override { LChartSeries::setHidden(hidden); }
    bool isEntering() const override { return LChartSeries::isEntering(); }
    bool isExiting() const override { return LChartSeries::isExiting(); }
    bool requiresRecalculation() const override { return LChartSeries::requiresRecalculation(); }
    void setRequiresRecalculation(bool required) override { LChartSeries::setRequiresRecalculation(required); }
    bool shouldReenter() const override { return LChartSeries::shouldReenter(); }
    void setShouldReenter(bool reenter) override { LChartSeries::setShouldReenter(reenter); }
    bool delayAnimation() const override { return LChartSeries::delayAnimation(); }
    void setDelayAnimation(bool delay) override { LChartSeries::setDelayAnimation(delay); }
    std::vector<Value> invalidBinKeys() const override;
    // Unstacked mapping: the x axis, then the y axis, maps the point for this series.
    void mapDataPointOnXAxisAndYAxis(LChartInternalDataPoint& point, LChartAxis& xAxis, LChartAxis& yAxis) override;
    // Stacking is for the kinds that stack; here both entry points are fatal.
    void mapWithStackedSeriesOnXAxisAndYAxis(
        const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxis& xAxis, LChartAxis& yAxis) override;
    void mapInvalidBinsWithStackedSeriesOnXAxisAndYAxis(const std::vector<Value>& bins,
        const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxis& xAxis, LChartAxis& yAxis) override;
    // The data series' range on the axis's direction, as a new number range; null before the
    // series has one.
    Ref<LChartRange> visibleRangeOnAxis(const LChartAxis& axis) const override;

    // Stacking, for the kinds that stack. The stack is the visible series of one stack index in
    // group order, the bottom first; each point is raised by the measured values of the series
    // below it at its changed value, and a low point marks where it starts.
    void mapWithStackedSeriesOnChangedAxisAndMeasuredAxis(
        const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxis& changedAxis, LChartAxis& measuredAxis);
    void mapInvalidBinsWithStackedSeriesOnChangedAxisAndMeasuredAxis(const std::vector<Value>& bins,
        const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxis& changedAxis, LChartAxis& measuredAxis);
    void mapDataPointsMatchingChangedValuesInStackedSeries(const std::vector<Value>& values,
        const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxis& measuredAxis, LChartAxis& changedAxis);
    // The distinct changed values of the points from `start` to `end`, both included, ascending.
    std::vector<Value> uniqueChangedValuesWithinRange(const Value& start, const Value& end) const;
    // The range widened to take in the series' baseline (or the axis's default baseline).
    Ref<LChartRange> rangeBaselinedWithRangeOnAxis(const Ref<LChartRange>& range, const LChartAxis& axis) const;
    // Stacking hooks: the measured value where the series has no point (0 here), the low point
    // that marks the bottom of a stacked point, and mapping a point raised by the offset.
    virtual double valueAtChangedValue(const Value& value, LChartAxis& changedAxis, LChartAxis& measuredAxis);
    virtual Ref<LChartInternalDataPoint> lowDataPointToMatchDataPoint(
        const LChartInternalDataPoint& point, double offset, LChartAxis& changedAxis, LChartAxis& measuredAxis);
    virtual void mapStackedDataPoint(
        LChartInternalDataPoint& point, LChartAxis& changedAxis, LChartAxis& measuredAxis, double offset);
    void removeEmptyInvalidBins();

    // The distance between two points in units of the scalars: mode 0 in the plane, 1 along x
    // only, 2 along y only; another mode is fatal.
    double distanceToCoordFromCoordWithScalarsWithDistanceMode(
        LChartPoint a, LChartPoint b, LChartPoint scalars, int32_t mode) const;
    virtual int32_t distanceComparisonModeForSeries() const { return 0; }
    virtual int32_t distanceComparisonModeForPoint() const { return 1; }
    // Nearest point by the points' values, each shifted by the series' slot on each axis and,
    // for a stacked series with a baseline, by that baseline on the measured axis. One candidate
    // is measured in `distanceComparisonModeForPoint`, several in
    // `distanceComparisonModeForSeries`; the crosshair sits on the values of the point found.
    void distanceInfoToPointInChartIsOnlySeries(
        LChartSeriesDistanceInfo& info, LChartPoint touch, const LChartHitTestHost& chart, bool isOnlySeries) override;
    // The units of a step on each axis: the x axis' visible span, and the y axis' span times
    // the plot area's width over its height, so that a step in y counts as much as the same
    // screen distance in x.
    LChartPoint distanceScalarsInChart(const LChartHitTestHost& chart) const;
    // The crosshair position on the found point's own values; nothing without a point.
    void setResolvedPointFromDataPoint(LChartSeriesDistanceInfo& info) const;

protected:
    // Writes into `info` the point whose position (as `positionOf` gives it) lies strictly
    // nearest to the touch, measured in the mode for one candidate or for several. The record's
    // distance starts at the largest double and its point at none.
    void findNearestPoint(LChartSeriesDistanceInfo& info, LChartPoint touch, const LChartHitTestHost& chart,
        bool isOnlySeries, const std::function<LChartPoint(LChartInternalDataPoint&)>& positionOf) const;
    void initCartesianSeries(std::shared_ptr<LChartErrorHandler> errorHandler);
    // The render kinds this series uses, all at 0.
    virtual RenderIndices emptyRenderIndexDict() const { return {}; }
    virtual void willDrawBinsWithGLBaseline(float) { }
    // Builds one bin's geometry, taking slots from (and advancing) `slots`.
    virtual void drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
        const LChartGLTranslation& translation, RenderIndices& slots);

private:
    bool m_isStacked { false };
    bool m_animated { false };
    Value m_baseline;
    Value m_stackIndex;
    int32_t m_numSeries { 0 };
    int32_t m_index { 0 };
    Value m_seriesWidth;
    Weak<LChartSeriesGroup> m_seriesGroup;
    Ref<LChartSeriesDataPointFinder> m_dataPointFinder;
    Ref<LChartRange> m_stackedRange;
    float m_animationDuration { 0 };
    int32_t m_animationCurve { 0 };
    RenderIndices m_nextAvailableRenderDataIndices;
};
