#include "ar/tests/ARTestSupport.h"

#include "foundation/NSDate.h"
#include "location/CLHeading.h"
#include "location/CMDeviceMotion.h"

namespace {

Ref<CMDeviceMotion> motion(double rollDegrees, double pitchDegrees, double yawDegrees)
{
    return CMDeviceMotion::initWithAttitude(CMAttitude::initWithRollPitchYaw(SNRDegreesToRadians(rollDegrees),
                                                SNRDegreesToRadians(pitchDegrees), SNRDegreesToRadians(yawDegrees)),
        { 0, 0, 0 }, 0);
}

Ref<CLLocation> fix(double latitude, double longitude, double accuracy, double secondsAgo = 0)
{
    return CLLocation::initWithCoordinate(CLLocationCoordinate2DMake(latitude, longitude), 120, accuracy, 3,
        NSDate::dateWithTimeIntervalSinceNow(-secondsAgo));
}

struct Fixture {
    ARTestScope scope;
    Ref<RecordingSensorDelegate> delegate = RecordingSensorDelegate::init();
    Ref<SNRDeviceAttitude> attitude;
    Fixture()
    {
        SNRSensorManager::sharedSensorManager()->setDelegate(Weak<SNRSensorDelegate>(delegate));
        attitude = SNRDeviceAttitude::sharedDeviceAttitude();
    }
};

} // namespace

TEST(SNRDeviceAttitude, OrientationFollowsRoundedGravity)
{
    Fixture f;
    struct Case {
        const char* name;
        SNRVector3 gravity;
        int32_t orientation;
    };
    // Each row starts from the previous row's orientation.
    const Case cases[] = {
        { "upright", { 0, -1, 0 }, 1 },
        { "flat, screen up", { 0, 0, -1 }, 5 },
        { "half raised: no axis dominates, keeps face up", { 0.3f, -0.4f, -0.85f }, 5 },
        { "diagonal: landscape wins", { 0.7f, -0.7f, 0 }, 4 },
        { "left side down", { -1, 0, 0 }, 3 },
        { "upside down", { 0, 1, 0 }, 2 },
        { "screen down", { 0, 0, 1 }, 6 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        *const_cast<SNRVector3*>(f.attitude->attitudeGravity()) = c.gravity;
        f.attitude->setMotion();
        EXPECT_EQ(f.attitude->deviceOrientation(), c.orientation);
    }
    *const_cast<SNRVector3*>(f.attitude->attitudeGravity()) = { 0, -1, 0 };
    f.attitude->setMotion();
    EXPECT_DOUBLE_EQ(f.attitude->attitudePitch(), -90);
    EXPECT_DOUBLE_EQ(f.attitude->attitudeRoll(), 0);
    EXPECT_EQ(f.delegate->count("orientation 4"), 1u);
}

TEST(SNRDeviceAttitude, MotionReadingsAgreeWithGravity)
{
    Fixture f;
    // Each reading's attitude and heading matrices worked out by hand. The motion sensor's matrix
    // has the device's right, up and screen-normal axes as rows, in the north, west, up frame; the
    // heading matrix is that times the fixed turns X (rows (1, 0, 0), (0, 0, -1), (0, 1, 0)) and
    // Y (rows (0, 0, -1), (0, 1, 0), (1, 0, 0)), whose product X Y has the rows (0, 0, -1),
    // (-1, 0, 0), (0, 1, 0).
    struct Case {
        const char* name;
        double roll, pitch, yaw;
        float attitude[3][3];
        float heading[3][3];
        SNRVector3 gravity;
        int32_t orientation;
        double attitudePitch;
    };
    const Case cases[] = {
        // Pitched up 90 degrees and turned by -90: right is east, up is up, the screen's normal
        // points south, so the camera looks north along the horizon.
        { "upright, facing north", 0, 90, -90, { { 0, -1, 0 }, { 0, 0, 1 }, { -1, 0, 0 } },
            { { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 } }, { 0, -1, 0 }, 1, -90 },
        // Turned by 180 instead: right is south, the screen's normal points west, the camera east.
        { "upright, facing east", 0, 90, 180, { { -1, 0, 0 }, { 0, 0, 1 }, { 0, 1, 0 } },
            { { 0, 0, 1 }, { 0, 1, 0 }, { -1, 0, 0 } }, { 0, -1, 0 }, 1, -90 },
        // Lying flat, unturned: the attitude is the identity and the heading matrix X Y itself.
        { "flat, screen up", 0, 0, 0, { { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 } },
            { { 0, 0, -1 }, { -1, 0, 0 }, { 0, 1, 0 } }, { 0, 0, -1 }, 5, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        f.attitude->setMotionFromCMMotion(motion(c.roll, c.pitch, c.yaw));
        const SNRVector3* g = f.attitude->attitudeGravity();
        EXPECT_NEAR(g->x, c.gravity.x, 1e-6);
        EXPECT_NEAR(g->y, c.gravity.y, 1e-6);
        EXPECT_NEAR(g->z, c.gravity.z, 1e-6);
        EXPECT_EQ(f.attitude->deviceOrientation(), c.orientation);
        EXPECT_TRUE(f.attitude->hasAttitude());
        EXPECT_NEAR(f.attitude->motionPitch(), c.pitch, 1e-9);
        EXPECT_NEAR(f.attitude->attitudePitch(), c.attitudePitch, 1e-4);
        // Stored column by column: element 4 c + r holds row r, column c.
        const SNRMatrix4x4& a = *f.attitude->attitudeMatrix();
        const SNRMatrix4x4& h = *f.attitude->headingMatrix();
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                SCOPED_TRACE(testing::Message() << "row " << row << ", column " << column);
                EXPECT_NEAR(a[4 * column + row], c.attitude[row][column], 1e-6);
                EXPECT_NEAR(h[4 * column + row], c.heading[row][column], 1e-6);
            }
        }
        EXPECT_FLOAT_EQ(a[15], 1);
        EXPECT_FLOAT_EQ(h[15], 1);
    }
    // Upright in portrait the screen's up axis points up.
    f.attitude->setMotionFromCMMotion(motion(0, 90, -90));
    EXPECT_FALSE(f.attitude->orientationIsLandscape());
    EXPECT_FLOAT_EQ(f.attitude->orientationUpAxis(), 1);
    // Facing north, the heading vector (0, 0, 1) stays (0, 0, 1), which projects straight up the
    // radar: a heading of 0.
    EXPECT_NEAR(std::remainder(f.attitude->attitudeHeading(), 360.0f), 0, 1e-3);
}

