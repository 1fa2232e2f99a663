#include "charts/LChartLegendSymbolLineSeries.h"

#include "charts/LChartLineSeries.h"
#include "charts/LChartPointSeriesStyle.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

VX_REGISTER_CLASS(LChartLegendSymbolLineSeries);

Ref<LChartLegendSymbolLineSeries> LChartLegendSymbolLineSeries::initWithSeries(const LChartLineSeries& series)
{
    auto symbol = makeSymbol<LChartLegendSymbolLineSeries>();
    symbol->m_style = series.style();
    return symbol;
}

void LChartLegendSymbolLineSeries::drawRect(CGRect rect)
{
    LChartLegendSymbol::drawRect(rect);
    if (!m_style)
        return;
    drawLineMiniature(UIGraphicsGetCurrentContext(), bounds().size, m_style->lineWidth().floatValue(),
        m_style->lineColor(), m_style->showFill(), m_style->areaColor(), m_style->pointStyle());
}
