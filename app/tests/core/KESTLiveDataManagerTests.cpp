#include "app/application/KESTAppDelegate.h"
#include "app/core/KESTFilterDataManager.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlaneAnswer.h"
#include "app/core/KESTURLRequest.h"
#include "app/tests/AppTestSupport.h"
#include "coredata/NSManagedObjectContext.h"
#include "coredata/NSPersistentStoreCoordinator.h"
#include "foundation/JSONReader.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSException.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSNotification.h"
#include "foundation/NSOperationQueue.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "net/NSURLRequest.h"
#include "testing/Drain.h"
#include "testing/LogCapture.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kBase = "http://feed.invalid/";

// A 13-field plane record: type, route, registration, callsign, lat, lon, altitude, heading,
// speed, report time, squawk, data type, flight number.
std::string planeJSON(const std::string& callsign, double lat, int dataType = 0, const std::string& fltno = "")
{
    return NSString::stringWithFormat(
        R"(["B738","LHR-JFK","G-ABCD","%@",%@,-1.5,35000,90,450,1388534390,"1234",%@,"%@"])", callsign,
        Value(lat).stringValue(), std::to_string(dataType), fltno);
}

// An answer for requests whose address starts with `prefix` (and pass `matcher`, when given).
URLStubSpec answer(std::string prefix, std::string body, int32_t status = 200, double delay = 0,
    std::function<bool(const Ref<NSURLRequest>&)> matcher = nullptr)
{
    URLStubSpec spec;
    spec.url = std::move(prefix);
    spec.matchPrefix = true;
    spec.matcher = std::move(matcher);
    spec.statusCode = status;
    spec.body = std::move(body);
    spec.delay = delay;
    return spec;
}

bool queryHas(const Ref<NSURLRequest>& request, const std::string& part)
{
    return request->URL()->absoluteString().find(part) != std::string::npos;
}

// Log lines that start with the text.
size_t logged(const LogCapture& logs, const std::string& prefix)
{
    auto messages = logs.messages();
    return std::count_if(
        messages.begin(), messages.end(), [&](const std::string& m) { return m.rfind(prefix, 0) == 0; });
}

Value decode(const std::string& json)
{
    return NSJSONSerialization::JSONObjectWithData(
        std::string_view(json), NSJSONSerialization::NSJSONReadingMutableContainers, nullptr);
}

class MapBounds : public KESTLiveDataManagerDelegate {
public:
    KESTMapBounds bounds { .north = 52.5, .south = 50.25, .east = 1.0, .west = -2.0 };
    std::vector<std::string> selected;
    std::optional<KESTMapBounds> currentMapBounds() override { return bounds; }
    void selectAnnotationMakeVisible(const Ref<KESTPlane>& plane, bool) override
    {
        selected.push_back(plane->adshex());
    }
};

class KESTLiveDataManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        KESTLiveDataManager::setServiceBaseURL(kBase);
        manager = KESTLiveDataManager::init();
        observer = NSNotificationCenter::defaultCenter()->addObserverForName(
            std::string(KESTLiveDataUpdatedNotification), nullptr, nullptr,
            [this](const Ref<NSNotification>& note) { deltaFlags.push_back(note->userInfo()["delta"].boolValue()); });
    }
    void TearDown() override
    {
        drainAll();
        NSNotificationCenter::defaultCenter()->removeObserver(observer);
        manager->invalidateTimers();
        KESTFilterDataManager::sharedInstance()->setPredicate(nullptr);
        KESTLiveDataManager::setAlertPresenter(nullptr);
        manager = nullptr;
        drainAll();
    }

    std::vector<std::string> hexes()
    {
        std::vector<std::string> result;
        for (const auto& plane : manager->unfilteredPlaneArray())
            result.push_back(plane->adshex());
        std::sort(result.begin(), result.end());
        return result;
    }

    void parse(const std::string& json, bool full)
    {
        manager->parsePlaneDataResponse(decode(json), full, nullptr, nullptr);
        drainAll();
    }

    std::vector<std::string> urls() const
    {
        std::vector<std::string> result;
        for (const auto& record : stubs.allRequests())
            result.push_back(record.url);
        return result;
    }

    AppTestScope scope;
    ScopedVirtualClock clock;
    URLStubs stubs;
    Ref<KESTLiveDataManager> manager;
    Ref<NSObject> observer;
    std::vector<bool> deltaFlags;
};

