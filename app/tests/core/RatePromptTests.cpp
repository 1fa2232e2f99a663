#include "app/core/RatePrompt.h"

#include "app/tests/AppTestSupport.h"
#include "foundation/NSUserDefaults.h"
#include "sysconfig/SCNetworkReachability.h"
#include "testing/Drain.h"
#include "testing/LogCapture.h"
#include "testing/VirtualClock.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIApplication.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIDevice.h"
#include "uikit/UIWindow.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

class RatePromptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UIApplicationHost::resetForTesting();
        RatePrompt::resetForTesting();
        RatePrompt::setAppId("900000017");
        m_window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        m_root = UIViewController::init();
        m_window->setRootViewController(m_root);
        m_window->makeKeyAndVisible();
    }
    void TearDown() override
    {
        drainAll();
        SCNetworkReachability::setFlagsSourceForTesting(nullptr);
        UIDevice::currentDevice()->setSystemVersion("7.1");
        UIAlertView::resetForTesting();
        RatePrompt::resetForTesting();
        UIApplicationHost::resetForTesting();
    }
    void flags(std::optional<SCNetworkReachabilityFlags> value)
    {
        SCNetworkReachability::setFlagsSourceForTesting(
            [value](const SCNetworkReachability::Target&) { return value; });
    }
    AppTestScope m_scope;
    ScopedVirtualClock m_clock;
    Ref<UIWindow> m_window;
    Ref<UIViewController> m_root;
};

TEST_F(RatePromptTest, TheAlertNeedsTheNetwork)
{
    struct Case {
        const char* name;
        std::optional<SCNetworkReachabilityFlags> flags;
        bool connected;
    } cases[] = {
        { "unreadable", std::nullopt, false },
        { "not reachable", 0, false },
        { "connection required", kSCNetworkReachabilityFlagsReachable | kSCNetworkReachabilityFlagsConnectionRequired,
            false },
        { "reachable", kSCNetworkReachabilityFlagsReachable, true },
        { "transient", kSCNetworkReachabilityFlagsTransientConnection, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        flags(c.flags);
        LogCapture log;
        EXPECT_EQ(RatePrompt::sharedInstance()->connectedToNetwork(), c.connected);
        EXPECT_EQ(log.contains("Error. Could not recover network reachability flags"), !c.flags.has_value());
    }
    // In debug mode the conditions always hold, but without the network there is no alert; the
    // use is counted all the same.
    RatePrompt::setDebug(true);
    flags(0);
    RatePrompt::appLaunched(true);
    drainAll();
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
    EXPECT_EQ(NSUserDefaults::standardUserDefaults()->integerForKey("kRatePromptUseCount"), 1);
    flags(kSCNetworkReachabilityFlagsReachable);
    RatePrompt::appLaunched(true);
    drainAll();
    EXPECT_EQ(UIAlertView::visibleAlerts().size(), 1u);
    // Resigning active hides it without recording a choice.
    NSNotificationCenter::defaultCenter()->postNotificationName(UIApplicationWillResignActiveNotification, nullptr);
    drainAll();
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
    EXPECT_FALSE(RatePrompt::sharedInstance()->userHasDeclinedToRate());
}

TEST_F(RatePromptTest, RatingOpensTheStore)
{
    auto application = UIApplication::sharedApplication();
    ASSERT_TRUE(application);
    RatePrompt::rateApp();
    EXPECT_TRUE(RatePrompt::sharedInstance()->userHasRatedCurrentVersion());
    ASSERT_EQ(application->openedURLs().size(), 1u);
    EXPECT_EQ(application->openedURLs()[0], "itms-apps://apps.store.invalid/app/id900000017");

    UIDevice::currentDevice()->setSystemVersion("6.1");
    RatePrompt::rateApp();
    EXPECT_EQ(application->openedURLs().back(),
        "itms-apps://apps.store.invalid/WebObjects/MZStore.woa/wa/viewContentsUserReviews?type=Purple+Software&id="
        "900000017");

    // Inside the application: the product sheet over the top-most screen, closed by its delegate.
    RatePrompt::setOpenInAppStore(false);
    RatePrompt::rateApp();
    drainAll();
    m_clock.advance(1);
    drainAll();
    auto sheet = std::dynamic_pointer_cast<SKStoreProductViewController>(m_root->presentedViewController());
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->loadedParameters().at(0)[SKStoreProductParameterITunesItemIdentifier], Value(900000017));
    EXPECT_TRUE(RatePrompt::modalOpen());
    sheet->finish();
    m_clock.advance(1);
    drainAll();
    EXPECT_FALSE(RatePrompt::modalOpen());
    EXPECT_FALSE(m_root->presentedViewController());
}

