#include "charts/LChartLegendSymbolScatterSeries.h"

#include "charts/LChartScatterSeries.h"

VX_REGISTER_CLASS(LChartLegendSymbolScatterSeries);

Ref<LChartLegendSymbolScatterSeries> LChartLegendSymbolScatterSeries::initWithSeries(const LChartScatterSeries& series)
{
    return makePointSymbol<LChartLegendSymbolScatterSeries>(series);
}
