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
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context || !m_style)
        return;
    CGSize size = bounds().size;
    if (const auto& area = m_style->areaColor()) {
        CGContextSetFillColorWithColor(context, area->CGColor());
        CGContextFillRect(context, CGRectMake(0, 0, size.width, size.height));
    }
    CGContextSetLineWidth(context, m_style->lineWidth().floatValue());
    if (const auto& line = m_style->lineColor())
        CGContextSetStrokeColorWithColor(context, line->CGColor());
    CGContextBeginPath(context);
    CGContextMoveToPoint(context, 0, size.height);
    CGContextAddLineToPoint(context, 0, 0);
    CGContextAddLineToPoint(context, size.width, 0);
    CGContextAddLineToPoint(context, size.width, size.height);
    CGContextStrokePath(context);
}
