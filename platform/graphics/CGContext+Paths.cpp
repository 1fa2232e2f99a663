// CGContext: building the current path.
#include "graphics/CGContext.h"

#include "graphics/CGContextInternal.h"

// ---------------------------------------------------------------------------------------------
// Paths

namespace {

CGAffineTransform ctmOf(const CGContextRef& c)
{
    return c->state().ctm;
}

} // namespace

void CGContextBeginPath(const CGContextRef& c)
{
    if (c)
        c->path().clear();
}

void CGContextMoveToPoint(const CGContextRef& c, CGFloat x, CGFloat y)
{
    if (c)
        c->path().moveTo(CGPointApplyAffineTransform({ x, y }, ctmOf(c)));
}

void CGContextAddLineToPoint(const CGContextRef& c, CGFloat x, CGFloat y)
{
    if (c && c->path().hasCurrentPoint())
        c->path().lineTo(CGPointApplyAffineTransform({ x, y }, ctmOf(c)));
}

void CGContextAddCurveToPoint(
    const CGContextRef& c, CGFloat cp1x, CGFloat cp1y, CGFloat cp2x, CGFloat cp2y, CGFloat x, CGFloat y)
{
    if (!c || !c->path().hasCurrentPoint())
        return;
    auto m = ctmOf(c);
    c->path().curveTo(CGPointApplyAffineTransform({ cp1x, cp1y }, m), CGPointApplyAffineTransform({ cp2x, cp2y }, m),
        CGPointApplyAffineTransform({ x, y }, m));
}

void CGContextAddQuadCurveToPoint(const CGContextRef& c, CGFloat cpx, CGFloat cpy, CGFloat x, CGFloat y)
{
    if (!c || !c->path().hasCurrentPoint())
        return;
    auto m = ctmOf(c);
    c->path().quadTo(CGPointApplyAffineTransform({ cpx, cpy }, m), CGPointApplyAffineTransform({ x, y }, m));
}

void CGContextClosePath(const CGContextRef& c)
{
    if (c)
        c->path().close();
}

void CGContextAddRect(const CGContextRef& c, CGRect rect)
{
    if (!c)
        return;
    auto path = CGPathCreateMutable();
    auto m = ctmOf(c);
    CGPathAddRect(path, &m, rect);
    c->path().append(*path, nullptr);
}

void CGContextAddRects(const CGContextRef& c, const CGRect* rects, size_t count)
{
    for (size_t i = 0; rects && i < count; ++i)
        CGContextAddRect(c, rects[i]);
}

void CGContextAddLines(const CGContextRef& c, const CGPoint* points, size_t count)
{
    if (!c || !points || count == 0)
        return;
    auto m = ctmOf(c);
    c->path().moveTo(CGPointApplyAffineTransform(points[0], m));
    for (size_t i = 1; i < count; ++i)
        c->path().lineTo(CGPointApplyAffineTransform(points[i], m));
}

void CGContextAddEllipseInRect(const CGContextRef& c, CGRect rect)
{
    if (!c)
        return;
    auto path = CGPathCreateMutable();
    auto m = ctmOf(c);
    CGPathAddEllipseInRect(path, &m, rect);
    c->path().append(*path, nullptr);
}

void CGContextAddArc(
    const CGContextRef& c, CGFloat x, CGFloat y, CGFloat radius, CGFloat startAngle, CGFloat endAngle, int clockwise)
{
    if (!c)
        return;
    auto m = ctmOf(c);
    c->path().addArc({ x, y }, radius, startAngle, endAngle, clockwise != 0, &m);
}

void CGContextAddArcToPoint(const CGContextRef& c, CGFloat x1, CGFloat y1, CGFloat x2, CGFloat y2, CGFloat radius)
{
    if (!c)
        return;
    auto m = ctmOf(c);
    c->path().addArcToPoint({ x1, y1 }, { x2, y2 }, radius, &m);
}

void CGContextAddPath(const CGContextRef& c, const CGPathRef& path)
{
    if (!c || !path)
        return;
    auto m = ctmOf(c);
    c->path().append(*path, &m);
}

bool CGContextIsPathEmpty(const CGContextRef& c)
{
    return !c || c->path().elements().empty();
}

CGPoint CGContextGetPathCurrentPoint(const CGContextRef& c)
{
    if (!c || !c->path().hasCurrentPoint())
        return CGPointZero;
    return CGPointApplyAffineTransform(c->path().currentPoint(), CGAffineTransformInvert(ctmOf(c)));
}

CGPathRef CGContextCopyPath(const CGContextRef& c)
{
    if (!c)
        return nullptr;
    auto path = CGPathCreateMutable();
    auto inverse = CGAffineTransformInvert(ctmOf(c));
    path->append(c->path(), &inverse);
    return path;
}

CGRect CGContextGetPathBoundingBox(const CGContextRef& c)
{
    return c ? CGPathGetBoundingBox(CGContextCopyPath(c)) : CGRectNull;
}

bool CGContextPathContainsPoint(const CGContextRef& c, CGPoint point, CGPathDrawingMode mode)
{
    if (!c)
        return false;
    auto path = std::make_shared<const CGPath>(c->path());
    CGPoint device = CGPointApplyAffineTransform(point, ctmOf(c));
    if (mode == kCGPathStroke)
        return false;
    return CGPathContainsPoint(path, nullptr, device, mode == kCGPathEOFill || mode == kCGPathEOFillStroke);
}
