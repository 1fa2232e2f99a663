#include "charts/LChartSeriesDataBin.h"

#include "charts/LChartInternalDataPoint.h"

#include <algorithm>

Ref<LChartSeriesDataBin> LChartSeriesDataBin::initWithStartValueDataPointValueConverter(
    const Value& startValue, const LChartInternalDataPointValueConverter* converter)
{
    return make<LChartSeriesDataBin>(startValue, converter);
}

Value LChartSeriesDataBin::changedValue(const LChartInternalDataPoint& point) const
{
    return m_valueConverter ? m_valueConverter->changedValueOfDataPoint(point) : Value();
}

void LChartSeriesDataBin::addDataPoint(const Ref<LChartInternalDataPoint>& point)
{
    m_dataPoints.push_back(point);
    m_endValue = changedValue(*point);
}

void LChartSeriesDataBin::removeDataPoint(const Ref<LChartInternalDataPoint>& point)
{
    auto found = std::find(m_dataPoints.begin(), m_dataPoints.end(), point);
    if (found == m_dataPoints.end())
        return;
    size_t position = static_cast<size_t>(found - m_dataPoints.begin());
    m_dataPoints.erase(found);
    if (!m_lowDataPoints.empty())
        removeLowDataPointAtIndex(position);
    m_endValue = m_dataPoints.empty() ? Value() : changedValue(*m_dataPoints.back());
}

void LChartSeriesDataBin::clear()
{
    m_dataPoints.clear();
    m_lowDataPoints.clear();
}

void LChartSeriesDataBin::removeLowDataPointAtIndex(size_t index)
{
    if (index < m_lowDataPoints.size())
        m_lowDataPoints.erase(m_lowDataPoints.begin() + static_cast<std::ptrdiff_t>(index));
}
