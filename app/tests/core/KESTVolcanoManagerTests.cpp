#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTVolcanoManager.h"
#include "app/tests/AppTestSupport.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "mapkit/MKGeometry.h"
#include "mapkit/MKPolygon.h"
#include "net/NSURLError.h"
#include "testing/Drain.h"
#include "testing/LogCapture.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kBase = "http://feed.invalid/";
constexpr const char* kAshURL = "http://feed.invalid/APPAPIv2/vaa.php";

Value decode(const std::string& json)
{
    return NSJSONSerialization::JSONObjectWithData(std::string_view(json), 0, nullptr);
}

URLStubSpec ashAnswer(std::string body, int32_t status = 200)
{
    URLStubSpec spec;
    spec.url = kAshURL;
    spec.statusCode = status;
    spec.headers = { { "Content-Type", "application/json" } };
    spec.body = std::move(body);
    return spec;
}

constexpr const char* kTwoAreas = R"({"position":[{"lat":1,"lon":2}],
    "a1":[{"lat":10,"lon":20},{"lat":11,"lon":21},{"lat":"12.5","lon":"22"}],
    "a2":[{"lat":-5,"lon":100},{"lat":-6,"lon":101},{"lat":-7,"lon":102},{"lat":-8,"lon":103}]})";

class KESTVolcanoManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        KESTLiveDataManager::setServiceBaseURL(kBase);
        manager = KESTVolcanoManager::init();
        observer = NSNotificationCenter::defaultCenter()->addObserverForName(
            std::string(KESTVolcanoOverlayChangeNotification), nullptr, nullptr,
            [this](const Ref<NSNotification>&) { notifications.push_back(manager->polyArray().size()); });
    }
    void TearDown() override
    {
        drainAll();
        NSNotificationCenter::defaultCenter()->removeObserver(observer);
    }

    std::vector<uint32_t> pointCounts() const
    {
        std::vector<uint32_t> counts;
        for (const auto& polygon : manager->polyArray())
            counts.push_back(polygon->pointCount());
        return counts;
    }

    AppTestScope scope;
    ScopedVirtualClock clock;
    URLStubs stubs;
    Ref<KESTVolcanoManager> manager;
    Ref<NSObject> observer;
    // The number of polygons known at each notification.
    std::vector<size_t> notifications;
};

} // namespace

