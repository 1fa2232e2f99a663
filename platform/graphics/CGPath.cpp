#include "graphics/CGPath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

CGPoint apply(const CGAffineTransform* m, CGPoint p)
{
    return m ? CGPointApplyAffineTransform(p, *m) : p;
}

constexpr double kTwoPi = 2 * std::numbers::pi;

} // namespace

void CGPath::moveTo(CGPoint p)
{
    m_elements.push_back({ kCGPathElementMoveToPoint, { p } });
    m_current = m_subpathStart = p;
    m_hasCurrent = true;
}

void CGPath::lineTo(CGPoint p)
{
    if (!m_hasCurrent) {
        moveTo(p);
        return;
    }
    m_elements.push_back({ kCGPathElementAddLineToPoint, { p } });
    m_current = p;
}

void CGPath::quadTo(CGPoint c, CGPoint p)
{
    if (!m_hasCurrent)
        moveTo(c);
    m_elements.push_back({ kCGPathElementAddQuadCurveToPoint, { c, p } });
    m_current = p;
}

void CGPath::curveTo(CGPoint c1, CGPoint c2, CGPoint p)
{
    if (!m_hasCurrent)
        moveTo(c1);
    m_elements.push_back({ kCGPathElementAddCurveToPoint, { c1, c2, p } });
    m_current = p;
}

void CGPath::close()
{
    if (!m_hasCurrent || m_elements.empty() || m_elements.back().type == kCGPathElementCloseSubpath)
        return;
    m_elements.push_back({ kCGPathElementCloseSubpath, {} });
    m_current = m_subpathStart;
}

void CGPath::addArc(
    CGPoint center, CGFloat radius, CGFloat start, CGFloat end, bool clockwise, const CGAffineTransform* m)
{
    double a0 = start, a1 = end;
    double sweep;
    if (clockwise) {
        sweep = a1 - a0;
        if (sweep > 0)
            sweep -= kTwoPi * std::ceil(sweep / kTwoPi);
        if (sweep < -kTwoPi)
            sweep = -kTwoPi;
    } else {
        sweep = a1 - a0;
        if (sweep < 0)
            sweep += kTwoPi * std::ceil(-sweep / kTwoPi);
        if (sweep > kTwoPi)
            sweep = kTwoPi;
    }
    double r = std::fabs(radius);
    auto pointAt = [&](double a) {
        return apply(
            m, { static_cast<CGFloat>(center.x + r * std::cos(a)), static_cast<CGFloat>(center.y + r * std::sin(a)) });
    };
    CGPoint first = pointAt(a0);
    if (m_hasCurrent)
        lineTo(first);
    else
        moveTo(first);
    if (sweep == 0 || r == 0)
        return;
    // Cubic segments of at most a quarter turn each.
    int segments = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / (std::numbers::pi / 2) - 1e-9)));
    double step = sweep / segments;
    double k = 4.0 / 3.0 * std::tan(step / 4);
    double a = a0;
    for (int i = 0; i < segments; ++i) {
        double b = a + step;
        CGPoint c1 { static_cast<CGFloat>(center.x + r * (std::cos(a) - k * std::sin(a))),
            static_cast<CGFloat>(center.y + r * (std::sin(a) + k * std::cos(a))) };
        CGPoint c2 { static_cast<CGFloat>(center.x + r * (std::cos(b) + k * std::sin(b))),
            static_cast<CGFloat>(center.y + r * (std::sin(b) - k * std::cos(b))) };
        curveTo(apply(m, c1), apply(m, c2), pointAt(b));
        a = b;
    }
}

