#include "charts/LChartSeriesDataPointFinder.h"

#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartOrderedDictionary.h"
#include "charts/LatticeChartLog.h"

void LChartSeriesDataPointFinder::initialiseWithSeries(const LChartFinderSeries* series)
{
    m_series = series;
    m_currentDataBinIndex = 0;
    m_currentBin = series ? series->dataBins().objectAtIndexAs<LChartSeriesDataBin>(0) : nullptr;
    m_currentDataPointIndex = 0;
    m_currentDataPoint = nullptr;
}

Ref<LChartSeriesDataPointFinder> LChartSeriesDataPointFinder::initWithSeries(const LChartFinderSeries* series)
{
    auto finder = make<LChartSeriesDataPointFinder>();
    finder->initialiseWithSeries(series);
    return finder;
}

std::optional<std::vector<LChartSeriesDataPointFinderResult>> LChartSeriesDataPointFinder::resultsForChangedValue(
    const Value&)
{
    LatticeChartLog::fatalLogMessageFromSource(
        "Cannot use abstract base class LChartSeriesDataPointFinder.  Use one of its children instead.", this);
}

Ref<LChartInternalDataPoint> LChartSeriesDataPointFinder::pointAtCurrentPosition() const
{
    if (!m_currentBin || m_currentDataPointIndex < 0
        || static_cast<size_t>(m_currentDataPointIndex) >= m_currentBin->dataPoints().size())
        return nullptr;
    return m_currentBin->dataPoints()[static_cast<size_t>(m_currentDataPointIndex)];
}

bool LChartSeriesDataPointFinder::currentPointMatches(const Value& value) const
{
    return m_currentDataPoint && m_series && m_series->changedValueOfDataPoint(*m_currentDataPoint).isEqual(value);
}

void LChartSeriesDataPointFinder::moveToNextDataPoint()
{
    ++m_currentDataPointIndex;
    if (m_currentBin && static_cast<size_t>(m_currentDataPointIndex) < m_currentBin->dataPoints().size()) {
        m_currentDataPoint = m_currentBin->dataPoints()[static_cast<size_t>(m_currentDataPointIndex)];
        return;
    }
    ++m_currentDataBinIndex;
    m_currentDataPointIndex = 0;
    const auto& bins = m_series->dataBins();
    if (static_cast<size_t>(m_currentDataBinIndex) < bins.count()) {
        m_currentBin = bins.objectAtIndexAs<LChartSeriesDataBin>(static_cast<uint32_t>(m_currentDataBinIndex));
        m_currentDataPoint
            = m_currentBin && !m_currentBin->dataPoints().empty() ? m_currentBin->dataPoints().front() : nullptr;
    } else {
        m_currentBin = nullptr;
        m_currentDataPoint = nullptr;
    }
}

std::vector<LChartSeriesDataPointFinderResult> LChartSeriesDataPointFinder::matchingDataPointResultsForChangedValue(
    const Value& value)
{
    std::vector<LChartSeriesDataPointFinderResult> results;
    while (m_currentBin) {
        LChartSeriesDataPointFinderResult result { m_currentBin.get(), m_currentDataPoint.get(), nullptr };
        const auto& lows = m_currentBin->lowDataPoints();
        if (m_currentDataPointIndex >= 0 && static_cast<size_t>(m_currentDataPointIndex) < lows.size())
            result.lowDataPoint = lows[static_cast<size_t>(m_currentDataPointIndex)].get();
        results.push_back(result);
        moveToNextDataPoint();
        if (!m_currentDataPoint || !currentPointMatches(value))
            break;
    }
    return results;
}

Ref<LChartSeriesSearchDataPointFinder> LChartSeriesSearchDataPointFinder::initWithSeries(
    const LChartFinderSeries* series)
{
    auto finder = make<LChartSeriesSearchDataPointFinder>();
    finder->initialiseWithSeries(series);
    return finder;
}

void LChartSeriesSearchDataPointFinder::reset()
{
    m_currentDataPoint = nullptr;
    m_currentDataPointIndex = 0;
    m_currentDataBinIndex = 0;
}

std::optional<std::vector<LChartSeriesDataPointFinderResult>> LChartSeriesSearchDataPointFinder::resultsForChangedValue(
    const Value& value)
{
    if (auto point = pointAtCurrentPosition())
        m_currentDataPoint = point;
    if (currentPointMatches(value))
        return matchingDataPointResultsForChangedValue(value);

    auto found = m_series ? m_series->dataBinContainingChangedValue(value) : std::nullopt;
    if (found && found->first) {
        m_currentBin = found->first;
        m_currentDataBinIndex = found->second;
        auto probe = LChartInternalDataPoint::init();
        m_series->setChangedValueOfDataPoint(value, *probe);
        Value target = m_series->changedValueOfDataPoint(*probe);
        const auto& points = m_currentBin->dataPoints();
        size_t lo = 0, hi = points.size();
        while (lo < hi) {
            size_t mid = (lo + hi) / 2;
            if (compareValues(m_series->changedValueOfDataPoint(*points[mid]), target) < 0)
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo < points.size() && compareValues(m_series->changedValueOfDataPoint(*points[lo]), target) == 0) {
            m_currentDataPointIndex = static_cast<int32_t>(lo);
            m_currentDataPoint = points[lo];
            return matchingDataPointResultsForChangedValue(value);
        }
    }
    reset();
    return std::nullopt;
}

Ref<LChartSeriesSteppingDataPointFinder> LChartSeriesSteppingDataPointFinder::initWithSeries(
    const LChartFinderSeries* series)
{
    auto finder = make<LChartSeriesSteppingDataPointFinder>();
    finder->initialiseWithSeries(series);
    return finder;
}

std::optional<std::vector<LChartSeriesDataPointFinderResult>>
LChartSeriesSteppingDataPointFinder::resultsForChangedValue(const Value& value)
{
    m_currentDataPoint = pointAtCurrentPosition();
    if (currentPointMatches(value))
        return matchingDataPointResultsForChangedValue(value);
    return std::nullopt;
}