TEST_F(RatePromptTest, ANewBuildCountedThroughAnEventLeavesTheFirstUseUnset)
{
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setObjectForKey(Value("1.0.0"), "kRatePromptCurrentVersion");
    defaults->setDouble(12345, "kRatePromptFirstUseDate");
    RatePrompt::sharedInstance()->incrementSignificantEventCount();
    EXPECT_EQ(defaults->doubleForKey("kRatePromptFirstUseDate"), 0);
    EXPECT_EQ(defaults->integerForKey("kRatePromptSignificantEventCount"), 1);
    RatePrompt::sharedInstance()->incrementUseCount();
    EXPECT_EQ(defaults->doubleForKey("kRatePromptFirstUseDate"), VirtualClock::defaultWallEpoch);
}

// Records what the prompt tells its delegate.
class RecordingRateDelegate : public RatePromptDelegate {
public:
    void ratePromptDidDisplayAlert(const Ref<RatePrompt>& prompt) override { heard("displayed", prompt); }
    void ratePromptDidDeclineToRate(const Ref<RatePrompt>& prompt) override { heard("declined", prompt); }
    void ratePromptDidOptToRate(const Ref<RatePrompt>& prompt) override { heard("rate", prompt); }
    void ratePromptDidOptToRemindLater(const Ref<RatePrompt>& prompt) override { heard("later", prompt); }
    void ratePromptWillPresentModalViewAnimated(const Ref<RatePrompt>& prompt, bool animated) override
    {
        heard(std::string("will present") + (animated ? " animated" : ""), prompt);
    }
    void ratePromptDidDismissModalViewAnimated(Class prompt, bool animated) override
    {
        calls.push_back(std::string("dismissed") + (animated ? " animated" : "")
            + (prompt == RatePrompt::classObject() ? "" : " (not the class)"));
    }
    void heard(const std::string& what, const Ref<RatePrompt>& prompt)
    {
        calls.push_back(what + (prompt == RatePrompt::sharedInstance() ? "" : " (not the shared prompt)"));
    }
    std::vector<std::string> calls;
};

// The delegate set on the class hears the alert, each of its three answers and the product
// sheet; a delegate that answers nothing (every operation is optional) changes nothing.
TEST_F(RatePromptTest, TellsItsDelegateWhatTheUserChose)
{
    flags(kSCNetworkReachabilityFlagsReachable);
    struct Case {
        const char* name;
        int32_t button;
        std::vector<std::string> calls;
    } cases[] = {
        { "no, thanks", 0, { "displayed", "declined" } },
        { "rate", 1, { "displayed", "will present animated", "rate", "dismissed animated" } },
        { "remind me later", 2, { "displayed", "later" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RatePrompt::resetForTesting();
        RatePrompt::setAppId("900000017");
        RatePrompt::setOpenInAppStore(false);
        auto delegate = std::make_shared<RecordingRateDelegate>();
        RatePrompt::setDelegate(delegate);
        RatePrompt::setDebug(true);
        RatePrompt::appLaunched();
        drainAll();
        auto alerts = UIAlertView::visibleAlerts();
        ASSERT_EQ(alerts.size(), 1u);
        alerts[0]->tapButtonAtIndex(c.button);
        m_clock.advance(1);
        drainAll();
        if (auto sheet = std::dynamic_pointer_cast<SKStoreProductViewController>(m_root->presentedViewController())) {
            sheet->finish();
            m_clock.advance(1);
            drainAll();
        }
        EXPECT_EQ(delegate->calls, c.calls);
    }
    // Without a delegate, and with one that overrides nothing, the alert still works.
    RatePrompt::resetForTesting();
    class Silent : public RatePromptDelegate { };
    auto silent = std::make_shared<Silent>();
    RatePrompt::setDelegate(silent);
    RatePrompt::setDebug(true);
    RatePrompt::appLaunched();
    drainAll();
    ASSERT_EQ(UIAlertView::visibleAlerts().size(), 1u);
    UIAlertView::visibleAlerts()[0]->tapButtonAtIndex(0);
    drainAll();
    EXPECT_TRUE(RatePrompt::sharedInstance()->userHasDeclinedToRate());
}

} // namespace
