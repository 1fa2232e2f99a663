#include "ar/tests/ARTestSupport.h"

#include "foundation/NSTimer.h"

#include <cmath>
#include <iomanip>

namespace {

// An object that records the controller's calls to it.
class RecordingPoi : public SLKPoi {
    VX_OBJECT(RecordingPoi, SLKPoi)
public:
    explicit RecordingPoi(Passkey key)
        : SLKPoi(key)
    {
    }
    static Ref<RecordingPoi> at(double latitude, double longitude, std::vector<std::string>* log, std::string name)
    {
        auto poi = make<RecordingPoi>();
        poi->setLocation(CLLocation::initWithLatitudeLongitude(latitude, longitude));
        poi->m_log = log;
        poi->m_name = std::move(name);
        return poi;
    }
    void addedToARController() override
    {
        m_log->push_back("added " + m_name);
        SLKPoi::addedToARController();
    }
    void removedFromARController() override
    {
        m_log->push_back("removed " + m_name);
        SLKPoi::removedFromARController();
    }
    void updateContent() override { ++contentUpdates; }
    std::optional<std::string> title() const override { return m_name; }
    int contentUpdates { 0 };

private:
    std::vector<std::string>* m_log { nullptr };
    std::string m_name;
};

std::vector<std::string> titles(const Ref<SLKController>& controller)
{
    std::vector<std::string> names;
    for (auto& object : controller->arObjects())
        names.push_back(object->title().value_or(""));
    return names;
}

struct Fixture {
    ARTestScope scope;
    Ref<SLKController> controller;
    std::vector<std::string> log;
    Fixture()
    {
        SNRDeviceProperties::setSimulateGPSForAllDevices(true);
        controller = SLKController::sharedARController();
        SNRSensorManager::sharedSensorManager()->deviceAttitude()->setLocationFromCLLocation(
            CLLocation::initWithLatitudeLongitude(50, 8));
    }
};

} // namespace

TEST(SLKController, RegistersPlacesAndSortsObjects)
{
    Fixture f;
    auto far = RecordingPoi::at(50.1, 8, &f.log, "far");
    auto nearer = RecordingPoi::at(50.01, 8, &f.log, "near");
    f.controller->addObject(far);
    f.controller->addObject(nearer);
    // Placed at once: the distance is known before any tick.
    EXPECT_NEAR(nearer->distanceToUser(),
        CLLocation::initWithLatitudeLongitude(50.01, 8)->distanceFromLocation(
            CLLocation::initWithLatitudeLongitude(50, 8)),
        0.01);
    EXPECT_EQ(titles(f.controller), (std::vector<std::string> { "far", "near" }));
    EXPECT_TRUE(f.controller->objectsNeedSorting());
    f.controller->updateObjects(nullptr);
    EXPECT_EQ(titles(f.controller), (std::vector<std::string> { "near", "far" }));
    EXPECT_FALSE(f.controller->objectsNeedSorting());
    EXPECT_EQ(far->contentUpdates, 1);

    // Removing an object that is not registered still tells it.
    auto stranger = RecordingPoi::at(51, 8, &f.log, "stranger");
    f.controller->removeObject(stranger);
    f.controller->clearObjects();
    EXPECT_EQ(f.log,
        (std::vector<std::string> { "added far", "added near", "removed stranger", "removed near", "removed far" }));
    EXPECT_EQ(f.controller->numberOfObjects(), 0);
}

TEST(SLKController, ContentTickRunsThirtyTimesASecondWhileStarted)
{
    Fixture f;
    auto poi = RecordingPoi::at(50.01, 8, &f.log, "a");
    f.controller->addObject(poi);
    f.controller->start();
    EXPECT_TRUE(f.controller->isStarted());
    f.scope.clock().advance(10 * static_cast<double>(1.0f / 30.0f));
    EXPECT_EQ(poi->contentUpdates, 10);
    f.controller->stop();
    f.scope.clock().advance(1);
    EXPECT_EQ(poi->contentUpdates, 10);
    // A suspend that found the timer running restarts it half a second after resuming.
    f.controller->start();
    f.controller->suspendToBackground();
    f.controller->resumeFromBackground();
    f.scope.clock().advance(0.49);
    EXPECT_FALSE(f.controller->isUpdatingObjects());
    f.scope.clock().advance(0.02);
    EXPECT_TRUE(f.controller->isUpdatingObjects());
}

