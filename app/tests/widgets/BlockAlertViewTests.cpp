#include "app/widgets/BlockAlertView.h"
#include "testing/Drain.h"
#include "testing/HostedWindow.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplicationHost.h"

#include <gtest/gtest.h>

namespace {

// No window: alerts bring their own. Leftover alert animations end before the reset.
struct AlertScope : HostedWindow {
    AlertScope()
        : HostedWindow(Window::None)
    {
        setSettleSeconds(1);
    }
};

TEST(BlockAlertView, HandlerGetsTheButtonOnceAndTheWrapperGoes)
{
    struct Case {
        std::vector<std::string> others;
        int32_t pressed;
        std::vector<std::string> buttons;
        bool isCancel;
    };
    const Case cases[] = {
        { { "OK" }, 0, { "Cancel", "OK" }, true },
        { { "OK" }, 1, { "Cancel", "OK" }, false },
        { { "One", "Two", "Three" }, 3, { "Cancel", "One", "Two", "Three" }, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pressed);
        AlertScope scope;
        std::vector<std::pair<int32_t, bool>> calls;
        Weak<BlockAlertView> weak;
        {
            auto wrapper = BlockAlertView::initWithTitleMessageCancelButtonTitleOtherButtonTitles(
                "Title", "Message", "Cancel", c.others);
            weak = wrapper;
            wrapper->showWithDismissHandler([&](int32_t index, bool isCancel) {
                calls.push_back({ index, isCancel });
            });
            EXPECT_EQ(wrapper->strongAlertReference(), wrapper);
        }
        // Nobody but the wrapper itself holds it while the alert is up.
        ASSERT_FALSE(weak.expired());
        auto alerts = UIAlertView::visibleAlerts();
        ASSERT_EQ(alerts.size(), 1u);
        std::vector<std::string> titles;
        for (int32_t i = 0; i < alerts[0]->numberOfButtons(); ++i)
            titles.push_back(alerts[0]->buttonTitleAtIndex(i));
        EXPECT_EQ(titles, c.buttons);
        EXPECT_EQ(alerts[0]->title(), "Title");
        EXPECT_EQ(alerts[0]->message(), "Message");

        alerts[0]->tapButtonAtIndex(c.pressed);
        alerts.clear();
        scope.clock().advance(1);
        drainAll();
        EXPECT_EQ(calls, (std::vector<std::pair<int32_t, bool>> { { c.pressed, c.isCancel } }));
        EXPECT_TRUE(weak.expired());
    }
}

TEST(BlockAlertView, AnAlertDismissedInCodeOrCancelledRunsNoHandlerAndLetsTheWrapperGo)
{
    AlertScope scope;
    int calls = 0;
    Weak<BlockAlertView> weak;
    {
        auto wrapper = BlockAlertView::initWithTitleMessageCancelButtonTitleOtherButtonTitles(
            "Title", "Message", "Cancel", { "OK" });
        weak = wrapper;
        wrapper->showWithDismissHandler([&](int32_t, bool) { ++calls; });
    }
    auto alerts = UIAlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    alerts[0]->dismissWithClickedButtonIndexAnimated(alerts[0]->cancelButtonIndex(), false);
    alerts.clear();
    scope.clock().advance(1);
    drainAll();
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(weak.expired());

    // Likewise when the system takes the alert away.
    {
        auto wrapper
            = BlockAlertView::initWithTitleMessageCancelButtonTitleOtherButtonTitles("Title", "Message", "Cancel", {});
        weak = wrapper;
        wrapper->showWithDismissHandler([&](int32_t, bool) { ++calls; });
    }
    UIApplicationHost::resetForTesting();
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(weak.expired());
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
}

TEST(BlockAlertView, ANullHandlerStillReleasesTheWrapper)
{
    AlertScope scope;
    Weak<BlockAlertView> weak;
    Weak<BlockAlertView> neverShown;
    {
        auto wrapper
            = BlockAlertView::initWithTitleMessageCancelButtonTitleOtherButtonTitles("T", "M", "Cancel", { "OK" });
        weak = wrapper;
        wrapper->showWithDismissHandler(nullptr);
        neverShown = BlockAlertView::initWithTitleMessageCancelButtonTitleOtherButtonTitles("T", "M", "Cancel", {});
    }
    EXPECT_TRUE(neverShown.expired()) << "a wrapper that is never shown holds no reference to itself";
    auto alerts = UIAlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    alerts[0]->tapButtonAtIndex(1);
    alerts.clear();
    scope.clock().advance(1);
    drainAll();
    EXPECT_TRUE(weak.expired());
}

} // namespace
