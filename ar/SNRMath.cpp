#include "ar/SNRMath.h"

#include "foundation/NSString.h"
#include "foundation/Random.h"

#include <cmath>

double SNRDegreesToRadians(double degrees)
{
    return degrees * SNRPi / 180.0;
}

double SNRRadiansToDegrees(double radians)
{
    return radians * 180.0 / SNRPi;
}

float SNRDegreesToRadiansF(float degrees)
{
    return static_cast<float>(static_cast<double>(degrees) * SNRPi / 180.0);
}

static float randomFraction()
{
    uint32_t bits = Random::arc4random() & 0x7fffffffu;
    return static_cast<float>(bits * (1.0 / 2147483648.0));
}

float SNRRandomFloat(float max)
{
    return max * randomFraction();
}

float SNRRandomFloatInRange(float min, float max)
{
    return min + (max - min) * randomFraction();
}

float SNRLerp(float a, float b, float t)
{
    return a + (b - a) * std::min(t, 1.0f);
}

float SNRWrapAngle(float x, float range)
{
    if (x < 0)
        return x + range;
    return std::fmod(x, range);
}

float SNRFoldAngle(float x)
{
    float r = std::fmod(x, 180.0f);
    if (std::fabs(r) > 90.0f)
        return (180.0f - std::fabs(r)) * (x < 0 ? -1.0f : 1.0f);
    return r;
}

float SNRTriangleSin(float x)
{
    return SNRFoldAngle(x) / 90.0f * (std::fabs(x) > 180.0f ? -1.0f : 1.0f);
}

float SNRTriangleCos(float x)
{
    float a = std::fabs(x);
    float f = 1.0f;
    if (a > 90.0f && a < 270.0f)
        f = -1.0f;
    return (90.0f - std::fabs(SNRFoldAngle(x))) / 90.0f * f;
}

float SNRClamp(float a, float lo, float hi)
{
    if (a > hi)
        return hi;
    if (a < lo)
        return lo;
    return a;
}

CGPoint SNRRotatePoint(float x, float y, float radians)
{
    float c = std::cos(radians);
    float s = std::sin(radians);
    return CGPointMake(x * c - y * s, x * s + y * c);
}

float SNRAngleOfVector(float x, float y)
{
    return std::atan2(y, x) * 180.0f / static_cast<float>(SNRPi);
}

SNRVector3 SNRVector3Make(float x, float y, float z)
{
    return { x, y, z };
}

SNRVector3 SNRVector3Zero()
{
    return {};
}

SNRVector4 SNRVector4Zero()
{
    return {};
}

std::string SNRVector3Description(float x, float y, float z)
{
    return NSString::stringWithFormat("%f,%f,%f", x, y, z);
}

void SNRMatrixReset(SNRMatrix4x4& m)
{
    m = {};
    m[0] = m[5] = m[10] = m[12] = m[13] = m[14] = m[15] = 1;
}

void SNRMatrixSetRotationX(SNRMatrix4x4& m, float degrees)
{
    float r = SNRDegreesToRadiansF(degrees);
    float c = std::cos(r), s = std::sin(r);
    m = {};
    m[0] = m[15] = 1;
    m[5] = c;
    m[6] = -s;
    m[9] = s;
    m[10] = c;
}

void SNRMatrixSetRotationY(SNRMatrix4x4& m, float degrees)
{
    float r = SNRDegreesToRadiansF(degrees);
    float c = std::cos(r), s = std::sin(r);
    m = {};
    m[5] = m[15] = 1;
    m[0] = c;
    m[2] = s;
    m[8] = -s;
    m[10] = c;
}

void SNRMatrixSetRotationZ(SNRMatrix4x4& m, float degrees)
{
    float r = SNRDegreesToRadiansF(degrees);
    float c = std::cos(r), s = std::sin(r);
    m = {};
    m[10] = m[15] = 1;
    m[0] = c;
    m[1] = s;
    m[4] = -s;
    m[5] = c;
}

void SNRMatrixCopy(const SNRMatrix4x4& from, SNRMatrix4x4& to)
{
    to = from;
}

std::string SNRMatrixDescription(const std::string& name, const SNRMatrix4x4& m)
{
    return NSString::stringWithFormat("%@={ %f,%f,%f,%f,  %f,%f,%f,%f,  %f,%f,%f,%f,  %f,%f,%f,%f }", name, m[0], m[1],
        m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10], m[11], m[12], m[13], m[14], m[15]);
}

