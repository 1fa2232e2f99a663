#include "ar/SNRMath.h"

#include "foundation/Random.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct GeodeticCase {
    const char* name;
    double latitude, longitude, height;
    double x, y, z;
};

} // namespace

// Reference values computed independently from the flattening (a = 6378137, f = 1/298.257223563)
// rather than the rounded eccentricity the kit uses; they agree to well under a metre.
TEST(SNRMath, GeodeticToECEFMatchesReferencePoints)
{
    const GeodeticCase cases[] = {
        { "origin", 0, 0, 0, 6378137.0, 0, 0 },
        { "north pole", 90, 0, 0, 0, 0, 6356752.314245 },
        { "south pole", -90, 0, 0, 0, 0, -6356752.314245 },
        { "east on the equator", 0, 90, 0, 0, 6378137.0, 0 },
        { "antimeridian", 0, 180, 0, -6378137.0, 0, 0 },
        { "antimeridian west", 0, -180, 0, -6378137.0, 0, 0 },
        { "high altitude", 0, 0, 10000, 6388137.0, 0, 0 },
        { "london", 51.4778, -0.0015, 45, 3980609.2, -104.2, 4966859.7 },
        { "sydney", -33.8688, 151.2093, 58, -4646093.5, 2553229.5, -3534404.7 },
        { "denver at altitude", 39.7392, -104.9903, 1609, -1270647.2, -4745333.2, 4056789.4 },
        { "pole at altitude", 90, 45, 35786000, 0, 0, 42142752.314245 },
        { "tokyo", 35.6762, 139.6503, 40, -3953099.8, 3358372.0, 3699089.5 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        double x, y, z;
        SNRGeodeticToECEF(c.latitude, c.longitude, c.height, x, y, z);
        EXPECT_NEAR(x, c.x, 1.0);
        EXPECT_NEAR(y, c.y, 1.0);
        EXPECT_NEAR(z, c.z, 1.0);
    }
}

TEST(SNRMath, ECEFToENUOfKnownOffsets)
{
    double e, n, u;
    SNRECEFToENU(0, 0, 1, 2, 3, 1, 2, 3, e, n, u);
    EXPECT_DOUBLE_EQ(e, 0);
    EXPECT_DOUBLE_EQ(n, 0);
    EXPECT_DOUBLE_EQ(u, 0);
    // At (0, 0) the earth-fixed y axis points east, z north and x up.
    SNRECEFToENU(0, 0, 0, 1, 0, 0, 0, 0, e, n, u);
    EXPECT_NEAR(e, 1, 1e-12);
    EXPECT_NEAR(n, 0, 1e-12);
    SNRECEFToENU(0, 0, 0, 0, 1, 0, 0, 0, e, n, u);
    EXPECT_NEAR(n, 1, 1e-12);
    SNRECEFToENU(0, 0, 1, 0, 0, 0, 0, 0, e, n, u);
    EXPECT_NEAR(u, 1, 1e-12);
    // Across the antimeridian: a point 1 km east of 179.995 E lies west of the dateline.
    double px, py, pz, qx, qy, qz;
    SNRGeodeticToECEF(0, -179.996, 0, px, py, pz);
    SNRGeodeticToECEF(0, 179.995, 0, qx, qy, qz);
    SNRECEFToENU(0, 179.995, px, py, pz, qx, qy, qz, e, n, u);
    EXPECT_NEAR(e, 1002.0, 1.0);
    EXPECT_NEAR(n, 0, 0.01);
}

TEST(SNRMath, DestinationCoordinate)
{
    auto same = SNRDestinationCoordinate(48.1, 11.5, 0, 123);
    EXPECT_DOUBLE_EQ(same.latitude, 48.1);
    EXPECT_DOUBLE_EQ(same.longitude, 11.5);
    auto north = SNRDestinationCoordinate(10, 20, 111319.49, 0);
    EXPECT_NEAR(north.latitude, 11, 1e-6);
    EXPECT_NEAR(north.longitude, 20, 1e-9);
    // Eastward over the antimeridian the longitude is not wrapped.
    auto east = SNRDestinationCoordinate(0, 179.5, 111319.49, 90);
    EXPECT_NEAR(east.longitude, 180.5, 1e-6);

    // Away from the equator. Reference values computed independently on the same sphere by turning
    // the start's position vector towards the bearing (p cos(d/R) + (n cos b + e sin b) sin(d/R),
    // with n and e the start's north and east unit vectors), not by the trigonometric formula.
    struct Case {
        double latitude, longitude, distance, bearing;
        double toLatitude, toLongitude;
    };
    const Case cases[] = {
        { 48.1, 11.5, 250000, 37, 49.874983402, 13.597119938 },
        { -33.9, 151.2, 1000000, 225, -39.981935220, 142.915264533 },
        { 70, -20, 500000, 90, 69.522016556, -7.064874201 },
        { 51.47, -0.45, 100000, 300, 51.912445462, -1.711207724 },
        { -60, -70, 2000000, 135, -68.883939355, -32.739948661 },
        // Over the pole: the longitude comes out half a turn on (its unwrapped form may differ by 360).
        { 80, 10, 2000000, 0, 82.033694318, -170 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.latitude << ", " << c.longitude << " bearing " << c.bearing);
        auto to = SNRDestinationCoordinate(c.latitude, c.longitude, c.distance, c.bearing);
        EXPECT_NEAR(to.latitude, c.toLatitude, 1e-7);
        EXPECT_NEAR(std::remainder(to.longitude - c.toLongitude, 360.0), 0, 1e-7);
    }
}

TEST(SNRMath, AngleHelpers)
{
    struct Case {
        float x;
        float sin, cos;
    };
    const Case triangle[] = { { 0, 0, 1 }, { 30, 1.0f / 3, 2.0f / 3 }, { 60, 2.0f / 3, 1.0f / 3 }, { 90, 1, 0 },
        { 180, 0, -1 }, { 270, -1, 0 }, { -90, -1, 0 } };
    for (const auto& c : triangle) {
        SCOPED_TRACE(c.x);
        EXPECT_NEAR(SNRTriangleSin(c.x), c.sin, 1e-6);
        EXPECT_NEAR(SNRTriangleCos(c.x), c.cos, 1e-6);
    }
    EXPECT_FLOAT_EQ(SNRWrapAngle(-10, 360), 350);
    EXPECT_FLOAT_EQ(SNRWrapAngle(370, 360), 10);
    EXPECT_FLOAT_EQ(SNRLerp(2, 4, 0.5f), 3);
    EXPECT_FLOAT_EQ(SNRLerp(2, 4, 7), 4);
    EXPECT_FLOAT_EQ(SNRClamp(5, 0, 1), 1);
    EXPECT_FLOAT_EQ(SNRClamp(-5, 0, 1), 0);
    EXPECT_FLOAT_EQ(SNRAngleOfVector(0, 1), 90);
}

TEST(SNRMath, MatricesFollowTheColumnConvention)
{
    SNRMatrix4x4 reset;
    SNRMatrixReset(reset);
    for (int i = 0; i < 16; ++i) {
        bool one = i == 0 || i == 5 || i == 10 || i == 12 || i == 13 || i == 14 || i == 15;
        EXPECT_EQ(reset[i], one ? 1.0f : 0.0f) << i;
    }
    SNRMatrix4x4 rotation, identityY, product;
    SNRMatrixSetRotationZ(rotation, 30);
    SNRMatrixSetRotationY(identityY, 0);
    SNRMatrixMultiply(product, identityY, rotation);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(product[i], rotation[i]);
    SNRMatrixMultiply(product, rotation, identityY);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(product[i], rotation[i]);
    // Rotating x by 90 degrees about z gives y.
    SNRMatrixSetRotationZ(rotation, 90);
    auto v = SNRMatrixMultiplyVector3(rotation, 1, 0, 0);
    EXPECT_NEAR(v.x, 0, 1e-6);
    EXPECT_NEAR(v.y, 1, 1e-6);
    // Translation lives in elements 12 to 14.
    auto t = SNRMatrixMultiplyVector4(reset, 2, 3, 4, 1);
    EXPECT_FLOAT_EQ(t.x, 3);
    EXPECT_FLOAT_EQ(t.y, 4);
    EXPECT_FLOAT_EQ(t.z, 5);
    SNRMatrix4x4 fromRows;
    SNRMatrixFromRotationMatrix(fromRows, 1, 2, 3, 4, 5, 6, 7, 8, 9);
    EXPECT_EQ(fromRows[1], 4);
    EXPECT_EQ(fromRows[4], 2);
    EXPECT_EQ(fromRows[15], 1);
    EXPECT_EQ(SNRMatrixDescription("m", reset),
        "m={ 1.000000,0.000000,0.000000,0.000000,  0.000000,1.000000,0.000000,0.000000,  "
        "0.000000,0.000000,1.000000,0.000000,  1.000000,1.000000,1.000000,1.000000 }");
}

TEST(SNRMath, PerspectiveMapsTheViewAxisToTheCentre)
{
    SNRMatrix4x4 p;
    SNRMatrixSetPerspective(p, static_cast<float>(SNRDegreesToRadians(90)), 0.5f, 0.25f, 100000);
    EXPECT_NEAR(p[5], 1, 1e-6);
    EXPECT_NEAR(p[0], 2, 1e-6);
    EXPECT_EQ(p[11], -1);
    EXPECT_EQ(p[15], 0);
    // A point straight ahead (negative z) projects to the centre; one on the 45-degree edge to 1.
    auto ahead = SNRMatrixMultiplyVector4(p, 0, 0, -10, 1);
    EXPECT_NEAR(ahead.x / ahead.w, 0, 1e-6);
    auto edge = SNRMatrixMultiplyVector4(p, 0, 10, -10, 1);
    EXPECT_NEAR(edge.y / edge.w, 1, 1e-5);
}

TEST(SNRMath, RandomNumbersComeFromTheSeededSource)
{
    Random::setSeedForTesting(7);
    float a = SNRRandomFloatInRange(200, 200000);
    Random::setSeedForTesting(7);
    EXPECT_EQ(SNRRandomFloatInRange(200, 200000), a);
    EXPECT_GE(a, 200);
    EXPECT_LT(a, 200000);
    Random::reset();
}
