#pragma once

#include <string>
#include <string_view>

// Geometry in float, as on the 32-bit device the system was written for.
using CGFloat = float;

struct CGPoint {
    CGFloat x { 0 };
    CGFloat y { 0 };
};

struct CGSize {
    CGFloat width { 0 };
    CGFloat height { 0 };
};

struct CGVector {
    CGFloat dx { 0 };
    CGFloat dy { 0 };
};

struct CGRect {
    CGPoint origin;
    CGSize size;
};

enum CGRectEdge { CGRectMinXEdge, CGRectMinYEdge, CGRectMaxXEdge, CGRectMaxYEdge };

inline constexpr CGPoint CGPointZero {};
inline constexpr CGSize CGSizeZero {};
inline constexpr CGRect CGRectZero {};
extern const CGRect CGRectNull;
extern const CGRect CGRectInfinite;

inline CGPoint CGPointMake(CGFloat x, CGFloat y)
{
    return { x, y };
}
inline CGSize CGSizeMake(CGFloat w, CGFloat h)
{
    return { w, h };
}
inline CGVector CGVectorMake(CGFloat dx, CGFloat dy)
{
    return { dx, dy };
}
inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat w, CGFloat h)
{
    return { { x, y }, { w, h } };
}

CGFloat CGRectGetMinX(CGRect r);
CGFloat CGRectGetMidX(CGRect r);
CGFloat CGRectGetMaxX(CGRect r);
CGFloat CGRectGetMinY(CGRect r);
CGFloat CGRectGetMidY(CGRect r);
CGFloat CGRectGetMaxY(CGRect r);
CGFloat CGRectGetWidth(CGRect r);
CGFloat CGRectGetHeight(CGRect r);

bool CGPointEqualToPoint(CGPoint a, CGPoint b);
bool CGSizeEqualToSize(CGSize a, CGSize b);
bool CGRectEqualToRect(CGRect a, CGRect b);
bool CGRectIsNull(CGRect r);
bool CGRectIsEmpty(CGRect r); // null, or zero width or height
bool CGRectIsInfinite(CGRect r);

// A rectangle with non-negative width and height covering the same area.
CGRect CGRectStandardize(CGRect r);
CGRect CGRectInset(CGRect r, CGFloat dx, CGFloat dy); // null when the result would be negative
CGRect CGRectOffset(CGRect r, CGFloat dx, CGFloat dy);
CGRect CGRectIntegral(CGRect r); // smallest integral rectangle containing r
CGRect CGRectUnion(CGRect a, CGRect b);
CGRect CGRectIntersection(CGRect a, CGRect b); // null when they do not intersect
void CGRectDivide(CGRect r, CGRect* slice, CGRect* remainder, CGFloat amount, CGRectEdge edge);
bool CGRectContainsPoint(CGRect r, CGPoint p); // min edges inside, max edges outside
bool CGRectContainsRect(CGRect outer, CGRect inner);
bool CGRectIntersectsRect(CGRect a, CGRect b);

// "{x, y}", "{w, h}", "{{x, y}, {w, h}}", numbers in their shortest form ("{0, 1.5}").
std::string NSStringFromCGPoint(CGPoint p);
std::string NSStringFromCGSize(CGSize s);
std::string NSStringFromCGRect(CGRect r);
std::string NSStringFromCGVector(CGVector v);
// The reverse; unreadable text gives zero values.
CGPoint CGPointFromString(std::string_view s);
CGSize CGSizeFromString(std::string_view s);
CGRect CGRectFromString(std::string_view s);

// Shortest text of a geometry number: integers without fraction, others with up to 9
// significant digits (enough for a float).
std::string CGFloatDescription(double v);
