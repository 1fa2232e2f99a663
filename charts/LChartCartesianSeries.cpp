#include "charts/LChartCartesianSeries.h"

#include "charts/LChartAxis.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartHitTestHost.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartMutableOrderedSet.h"
#include "charts/LChartNumberRange.h"
#include "charts/LChartOrderedDictionary.h"
#include "charts/LChartRange.h"
#include "charts/LChartSeriesDataBin.h"
#include "charts/LChartSeriesDataPointFinder.h"
#include "foundation/NSString.h"

#include <algorithm>
#include <cmath>
#include <limits>

VX_REGISTER_CLASS(LChartCartesianSeries);

namespace {

Value toDictionary(const LChartCartesianSeries::RenderIndices& indices)
{
    Value dictionary = Value::mutableDictionary();
    for (const auto& [kind, slot] : indices)
        dictionary.setObjectForKey(Value(slot), Value(kind));
    return dictionary;
}

LChartCartesianSeries::RenderIndices fromDictionary(const Value& dictionary)
{
    LChartCartesianSeries::RenderIndices indices;
    if (dictionary.isDictionary())
        for (const auto& [kind, slot] : dictionary.entries())
            indices[kind.string()] = slot.intValue();
    return indices;
}

} // namespace

LChartCartesianSeries::LChartCartesianSeries(Passkey key)
    : LChartSeries(key)
{
}

void LChartCartesianSeries::initCartesianSeries(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    initSeries(std::move(errorHandler));
    m_isStacked = false;
    m_nextAvailableRenderDataIndices = emptyRenderIndexDict();
}

void LChartCartesianSeries::setStackIndex(const Value&)
{
    errorHandler()->handleErrorWithMessageFromSource("Stacking not available for this series type.", this);
}

void LChartCartesianSeries::checkForNewStackedRangeMinAndMax(double minimum, double maximum)
{
    if (!m_stackedRange) {
        m_stackedRange = LChartRange::initWithMinimumAndMaximum(Value(minimum), Value(maximum));
        return;
    }
    double oldMinimum = m_stackedRange->minimum().doubleValue();
    double oldMaximum = m_stackedRange->maximum().doubleValue();
    m_stackedRange
        = LChartRange::initWithMinimumAndMaximum(Value(std::min({ oldMinimum, oldMaximum, minimum, maximum })),
            Value(std::max({ oldMinimum, oldMaximum, minimum, maximum })));
}

void LChartCartesianSeries::setAnimationDuration(float duration)
{
    entryAnimation()->setDuration(Value(static_cast<double>(duration)));
    exitAnimation()->setDuration(Value(static_cast<double>(duration)));
    m_animationDuration = duration;
}

void LChartCartesianSeries::setAnimationCurve(int32_t curve)
{
    if (curve >= 0 && curve <= 4)
        entryAnimation()->animationWithCurve(curve);
    m_animationCurve = curve;
}

float LChartCartesianSeries::offsetFromCentre() const
{
    return static_cast<float>(m_index - (m_numSeries - ((m_numSeries + 1) % 2)) / 2);
}

bool LChartCartesianSeries::drawWithDrawerWithGLBaselineAndGLTranslation(
    LChartDrawer& drawer, float glBaseline, const LChartGLTranslation& translation)
{
    if (auto* animation = activeAnimation())
        animation->setSeries(this);
    willDrawBinsWithGLBaseline(glBaseline);
    for (const auto& object : invalidBins()->array()) {
        auto bin = std::static_pointer_cast<LChartSeriesDataBin>(object);
        bool isNew = !bin->renderDataIndexDict().isDictionary();
        if (isNew)
            bin->setRenderDataIndexDict(toDictionary(m_nextAvailableRenderDataIndices));
        // The bin keeps its first slots; drawing advances a copy.
        auto slots = fromDictionary(bin->renderDataIndexDict());
        drawBin(*bin, drawer, glBaseline, translation, slots);
        if (isNew) {
            for (const auto& [kind, slot] : slots)
                m_nextAvailableRenderDataIndices[kind] = std::max(m_nextAvailableRenderDataIndices[kind], slot);
        }
    }
    removeEmptyInvalidBins();
    clearInvalidBins();
    return false;
}

