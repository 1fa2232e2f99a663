#pragma once

#include "uikit/UINavigationBar.h"
#include "uikit/UIToolbar.h"
#include "uikit/UIViewController.h"

class UINavigationController;

// What a navigation controller tells its delegate.
class UINavigationControllerDelegate {
public:
    virtual ~UINavigationControllerDelegate() = default;
    virtual void navigationControllerWillShowViewControllerAnimated(
        const Ref<UINavigationController>&, const Ref<UIViewController>&, bool)
    {
    }
    virtual void navigationControllerDidShowViewControllerAnimated(
        const Ref<UINavigationController>&, const Ref<UIViewController>&, bool)
    {
    }
};

// A stack of controllers, the top one's view shown under a 44-point navigation bar (which may
// be hidden) and over a 44-point toolbar along the bottom (hidden unless asked for). The bar
// shows the stack's navigation items (its back button pops, animated); the toolbar shows the
// top controller's toolbar items. Pushes and pops give the appearance callbacks of a transition
// from the old top to the new one, when the navigation controller itself is on screen. Main
// thread only.
class UINavigationController : public UIViewController {
    VX_OBJECT(UINavigationController, UIViewController)
public:
    explicit UINavigationController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<UINavigationController> initWithRootViewController(const Ref<UIViewController>& root);

    std::vector<Ref<UIViewController>> viewControllers() const { return childViewControllers(); }
    void setViewControllersAnimated(const std::vector<Ref<UIViewController>>& controllers, bool animated);
    Ref<UIViewController> topViewController() const;
    // The top controller, or what it presents.
    Ref<UIViewController> visibleViewController() const;

    void pushViewControllerAnimated(const Ref<UIViewController>& controller, bool animated);
    // nullptr (and nothing happens) when only the root is left.
    Ref<UIViewController> popViewControllerAnimated(bool animated);
    std::vector<Ref<UIViewController>> popToRootViewControllerAnimated(bool animated);
    std::vector<Ref<UIViewController>> popToViewControllerAnimated(
        const Ref<UIViewController>& controller, bool animated);

    // The bars exist once the view is loaded.
    const Ref<UINavigationBar>& navigationBar() const { return m_navigationBar; }
    bool isNavigationBarHidden() const { return m_navigationBarHidden; }
    void setNavigationBarHidden(bool hidden) { setNavigationBarHiddenAnimated(hidden, false); }
    void setNavigationBarHiddenAnimated(bool hidden, bool animated);
    const Ref<UIToolbar>& toolbar() const { return m_toolbar; }
    bool isToolbarHidden() const { return m_toolbarHidden; }
    void setToolbarHidden(bool hidden) { setToolbarHiddenAnimated(hidden, false); }
    void setToolbarHiddenAnimated(bool hidden, bool animated);

    // Shows the stack's navigation items and the top controller's toolbar items in the bars.
    void updateBarsAnimated(bool animated);

    void setDelegate(UINavigationControllerDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = delegate;
        m_delegateOwner = std::move(owner);
    }
    UINavigationControllerDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }

    void loadView() override;
    void viewDidLayoutSubviews() override;
    Ref<UIViewController> childViewControllerForStatusBarHidden() const override { return topViewController(); }
    Ref<UIViewController> childViewControllerForStatusBarStyle() const override { return topViewController(); }

private:
    // Shows `to` in place of `from` (either may be null) with the appearance callbacks.
    void transition(const Ref<UIViewController>& from, const Ref<UIViewController>& to, bool animated,
        std::vector<Ref<UIViewController>> removed);
    void layoutTopView();
    void placeNavigationBar();
    // The bounds, less the visible bar when the controller does not extend under its top edge.
    CGRect frameForTopView(const Ref<UIViewController>& controller);

    Ref<UINavigationBar> m_navigationBar;
    Ref<UIToolbar> m_toolbar;
    bool m_navigationBarHidden { false };
    bool m_toolbarHidden { true };
    UINavigationControllerDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
};
