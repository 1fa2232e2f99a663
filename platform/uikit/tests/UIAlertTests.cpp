#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "uikit/UIActionSheet.h"
#include "uikit/UIActivityViewController.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIViewController.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

EventRecorder s_log;

class SheetDelegate : public NSObject, public UIAlertViewDelegate, public UIActionSheetDelegate {
    VX_OBJECT(SheetDelegate, NSObject)
public:
    explicit SheetDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<SheetDelegate> init() { return make<SheetDelegate>(); }
    void alertViewClickedButtonAtIndex(const Ref<UIAlertView>& a, int32_t i) override { note(a->tag(), "clicked", i); }
    void willPresentAlertView(const Ref<UIAlertView>& a) override { note(a->tag(), "willPresent", -1); }
    void didPresentAlertView(const Ref<UIAlertView>& a) override { note(a->tag(), "didPresent", -1); }
    void alertViewWillDismissWithButtonIndex(const Ref<UIAlertView>& a, int32_t i) override
    {
        note(a->tag(), "willDismiss", i);
    }
    void alertViewDidDismissWithButtonIndex(const Ref<UIAlertView>& a, int32_t i) override
    {
        note(a->tag(), "didDismiss", i);
    }
    void actionSheetClickedButtonAtIndex(const Ref<UIActionSheet>&, int32_t i) override { note(0, "sheet clicked", i); }
    void actionSheetDidDismissWithButtonIndex(const Ref<UIActionSheet>&, int32_t i) override
    {
        note(0, "sheet didDismiss", i);
    }

private:
    static void note(int32_t tag, const std::string& what, int32_t index)
    {
        s_log.add(std::to_string(tag) + " " + what + (index >= 0 ? " " + std::to_string(index) : ""));
    }
};

class CustomActivity : public UIActivity {
    VX_OBJECT(CustomActivity, UIActivity)
public:
    explicit CustomActivity(Passkey key)
        : UIActivity(key)
    {
    }
    static Ref<CustomActivity> init() { return make<CustomActivity>(); }
    std::string activityType() const override { return "com.kestravon.feedback"; }
    bool canPerformWithActivityItems(const std::vector<Value>& items) const override { return !items.empty(); }
    void prepareWithActivityItems(const std::vector<Value>& items) override
    {
        s_log.add("prepare " + items[0].description());
    }
    void performActivity() override { s_log.add("perform"); }
};

} // namespace

class UIAlertViewTest : public HostedWindowTest {
protected:
    void SetUp() override
    {
        HostedWindowTest::SetUp();
        s_log.take();
    }
};

TEST_F(UIAlertViewTest, AlertsAreRecordedAndAnsweredByTheTest)
{
    auto delegate = SheetDelegate::init();
    auto alert = UIAlertView::initWithTitle(
        "Error", "No connection", delegate.get(), delegate, "Dismiss", { "Retry", "Settings" });
    alert->setTag(7);
    EXPECT_EQ(0, alert->cancelButtonIndex());
    EXPECT_EQ(1, alert->firstOtherButtonIndex());
    EXPECT_EQ("Settings", alert->buttonTitleAtIndex(2));
    EXPECT_EQ("", alert->buttonTitleAtIndex(3));

    Weak<UIAlertView> weak = alert;
    alert->show();
    alert.reset();
    ASSERT_EQ(1u, UIAlertView::visibleAlerts().size()) << "a visible alert keeps itself";
    auto shown = UIAlertView::visibleAlerts().front();
    EXPECT_EQ("No connection", shown->message());
    drainAll();
    m_clock.advance(UIViewControllerTransitionDuration);
    shown->tapButtonAtIndex(1);
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
    shown->tapButtonAtIndex(1); // gone: nothing more
    m_clock.advance(UIViewControllerTransitionDuration);
    EXPECT_THAT(
        s_log.take(), ElementsAre("7 willPresent", "7 didPresent", "7 clicked 1", "7 willDismiss 1", "7 didDismiss 1"));

    // Dismissing in code does not click.
    auto second = UIAlertView::initWithTitle("t", "m", delegate.get(), delegate, "", { "OK" });
    second->show();
    second->dismissWithClickedButtonIndexAnimated(0, false);
    drainAll();
    EXPECT_THAT(s_log.take(), ElementsAre("0 willPresent", "0 willDismiss 0", "0 didDismiss 0"));
    EXPECT_EQ(-1, second->cancelButtonIndex());
    second.reset();
    shown.reset();
    EXPECT_TRUE(weak.expired()) << "a dismissed alert is not kept";

    auto sheet = UIActionSheet::initWithTitle("", delegate.get(), delegate, "Cancel", "Delete", { "Share", "Copy" });
    EXPECT_EQ(0, sheet->destructiveButtonIndex());
    EXPECT_EQ(1, sheet->firstOtherButtonIndex());
    EXPECT_EQ(3, sheet->cancelButtonIndex());
    auto anchor = UIView::initWithFrame(CGRectMake(0, 0, 100, 100));
    sheet->showFromRectInViewAnimated(CGRectMake(10, 10, 20, 20), anchor, true);
    ASSERT_EQ(1u, UIActionSheet::visibleActionSheets().size());
    EXPECT_EQ(anchor, sheet->shownFromView());
    sheet->tapOutside();
    m_clock.advance(UIViewControllerTransitionDuration);
    EXPECT_THAT(s_log.take(), ElementsAre("0 sheet clicked 3", "0 sheet didDismiss 3"));
}

TEST_F(UIAlertViewTest, ShareSheetRunsTheChosenActivity)
{
    auto window = makeKeyWindow();
    auto root = UIViewController::init();
    window->setRootViewController(root);

    struct Case {
        const char* choose;
        bool offered;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        { UIActivityTypeMail, true, { "done UIActivityTypeMail 1" } },
        { UIActivityTypePrint, false, {} },
        { "com.kestravon.feedback", true, { "prepare hello", "perform", "done com.kestravon.feedback 1" } },
        { "", false, { "done  0" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.choose);
        auto activity = CustomActivity::init();
        auto share = UIActivityViewController::initWithActivityItemsApplicationActivities({ "hello" }, { activity });
        share->setExcludedActivityTypes({ UIActivityTypePrint });
        share->setCompletionHandler([](const std::string& type, bool completed) {
            s_log.add("done " + type + " " + std::to_string(completed));
        });
        root->presentViewControllerAnimatedCompletion(share, true, nullptr);
        m_clock.advance(UIViewControllerTransitionDuration);
        if (*c.choose) {
            EXPECT_EQ(c.offered, share->chooseActivity(c.choose));
            if (std::string(c.choose) == "com.kestravon.feedback")
                activity->activityDidFinish(true);
        } else {
            share->cancel();
        }
        m_clock.advance(UIViewControllerTransitionDuration);
        EXPECT_THAT(s_log.take(), ::testing::ElementsAreArray(c.log));
        if (!c.offered)
            share->cancel();
        m_clock.advance(UIViewControllerTransitionDuration);
        s_log.take();
        EXPECT_EQ(nullptr, root->presentedViewController());
    }
}
