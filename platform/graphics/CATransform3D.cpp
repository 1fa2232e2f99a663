#include "graphics/CATransform3D.h"

#include <cmath>

namespace {

using Matrix = double[4][4];

void toArray(const CATransform3D& t, Matrix m)
{
    const CGFloat* p = &t.m11;
    for (int i = 0; i < 16; ++i)
        m[i / 4][i % 4] = p[i];
}

CATransform3D fromArray(const Matrix m)
{
    CATransform3D t;
    CGFloat* p = &t.m11;
    for (int i = 0; i < 16; ++i)
        p[i] = static_cast<CGFloat>(m[i / 4][i % 4]);
    return t;
}

} // namespace

bool CATransform3DEqualToTransform(const CATransform3D& a, const CATransform3D& b)
{
    const CGFloat* p = &a.m11;
    const CGFloat* q = &b.m11;
    for (int i = 0; i < 16; ++i) {
        if (p[i] != q[i])
            return false;
    }
    return true;
}

bool CATransform3DIsIdentity(const CATransform3D& t)
{
    return CATransform3DEqualToTransform(t, CATransform3DIdentity);
}

CATransform3D CATransform3DMakeTranslation(CGFloat tx, CGFloat ty, CGFloat tz)
{
    CATransform3D t;
    t.m41 = tx;
    t.m42 = ty;
    t.m43 = tz;
    return t;
}

CATransform3D CATransform3DMakeScale(CGFloat sx, CGFloat sy, CGFloat sz)
{
    CATransform3D t;
    t.m11 = sx;
    t.m22 = sy;
    t.m33 = sz;
    return t;
}

CATransform3D CATransform3DMakeRotation(CGFloat angle, CGFloat x, CGFloat y, CGFloat z)
{
    double len = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    if (len == 0)
        return CATransform3DIdentity;
    double ux = x / len, uy = y / len, uz = z / len;
    double c = std::cos(angle), s = std::sin(angle), k = 1 - c;
    Matrix m = {
        { c + ux * ux * k, ux * uy * k + uz * s, ux * uz * k - uy * s, 0 },
        { uy * ux * k - uz * s, c + uy * uy * k, uy * uz * k + ux * s, 0 },
        { uz * ux * k + uy * s, uz * uy * k - ux * s, c + uz * uz * k, 0 },
        { 0, 0, 0, 1 },
    };
    return fromArray(m);
}

CATransform3D CATransform3DConcat(const CATransform3D& a, const CATransform3D& b)
{
    Matrix x, y, r;
    toArray(a, x);
    toArray(b, y);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r[i][j] = 0;
            for (int k = 0; k < 4; ++k)
                r[i][j] += x[i][k] * y[k][j];
        }
    }
    return fromArray(r);
}

CATransform3D CATransform3DTranslate(const CATransform3D& t, CGFloat tx, CGFloat ty, CGFloat tz)
{
    return CATransform3DConcat(CATransform3DMakeTranslation(tx, ty, tz), t);
}

CATransform3D CATransform3DScale(const CATransform3D& t, CGFloat sx, CGFloat sy, CGFloat sz)
{
    return CATransform3DConcat(CATransform3DMakeScale(sx, sy, sz), t);
}

CATransform3D CATransform3DRotate(const CATransform3D& t, CGFloat angle, CGFloat x, CGFloat y, CGFloat z)
{
    return CATransform3DConcat(CATransform3DMakeRotation(angle, x, y, z), t);
}

CATransform3D CATransform3DInvert(const CATransform3D& t)
{
    // Gauss-Jordan elimination with partial pivoting.
    Matrix a, inv;
    toArray(t, a);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            inv[i][j] = i == j ? 1 : 0;
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int row = col + 1; row < 4; ++row) {
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col]))
                pivot = row;
        }
        if (std::fabs(a[pivot][col]) < 1e-12)
            return t;
        for (int j = 0; j < 4; ++j) {
            std::swap(a[col][j], a[pivot][j]);
            std::swap(inv[col][j], inv[pivot][j]);
        }
        double d = a[col][col];
        for (int j = 0; j < 4; ++j) {
            a[col][j] /= d;
            inv[col][j] /= d;
        }
        for (int row = 0; row < 4; ++row) {
            if (row == col)
                continue;
            double f = a[row][col];
            for (int j = 0; j < 4; ++j) {
                a[row][j] -= f * a[col][j];
                inv[row][j] -= f * inv[col][j];
            }
        }
    }
    return fromArray(inv);
}

CATransform3D CATransform3DMakeAffineTransform(CGAffineTransform m)
{
    CATransform3D t;
    t.m11 = m.a;
    t.m12 = m.b;
    t.m21 = m.c;
    t.m22 = m.d;
    t.m41 = m.tx;
    t.m42 = m.ty;
    return t;
}

bool CATransform3DIsAffine(const CATransform3D& t)
{
    return t.m13 == 0 && t.m14 == 0 && t.m23 == 0 && t.m24 == 0 && t.m31 == 0 && t.m32 == 0 && t.m33 == 1 && t.m34 == 0
        && t.m43 == 0 && t.m44 == 1;
}

CGAffineTransform CATransform3DGetAffineTransform(const CATransform3D& t)
{
    return { t.m11, t.m12, t.m21, t.m22, t.m41, t.m42 };
}

std::string NSStringFromCATransform3D(const CATransform3D& t)
{
    std::string out = "[";
    const CGFloat* p = &t.m11;
    for (int i = 0; i < 16; ++i)
        out += CGFloatDescription(p[i]) + (i < 15 ? (i % 4 == 3 ? "; " : ", ") : "]");
    return out;
}
