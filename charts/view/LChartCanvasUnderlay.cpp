#include "charts/view/LChartCanvasUnderlay.h"

#include "graphics/CGContext.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

VX_REGISTER_CLASS(LChartCanvasUnderlay);

Ref<LChartCanvasUnderlay> LChartCanvasUnderlay::initWithFrameUsingChart(CGRect frame, LatticeChart* chart)
{
    auto underlay = makeView<LChartCanvasUnderlay>(frame);
    underlay->setClipsToBounds(true);
    underlay->m_chart = chart;
    underlay->m_borderColor = nullptr;
    underlay->m_borderThickness = 0;
    return underlay;
}

void LChartCanvasUnderlay::setBorderColor(const Ref<UIColor>& color)
{
    m_borderColor = color;
    layer()->setBorderColor(color ? color->CGColor() : nullptr);
}

void LChartCanvasUnderlay::setBorderThickness(float thickness)
{
    m_borderThickness = thickness;
    layer()->setBorderWidth(thickness);
}

void LChartCanvasUnderlay::drawLinesForXCoordsAndYCoordsWithColorAndWidthAndDashStyle(const std::vector<float>& xs,
    const std::vector<float>& ys, const Ref<UIColor>& color, float width, const std::vector<float>& dashes)
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context)
        return;
    CGContextSetStrokeColorWithColor(context, color ? color->CGColor() : nullptr);
    std::vector<CGFloat> lengths(dashes.begin(), dashes.end());
    CGContextSetLineDash(context, 0, lengths.empty() ? nullptr : lengths.data(), lengths.size());
    CGContextSetLineWidth(context, width);
    // Separate segments; an odd last point (or a missing y) has no partner and is left out.
    for (size_t i = 0; i + 1 < xs.size() && i + 1 < ys.size(); i += 2) {
        CGContextMoveToPoint(context, xs[i], ys[i]);
        CGContextAddLineToPoint(context, xs[i + 1], ys[i + 1]);
    }
    CGContextStrokePath(context);
}

void LChartCanvasUnderlay::drawRectsWithColor(const std::vector<CGRect>& rects, const Ref<UIColor>& color)
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context)
        return;
    CGColorRef cg = color ? color->CGColor() : nullptr;
    CGContextSetStrokeColorWithColor(context, cg);
    CGContextSetFillColorWithColor(context, cg);
    for (const CGRect& rect : rects)
        CGContextFillRect(context, rect);
}

void LChartCanvasUnderlay::viewStartRotateWithDuration(double duration)
{
    auto self = this->self<UIView>();
    UIView::animateWithDurationDelayOptions(
        duration / 2, 0, UIViewAnimationOptionCurveEaseInOut, [self] { self->setAlpha(0); }, nullptr);
}

void LChartCanvasUnderlay::viewEndRotateWithDuration(double duration)
{
    auto self = this->self<UIView>();
    UIView::animateWithDurationDelayOptions(
        duration / 2, 0, UIViewAnimationOptionCurveEaseInOut, [self] { self->setAlpha(1); }, nullptr);
}