TEST(SNRDeviceAttitude, LocationsAndTheirAge)
{
    Fixture f;
    LogCapture log;
    f.attitude->setLocationFromCLLocation(fix(48.5, 11.25, 8, 15.9));
    EXPECT_TRUE(f.attitude->hasLocation());
    EXPECT_FLOAT_EQ(f.attitude->locationAge(), 15);
    EXPECT_FALSE(log.contains(
        "SNRDeviceAttitude:setLocationFromCLLocation (VERY OLD LOCATION) " + fix(48.5, 11.25, 8, 15.9)->description()));
    EXPECT_FLOAT_EQ(f.attitude->locationAltitude(), 120);
    double x, y, z;
    SNRGeodeticToECEF(48.5, 11.25, 0, x, y, z);
    EXPECT_NEAR(f.attitude->ecefCoordinates()->x, x, 1);
    EXPECT_EQ(f.delegate->count("location"), 1u);
    // Removing keeps the last position readable.
    f.attitude->removeLocation();
    EXPECT_FALSE(f.attitude->hasLocation());
    ASSERT_TRUE(f.attitude->location());
    EXPECT_NEAR(f.attitude->location()->coordinate().latitude, 48.5, 1e-5);
    // A fix at exactly (0, 0) counts as no position.
    f.attitude->setLocationFromCLLocation(fix(0, 0, 5));
    EXPECT_FALSE(f.attitude->location());
    EXPECT_FALSE(CLLocationCoordinate2DIsValid(f.attitude->locationCoordinate()));
    // A nil fix is a removal.
    f.attitude->setLocationFromCLLocation(nullptr);
    EXPECT_TRUE(log.contains("setLocationFromCLLocation: skipped update (nil)"));
    EXPECT_FALSE(f.attitude->hasLocation());
}

TEST(SNRDeviceAttitude, SignalQualityGradesLocationAndHeading)
{
    Fixture f;
    // The first fix without a heading is not usable.
    f.attitude->setLocationFromCLLocation(fix(48, 11, 10));
    EXPECT_EQ(f.attitude->signalQuality(), 4);
    EXPECT_EQ(f.delegate->count("quality 4"), 1u);
    struct Case {
        double locationAccuracy, headingAccuracy;
        int32_t quality;
    };
    const Case cases[]
        = { { 10, 5, 0 }, { 10.5, 5, 1 }, { 10, 19, 1 }, { 10, 24.9, 2 }, { 10, 25, 3 }, { 51, 1, 3 }, { 31, 1, 2 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.locationAccuracy << " m, " << c.headingAccuracy << " degrees");
        f.attitude->setLocationFromCLLocation(fix(48, 11, c.locationAccuracy));
        f.attitude->setHeadingFromCLHeading(CLHeading::initWithHeading(10, 12, c.headingAccuracy));
        EXPECT_EQ(f.attitude->signalQuality(), c.quality);
    }
    // An invalid heading removes it.
    f.attitude->setHeadingFromCLHeading(CLHeading::initWithHeading(10, -1, 5));
    EXPECT_FALSE(f.attitude->hasHeading());
    EXPECT_EQ(f.attitude->signalQuality(), 4);
    EXPECT_FLOAT_EQ(f.attitude->heading(), 12);
}
