#include "charts/LChartLegendSymbolDonutSeries.h"

#include "charts/LChartDataSeries.h"
#include "charts/LChartDonutSeries.h"
#include "charts/LChartDonutSeriesStyle.h"

#include <numbers>

VX_REGISTER_CLASS(LChartLegendSymbolDonutSeries);

Ref<LChartLegendSymbolDonutSeries> LChartLegendSymbolDonutSeries::initWithSeriesAndSliceIndex(
    const Ref<LChartDonutSeries>& series, int32_t sliceIndex)
{
    return makeSliceSymbol<LChartLegendSymbolDonutSeries>(series, sliceIndex);
}

void LChartLegendSymbolDonutSeries::takeSlice(const Ref<LChartDonutSeries>& series, int32_t sliceIndex)
{
    m_series = series;
    m_style = series ? series->style() : nullptr;
    m_sliceIndex = sliceIndex;
}

void LChartLegendSymbolDonutSeries::drawRect(CGRect rect)
{
    LChartLegendSymbol::drawRect(rect);
    if (!m_series)
        return;
    CGFloat h = rect.size.height;
    auto quarter = static_cast<float>(std::numbers::pi / 4);
    m_series->drawSliceOfTotalFromAngleToAngleFromCentreWithInnerRadiusAndOuterRadiusAsSelectedInFrame(m_sliceIndex,
        static_cast<int32_t>(m_series->dataSeries()->dataPoints().size()), -quarter, quarter,
        CGPointMake(rect.origin.x + rect.size.width / 2, rect.origin.y + h),
        static_cast<float>(innerRadiusForHeight(h)), static_cast<float>(2 * h / 3), false,
        CGRectMake(rect.origin.x, rect.origin.y, 2 * rect.size.width, 2 * h));
}
