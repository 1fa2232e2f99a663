#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTSettingsManager.h"
#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "servicesim/ServiceSimulator.h"
#include "testing/Drain.h"
#include "testing/VirtualClock.h"
#include "tests/integration/ServiceSimScope.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct Seen {
    double lat, lon;
    int32_t dataType;
};

std::map<std::string, Seen> snapshot(const Ref<KESTLiveDataManager>& manager)
{
    std::map<std::string, Seen> planes;
    for (const auto& plane : manager->unfilteredPlaneArray())
        planes[plane->adshex()] = { plane->lat(), plane->lon(), plane->dataType() };
    return planes;
}

// The live feed polls the simulated flight-data service over loopback: planes appear with the
// first full answer, move as the service's clock runs, and drop out when a full answer stops
// listing them (here: the scheduled entries once the user turns that data off).
TEST(LiveFeedIntegration, PlanesAppearMoveAndDropOut)
{
    ScopedVirtualClock clock;
    resetAppSingletonsForTesting();
    ServiceSimulator::Options options;
    options.seed = 7;
    options.aircraft = 400;
    // The service's clock runs three seconds behind the device's.
    options.fixedTime = Clock::wallTime() - 3;
    ServiceSimScope services(options);
    ASSERT_TRUE(services.started());

    std::vector<bool> deltaFlags;
    auto token = NSNotificationCenter::defaultCenter()->addObserverForName(std::string(KESTLiveDataUpdatedNotification),
        nullptr, nullptr,
        [&](const Ref<NSNotification>& note) { deltaFlags.push_back(note->userInfo()["delta"].boolValue()); });

    auto manager = KESTLiveDataManager::init();
    KESTSettingsManager::sharedInstance()->setFaaData(1);
    manager->performFullPoll();
    drainAll();
    auto first = snapshot(manager);
    ASSERT_GT(first.size(), 100u);
    EXPECT_EQ(deltaFlags, std::vector<bool>({ false }));
    EXPECT_EQ(manager->serverTime(), 3);
    size_t scheduled = 0;
    for (const auto& [hex, seen] : first)
        scheduled += seen.dataType == 1;
    ASSERT_GT(scheduled, 0u);

    // A minute later the planes have moved.
    services.sim().advanceTime(60);
    clock.advance(60);
    manager->cacheDeviceUTCTimestamp();
    manager->performFullPoll();
    drainAll();
    auto second = snapshot(manager);
    size_t moved = 0;
    for (const auto& [hex, seen] : second) {
        auto before = first.find(hex);
        if (before != first.end() && (before->second.lat != seen.lat || before->second.lon != seen.lon))
            ++moved;
    }
    EXPECT_GT(moved, first.size() / 2);

    // Without scheduled data the next full answer no longer lists them: they drop out.
    KESTSettingsManager::sharedInstance()->setFaaData(0);
    services.sim().advanceTime(10);
    clock.advance(10);
    manager->cacheDeviceUTCTimestamp();
    manager->performFullPoll();
    drainAll();
    auto third = snapshot(manager);
    size_t stillScheduled = 0;
    for (const auto& [hex, seen] : third)
        stillScheduled += seen.dataType == 1;
    EXPECT_EQ(stillScheduled, 0u);
    EXPECT_LT(third.size(), second.size());
    EXPECT_EQ(deltaFlags, std::vector<bool>({ false, false, false }));

    manager->invalidateTimers();
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}

} // namespace