void LChartCartesianSeries::updateWithDrawerAndGLTranslation(
    LChartDrawer& drawer, const LChartGLTranslation& translation)
{
    drawer.updateSeriesWithTranslation(this, translation);
}

void LChartCartesianSeries::removeEmptyInvalidBins()
{
    std::vector<Ref<NSObject>> empty;
    for (const auto& object : invalidBins()->array()) {
        auto bin = std::static_pointer_cast<LChartSeriesDataBin>(object);
        if (bin->dataPoints().empty())
            empty.push_back(object);
    }
    for (const auto& object : empty) {
        auto bin = std::static_pointer_cast<LChartSeriesDataBin>(object);
        // Only the bin stored under its start value is dropped, never another that shares the key.
        auto& bins = mutableDataBins();
        if (bins.objectForKey(bin->startValue()) == object)
            bins.removeObjectForKey(bin->startValue());
    }
    invalidBins()->removeObjectsInArray(empty);
}

void LChartCartesianSeries::drawBin(
    LChartSeriesDataBin&, LChartDrawer&, float, const LChartGLTranslation&, RenderIndices&)
{
    errorHandler()->handleErrorWithMessageFromSource(
        "Should not be rendering the base LChartCartesianSeries class, you "
        "should be rendering one of the concrete subclasses instead.",
        this);
}

double LChartCartesianSeries::distanceToCoordFromCoordWithScalarsWithDistanceMode(
    LChartPoint a, LChartPoint b, LChartPoint scalars, int32_t mode) const
{
    double dx = (a.x - b.x) / scalars.x;
    double dy = (a.y - b.y) / scalars.y;
    switch (mode) {
    case 0:
        return std::sqrt(dx * dx + dy * dy);
    case 1:
        return std::fabs(dx);
    case 2:
        return std::fabs(dy);
    default:
        errorHandler()->handleFatalErrorWithMessageFromSource(
            NSString::stringWithFormat("bad distance mode %d", mode), this);
    }
    return 0;
}

LChartPoint LChartCartesianSeries::distanceScalarsInChart(const LChartHitTestHost& chart) const
{
    auto [xAxis, yAxis] = chart.axesForSeries(this);
    auto span = [](const LChartAxis* axis) {
        const auto& range = axis ? axis->axisRangeInternal() : nullptr;
        return range ? range->max() - range->min() : 0.0;
    };
    CGRect frame = chart.glFrameForHitTesting();
    double aspect = static_cast<double>(frame.size.width) / static_cast<double>(frame.size.height);
    return { span(xAxis), aspect * span(yAxis) };
}

void LChartCartesianSeries::findNearestPoint(LChartSeriesDistanceInfo& info, LChartPoint touch,
    const LChartHitTestHost& chart, bool isOnlySeries,
    const std::function<LChartPoint(LChartInternalDataPoint&)>& positionOf) const
{
    info.distance = std::numeric_limits<double>::max();
    info.dataPoint = nullptr;
    LChartPoint scalars = distanceScalarsInChart(chart);
    int32_t mode = isOnlySeries ? distanceComparisonModeForPoint() : distanceComparisonModeForSeries();
    for (const auto& point : dataSeries()->dataPoints()) {
        double d = distanceToCoordFromCoordWithScalarsWithDistanceMode(touch, positionOf(*point), scalars, mode);
        if (d < info.distance) {
            info.distance = d;
            info.dataPoint = point;
        }
    }
}

void LChartCartesianSeries::distanceInfoToPointInChartIsOnlySeries(
    LChartSeriesDistanceInfo& info, LChartPoint touch, const LChartHitTestHost& chart, bool isOnlySeries)
{
    auto [xAxis, yAxis] = chart.axesForSeries(this);
    if (!xAxis || !yAxis)
        return;
    LChartPoint offset;
    if (!stackIndex().isNilOrNull() && !baseline().isNilOrNull())
        (orientation() == 1 ? offset.x : offset.y) = baseline().doubleValue();
    double adjustX = dataValueAdjustForAxis(*xAxis);
    double adjustY = dataValueAdjustForAxis(*yAxis);
    findNearestPoint(info, touch, chart, isOnlySeries, [&](LChartInternalDataPoint& point) {
        return LChartPoint { point.sChartXValue().doubleValue() + adjustX + offset.x,
            point.sChartYValue().doubleValue() + adjustY + offset.y };
    });
    setResolvedPointFromDataPoint(info);
}

