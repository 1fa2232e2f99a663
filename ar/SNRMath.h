#pragma once

#include "graphics/CGGeometry.h"

#include <string>

// Vectors, 4x4 matrices and geodesy shared by the sensor and AR kits. Matrices hold sixteen
// floats in column order (element i*4 + j is column i, row j; 12 to 14 the translation); a
// matrix times a vector treats the vector as a column. Angles are degrees unless a name says
// radians; geodesy is double precision, vectors and matrices single. Plain functions, no state,
// any thread.

struct SNRVector3 {
    float x { 0 }, y { 0 }, z { 0 };
};

struct SNRVector4 {
    float x { 0 }, y { 0 }, z { 0 }, w { 0 };
};

struct SNRMatrix4x4 {
    float m[16] {};
    float& operator[](int i) { return m[i]; }
    float operator[](int i) const { return m[i]; }
};

struct SNRCoordinate {
    double latitude { 0 };
    double longitude { 0 };
};

inline constexpr double SNRPi = 3.141592653589793;
inline constexpr double SNRDegToRad = 0.017453292519943295;
inline constexpr double SNRRadToDeg = 57.29577951308232;

double SNRDegreesToRadians(double degrees);
double SNRRadiansToDegrees(double radians);
float SNRDegreesToRadiansF(float degrees);

// Random numbers from the process's random source.
float SNRRandomFloat(float max);
float SNRRandomFloatInRange(float min, float max);

float SNRLerp(float a, float b, float t);
float SNRWrapAngle(float x, float range);
float SNRFoldAngle(float x);
// Piecewise-linear sine and cosine of an angle in degrees: exact at the multiples of 90.
float SNRTriangleSin(float x);
float SNRTriangleCos(float x);
float SNRClamp(float a, float lo, float hi);
CGPoint SNRRotatePoint(float x, float y, float radians);
float SNRAngleOfVector(float x, float y);

SNRVector3 SNRVector3Make(float x, float y, float z);
SNRVector3 SNRVector3Zero();
SNRVector4 SNRVector4Zero();
std::string SNRVector3Description(float x, float y, float z);

// 1 in elements 0, 5, 10 and 15, and also in 12, 13 and 14.
void SNRMatrixReset(SNRMatrix4x4& m);
void SNRMatrixSetRotationX(SNRMatrix4x4& m, float degrees);
void SNRMatrixSetRotationY(SNRMatrix4x4& m, float degrees);
void SNRMatrixSetRotationZ(SNRMatrix4x4& m, float degrees);
void SNRMatrixCopy(const SNRMatrix4x4& from, SNRMatrix4x4& to);
std::string SNRMatrixDescription(const std::string& name, const SNRMatrix4x4& m);
void SNRMatrixSetPerspective(SNRMatrix4x4& m, float fovRadians, float aspect, float zNear, float zFar);
SNRVector3 SNRMatrixMultiplyVector3(const SNRMatrix4x4& m, float x, float y, float z);
SNRVector4 SNRMatrixMultiplyVector4(const SNRMatrix4x4& m, float x, float y, float z, float w);
// result = a × b; result may alias neither operand's storage safely only through a copy, which
// this function makes.
void SNRMatrixMultiply(SNRMatrix4x4& result, const SNRMatrix4x4& a, const SNRMatrix4x4& b);
// Nine row-order doubles (m11, m12, m13, m21 ... m33) into a column-order float matrix.
void SNRMatrixFromRotationMatrix(SNRMatrix4x4& m, double m11, double m12, double m13, double m21, double m22,
    double m23, double m31, double m32, double m33);

// WGS84 geodetic (degrees, metres above the ellipsoid) to earth-centred earth-fixed metres.
void SNRGeodeticToECEF(double latitude, double longitude, double height, double& x, double& y, double& z);
// The difference p - q of two earth-fixed points as east, north, up at the reference position.
void SNRECEFToENU(double latitude, double longitude, double px, double py, double pz, double qx, double qy, double qz,
    double& east, double& north, double& up);
// The point `distance` metres along `bearing` from the start on a sphere of 6378137 m; the
// longitude is not wrapped.
SNRCoordinate SNRDestinationCoordinate(double latitude, double longitude, double distance, double bearing);

CGPoint SNRProjectOnRadarWithGravity(float x, float y, float z, float gx, float gy, float gz);
CGPoint SNRProjectOnRadarWithGravityXY(float x, float y, float z, float gx, float gy);
