#include "ar/tests/ARTestSupport.h"

#include "location/CLHeading.h"
#include "location/CLLocationManager.h"

namespace {

struct Fixture {
    ARTestScope scope;
    Ref<RecordingSensorDelegate> delegate = RecordingSensorDelegate::init();
    Ref<SNRSensorManager> manager;
    Fixture()
    {
        // The default tablet has no GPS of its own; the AR screen grants it, as here.
        SNRDeviceProperties::setSimulateGPSForAllDevices(true);
        manager = SNRSensorManager::sharedSensorManager();
        manager->setDelegate(Weak<SNRSensorDelegate>(delegate));
    }
};

Ref<CLLocation> at(double latitude, double longitude)
{
    return CLLocation::initWithLatitudeLongitude(latitude, longitude);
}

} // namespace

TEST(SNRSensorManager, ModeChangesSwitchTheSensors)
{
    Fixture f;
    EXPECT_TRUE(f.manager->startForLocationBasedPoiAR());
    EXPECT_EQ(f.manager->sensorUpdateMode(), 7u);
    EXPECT_EQ(f.manager->status(), SNRSensorStatusRunning);
    EXPECT_TRUE(f.manager->isUpdatingLocation());
    EXPECT_TRUE(f.manager->isUpdatingHeading());
    EXPECT_TRUE(f.manager->isUpdatingMotion());
    EXPECT_EQ(f.delegate->count("status 4"), 1u);
    EXPECT_EQ(f.delegate->count("mode 7 from 0 heading"), 1u);

    f.delegate->calls.clear();
    f.manager->setShouldUpdateMotion(false);
    EXPECT_EQ(f.manager->sensorUpdateMode(), 3u);
    EXPECT_FALSE(f.manager->isUpdatingMotion());
    EXPECT_TRUE(f.manager->isUpdatingLocation());
    f.manager->setSensorUpdateMode(3);
    EXPECT_EQ(f.delegate->calls, std::vector<std::string> { "mode 3 from 7 heading" });

    f.delegate->calls.clear();
    f.manager->setSensorUpdateMode(0);
    EXPECT_EQ(f.delegate->calls, (std::vector<std::string> { "status 1", "mode 0 from 3 heading" }));
    EXPECT_FALSE(f.manager->isUpdatingLocation());
    EXPECT_EQ(SNRSensorManager::textForMode(7),
        "SNRSensorManagerUpdateLocation|SNRSensorManagerUpdateHeading|SNRSensorManagerUpdateMotion=7");
}

TEST(SNRSensorManager, MotionIsPolledIntoTheAttitude)
{
    Fixture f;
    // Upright portrait: pitched up 90 degrees.
    LocationSimulator::shared().setAttitude(0, SNRPi / 2, 0);
    f.manager->startForLocationBasedPoiAR();
    f.scope.clock().advance(static_cast<double>(1.0f / 30.0f));
    auto attitude = f.manager->deviceAttitude();
    EXPECT_TRUE(attitude->hasAttitude());
    EXPECT_EQ(attitude->deviceOrientation(), 1);
    // Frozen motion leaves the attitude alone.
    f.manager->setFreezeMotion(true);
    LocationSimulator::shared().setAttitude(0, 0, 0);
    f.scope.clock().advance(0.1);
    EXPECT_EQ(attitude->deviceOrientation(), 1);
    f.manager->setFreezeMotion(false);
    f.scope.clock().advance(0.1);
    EXPECT_EQ(attitude->deviceOrientation(), 5);
    f.manager->stop();
    EXPECT_FALSE(f.manager->isUpdatingMotion());
}

TEST(SNRSensorManager, LocationFixesReachTheAttitudeAndTheDelegate)
{
    Fixture f;
    f.manager->startForLocationBasedPoiAR();
    placeDevice(47.5, 8.5);
    drainAll();
    EXPECT_EQ(f.manager->numberOfLocationUpdates(), 1);
    EXPECT_NEAR(f.manager->deviceAttitude()->locationLatitude(), 47.5, 1e-5);
    EXPECT_EQ(f.delegate->count("location"), 1u);
    LocationSimulator::shared().failWithError(kCLErrorNetwork);
    drainAll();
    EXPECT_EQ(f.delegate->count("error 2"), 1u);
    EXPECT_FALSE(f.manager->deviceAttitude()->hasLocation());
}