void LChartCartesianSeries::setResolvedPointFromDataPoint(LChartSeriesDistanceInfo& info) const
{
    if (!info.dataPoint)
        return;
    info.resolvedPoint = { info.dataPoint->sChartXValue().doubleValue(), info.dataPoint->sChartYValue().doubleValue() };
}

std::vector<Value> LChartCartesianSeries::invalidBinKeys() const
{
    std::vector<Value> keys;
    for (const auto& object : invalidBins()->array())
        keys.push_back(std::static_pointer_cast<LChartSeriesDataBin>(object)->startValue());
    return keys;
}

void LChartCartesianSeries::mapDataPointOnXAxisAndYAxis(
    LChartInternalDataPoint& point, LChartAxis& xAxis, LChartAxis& yAxis)
{
    xAxis.mapCoordinatesForDataPointInSeries(point, *this);
    yAxis.mapCoordinatesForDataPointInSeries(point, *this);
}

void LChartCartesianSeries::mapWithStackedSeriesOnXAxisAndYAxis(
    const std::vector<Ref<LChartGroupedSeries>>&, LChartAxis&, LChartAxis&)
{
    errorHandler()->handleFatalErrorWithMessageFromSource("Stacking not available for this series type.", this);
}

void LChartCartesianSeries::mapInvalidBinsWithStackedSeriesOnXAxisAndYAxis(
    const std::vector<Value>&, const std::vector<Ref<LChartGroupedSeries>>&, LChartAxis&, LChartAxis&)
{
    errorHandler()->handleFatalErrorWithMessageFromSource("Stacking not available for this series type.", this);
}

Ref<LChartRange> LChartCartesianSeries::visibleRangeOnAxis(const LChartAxis& axis) const
{
    const Ref<LChartRange>& range = axis.isXAxis() ? dataSeries()->rangeX() : dataSeries()->rangeY();
    if (!range)
        return nullptr;
    return LChartNumberRange::initWithMinimumAndMaximum(range->minimum(), range->maximum());
}

namespace {

LChartCartesianSeries& asCartesian(const Ref<LChartGroupedSeries>& series)
{
    return dynamic_cast<LChartCartesianSeries&>(*series);
}

void sortAndUnique(std::vector<Value>& values)
{
    std::sort(
        values.begin(), values.end(), [](const Value& a, const Value& b) { return a.doubleValue() < b.doubleValue(); });
    values.erase(std::unique(values.begin(), values.end(),
                     [](const Value& a, const Value& b) { return a.doubleValue() == b.doubleValue(); }),
        values.end());
}

} // namespace

void LChartCartesianSeries::mapWithStackedSeriesOnChangedAxisAndMeasuredAxis(
    const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxis& changedAxis, LChartAxis& measuredAxis)
{
    if (!measuredAxis.allowsStacking())
        return;
    if (stack.size() > 1)
        for (const auto& series : stack)
            series->setIsStacked(true);
    std::vector<Value> values;
    for (const auto& series : stack)
        for (const auto& point : series->dataSeries()->dataPoints())
            values.push_back(changedValueOfDataPoint(*point));
    sortAndUnique(values);
    for (const auto& series : stack) {
        auto& member = asCartesian(series);
        member.m_dataPointFinder = LChartSeriesSteppingDataPointFinder::initWithSeries(&member);
    }
    mapDataPointsMatchingChangedValuesInStackedSeries(values, stack, measuredAxis, changedAxis);
}

void LChartCartesianSeries::mapInvalidBinsWithStackedSeriesOnChangedAxisAndMeasuredAxis(const std::vector<Value>& bins,
    const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxis& changedAxis, LChartAxis& measuredAxis)
{
    if (!measuredAxis.allowsStacking())
        return;
    for (const Value& key : bins) {
        auto bin = dataBins().objectForKeyAs<LChartSeriesDataBin>(key);
        if (!bin)
            continue;
        std::vector<Value> values;
        for (const auto& series : stack) {
            auto more = asCartesian(series).uniqueChangedValuesWithinRange(bin->startValue(), bin->endValue());
            values.insert(values.end(), more.begin(), more.end());
        }
        sortAndUnique(values);
        for (const auto& series : stack) {
            auto& member = asCartesian(series);
            member.m_dataPointFinder = LChartSeriesSearchDataPointFinder::initWithSeries(&member);
        }
        mapDataPointsMatchingChangedValuesInStackedSeries(values, stack, measuredAxis, changedAxis);
    }
}