TEST_F(KESTVolcanoManagerTest, TurnsEachAreaIntoAPolygon)
{
    struct Case {
        const char* name;
        const char* json;
        std::vector<uint32_t> counts;
    };
    const Case cases[] = {
        { "two areas", kTwoAreas, { 3, 4 } },
        { "only the position", R"({"position":[]})", {} },
        { "an area that is not a list",
            R"({"a1":{"lat":1,"lon":2},"a2":"none","a3":[{"lat":1,"lon":2},{"lat":3,"lon":4}]})", { 2 } },
        { "points that are not objects", R"({"a1":[{"lat":1,"lon":2},7,null,[1,2],{"lat":3,"lon":4},{"lat":5}]})",
            { 3 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        notifications.clear();
        manager->parseJSON(decode(c.json));
        EXPECT_EQ(pointCounts(), c.counts);
        EXPECT_EQ(notifications, std::vector<size_t> { c.counts.size() });
        EXPECT_EQ(manager->volcanoArray().count(), 0u);
    }

    manager->parseJSON(decode(kTwoAreas));
    MKMapPoint third = manager->polyArray()[0]->points()[2];
    MKMapPoint expected = MKMapPointForCoordinate(CLLocationCoordinate2DMake(12.5, 22));
    EXPECT_DOUBLE_EQ(third.x, expected.x);
    EXPECT_DOUBLE_EQ(third.y, expected.y);
    // A point without a longitude stands at 0.
    manager->parseJSON(decode(R"({"a":[{"lat":5}]})"));
    EXPECT_DOUBLE_EQ(
        manager->polyArray()[0]->points()[0].x, MKMapPointForCoordinate(CLLocationCoordinate2DMake(5, 0)).x);
}

TEST_F(KESTVolcanoManagerTest, KeepsTheAreasWhenAnAnswerIsNotAnObject)
{
    manager->parseJSON(decode(kTwoAreas));
    notifications.clear();
    LogCapture logs;
    for (const char* json : { "[1,2,3]", "\"ash\"", "12" }) {
        SCOPED_TRACE(json);
        manager->parseJSON(decode(json));
        EXPECT_EQ(pointCounts(), (std::vector<uint32_t> { 3, 4 }));
    }
    manager->parseJSON(Value());
    EXPECT_TRUE(notifications.empty());
    EXPECT_EQ(logs.messages().size(), 4u);
}

TEST_F(KESTVolcanoManagerTest, PollsTheServiceAndKeepsOldAreasOnFailure)
{
    auto good = stubs.add(ashAnswer(kTwoAreas));
    manager->pollForOverlay();
    drainAll();
    ASSERT_EQ(good->requestCount(), 1u);
    EXPECT_EQ(good->requests()[0].method, "GET");
    EXPECT_EQ(pointCounts(), (std::vector<uint32_t> { 3, 4 }));
    EXPECT_EQ(notifications, std::vector<size_t> { 2 });

    struct Case {
        const char* name;
        URLStubSpec spec;
    };
    URLStubSpec notJSON = ashAnswer("<html>busy</html>");
    notJSON.headers = { { "Content-Type", "text/html" } };
    const Case cases[] = {
        { "server error", ashAnswer("{}", 500) },
        { "not JSON", notJSON },
        { "malformed JSON", ashAnswer("{\"a1\":[") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        URLStubs failing;
        failing.add(c.spec);
        LogCapture logs;
        manager->pollForOverlay();
        drainAll();
        EXPECT_EQ(pointCounts(), (std::vector<uint32_t> { 3, 4 }));
        EXPECT_EQ(notifications.size(), 1u);
        EXPECT_EQ(logs.messages().size(), 1u);
    }
}

TEST_F(KESTVolcanoManagerTest, AnnouncesKnownAreasAtOnceAndAsksAgainAfterTenMinutes)
{
    auto stub = stubs.add(ashAnswer(kTwoAreas, 200));
    // Nothing known: no announcement, just a request.
    manager->checkforOverlay();
    EXPECT_TRUE(notifications.empty());
    drainAll();
    EXPECT_EQ(stub->requestCount(), 1u);
    EXPECT_EQ(notifications, std::vector<size_t> { 2 });

    // Known and fresh: announced before anything else happens, and not asked for again.
    stubs.add(ashAnswer(R"({"a1":[{"lat":1,"lon":1},{"lat":2,"lon":2},{"lat":3,"lon":1}]})"));
    clock.advance(600);
    manager->checkforOverlay();
    EXPECT_EQ(notifications, (std::vector<size_t> { 2, 2 }));
    drainAll();
    EXPECT_EQ(stubs.allRequests().size(), 1u);

    // Older than ten minutes: announced, then replaced by the new answer.
    clock.advance(1);
    manager->checkforOverlay();
    EXPECT_EQ(notifications, (std::vector<size_t> { 2, 2, 2 }));
    drainAll();
    EXPECT_EQ(stubs.allRequests().size(), 2u);
    EXPECT_EQ(notifications, (std::vector<size_t> { 2, 2, 2, 1 }));
    EXPECT_EQ(pointCounts(), std::vector<uint32_t> { 3 });
}

// Areas that cannot be fetched (the service is not up yet) are asked for again, after 5 s, then
// twice as long after each failure in a row, until they arrive.
TEST_F(KESTVolcanoManagerTest, AsksAgainAfterAFailureUntilTheAreasArrive)
{
    URLStubSpec refused = ashAnswer("");
    refused.errorCode = NSURLErrorCannotConnectToHost;
    auto down = stubs.add(refused);
    LogCapture logs;
    manager->checkforOverlay();
    drainAll();
    EXPECT_EQ(down->requestCount(), 1u);
    EXPECT_TRUE(manager->hasPendingRetry());

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
    EXPECT_TRUE(notifications.empty());

    auto good = stubs.add(ashAnswer(kTwoAreas));
    clock.advance(40);
    drainAll();
    EXPECT_EQ(good->requestCount(), 1u);
    EXPECT_EQ(pointCounts(), (std::vector<uint32_t> { 3, 4 }));
    EXPECT_EQ(notifications, std::vector<size_t> { 2 });
    EXPECT_FALSE(manager->hasPendingRetry());
    clock.advance(600);
    drainAll();
    EXPECT_EQ(stubs.allRequests().size(), 5u);
}
