#include "charts/LChartLegendSymbolCandlestickSeries.h"

#include "charts/LChartCandlestickSeries.h"
#include "charts/LChartDonutSeriesStyle.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

VX_REGISTER_CLASS(LChartLegendSymbolCandlestickSeries);

Ref<LChartLegendSymbolCandlestickSeries> LChartLegendSymbolCandlestickSeries::initWithSeries(
    const LChartCandlestickSeries& series)
{
    auto symbol = makeSymbol<LChartLegendSymbolCandlestickSeries>();
    symbol->m_style = std::dynamic_pointer_cast<LChartCandlestickSeriesStyle>(series.style());
    return symbol;
}

void LChartLegendSymbolCandlestickSeries::drawRect(CGRect rect)
{
    LChartLegendSymbol::drawRect(rect);
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context || !m_style)
        return;
    CGSize size = bounds().size;
    CGFloat w = size.width, h = size.height;
    CGFloat left = w / 2 - h / 4, right = w / 2 + h / 4;
    if (const auto& rising = m_style->risingColor()) {
        CGContextSetFillColorWithColor(context, rising->CGColor());
        CGContextFillRect(context, CGRectMake(left, h / 4, h / 2, h / 4));
    }
    if (const auto& falling = m_style->fallingColor()) {
        CGContextSetFillColorWithColor(context, falling->CGColor());
        CGContextFillRect(context, CGRectMake(left, h / 2, h / 2, h / 4));
    }
    CGFloat t = m_style->outlineWidth().floatValue() / 2;
    CGContextSetLineWidth(context, t);
    if (const auto& stick = m_style->stickColor())
        CGContextSetStrokeColorWithColor(context, stick->CGColor());
    CGContextBeginPath(context);
    CGContextMoveToPoint(context, w / 2, 0);
    CGContextAddLineToPoint(context, w / 2, h / 4);
    CGContextMoveToPoint(context, w / 2, 3 * h / 4);
    CGContextAddLineToPoint(context, w / 2, h);
    CGContextStrokePath(context);
    if (const auto& outline = m_style->outlineColor())
        CGContextSetStrokeColorWithColor(context, outline->CGColor());
    // The first and last points overshoot by half the line width so that the corner closes.
    CGContextBeginPath(context);
    CGContextMoveToPoint(context, left - t / 2, h / 4);
    CGContextAddLineToPoint(context, right, h / 4);
    CGContextAddLineToPoint(context, right, 3 * h / 4);
    CGContextAddLineToPoint(context, left, 3 * h / 4);
    CGContextAddLineToPoint(context, left, h / 4 - t / 2);
    CGContextStrokePath(context);
}