void CGPath::addArcToPoint(CGPoint p1, CGPoint p2, CGFloat radius, const CGAffineTransform* m)
{
    // Works in user space: the current point is mapped back through the inverse transform.
    CGPoint p0 = m_hasCurrent ? m_current : p1;
    if (m) {
        CGAffineTransform inv = CGAffineTransformInvert(*m);
        p0 = m_hasCurrent ? CGPointApplyAffineTransform(m_current, inv) : p1;
    }
    if (!m_hasCurrent)
        moveTo(apply(m, p1));
    double ux = p0.x - p1.x, uy = p0.y - p1.y, vx = p2.x - p1.x, vy = p2.y - p1.y;
    double lu = std::hypot(ux, uy), lv = std::hypot(vx, vy);
    double cross = ux * vy - uy * vx;
    if (lu == 0 || lv == 0 || std::fabs(cross) < 1e-9 || radius <= 0) {
        lineTo(apply(m, p1));
        return;
    }
    ux /= lu;
    uy /= lu;
    vx /= lv;
    vy /= lv;
    double cosTheta = std::clamp(ux * vx + uy * vy, -1.0, 1.0);
    double theta = std::acos(cosTheta);
    double dist = radius / std::tan(theta / 2);
    CGPoint t1 { static_cast<CGFloat>(p1.x + ux * dist), static_cast<CGFloat>(p1.y + uy * dist) };
    CGPoint t2 { static_cast<CGFloat>(p1.x + vx * dist), static_cast<CGFloat>(p1.y + vy * dist) };
    // The centre lies along the bisector at radius / sin(theta / 2).
    double bx = ux + vx, by = uy + vy, lb = std::hypot(bx, by);
    double centerDist = radius / std::sin(theta / 2);
    CGPoint center { static_cast<CGFloat>(p1.x + bx / lb * centerDist),
        static_cast<CGFloat>(p1.y + by / lb * centerDist) };
    double a0 = std::atan2(t1.y - center.y, t1.x - center.x);
    double a1 = std::atan2(t2.y - center.y, t2.x - center.x);
    addArc(center, radius, static_cast<CGFloat>(a0), static_cast<CGFloat>(a1), cross > 0, m);
}

void CGPath::append(const CGPath& other, const CGAffineTransform* m)
{
    for (const auto& e : other.m_elements) {
        switch (e.type) {
        case kCGPathElementMoveToPoint:
            moveTo(apply(m, e.points[0]));
            break;
        case kCGPathElementAddLineToPoint:
            lineTo(apply(m, e.points[0]));
            break;
        case kCGPathElementAddQuadCurveToPoint:
            quadTo(apply(m, e.points[0]), apply(m, e.points[1]));
            break;
        case kCGPathElementAddCurveToPoint:
            curveTo(apply(m, e.points[0]), apply(m, e.points[1]), apply(m, e.points[2]));
            break;
        case kCGPathElementCloseSubpath:
            close();
            break;
        }
    }
}

void CGPath::clear()
{
    m_elements.clear();
    m_hasCurrent = false;
    m_current = m_subpathStart = {};
}

CGMutablePathRef CGPathCreateMutable()
{
    return std::make_shared<CGPath>();
}

CGPathRef CGPathCreateCopy(const CGPathRef& path)
{
    return path ? std::make_shared<const CGPath>(*path) : nullptr;
}

CGMutablePathRef CGPathCreateMutableCopy(const CGPathRef& path)
{
    return path ? std::make_shared<CGPath>(*path) : nullptr;
}

CGPathRef CGPathCreateWithRect(CGRect rect, const CGAffineTransform* m)
{
    auto path = CGPathCreateMutable();
    CGPathAddRect(path, m, rect);
    return path;
}

CGPathRef CGPathCreateWithEllipseInRect(CGRect rect, const CGAffineTransform* m)
{
    auto path = CGPathCreateMutable();
    CGPathAddEllipseInRect(path, m, rect);
    return path;
}

CGPathRef CGPathCreateWithRoundedRect(CGRect rect, CGFloat cw, CGFloat ch, const CGAffineTransform* m)
{
    auto path = CGPathCreateMutable();
    CGPathAddRoundedRect(path, m, rect, cw, ch);
    return path;
}

void CGPathMoveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x, CGFloat y)
{
    if (path)
        path->moveTo(apply(m, { x, y }));
}

void CGPathAddLineToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x, CGFloat y)
{
    if (path)
        path->lineTo(apply(m, { x, y }));
}

void CGPathAddQuadCurveToPoint(
    const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat cpx, CGFloat cpy, CGFloat x, CGFloat y)
{
    if (path)
        path->quadTo(apply(m, { cpx, cpy }), apply(m, { x, y }));
}

void CGPathAddCurveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat cp1x, CGFloat cp1y,
    CGFloat cp2x, CGFloat cp2y, CGFloat x, CGFloat y)
{
    if (path)
        path->curveTo(apply(m, { cp1x, cp1y }), apply(m, { cp2x, cp2y }), apply(m, { x, y }));
}

void CGPathAddLines(const CGMutablePathRef& path, const CGAffineTransform* m, const CGPoint* points, size_t count)
{
    if (!path || !points || count == 0)
        return;
    path->moveTo(apply(m, points[0]));
    for (size_t i = 1; i < count; ++i)
        path->lineTo(apply(m, points[i]));
}

void CGPathAddRect(const CGMutablePathRef& path, const CGAffineTransform* m, CGRect rect)
{
    if (!path || CGRectIsNull(rect))
        return;
    CGFloat x = rect.origin.x, y = rect.origin.y, w = rect.size.width, h = rect.size.height;
    path->moveTo(apply(m, { x, y }));
    path->lineTo(apply(m, { x + w, y }));
    path->lineTo(apply(m, { x + w, y + h }));
    path->lineTo(apply(m, { x, y + h }));
    path->close();
}

void CGPathAddRects(const CGMutablePathRef& path, const CGAffineTransform* m, const CGRect* rects, size_t count)
{
    for (size_t i = 0; rects && i < count; ++i)
        CGPathAddRect(path, m, rects[i]);
}

void CGPathAddEllipseInRect(const CGMutablePathRef& path, const CGAffineTransform* m, CGRect rect)
{
    if (!path || CGRectIsNull(rect))
        return;
    rect = CGRectStandardize(rect);
    // A unit circle scaled into the rectangle, starting at the right-most point and turning
    // counter-clockwise in the path's own coordinates.
    CGAffineTransform t = CGAffineTransformMake(
        rect.size.width / 2, 0, 0, rect.size.height / 2, CGRectGetMidX(rect), CGRectGetMidY(rect));
    if (m)
        t = CGAffineTransformConcat(t, *m);
    const double k = 0.5522847498307936;
    auto p = [&](double x, double y) {
        return CGPointApplyAffineTransform({ static_cast<CGFloat>(x), static_cast<CGFloat>(y) }, t);
    };
    path->moveTo(p(1, 0));
    path->curveTo(p(1, k), p(k, 1), p(0, 1));
    path->curveTo(p(-k, 1), p(-1, k), p(-1, 0));
    path->curveTo(p(-1, -k), p(-k, -1), p(0, -1));
    path->curveTo(p(k, -1), p(1, -k), p(1, 0));
    path->close();
}

