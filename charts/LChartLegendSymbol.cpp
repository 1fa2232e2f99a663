#include "charts/LChartLegendSymbol.h"

#include "charts/LChartSeriesStyle.h"
#include "graphics/UIColor.h"

#include <algorithm>
#include <cmath>

VX_REGISTER_CLASS(LChartLegendSymbol);

namespace {

// Red, green, blue and alpha of a colour; a grey colour gives its white level three times.
void rgbaOf(const UIColor& color, CGFloat out[4])
{
    if (color.getRedGreenBlueAlpha(&out[0], &out[1], &out[2], &out[3]))
        return;
    const CGColorRef& cg = color.CGColor();
    size_t count = CGColorGetNumberOfComponents(cg);
    const CGFloat* components = CGColorGetComponents(cg);
    if (count == 2 && components) {
        out[0] = out[1] = out[2] = components[0];
        out[3] = components[1];
        return;
    }
    out[0] = out[1] = out[2] = 0;
    out[3] = count >= 1 && components ? components[count - 1] : 1;
}

} // namespace

Ref<LChartLegendSymbol> LChartLegendSymbol::init()
{
    return makeSymbol<LChartLegendSymbol>();
}

Ref<UIColor> LChartLegendSymbol::clearColor()
{
    return UIColor::clearColor();
}

void LChartLegendSymbol::fillDisc(
    const CGContextRef& context, const Ref<UIColor>& color, CGPoint centre, CGFloat radius)
{
    if (!context || !color)
        return;
    CGFloat rgba[4];
    rgbaOf(*color, rgba);
    CGFloat components[8] = { rgba[0], rgba[1], rgba[2], rgba[3], rgba[0], rgba[1], rgba[2], rgba[3] };
    CGFloat locations[2] = { 0, 1 };
    CGGradientRef gradient
        = CGGradientCreateWithColorComponents(CGColorSpaceCreateDeviceRGB(), components, locations, 2);
    CGContextDrawRadialGradient(context, gradient, centre, 0, centre, radius, 0);
}

void LChartLegendSymbol::drawPointMarker(
    const CGContextRef& context, CGSize size, CGPoint centre, const Ref<LChartBasePointStyle>& pointStyle)
{
    if (!pointStyle)
        return;
    CGFloat radius = std::min<CGFloat>(pointStyle->radius().floatValue(), size.height / 2);
    fillDisc(context, pointStyle->color(), centre, radius);
}

void LChartLegendSymbol::drawLineMiniature(const CGContextRef& context, CGSize size, CGFloat lineWidth,
    const Ref<UIColor>& lineColor, bool showFill, const Ref<UIColor>& areaColor,
    const Ref<LChartBasePointStyle>& pointStyle)
{
    if (!context)
        return;
    CGFloat width = std::min<CGFloat>(lineWidth, size.height * 2 / 3);
    CGFloat y = std::floor(size.height) / 2 + 0.5;
    CGContextSetLineWidth(context, width);
    if (lineColor)
        CGContextSetStrokeColorWithColor(context, lineColor->CGColor());
    CGContextBeginPath(context);
    CGContextMoveToPoint(context, 0, y);
    CGContextAddLineToPoint(context, size.width, y);
    CGContextStrokePath(context);
    if (showFill && areaColor) {
        CGContextSetFillColorWithColor(context, areaColor->CGColor());
        CGContextFillRect(context, CGRectMake(0, y + width / 2, size.width, y));
    }
    if (pointStyle && pointStyle->showPoints())
        drawPointMarker(context, size, CGPointMake(std::floor(size.width) / 2 + 0.5, y), pointStyle);
}

void LChartLegendSymbol::fillAndFrame(const CGContextRef& context, CGSize size, const Ref<UIColor>& areaColor,
    const Ref<UIColor>& lineColor, CGFloat lineWidth, std::initializer_list<CGPoint> corners)
{
    if (!context)
        return;
    if (areaColor) {
        CGContextSetFillColorWithColor(context, areaColor->CGColor());
        CGContextFillRect(context, CGRectMake(0, 0, size.width, size.height));
    }
    CGContextSetLineWidth(context, lineWidth);
    if (lineColor)
        CGContextSetStrokeColorWithColor(context, lineColor->CGColor());
    CGContextBeginPath(context);
    bool first = true;
    for (CGPoint corner : corners) {
        if (first)
            CGContextMoveToPoint(context, corner.x, corner.y);
        else
            CGContextAddLineToPoint(context, corner.x, corner.y);
        first = false;
    }
    CGContextStrokePath(context);
}
