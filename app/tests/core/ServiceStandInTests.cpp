#include "app/application/KESTAppDelegate.h"
#include "app/core/KESTAlertManager.h"
#include "app/core/KESTFilterDataManager.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTMessagingManager.h"
#include "app/core/KESTPlane.h"
#include "app/core/RatePrompt.h"
#include "app/tests/AppTestSupport.h"
#include "app/view-controllers/menu/KESTMenuActivityProvider.h"
#include "coredata/NSManagedObject.h"
#include "coredata/NSManagedObjectContext.h"
#include "foundation/NSBundle.h"
#include "graphics/UIImage.h"
#include "net/NSURL.h"
#include "testing/Drain.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"
#include "uikit/UIActivity.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIButton.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIScrollView.h"
#include "uikit/UIWindow.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

namespace {

struct SourceBundle {
    SourceBundle() { NSBundle::setMainBundlePath(VX_SOURCE_DIR "/resources"); }
    ~SourceBundle() { NSBundle::setMainBundlePath({}); }
};

TEST(RatePrompt, CountsUsesPerBuildAndAsksOnceTheThresholdsPass)
{
    AppTestScope scope;
    SourceBundle bundle;
    ScopedVirtualClock clock;
    UIApplicationHost::resetForTesting();
    RatePrompt::resetForTesting();
    RatePrompt::setDaysUntilPrompt(3.0);
    RatePrompt::setUsesUntilPrompt(10);
    RatePrompt::setTimeBeforeReminding(3.0);
    auto defaults = NSUserDefaults::standardUserDefaults();

    // Ten uses within three days: no alert.
    for (int i = 0; i < 10; ++i)
        RatePrompt::appLaunched(true);
    drainAll();
    EXPECT_EQ(defaults->integerForKey("kRatePromptUseCount"), 10);
    EXPECT_EQ(defaults->stringForKey("kRatePromptCurrentVersion").stringValue(), "7.0.0");
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());

    // The eleventh use after three days asks; "Remind me later" waits three more days.
    clock.advance(3 * 86400 + 1);
    RatePrompt::appEnteredForeground(false);
    drainAll();
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty()) << "not allowed to ask";
    RatePrompt::appEnteredForeground(true);
    drainAll();
    auto alerts = UIAlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0]->title(), "Rate Volantrix");
    EXPECT_EQ(alerts[0]->buttonTitleAtIndex(2), "Remind me later");
    alerts[0]->tapButtonAtIndex(2);
    clock.advance(1);
    drainAll();
    EXPECT_GT(defaults->doubleForKey("kRatePromptReminderRequestDate"), 0);
    EXPECT_FALSE(RatePrompt::sharedInstance()->ratingConditionsHaveBeenMet());
    clock.advance(3 * 86400 + 1);
    EXPECT_TRUE(RatePrompt::sharedInstance()->ratingConditionsHaveBeenMet());

    // "No, Thanks" ends it for this build; a new build starts afresh.
    RatePrompt::sharedInstance()->showRatingAlert();
    UIAlertView::visibleAlerts().back()->tapButtonAtIndex(0);
    clock.advance(1);
    drainAll();
    EXPECT_FALSE(RatePrompt::sharedInstance()->ratingConditionsHaveBeenMet());
    defaults->setObjectForKey(Value("6.0.0"), "kRatePromptCurrentVersion");
    RatePrompt::sharedInstance()->incrementUseCount();
    EXPECT_EQ(defaults->integerForKey("kRatePromptUseCount"), 1);
    EXPECT_FALSE(defaults->boolForKey("kRatePromptDeclinedToRate"));
    RatePrompt::resetForTesting();
    UIApplicationHost::resetForTesting();
}

