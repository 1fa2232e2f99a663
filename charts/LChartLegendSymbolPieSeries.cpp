#include "charts/LChartLegendSymbolPieSeries.h"

VX_REGISTER_CLASS(LChartLegendSymbolPieSeries);

Ref<LChartLegendSymbolPieSeries> LChartLegendSymbolPieSeries::initWithSeriesAndSliceIndex(
    const Ref<LChartDonutSeries>& series, int32_t sliceIndex)
{
    return makeSliceSymbol<LChartLegendSymbolPieSeries>(series, sliceIndex);
}
