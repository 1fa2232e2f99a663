#include "charts/LChartLegendSymbolBlockSplit.h"

#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

VX_REGISTER_CLASS(LChartLegendSymbolBlockSplit);

Ref<LChartLegendSymbolBlockSplit> LChartLegendSymbolBlockSplit::initWithAreaColorAndLowAreaColorAndOutlineColor(
    const Ref<UIColor>& areaColor, const Ref<UIColor>& lowColor, const Ref<UIColor>& outlineColor)
{
    auto symbol = makeBlock<LChartLegendSymbolBlockSplit>(areaColor, outlineColor);
    symbol->setLowColor(lowColor);
    return symbol;
}

void LChartLegendSymbolBlockSplit::drawRect(CGRect rect)
{
    LChartLegendSymbol::drawRect(rect);
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context)
        return;
    CGFloat w = rect.size.width, h = rect.size.height;
    CGContextClearRect(context, rect);
    auto triangle = [&](const Ref<UIColor>& color, CGPoint a, CGPoint b, CGPoint c) {
        if (!color)
            return;
        CGContextSetFillColorWithColor(context, color->CGColor());
        CGContextBeginPath(context);
        CGContextMoveToPoint(context, a.x, a.y);
        CGContextAddLineToPoint(context, b.x, b.y);
        CGContextAddLineToPoint(context, c.x, c.y);
        CGContextClosePath(context);
        CGContextFillPath(context);
    };
    triangle(areaColor(), CGPointMake(0, 0), CGPointMake(w, 0), CGPointMake(0, h));
    triangle(m_lowColor, CGPointMake(w, h), CGPointMake(0, h), CGPointMake(w, 0));
    strokeOutline(context, rect);
}
