#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "uikit/UIPopoverController.h"
#include "uikit/UITouch.h"
#include "uikit/UIViewController.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

EventRecorder s_log;

class ContentController : public UIViewController {
    VX_OBJECT(ContentController, UIViewController)
public:
    explicit ContentController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<ContentController> init() { return makeController<ContentController>({}, nullptr); }
    void viewWillAppear(bool) override { s_log.add("willAppear"); }
    void viewDidAppear(bool) override { s_log.add("didAppear"); }
    void viewWillDisappear(bool) override { s_log.add("willDisappear"); }
    void viewDidDisappear(bool) override { s_log.add("didDisappear"); }
};

class PopoverDelegate : public NSObject, public UIPopoverControllerDelegate {
    VX_OBJECT(PopoverDelegate, NSObject)
public:
    explicit PopoverDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<PopoverDelegate> init() { return make<PopoverDelegate>(); }
    bool popoverControllerShouldDismissPopover(const Ref<UIPopoverController>&) override
    {
        s_log.add("should dismiss");
        return allow;
    }
    void popoverControllerDidDismissPopover(const Ref<UIPopoverController>&) override { s_log.add("did dismiss"); }
    bool allow { false };
};

// Records touches that get through.
class TouchRecorder : public UIView {
    VX_OBJECT(TouchRecorder, UIView)
public:
    explicit TouchRecorder(Passkey key)
        : UIView(key)
    {
    }
    static Ref<TouchRecorder> initWithFrame(CGRect f) { return makeView<TouchRecorder>(f); }
    void touchesBegan(const UITouchSet&, const Ref<UIEvent>&) override { s_log.add("passthrough touched"); }
    void touchesEnded(const UITouchSet&, const Ref<UIEvent>&) override { }
};

} // namespace

class UIPopoverControllerTest : public HostedWindowTest {
protected:
    void SetUp() override
    {
        HostedWindowTest::SetUp();
        s_log.take();
    }
};

TEST_F(UIPopoverControllerTest, PlacesMovesAndDismissesOnlyTellingUserChoices)
{
    auto window = makeKeyWindow();
    auto host = UIView::initWithFrame(window->bounds());
    window->addSubview(host);
    auto passthrough = TouchRecorder::initWithFrame(CGRectMake(700, 0, 68, 44));
    host->addSubview(passthrough);

    auto content = ContentController::init();
    content->setPreferredContentSize(CGSizeMake(320, 300));
    auto popover = UIPopoverController::initWithContentViewController(content);
    auto delegate = PopoverDelegate::init();
    popover->setDelegate(delegate.get(), delegate);
    popover->setPassthroughViews({ passthrough });

    struct Case {
        CGRect anchor;
        UIPopoverArrowDirection permitted;
        UIPopoverArrowDirection expected;
    };
    const Case cases[] = {
        { CGRectMake(300, 20, 44, 44), UIPopoverArrowDirectionAny, UIPopoverArrowDirectionUp },
        { CGRectMake(300, 950, 44, 44), UIPopoverArrowDirectionAny, UIPopoverArrowDirectionDown },
        { CGRectMake(20, 500, 44, 44), UIPopoverArrowDirectionLeft | UIPopoverArrowDirectionRight,
            UIPopoverArrowDirectionLeft },
        { CGRectMake(700, 500, 44, 44), UIPopoverArrowDirectionLeft | UIPopoverArrowDirectionRight,
            UIPopoverArrowDirectionRight },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        popover->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(c.anchor, host, c.permitted, true);
        EXPECT_TRUE(popover->isPopoverVisible());
        EXPECT_EQ(c.expected, popover->popoverArrowDirection());
        CGRect frame = popover->popoverFrame();
        EXPECT_EQ(320, frame.size.width);
        EXPECT_FALSE(CGRectIntersectsRect(frame, c.anchor)) << NSStringFromCGRect(frame);
        EXPECT_TRUE(CGRectContainsRect(window->bounds(), frame));
    }
    m_clock.advance(UIViewControllerTransitionDuration);
    EXPECT_THAT(s_log.take(), ElementsAre("willAppear", "didAppear")) << "moving is not appearing again";

    // Touches on passthrough views go through; elsewhere they ask the delegate.
    UIApplicationHost::tap(CGPointMake(720, 20));
    UIApplicationHost::tap(CGPointMake(100, 100));
    drainAll();
    EXPECT_THAT(s_log.take(), ElementsAre("passthrough touched", "should dismiss"));
    EXPECT_TRUE(popover->isPopoverVisible());

    delegate->allow = true;
    UIApplicationHost::tap(CGPointMake(100, 100));
    EXPECT_THAT(s_log.take(), ElementsAre("should dismiss", "willDisappear"));
    m_clock.advance(UIViewControllerTransitionDuration);
    EXPECT_THAT(s_log.take(), ElementsAre("didDisappear", "did dismiss"));
    EXPECT_FALSE(popover->isPopoverVisible());
    EXPECT_EQ(nullptr, content->view()->superview());

    // Dismissing in code does not reach the delegate. Dismissed before it finished appearing,
    // the content never claims to have appeared.
    popover->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
        CGRectMake(300, 20, 44, 44), host, UIPopoverArrowDirectionAny, false);
    popover->dismissPopoverAnimated(false);
    drainAll();
    EXPECT_THAT(s_log.take(), ElementsAre("willAppear", "willDisappear", "didDisappear"));
}