// Records what the poller asks of its delegate.
class PollDelegate : public NSObject, public KESTMessagingManagerDelegate {
    VX_OBJECT(PollDelegate, NSObject)
public:
    explicit PollDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<PollDelegate> init() { return make<PollDelegate>(); }
    void messagingManageRequestedLaunchOfURLWithCloseButtonAndTimeOut(
        const Ref<NSURL>& url, bool withCloseButton, int32_t timeOut) override
    {
        calls.push_back(
            "launch " + url->absoluteString() + (withCloseButton ? " close " : " ") + std::to_string(timeOut));
    }
    void messagingManagerDidClose() override { calls.push_back("closed"); }
    std::vector<std::string> calls;
};

TEST(KESTMessagingManager, ShowsOnlyNewerPages)
{
    struct Case {
        const char* name;
        int32_t storedVersion, storedMessage;
        std::string answer; // JSON; "" for a failed request
        std::vector<std::string> calls;
        int32_t versionAfter, messageAfter;
    };
    const Case cases[] = {
        { "first version is only remembered", 0, 0,
            R"({"version":{"latestVersion":12,"versionURL":"http://x.invalid/v"}})", { "closed" }, 12, 0 },
        { "newer version", 12, 0, R"({"version":{"latestVersion":13,"versionURL":"http://x.invalid/v"}})",
            { "launch http://x.invalid/v close 0" }, 13, 0 },
        { "older version", 12, 0, R"({"version":{"latestVersion":11,"versionURL":"http://x.invalid/v"}})", { "closed" },
            11, 0 },
        { "newer message as text", 0, 40, R"({"message":{"messageID":"41","messageURL":"http://x.invalid/m"}})",
            { "launch http://x.invalid/m close 5" }, 0, 41 },
        { "version wins over message", 12, 40,
            R"({"version":{"latestVersion":12,"versionURL":"u"},"message":{"messageID":50,"messageURL":"m"}})",
            { "closed" }, 12, 40 },
        { "empty answer", 5, 5, "{}", {}, 5, 5 },
        { "neither entry", 5, 5, R"({"other":1})", {}, 5, 5 },
        { "not an object", 5, 5, "[1,2]", {}, 5, 5 },
        { "entry not an object", 5, 5, R"({"version":7})", {}, 5, 5 },
        { "failed request", 5, 5, "", {}, 5, 5 },
        // Numbers that are not numbers leave the remembered ones alone, as a malformed entry does.
        { "version not numeric", 12, 0, R"({"version":{"latestVersion":"abc","versionURL":"http://x.invalid/v"}})", {},
            12, 0 },
        { "version empty text", 12, 0, R"({"version":{"latestVersion":"","versionURL":"http://x.invalid/v"}})", {}, 12,
            0 },
        { "message number with trailing text", 0, 40,
            R"({"message":{"messageID":"41st","messageURL":"http://x.invalid/m"}})", {}, 0, 40 },
        { "message number an object", 0, 40, R"({"message":{"messageID":{"n":41},"messageURL":"http://x.invalid/m"}})",
            {}, 0, 40 },
        { "message number missing", 0, 40, R"({"message":{"messageURL":"http://x.invalid/m"}})", {}, 0, 40 },
        // Only web pages and the application's own links are opened.
        { "https page", 12, 0, R"({"version":{"latestVersion":13,"versionURL":"HTTPS://x.invalid/v"}})",
            { "launch HTTPS://x.invalid/v close 0" }, 13, 0 },
        { "own scheme", 0, 40, R"({"message":{"messageID":41,"messageURL":"vxvolantrix://flight/BA117"}})",
            { "launch vxvolantrix://flight/BA117 close 5" }, 0, 41 },
        { "telephone link", 12, 0, R"({"version":{"latestVersion":13,"versionURL":"tel:+441234567890"}})", { "closed" },
            13, 0 },
        { "file link", 0, 40, R"({"message":{"messageID":41,"messageURL":"file:///etc/passwd"}})", { "closed" }, 0,
            41 },
        { "script link", 0, 40, R"j({"message":{"messageID":41,"messageURL":"javascript:alert(1)"}})j", { "closed" }, 0,
            41 },
        { "other application's scheme", 12, 0, R"({"version":{"latestVersion":13,"versionURL":"otherapp://open"}})",
            { "closed" }, 13, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AppTestScope scope;
        SourceBundle bundle;
        ScopedVirtualClock clock;
        auto defaults = NSUserDefaults::standardUserDefaults();
        defaults->setInteger(c.storedVersion, "kLastVersionUpdateSeen");
        defaults->setInteger(c.storedMessage, "kkestravonLastMessage");
        URLStubs stubs;
        URLStubSpec spec;
        spec.url = "http://feed.invalid/APPAPIv2/KESTPoll/kestPOLL.php";
        spec.matchPrefix = true;
        spec.headers = { { "Content-Type", "application/json" } };
        spec.body = c.answer;
        if (c.answer.empty())
            spec.statusCode = 500;
        auto stub = stubs.add(spec);
        KESTLiveDataManager::setServiceBaseURL("http://feed.invalid/");

        auto delegate = PollDelegate::init();
        Weak<KESTMessagingManager> weak;
        {
            auto poller = KESTMessagingManager::initWithDelegate(delegate.get(), delegate);
            weak = poller;
            poller->fetchLatestMessage();
        }
        EXPECT_FALSE(weak.expired()) << "a poll in flight keeps its poller";
        drainAll();
        EXPECT_TRUE(weak.expired());
        EXPECT_EQ(delegate->calls, c.calls);
        EXPECT_EQ(defaults->integerForKey("kLastVersionUpdateSeen"), c.versionAfter);
        EXPECT_EQ(defaults->integerForKey("kkestravonLastMessage"), c.messageAfter);
        ASSERT_EQ(stub->requestCount(), 1u);
        auto request = stub->requests()[0];
        EXPECT_EQ(request.method, "POST");
        EXPECT_EQ(request.url,
            "http://feed.invalid/APPAPIv2/KESTPoll/kestPOLL.php?bundleID="
                + NSBundle::mainBundle()->bundleIdentifier().value_or("")
                + "&lastMessage=" + std::to_string(c.storedMessage) + "&seenVersion=" + std::to_string(c.storedVersion)
                + "&currentVersion=7.0.0");
    }
}

TEST(KESTMenuActivityProvider, NamesThePlaneOrTheApplication)
{
    SourceBundle bundle;
    auto withFlight = KESTPlane::initWithAdshexAndInfo("400A0B",
        Value::array({ Value("A320"), Value("LHR-JFK"), Value("G-EUUA"), Value("BAW117"), Value(51.5), Value(-0.4),
            Value(30000), Value(270), Value(450), Value(1.0), Value("1234"), Value(0), Value("BA117") }));
    auto withoutFlight = KESTPlane::initWithAdshexAndInfo("400A0C",
        Value::array({ Value("A320"), Value("LHR-JFK"), Value("G-EUUB"), Value("BAW118"), Value(51.5), Value(-0.4),
            Value(30000), Value(270), Value(450), Value(1.0), Value("1234"), Value(0), Value("") }));
    ASSERT_TRUE(withFlight);
    ASSERT_TRUE(withoutFlight);
    struct Case {
        Ref<KESTPlane> plane;
        const char* activity;
        const char* text;
    };
    const Case cases[] = {
        { withFlight, UIActivityTypePostToTwitter, "Spotted! G-EUUA (BA117) using @volantrix" },
        { withFlight, UIActivityTypeMail, "Spotted! G-EUUA (BA117) using Volantrix" },
        { withoutFlight, UIActivityTypeMessage, "Spotted! G-EUUB (BAW118) using Volantrix" },
        { nullptr, UIActivityTypePostToTwitter, "I'm using @volantrix!" },
        { nullptr, UIActivityTypePostToFacebook, "I'm using Volantrix!" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto provider = KESTMenuActivityProvider::init();
        provider->setPlane(c.plane);
        EXPECT_EQ(provider->activityViewControllerItemForActivityType(nullptr, c.activity).stringValue(), c.text);
        EXPECT_EQ(provider->activityViewControllerPlaceholderItem(nullptr).stringValue(), "");
    }
}

} // namespace