TEST_F(KESTLiveDataManagerTest, BuildsPollAddressesAndThrottlesFullPolls)
{
    auto stub = stubs.add(answer(kBase, R"({"planes":{}})"));
    struct Case {
        int32_t icaoType, faaData;
        const char* expected;
    };
    const Case cases[] = {
        { 1, 1, "http://feed.invalid/APPAPIv2/planeUpdate.php?routetype=IATA&FAA=1&ts=0&background=0" },
        { 0, 0, "http://feed.invalid/APPAPIv2/planeUpdate.php?routetype=ICAO&FAA=0&ts=1388534410.5&background=0" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        KESTSettingsManager::sharedInstance()->setIcaoType(c.icaoType);
        KESTSettingsManager::sharedInstance()->setFaaData(c.faaData);
        clock.advance(10.5);
        manager->cacheDeviceUTCTimestamp();
        size_t before = stub->requestCount();
        manager->performFullPoll();
        drainAll();
        ASSERT_EQ(stub->requestCount(), before + 1);
        EXPECT_EQ(stub->requests().back().url, c.expected);

        // A second full poll within five seconds makes no request, answers 1 and keeps its search.
        clock.advance(4.9);
        manager->cacheDeviceUTCTimestamp();
        std::vector<int32_t> results;
        manager->performBackgroundFullPollWithSearchAndCompletionHandler(
            Value::dictionary({ { Value("callsign"), Value("BAW1") } }), [&](int32_t r) { results.push_back(r); });
        drainAll();
        EXPECT_EQ(stub->requestCount(), before + 1);
        EXPECT_EQ(results, std::vector<int32_t>({ 1 }));
        EXPECT_FALSE(manager->searchDictionary().isNil());
        manager->setSearchDictionary(Value());
    }

    // Delta polls: none without map bounds (answering 1), the bounds north, south, east, west.
    std::vector<int32_t> results;
    manager->performDeltaPollWithCompletionHandler([&](int32_t r) { results.push_back(r); });
    EXPECT_EQ(results, std::vector<int32_t>({ 1 }));
    auto map = std::make_shared<MapBounds>();
    manager->setDelegate(map);
    std::string ts = manager->lastFetchTS().stringValue();
    manager->performDeltaPoll();
    drainAll();
    EXPECT_EQ(stub->requests().back().url,
        "http://feed.invalid/APPAPIv2/planeUpdate.php?routetype=ICAO&FAA=0&ts=" + ts
            + "&bounds=52.5,50.25,1,-2&background=0");
}

TEST_F(KESTLiveDataManagerTest, MergesDropsAndPublishesAnswers)
{
    LogCapture logs;
    KESTSettingsManager::sharedInstance()->setFaaData(0);
    parse(R"({"planes":{"A1":)" + planeJSON("BAW1", 51) + R"(,"B2":)" + planeJSON("DLH2", 52) + R"(,"S3":)"
            + planeJSON("SCH3", 53, 1) + R"(,"X4":["short"],"N5":)" + planeJSON("NUL5", 54).replace(1, 6, "null")
            + "}}",
        true);
    EXPECT_EQ(hexes(), std::vector<std::string>({ "A1", "B2" }));
    EXPECT_EQ(deltaFlags, std::vector<bool>({ false }));
    EXPECT_TRUE(manager->hasPerformedFullPoll());
    EXPECT_TRUE(logged(logs, "Skipping malformed plane record X4"));

    // A delta answer adds and updates, never drops; the published plane is the same object.
    auto a1 = manager->planeWithADSHEX("A1");
    parse(R"({"planes":{"A1":)" + planeJSON("BAW1", 51.5) + R"(,"C3":)" + planeJSON("AFR3", 48) + "}}", false);
    EXPECT_EQ(hexes(), std::vector<std::string>({ "A1", "B2", "C3" }));
    EXPECT_EQ(manager->planeWithADSHEX("A1"), a1);
    EXPECT_DOUBLE_EQ(a1->lat(), 51.5);
    EXPECT_EQ(deltaFlags, std::vector<bool>({ false, true }));

    // A full answer drops every plane it does not list; a listed scheduled plane is kept as it was.
    KESTSettingsManager::sharedInstance()->setFaaData(1);
    parse(R"({"planes":{"C3":)" + planeJSON("AFR3", 47) + "}}", true);
    EXPECT_EQ(hexes(), std::vector<std::string>({ "C3" }));
    parse(R"({"planes":{}})", true);
    EXPECT_TRUE(hexes().empty());
    EXPECT_EQ(deltaFlags, std::vector<bool>({ false, true, false, false }));

    // An answer without a planes object calls failure, posts nothing and still moves ts.
    clock.advance(7);
    int failures = 0;
    manager->parsePlaneDataResponse(decode(R"({"planes":[]})"), true, nullptr, [&] { ++failures; });
    drainAll();
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(deltaFlags.size(), 4u);
    EXPECT_EQ(manager->lastFetchTS().doubleValue(), Clock::wallTime());

    auto keys = diffKeys(decode(R"({"a":1,"b":2})"), decode(R"({"b":3,"c":4})"));
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, std::vector<std::string>({ "a", "c" }));
}

// Answers that only refresh planes publish nothing new; a later join or drop is still published.
TEST_F(KESTLiveDataManagerTest, PublishedSetFollowsJoinsAndDropsAfterRefreshOnlyAnswers)
{
    struct Step {
        const char* name;
        std::string answer;
        bool full;
        std::vector<std::string> hexes;
        double a1Latitude; // NAN when A1 is not listed
    };
    auto answer = [](const std::string& planes) { return R"({"planes":{)" + planes + "}}"; };
    Step steps[] = {
        { "first full answer", answer(R"("A1":)" + planeJSON("BAW1", 51) + R"(,"B2":)" + planeJSON("DLH2", 52)), true,
            { "A1", "B2" }, 51 },
        { "same planes, new positions",
            answer(R"("A1":)" + planeJSON("BAW1", 51.25) + R"(,"B2":)" + planeJSON("DLH2", 52)), true, { "A1", "B2" },
            51.25 },
        { "delta refreshing one", answer(R"("A1":)" + planeJSON("BAW1", 51.5)), false, { "A1", "B2" }, 51.5 },
        { "full answer dropping one", answer(R"("B2":)" + planeJSON("DLH2", 52)), true, { "B2" }, NAN },
        { "delta refreshing the other", answer(R"("B2":)" + planeJSON("DLH2", 52.5)), false, { "B2" }, NAN },
        { "delta bringing one back", answer(R"("A1":)" + planeJSON("BAW1", 50)), false, { "A1", "B2" }, 50 },
        { "full answer in another order with a newcomer",
            answer(R"("B2":)" + planeJSON("DLH2", 52.75) + R"(,"C3":)" + planeJSON("AFR3", 48) + R"(,"A1":)"
                + planeJSON("BAW1", 49)),
            true, { "A1", "B2", "C3" }, 49 },
        { "full answer in the first order dropping the newcomer",
            answer(R"("A1":)" + planeJSON("BAW1", 48.5) + R"(,"B2":)" + planeJSON("DLH2", 53)), true, { "A1", "B2" },
            48.5 },
        { "delta adding two", answer(R"("D4":)" + planeJSON("KLM4", 52) + R"(,"E5":)" + planeJSON("IBE5", 40)), false,
            { "A1", "B2", "D4", "E5" }, 48.5 },
        { "full answer dropping one the delta added and one the last full answer listed",
            answer(R"("A1":)" + planeJSON("BAW1", 48) + R"(,"E5":)" + planeJSON("IBE5", 40.5)), true, { "A1", "E5" },
            48 },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        parse(step.answer, step.full);
        EXPECT_EQ(hexes(), step.hexes);
        auto a1 = manager->planeWithADSHEX("A1");
        ASSERT_EQ(a1 != nullptr, !std::isnan(step.a1Latitude));
        if (a1) {
            EXPECT_DOUBLE_EQ(a1->lat(), step.a1Latitude);
        }
    }
}

TEST_F(KESTLiveDataManagerTest, ChecksAnswersAndReadsTheServiceClock)
{
    struct Case {
        int32_t status;
        std::string body;
        std::optional<std::string> time;
        const char* outcome; // "success", "failure" or "none"
        double serverTime;
    };
    double now = Clock::wallTime();
    const Case cases[] = {
        { 200, R"({"planes":{}})", Value(now - 2.7).stringValue(), "success", 2 },
        { 201, R"({"planes":{}})", Value(now + 2.7).stringValue(), "success", -2 },
        { 200, R"({"planes":{}})", std::nullopt, "success", -2 },
        { 200, R"({"planes":{}})", std::string("soon"), "success", -2 },
        { 200, "{not json", std::nullopt, "failure", -2 },
        { 200, "", std::nullopt, "failure", -2 },
        { 204, "x", std::nullopt, "none", -2 },
        { 304, "x", std::nullopt, "none", -2 },
        { 500, "x", std::nullopt, "none", -2 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.status) + " " + c.body);
        NSHTTPURLResponse::HeaderList headers;
        if (c.time)
            headers.push_back({ "X-VX-S-TIME", *c.time });
        auto response = NSHTTPURLResponse::initWithURLStatusCodeHTTPVersionHeaderFields(
            NSURL::URLWithString(kBase), c.status, "HTTP/1.1", headers);
        std::string outcome = "none";
        Ref<NSError> failureError;
        manager->handleResponse(
            response, Value::data(c.body.data(), c.body.size()), nullptr, [&](const Value&) { outcome = "success"; },
            [&](const Ref<NSURLResponse>&, const Ref<NSError>& error) {
                outcome = "failure";
                failureError = error;
            });
        EXPECT_EQ(outcome, c.outcome);
        EXPECT_EQ(manager->serverTime(), c.serverTime);
        if (c.body.empty()) {
            ASSERT_TRUE(failureError);
            EXPECT_EQ(failureError->domain(), "com.kestravon.error");
            EXPECT_EQ(failureError->code(), 0);
            EXPECT_EQ(failureError->localizedDescription(), "Empty response returned from webservice");
        }
    }
}

