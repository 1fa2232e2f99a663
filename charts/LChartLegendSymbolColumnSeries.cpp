#include "charts/LChartLegendSymbolColumnSeries.h"

#include "charts/LChartBandSeriesStyle.h"
#include "charts/LChartColumnSeries.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

VX_REGISTER_CLASS(LChartLegendSymbolColumnSeries);

Ref<LChartLegendSymbolColumnSeries> LChartLegendSymbolColumnSeries::initWithSeries(const LChartColumnSeries& series)
{
    auto symbol = makeSymbol<LChartLegendSymbolColumnSeries>();
    symbol->m_style = series.style();
    return symbol;
}

void LChartLegendSymbolColumnSeries::drawRect(CGRect rect)
{
    LChartLegendSymbol::drawRect(rect);
    if (!m_style)
        return;
    CGSize size = bounds().size;
    CGFloat w = size.width, h = size.height;
    fillAndFrame(UIGraphicsGetCurrentContext(), size, m_style->areaColor(), m_style->lineColor(),
        m_style->lineWidth().floatValue(),
        { CGPointMake(0, h), CGPointMake(0, 0), CGPointMake(w, 0), CGPointMake(w, h) });
}
