#include "location/CMMotionManager.h"
#include "location/LocationSimulator.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

class MotionTest : public ::testing::Test {
protected:
    void SetUp() override { LocationSimulator::shared().reset(); }
    void TearDown() override { LocationSimulator::shared().reset(); }
};

} // namespace

TEST_F(MotionTest, AttitudeMatrixAndGravityAgree)
{
    struct Case {
        const char* name;
        double roll, pitch, yaw;
        CMAcceleration gravity; // NAN where the case does not pin it
    };
    const double h = M_PI / 2;
    const Case cases[] {
        { "flat, face up", 0, 0, 0, { 0, 0, -1 } },
        { "upright portrait", 0, h, 0, { 0, -1, 0 } },
        { "upright portrait, turned east", 0, h, -h, { 0, -1, 0 } },
        { "rolled onto its right edge", h, 0, 0, { 1, 0, 0 } },
        { "face down", M_PI, 0, 0.3, { 0, 0, 1 } },
        { "oblique", 0.3, -0.7, 2.5, { NAN, NAN, NAN } },
        { "oblique, the other way", -1.2, 0.4, -2.9, { NAN, NAN, NAN } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto attitude = CMAttitude::initWithRollPitchYaw(c.roll, c.pitch, c.yaw);
        auto m = attitude->rotationMatrix();
        double rows[3][3] { { m.m11, m.m12, m.m13 }, { m.m21, m.m22, m.m23 }, { m.m31, m.m32, m.m33 } };
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                double dot = rows[i][0] * rows[j][0] + rows[i][1] * rows[j][1] + rows[i][2] * rows[j][2];
                EXPECT_NEAR(dot, i == j ? 1 : 0, 1e-12) << "orthonormal rows " << i << j;
            }
        }
        double det = m.m11 * (m.m22 * m.m33 - m.m23 * m.m32) - m.m12 * (m.m21 * m.m33 - m.m23 * m.m31)
            + m.m13 * (m.m21 * m.m32 - m.m22 * m.m31);
        EXPECT_NEAR(det, 1, 1e-12);

        auto motion = CMDeviceMotion::initWithAttitude(attitude, {}, 0);
        auto g = motion->gravity();
        EXPECT_NEAR(std::sqrt(g.x * g.x + g.y * g.y + g.z * g.z), 1, 1e-12);
        if (!std::isnan(c.gravity.x)) {
            EXPECT_NEAR(g.x, c.gravity.x, 1e-12);
            EXPECT_NEAR(g.y, c.gravity.y, 1e-12);
            EXPECT_NEAR(g.z, c.gravity.z, 1e-12);
        }

        // The angles come back from the matrix (away from the upright gimbal pose).
        if (std::fabs(std::cos(c.pitch)) > 1e-6) {
            auto back = CMAttitude::initWithRotationMatrix(m);
            EXPECT_NEAR(back->roll(), c.roll, 1e-9);
            EXPECT_NEAR(back->pitch(), c.pitch, 1e-9);
            EXPECT_NEAR(back->yaw(), c.yaw, 1e-9);
        }
        auto q = attitude->quaternion();
        EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1, 1e-12);
    }
}

