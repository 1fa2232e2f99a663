#include "graphics/CGAffineTransform.h"

#include <algorithm>
#include <cmath>

CGAffineTransform CGAffineTransformMake(CGFloat a, CGFloat b, CGFloat c, CGFloat d, CGFloat tx, CGFloat ty)
{
    return { a, b, c, d, tx, ty };
}

CGAffineTransform CGAffineTransformMakeTranslation(CGFloat tx, CGFloat ty)
{
    return { 1, 0, 0, 1, tx, ty };
}
CGAffineTransform CGAffineTransformMakeScale(CGFloat sx, CGFloat sy)
{
    return { sx, 0, 0, sy, 0, 0 };
}

CGAffineTransform CGAffineTransformMakeRotation(CGFloat angle)
{
    CGFloat s = std::sin(angle), c = std::cos(angle);
    return { c, s, -s, c, 0, 0 };
}

CGAffineTransform CGAffineTransformConcat(CGAffineTransform t1, CGAffineTransform t2)
{
    return {
        t1.a * t2.a + t1.b * t2.c,
        t1.a * t2.b + t1.b * t2.d,
        t1.c * t2.a + t1.d * t2.c,
        t1.c * t2.b + t1.d * t2.d,
        t1.tx * t2.a + t1.ty * t2.c + t2.tx,
        t1.tx * t2.b + t1.ty * t2.d + t2.ty,
    };
}

CGAffineTransform CGAffineTransformTranslate(CGAffineTransform t, CGFloat tx, CGFloat ty)
{
    return CGAffineTransformConcat(CGAffineTransformMakeTranslation(tx, ty), t);
}

CGAffineTransform CGAffineTransformScale(CGAffineTransform t, CGFloat sx, CGFloat sy)
{
    return CGAffineTransformConcat(CGAffineTransformMakeScale(sx, sy), t);
}

CGAffineTransform CGAffineTransformRotate(CGAffineTransform t, CGFloat angle)
{
    return CGAffineTransformConcat(CGAffineTransformMakeRotation(angle), t);
}

CGAffineTransform CGAffineTransformInvert(CGAffineTransform t)
{
    double det = static_cast<double>(t.a) * t.d - static_cast<double>(t.b) * t.c;
    if (det == 0 || !std::isfinite(det))
        return t;
    double a = t.d / det, b = -t.b / det, c = -t.c / det, d = t.a / det;
    double tx = -(t.tx * a + t.ty * c), ty = -(t.tx * b + t.ty * d);
    return { static_cast<CGFloat>(a), static_cast<CGFloat>(b), static_cast<CGFloat>(c), static_cast<CGFloat>(d),
        static_cast<CGFloat>(tx), static_cast<CGFloat>(ty) };
}

bool CGAffineTransformIsIdentity(CGAffineTransform t)
{
    return CGAffineTransformEqualToTransform(t, CGAffineTransformIdentity);
}

bool CGAffineTransformEqualToTransform(CGAffineTransform t1, CGAffineTransform t2)
{
    return t1.a == t2.a && t1.b == t2.b && t1.c == t2.c && t1.d == t2.d && t1.tx == t2.tx && t1.ty == t2.ty;
}

CGPoint CGPointApplyAffineTransform(CGPoint p, CGAffineTransform t)
{
    return { t.a * p.x + t.c * p.y + t.tx, t.b * p.x + t.d * p.y + t.ty };
}

CGSize CGSizeApplyAffineTransform(CGSize s, CGAffineTransform t)
{
    return { t.a * s.width + t.c * s.height, t.b * s.width + t.d * s.height };
}

CGRect CGRectApplyAffineTransform(CGRect r, CGAffineTransform t)
{
    if (CGRectIsNull(r))
        return r;
    r = CGRectStandardize(r);
    CGPoint corners[4] = {
        CGPointApplyAffineTransform(r.origin, t),
        CGPointApplyAffineTransform({ r.origin.x + r.size.width, r.origin.y }, t),
        CGPointApplyAffineTransform({ r.origin.x, r.origin.y + r.size.height }, t),
        CGPointApplyAffineTransform({ r.origin.x + r.size.width, r.origin.y + r.size.height }, t),
    };
    CGFloat minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
    for (const auto& p : corners) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    return { { minX, minY }, { maxX - minX, maxY - minY } };
}

std::string NSStringFromCGAffineTransform(CGAffineTransform t)
{
    return "[" + CGFloatDescription(t.a) + ", " + CGFloatDescription(t.b) + ", " + CGFloatDescription(t.c) + ", "
        + CGFloatDescription(t.d) + ", " + CGFloatDescription(t.tx) + ", " + CGFloatDescription(t.ty) + "]";
}
