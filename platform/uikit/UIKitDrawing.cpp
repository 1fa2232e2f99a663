#include "uikit/UIKitDrawing.h"

#include "graphics/CGContext.h"
#include "graphics/CGPath.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

#include <algorithm>

namespace UIKitDrawing {

void fillRoundedRect(CGRect rect, CGFloat radius, const Ref<UIColor>& color)
{
    auto context = UIGraphicsGetCurrentContext();
    if (!context || !color || rect.size.width <= 0 || rect.size.height <= 0)
        return;
    radius = std::min({ radius, rect.size.width / 2, rect.size.height / 2 });
    CGContextBeginPath(context);
    CGContextAddPath(context, CGPathCreateWithRoundedRect(rect, radius, radius, nullptr));
    color->setFill();
    CGContextFillPath(context);
}

void strokeRoundedRect(CGRect rect, CGFloat radius, CGFloat width, const Ref<UIColor>& color)
{
    auto context = UIGraphicsGetCurrentContext();
    if (!context || !color)
        return;
    CGRect inner = CGRectInset(rect, width / 2, width / 2);
    if (inner.size.width <= 0 || inner.size.height <= 0)
        return;
    radius = std::min({ std::max<CGFloat>(0, radius - width / 2), inner.size.width / 2, inner.size.height / 2 });
    CGContextBeginPath(context);
    CGContextAddPath(context, CGPathCreateWithRoundedRect(inner, radius, radius, nullptr));
    CGContextSetLineWidth(context, width);
    color->setStroke();
    CGContextStrokePath(context);
}

void fillEllipse(CGRect rect, const Ref<UIColor>& color)
{
    auto context = UIGraphicsGetCurrentContext();
    if (!context || !color)
        return;
    color->setFill();
    CGContextFillEllipseInRect(context, rect);
}

void strokeLine(CGPoint from, CGPoint to, CGFloat width, const Ref<UIColor>& color)
{
    auto context = UIGraphicsGetCurrentContext();
    if (!context || !color)
        return;
    CGContextBeginPath(context);
    CGContextMoveToPoint(context, from.x, from.y);
    CGContextAddLineToPoint(context, to.x, to.y);
    CGContextSetLineWidth(context, width);
    color->setStroke();
    CGContextStrokePath(context);
}

} // namespace UIKitDrawing
