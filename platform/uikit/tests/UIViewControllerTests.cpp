#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "foundation/NSException.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINib.h"
#include "uikit/UIPopoverController.h"
#include "uikit/UITabBarController.h"
#include "uikit/UIViewController.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Entries = std::vector<std::string>;

namespace {

EventRecorder s_log;

class RecordingController : public UIViewController {
    VX_OBJECT(RecordingController, UIViewController)
public:
    explicit RecordingController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<RecordingController> named(const std::string& name, const std::string& nib = {})
    {
        auto c = makeController<RecordingController>(nib, nullptr);
        c->m_name = name;
        return c;
    }
    void viewDidLoad() override { s_log.add(m_name + " didLoad"); }
    void viewWillAppear(bool animated) override { s_log.add(m_name + " willAppear" + (animated ? " animated" : "")); }
    void viewDidAppear(bool) override { s_log.add(m_name + " didAppear"); }
    void viewWillDisappear(bool) override { s_log.add(m_name + " willDisappear"); }
    void viewDidDisappear(bool) override { s_log.add(m_name + " didDisappear"); }
    void didReceiveMemoryWarning() override { s_log.add(m_name + " memoryWarning"); }

    std::string m_name;
};

class RecordingTabDelegate : public NSObject, public UITabBarControllerDelegate {
    VX_OBJECT(RecordingTabDelegate, NSObject)
public:
    explicit RecordingTabDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<RecordingTabDelegate> init() { return make<RecordingTabDelegate>(); }
    bool tabBarControllerShouldSelectViewController(
        const Ref<UITabBarController>&, const Ref<UIViewController>& c) override
    {
        auto name = std::static_pointer_cast<RecordingController>(c)->m_name;
        s_log.add("should select " + name);
        return name != "locked";
    }
    void tabBarControllerDidSelectViewController(
        const Ref<UITabBarController>&, const Ref<UIViewController>& c) override
    {
        s_log.add("did select " + std::static_pointer_cast<RecordingController>(c)->m_name);
    }
};

class UIViewControllerTest : public HostedWindowTest {
protected:
    void SetUp() override
    {
        HostedWindowTest::SetUp();
        s_log.take();
        m_window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
    }
    void show(const Ref<UIViewController>& root)
    {
        m_window->setRootViewController(root);
        m_window->makeKeyAndVisible();
    }
    Ref<UIWindow> m_window;
};

} // namespace

TEST_F(UIViewControllerTest, WindowRootAppearsWithTheWindow)
{
    auto root = RecordingController::named("root");
    m_window->setRootViewController(root);
    EXPECT_TRUE(s_log.take().empty()) << "a hidden window loads nothing";
    m_window->makeKeyAndVisible();
    EXPECT_THAT(s_log.take(), ElementsAre("root didLoad", "root willAppear", "root didAppear"));
    EXPECT_EQ(m_window, root->view()->superview());
    EXPECT_TRUE(CGRectEqualToRect(m_window->bounds(), root->view()->frame()));
    EXPECT_TRUE(m_window->isKeyWindow());

    UIApplicationHost::simulateMemoryWarning();
    EXPECT_THAT(s_log.take(), ElementsAre("root memoryWarning"));

    auto next = RecordingController::named("next");
    m_window->setRootViewController(next);
    EXPECT_THAT(s_log.take(),
        ElementsAre("root willDisappear", "next didLoad", "next willAppear", "root didDisappear", "next didAppear"));
}

