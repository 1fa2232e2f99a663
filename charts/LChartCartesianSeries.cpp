#include "charts/LChartCartesianSeries.h"

#include "charts/LChartAxis.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartMutableOrderedSet.h"
#include "charts/LChartNumberRange.h"
#include "charts/LChartOrderedDictionary.h"
#include "charts/LChartRange.h"
#include "charts/LChartSeriesDataBin.h"
#include "foundation/NSString.h"

#include <algorithm>
#include <cmath>

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
