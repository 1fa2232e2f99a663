#include "charts/LChartStepLineSeries.h"

VX_REGISTER_CLASS(LChartStepLineSeries);

Ref<LChartStepLineSeries> LChartStepLineSeries::init(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    auto series = make<LChartStepLineSeries>();
    series->initLineSeries(std::move(errorHandler), true);
    return series;
}