TEST(SNRSensorManager, AuthorisationRetryRunsOnceUntilAnsweredAndStopsWithTheManager)
{
    Fixture f;
    LocationSimulator::shared().setAuthorizationStatus(kCLAuthorizationStatusNotDetermined);
    f.manager->startForLocationBasedPoiAR();
    f.manager->start();
    f.scope.clock().advance(0.6);
    f.delegate->calls.clear();
    LocationSimulator::shared().setAuthorizationStatus(kCLAuthorizationStatusAuthorized);
    f.manager->deviceAttitude()->setAuthorizationStatus(kCLAuthorizationStatusAuthorized);
    f.scope.clock().advance(0.2);
    f.scope.clock().advance(0.2);
    // Nothing changed status-wise, but exactly one chain was left to notice.
    EXPECT_TRUE(f.manager->isUpdatingLocation());

    // After stop, a pending retry does not restart the sensors.
    LocationSimulator::shared().setAuthorizationStatus(kCLAuthorizationStatusNotDetermined);
    f.manager->start();
    f.manager->stop();
    LocationSimulator::shared().setAuthorizationStatus(kCLAuthorizationStatusAuthorized);
    f.manager->deviceAttitude()->setAuthorizationStatus(kCLAuthorizationStatusAuthorized);
    f.scope.clock().advance(1.0);
    EXPECT_FALSE(f.manager->isUpdatingLocation());
    EXPECT_FALSE(f.manager->isUpdatingMotion());
}

TEST(SNRSensorManager, TwentyInvalidHeadingsDisableCalibrationOnce)
{
    Fixture f;
    auto locationManager = f.manager->locationManager();
    auto invalid = CLHeading::initWithHeading(10, -1, 5);
    for (int i = 0; i < 19; ++i)
        f.manager->locationManagerDidUpdateHeading(locationManager, invalid);
    EXPECT_EQ(f.delegate->count("error 16770"), 0u);
    f.manager->locationManagerDidUpdateHeading(locationManager, invalid);
    f.manager->locationManagerDidUpdateHeading(locationManager, invalid);
    EXPECT_EQ(f.delegate->count("error 16770"), 1u);
    EXPECT_FALSE(f.manager->isCompassCalibrationEnabled());
    f.manager->locationManagerDidUpdateHeading(locationManager, CLHeading::initWithHeading(10, 12, 5));
    EXPECT_TRUE(f.manager->isCompassCalibrationEnabled());
    for (int i = 0; i < 20; ++i)
        f.manager->locationManagerDidUpdateHeading(locationManager, invalid);
    EXPECT_EQ(f.delegate->count("error 16770"), 2u);
}

TEST(SNRSensorManager, MissingGPSFailsTheStartButRunsTheRest)
{
    ARTestScope scope;
    vxos::setMachineModel("iPad4,1");
    auto manager = SNRSensorManager::sharedSensorManager();
    LogCapture log;
    EXPECT_FALSE(manager->startForLocationBasedPoiAR());
    EXPECT_EQ(manager->status(), SNRSensorStatusFailed);
    EXPECT_TRUE(log.contains("startLocation: hasGPSSensor == NO"));
    EXPECT_TRUE(manager->isUpdatingHeading());
    EXPECT_TRUE(manager->isUpdatingMotion());
    // stop keeps a failed status.
    manager->stop();
    EXPECT_EQ(manager->status(), SNRSensorStatusFailed);
}

TEST(SNRSensorManager, BearingBetweenLocations)
{
    EXPECT_DOUBLE_EQ(SNRSensorManager::bearingTowardsLocationTo(at(10, 20), at(11, 20)), 360);
    EXPECT_NEAR(SNRSensorManager::bearingTowardsLocationTo(at(0, 20), at(0, 21)), 90, 1e-9);
    EXPECT_NEAR(SNRSensorManager::bearingTowardsLocationTo(at(0, 20), at(0, 19)), 270, 1e-9);
    EXPECT_NEAR(SNRSensorManager::bearingTowardsLocationTo(at(10, 20), at(9, 20)), 180, 1e-9);
}
