#include "charts/LChartLegendSymbolBlock.h"

#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

VX_REGISTER_CLASS(LChartLegendSymbolBlock);

Ref<LChartLegendSymbolBlock> LChartLegendSymbolBlock::initWithAreaColorAndOutlineColor(
    const Ref<UIColor>& areaColor, const Ref<UIColor>& outlineColor)
{
    return makeBlock<LChartLegendSymbolBlock>(areaColor, outlineColor);
}

void LChartLegendSymbolBlock::drawRect(CGRect rect)
{
    LChartLegendSymbol::drawRect(rect);
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context)
        return;
    if (m_areaColor) {
        CGContextSetFillColorWithColor(context, m_areaColor->CGColor());
        CGContextFillRect(context, rect);
    }
    strokeOutline(context, rect);
}

void LChartLegendSymbolBlock::strokeOutline(const CGContextRef& context, CGRect rect) const
{
    if (!m_outlineColor)
        return;
    CGFloat w = rect.size.width, h = rect.size.height;
    CGContextSetLineWidth(context, 1);
    CGContextSetStrokeColorWithColor(context, m_outlineColor->CGColor());
    CGContextBeginPath(context);
    CGContextMoveToPoint(context, 0.5, 0.5);
    CGContextAddLineToPoint(context, 0.5, h - 0.5);
    CGContextAddLineToPoint(context, w - 0.5, h - 0.5);
    CGContextAddLineToPoint(context, w - 0.5, 0.5);
    CGContextAddLineToPoint(context, 0.5, 0.5);
    CGContextClosePath(context);
    CGContextStrokePath(context);
}
