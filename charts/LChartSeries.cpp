#include "charts/LChartSeries.h"

#include "charts/LChartAxis.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartMutableOrderedSet.h"
#include "charts/LChartOrderedDictionary.h"
#include "charts/LChartRange.h"
#include "charts/LChartSeriesDataBin.h"
#include "charts/LChartSeriesStyle.h"
#include "charts/LatticeChartLog.h"
#include "foundation/NSString.h"
#include "uikit/UIScreen.h"

#include <algorithm>
#include <cmath>

VX_REGISTER_CLASS(LChartSeries);

LChartSeries::LChartSeries(Passkey key)
    : NSObject(key)
{
}

LChartSeries::~LChartSeries()
{
    // The animations keep the series unretained; they may outlive it in a caller's hands.
    if (m_entryAnimation)
        m_entryAnimation->setSeries(nullptr);
    if (m_exitAnimation)
        m_exitAnimation->setSeries(nullptr);
}

void LChartSeries::initSeries(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    m_errorHandler
        = errorHandler ? std::move(errorHandler) : std::shared_ptr<LChartErrorHandler>(LatticeChartLog::logger());
    m_showInLegend = true;
    m_selectionMode = 0;
    m_dataSeries = LChartDataSeries::initWithErrorHandler(m_errorHandler);
    m_hidden = false;
    m_requiresRecalculation = true;
    m_entryAnimation = LChartAnimation::init();
    m_exitAnimation = LChartAnimation::init();
    m_entryAnimation->setSeries(this);
    m_exitAnimation->setSeries(this);
    m_isEntering = m_isExiting = m_shouldReenter = m_delayAnimation = false;
    m_animationEnabled = false;
    auto keys = orderedKeysForDataValues();
    m_dataSeries->setYValueKeys(keys);
    m_dataSeries->setXValueKeys(keys);
    m_dataSeries->setValueKeys(keys);
    clearAppendFlags();
    m_dataBins = LChartOrderedDictionary::dictionary();
    m_invalidBins = LChartMutableOrderedSet::orderedSet();
    m_startDataPointIndex = m_endDataPointIndex = 0;
}

int32_t LChartSeries::numberOfDataPointsInBin() const
{
    return m_maxNumberOfPointsInBin.intValue();
}

void LChartSeries::setNumberOfDataPointsInBin(int32_t size)
{
    m_maxNumberOfPointsInBin = Value(size);
}

// Data and bins.

void LChartSeries::addDataPoint(const Ref<LChartInternalDataPoint>& point)
{
    point->setSChartDataPointIndex(m_endDataPointIndex);
    if (m_dataSeries->dataPoints().empty())
        m_startDataPointIndex = m_endDataPointIndex;
    m_endDataPointIndex += 1;
    m_dataSeries->dataPoints().push_back(point);
    auto bin = nextAvailableDataBin();
    if (!bin) {
        // A new bin's key is the point's changed value. When a bin already has that key (more
        // than a bin's worth of equal values, or an unsorted series), the point goes to the last
        // bin instead, so no bin is ever replaced and its points lost.
        Value key = changedValueOfDataPoint(*point);
        if (m_dataBins->objectForKey(key) && m_dataBins->count() > 0)
            bin = m_dataBins->objectAtIndexAs<LChartSeriesDataBin>(static_cast<uint32_t>(m_dataBins->count() - 1));
        else
            bin = addDataBinToContainDataPoint(*point);
    }
    bin->addDataPoint(point);
    invalidateBin(bin);
}

void LChartSeries::removeDataPoint(const Ref<LChartInternalDataPoint>& given)
{
    // A copy: the caller may hand in a reference into the very array the point leaves.
    const Ref<LChartInternalDataPoint> point = given;
    auto bin = dataBinForDataPointIndex(point->sChartDataPointIndex());
    m_startDataPointIndex += 1;
    auto& points = m_dataSeries->dataPoints();
    auto found = std::find(points.begin(), points.end(), point);
    if (found != points.end())
        points.erase(found);
    if (bin) {
        bin->removeDataPoint(point);
        invalidateBin(bin);
    }
}

