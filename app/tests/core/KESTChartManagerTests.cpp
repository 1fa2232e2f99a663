#include "app/core/KESTChartManager.h"
#include "app/core/KESTChartObject.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/overlays/KESTAppleMapsTileOverlay.h"
#include "app/overlays/KESTAppleMapsTileRenderer.h"
#include "app/tests/AppTestSupport.h"
#include "foundation/NSError.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSUserDefaults.h"
#include "net/NSURLError.h"
#include "networking/VNNetworkReachabilityManager.h"
#include "testing/Drain.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Value product(const std::string& name, const std::string& bounds = "-10,50,2,60", Value minZoom = Value(3),
    Value maxZoom = Value(9))
{
    return Value::dictionary({
        { Value("product_url"), Value("http://charts.test/" + name + "/") },
        { Value("product_description"), Value(name) },
        { Value("product_metadata"),
            Value::dictionary(
                { { Value("minzoom"), minZoom }, { Value("maxzoom"), maxZoom }, { Value("bounds"), Value(bounds) } }) },
    });
}

Value storedEntry(const std::string& name, int32_t order)
{
    return Value::dictionary({ { Value("name"), Value(name) }, { Value("order"), Value(order) } });
}

std::vector<std::string> names(const std::vector<Ref<KESTChartObject>>& charts)
{
    std::vector<std::string> out;
    for (const auto& chart : charts)
        out.push_back(chart->name().value_or("<nil>"));
    return out;
}

// A fresh manager and sandbox per test.
struct ChartScope {
    AppTestScope app;
    ChartScope() { KESTChartManager::resetSharedInstanceForTesting(); }
    ~ChartScope()
    {
        drainAll();
        KESTChartManager::resetSharedInstanceForTesting();
        VNNetworkReachabilityManager::resetSharedManagerForTesting();
    }
};

TEST(KESTChartObject, BuildsFromARecordWithItsOverlay)
{
    ChartScope scope;
    auto manager = KESTChartManager::sharedInstance();
    manager->rebuildChartsWithProducts(Value::array({ product("VFR", "-10,50,2,60", Value("4"), Value(11)) }));
    ASSERT_EQ(manager->charts().size(), 1u);
    auto chart = manager->charts()[0];
    EXPECT_FALSE(chart->active());
    EXPECT_EQ(chart->order(), 99999);
    EXPECT_EQ(chart->url(), "http://charts.test/VFR/");
    EXPECT_EQ(chart->minZoom(), 4);
    EXPECT_EQ(chart->maxZoom(), 11);
    EXPECT_FLOAT_EQ(chart->opacity(), 1.0f);

    auto overlay = chart->overlay();
    ASSERT_TRUE(overlay);
    EXPECT_EQ(overlay->chart(), chart);
    EXPECT_EQ(overlay->URLTemplate(), "http://charts.test/VFR/{z}/{x}/{y}.png");
    EXPECT_EQ(overlay->URLForTilePath({ 5, 7, 4, 1 }), "http://charts.test/VFR/4/5/7.png");
    EXPECT_EQ(overlay->minimumZ(), 4);
    EXPECT_EQ(overlay->maximumZ(), 11);
    EXPECT_TRUE(MKMapRectEqualToRect(overlay->boundingMapRect(), chart->bounds()));
    EXPECT_EQ(overlay->coordinate().latitude, chart->coordinate().latitude);

    // The overlay does not keep its chart alive.
    manager->setCharts({});
    chart = nullptr;
    EXPECT_FALSE(overlay->chart());

    // A nil chart gives an overlay without template that covers nothing.
    auto empty = KESTAppleMapsTileOverlay::initWithChartObject(nullptr);
    EXPECT_FALSE(empty->URLTemplate());
    EXPECT_TRUE(MKMapRectEqualToRect(empty->boundingMapRect(), MKMapRectMake(0, 0, 0, 0)));
    EXPECT_FALSE(KESTAppleMapsTileRenderer::initWithTileOverlay(nullptr));
    EXPECT_TRUE(KESTAppleMapsTileRenderer::initWithTileOverlay(overlay));
}

