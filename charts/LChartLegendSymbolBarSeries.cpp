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
    CGContextMoveToPoint(context, 0, 0);
    CGContextAddLineToPoint(context, size.width, 0);
    CGContextAddLineToPoint(context, size.width, size.height);
    CGContextAddLineToPoint(context, 0, size.height);
    CGContextStrokePath(context);
}