TEST_F(UIViewControllerTest, NavigationPushAndPopTellTheAppearanceOrder)
{
    auto a = RecordingController::named("A");
    auto b = RecordingController::named("B");
    auto c = RecordingController::named("C");
    auto nav = UINavigationController::initWithRootViewController(a);
    show(nav);
    EXPECT_THAT(s_log.take(), ElementsAre("A didLoad", "A willAppear", "A didAppear"));
    EXPECT_EQ(nav, a->navigationController());

    struct Step {
        const char* name;
        std::function<void()> action;
        Entries atOnce;
        double wait; // < 0: one run-loop pass
        Entries afterwards;
    };
    const Step steps[] = {
        { "push", [&] { nav->pushViewControllerAnimated(b, false); },
            { "B didLoad", "A willDisappear", "B willAppear" }, -1, { "A didDisappear", "B didAppear" } },
        { "animated push", [&] { nav->pushViewControllerAnimated(c, true); },
            { "C didLoad", "B willDisappear", "C willAppear animated" }, UIViewControllerTransitionDuration,
            { "B didDisappear", "C didAppear" } },
        { "pop", [&] { EXPECT_EQ(c, nav->popViewControllerAnimated(false)); }, { "C willDisappear", "B willAppear" },
            -1, { "C didDisappear", "B didAppear" } },
        { "pop to root, animated", [&] { EXPECT_EQ(1u, nav->popToRootViewControllerAnimated(true).size()); },
            { "B willDisappear", "A willAppear animated" }, UIViewControllerTransitionDuration,
            { "B didDisappear", "A didAppear" } },
        { "pop at the root does nothing", [&] { EXPECT_EQ(nullptr, nav->popViewControllerAnimated(false)); }, {}, -1,
            {} },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.action();
        EXPECT_THAT(s_log.take(), ElementsAreArray(step.atOnce));
        if (step.wait < 0) {
            runOnePass();
        } else {
            drainAll();
            EXPECT_TRUE(s_log.empty()) << "did-callbacks wait for the animation";
            m_clock.advance(step.wait);
        }
        EXPECT_THAT(s_log.take(), ElementsAreArray(step.afterwards));
    }
    EXPECT_THAT(nav->viewControllers(), ElementsAre(a));
    EXPECT_EQ(nav->view(), a->view()->superview());
    EXPECT_EQ(nullptr, b->view()->superview());
    EXPECT_EQ(nullptr, b->parentViewController());
}

TEST_F(UIViewControllerTest, TabSwitchesTellAppearanceAndOnlyUserChoicesReachTheDelegate)
{
    auto one = RecordingController::named("one");
    auto two = RecordingController::named("two");
    auto locked = RecordingController::named("locked");
    auto tabs = UITabBarController::init();
    auto delegate = RecordingTabDelegate::init();
    tabs->setDelegate(delegate.get(), delegate);
    tabs->setViewControllers({ one, two, locked });
    show(tabs);
    EXPECT_THAT(s_log.take(), ElementsAre("one didLoad", "one willAppear", "one didAppear"));

    tabs->setSelectedIndex(1);
    EXPECT_THAT(s_log.take(),
        ElementsAre("two didLoad", "one willDisappear", "two willAppear", "one didDisappear", "two didAppear"));

    // A tap on the first of three items of the 768-point bar at the bottom.
    UIApplicationHost::tap(CGPointMake(100, 1000));
    EXPECT_THAT(s_log.take(),
        ElementsAre("should select one", "two willDisappear", "one willAppear", "two didDisappear", "one didAppear",
            "did select one"));
    UIApplicationHost::tap(CGPointMake(700, 1000));
    EXPECT_THAT(s_log.take(), ElementsAre("should select locked"));
    EXPECT_EQ(0u, tabs->selectedIndex());
    EXPECT_EQ(tabs, two->tabBarController());
}