TEST(KESTChartManager, WorksOutBoundsAndCentreFromEitherCorner)
{
    ChartScope scope;
    auto manager = KESTChartManager::sharedInstance();
    manager->rebuildChartsWithProducts(Value::array({ product("A", "-10,50,2,60"), product("B", "2,60,-10,50") }));
    ASSERT_EQ(manager->charts().size(), 2u);
    auto a = manager->charts()[0], b = manager->charts()[1];
    EXPECT_TRUE(MKMapRectEqualToRect(a->bounds(), b->bounds()));

    MKMapPoint sw = MKMapPointForCoordinate({ 50, -10 }), ne = MKMapPointForCoordinate({ 60, 2 });
    MKMapRect bounds = a->bounds();
    EXPECT_DOUBLE_EQ(bounds.origin.x, std::min(sw.x, ne.x));
    EXPECT_DOUBLE_EQ(bounds.origin.y, std::min(sw.y, ne.y));
    EXPECT_DOUBLE_EQ(bounds.size.width, std::fabs(sw.x - ne.x));
    EXPECT_DOUBLE_EQ(bounds.size.height, std::fabs(sw.y - ne.y));

    // The centre is the midpoint in map points, north of the mean latitude 55.
    CLLocationCoordinate2D centre = a->coordinate();
    EXPECT_NEAR(centre.longitude, -4, 1e-6);
    EXPECT_GT(centre.latitude, 55.0);
    EXPECT_LT(centre.latitude, 60.0);
    MKMapPoint mid = MKMapPointForCoordinate(centre);
    EXPECT_NEAR(mid.y, bounds.origin.y + bounds.size.height / 2, 1e-3);
}

TEST(KESTChartManager, FallsBackOrSkipsForMissingOrShortBounds)
{
    ChartScope scope;
    Value noMetadata = Value::dictionary(
        { { Value("product_url"), Value("http://x/") }, { Value("product_description"), Value("NoMeta") } });
    Value noBounds = Value::dictionary(
        { { Value("product_url"), Value("http://y/") }, { Value("product_description"), Value("NoBounds") },
            { Value("product_metadata"), Value::dictionary({ { Value("maxzoom"), Value(5) } }) } });
    Value numericBounds = Value::dictionary({ { Value("product_description"), Value("Numeric") },
        { Value("product_metadata"), Value::dictionary({ { Value("bounds"), Value(4) } }) } });
    auto manager = KESTChartManager::sharedInstance();
    manager->rebuildChartsWithProducts(Value::array(
        { noMetadata, noBounds, product("Short", "1,2,3"), product("Empty", ""), product("Words", "1,2,north,4"),
            product("Gap", "1,,3,4"), numericBounds, Value("not a record"), product("Good") }));
    EXPECT_EQ(names(manager->charts()), (std::vector<std::string> { "Good", "NoBounds", "NoMeta" }));

    for (const auto& chart : manager->charts()) {
        SCOPED_TRACE(*chart->name());
        if (chart->name() == "NoMeta") {
            EXPECT_TRUE(MKMapRectEqualToRect(chart->bounds(), MKMapRectMake(1048600, 1048600, 268435456, 268435456)));
            EXPECT_EQ(chart->coordinate().latitude, 0);
            EXPECT_EQ(chart->minZoom(), 0);
            EXPECT_EQ(chart->maxZoom(), 0);
        } else if (chart->name() == "NoBounds") {
            MKMapPoint origin = MKMapPointForCoordinate({ 0, 0 });
            EXPECT_TRUE(MKMapRectEqualToRect(chart->bounds(), MKMapRectMake(origin.x, origin.y, 0, 0)));
            EXPECT_NEAR(chart->coordinate().latitude, 0, 1e-9);
            EXPECT_EQ(chart->maxZoom(), 5);
        }
    }
}