TEST_F(KESTLiveDataManagerTest, TimerTicksAskForDeltaAndFullPolls)
{
    auto stub = stubs.add(answer(kBase, R"({"planes":{}})"));
    auto map = std::make_shared<MapBounds>();
    manager->setDelegate(map);
    struct Step {
        double advance;
        size_t requests; // made by this tick
        bool full; // whether it was a full poll
        double deltaAfter, fullAfter;
    };
    const Step steps[] = {
        { 15.0, 0, false, 15.0, 15.0 }, // exactly 15 s: no delta poll
        { 0.5, 1, false, 0.0, 15.5 }, // beyond it: a delta poll, delta counter reset
        { 104.5, 1, false, 0.0, 120.0 }, // exactly 120 s: no full poll, but a delta poll
        { 1.0, 1, true, 0.0, 0.0 }, // beyond it: full poll, both reset
        { 1.0, 0, false, 1.0, 1.0 },
        // A long pause asks for a full poll; the cached device time is that of the last tick,
        // within five seconds of the last full poll, so the throttle skips it, and the
        // counters are reset all the same.
        { 3600.0, 0, false, 0.0, 0.0 },
        { 5.0, 0, false, 5.0, 5.0 },
        { 3600.0, 1, true, 0.0, 0.0 },
    };
    // After the first full answer, so no early delta answer asks for an extra full poll.
    parse(R"({"planes":{}})", true);
    manager->handleTimerUpdate();
    size_t count = stub->requestCount();
    double wall = Clock::wallTime();
    int index = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(index++);
        // Timers met on the way move the clock in uneven steps: put the wall time back on the
        // exact sum so the counters' edges are exact.
        wall += step.advance;
        clock.advance(step.advance);
        clock.clock().setWallTime(wall);
        manager->handleTimerUpdate();
        drainAll();
        size_t made = stub->requestCount() - count;
        count = stub->requestCount();
        EXPECT_EQ(made, step.requests);
        if (made) {
            EXPECT_EQ(stub->requests().back().url.find("bounds") == std::string::npos, step.full);
        }
        EXPECT_DOUBLE_EQ(manager->deltaPollTS(), step.deltaAfter);
        EXPECT_DOUBLE_EQ(manager->fullPollTS(), step.fullAfter);
    }
}

TEST_F(KESTLiveDataManagerTest, FastStartMakesOneDeltaPollUnlessTheFullAnswerCameFirst)
{
    auto map = std::make_shared<MapBounds>();
    manager->setDelegate(map);
    // The full answer is slow; three seconds after the request one delta poll is made, and its
    // answer, arriving before any full answer, asks for one more full poll.
    // The stub added last is asked first.
    auto rest = stubs.add(answer(kBase, R"({"planes":{}})"));
    auto full = stubs.add(answer(std::string(kBase) + "APPAPIv2/planeUpdate.php?routetype=IATA&FAA=1&ts=0&background=0",
        R"({"planes":{}})", 200, 10));
    auto delta = stubs.add(
        answer(kBase, R"({"planes":{}})", 200, 0, [](const Ref<NSURLRequest>& r) { return queryHas(r, "bounds"); }));
    manager->performFullPoll();
    EXPECT_TRUE(manager->hasFastStartTimer());
    clock.advance(3.0);
    drainAll();
    EXPECT_EQ(delta->requestCount(), 1u);
    EXPECT_TRUE(manager->hasPerformedFastStart());
    EXPECT_TRUE(manager->hasRequestedFullPollAfterFastStart());
    clock.advance(5.0);
    manager->cacheDeviceUTCTimestamp();
    parse(R"({"planes":{}})", false); // a second early delta answer asks for nothing more
    clock.advance(10.0);
    drainAll();
    EXPECT_EQ(delta->requestCount(), 1u);
    EXPECT_EQ(full->requestCount() + rest->requestCount(), 1u);

    // A fresh manager whose full answer arrives in time never makes the fast-start poll.
    KESTSettingsManager::sharedInstance()->setFaaData(0); // answered at once
    auto quick = KESTLiveDataManager::init();
    quick->setDelegate(map);
    quick->performFullPoll();
    drainAll();
    EXPECT_TRUE(quick->hasPerformedFullPoll());
    EXPECT_FALSE(quick->hasFastStartTimer());
    clock.advance(5.0);
    drainAll();
    EXPECT_EQ(delta->requestCount(), 1u);
    quick->invalidateTimers();
}

TEST_F(KESTLiveDataManagerTest, BackgroundHandlersAreCalledExactlyOnce)
{
    auto ok = stubs.add(answer(kBase, R"({"planes":{"A1":)" + planeJSON("BAW1", 51) + "}}"));
    stubs.add(answer(kBase, "down", 500, 0, [](const Ref<NSURLRequest>& r) { return queryHas(r, "FAA=0"); }));
    std::vector<std::pair<int, int32_t>> calls;
    auto handler = [&](int id) { return [&calls, id](int32_t r) { calls.push_back({ id, r }); }; };

    // A new poll replaces a pending handler, answering it with 2; the answer completes the new one.
    manager->setCurrentBackgroundFetchCompletionHandler(handler(1));
    manager->performBackgroundFullPollWithCompletionHandler(handler(2));
    drainAll();
    EXPECT_EQ(calls, (std::vector<std::pair<int, int32_t>>({ { 1, 2 }, { 2, 0 } })));
    EXPECT_EQ(ok->requests().back().url.find("background=1") != std::string::npos, true);
    EXPECT_EQ(hexes(), std::vector<std::string>({ "A1" }));

    // A background answer with status 500 completes its handler with 2 instead of leaving it.
    calls.clear();
    KESTSettingsManager::sharedInstance()->setFaaData(0);
    clock.advance(6);
    manager->cacheDeviceUTCTimestamp();
    manager->performBackgroundFullPollWithCompletionHandler(handler(3));
    drainAll();
    EXPECT_EQ(calls, (std::vector<std::pair<int, int32_t>>({ { 3, 2 } })));
    EXPECT_FALSE(manager->hasCurrentBackgroundFetchCompletionHandler());

    // A background answer whose request carries bounds is merged as a delta answer.
    calls.clear();
    KESTSettingsManager::sharedInstance()->setFaaData(1);
    auto map = std::make_shared<MapBounds>();
    manager->setDelegate(map);
    deltaFlags.clear();
    manager->performBackgroundDeltaPollWithCompletionHandler(handler(4));
    drainAll();
    EXPECT_EQ(calls, (std::vector<std::pair<int, int32_t>>({ { 4, 0 } })));
    EXPECT_EQ(deltaFlags, std::vector<bool>({ true }));
    EXPECT_NE(ok->requests().back().url.find("&bounds=52.5,50.25,1,-2&background=1"), std::string::npos);
}

