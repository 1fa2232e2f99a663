#include "charts/LChartDataSeries.h"

#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartRange.h"
#include "charts/LatticeChartLog.h"

Ref<LChartDataSeries> LChartDataSeries::init()
{
    return initWithErrorHandler(LatticeChartLog::logger());
}

Ref<LChartDataSeries> LChartDataSeries::initWithErrorHandler(std::shared_ptr<LChartErrorHandler> handler)
{
    auto series = make<LChartDataSeries>();
    series->m_errorHandler = std::move(handler);
    return series;
}

namespace {

std::vector<Value> allValues(const std::vector<Ref<LChartInternalDataPoint>>& points, bool x)
{
    std::vector<Value> result;
    for (const auto& point : points) {
        const Value& keyed = x ? point->xValues() : point->yValues();
        if (keyed.count() > 0) {
            for (const auto& entry : keyed.entries())
                result.push_back(entry.second);
        } else {
            result.push_back(x ? point->xValue() : point->yValue());
        }
    }
    return result;
}

} // namespace

std::vector<Value> LChartDataSeries::allXValues() const
{
    return allValues(m_dataPoints, true);
}

std::vector<Value> LChartDataSeries::allYValues() const
{
    return allValues(m_dataPoints, false);
}
