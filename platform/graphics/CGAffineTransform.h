#pragma once

#include "graphics/CGGeometry.h"

#include <string>

// A 2D affine transform [a b 0; c d 0; tx ty 1] applied to row vectors, as on the platform:
// x' = a*x + c*y + tx, y' = b*x + d*y + ty.
struct CGAffineTransform {
    CGFloat a { 1 }, b { 0 }, c { 0 }, d { 1 }, tx { 0 }, ty { 0 };
};

inline constexpr CGAffineTransform CGAffineTransformIdentity {};

CGAffineTransform CGAffineTransformMake(CGFloat a, CGFloat b, CGFloat c, CGFloat d, CGFloat tx, CGFloat ty);
CGAffineTransform CGAffineTransformMakeTranslation(CGFloat tx, CGFloat ty);
CGAffineTransform CGAffineTransformMakeScale(CGFloat sx, CGFloat sy);
CGAffineTransform CGAffineTransformMakeRotation(CGFloat angle);
// t' = (translation|scale|rotation) * t: the new operation applies first.
CGAffineTransform CGAffineTransformTranslate(CGAffineTransform t, CGFloat tx, CGFloat ty);
CGAffineTransform CGAffineTransformScale(CGAffineTransform t, CGFloat sx, CGFloat sy);
CGAffineTransform CGAffineTransformRotate(CGAffineTransform t, CGFloat angle);
// t1 then t2.
CGAffineTransform CGAffineTransformConcat(CGAffineTransform t1, CGAffineTransform t2);
// The inverse, or t unchanged when it cannot be inverted.
CGAffineTransform CGAffineTransformInvert(CGAffineTransform t);
bool CGAffineTransformIsIdentity(CGAffineTransform t);
bool CGAffineTransformEqualToTransform(CGAffineTransform t1, CGAffineTransform t2);

CGPoint CGPointApplyAffineTransform(CGPoint p, CGAffineTransform t);
CGSize CGSizeApplyAffineTransform(CGSize s, CGAffineTransform t);
// The bounding box of the transformed corners.
CGRect CGRectApplyAffineTransform(CGRect r, CGAffineTransform t);

// "[a, b, c, d, tx, ty]".
std::string NSStringFromCGAffineTransform(CGAffineTransform t);