TEST_F(KESTLiveDataManagerTest, PendingSearchSelectsOrSaysNotTracked)
{
    auto map = std::make_shared<MapBounds>();
    manager->setDelegate(map);
    std::vector<std::string> alerts;
    KESTLiveDataManager::setAlertPresenter(
        [&](const std::string& title, const std::string& message, const std::string& button) {
            alerts.push_back(title + "|" + message + "|" + button);
        });
    const std::string answer = R"({"planes":{"A1":)" + planeJSON("BAW1", 51, 0, "BA1") + R"(,"B2":)"
        + planeJSON("XYZ9", 52, 0, "BAW1") + R"(,"C3":)" + planeJSON("EZY3", 53, 0, "U23") + "}}";
    struct Case {
        Value search;
        bool fullAnswer;
        std::vector<std::string> selected;
        bool alert;
        bool stillPending;
    };
    const Case cases[] = {
        { Value::dictionary({ { Value("callsign"), Value("U23") } }), false, {}, false, true },
        { Value::dictionary({ { Value("callsign"), Value("U23") } }), true, { "C3" }, false, false },
        { Value::dictionary({ { Value("adshex"), Value("B2") } }), true, { "B2" }, false, false },
        { Value::dictionary({ { Value("callsign"), Value("NOPE") } }), true, {}, true, false },
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(index++);
        map->selected.clear();
        alerts.clear();
        manager->setSearchDictionary(c.search);
        parse(answer, c.fullAnswer);
        EXPECT_EQ(map->selected, c.selected);
        EXPECT_EQ(alerts.size(), c.alert ? 1u : 0u);
        if (c.alert) {
            EXPECT_EQ(
                alerts[0], "Not currently tracked|This flight is out of range or not currently tracked.|Continue");
        }
        EXPECT_EQ(!manager->searchDictionary().isNil(), c.stillPending);
        manager->setSearchDictionary(Value());
    }
    // "callsign" matches B2's flight number only while nothing matched by callsign: A1 matches
    // by callsign "BAW1"; whether B2 is selected depends on the list order, so the selection is
    // A1 and possibly B2, never B2 alone.
    map->selected.clear();
    manager->setSearchDictionary(Value::dictionary({ { Value("callsign"), Value("BAW1") } }));
    parse(answer, true);
    EXPECT_THAT(map->selected, ::testing::Contains("A1"));
}

TEST_F(KESTLiveDataManagerTest, FilteredPlaneListSwitchesOffABrokenFilter)
{
    LogCapture logs;
    parse(R"({"planes":{"A1":)" + planeJSON("BAW1", 51) + R"(,"B2":)" + planeJSON("DLH2", 52) + "}}", true);
    EXPECT_EQ(manager->planeArray().size(), 2u);

    KESTFilterDataManager::sharedInstance()->setPredicate(NSPredicate::predicateWithBlock(
        [](const Value& plane, const Value&) { return plane.objectAs<KESTPlane>()->callsign() == "BAW1"; }));
    auto filtered = manager->planeArray();
    ASSERT_EQ(filtered.size(), 1u);
    EXPECT_EQ(filtered[0]->adshex(), "A1");

    KESTFilterDataManager::sharedInstance()->setPredicate(NSPredicate::predicateWithBlock(
        [](const Value&, const Value&) -> bool { NSException::raise("NSInvalidArgumentException", "unknown key"); }));
    EXPECT_EQ(manager->planeArray().size(), 2u);
    EXPECT_TRUE(logged(logs, "Exception: "));
}

TEST_F(KESTLiveDataManagerTest, FlightPathsReplaceTheLastPath)
{
    LogCapture logs;
    int notes = 0;
    auto token = NSNotificationCenter::defaultCenter()->addObserverForName(
        std::string(KESTFlightPathUpdatedNotification), nullptr, nullptr, [&](const Ref<NSNotification>&) { ++notes; });
    auto path = stubs.add(answer(std::string(kBase) + "APPAPIv2/planeFlightPath.php?adshex=A1B2C3",
        R"({"path":[[51.0,-1.0,1000],[51.5,-1.5,2000],["x",1,1],[52.0,-2.0,3000.5],[1,2]]})"));
    auto stamped = stubs.add(answer(
        std::string(kBase) + "APPAPIv2/planeFlightPath.php?adshex=A1%26x%3D1&tmestamp=1388534390", "missing", 404));
    manager->performFlightPathFetch("A1B2C3", Value());
    drainAll();
    auto [positions, altitudes] = manager->flightPathArray();
    ASSERT_EQ(positions.size(), 3u);
    EXPECT_EQ(positions[2], (KESTLocation { 52.0, -2.0 }));
    EXPECT_EQ(altitudes, std::vector<Value>({ Value(1000), Value(2000), Value(3000.5) }));
    EXPECT_EQ(notes, 1);
    EXPECT_TRUE(logged(logs, "Skipping malformed flight path point"));

    // The hex address is escaped; a failed answer keeps the path and posts nothing.
    manager->performFlightPathFetch("A1&x=1", Value(1388534390));
    drainAll();
    EXPECT_EQ(stamped->requestCount(), 1u);
    EXPECT_EQ(manager->flightPathArray().first.size(), 3u);
    EXPECT_EQ(notes, 1);

    // A path far longer than any flight is refused before it is decoded, with a log line.
    std::string points;
    while (points.size() <= KESTLiveDataManager::kMaximumFlightPathAnswerBytes)
        points += "[51.0,-1.0,1000],";
    stubs.add(answer(std::string(kBase) + "APPAPIv2/planeFlightPath.php?adshex=HUGE",
        R"({"path":[)" + points + R"([51.0,-1.0,1000]]})"));
    logs.clear();
    manager->performFlightPathFetch("HUGE", Value());
    drainAll();
    EXPECT_EQ(logged(logs, "Refusing a webservice answer of "), 1u);
    EXPECT_EQ(manager->flightPathArray().first.size(), 3u);
    EXPECT_EQ(notes, 1);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}

} // namespace

