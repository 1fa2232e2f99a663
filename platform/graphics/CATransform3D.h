#pragma once

#include "graphics/CGAffineTransform.h"

#include <string>

// A 4x4 transform applied to row vectors, as on the platform: [x y z 1] * M.
struct CATransform3D {
    CGFloat m11 { 1 }, m12 { 0 }, m13 { 0 }, m14 { 0 };
    CGFloat m21 { 0 }, m22 { 1 }, m23 { 0 }, m24 { 0 };
    CGFloat m31 { 0 }, m32 { 0 }, m33 { 1 }, m34 { 0 };
    CGFloat m41 { 0 }, m42 { 0 }, m43 { 0 }, m44 { 1 };
};

inline constexpr CATransform3D CATransform3DIdentity {};

bool CATransform3DIsIdentity(const CATransform3D& t);
bool CATransform3DEqualToTransform(const CATransform3D& a, const CATransform3D& b);
CATransform3D CATransform3DMakeTranslation(CGFloat tx, CGFloat ty, CGFloat tz);
CATransform3D CATransform3DMakeScale(CGFloat sx, CGFloat sy, CGFloat sz);
// Rotation by `angle` radians about the axis (x, y, z); a zero axis gives the identity.
CATransform3D CATransform3DMakeRotation(CGFloat angle, CGFloat x, CGFloat y, CGFloat z);
// a then b.
CATransform3D CATransform3DConcat(const CATransform3D& a, const CATransform3D& b);
// The new operation applies first: t' = op * t.
CATransform3D CATransform3DTranslate(const CATransform3D& t, CGFloat tx, CGFloat ty, CGFloat tz);
CATransform3D CATransform3DScale(const CATransform3D& t, CGFloat sx, CGFloat sy, CGFloat sz);
CATransform3D CATransform3DRotate(const CATransform3D& t, CGFloat angle, CGFloat x, CGFloat y, CGFloat z);
// The inverse, or t unchanged when it is singular.
CATransform3D CATransform3DInvert(const CATransform3D& t);
CATransform3D CATransform3DMakeAffineTransform(CGAffineTransform m);
bool CATransform3DIsAffine(const CATransform3D& t);
// The 2D part (m11 m12 m21 m22 m41 m42), used for drawing.
CGAffineTransform CATransform3DGetAffineTransform(const CATransform3D& t);
std::string NSStringFromCATransform3D(const CATransform3D& t);