void LChartSeries::appendNumberOfDataPoints(int32_t count)
{
    m_dataToAppendOrRemove = true;
    m_numberOfNewDataPoints += count;
}

void LChartSeries::removeNumberOfDataPoints(int32_t count)
{
    m_numberOfPointsToRemoveFromStart += count;
    auto held = static_cast<int32_t>(m_dataSeries->dataPoints().size());
    if (m_numberOfPointsToRemoveFromStart > held) {
        m_errorHandler->handleErrorWithMessageFromSource(
            NSString::stringWithFormat(
                "Unable to remove %ld data points, as the series only contains %ld data points.  Will "
                "remove %ld points from the series.",
                static_cast<long>(m_numberOfPointsToRemoveFromStart), static_cast<long>(held), static_cast<long>(held)),
            this);
        m_numberOfPointsToRemoveFromStart = held;
    }
    m_dataToAppendOrRemove = true;
}

void LChartSeries::clearAppendFlags()
{
    m_dataToAppendOrRemove = false;
    m_numberOfNewDataPoints = 0;
    m_numberOfPointsToRemoveFromStart = 0;
}

void LChartSeries::calcMinMax()
{
    Value minX, maxX, minY, maxY;
    auto consider = [](const Value& candidate, Value& minimum, Value& maximum, int32_t index, int32_t& minIndex,
                        int32_t& maxIndex) {
        // A value that is not a finite number has no place in a range (NaN compares with
        // nothing, so as the first value it would hold the whole range).
        if (candidate.isNilOrNull() || (candidate.isNumber() && !std::isfinite(candidate.doubleValue())))
            return;
        if (maximum.isNil() || compareValues(candidate, maximum) == 1) {
            maximum = candidate;
            maxIndex = index;
        }
        if (minimum.isNil() || compareValues(candidate, minimum) == -1) {
            minimum = candidate;
            minIndex = index;
        }
    };
    int32_t minXIndex = m_dataSeries->indexOfDatapointWithMinX(), maxXIndex = m_dataSeries->indexOfDatapointWithMaxX();
    int32_t minYIndex = m_dataSeries->indexOfDatapointWithMinY(), maxYIndex = m_dataSeries->indexOfDatapointWithMaxY();
    for (const auto& point : m_dataSeries->dataPoints()) {
        int32_t index = point->sChartDataPointIndex();
        consider(point->xValue(), minX, maxX, index, minXIndex, maxXIndex);
        if (point->xValues().isDictionary())
            for (const auto& [key, value] : point->xValues().entries())
                consider(value, minX, maxX, index, minXIndex, maxXIndex);
        consider(point->yValue(), minY, maxY, index, minYIndex, maxYIndex);
        if (point->yValues().isDictionary())
            for (const auto& [key, value] : point->yValues().entries())
                consider(value, minY, maxY, index, minYIndex, maxYIndex);
    }
    m_dataSeries->setIndexOfDatapointWithMinX(minXIndex);
    m_dataSeries->setIndexOfDatapointWithMaxX(maxXIndex);
    m_dataSeries->setIndexOfDatapointWithMinY(minYIndex);
    m_dataSeries->setIndexOfDatapointWithMaxY(maxYIndex);
    m_dataSeries->setRangeX(LChartRange::initWithMinimumAndMaximum(minX, maxX));
    m_dataSeries->setRangeY(LChartRange::initWithMinimumAndMaximum(minY, maxY));
}

const LChartOrderedDictionary& LChartSeries::dataBins() const
{
    return *m_dataBins;
}

void LChartSeries::invalidateBin(const Ref<LChartSeriesDataBin>& bin)
{
    bin->setInvalid(true);
    m_invalidBins->addObject(bin);
}

