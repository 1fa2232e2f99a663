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
    // Upright, facing east: the camera looks along the horizon.
    f.attitude->setMotionFromCMMotion(motion(0, 90, -90));
    const SNRVector3* g = f.attitude->attitudeGravity();
    EXPECT_NEAR(g->y, -1, 1e-6);
    EXPECT_EQ(f.attitude->deviceOrientation(), 1);
    EXPECT_TRUE(f.attitude->hasAttitude());
    EXPECT_NEAR(f.attitude->motionPitch(), 90, 1e-9);
    EXPECT_FALSE(f.attitude->orientationIsLandscape());
    EXPECT_FLOAT_EQ(f.attitude->orientationUpAxis(), 1);
    // Lying flat: face up, pitch 0.
    f.attitude->setMotionFromCMMotion(motion(0, 0, 0));
    EXPECT_EQ(f.attitude->deviceOrientation(), 5);
    EXPECT_NEAR(f.attitude->attitudePitch(), 0, 1e-6);
    // The heading matrix is the attitude matrix turned by the two fixed rotations.
    SNRMatrix4x4 expected, step;
    SNRMatrixMultiply(step, *f.attitude->attitudeMatrix(), SNRSensorManager::fixedRotationX());
    SNRMatrixMultiply(expected, step, SNRSensorManager::fixedRotationY());
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ((*f.attitude->headingMatrix())[i], expected[i]);
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
