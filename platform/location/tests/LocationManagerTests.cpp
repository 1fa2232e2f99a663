#include "foundation/NSError.h"
#include "location/CLLocationManager.h"
#include "location/LocationSimulator.h"
#include "testing/Drain.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Writes every callback as one line, so a test can compare the whole conversation.
class RecordingDelegate : public CLLocationManagerDelegate {
public:
    std::vector<std::string> calls;
    bool wantsCalibration { true };

    void locationManagerDidUpdateToLocationFromLocation(
        const Ref<CLLocationManager>&, const Ref<CLLocation>& newLocation, const Ref<CLLocation>& oldLocation) override
    {
        calls.push_back("location " + coordinateText(newLocation) + " from " + coordinateText(oldLocation));
    }
    void locationManagerDidUpdateHeading(const Ref<CLLocationManager>&, const Ref<CLHeading>& heading) override
    {
        calls.push_back("heading " + std::to_string(static_cast<int>(heading->magneticHeading())) + " true "
            + std::to_string(static_cast<int>(heading->trueHeading())));
    }
    bool locationManagerShouldDisplayHeadingCalibration(const Ref<CLLocationManager>&) override
    {
        calls.push_back("calibration?");
        return wantsCalibration;
    }
    void locationManagerDidFailWithError(const Ref<CLLocationManager>&, const Ref<NSError>& error) override
    {
        calls.push_back("error " + error->domain() + " " + std::to_string(error->code()));
    }
    void locationManagerDidChangeAuthorizationStatus(
        const Ref<CLLocationManager>&, CLAuthorizationStatus status) override
    {
        calls.push_back("authorization " + std::to_string(status));
    }

    static std::string coordinateText(const Ref<CLLocation>& location)
    {
        if (!location)
            return "nil";
        char buffer[64];
        std::snprintf(
            buffer, sizeof buffer, "%.2f,%.2f", location->coordinate().latitude, location->coordinate().longitude);
        return buffer;
    }
};

// Overrides the newer form only: the older one must then stay silent.
class ModernDelegate : public RecordingDelegate {
public:
    void locationManagerDidUpdateLocations(
        const Ref<CLLocationManager>&, const std::vector<Ref<CLLocation>>& locations) override
    {
        calls.push_back("locations " + std::to_string(locations.size()) + " last " + coordinateText(locations.back()));
    }
};

class LocationManagerTest : public ::testing::Test {
protected:
    void SetUp() override { LocationSimulator::shared().reset(); }
    void TearDown() override
    {
        drainAll();
        LocationSimulator::shared().reset();
    }
    LocationSimulator& simulator = LocationSimulator::shared();
};

} // namespace

TEST_F(LocationManagerTest, DeliversFixesThroughTheOlderFormWithDistanceFilterAndStop)
{
    auto manager = CLLocationManager::init();
    auto delegate = std::make_shared<RecordingDelegate>();
    manager->setDelegate(delegate);
    manager->setDesiredAccuracy(kCLLocationAccuracyThreeKilometers);
    manager->setDistanceFilter(1000);
    simulator.setCoordinate({ 52.0, 13.0 });

    manager->startUpdatingLocation();
    EXPECT_TRUE(delegate->calls.empty()) << "fixes arrive later, on the main queue";
    drainAll();
    simulator.setCoordinate({ 52.001, 13.0 }); // about 111 m: filtered
    drainAll();
    simulator.setCoordinate({ 52.5, 13.0 });
    drainAll();
    EXPECT_EQ(RecordingDelegate::coordinateText(manager->location()), "52.50,13.00");
    manager->stopUpdatingLocation();
    simulator.setCoordinate({ 53.0, 13.0 });
    drainAll();

    std::vector<std::string> expected { "location 52.00,13.00 from nil", "location 52.50,13.00 from 52.00,13.00" };
    EXPECT_EQ(delegate->calls, expected);
    EXPECT_EQ(RecordingDelegate::coordinateText(manager->location()), "52.50,13.00");
}