void CGPathAddRoundedRect(const CGMutablePathRef& path, const CGAffineTransform* m, CGRect rect, CGFloat cw, CGFloat ch)
{
    if (!path || CGRectIsNull(rect))
        return;
    rect = CGRectStandardize(rect);
    cw = std::clamp<CGFloat>(cw, 0, rect.size.width / 2);
    ch = std::clamp<CGFloat>(ch, 0, rect.size.height / 2);
    if (cw == 0 || ch == 0) {
        CGPathAddRect(path, m, rect);
        return;
    }
    const CGFloat k = 0.5522847498f;
    CGFloat minX = rect.origin.x, minY = rect.origin.y, maxX = minX + rect.size.width, maxY = minY + rect.size.height;
    path->moveTo(apply(m, { minX + cw, minY }));
    path->lineTo(apply(m, { maxX - cw, minY }));
    path->curveTo(
        apply(m, { maxX - cw + cw * k, minY }), apply(m, { maxX, minY + ch - ch * k }), apply(m, { maxX, minY + ch }));
    path->lineTo(apply(m, { maxX, maxY - ch }));
    path->curveTo(
        apply(m, { maxX, maxY - ch + ch * k }), apply(m, { maxX - cw + cw * k, maxY }), apply(m, { maxX - cw, maxY }));
    path->lineTo(apply(m, { minX + cw, maxY }));
    path->curveTo(
        apply(m, { minX + cw - cw * k, maxY }), apply(m, { minX, maxY - ch + ch * k }), apply(m, { minX, maxY - ch }));
    path->lineTo(apply(m, { minX, minY + ch }));
    path->curveTo(
        apply(m, { minX, minY + ch - ch * k }), apply(m, { minX + cw - cw * k, minY }), apply(m, { minX + cw, minY }));
    path->close();
}

void CGPathAddArc(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x, CGFloat y, CGFloat radius,
    CGFloat startAngle, CGFloat endAngle, bool clockwise)
{
    if (path)
        path->addArc({ x, y }, radius, startAngle, endAngle, clockwise, m);
}

void CGPathAddRelativeArc(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x, CGFloat y,
    CGFloat radius, CGFloat startAngle, CGFloat delta)
{
    if (path)
        path->addArc({ x, y }, radius, startAngle, startAngle + delta, delta < 0, m);
}

void CGPathAddArcToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x1, CGFloat y1, CGFloat x2,
    CGFloat y2, CGFloat radius)
{
    if (path)
        path->addArcToPoint({ x1, y1 }, { x2, y2 }, radius, m);
}

void CGPathAddPath(const CGMutablePathRef& path, const CGAffineTransform* m, const CGPathRef& other)
{
    if (path && other)
        path->append(*other, m);
}

void CGPathCloseSubpath(const CGMutablePathRef& path)
{
    if (path)
        path->close();
}

bool CGPathIsEmpty(const CGPathRef& path)
{
    return !path || path->elements().empty();
}

bool CGPathIsRect(const CGPathRef& path, CGRect* rect)
{
    if (!path)
        return false;
    const auto& e = path->elements();
    if (e.size() != 5 || e[0].type != kCGPathElementMoveToPoint || e[4].type != kCGPathElementCloseSubpath)
        return false;
    CGPoint p[4];
    for (int i = 0; i < 4; ++i) {
        if (i > 0 && e[static_cast<size_t>(i)].type != kCGPathElementAddLineToPoint)
            return false;
        p[i] = e[static_cast<size_t>(i)].points[0];
    }
    bool axisAligned = (p[0].y == p[1].y && p[1].x == p[2].x && p[2].y == p[3].y && p[3].x == p[0].x)
        || (p[0].x == p[1].x && p[1].y == p[2].y && p[2].x == p[3].x && p[3].y == p[0].y);
    if (!axisAligned)
        return false;
    if (rect)
        *rect = CGRectStandardize({ p[0], { p[2].x - p[0].x, p[2].y - p[0].y } });
    return true;
}

CGPoint CGPathGetCurrentPoint(const CGPathRef& path)
{
    return path && path->hasCurrentPoint() ? path->currentPoint() : CGPointZero;
}