void LChartSeries::invalidateBinContainingDataPoint(const LChartInternalDataPoint& point)
{
    if (auto found = dataBinContainingChangedValue(changedValueOfDataPoint(point)))
        invalidateBin(found->first);
}

void LChartSeries::invalidateAllBins()
{
    for (uint32_t i = 0; i < m_dataBins->count(); ++i)
        invalidateBin(m_dataBins->objectAtIndexAs<LChartSeriesDataBin>(i));
}

void LChartSeries::clearInvalidBins()
{
    for (const auto& object : *m_invalidBins)
        std::static_pointer_cast<LChartSeriesDataBin>(object)->setInvalid(false);
    m_invalidBins->removeAllObjects();
}

Ref<LChartSeriesDataBin> LChartSeries::dataBinWithStartValue(const Value& value)
{
    return LChartSeriesDataBin::initWithStartValueDataPointValueConverter(value, this);
}

Ref<LChartSeriesDataBin> LChartSeries::createAndInitialiseDataBinWithStartValue(const Value& value)
{
    auto bin = dataBinWithStartValue(value);
    if (!m_maxNumberOfPointsInBin.isNilOrNull())
        bin->setMaxBinSize(m_maxNumberOfPointsInBin.intValue());
    return bin;
}

Ref<LChartSeriesDataBin> LChartSeries::addDataBinWithStartValue(const Value& value)
{
    auto bin = createAndInitialiseDataBinWithStartValue(value);
    m_dataBins->setObjectForKey(bin, value);
    return bin;
}

Ref<LChartSeriesDataBin> LChartSeries::addDataBinToContainDataPoint(const LChartInternalDataPoint& point)
{
    return addDataBinWithStartValue(changedValueOfDataPoint(point));
}

Ref<LChartSeriesDataBin> LChartSeries::nextAvailableDataBin() const
{
    if (m_dataBins->count() == 0)
        return nullptr;
    auto last = m_dataBins->objectAtIndexAs<LChartSeriesDataBin>(static_cast<uint32_t>(m_dataBins->count() - 1));
    return static_cast<int32_t>(last->dataPoints().size()) < last->maxBinSize() ? last : nullptr;
}

Ref<LChartSeriesDataBin> LChartSeries::dataBinForDataPointIndex(int32_t index) const
{
    int64_t total = m_startDataPointIndex;
    for (uint32_t i = 0; i < m_dataBins->count(); ++i) {
        auto bin = m_dataBins->objectAtIndexAs<LChartSeriesDataBin>(i);
        total += static_cast<int64_t>(bin->dataPoints().size());
        if (index < total)
            return bin;
    }
    return nullptr;
}

std::optional<std::pair<Ref<LChartSeriesDataBin>, int32_t>> LChartSeries::closestDataBinLessThanChangedValue(
    const Value& value) const
{
    const auto& keys = m_dataBins->allKeys();
    auto position = std::lower_bound(
        keys.begin(), keys.end(), value, [](const Value& a, const Value& b) { return compareValues(a, b) < 0; });
    auto i = static_cast<int32_t>(position - keys.begin());
    if (i == 0)
        return std::nullopt;
    return std::pair { m_dataBins->objectAtIndexAs<LChartSeriesDataBin>(static_cast<uint32_t>(i - 1)), i - 1 };
}

std::optional<std::pair<Ref<LChartSeriesDataBin>, int32_t>> LChartSeries::dataBinContainingChangedValue(
    const Value& value) const
{
    const auto& keys = m_dataBins->allKeys();
    if (keys.empty())
        return std::nullopt;
    auto position = std::lower_bound(
        keys.begin(), keys.end(), value, [](const Value& a, const Value& b) { return compareValues(a, b) < 0; });
    if (position != keys.end() && compareValues(*position, value) == 0) {
        auto i = static_cast<uint32_t>(position - keys.begin());
        return std::pair { m_dataBins->objectAtIndexAs<LChartSeriesDataBin>(i), static_cast<int32_t>(i) };
    }
    auto closest = closestDataBinLessThanChangedValue(value);
    if (closest && closest->first->endValue().doubleValue() >= value.doubleValue())
        return closest;
    return std::nullopt;
}