TEST_F(UIViewControllerTest, ModalPresentationByStyle)
{
    struct Case {
        UIModalPresentationStyle style;
        bool animated;
        Entries present;
        Entries presented;
        Entries dismiss;
        Entries dismissed;
    };
    const Case cases[] = {
        { UIModalPresentationFullScreen, false, { "root willDisappear", "modal willAppear" },
            { "modal didAppear", "root didDisappear", "presented" }, { "modal willDisappear", "root willAppear" },
            { "modal didDisappear", "root didAppear", "dismissed" } },
        { UIModalPresentationFormSheet, true, { "modal willAppear animated" }, { "modal didAppear", "presented" },
            { "modal willDisappear" }, { "modal didDisappear", "dismissed" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        auto root = RecordingController::named("root");
        auto child = RecordingController::named("child");
        root->addChildViewController(child);
        show(root);
        s_log.take();
        auto modal = RecordingController::named("modal");
        modal->view();
        s_log.take();
        modal->setModalPresentationStyle(c.style);
        // A child presents: its root container becomes the presenter.
        child->presentViewControllerAnimatedCompletion(modal, c.animated, [] { s_log.add("presented"); });
        EXPECT_THAT(s_log.take(), ElementsAreArray(c.present));
        EXPECT_TRUE(modal->isBeingPresented());
        EXPECT_EQ(modal, root->presentedViewController());
        EXPECT_EQ(root, modal->presentingViewController());
        m_clock.advance(UIViewControllerTransitionDuration);
        EXPECT_THAT(s_log.take(), ElementsAreArray(c.presented));
        EXPECT_FALSE(modal->isBeingPresented());
        EXPECT_EQ(m_window, modal->view()->superview());

        // Presenting again while presenting is refused.
        root->presentViewControllerAnimatedCompletion(
            RecordingController::named("other"), false, [] { s_log.add("never"); });
        drainAll();
        EXPECT_TRUE(s_log.take().empty());

        modal->dismissViewControllerAnimatedCompletion(c.animated, [] { s_log.add("dismissed"); });
        EXPECT_THAT(s_log.take(), ElementsAreArray(c.dismiss));
        EXPECT_TRUE(modal->isBeingDismissed());
        m_clock.advance(UIViewControllerTransitionDuration);
        EXPECT_THAT(s_log.take(), ElementsAreArray(c.dismissed));
        EXPECT_EQ(nullptr, root->presentedViewController());
        EXPECT_EQ(nullptr, modal->view()->superview());
        m_window->setRootViewController(nullptr);
        s_log.take();
    }
}

namespace {

class StyledController : public UIViewController {
    VX_OBJECT(StyledController, UIViewController)
public:
    explicit StyledController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<StyledController> withStyle(UIStatusBarStyle style)
    {
        auto controller = makeController<StyledController>({}, nullptr);
        controller->m_style = style;
        return controller;
    }
    UIStatusBarStyle preferredStatusBarStyle() const override { return m_style; }

private:
    UIStatusBarStyle m_style = UIStatusBarStyleDefault;
};

} // namespace

// The status bar follows the window's root or a controller presented over it full screen; a
// controller in a popover or a form sheet asking for an update leaves the root's style in place.
TEST_F(UIViewControllerTest, TheStatusBarFollowsTheControllerThatCoversTheScreen)
{
    auto app = UIApplication::sharedApplication();
    auto root = StyledController::withStyle(UIStatusBarStyleDefault);
    show(root);
    struct Case {
        const char* name;
        std::function<void(const Ref<StyledController>&)> place;
        UIStatusBarStyle expected;
    } cases[] = {
        { "in a popover",
            [&](const Ref<StyledController>& asking) {
                auto popover = UIPopoverController::initWithContentViewController(asking);
                popover->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
                    CGRectMake(100, 100, 10, 10), root->view(), UIPopoverArrowDirectionAny, false);
            },
            UIStatusBarStyleDefault },
        { "in a form sheet",
            [&](const Ref<StyledController>& asking) {
                asking->setModalPresentationStyle(UIModalPresentationFormSheet);
                root->presentViewControllerAnimatedCompletion(asking, false, nullptr);
            },
            UIStatusBarStyleDefault },
        { "full screen",
            [&](const Ref<StyledController>& asking) {
                root->presentViewControllerAnimatedCompletion(asking, false, nullptr);
            },
            UIStatusBarStyleLightContent },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app->setStatusBarStyle(UIStatusBarStyleDefault);
        auto asking = StyledController::withStyle(UIStatusBarStyleLightContent);
        c.place(asking);
        m_clock.advance(UIViewControllerTransitionDuration);
        asking->setNeedsStatusBarAppearanceUpdate();
        EXPECT_EQ(app->statusBarStyle(), c.expected);
        if (root->presentedViewController())
            root->dismissViewControllerAnimatedCompletion(false, nullptr);
        m_clock.advance(UIViewControllerTransitionDuration);
    }
    // While a full-screen controller is being dismissed, the screen below it decides again.
    auto leaving = StyledController::withStyle(UIStatusBarStyleLightContent);
    root->presentViewControllerAnimatedCompletion(leaving, false, nullptr);
    m_clock.advance(UIViewControllerTransitionDuration);
    leaving->setNeedsStatusBarAppearanceUpdate();
    ASSERT_EQ(app->statusBarStyle(), UIStatusBarStyleLightContent);
    root->dismissViewControllerAnimatedCompletion(true, nullptr);
    root->setNeedsStatusBarAppearanceUpdate();
    EXPECT_EQ(app->statusBarStyle(), UIStatusBarStyleDefault);
    m_clock.advance(UIViewControllerTransitionDuration);
}

TEST_F(UIViewControllerTest, ChildViewsEnteringAVisibleParentAppear)
{
    auto parent = RecordingController::named("parent");
    show(parent);
    s_log.take();
    auto child = RecordingController::named("child");
    parent->addChildViewController(child);
    parent->view()->addSubview(child->view());
    child->didMoveToParentViewController(parent);
    EXPECT_THAT(s_log.take(), ElementsAre("child didLoad", "child willAppear", "child didAppear"));

    m_window->setHidden(true);
    EXPECT_THAT(s_log.take(),
        ElementsAre("parent willDisappear", "child willDisappear", "parent didDisappear", "child didDisappear"));

    m_window->setHidden(false);
    s_log.take();
    child->willMoveToParentViewController(nullptr);
    child->view()->removeFromSuperview();
    child->removeFromParentViewController();
    EXPECT_THAT(s_log.take(), ElementsAre("child willDisappear", "child didDisappear"));
}

TEST_F(UIViewControllerTest, ViewsComeFromLayoutsByName)
{
    UILayoutRegistry::registerLayout("RecordingController", [](const Ref<NSObject>& owner, const Value&) {
        auto view = UIView::initWithFrame(CGRectMake(0, 0, 300, 200));
        view->setTag(11);
        auto label = UIView::initWithFrame(CGRectMake(0, 0, 10, 10));
        std::static_pointer_cast<UIViewController>(owner)->setView(view);
        return std::vector<Value> { Value(view), Value(label) };
    });
    UILayoutRegistry::registerLayout(
        "BrokenLayout", [](const Ref<NSObject>&, const Value&) { return std::vector<Value> {}; });

    EXPECT_EQ(11, RecordingController::named("by class")->view()->tag());
    EXPECT_EQ(0, RecordingController::named("other", "NotALayout")->isViewLoaded());
    EXPECT_THROW(RecordingController::named("broken", "BrokenLayout")->view(), NSException);
    EXPECT_THROW(RecordingController::named("missing", "NotALayout")->view(), NSException);

    auto nib = UINib::nibWithNibNameBundle("RecordingController", nullptr);
    ASSERT_TRUE(nib);
    auto owner = RecordingController::named("owner");
    auto objects = nib->instantiateWithOwnerOptions(owner, {});
    ASSERT_EQ(2u, objects.size());
    EXPECT_EQ(11, objects[0].objectAs<UIView>()->tag());
    EXPECT_EQ(nullptr, UINib::nibWithNibNameBundle("NotALayout", nullptr));

    UILayoutRegistry::unregisterLayout("RecordingController");
    UILayoutRegistry::unregisterLayout("BrokenLayout");
}

namespace {

class RotatingController : public UIViewController {
    VX_OBJECT(RotatingController, UIViewController)
public:
    explicit RotatingController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<RotatingController> init(UIInterfaceOrientationMask mask)
    {
        auto c = makeController<RotatingController>({}, nullptr);
        c->m_mask = mask;
        return c;
    }
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override { return m_mask; }
    void willRotateToInterfaceOrientationDuration(UIInterfaceOrientation o, double d) override
    {
        s_log.add("willRotate " + std::to_string(o) + " " + std::to_string(int(d * 10)));
    }
    void willAnimateRotationToInterfaceOrientationDuration(UIInterfaceOrientation o, double) override
    {
        s_log.add("willAnimate " + std::to_string(o) + " " + NSStringFromCGSize(view()->bounds().size));
    }
    void didRotateFromInterfaceOrientation(UIInterfaceOrientation o) override
    {
        s_log.add("didRotate from " + std::to_string(o));
    }
    UIInterfaceOrientationMask m_mask;
};

} // namespace

TEST_F(UIViewControllerTest, DeviceRotationTurnsTheRootViewWhenTheControllerAgrees)
{
    auto portraitOnly = RotatingController::init(1u << UIInterfaceOrientationPortrait);
    show(portraitOnly);
    UIApplicationHost::setDeviceOrientation(UIDeviceOrientationLandscapeLeft);
    drainAll();
    EXPECT_TRUE(s_log.take().empty());
    EXPECT_EQ(UIInterfaceOrientationPortrait, UIApplication::sharedApplication()->statusBarOrientation());

    UIApplicationHost::setDeviceOrientation(UIDeviceOrientationPortrait);
    auto any = RotatingController::init(UIInterfaceOrientationMaskAll);
    m_window->setRootViewController(any);
    auto bar = UIView::initWithFrame(CGRectMake(0, 0, 768, 44));
    bar->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    any->view()->addSubview(bar);
    s_log.take();

    UIApplicationHost::setDeviceOrientation(UIDeviceOrientationFaceUp);
    UIApplicationHost::setDeviceOrientation(UIDeviceOrientationLandscapeLeft);
    EXPECT_THAT(s_log.take(), ElementsAre("willRotate 3 4", "willAnimate 3 {1024, 768}"));
    EXPECT_EQ(UIInterfaceOrientationLandscapeRight, any->interfaceOrientation());
    EXPECT_EQ(1024, bar->frame().size.width);
    CGRect frame = any->view()->frame();
    EXPECT_NEAR(0, frame.origin.x, 1e-3);
    EXPECT_NEAR(0, frame.origin.y, 1e-3);
    EXPECT_NEAR(768, frame.size.width, 1e-3);
    EXPECT_NEAR(1024, frame.size.height, 1e-3);
    CGPoint topLeft = any->view()->convertPointToView(CGPointZero, nullptr);
    EXPECT_NEAR(768, topLeft.x, 1e-3);
    EXPECT_NEAR(0, topLeft.y, 1e-3);
    m_clock.advance(0.4);
    EXPECT_THAT(s_log.take(), ElementsAre("didRotate from 1"));
}

TEST_F(UIViewControllerTest, ReleasedHierarchiesAreFreed)
{
    Weak<UIViewController> weakA, weakB;
    Weak<UINavigationController> weakNav;
    Weak<UIView> weakView;
    Weak<UIWindow> weakWindow = m_window;
    {
        auto a = RecordingController::named("A");
        auto b = RecordingController::named("B");
        auto nav = UINavigationController::initWithRootViewController(a);
        show(nav);
        nav->pushViewControllerAnimated(b, true);
        m_clock.advance(UIViewControllerTransitionDuration);
        auto modal = RecordingController::named("modal");
        b->presentViewControllerAnimatedCompletion(modal, false, nullptr);
        drainAll();
        modal->dismissViewControllerAnimatedCompletion(false, nullptr);
        weakA = a;
        weakB = b;
        weakNav = nav;
        weakView = b->view();
    }
    drainAll();
    m_window->setRootViewController(nullptr);
    m_window = nullptr;
    drainAll();
    EXPECT_TRUE(weakWindow.expired());
    EXPECT_TRUE(weakNav.expired());
    EXPECT_TRUE(weakA.expired());
    EXPECT_TRUE(weakB.expired());
    EXPECT_TRUE(weakView.expired());
}
