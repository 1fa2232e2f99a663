#include "charts/LChartLegendSymbolBandSeries.h"

#include "charts/LChartBandSeries.h"
#include "charts/LChartBandSeriesStyle.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

VX_REGISTER_CLASS(LChartLegendSymbolBandSeries);

Ref<LChartLegendSymbolBandSeries> LChartLegendSymbolBandSeries::initWithSeries(const LChartBandSeries& series)
{
    auto symbol = makeSymbol<LChartLegendSymbolBandSeries>();
    symbol->m_style = series.style();
    return symbol;
}

void LChartLegendSymbolBandSeries::drawRect(CGRect rect)
{
    LChartLegendSymbol::drawRect(rect);
    if (!m_style)
        return;
    drawLineMiniature(UIGraphicsGetCurrentContext(), bounds().size, m_style->lineWidth().floatValue(),
        m_style->lineColorHigh(), m_style->showFill(), m_style->areaColorNormal(), m_style->pointStyle());
}