Ref<LChartSeriesDataBin> LChartSeries::dataBinWithStartingValue(const Value& value) const
{
    return m_dataBins->objectForKeyAs<LChartSeriesDataBin>(value);
}

int32_t LChartSeries::indexOfDataBin(const LChartSeriesDataBin& bin) const
{
    const auto& keys = m_dataBins->allKeys();
    for (size_t i = 0; i < keys.size(); ++i)
        if (compareValues(keys[i], bin.startValue()) == 0)
            return static_cast<int32_t>(i);
    return -1;
}

void LChartSeries::clearDataBins()
{
    m_dataBins->removeAllObjects();
    m_invalidBins->removeAllObjects();
}

Value LChartSeries::changedValueOfDataPoint(const LChartInternalDataPoint& point) const
{
    return orientation() == 0 ? point.xValue() : point.yValue();
}

Value LChartSeries::measuredValueOfDataPoint(const LChartInternalDataPoint& point) const
{
    return orientation() == 0 ? point.yValue() : point.xValue();
}

void LChartSeries::setChangedValueOfDataPoint(const Value& value, LChartInternalDataPoint& point) const
{
    if (orientation() == 0)
        point.setXValue(value);
    else
        point.setYValue(value);
}

void LChartSeries::setMeasuredValueOfDataPoint(const Value& value, LChartInternalDataPoint& point) const
{
    if (orientation() == 0)
        point.setYValue(value);
    else
        point.setXValue(value);
}

// Visibility and animation.

void LChartSeries::startAnimation(LChartAnimation& starting, const LChartAnimation& stopping)
{
    // Start from where the other animation had got to, so the series turns around smoothly.
    double stoppingElapsed = stopping.timeElapsed().doubleValue();
    double stoppingDuration = stopping.duration().doubleValue();
    bool unfinished = m_activeAnimation == &stopping && stoppingElapsed < stoppingDuration && stoppingDuration > 0;
    double elapsed = unfinished ? starting.duration().doubleValue() * (1 - stoppingElapsed / stoppingDuration) : 0;
    starting.setTimeElapsed(Value(elapsed));
    m_activeAnimation = &starting;
}

void LChartSeries::setHidden(bool hidden)
{
    if (hidden == m_hidden)
        return;
    m_hidden = hidden;
    m_delayAnimation = false;
    m_requiresRecalculation = true;
    if (hidden) {
        startAnimation(*m_exitAnimation, *m_entryAnimation);
        m_exitAnimation->setReverse(true);
        m_isEntering = false;
        m_isExiting = true;
    } else {
        startAnimation(*m_entryAnimation, *m_exitAnimation);
        m_entryAnimation->setReverse(false);
        m_isExiting = false;
        m_isEntering = true;
    }
    updateAnimation(0);
}

void LChartSeries::updateAnimation(double seconds)
{
    if (m_delayAnimation || !m_activeAnimation)
        return;
    auto* animation = m_activeAnimation;
    animation->setTimeElapsed(Value(animation->timeElapsed().floatValue() + static_cast<float>(seconds)));
    if (animation->timeElapsed().doubleValue() < animation->duration().doubleValue())
        return;
    if (animation == m_exitAnimation.get()) {
        m_isExiting = false;
        if (m_shouldReenter) {
            m_shouldReenter = false;
            setHidden(false);
        }
    } else if (animation == m_entryAnimation.get()) {
        m_isEntering = false;
    }
}