namespace {

struct Box {
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    void add(double x, double y)
    {
        minX = std::min(minX, x);
        minY = std::min(minY, y);
        maxX = std::max(maxX, x);
        maxY = std::max(maxY, y);
    }
    CGRect rect() const
    {
        if (minX > maxX)
            return CGRectNull;
        return CGRectMake(static_cast<CGFloat>(minX), static_cast<CGFloat>(minY), static_cast<CGFloat>(maxX - minX),
            static_cast<CGFloat>(maxY - minY));
    }
};

// Parameters in (0, 1) where a cubic's coordinate has a turning point.
std::vector<double> cubicExtrema(double p0, double p1, double p2, double p3)
{
    double a = -p0 + 3 * p1 - 3 * p2 + p3, b = 2 * (p0 - 2 * p1 + p2), c = p1 - p0;
    std::vector<double> ts;
    if (std::fabs(a) < 1e-12) {
        if (std::fabs(b) > 1e-12)
            ts.push_back(-c / b);
    } else {
        double disc = b * b - 4 * a * c;
        if (disc >= 0) {
            double s = std::sqrt(disc);
            ts.push_back((-b + s) / (2 * a));
            ts.push_back((-b - s) / (2 * a));
        }
    }
    std::erase_if(ts, [](double t) { return t <= 0 || t >= 1; });
    return ts;
}

double cubicAt(double p0, double p1, double p2, double p3, double t)
{
    double u = 1 - t;
    return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
}

} // namespace

CGRect CGPathGetBoundingBox(const CGPathRef& path)
{
    Box box;
    if (!path)
        return CGRectNull;
    for (const auto& e : path->elements()) {
        int n = e.type == kCGPathElementAddCurveToPoint   ? 3
            : e.type == kCGPathElementAddQuadCurveToPoint ? 2
            : e.type == kCGPathElementCloseSubpath        ? 0
                                                          : 1;
        for (int i = 0; i < n; ++i)
            box.add(e.points[i].x, e.points[i].y);
    }
    return box.rect();
}

CGRect CGPathGetPathBoundingBox(const CGPathRef& path)
{
    Box box;
    if (!path)
        return CGRectNull;
    CGPoint current {};
    for (const auto& e : path->elements()) {
        switch (e.type) {
        case kCGPathElementMoveToPoint:
        case kCGPathElementAddLineToPoint:
            current = e.points[0];
            box.add(current.x, current.y);
            break;
        case kCGPathElementAddQuadCurveToPoint: {
            // Raised to a cubic, which has the same extremes.
            CGPoint c1 { current.x + 2.0f / 3 * (e.points[0].x - current.x),
                current.y + 2.0f / 3 * (e.points[0].y - current.y) };
            CGPoint c2 { e.points[1].x + 2.0f / 3 * (e.points[0].x - e.points[1].x),
                e.points[1].y + 2.0f / 3 * (e.points[0].y - e.points[1].y) };
            CGPoint end = e.points[1];
            for (double t : cubicExtrema(current.x, c1.x, c2.x, end.x))
                box.add(cubicAt(current.x, c1.x, c2.x, end.x, t), cubicAt(current.y, c1.y, c2.y, end.y, t));
            for (double t : cubicExtrema(current.y, c1.y, c2.y, end.y))
                box.add(cubicAt(current.x, c1.x, c2.x, end.x, t), cubicAt(current.y, c1.y, c2.y, end.y, t));
            box.add(end.x, end.y);
            current = end;
            break;
        }
        case kCGPathElementAddCurveToPoint: {
            const CGPoint* c = e.points;
            for (double t : cubicExtrema(current.x, c[0].x, c[1].x, c[2].x))
                box.add(cubicAt(current.x, c[0].x, c[1].x, c[2].x, t), cubicAt(current.y, c[0].y, c[1].y, c[2].y, t));
            for (double t : cubicExtrema(current.y, c[0].y, c[1].y, c[2].y))
                box.add(cubicAt(current.x, c[0].x, c[1].x, c[2].x, t), cubicAt(current.y, c[0].y, c[1].y, c[2].y, t));
            box.add(c[2].x, c[2].y);
            current = c[2];
            break;
        }
        case kCGPathElementCloseSubpath:
            break;
        }
    }
    return box.rect();
}

