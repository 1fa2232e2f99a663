#include "app/application/KESTAppDelegate.h"

#include "app/tests/map/MapTestSupport.h"
#include "app/view-controllers/map/KESTMapContainerViewController.h"
#include "app/view-controllers/map/KESTMapViewController.h"
#include "foundation/NSUserDefaults.h"
#include "testing/LogCapture.h"
#include "testing/URLStubs.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIApplicationHost.h"

#include <gtest/gtest.h>

TEST(KESTAppDelegateEntryPoints, ParsesQueryStringsSkippingMalformedParts)
{
    struct Case {
        std::optional<std::string> query;
        std::vector<std::pair<std::string, std::string>> expected;
    };
    const Case cases[] = {
        { std::nullopt, {} },
        { "a=1&a=2", { { "a", "2" } } },
        { "name=a%20b", { { "name", "a b" } } },
        { "plus=a+b", { { "plus", "a+b" } } },
        { "flight=BA1&markerdebug=1", { { "flight", "BA1" }, { "markerdebug", "1" } } },
        // Parts without "=" and parts with a broken escape are left out; the rest is kept.
        { "lonely&bad=%zz&ok=1&%e9=x", { { "ok", "1" } } },
        { "empty=", { { "empty", "" } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query.value_or("(none)"));
        Value result = KESTAppDelegate::parseQueryString(c.query);
        ASSERT_EQ(result.count(), c.expected.size());
        for (const auto& [key, value] : c.expected)
            EXPECT_EQ(result[key].stringValue(), value);
    }
}

namespace {

class KESTAppDelegateEntryPointsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        feed = stubs.add(quietFeedStub());
        UIApplicationHost::resetForTesting();
        app = KESTAppDelegate::init();
        application = UIApplicationHost::launchWithDelegate(app);
        ASSERT_TRUE(application);
        drainAll();
        scope.clock().advance(10);
    }
    void TearDown() override
    {
        for (const auto& alert : UIAlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndexAnimated(alert->cancelButtonIndex(), false);
        if (auto container = std::dynamic_pointer_cast<KESTMapContainerViewController>(app->mapContainerVC()))
            container->teardownVisibleMapController();
        KESTLiveDataManager::sharedInstance()->invalidateTimers();
        drainAll();
        UIApplicationHost::resetForTesting();
    }

    size_t backgroundPolls() const
    {
        size_t n = 0;
        for (const auto& record : stubs.allRequests())
            n += record.url.find("background=1") != std::string::npos;
        return n;
    }

    MapTestScope scope;
    URLStubs stubs;
    Ref<URLStub> feed;
    Ref<KESTAppDelegate> app;
    Ref<UIApplication> application;
};

Value pushPayload(const Value& custom, const Value& locArgs)
{
    return Value::dictionary({
        { Value("aps"),
            Value::dictionary({ { Value("alert"),
                Value::dictionary(
                    { { Value("loc-key"), Value("Flight %@ from %@ at %@") }, { Value("loc-args"), locArgs } }) } }) },
        { Value("custom"), custom },
    });
}

// The visible alerts that are (or are not) the "Not currently tracked" alert.
std::vector<Ref<UIAlertView>> notTrackedAlerts(bool wanted)
{
    std::vector<Ref<UIAlertView>> out;
    for (const auto& alert : UIAlertView::visibleAlerts()) {
        if ((alert->title() == "Not currently tracked") == wanted)
            out.push_back(alert);
    }
    return out;
}

} // namespace

