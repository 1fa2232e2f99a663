#include "app/core/DiskDataCache.h"
#include "app/core/KESTChartManager.h"
#include "app/core/KESTChartObject.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTSettingsManager.h"
#include "app/overlays/KESTAppleMapsTileOverlay.h"
#include "app/view-controllers/search/KESTSearchViewController.h"
#include "foundation/NSError.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSUserDefaults.h"
#include "mapkit/MKURLSessionTileLoader.h"
#include "networking/VNNetworkReachabilityManager.h"
#include "servicesim/ServiceSimulator.h"
#include "testing/Drain.h"
#include "testing/TemporarySandbox.h"
#include "testing/VirtualClock.h"
#include "tests/integration/ServiceSimScope.h"
#include "uikit/UIApplicationHost.h"

#include <gtest/gtest.h>

namespace {

ServiceSimulator::Options simulatedOptions()
{
    ServiceSimulator::Options options;
    options.seed = 11;
    options.aircraft = 300;
    options.fixedTime = Clock::wallTime();
    return options;
}

// A fresh sandbox and clock with the simulated services, the application's singletons made
// anew.
struct SimulatedServices {
    SimulatedServices() { resetAppSingletonsForTesting(); }
    TemporarySandbox sandbox;
    ScopedVirtualClock clock;
    ServiceSimScope services { simulatedOptions() };
    size_t requestsTo(const std::string& prefix) const { return services.requestsTo(prefix); }
};

// The chart products become charts with the saved choice restored, and their tiles load from
// the tile service once, then from the cache; tiles outside a chart's area fail and are not kept.
TEST(ChartsIntegration, ProductsAndTilesThroughTheCache)
{
    SimulatedServices services;
    ASSERT_TRUE(services.services.started());
    MKInstallURLSessionTileLoader();
    NSUserDefaults::standardUserDefaults()->setObjectForKey(
        Value::array({ Value::dictionary(
            { { Value("name"), Value("Rain radar, United Kingdom") }, { Value("order"), Value(0) } }) }),
        "vxActiveCharts");

    auto manager = KESTChartManager::sharedInstance();
    int successes = 0;
    manager->getChartsWithSuccess(
        [&] { ++successes; }, [](const Ref<NSError>& error) { ADD_FAILURE() << error->description(); });
    drainAll();
    ASSERT_EQ(successes, 1);
    std::vector<std::string> names;
    for (const auto& chart : manager->charts())
        names.push_back(chart->name().value_or(""));
    EXPECT_EQ(names,
        (std::vector<std::string> {
            "Rain radar, United Kingdom", "Jet stream, North America", "Significant weather, Europe" }));
    auto radar = manager->activeCharts();
    ASSERT_EQ(radar.size(), 1u);
    EXPECT_EQ(radar[0]->overlay()->minimumZ(), 5);
    EXPECT_EQ(radar[0]->overlay()->maximumZ(), 10);

    auto load = [&](MKTileOverlayPath path) {
        std::pair<Value, Ref<NSError>> answer { Value(), nullptr };
        radar[0]->overlay()->loadTileAtPath(path, [&](const Value& data, const Ref<NSError>& error) {
            answer = { data, error };
        });
        drainAll();
        return answer;
    };
    MKTileOverlayPath inside { 15, 10, 5, 1 };
    auto first = load(inside);
    ASSERT_FALSE(first.second);
    ASSERT_GT(first.first.bytes().size(), 8u);
    EXPECT_EQ(first.first.bytes()[1], 'P');
    std::string url = radar[0]->overlay()->URLForTilePath(inside);
    EXPECT_TRUE(NSFileManager::defaultManager()->fileExistsAtPath(DiskDataCache::pathForKey(url)));
    EXPECT_EQ(load(inside).first, first.first);
    EXPECT_EQ(services.requestsTo("/charts/tiles/radar-uk/5/15/10.png"), 1u);

    MKTileOverlayPath outside { 0, 0, 5, 1 };
    EXPECT_TRUE(load(outside).second);
    EXPECT_TRUE(load(outside).second);
    EXPECT_EQ(services.requestsTo("/charts/tiles/radar-uk/5/0/0.png"), 2u);
    EXPECT_FALSE(NSFileManager::defaultManager()->fileExistsAtPath(
        DiskDataCache::pathForKey(radar[0]->overlay()->URLForTilePath(outside))));
}

// A search for a live flight number finds the plane locally and the schedule's codeshare of it.
TEST(SearchIntegration, LiveFlightsAndTheirCodeshares)
{
    SimulatedServices services;
    ASSERT_TRUE(services.services.started());
    UIApplicationHost::resetForTesting();
    auto feed = KESTLiveDataManager::sharedInstance();
    feed->performFullPoll();
    drainAll();
    std::string flight;
    for (const auto& plane : feed->planeArray()) {
        if (plane->fltno().size() >= 3) {
            flight = plane->fltno();
            break;
        }
    }
    ASSERT_FALSE(flight.empty());

    auto search = KESTSearchViewController::initWithNibNameBundle({}, nullptr);
    search->performSearchWithPhrase(flight);
    drainAll();
    EXPECT_EQ(services.requestsTo("/APPAPI/flightSchedule.php"), 1u);
    bool local = false, codeshare = false;
    for (const auto& entry : search->results().elements()) {
        for (const auto& record : entry[1].elements()) {
            std::string title = KESTSearchViewController::titleForRecord(record);
            local = local || (record["flag"].intValue() == 0 && title == flight);
            codeshare = codeshare
                || (record["flag"].intValue() == 7 && record["detail"].string().find(flight) != std::string::npos);
        }
    }
    EXPECT_TRUE(local);
    EXPECT_TRUE(codeshare);
    search = nullptr;
    UIApplicationHost::resetForTesting();
}

} // namespace