std::vector<std::vector<CGPoint>> CGPathFlatten(const CGPath& path, CGFloat tolerance)
{
    std::vector<std::vector<CGPoint>> polygons;
    CGPoint current {};
    auto ensure = [&]() -> std::vector<CGPoint>& {
        if (polygons.empty())
            polygons.push_back({ current });
        return polygons.back();
    };
    for (const auto& e : path.elements()) {
        switch (e.type) {
        case kCGPathElementMoveToPoint:
            polygons.push_back({ e.points[0] });
            current = e.points[0];
            break;
        case kCGPathElementAddLineToPoint:
            ensure().push_back(e.points[0]);
            current = e.points[0];
            break;
        case kCGPathElementAddQuadCurveToPoint:
        case kCGPathElementAddCurveToPoint: {
            CGPoint c1, c2, end;
            if (e.type == kCGPathElementAddQuadCurveToPoint) {
                c1 = { current.x + 2.0f / 3 * (e.points[0].x - current.x),
                    current.y + 2.0f / 3 * (e.points[0].y - current.y) };
                c2 = { e.points[1].x + 2.0f / 3 * (e.points[0].x - e.points[1].x),
                    e.points[1].y + 2.0f / 3 * (e.points[0].y - e.points[1].y) };
                end = e.points[1];
            } else {
                c1 = e.points[0];
                c2 = e.points[1];
                end = e.points[2];
            }
            double length = std::hypot(c1.x - current.x, c1.y - current.y) + std::hypot(c2.x - c1.x, c2.y - c1.y)
                + std::hypot(end.x - c2.x, end.y - c2.y);
            int steps = std::clamp(static_cast<int>(std::sqrt(length / std::max<double>(tolerance, 1e-3))), 4, 256);
            auto& poly = ensure();
            for (int i = 1; i <= steps; ++i) {
                double t = static_cast<double>(i) / steps;
                poly.push_back({ static_cast<CGFloat>(cubicAt(current.x, c1.x, c2.x, end.x, t)),
                    static_cast<CGFloat>(cubicAt(current.y, c1.y, c2.y, end.y, t)) });
            }
            current = end;
            break;
        }
        case kCGPathElementCloseSubpath:
            if (!polygons.empty()) {
                current = polygons.back().front();
                polygons.push_back({ current });
            }
            break;
        }
    }
    std::erase_if(polygons, [](const auto& p) { return p.size() < 2; });
    return polygons;
}

bool CGPathContainsPoint(const CGPathRef& path, const CGAffineTransform* m, CGPoint point, bool eoFill)
{
    if (!path)
        return false;
    if (m)
        point = CGPointApplyAffineTransform(point, CGAffineTransformInvert(*m));
    int winding = 0, crossings = 0;
    for (const auto& poly : CGPathFlatten(*path)) {
        // Every subpath is closed implicitly for filling.
        for (size_t i = 0; i < poly.size(); ++i) {
            CGPoint a = poly[i], b = poly[(i + 1) % poly.size()];
            if ((a.y <= point.y) != (b.y <= point.y)) {
                double x = a.x + (point.y - a.y) * (b.x - a.x) / (b.y - a.y);
                if (x > point.x) {
                    ++crossings;
                    winding += b.y > a.y ? 1 : -1;
                }
            }
        }
    }
    return eoFill ? (crossings % 2) == 1 : winding != 0;
}

bool CGPathEqualToPath(const CGPathRef& a, const CGPathRef& b)
{
    if (a == b)
        return true;
    if (!a || !b || a->elements().size() != b->elements().size())
        return false;
    for (size_t i = 0; i < a->elements().size(); ++i) {
        const auto& x = a->elements()[i];
        const auto& y = b->elements()[i];
        if (x.type != y.type)
            return false;
        for (int j = 0; j < 3; ++j) {
            if (!CGPointEqualToPoint(x.points[j], y.points[j]))
                return false;
        }
    }
    return true;
}

void CGPathApply(const CGPathRef& path, const std::function<void(const CGPathElement&)>& function)
{
    if (!path || !function)
        return;
    for (const auto& e : path->elements())
        function(e);
}