TEST_F(KESTAppDelegateEntryPointsTest, LinksSearchFlightsAndSetMarkerDebug)
{
    // The link's full poll is answered only once the clock has moved on, so the pending search
    // can be seen before the answer serves it.
    URLStubSpec slowFeed;
    slowFeed.url = "http://feed.invalid/APPAPIv2/planeUpdate.php";
    slowFeed.matchPrefix = true;
    slowFeed.body = R"({"planes":{}})";
    slowFeed.delay = 5;
    stubs.add(slowFeed);
    LogCapture log;
    EXPECT_TRUE(UIApplicationHost::openURL("vxvolantrix://open?flight=ABC123"));
    EXPECT_EQ(KESTLiveDataManager::sharedInstance()->searchDictionary()["callsign"].stringValue(), "ABC123");
    KESTLiveDataManager::sharedInstance()->invalidateTimers();
    scope.clock().advance(6);
    // No plane has that callsign: the answer serves the search by saying so.
    EXPECT_TRUE(KESTLiveDataManager::sharedInstance()->searchDictionary().isNil());
    auto notTracked = UIAlertView::visibleAlerts();
    ASSERT_EQ(notTracked.size(), 1u);
    EXPECT_EQ(notTracked[0]->title(), "Not currently tracked");
    EXPECT_EQ(notTracked[0]->message(), "This flight is out of range or not currently tracked.");
    EXPECT_EQ(notTracked[0]->buttonTitleAtIndex(notTracked[0]->cancelButtonIndex()), "Continue");
    EXPECT_TRUE(UIApplicationHost::openURL("vxvolantrixbeta://open?markerdebug=1"));
    Value stored = NSUserDefaults::standardUserDefaults()->objectForKey("kMarkerDebug");
    EXPECT_TRUE(stored.isString());
    EXPECT_EQ(stored.stringValue(), "1");
    // A foreign scheme is accepted and ignored; a malformed escape changes nothing.
    EXPECT_TRUE(UIApplicationHost::openURL("https://example.invalid/?flight=XYZ"));
    drainAll();
    EXPECT_TRUE(UIApplicationHost::openURL("vxvolantrix://open?flight=%E9"));
    EXPECT_TRUE(KESTLiveDataManager::sharedInstance()->searchDictionary()["callsign"].isNil());
}

TEST_F(KESTAppDelegateEntryPointsTest, EveryPushAnswersThePlatformExactlyOnce)
{
    struct Case {
        const char* name;
        bool active;
        Value custom;
        Value locArgs;
        // -1: press nothing (no alert expected); else the alert button to press.
        int press;
        std::string alertMessage;
        uint32_t expectedResult;
        bool backgroundPoll;
    };
    const Case cases[] = {
        // A chart message shows the chart alert and answers "no new data" at once.
        { "chart", true, Value::dictionary({ { Value("chart"), Value(1) }, { Value("message"), Value("New charts") } }),
            Value::array(), -1, "New charts", 1, false },
        // Active with too few arguments: the missing ones are empty; "Cancel" answers 1.
        { "active cancel", true, Value::dictionary({ { Value("adshex"), Value("ABC") } }), Value::array({ "BA1" }), 0,
            "Flight BA1 from  at ", 1, false },
        { "active view", true, Value::dictionary({ { Value("adshex"), Value("ABC") } }),
            Value::array({ "BA1", "LHR", "10:00", "extra" }), 1, "Flight BA1 from LHR at 10:00", 0, true },
        // Not active: the background poll runs at once and its result is the answer.
        { "inactive", false, Value::dictionary({ { Value("adshex"), Value("DEF") } }), Value::array(), -1, "", 0,
            true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UIAlertView::resetForTesting();
        if (c.active)
            UIApplicationHost::becomeActive();
        else
            UIApplicationHost::resignActive();
        scope.clock().advance(10);
        size_t pollsBefore = backgroundPolls();
        std::vector<uint32_t> results;
        UIApplicationHost::deliverRemoteNotification(
            pushPayload(c.custom, c.locArgs), [&](UIBackgroundFetchResult result) { results.push_back(result); });
        drainAll();
        // The push's own alert; a poll that cannot find the pushed plane says so in another.
        auto alerts = notTrackedAlerts(false);
        if (!c.alertMessage.empty()) {
            ASSERT_EQ(alerts.size(), 1u);
            EXPECT_EQ(alerts[0]->message(), c.alertMessage);
            if (c.press >= 0)
                alerts[0]->tapButtonAtIndex(c.press);
            else
                alerts[0]->dismissWithClickedButtonIndexAnimated(alerts[0]->cancelButtonIndex(), false);
        } else {
            EXPECT_TRUE(alerts.empty());
        }
        scope.clock().advance(1);
        drainAll();
        EXPECT_EQ(results, std::vector<uint32_t> { c.expectedResult });
        EXPECT_EQ(backgroundPolls() > pollsBefore, c.backgroundPoll);
        EXPECT_EQ(notTrackedAlerts(true).size(), c.backgroundPoll ? 1u : 0u);
    }
}

TEST_F(KESTAppDelegateEntryPointsTest, BackgroundFetchRunsOneDeltaPollAndAnswersOnce)
{
    std::vector<uint32_t> results;
    UIApplicationHost::performBackgroundFetch([&](UIBackgroundFetchResult result) { results.push_back(result); });
    scope.clock().advance(1);
    drainAll();
    EXPECT_EQ(results.size(), 1u);
}