TEST(SLKController, ClipsByDistanceWithTheBoundsIncluded)
{
    Fixture f;
    auto device = CLLocation::initWithLatitudeLongitude(50, 8);
    auto poi = RecordingPoi::at(50.05, 8, &f.log, "a");
    double distance = CLLocation::initWithLatitudeLongitude(50.05, 8)->distanceFromLocation(device);
    struct Case {
        float nearLimit, farLimit;
        bool clipped;
    };
    const Case cases[]
        = { { 10, static_cast<float>(distance) + 1, false }, { 10, static_cast<float>(distance) - 1, true },
              { static_cast<float>(distance) + 1, 1e7f, true }, { 0, 1e7f, false } };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nearLimit << " .. " << c.farLimit);
        f.controller->clipObjectsNearerThanFartherThan(c.nearLimit, c.farLimit);
        poi->updateLocation();
        EXPECT_EQ(poi->clippedByDistance(), c.clipped);
    }

    // Limits as close to the distance as a limit can be: the floats just at and just past it.
    float atOrAbove = static_cast<float>(distance);
    if (atOrAbove < distance)
        atOrAbove = std::nextafter(atOrAbove, INFINITY);
    float atOrBelow = static_cast<float>(distance);
    if (atOrBelow > distance)
        atOrBelow = std::nextafter(atOrBelow, 0.0f);
    const Case tight[] = { { atOrBelow, atOrAbove, false }, { 0, std::nextafter(atOrAbove, 0.0f), true },
        { std::nextafter(atOrBelow, INFINITY), 1e7f, true } };
    for (const auto& c : tight) {
        SCOPED_TRACE(testing::Message() << std::setprecision(12) << c.nearLimit << " .. " << c.farLimit);
        f.controller->clipObjectsNearerThanFartherThan(c.nearLimit, c.farLimit);
        poi->updateLocation();
        EXPECT_EQ(poi->clippedByDistance(), c.clipped);
    }

    // Exactly on both bounds: an object where the device stands is 0 m away, and limits of 0 keep it.
    auto here = RecordingPoi::at(50, 8, &f.log, "here");
    f.controller->clipObjectsNearerThanFartherThan(0, 0);
    here->updateLocation();
    ASSERT_EQ(here->distanceToUser(), 0);
    EXPECT_FALSE(here->clippedByDistance());
    // The other object, some 5.5 km out, lies past that far limit.
    poi->updateLocation();
    EXPECT_TRUE(poi->clippedByDistance());
}

TEST(SLKController, AvailabilityAndItsAlerts)
{
    Fixture f;
    struct Case {
        CLAuthorizationStatus status;
        int32_t availability;
        const char* alert;
    };
    const Case cases[] = {
        { kCLAuthorizationStatusNotDetermined, 0, nullptr },
        { kCLAuthorizationStatusRestricted, 2, "Location access restricted" },
        { kCLAuthorizationStatusDenied, 3, "Location access denied" },
        { kCLAuthorizationStatusAuthorized, 4, nullptr },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.availability);
        UIAlertView::resetForTesting();
        LocationSimulator::shared().setAuthorizationStatus(c.status);
        EXPECT_EQ(f.controller->availability(), c.availability);
        EXPECT_FALSE(SLKController::deviceSupportsAR(false) && c.availability != 4);
        EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
        EXPECT_EQ(SLKController::deviceSupportsAR(true), c.availability == 4);
        auto alerts = UIAlertView::visibleAlerts();
        ASSERT_EQ(alerts.size(), c.alert ? 1u : 0u);
        if (c.alert) {
            EXPECT_EQ(alerts[0]->title(), c.alert);
        }
    }
    // Without the hardware nothing else matters; start does nothing.
    MediaSimulator::shared().setCameras(false, false);
    SNRDeviceProperties::forceDeviceProperties(SNRDeviceProperties::propertiesFromDevice());
    SNRSensorManager::sharedSensorManager()->clearDeviceProperties();
    EXPECT_EQ(f.controller->availability(), 1);
    f.controller->start();
    EXPECT_FALSE(f.controller->isStarted());
}

TEST(SLKController, ForwardsSensorCallbacksAfterReplacingObjects)
{
    Fixture f;
    auto delegate = RecordingSensorDelegate::init();
    f.controller->setSensorDelegate(Weak<SNRSensorDelegate>(delegate));
    auto poi = RecordingPoi::at(50.2, 8, &f.log, "a");
    f.controller->addObject(poi);
    f.controller->updateObjects(nullptr);
    float before = poi->distanceToUser();
    f.controller->start();
    placeDevice(50.1, 8);
    drainAll();
    EXPECT_LT(poi->distanceToUser(), before / 2 + 100);
    EXPECT_TRUE(f.controller->objectsNeedSorting());
    EXPECT_GE(delegate->count("location"), 1u);
}
