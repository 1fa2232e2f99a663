#include "charts/LChartLegendSymbolOHLCSeries.h"

#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartOHLCSeries.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

VX_REGISTER_CLASS(LChartLegendSymbolOHLCSeries);

Ref<LChartLegendSymbolOHLCSeries> LChartLegendSymbolOHLCSeries::initWithSeries(const LChartOHLCSeries& series)
{
    auto symbol = makeSymbol<LChartLegendSymbolOHLCSeries>();
    symbol->m_style = series.style();
    return symbol;
}

void LChartLegendSymbolOHLCSeries::drawRect(CGRect rect)
{
    LChartLegendSymbol::drawRect(rect);
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context || !m_style)
        return;
    CGFloat rw = rect.size.width, rh = rect.size.height;
    CGContextSetLineWidth(context, 2);
    auto bar = [&](const Ref<UIColor>& color, CGFloat x, CGFloat closeY) {
        if (color)
            CGContextSetStrokeColorWithColor(context, color->CGColor());
        CGContextBeginPath(context);
        CGContextMoveToPoint(context, x, 0);
        CGContextAddLineToPoint(context, x, rh);
        CGContextMoveToPoint(context, x - 5, rh / 2);
        CGContextAddLineToPoint(context, x, rh / 2);
        CGContextMoveToPoint(context, x, closeY);
        CGContextAddLineToPoint(context, x + 5, closeY);
        CGContextStrokePath(context);
    };
    bar(m_style->risingColor(), rw / 4, rh / 4);
    bar(m_style->fallingColor(), 3 * rw / 4, 3 * rh / 4);
}
