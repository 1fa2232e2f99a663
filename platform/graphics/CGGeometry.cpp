#include "graphics/CGGeometry.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

const CGRect CGRectNull
    = { { std::numeric_limits<CGFloat>::infinity(), std::numeric_limits<CGFloat>::infinity() }, { 0, 0 } };
const CGRect CGRectInfinite = { { -8.98846567e+30f, -8.98846567e+30f }, { 1.79769313e+31f, 1.79769313e+31f } };

CGRect CGRectStandardize(CGRect r)
{
    if (CGRectIsNull(r))
        return r;
    if (r.size.width < 0) {
        r.origin.x += r.size.width;
        r.size.width = -r.size.width;
    }
    if (r.size.height < 0) {
        r.origin.y += r.size.height;
        r.size.height = -r.size.height;
    }
    return r;
}

CGFloat CGRectGetMinX(CGRect r)
{
    return CGRectStandardize(r).origin.x;
}
CGFloat CGRectGetMinY(CGRect r)
{
    return CGRectStandardize(r).origin.y;
}
CGFloat CGRectGetMaxX(CGRect r)
{
    r = CGRectStandardize(r);
    return r.origin.x + r.size.width;
}
CGFloat CGRectGetMaxY(CGRect r)
{
    r = CGRectStandardize(r);
    return r.origin.y + r.size.height;
}
CGFloat CGRectGetMidX(CGRect r)
{
    r = CGRectStandardize(r);
    return r.origin.x + r.size.width / 2;
}
CGFloat CGRectGetMidY(CGRect r)
{
    r = CGRectStandardize(r);
    return r.origin.y + r.size.height / 2;
}
CGFloat CGRectGetWidth(CGRect r)
{
    return std::fabs(r.size.width);
}
CGFloat CGRectGetHeight(CGRect r)
{
    return std::fabs(r.size.height);
}

bool CGPointEqualToPoint(CGPoint a, CGPoint b)
{
    return a.x == b.x && a.y == b.y;
}
bool CGSizeEqualToSize(CGSize a, CGSize b)
{
    return a.width == b.width && a.height == b.height;
}

bool CGRectIsNull(CGRect r)
{
    return std::isinf(r.origin.x) && r.origin.x > 0;
}

bool CGRectEqualToRect(CGRect a, CGRect b)
{
    if (CGRectIsNull(a) || CGRectIsNull(b))
        return CGRectIsNull(a) && CGRectIsNull(b);
    a = CGRectStandardize(a);
    b = CGRectStandardize(b);
    return CGPointEqualToPoint(a.origin, b.origin) && CGSizeEqualToSize(a.size, b.size);
}

bool CGRectIsEmpty(CGRect r)
{
    return CGRectIsNull(r) || r.size.width == 0 || r.size.height == 0;
}

bool CGRectIsInfinite(CGRect r)
{
    return CGRectEqualToRect(r, CGRectInfinite);
}

CGRect CGRectInset(CGRect r, CGFloat dx, CGFloat dy)
{
    if (CGRectIsNull(r))
        return r;
    r = CGRectStandardize(r);
    r.origin.x += dx;
    r.origin.y += dy;
    r.size.width -= 2 * dx;
    r.size.height -= 2 * dy;
    if (r.size.width < 0 || r.size.height < 0)
        return CGRectNull;
    return r;
}

CGRect CGRectOffset(CGRect r, CGFloat dx, CGFloat dy)
{
    if (CGRectIsNull(r))
        return r;
    r = CGRectStandardize(r);
    r.origin.x += dx;
    r.origin.y += dy;
    return r;
}

CGRect CGRectIntegral(CGRect r)
{
    if (CGRectIsNull(r) || CGRectIsInfinite(r))
        return r;
    r = CGRectStandardize(r);
    CGFloat minX = std::floor(r.origin.x), minY = std::floor(r.origin.y);
    CGFloat maxX = std::ceil(r.origin.x + r.size.width), maxY = std::ceil(r.origin.y + r.size.height);
    if (r.size.width == 0 && r.size.height == 0)
        return { { minX, minY }, { 0, 0 } };
    return { { minX, minY }, { maxX - minX, maxY - minY } };
}

CGRect CGRectUnion(CGRect a, CGRect b)
{
    if (CGRectIsNull(a))
        return CGRectStandardize(b);
    if (CGRectIsNull(b))
        return CGRectStandardize(a);
    a = CGRectStandardize(a);
    b = CGRectStandardize(b);
    CGFloat minX = std::min(a.origin.x, b.origin.x), minY = std::min(a.origin.y, b.origin.y);
    CGFloat maxX = std::max(CGRectGetMaxX(a), CGRectGetMaxX(b));
    CGFloat maxY = std::max(CGRectGetMaxY(a), CGRectGetMaxY(b));
    return { { minX, minY }, { maxX - minX, maxY - minY } };
}

