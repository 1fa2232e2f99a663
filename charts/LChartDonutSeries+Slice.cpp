// A slice drawn with Core Graphics, for the legend's slice symbols.

#include "charts/LChartDonutSeries.h"

#include "charts/LChartDataSeries.h"
#include "charts/LChartDonutSeriesStyle.h"
#include "graphics/CGContext.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

#include <cmath>
#include <numbers>

namespace {

// A radial gradient of two colours about the centre, not drawn past its circles.
void shade(const CGContextRef& context, CGPoint centre, CGFloat from, CGFloat to, const CGFloat (&first)[4])
{
    CGFloat components[8] = { first[0], first[1], first[2], first[3], 0, 0, 0, 0 };
    CGFloat locations[2] = { 0, 1 };
    auto gradient = CGGradientCreateWithColorComponents(CGColorSpaceCreateDeviceRGB(), components, locations, 2);
    CGContextDrawRadialGradient(context, gradient, centre, from, centre, to, 0);
}

} // namespace

void LChartDonutSeries::drawSliceOfTotalFromAngleToAngleFromCentreWithInnerRadiusAndOuterRadiusAsSelectedInFrame(
    int32_t index, int32_t, float startAngle, float endAngle, CGPoint centre, float innerRadius, float outerRadius,
    bool selected, CGRect)
{
    if (index < 0 || static_cast<size_t>(index) >= dataSeries()->dataPoints().size())
        return;
    CGContextRef context = UIGraphicsGetCurrentContext();
    Ref<LChartDonutSeriesStyle> style = selected ? selectedStyle() : this->style();
    if (!context || !style)
        return;
    double a0 = startAngle - std::numbers::pi / 2;
    double a1 = endAngle - std::numbers::pi / 2;
    double ri = innerRadius, ro = outerRadius;
    CGContextSaveGState(context);
    auto outline = [&] {
        CGContextBeginPath(context);
        CGContextMoveToPoint(context, centre.x + ri * std::cos(a0), centre.y + ri * std::sin(a0));
        CGContextAddLineToPoint(context, centre.x + ro * std::cos(a0), centre.y + ro * std::sin(a0));
        CGContextAddArc(context, centre.x, centre.y, ro, a0, a1, 0);
        CGContextAddLineToPoint(context, centre.x + ri * std::cos(a1), centre.y + ri * std::sin(a1));
        CGContextAddArc(context, centre.x, centre.y, ri, a1, a0, 1);
        CGContextClosePath(context);
    };
    outline();
    CGContextClip(context);
    if (style->showFlavour())
        if (auto flavour = style->flavourColorAtIndex(index)) {
            outline();
            CGContextSetFillColorWithColor(context, flavour->CGColor());
            CGContextFillPath(context);
        }
    if (style->showCrust())
        if (auto crust = style->crustColorAtIndex(index)) {
            outline();
            CGContextSetStrokeColorWithColor(context, crust->CGColor());
            CGContextSetLineWidth(context, style->crustThickness().floatValue());
            CGContextStrokePath(context);
        }
    double k = ro - ri;
    int32_t effect = style->chartEffect();
    if (effect == 3 || effect == 4) {
        const CGFloat light[4] = { 1, 1, 1, 0.3 };
        if (ri == 0) {
            shade(context, centre, ri, ri + 1.05 * k, light);
        } else {
            shade(context, centre, ri + 0.5 * k, ri - 0.05 * k, light);
            shade(context, centre, ri + 0.5 * k, ri + 1.05 * k, light);
        }
    } else if (effect == 1 || effect == 2) {
        const CGFloat dark[4] = { 0, 0, 0, 0.8 };
        shade(context, centre, ri + 1.05 * k, ri + 0.75 * k, dark);
        if (ri != 0)
            shade(context, centre, ri - 0.05 * k, ri + 0.25 * k, dark);
    }
    CGContextRestoreGState(context);
}