void SNRMatrixSetPerspective(SNRMatrix4x4& m, float fovRadians, float aspect, float zNear, float zFar)
{
    float c = 1.0f / std::tan(fovRadians / 2.0f);
    m = {};
    m[0] = c / aspect;
    m[5] = c;
    m[10] = (zNear + zFar) / (zNear - zFar);
    m[11] = -1;
    m[14] = 2 * zFar * zNear / (zNear - zFar);
}

SNRVector3 SNRMatrixMultiplyVector3(const SNRMatrix4x4& m, float x, float y, float z)
{
    return { m[0] * x + m[4] * y + m[8] * z, m[1] * x + m[5] * y + m[9] * z, m[2] * x + m[6] * y + m[10] * z };
}

SNRVector4 SNRMatrixMultiplyVector4(const SNRMatrix4x4& m, float x, float y, float z, float w)
{
    return { m[0] * x + m[4] * y + m[8] * z + m[12] * w, m[1] * x + m[5] * y + m[9] * z + m[13] * w,
        m[2] * x + m[6] * y + m[10] * z + m[14] * w, m[3] * x + m[7] * y + m[11] * z + m[15] * w };
}

void SNRMatrixMultiply(SNRMatrix4x4& result, const SNRMatrix4x4& a, const SNRMatrix4x4& b)
{
    SNRMatrix4x4 out;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a[k * 4 + j] * b[i * 4 + k];
            out[i * 4 + j] = sum;
        }
    }
    result = out;
}

void SNRMatrixFromRotationMatrix(SNRMatrix4x4& m, double m11, double m12, double m13, double m21, double m22,
    double m23, double m31, double m32, double m33)
{
    m = {};
    m[0] = static_cast<float>(m11);
    m[1] = static_cast<float>(m21);
    m[2] = static_cast<float>(m31);
    m[4] = static_cast<float>(m12);
    m[5] = static_cast<float>(m22);
    m[6] = static_cast<float>(m32);
    m[8] = static_cast<float>(m13);
    m[9] = static_cast<float>(m23);
    m[10] = static_cast<float>(m33);
    m[15] = 1;
}

void SNRGeodeticToECEF(double latitude, double longitude, double height, double& x, double& y, double& z)
{
    double phi = latitude * SNRDegToRad;
    double lambda = longitude * SNRDegToRad;
    double sinPhi = std::sin(phi);
    double n = 6378137.0 / std::sqrt(1.0 - 0.0066943799901414 * sinPhi * sinPhi);
    x = (n + height) * std::cos(phi) * std::cos(lambda);
    y = (n + height) * std::cos(phi) * std::sin(lambda);
    z = (n * 0.9933056200098586 + height) * sinPhi;
}

void SNRECEFToENU(double latitude, double longitude, double px, double py, double pz, double qx, double qy, double qz,
    double& east, double& north, double& up)
{
    double phi = latitude * SNRDegToRad;
    double lambda = longitude * SNRDegToRad;
    double dx = px - qx, dy = py - qy, dz = pz - qz;
    double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
    double sinLambda = std::sin(lambda), cosLambda = std::cos(lambda);
    east = -sinLambda * dx + cosLambda * dy;
    north = -sinPhi * cosLambda * dx - sinPhi * sinLambda * dy + cosPhi * dz;
    up = cosPhi * cosLambda * dx + cosPhi * sinLambda * dy + sinPhi * dz;
}

SNRCoordinate SNRDestinationCoordinate(double latitude, double longitude, double distance, double bearing)
{
    double phi1 = latitude * SNRDegToRad;
    double lambda1 = longitude * SNRDegToRad;
    double theta = bearing * SNRDegToRad;
    double delta = distance / 6378137.0;
    double phi2 = std::asin(std::sin(phi1) * std::cos(delta) + std::cos(phi1) * std::sin(delta) * std::cos(theta));
    double lambda2 = lambda1
        + std::atan2(
            std::sin(theta) * std::sin(delta) * std::cos(phi1), std::cos(delta) - std::sin(phi1) * std::sin(phi2));
    return { phi2 * SNRRadToDeg, lambda2 * SNRRadToDeg };
}

CGPoint SNRProjectOnRadarWithGravity(float x, float y, float z, float gx, float gy, float gz)
{
    return CGPointMake(y * gx - x * gy - x * gz, y * gz + z * std::fabs(gx) + z * std::fabs(gy));
}

CGPoint SNRProjectOnRadarWithGravityXY(float x, float y, float z, float gx, float gy)
{
    double second = static_cast<double>(z) * std::fabs(gx) + static_cast<double>(z) * std::fabs(gy);
    return CGPointMake(x * gx + y * gy, static_cast<float>(second));
}