CGRect CGRectIntersection(CGRect a, CGRect b)
{
    if (CGRectIsNull(a) || CGRectIsNull(b))
        return CGRectNull;
    a = CGRectStandardize(a);
    b = CGRectStandardize(b);
    CGFloat minX = std::max(a.origin.x, b.origin.x), minY = std::max(a.origin.y, b.origin.y);
    CGFloat maxX = std::min(CGRectGetMaxX(a), CGRectGetMaxX(b));
    CGFloat maxY = std::min(CGRectGetMaxY(a), CGRectGetMaxY(b));
    if (maxX < minX || maxY < minY)
        return CGRectNull;
    return { { minX, minY }, { maxX - minX, maxY - minY } };
}

void CGRectDivide(CGRect r, CGRect* slice, CGRect* remainder, CGFloat amount, CGRectEdge edge)
{
    r = CGRectStandardize(r);
    CGRect s = r, rest = r;
    if (!CGRectIsNull(r)) {
        bool horizontal = edge == CGRectMinXEdge || edge == CGRectMaxXEdge;
        CGFloat extent = horizontal ? r.size.width : r.size.height;
        amount = std::clamp<CGFloat>(amount, 0, extent);
        if (horizontal) {
            s.size.width = amount;
            rest.size.width = extent - amount;
            if (edge == CGRectMinXEdge)
                rest.origin.x += amount;
            else
                s.origin.x = CGRectGetMaxX(r) - amount;
        } else {
            s.size.height = amount;
            rest.size.height = extent - amount;
            if (edge == CGRectMinYEdge)
                rest.origin.y += amount;
            else
                s.origin.y = CGRectGetMaxY(r) - amount;
        }
    }
    if (slice)
        *slice = s;
    if (remainder)
        *remainder = rest;
}

bool CGRectContainsPoint(CGRect r, CGPoint p)
{
    if (CGRectIsNull(r))
        return false;
    r = CGRectStandardize(r);
    return p.x >= r.origin.x && p.x < r.origin.x + r.size.width && p.y >= r.origin.y
        && p.y < r.origin.y + r.size.height;
}

bool CGRectContainsRect(CGRect outer, CGRect inner)
{
    if (CGRectIsNull(outer) || CGRectIsNull(inner))
        return false;
    return CGRectEqualToRect(CGRectUnion(outer, inner), CGRectStandardize(outer));
}

bool CGRectIntersectsRect(CGRect a, CGRect b)
{
    CGRect i = CGRectIntersection(a, b);
    return !CGRectIsNull(i) && i.size.width > 0 && i.size.height > 0;
}

std::string CGFloatDescription(double v)
{
    if (std::isnan(v))
        return "nan";
    if (std::isinf(v))
        return v > 0 ? "inf" : "-inf";
    if (v == 0)
        return "0";
    char buf[48];
    auto result = std::to_chars(buf, buf + sizeof buf, static_cast<float>(v));
    std::string text(buf, result.ptr);
    // Whole values print without exponent when they are moderate.
    if (text.find('e') != std::string::npos && std::fabs(v) < 1e15 && v == std::floor(v))
        return std::to_string(static_cast<long long>(v));
    return text;
}

std::string NSStringFromCGPoint(CGPoint p)
{
    return "{" + CGFloatDescription(p.x) + ", " + CGFloatDescription(p.y) + "}";
}
std::string NSStringFromCGSize(CGSize s)
{
    return "{" + CGFloatDescription(s.width) + ", " + CGFloatDescription(s.height) + "}";
}
std::string NSStringFromCGVector(CGVector v)
{
    return "{" + CGFloatDescription(v.dx) + ", " + CGFloatDescription(v.dy) + "}";
}
std::string NSStringFromCGRect(CGRect r)
{
    return "{" + NSStringFromCGPoint(r.origin) + ", " + NSStringFromCGSize(r.size) + "}";
}

namespace {

// Reads the numbers of a geometry text in order, ignoring braces, commas and blanks.
std::vector<CGFloat> numbersIn(std::string_view s)
{
    std::vector<CGFloat> out;
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (c == '-' || c == '+' || c == '.' || (c >= '0' && c <= '9')) {
            double v = 0;
            std::string token;
            while (i < s.size() && std::string_view("+-.0123456789eE").find(s[i]) != std::string_view::npos)
                token += s[i++];
            auto result = std::from_chars(token.data(), token.data() + token.size(), v);
            out.push_back(result.ec == std::errc() ? static_cast<CGFloat>(v) : 0);
        } else {
            ++i;
        }
    }
    return out;
}

} // namespace

CGPoint CGPointFromString(std::string_view s)
{
    auto n = numbersIn(s);
    return n.size() >= 2 ? CGPoint { n[0], n[1] } : CGPoint {};
}

CGSize CGSizeFromString(std::string_view s)
{
    auto n = numbersIn(s);
    return n.size() >= 2 ? CGSize { n[0], n[1] } : CGSize {};
}

CGRect CGRectFromString(std::string_view s)
{
    auto n = numbersIn(s);
    return n.size() >= 4 ? CGRectMake(n[0], n[1], n[2], n[3]) : CGRect {};
}
