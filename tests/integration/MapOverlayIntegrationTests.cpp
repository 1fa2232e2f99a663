#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlaneMarkerManager.h"
#include "app/core/KESTVolcanoManager.h"
#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "graphics/UIImage.h"
#include "mapkit/MKPolygon.h"
#include "servicesim/ServiceSimulator.h"
#include "testing/Drain.h"
#include "testing/VirtualClock.h"
#include "tests/integration/ServiceSimScope.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

ServiceSimulator::Options simulatedOptions()
{
    ServiceSimulator::Options options;
    options.seed = 11;
    options.aircraft = 50;
    return options;
}

} // namespace

// Airline logos come from the simulated logo service as thumbnails, once per airline; a code the
// service does not know brings nothing and is asked for again next time.
TEST(MapOverlayIntegration, LoadsAirlineLogosFromTheLogoService)
{
    ScopedVirtualClock clock;
    ServiceSimScope services(simulatedOptions());
    ASSERT_TRUE(services.started());
    auto manager = KESTPlaneMarkerManager::init();

    int arrivals = 0;
    EXPECT_FALSE(manager->fetchAirlineImageOnRemoteFetchCompletion("BAW", [&] { ++arrivals; }));
    EXPECT_FALSE(manager->fetchAirlineImageOnRemoteFetchCompletion("QQQQ", [&] { ++arrivals; }));
    drainAll();
    EXPECT_EQ(arrivals, 1);
    auto logo = manager->fetchAirlineImageOnRemoteFetchCompletion("BAW", nullptr);
    ASSERT_TRUE(logo);
    EXPECT_GT(logo->size().width, logo->size().height);
    EXPECT_FALSE(manager->fetchAirlineImageOnRemoteFetchCompletion("QQQQ", nullptr));
    drainAll();
}

// The ash areas of the simulated flight-data service become polygons, and a map coming on
// screen afterwards hears about them at once.
TEST(MapOverlayIntegration, FetchesVolcanicAshAreas)
{
    ScopedVirtualClock clock;
    ServiceSimScope services(simulatedOptions());
    ASSERT_TRUE(services.started());
    auto manager = KESTVolcanoManager::init();
    int notifications = 0;
    auto token
        = NSNotificationCenter::defaultCenter()->addObserverForName(std::string(KESTVolcanoOverlayChangeNotification),
            nullptr, nullptr, [&](const Ref<NSNotification>&) { ++notifications; });

    manager->checkforOverlay();
    drainAll();
    ASSERT_EQ(manager->polyArray().size(), 2u);
    std::vector<uint32_t> counts;
    for (const auto& polygon : manager->polyArray())
        counts.push_back(polygon->pointCount());
    std::sort(counts.begin(), counts.end());
    EXPECT_EQ(counts, (std::vector<uint32_t> { 3, 4 }));
    EXPECT_EQ(notifications, 1);

    manager->checkforOverlay();
    EXPECT_EQ(notifications, 2);
    drainAll();
    EXPECT_EQ(services.sim().requests().size(), 1u);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}