namespace {

TEST(KESTURLRequest, CallsSuccessFailureOrNeitherByAnswer)
{
    struct Case {
        int32_t status;
        std::string body;
        std::optional<int32_t> transportError;
        const char* outcome;
    };
    const Case cases[] = {
        { 200, R"({"a":[1]})", std::nullopt, "success" },
        { 201, "{broken", std::nullopt, "failure" },
        { 404, R"({"a":1})", std::nullopt, "none" },
        { 200, "", -1004, "failure" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        URLStubs stubs;
        URLStubSpec spec = answer("http://json.invalid/x", c.body, c.status);
        spec.errorCode = c.transportError;
        stubs.add(spec);
        std::string outcome = "none";
        Value json;
        KESTURLRequest::initWithJSONRequest(
            NSURLRequest::requestWithURL(NSURL::URLWithString("http://json.invalid/x")), NSOperationQueue::mainQueue(),
            [&](const Ref<NSURLResponse>&, const Value& v) {
                outcome = "success";
                json = v;
            },
            [&](const Ref<NSError>&) { outcome = "failure"; });
        drainAll();
        EXPECT_EQ(outcome, c.outcome);
        if (outcome == "success") {
            EXPECT_TRUE(json.isMutable());
        }
    }
}

} // namespace

namespace {

// A record with the given fields in place of the usual ones (each a JSON token).
std::string recordWith(std::vector<std::pair<size_t, std::string>> replacements, size_t length = 13)
{
    std::vector<std::string> fields = { R"("B738")", R"("LHR-JFK")", R"("G-ABCD")", R"("BAW1")", "51.5", "-1.5",
        "35000", "90", "450", "1388534390", R"("1234")", "0", R"("BA1")" };
    for (auto& [index, token] : replacements)
        fields[index] = token;
    fields.resize(length, "0");
    std::string text = "[";
    for (size_t i = 0; i < fields.size(); ++i)
        text += (i ? "," : "") + fields[i];
    return text + "]";
}

enum class Reading { Reads, Refuses, EitherWay };

} // namespace

// Reading the plane table straight from the bytes gives what decoding them and reading the
// decoded answer gives: the same records in the same order, with the same conversions, and the
// same keys. What it cannot read it refuses, and the general decoder takes the bytes.
TEST(KESTPlaneAnswer, ReadingTheBytesGivesWhatDecodingThemGives)
{
    std::string good = recordWith({});
    std::string deep = std::string(600, '[') + std::string(600, ']');
    struct Case {
        const char* name;
        std::string body;
        Reading reading;
    };
    const Case cases[] = {
        { "two planes", R"({"ts":1,"planes":{"A1":)" + good + R"(,"B2":)" + recordWith({ { 3, R"("DLH2")" } }) + "}}",
            Reading::Reads },
        { "empty table", R"({"planes":{}})", Reading::Reads },
        { "surrounding whitespace", " \n\t{\"planes\":{\"A1\":" + good + "}}\r\n", Reading::Reads },
        { "repeated key keeps its place and its last value",
            R"({"planes":{"A1":)" + good + R"(,"B2":)" + good + R"(,"A1":)" + recordWith({ { 4, "12.25" } }) + "}}",
            Reading::Reads },
        { "repeated key whose last value is malformed", R"({"planes":{"A1":)" + good + R"(,"A1":["short"]}})",
            Reading::Reads },
        { "repeated plane table", R"({"planes":{"A1":)" + good + R"(},"planes":{"B2":)" + good + "}}", Reading::Reads },
        { "nulls",
            R"({"planes":{"A1":null,"B2":)" + recordWith({ { 0, "null" } }) + R"(,"C3":)"
                + recordWith({ { 6, "null" } }) + "}}",
            Reading::Reads },
        { "wrong kinds",
            R"({"planes":{"A1":)" + recordWith({ { 4, R"("51.5")" } }) + R"(,"B2":)" + recordWith({ { 12, "7" } })
                + R"(,"C3":{"lat":1},"D4":"text","E5":5,"F6":)" + recordWith({ { 11, "[1]" } }) + "}}",
            Reading::Reads },
        { "short and exact records",
            R"({"planes":{"A1":)" + recordWith({}, 12) + R"(,"B2":[],"C3":)" + recordWith({}, 13) + "}}",
            Reading::Reads },
        { "extra fields",
            R"({"planes":{"A1":)" + good.substr(0, good.size() - 1) + R"(,{"x":[1,{"y":null}]},"z",true])" + "}}",
            Reading::Reads },
        { "true and false are numbers",
            R"({"planes":{"A1":)" + recordWith({ { 4, "true" }, { 5, "false" }, { 11, "true" } }) + "}}",
            Reading::Reads },
        { "unicode",
            R"({"planes":{"Ä1":)" + recordWith({ { 3, R"("Zürich ✈")" }, { 12, R"("\u00e9\ud83d\ude00\n\"")" } })
                + "}}",
            Reading::Reads },
        { "large and odd numbers",
            R"({"planes":{"A1":)"
                + recordWith({ { 4, "1e308" }, { 5, "-0.0" }, { 6, "18446744073709551615" },
                    { 7, "-9223372036854775808" }, { 8, "4294967296" }, { 9, "2147483648" }, { 11, "1.9" } })
                + R"(,"B2":)" + recordWith({ { 11, "-2147483649" } }) + R"(,"C3":)"
                + recordWith({ { 11, "3000000000" } }) + R"(,"D4":)" + recordWith({ { 11, "-1e30" } }) + "}}",
            Reading::Reads },
        { "numbers beyond 64 bits",
            R"({"planes":{"A1":)" + recordWith({ { 6, "123456789012345678901234567890" } }) + "}}",
            Reading::EitherWay },
        { "nesting deeper than the decoder takes", R"({"planes":{"A1":)" + good + R"(},"x":)" + deep + "}",
            Reading::Refuses },
        { "array answer", "[" + good + "]", Reading::Refuses },
        { "text answer", R"("planes")", Reading::Refuses },
        { "number answer", "42", Reading::Refuses },
        { "plane list", R"({"planes":[)" + good + "]}", Reading::Refuses },
        { "null plane table", R"({"planes":null})", Reading::Refuses },
        { "no plane table", R"({"ts":1})", Reading::Refuses },
        { "last plane table is not one", R"({"planes":{"A1":)" + good + R"(},"planes":[]})", Reading::Refuses },
        { "byte order mark", "\xEF\xBB\xBF{\"planes\":{\"A1\":" + good + "}}", Reading::Refuses },
        { "broken text", R"({"planes":{"A1":)" + good, Reading::Refuses },
        { "garbage after the answer", R"({"planes":{}} x)", Reading::Refuses },
        { "empty", "", Reading::Refuses },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Value decoded = NSJSONSerialization::JSONObjectWithData(
            std::string_view(c.body), NSJSONSerialization::NSJSONReadingMutableContainers, nullptr);
        auto expected = KESTPlaneAnswer::fromJSONObject(decoded);
        auto read = KESTPlaneAnswer::decode(c.body);
        if (c.reading == Reading::Reads) {
            ASSERT_TRUE(read);
        } else if (c.reading == Reading::Refuses) {
            EXPECT_FALSE(read);
        }
        if (!read)
            continue;
        ASSERT_TRUE(expected);
        EXPECT_EQ(read->records(), expected->records());
        // Read where they lie, with other bytes after them, the bytes give the same.
        std::string room = c.body + std::string(JSONReader::kReadInPlacePadding, '9');
        auto inPlace
            = KESTPlaneAnswer::decode(std::string_view(room.data(), c.body.size()), JSONReader::kReadInPlacePadding);
        ASSERT_TRUE(inPlace);
        EXPECT_EQ(inPlace->records(), expected->records());
    }

    // Spot checks of the conversions both readers share.
    auto odd = KESTPlaneAnswer::decode(R"({"planes":{"A1":)" + recordWith({ { 4, "true" }, { 11, "1.9" } })
        + R"(,"A1":)" + recordWith({ { 4, "true" }, { 11, "1.9" }, { 3, R"("Zürich")" } }) + R"(,"B2":["short"]}})");
    ASSERT_TRUE(odd);
    auto oddRecords = odd->records();
    ASSERT_EQ(oddRecords.size(), 2u);
    EXPECT_EQ(oddRecords[0].adshex, "A1");
    ASSERT_TRUE(oddRecords[0].fields);
    EXPECT_EQ(oddRecords[0].fields->lat, 1.0);
    EXPECT_EQ(oddRecords[0].fields->dataType, 1);
    EXPECT_EQ(oddRecords[0].fields->callsign, "Zürich");
    EXPECT_FALSE(oddRecords[1].fields);
}

// One record that no decoder takes (a number out of range, text that is not UTF-8) costs that
// record alone: it reads as malformed, or is left out when its key is the bad part, and the
// others read as the same answer without it would. A refusal outside the records still refuses
// the whole answer.
TEST(KESTPlaneAnswer, BadRecordsCostOnlyThemselves)
{
    std::string good = recordWith({});
    std::string outOfRange = recordWith({ { 6, "1e400" } });
    std::string badText = recordWith({ { 3, "\"B\xC3\x28\"" } });
    struct Case {
        const char* name;
        std::string body;
        // The same answer as a decoder takes it: the bad records as null, bad keys left out.
        std::string sound;
        std::vector<std::string> unreadableKeys;
    };
    const Case cases[] = {
        { "number out of range", R"({"planes":{"A1":)" + good + R"(,"B2":)" + outOfRange + "}}",
            R"({"planes":{"A1":)" + good + R"(,"B2":null}})", {} },
        { "text that is not UTF-8", R"({"planes":{"A1":)" + badText + R"(,"B2":)" + good + "}}",
            R"({"planes":{"A1":null,"B2":)" + good + "}}", {} },
        { "key that is not UTF-8",
            "{\"planes\":{\"C\xFF"
            "3\":"
                + good + R"(,"B2":)" + good + "}}",
            R"({"planes":{"B2":)" + good + "}}", { "C\\xFF3" } },
        { "a mix, with other fields around the table",
            "{\"ts\":1, \"planes\" : {\"A1\":" + outOfRange + ", \"B2\":" + good + ",\"C\xC3\x28\":" + good + ",\"D4\":"
                + badText + ",\"E5\":[1,[2,{\"x\":\"]}\"}]," + good.substr(1) + ",\"A1\":" + good + "},\"more\":[{}]}",
            R"({"planes":{"A1":null,"B2":)" + good + R"(,"D4":null,"E5":[1,[2,{"x":"]}"}],)" + good.substr(1)
                + R"(,"A1":)" + good + "}}",
            { "C\\xC3(" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto expected = KESTPlaneAnswer::fromJSONObject(decode(c.sound));
        ASSERT_TRUE(expected);
        auto read = KESTPlaneAnswer::decode(c.body);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->records(), expected->records());
        EXPECT_EQ(read->unreadableKeys(), c.unreadableKeys);
    }

    const std::pair<const char*, std::string> refused[] = {
        { "out of range outside the table", R"({"ts":1e400,"planes":{"A1":)" + good + "}}" },
        { "broken text", R"({"planes":{"A1":)" + outOfRange },
        { "unclosed table", R"({"planes":{"A1":)" + outOfRange + "}" },
        { "garbage after the answer", R"({"planes":{"A1":)" + outOfRange + "}} x" },
        { "table that is a list", R"({"planes":[)" + outOfRange + "]}" },
        { "no table", R"({"other":{"A1":)" + outOfRange + "}}" },
    };
    for (const auto& [name, body] : refused) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(KESTPlaneAnswer::decode(body));
    }
}

// A poll answer read straight from its bytes leaves the working set, the published set and the
// log as the decoded answer does: skipped records, the scheduled-flight filter, dropped planes.
TEST_F(KESTLiveDataManagerTest, PollAnswersReadFromTheirBytesMergeAsDecodedOnesDo)
{
    struct Step {
        std::string body;
        bool full;
        int faa;
    };
    const Step steps[] = {
        { R"({"planes":{"A1":)" + planeJSON("BAW1", 51) + R"(,"B2":)" + planeJSON("DLH2", 52) + R"(,"S3":)"
                + planeJSON("SCH3", 53, 1) + R"(,"X4":["short"],"A1":)" + planeJSON("BAW1", 51.25) + "}}",
            true, 0 },
        { R"({"planes":{"C3":)" + planeJSON("AFR3", 48) + R"(,"B2":)" + planeJSON("DLH2", 52.5) + "}}", false, 0 },
        { R"({"planes":{"C3":)" + planeJSON("AFR3", 47) + R"(,"S3":)" + planeJSON("SCH3", 53, 1) + R"(,"B2":null}})",
            true, 1 },
        { R"({"planes":{"S3":)" + planeJSON("SCH3", 54, 1) + "}}", true, 1 },
    };
    auto other = KESTLiveDataManager::init();
    auto snapshot = [](const Ref<KESTLiveDataManager>& m) {
        std::vector<std::pair<std::string, KESTPlane::Fields>> planes;
        for (const auto& plane : m->unfilteredPlaneArray())
            planes.emplace_back(plane->adshex(), plane->fields());
        std::sort(planes.begin(), planes.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        return planes;
    };
    // With the service clock, as the service sends it: the logs hold the records' lines only.
    auto response = NSHTTPURLResponse::initWithURLStatusCodeHTTPVersionHeaderFields(
        NSURL::URLWithString(kBase), 200, "HTTP/1.1", { { "X-VX-S-TIME", "1388534390" } });
    for (const auto& step : steps) {
        SCOPED_TRACE(step.body);
        KESTSettingsManager::sharedInstance()->setFaaData(step.faa);
        int successes = 0;
        std::vector<std::string> readMessages;
        {
            LogCapture readLogs;
            EXPECT_TRUE(manager->handlePlaneResponse(
                response, Value::data(step.body.data(), step.body.size()), nullptr, step.full, [&] { ++successes; },
                nullptr, nullptr));
            drainAll();
            readMessages = readLogs.messages();
        }
        LogCapture decodedLogs;
        other->parsePlaneDataResponse(decode(step.body), step.full, nullptr, nullptr);
        drainAll();
        EXPECT_EQ(successes, 1);
        EXPECT_EQ(snapshot(manager), snapshot(other));
        EXPECT_EQ(readMessages, decodedLogs.messages());
    }
    // Each step is posted by both managers.
    EXPECT_EQ(deltaFlags, std::vector<bool>({ false, false, true, true, false, false, false, false }));
    EXPECT_EQ(hexes(), std::vector<std::string>({ "S3" }));
    other->invalidateTimers();

    // Answers the direct reading refuses go the general way, with its outcomes.
    struct Refused {
        std::string body;
        const char* outcome; // "merged", "failure" (no plane table) or "failed" (not JSON)
    };
    const Refused refused[] = {
        { "\xEF\xBB\xBF{\"planes\":{\"Q9\":" + planeJSON("BOM9", 50) + "}}", "merged" },
        { R"({"planes":[]})", "failure" },
        { R"({"planes":{)", "failed" },
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.body);
        std::string outcome = "none";
        manager->handlePlaneResponse(
            response, Value::data(c.body.data(), c.body.size()), nullptr, true, [&] { outcome = "merged"; },
            [&] { outcome = "failure"; }, [&](const Ref<NSURLResponse>&, const Ref<NSError>&) { outcome = "failed"; });
        drainAll();
        EXPECT_EQ(outcome, c.outcome);
    }
    EXPECT_TRUE(manager->planeWithADSHEX("Q9"));
}

namespace {

TEST_F(KESTLiveDataManagerTest, FailedPollsAreLoggedWithTheirReasonAndKeepTheLastGoodPlanes)
{
    auto map = std::make_shared<MapBounds>();
    manager->setDelegate(map);
    parse(R"({"planes":{"A1":)" + planeJSON("BAW1", 51) + R"(,"B2":)" + planeJSON("DLH2", 52) + "}}", true);
    ASSERT_EQ(hexes(), std::vector<std::string>({ "A1", "B2" }));

    std::string badNumber = planeJSON("BAW1", 51);
    badNumber.replace(badNumber.find("35000"), 5, "1e400");
    struct Case {
        const char* name;
        std::string body;
        int32_t status;
        std::optional<int32_t> transportError;
        const char* reason; // what the one failure line holds
    } cases[] = {
        { "server error", "oops", 500, std::nullopt, "HTTP status 500" },
        { "truncated JSON", R"({"planes":{"A1":)", 200, std::nullopt, "NSCocoaErrorDomain 3840: " },
        { "HTML page", "<html><body>Busy</body></html>", 200, std::nullopt, "NSCocoaErrorDomain 3840: " },
        { "number out of range outside the plane table", R"({"ts":1e400,"planes":{"A1":)" + badNumber + "}}", 200,
            std::nullopt, "NSCocoaErrorDomain 3840: Invalid value around character 10." },
        { "invalid UTF-8 outside the plane table", R"({"x":"B)" + std::string("\xC3\x28") + R"(","planes":{}})", 200,
            std::nullopt, "NSCocoaErrorDomain 3840: Unable to convert data to string around character 7." },
        { "connection refused", "", 200, NSURLErrorCannotConnectToHost, "NSURLErrorDomain -1004: " },
        { "no plane table", R"({"planes":[]})", 200, std::nullopt, "the answer holds no plane table" },
        { "far too large", std::string(KESTLiveDataManager::kMaximumPlaneAnswerBytes + 1, ' '), 200, std::nullopt,
            "com.kestravon.error 1: Answer of 33554433 bytes" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A minute apart, so the rate limit lets each one through.
        clock.advance(61);
        URLStubSpec spec = answer(kBase, c.body, c.status);
        spec.errorCode = c.transportError;
        stubs.add(spec);
        LogCapture logs;
        manager->performDeltaPoll();
        drainAll();
        EXPECT_EQ(logged(logs, "Live feed poll failed: "), 1u) << ::testing::PrintToString(logs.messages());
        EXPECT_EQ(logged(logs, std::string("Live feed poll failed: ") + c.reason), 1u)
            << ::testing::PrintToString(logs.messages());
        EXPECT_EQ(logged(logs, "Empty webservice response detected"), 0u);
        EXPECT_EQ(hexes(), std::vector<std::string>({ "A1", "B2" }));
    }

    // Within a minute of the last line, failures are counted, not logged; the next line says so.
    LogCapture logs;
    stubs.add(answer(kBase, "oops", 503));
    clock.advance(61);
    for (int poll = 0; poll < 3; ++poll) {
        manager->performDeltaPoll();
        drainAll();
        clock.advance(10);
    }
    clock.advance(40);
    manager->performDeltaPoll();
    drainAll();
    EXPECT_EQ(logs.messages(),
        std::vector<std::string>({ "Live feed poll failed: HTTP status 503",
            "Live feed poll failed: HTTP status 503 (2 more failed polls since the last report)" }));

    // An empty answer is named as the feed's failed poll, once.
    logs.clear();
    clock.advance(61);
    stubs.add(answer(kBase, ""));
    manager->performDeltaPoll();
    drainAll();
    EXPECT_EQ(
        logs.messages(), std::vector<std::string>({ "Live feed poll failed: Empty webservice response detected" }));
    EXPECT_EQ(hexes(), std::vector<std::string>({ "A1", "B2" }));
}

// Poll answers with bad records keep every good one; each bad plane is named once in the log and
// keeps its earlier data, even through full answers.
TEST_F(KESTLiveDataManagerTest, PollAnswersKeepTheirGoodRecordsAndNameEachBadPlaneOnce)
{
    auto map = std::make_shared<MapBounds>();
    manager->setDelegate(map);
    parse(R"({"planes":{"A1":)" + planeJSON("BAW1", 51) + R"(,"B2":)" + planeJSON("DLH2", 52) + "}}", true);

    auto withAltitude = [](std::string record, const std::string& altitude) {
        return record.replace(record.find("35000"), 5, altitude);
    };
    std::string outOfRange = withAltitude(planeJSON("BAW1", 60), "1e400");
    std::string badText = planeJSON("DLH\xC3\x28", 61);
    struct Case {
        const char* name;
        std::string body;
        bool full;
        std::vector<std::string> hexes;
        double latA1, latB2;
        std::vector<std::string> named; // the planes the log names
    };
    const Case cases[] = {
        { "number out of range", R"({"planes":{"A1":)" + outOfRange + R"(,"B2":)" + planeJSON("DLH2", 53) + "}}", true,
            { "A1", "B2" }, 51, 53, { "A1" } },
        { "text that is not UTF-8", R"({"planes":{"A1":)" + planeJSON("BAW1", 54) + R"(,"B2":)" + badText + "}}", false,
            { "A1", "B2" }, 54, 53, { "B2" } },
        { "a mix, again",
            "{\"planes\":{\"A1\":" + outOfRange + ",\"B2\":" + badText + ",\"C3\":" + planeJSON("AFR3", 48)
                + ",\"D\xFF"
                  "4\":"
                + planeJSON("KLM4", 47) + "}}",
            true, { "A1", "B2", "C3" }, 54, 53, { "D\\xFF4" } },
    };
    auto response = NSHTTPURLResponse::initWithURLStatusCodeHTTPVersionHeaderFields(
        NSURL::URLWithString(kBase), 200, "HTTP/1.1", { { "X-VX-S-TIME", "1" } });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture logs;
        int successes = 0;
        EXPECT_TRUE(manager->handlePlaneResponse(
            response, Value::data(c.body.data(), c.body.size()), nullptr, c.full, [&] { ++successes; }, nullptr,
            nullptr));
        drainAll();
        EXPECT_EQ(successes, 1);
        EXPECT_EQ(hexes(), c.hexes);
        EXPECT_DOUBLE_EQ(manager->planeWithADSHEX("A1")->lat(), c.latA1);
        EXPECT_DOUBLE_EQ(manager->planeWithADSHEX("B2")->lat(), c.latB2);
        std::vector<std::string> expected;
        for (const auto& hex : c.named)
            expected.push_back("Skipping malformed plane record " + hex);
        EXPECT_EQ(logs.messages(), expected);
        EXPECT_EQ(logged(logs, "Live feed poll failed"), 0u);
    }

    // An answer whose every record is bad names a few planes and counts the rest; later
    // answers name the others, each once.
    std::string nulled = "{\"planes\":{";
    for (int i = 0; i < 25; ++i)
        nulled += (i ? ",\"N" : "\"N") + std::to_string(i)
            + "\":[null,null,null,null,null,null,null,null,null,null,null,null,null]";
    nulled += "}}";
    std::vector<std::string> lines;
    for (int answer = 0; answer < 4; ++answer) {
        LogCapture logs;
        manager->handlePlaneResponse(
            response, Value::data(nulled.data(), nulled.size()), nullptr, false, nullptr, nullptr, nullptr);
        drainAll();
        auto messages = logs.messages();
        lines.insert(lines.end(), messages.begin(), messages.end());
    }
    std::vector<std::string> expected;
    for (int i = 0; i < 25; ++i) {
        expected.push_back("Skipping malformed plane record N" + std::to_string(i));
        if (i == 9)
            expected.push_back("Skipping 15 more malformed plane records");
        if (i == 19)
            expected.push_back("Skipping 5 more malformed plane records");
    }
    EXPECT_EQ(lines, expected);
}

// Answers without the service clock are logged, at most once a minute; an empty answer is
// logged as the feed's failed poll, under the same limit.
TEST_F(KESTLiveDataManagerTest, AnswersWithoutClockOrBodyAreLoggedOnceAMinute)
{
    auto map = std::make_shared<MapBounds>();
    manager->setDelegate(map);
    stubs.add(answer(kBase, R"({"planes":{"A1":)" + planeJSON("BAW1", 51) + "}}"));
    LogCapture logs;
    // Polls at 0, 25, 50 and 75 s: lines at 0 and 75 s.
    for (int poll = 0; poll < 4; ++poll) {
        manager->performDeltaPoll();
        drainAll();
        clock.advance(25);
    }
    EXPECT_EQ(logs.messages(),
        std::vector<std::string>({ "Live feed answer without the service clock (X-VX-S-TIME): keeping the clock "
                                   "offset of 0 s",
            "Live feed answer without the service clock (X-VX-S-TIME): keeping the clock offset of 0 s" }));
    EXPECT_EQ(hexes(), std::vector<std::string>({ "A1" }));

    logs.clear();
    stubs.add(answer(kBase, ""));
    for (int poll = 0; poll < 4; ++poll) {
        manager->performDeltaPoll();
        drainAll();
        clock.advance(25);
    }
    EXPECT_EQ(logs.messages(),
        std::vector<std::string>({ "Live feed poll failed: Empty webservice response detected",
            "Live feed poll failed: Empty webservice response detected (2 more failed polls since the last report)" }));
    EXPECT_EQ(hexes(), std::vector<std::string>({ "A1" }));
}

TEST_F(KESTLiveDataManagerTest, AStalledPollFailsWithinAMinuteAndTheNextTickPollsAgain)
{
    auto map = std::make_shared<MapBounds>();
    manager->setDelegate(map);
    parse(R"({"planes":{}})", true);
    // An answer that trickles in a byte every 20 s never goes idle long enough for the request
    // timeout; the whole poll is bounded all the same.
    URLStubSpec trickle = answer(kBase, std::string(1000, ' '));
    trickle.chunkSize = 1;
    trickle.chunkDelay = 20;
    auto stub = stubs.add(trickle);
    LogCapture logs;
    manager->startUpdateTimer();
    manager->handleTimerUpdate();
    clock.advance(16); // the first delta poll
    drainAll();
    ASSERT_EQ(stub->requestCount(), 1u);
    clock.advance(61);
    drainAll();
    EXPECT_EQ(logged(logs, "Live feed poll failed: NSURLErrorDomain -1001: "), 1u)
        << ::testing::PrintToString(logs.messages());
    EXPECT_GE(stub->requestCount(), 2u);
    manager->stopUpdateTimer();
}

TEST(KESTPlaneAnswer, TextFieldsAreBoundedToASaneLength)
{
    const std::string huge(200000, 'C');
    const std::string accented = std::string(63, 'a') + "\xC3\xA9"; // the cut falls inside "é"
    std::string body = R"({"planes":{"A1":["B738","LHR-JFK","G-ABCD",")" + huge
        + R"(",51,-1.5,35000,90,450,1388534390,"1234",0,")" + accented + R"("]}})";
    for (auto answer : { KESTPlaneAnswer::decode(body), KESTPlaneAnswer::fromJSONObject(decode(body)) }) {
        ASSERT_TRUE(answer);
        auto records = answer->records();
        ASSERT_EQ(records.size(), 1u);
        ASSERT_TRUE(records[0].fields);
        const auto& fields = *records[0].fields;
        EXPECT_EQ(fields.callsign, std::string(KESTPlaneAnswer::kMaximumTextFieldBytes, 'C'));
        EXPECT_EQ(fields.fltno, std::string(63, 'a'));
        EXPECT_EQ(fields.route, "LHR-JFK");
    }
}

} // namespace
