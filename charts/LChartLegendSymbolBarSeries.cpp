#include "charts/LChartLegendSymbolBarSeries.h"

#include "charts/LChartBandSeriesStyle.h"
#include "charts/LChartBarSeries.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

VX_REGISTER_CLASS(LChartLegendSymbolBarSeries);

Ref<LChartLegendSymbolBarSeries> LChartLegendSymbolBarSeries::initWithSeries(const LChartBarSeries& series)
{
    auto symbol = makeSymbol<LChartLegendSymbolBarSeries>();
    symbol->m_style = series.style();
    return symbol;
}

void LChartLegendSymbolBarSeries::drawRect(CGRect rect)
{
    LChartLegendSymbol::drawRect(rect);
    if (!m_style)
        return;
    CGSize size = bounds().size;
    CGFloat w = size.width, h = size.height;
    fillAndFrame(UIGraphicsGetCurrentContext(), size, m_style->areaColor(), m_style->lineColor(),
        m_style->lineWidth().floatValue(),
        { CGPointMake(0, 0), CGPointMake(w, 0), CGPointMake(w, h), CGPointMake(0, h) });
}
