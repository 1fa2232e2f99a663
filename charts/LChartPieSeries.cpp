#include "charts/LChartPieSeries.h"

#include "charts/LChartDonutSeriesStyle.h"

VX_REGISTER_CLASS(LChartPieSeries);

Ref<LChartPieSeries> LChartPieSeries::init(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    auto series = make<LChartPieSeries>();
    series->initDonutSeries(std::move(errorHandler));
    series->setBaseStyle(LChartPieSeriesStyle::init());
    series->setBaseSelectedStyle(LChartPieSeriesStyle::init());
    return series;
}
