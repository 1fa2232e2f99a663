#pragma once

#include "uikit/UIViewController.h"

class UITabBarController;

// What a tab bar controller tells its delegate: only about choices the user makes on the tab
// bar, never about selections made in code.
class UITabBarControllerDelegate {
public:
    virtual ~UITabBarControllerDelegate() = default;
    virtual bool tabBarControllerShouldSelectViewController(
        const Ref<UITabBarController>&, const Ref<UIViewController>&)
    {
        return true;
    }
    virtual void tabBarControllerDidSelectViewController(const Ref<UITabBarController>&, const Ref<UIViewController>&)
    {
    }
};

// Children shown one at a time above a 49-point tab bar with one equal-width item per child.
// Switching gives the appearance callbacks of a transition from the old child to the new one
// at once. Main thread only.
class UITabBarController : public UIViewController {
    VX_OBJECT(UITabBarController, UIViewController)
public:
    explicit UITabBarController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<UITabBarController> init() { return makeController<UITabBarController>({}, nullptr); }

    std::vector<Ref<UIViewController>> viewControllers() const { return childViewControllers(); }
    void setViewControllersAnimated(const std::vector<Ref<UIViewController>>& controllers, bool animated);
    void setViewControllers(const std::vector<Ref<UIViewController>>& controllers)
    {
        setViewControllersAnimated(controllers, false);
    }
    // NSNotFound when there are no children.
    uint32_t selectedIndex() const;
    void setSelectedIndex(uint32_t index);
    Ref<UIViewController> selectedViewController() const { return m_selected; }
    void setSelectedViewController(const Ref<UIViewController>& controller);
    const Ref<UIView>& tabBar() const { return m_tabBar; }

    void setDelegate(UITabBarControllerDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = delegate;
        m_delegateOwner = std::move(owner);
    }
    UITabBarControllerDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }

    // The user choosing a tab (the tab bar's touches end here): asks the delegate, selects,
    // then tells the delegate.
    void userSelectedIndex(uint32_t index);

    void loadView() override;
    void viewDidLayoutSubviews() override;
    Ref<UIViewController> childViewControllerForStatusBarHidden() const override { return m_selected; }
    Ref<UIViewController> childViewControllerForStatusBarStyle() const override { return m_selected; }

private:
    void show(const Ref<UIViewController>& controller);
    CGRect contentFrame() const;

    Ref<UIView> m_tabBar;
    Ref<UIViewController> m_selected;
    UITabBarControllerDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
};
