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

} // namespace