std::vector<Value> LChartCartesianSeries::uniqueChangedValuesWithinRange(const Value& start, const Value& end) const
{
    const auto& points = dataSeries()->dataPoints();
    double low = start.doubleValue();
    double high = end.isNilOrNull() ? low : end.doubleValue();
    auto first = std::partition_point(points.begin(), points.end(),
        [&](const Ref<LChartInternalDataPoint>& p) { return changedValueOfDataPoint(*p).doubleValue() < low; });
    std::vector<Value> values;
    for (auto it = first; it != points.end(); ++it) {
        Value value = changedValueOfDataPoint(**it);
        if (value.doubleValue() > high)
            break;
        values.push_back(value);
    }
    sortAndUnique(values);
    return values;
}

void LChartCartesianSeries::mapDataPointsMatchingChangedValuesInStackedSeries(const std::vector<Value>& values,
    const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxis& measuredAxis, LChartAxis& changedAxis)
{
    auto group = m_seriesGroup.lock();
    double base = group ? group->baselineForSeries(*this) : 0.0;
    for (const Value& value : values) {
        double offset = base;
        for (const auto& entry : stack) {
            auto& series = asCartesian(entry);
            double contribution = 0;
            auto results
                = series.m_dataPointFinder ? series.m_dataPointFinder->resultsForChangedValue(value) : std::nullopt;
            if (results && !results->empty()) {
                for (const auto& result : *results) {
                    if (result.lowDataPoint) {
                        series.setMeasuredValueOfDataPoint(Value(offset), *result.lowDataPoint);
                        changedAxis.mapCoordinatesForDataPointInSeries(*result.lowDataPoint, series);
                        measuredAxis.mapCoordinatesForDataPointInSeries(*result.lowDataPoint, series);
                    } else if (result.dataBin) {
                        if (auto low
                            = series.lowDataPointToMatchDataPoint(*result.dataPoint, offset, changedAxis, measuredAxis))
                            result.dataBin->addLowDataPoint(low);
                    }
                    series.mapStackedDataPoint(*result.dataPoint, changedAxis, measuredAxis, offset);
                    double measured = series.measuredValueOfDataPoint(*result.dataPoint).doubleValue();
                    if (result.dataBin && !result.dataBin->invalid())
                        series.invalidateBin(
                            std::static_pointer_cast<LChartSeriesDataBin>(result.dataBin->shared_from_this()));
                    if (std::fabs(measured) > std::fabs(contribution))
                        contribution = measured;
                }
            } else {
                contribution = series.valueAtChangedValue(value, changedAxis, measuredAxis);
            }
            offset += contribution;
        }
    }
}

Ref<LChartRange> LChartCartesianSeries::rangeBaselinedWithRangeOnAxis(
    const Ref<LChartRange>& range, const LChartAxis& axis) const
{
    if (!range)
        return nullptr;
    double baseline
        = m_baseline.isNilOrNull() ? axis.defaultBaseline() : axis.transformValueToInternal(m_baseline).doubleValue();
    if (baseline < range->min())
        return LChartNumberRange::initWithMinimumAndMaximum(Value(baseline), range->maximum());
    if (baseline > range->max())
        return LChartNumberRange::initWithMinimumAndMaximum(range->minimum(), Value(baseline));
    return range;
}

double LChartCartesianSeries::valueAtChangedValue(const Value&, LChartAxis&, LChartAxis&)
{
    return 0.0;
}

Ref<LChartInternalDataPoint> LChartCartesianSeries::lowDataPointToMatchDataPoint(
    const LChartInternalDataPoint&, double, LChartAxis&, LChartAxis&)
{
    errorHandler()->handleErrorWithMessageFromSource("This should be done in child class", this);
    return nullptr;
}

void LChartCartesianSeries::mapStackedDataPoint(LChartInternalDataPoint&, LChartAxis&, LChartAxis&, double)
{
    errorHandler()->handleErrorWithMessageFromSource("This should be done in child class", this);
}