TEST(KESTChartManager, RestoresSavedActiveChartsAndPrunesTheRest)
{
    struct Case {
        const char* title;
        std::vector<Value> stored;
        std::vector<std::string> products;
        std::vector<std::string> expectedOrder;
        std::vector<bool> expectedActive;
        std::vector<int32_t> expectedOrders;
        std::vector<std::string> expectedStored;
    };
    const std::vector<Case> cases = {
        { "saved order first, then inactive by name", { storedEntry("B", 0), storedEntry("A", 1) }, { "A", "B", "C" },
            { "B", "A", "C" }, { true, true, false }, { 0, 1, 99999 }, { "B", "A" } },
        { "entries of charts no longer listed are dropped, orders kept",
            { storedEntry("Gone", 0), storedEntry("B", 1), storedEntry("A", 2) }, { "A", "B", "C" }, { "B", "A", "C" },
            { true, true, false }, { 1, 2, 99999 }, { "B", "A" } },
        { "plain comparison puts capitals first", {}, { "beta", "Zulu", "Alpha" }, { "Alpha", "Zulu", "beta" },
            { false, false, false }, { 99999, 99999, 99999 }, {} },
        { "an empty product list stores an empty list", { storedEntry("A", 0) }, {}, {}, {}, {}, {} },
        { "entries that are not records are dropped", { Value("A"), storedEntry("C", 0) }, { "A", "C" }, { "C", "A" },
            { true, false }, { 0, 99999 }, { "C" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        ChartScope scope;
        auto defaults = NSUserDefaults::standardUserDefaults();
        if (!c.stored.empty())
            defaults->setObjectForKey(Value::array(c.stored), "vxActiveCharts");
        std::vector<Value> records;
        for (const auto& name : c.products)
            records.push_back(product(name));
        auto manager = KESTChartManager::sharedInstance();
        manager->rebuildChartsWithProducts(Value::array(records));
        EXPECT_EQ(names(manager->charts()), c.expectedOrder);
        std::vector<bool> active;
        std::vector<int32_t> orders;
        for (const auto& chart : manager->charts()) {
            active.push_back(chart->active());
            orders.push_back(chart->order());
        }
        EXPECT_EQ(active, c.expectedActive);
        EXPECT_EQ(orders, c.expectedOrders);
        Value stored = defaults->objectForKey("vxActiveCharts");
        ASSERT_TRUE(stored.isArray());
        std::vector<std::string> storedNames;
        for (const auto& entry : stored.elements())
            storedNames.push_back(entry["name"].stringValue());
        EXPECT_EQ(storedNames, c.expectedStored);
        std::vector<std::string> activeNames;
        for (const auto& chart : manager->activeCharts())
            activeNames.push_back(*chart->name());
        std::vector<std::string> expectedActiveNames;
        for (size_t i = 0; i < c.expectedOrder.size(); ++i) {
            if (c.expectedActive[i])
                expectedActiveNames.push_back(c.expectedOrder[i]);
        }
        EXPECT_EQ(activeNames, expectedActiveNames);
    }
}

TEST(KESTChartManager, EveryRebuildMakesNewChartsAndOverlays)
{
    ChartScope scope;
    auto manager = KESTChartManager::sharedInstance();
    manager->rebuildChartsWithProducts(Value::array({ product("A") }));
    auto first = manager->charts()[0];
    manager->rebuildChartsWithProducts(Value::array({ product("A") }));
    EXPECT_NE(manager->charts()[0], first);
    EXPECT_NE(manager->charts()[0]->overlay(), first->overlay());
}

TEST(KESTChartManager, FetchesTheProductListOrLeavesEverythingOnFailure)
{
    ChartScope scope;
    ScopedVirtualClock clock;
    std::string previousBase = KESTLiveDataManager::serviceBaseURL();
    KESTLiveDataManager::setServiceBaseURL("http://service.test/");
    URLStubs stubs;
    Value json = NSJSONSerialization::dataWithJSONObject(Value::array({ product("A"), product("B") }), 0, nullptr);
    std::string body(json.bytes().begin(), json.bytes().end());
    auto answer = [](int32_t status, std::string text) {
        URLStubSpec spec;
        spec.method = "GET";
        spec.url = "http://service.test/charts/products";
        spec.statusCode = status;
        spec.headers = { { "Content-Type", "application/json" } };
        spec.body = std::move(text);
        return spec;
    };
    auto good = stubs.add(answer(200, body));
    NSUserDefaults::standardUserDefaults()->setObjectForKey(Value::array({ storedEntry("B", 0) }), "vxActiveCharts");

    auto manager = KESTChartManager::sharedInstance();
    int successes = 0, errors = 0;
    manager->getChartsWithSuccess([&] { ++successes; }, [&](const Ref<NSError>&) { ++errors; });
    drainAll();
    EXPECT_EQ(successes, 1);
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(good->requestCount(), 1u);
    EXPECT_EQ(names(manager->charts()), (std::vector<std::string> { "B", "A" }));

    struct Failure {
        const char* title;
        int32_t status;
        std::string body;
    };
    for (const auto& failure : { Failure { "server error", 500, "[]" }, Failure { "not a list", 200, "{\"a\": 1}" },
             Failure { "not JSON", 200, "<html>" } }) {
        SCOPED_TRACE(failure.title);
        stubs.add(answer(failure.status, failure.body));
        auto before = manager->charts();
        manager->getChartsWithSuccess([&] { ++successes; },
            [&](const Ref<NSError>& error) {
                ++errors;
                EXPECT_TRUE(error);
            });
        drainAll();
        EXPECT_EQ(successes, 1);
        EXPECT_EQ(manager->charts(), before);
        EXPECT_EQ(NSUserDefaults::standardUserDefaults()->objectForKey("vxActiveCharts").count(), 1u);
    }
    EXPECT_EQ(errors, 3);
    KESTLiveDataManager::setServiceBaseURL(previousBase);
}

// A product list that cannot be fetched (the service is not up yet) is fetched again, after 5 s,
// then twice as long after each failure in a row, until it arrives; the same blocks are called.
TEST(KESTChartManager, FetchesAgainAfterAFailureUntilTheListArrives)
{
    ChartScope scope;
    ScopedVirtualClock clock;
    std::string previousBase = KESTLiveDataManager::serviceBaseURL();
    KESTLiveDataManager::setServiceBaseURL("http://service.test/");
    URLStubs stubs;
    URLStubSpec refused;
    refused.url = "http://service.test/charts/products";
    refused.errorCode = NSURLErrorCannotConnectToHost;
    auto down = stubs.add(refused);

    auto manager = KESTChartManager::sharedInstance();
    int successes = 0, errors = 0;
    manager->getChartsWithSuccess([&] { ++successes; }, [&](const Ref<NSError>&) { ++errors; });
    drainAll();
    EXPECT_EQ(errors, 1);
    EXPECT_TRUE(manager->hasPendingRetry());

    // Each wait, and the request count just before and just after it ends.
    for (double wait : { 5.0, 10.0, 20.0 }) {
        SCOPED_TRACE(wait);
        size_t before = down->requestCount();
        clock.advance(wait - 0.1);
        drainAll();
        EXPECT_EQ(down->requestCount(), before);
        clock.advance(0.1);
        drainAll();
        EXPECT_EQ(down->requestCount(), before + 1);
    }
    EXPECT_EQ(errors, 4);

    // The service comes up: the next fetch brings the list, and nothing more is asked.
    URLStubSpec up;
    up.url = "http://service.test/charts/products";
    up.headers = { { "Content-Type", "application/json" } };
    up.body = R"([{"product_url":"http://charts.test/A/","product_description":"A",)"
              R"("product_metadata":{"minzoom":3,"maxzoom":9,"bounds":"-10,50,2,60"}}])";
    auto good = stubs.add(up);
    clock.advance(40);
    drainAll();
    EXPECT_EQ(good->requestCount(), 1u);
    EXPECT_EQ(successes, 1);
    EXPECT_EQ(names(manager->charts()), std::vector<std::string> { "A" });
    EXPECT_FALSE(manager->hasPendingRetry());
    clock.advance(600);
    drainAll();
    EXPECT_EQ(stubs.allRequests().size(), 5u);
    KESTLiveDataManager::setServiceBaseURL(previousBase);
}

} // namespace