TEST_F(LocationManagerTest, AuthorizationDecidesWhetherUpdatesFlow)
{
    struct Case {
        const char* name;
        bool servicesEnabled;
        CLAuthorizationStatus startStatus;
        std::optional<CLAuthorizationStatus> thenStatus;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases {
        { "authorised", true, kCLAuthorizationStatusAuthorized, std::nullopt, { "location 10.00,20.00 from nil" } },
        { "denied", true, kCLAuthorizationStatusDenied, std::nullopt, { "error kCLErrorDomain 1" } },
        { "restricted", true, kCLAuthorizationStatusRestricted, std::nullopt, { "error kCLErrorDomain 1" } },
        { "services off", false, kCLAuthorizationStatusAuthorized, std::nullopt, { "error kCLErrorDomain 1" } },
        { "undetermined, then allowed", true, kCLAuthorizationStatusNotDetermined, kCLAuthorizationStatusAuthorized,
            { "authorization 3", "location 10.00,20.00 from nil" } },
        { "undetermined, then denied", true, kCLAuthorizationStatusNotDetermined, kCLAuthorizationStatusDenied,
            { "authorization 2", "error kCLErrorDomain 1" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        simulator.reset();
        simulator.setLocationServicesEnabled(c.servicesEnabled);
        simulator.setAuthorizationStatus(c.startStatus);
        drainAll();
        EXPECT_EQ(CLLocationManager::locationServicesEnabled(), c.servicesEnabled);
        EXPECT_EQ(CLLocationManager::authorizationStatus(), c.startStatus);
        auto manager = CLLocationManager::init();
        auto delegate = std::make_shared<RecordingDelegate>();
        manager->setDelegate(delegate);
        simulator.setCoordinate({ 10, 20 });
        manager->startUpdatingLocation();
        drainAll();
        if (c.thenStatus) {
            simulator.setAuthorizationStatus(*c.thenStatus);
            drainAll();
        }
        EXPECT_EQ(delegate->calls, c.expected);
    }
}

TEST_F(LocationManagerTest, NewerDelegateFormReplacesTheOlderOne)
{
    auto manager = CLLocationManager::init();
    auto delegate = std::make_shared<ModernDelegate>();
    manager->setDelegate(delegate);
    manager->startUpdatingLocation();
    simulator.setCoordinate({ 1, 2 });
    drainAll();
    EXPECT_EQ(delegate->calls, std::vector<std::string> { "locations 1 last 1.00,2.00" });
}

TEST_F(LocationManagerTest, HeadingsFollowOrientationFilterFailuresAndCalibration)
{
    auto manager = CLLocationManager::init();
    auto delegate = std::make_shared<RecordingDelegate>();
    manager->setDelegate(delegate);
    manager->setHeadingFilter(5);
    manager->setHeadingOrientation(CLDeviceOrientationLandscapeLeft);
    manager->startUpdatingLocation(); // a location failure must not reach heading-only listeners, and back
    manager->startUpdatingHeading();
    simulator.setHeadingDegrees(300, 302);
    drainAll();
    simulator.setHeadingDegrees(302, 304); // turned 2 degrees: filtered
    drainAll();
    simulator.failWithError(kCLErrorHeadingFailure);
    simulator.requestHeadingCalibration();
    drainAll();
    EXPECT_TRUE(manager->showsHeadingCalibration());
    manager->stopUpdatingHeading();
    simulator.setHeadingDegrees(100, 102);
    simulator.failWithError(kCLErrorHeadingFailure);
    simulator.failWithError(kCLErrorNetwork);
    drainAll();

    std::vector<std::string> expected { "heading 30 true 32", "error kCLErrorDomain 3", "calibration?",
        "error kCLErrorDomain 2" };
    EXPECT_EQ(delegate->calls, expected);
}

TEST_F(LocationManagerTest, DelegateIsWeakAndManagersGoQuietlyAway)
{
    auto manager = CLLocationManager::init();
    {
        auto delegate = std::make_shared<RecordingDelegate>();
        manager->setDelegate(delegate);
    }
    EXPECT_EQ(manager->delegate().lock(), nullptr);
    manager->startUpdatingLocation();
    simulator.setCoordinate({ 5, 5 });
    manager.reset(); // pending deliveries for a destroyed manager are dropped
    drainAll();
}