TEST_F(MotionTest, PolledMotionFollowsTheSimulatorAndTheReferenceFrame)
{
    auto& simulator = LocationSimulator::shared();
    auto manager = CMMotionManager::init();
    EXPECT_TRUE(manager->isDeviceMotionAvailable());
    EXPECT_EQ(CMMotionManager::availableAttitudeReferenceFrames(), 15u);
    manager->setDeviceMotionUpdateInterval(1.0 / 30);
    manager->setShowsDeviceMovementDisplay(true);
    EXPECT_TRUE(manager->showsDeviceMovementDisplay());

    manager->startDeviceMotionUpdatesUsingReferenceFrame(CMAttitudeReferenceFrameXArbitraryCorrectedZVertical);
    EXPECT_TRUE(manager->isDeviceMotionActive());
    EXPECT_EQ(manager->deviceMotion(), nullptr) << "nothing before the first sample";
    simulator.setAttitude(0.1, 0.2, 1.0);
    ASSERT_TRUE(manager->deviceMotion());
    EXPECT_NEAR(manager->deviceMotion()->attitude()->yaw(), 0, 1e-12)
        << "arbitrary frames start at the current heading";
    simulator.setAttitude(0.1, 0.2, 1.5);
    EXPECT_NEAR(manager->deviceMotion()->attitude()->yaw(), 0.5, 1e-12);
    EXPECT_NEAR(manager->deviceMotion()->attitude()->roll(), 0.1, 1e-12);
    manager->stopDeviceMotionUpdates();
    EXPECT_EQ(manager->deviceMotion(), nullptr);

    simulator.setHeadingDegrees(100, 110); // declination 10 degrees east
    manager->startDeviceMotionUpdatesUsingReferenceFrame(CMAttitudeReferenceFrameXTrueNorthZVertical);
    EXPECT_NEAR(manager->deviceMotion()->attitude()->yaw(), 1.5, 1e-12);
    manager->startDeviceMotionUpdatesUsingReferenceFrame(CMAttitudeReferenceFrameXMagneticNorthZVertical);
    EXPECT_NEAR(manager->deviceMotion()->attitude()->yaw(), 1.5 + 10 * M_PI / 180, 1e-12);
    manager->stopDeviceMotionUpdates();

    simulator.setMotionAvailable(MotionSensorAccelerometer | MotionSensorGyro | MotionSensorDeviceMotion);
    EXPECT_EQ(CMMotionManager::availableAttitudeReferenceFrames(), 3u);
    manager->startDeviceMotionUpdatesUsingReferenceFrame(CMAttitudeReferenceFrameXTrueNorthZVertical);
    EXPECT_FALSE(manager->isDeviceMotionActive()) << "north frames need the magnetometer";
    manager->startDeviceMotionUpdatesUsingReferenceFrame(static_cast<CMAttitudeReferenceFrame>(3));
    EXPECT_FALSE(manager->isDeviceMotionActive()) << "one frame at a time";
}

// In the true-north frame the reference axes are north, west and up (right-handed, z up), and
// the rotation matrix takes them into device axes (x to the screen's right, y to its top, z out of
// the screen). Its columns are therefore north, west and up as the device sees them; views that
// place things around the user (a camera overlay, a radar) depend on exactly this.
TEST_F(MotionTest, TrueNorthFrameSeenFromPhysicalPoses)
{
    struct Vector {
        double x, y, z;
    };
    struct Case {
        const char* name;
        double roll, pitch, yaw;
        Vector north, west, up;
    };
    const double h = M_PI / 2;
    const Case cases[] {
        { "flat face up, top to the north", 0, 0, -h, { 0, 1, 0 }, { -1, 0, 0 }, { 0, 0, 1 } },
        { "flat face up, top to the east", 0, 0, -M_PI, { -1, 0, 0 }, { 0, -1, 0 }, { 0, 0, 1 } },
        { "upright, back camera to the north", 0, h, -h, { 0, 0, -1 }, { -1, 0, 0 }, { 0, 1, 0 } },
        { "upright, back camera to the east", 0, h, -M_PI, { -1, 0, 0 }, { 0, 0, 1 }, { 0, 1, 0 } },
        { "upright, back camera to the west", 0, h, 0, { 1, 0, 0 }, { 0, 0, -1 }, { 0, 1, 0 } },
    };
    auto& simulator = LocationSimulator::shared();
    auto manager = CMMotionManager::init();
    manager->startDeviceMotionUpdatesUsingReferenceFrame(CMAttitudeReferenceFrameXTrueNorthZVertical);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        simulator.setAttitude(c.roll, c.pitch, c.yaw);
        auto motion = manager->deviceMotion();
        ASSERT_TRUE(motion);
        auto m = motion->attitude()->rotationMatrix();
        auto expectNear = [](Vector seen, Vector expected) {
            EXPECT_NEAR(seen.x, expected.x, 1e-12);
            EXPECT_NEAR(seen.y, expected.y, 1e-12);
            EXPECT_NEAR(seen.z, expected.z, 1e-12);
        };
        expectNear({ m.m11, m.m21, m.m31 }, c.north);
        expectNear({ m.m12, m.m22, m.m32 }, c.west);
        expectNear({ m.m13, m.m23, m.m33 }, c.up);
        // Gravity points down, away from up.
        auto g = motion->gravity();
        expectNear({ -g.x, -g.y, -g.z }, c.up);
    }
}