void LChartSeries::setEntryAnimation(const Ref<LChartAnimation>& animation)
{
    bool active = m_activeAnimation && m_activeAnimation == m_entryAnimation.get();
    if (m_entryAnimation)
        m_entryAnimation->setSeries(nullptr);
    m_entryAnimation = animation;
    if (animation)
        animation->setSeries(this);
    if (active)
        m_activeAnimation = animation.get();
}

void LChartSeries::setExitAnimation(const Ref<LChartAnimation>& animation)
{
    bool active = m_activeAnimation && m_activeAnimation == m_exitAnimation.get();
    if (m_exitAnimation)
        m_exitAnimation->setSeries(nullptr);
    m_exitAnimation = animation;
    if (animation)
        animation->setSeries(this);
    if (active)
        m_activeAnimation = animation.get();
}

void LChartSeries::sendAnimationDidFinishCallback(LChartAnimation&)
{
    // FIXME: tell the chart's delegate (series did finish animating) once the chart view exists.
}

float LChartSeries::resolutionScale() const
{
    auto screen = UIScreen::mainScreen();
    return screen ? static_cast<float>(screen->scale()) : 1.0f;
}

// Styles and keys.

void LChartSeries::applyStylesFromThemeAtStyleIndexPreservingSetValues(
    const LChartTheme& theme, int32_t index, bool preservingSetValues)
{
    auto normal = themeStyle(theme, index, false);
    auto selected = themeStyle(theme, index, true);
    if (!preservingSetValues) {
        m_style = normal;
        m_selectedStyle = selected;
        return;
    }
    supplementStylesFromStyles(normal, selected);
}

std::string LChartSeries::stringForKeyWithDataPoint(const std::string& key, const LChartDataPoint*) const
{
    return NSString::stringWithFormat("%@: ", key);
}

Value LChartSeries::intRepresentationFromKey(const std::string& key) const
{
    auto keys = orderedKeysForDataValues();
    for (size_t i = 0; i < keys.size(); ++i)
        if (stringForKeyWithDataPoint(keys[i], nullptr) == key)
            return Value(static_cast<int32_t>(i));
    return {};
}

std::vector<std::string> LChartSeries::xValueKeys() const
{
    return m_dataSeries->xValueKeys();
}

std::vector<std::string> LChartSeries::yValueKeys() const
{
    return m_dataSeries->yValueKeys();
}

std::vector<std::string> LChartSeries::valueKeys() const
{
    return m_dataSeries->valueKeys();
}

std::optional<std::string> LChartSeries::stringForValueWithKeyWithDataPoint(
    const std::string& key, LChartDataPoint& point, LChartAxis* axis) const
{
    if (axis) {
        if (axis->isXAxis()) {
            if (point.respondsToSChartXValueForKey())
                return axis->stringForId(point.sChartXValueForKey(key));
        } else if (point.respondsToSChartYValueForKey()) {
            return axis->stringForId(point.sChartYValueForKey(key));
        }
        return std::nullopt;
    }
    if (point.respondsToSChartValueForKey())
        return NSString::stringWithFormat("%@", point.sChartValueForKey(key));
    return std::nullopt;
}

std::function<int(const std::string&, const std::string&)> LChartSeries::comparatorForValueKeys() const
{
    // The positions are looked up once, so sorting does not relabel every key per comparison.
    std::vector<std::string> labels;
    for (const auto& key : orderedKeysForDataValues())
        labels.push_back(stringForKeyWithDataPoint(key, nullptr));
    return [labels = std::move(labels)](const std::string& a, const std::string& b) {
        auto position = [&](const std::string& label) {
            return static_cast<size_t>(std::find(labels.begin(), labels.end(), label) - labels.begin());
        };
        size_t pa = position(a);
        size_t pb = position(b);
        if (pa != pb)
            return pa < pb ? -1 : 1;
        if (pa < labels.size())
            return 0;
        return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
    };
}

void LChartSeries::distanceInfoToPointInChartIsOnlySeries(
    LChartSeriesDistanceInfo&, LChartPoint, const LChartHitTestHost&, bool)
{
}
