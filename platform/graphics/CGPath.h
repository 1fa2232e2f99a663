#pragma once

#include "graphics/CGAffineTransform.h"
#include "graphics/CGGeometry.h"

#include <functional>
#include <memory>
#include <vector>

enum CGPathElementType {
    kCGPathElementMoveToPoint,
    kCGPathElementAddLineToPoint,
    kCGPathElementAddQuadCurveToPoint,
    kCGPathElementAddCurveToPoint,
    kCGPathElementCloseSubpath,
};

struct CGPathElement {
    CGPathElementType type;
    CGPoint points[3]; // 1 for move/line, 2 for quad, 3 for curve, 0 for close
};

// A path of move, line, curve and close elements. Arcs, rectangles, ellipses and rounded
// rectangles are stored as the lines and cubic curves that draw them. Not thread-safe while
// being built; a finished path may be read from any thread.
class CGPath {
public:
    const std::vector<CGPathElement>& elements() const { return m_elements; }
    bool hasCurrentPoint() const { return m_hasCurrent; }
    CGPoint currentPoint() const { return m_current; }

    void moveTo(CGPoint p);
    void lineTo(CGPoint p);
    void quadTo(CGPoint c, CGPoint p);
    void curveTo(CGPoint c1, CGPoint c2, CGPoint p);
    void close();
    // Arc around `center` from `start` to `end` (radians); `clockwise` sweeps with decreasing
    // angle. Joins the current point with a line first.
    void addArc(CGPoint center, CGFloat radius, CGFloat start, CGFloat end, bool clockwise, const CGAffineTransform* m);
    void addArcToPoint(CGPoint p1, CGPoint p2, CGFloat radius, const CGAffineTransform* m);
    void append(const CGPath& other, const CGAffineTransform* m);
    void clear();

private:
    std::vector<CGPathElement> m_elements;
    CGPoint m_current {};
    CGPoint m_subpathStart {};
    bool m_hasCurrent { false };
};

using CGPathRef = std::shared_ptr<const CGPath>;
using CGMutablePathRef = std::shared_ptr<CGPath>;

CGMutablePathRef CGPathCreateMutable();
CGPathRef CGPathCreateCopy(const CGPathRef& path);
CGMutablePathRef CGPathCreateMutableCopy(const CGPathRef& path);
CGPathRef CGPathCreateWithRect(CGRect rect, const CGAffineTransform* m);
CGPathRef CGPathCreateWithEllipseInRect(CGRect rect, const CGAffineTransform* m);
CGPathRef CGPathCreateWithRoundedRect(
    CGRect rect, CGFloat cornerWidth, CGFloat cornerHeight, const CGAffineTransform* m);

void CGPathMoveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x, CGFloat y);
void CGPathAddLineToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x, CGFloat y);
void CGPathAddQuadCurveToPoint(
    const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat cpx, CGFloat cpy, CGFloat x, CGFloat y);
void CGPathAddCurveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat cp1x, CGFloat cp1y,
    CGFloat cp2x, CGFloat cp2y, CGFloat x, CGFloat y);
void CGPathAddLines(const CGMutablePathRef& path, const CGAffineTransform* m, const CGPoint* points, size_t count);
void CGPathAddRect(const CGMutablePathRef& path, const CGAffineTransform* m, CGRect rect);
void CGPathAddRects(const CGMutablePathRef& path, const CGAffineTransform* m, const CGRect* rects, size_t count);
void CGPathAddEllipseInRect(const CGMutablePathRef& path, const CGAffineTransform* m, CGRect rect);
void CGPathAddRoundedRect(
    const CGMutablePathRef& path, const CGAffineTransform* m, CGRect rect, CGFloat cornerWidth, CGFloat cornerHeight);
void CGPathAddArc(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x, CGFloat y, CGFloat radius,
    CGFloat startAngle, CGFloat endAngle, bool clockwise);
void CGPathAddRelativeArc(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x, CGFloat y,
    CGFloat radius, CGFloat startAngle, CGFloat delta);
void CGPathAddArcToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x1, CGFloat y1, CGFloat x2,
    CGFloat y2, CGFloat radius);
void CGPathAddPath(const CGMutablePathRef& path, const CGAffineTransform* m, const CGPathRef& other);
void CGPathCloseSubpath(const CGMutablePathRef& path);

bool CGPathIsEmpty(const CGPathRef& path);
bool CGPathIsRect(const CGPathRef& path, CGRect* rect);
CGPoint CGPathGetCurrentPoint(const CGPathRef& path);
// Every point of the path including control points; CGRectNull for an empty path.
CGRect CGPathGetBoundingBox(const CGPathRef& path);
// The tight box of the drawn outline (curve extremes, not control points).
CGRect CGPathGetPathBoundingBox(const CGPathRef& path);
bool CGPathContainsPoint(const CGPathRef& path, const CGAffineTransform* m, CGPoint point, bool eoFill);
bool CGPathEqualToPath(const CGPathRef& a, const CGPathRef& b);
void CGPathApply(const CGPathRef& path, const std::function<void(const CGPathElement&)>& function);

// The path as line segments (curves subdivided), one polygon per subpath.
std::vector<std::vector<CGPoint>> CGPathFlatten(const CGPath& path, CGFloat tolerance = 0.1f);
