#pragma once

#include "graphics/CGGeometry.h"
#include "uikit/UIApplication.h"
#include "uikit/UIResponder.h"

#include <functional>
#include <string>
#include <vector>

class NSBundle;
class UIBarButtonItem;
class UINavigationController;
class UINavigationItem;
class UITabBarController;
class UITabBarItem;

// The edges under which a container may extend a controller's view (bit flags).
using UIRectEdge = uint32_t;
inline constexpr UIRectEdge UIRectEdgeNone = 0;
inline constexpr UIRectEdge UIRectEdgeTop = 1 << 0;
inline constexpr UIRectEdge UIRectEdgeLeft = 1 << 1;
inline constexpr UIRectEdge UIRectEdgeBottom = 1 << 2;
inline constexpr UIRectEdge UIRectEdgeRight = 1 << 3;
inline constexpr UIRectEdge UIRectEdgeAll = 15;

enum UIModalPresentationStyle : int32_t {
    UIModalPresentationFullScreen = 0,
    UIModalPresentationPageSheet = 1,
    UIModalPresentationFormSheet = 2,
    UIModalPresentationCurrentContext = 3,
};

enum UIModalTransitionStyle : int32_t {
    UIModalTransitionStyleCoverVertical = 0,
    UIModalTransitionStyleFlipHorizontal = 1,
    UIModalTransitionStyleCrossDissolve = 2,
    UIModalTransitionStylePartialCurl = 3,
};

using UIInterfaceOrientationMask = uint32_t;
inline constexpr UIInterfaceOrientationMask UIInterfaceOrientationMaskAll = 30;

// How long animated transitions (push, pop, present, dismiss) take on the process clock.
inline constexpr double UIViewControllerTransitionDuration = 0.3;

// Manages a view: loads it on first use (from the layout named by nibName, else the layout named
// like the class, else a plain view), tells the appearance callbacks in the platform's order,
// holds child controllers and presents others modally. Main thread only.
//
// Appearance order for a transition from A to B: A will disappear, B will appear, then, when
// the transition ends (at once on the next run-loop pass, or after the transition duration
// when animated), A did disappear and B did appear; a modal presentation tells B did appear
// before A did disappear. Form sheets leave the presenter on screen (no callbacks for it).
class UIViewController : public UIResponder {
    VX_OBJECT(UIViewController, UIResponder)
public:
    explicit UIViewController(Passkey key)
        : UIResponder(key)
    {
    }
    ~UIViewController() override;
    static Ref<UIViewController> init() { return initWithNibNameBundle({}, nullptr); }
    static Ref<UIViewController> initWithNibNameBundle(const std::string& nibName, const Ref<NSBundle>& bundle)
    {
        return makeController<UIViewController>(nibName, bundle);
    }

    const std::string& nibName() const { return m_nibName; }
    const std::string& title() const { return m_title; }
    // Subclasses that override call this too, so the navigation item's title follows.
    virtual void setTitle(const std::string& title);

    // What a navigation bar shows for this controller, made on first use; its title is the
    // controller's title until one is set on the item.
    Ref<UINavigationItem> navigationItem();
    // The item a tab bar shows for this controller; nil until one is set (the bar then shows the
    // title alone).
    const Ref<UITabBarItem>& tabBarItem() const { return m_tabBarItem; }
    void setTabBarItem(Ref<UITabBarItem> item) { m_tabBarItem = std::move(item); }
    // Without the top edge a navigation controller lays the view out below its bar.
    UIRectEdge edgesForExtendedLayout() const { return m_edgesForExtendedLayout; }
    void setEdgesForExtendedLayout(UIRectEdge edges) { m_edgesForExtendedLayout = edges; }
    // Whether the view also extends under opaque bars. Kept as asked: the navigation bar here is
    // always translucent, so only edgesForExtendedLayout moves the view.
    bool extendedLayoutIncludesOpaqueBars() const { return m_extendedLayoutIncludesOpaqueBars; }
    void setExtendedLayoutIncludesOpaqueBars(bool includes) { m_extendedLayoutIncludesOpaqueBars = includes; }
    // What a navigation controller's toolbar shows while this controller is on top.
    const std::vector<Ref<UIBarButtonItem>>& toolbarItems() const { return m_toolbarItems; }
    void setToolbarItems(std::vector<Ref<UIBarButtonItem>> items) { setToolbarItemsAnimated(std::move(items), false); }
    void setToolbarItemsAnimated(std::vector<Ref<UIBarButtonItem>> items, bool animated);

    // The view, loaded on first use (loadView then viewDidLoad).
    Ref<UIView> view();
    void setView(const Ref<UIView>& view);
    bool isViewLoaded() const { return m_view != nullptr; }
    // Makes the view. The default loads the layout (raising "NSInternalInconsistencyException"
    // when the layout leaves the view unset) or makes a plain view of the screen's size.
    virtual void loadView();
    virtual void viewDidLoad() { }
    virtual void viewWillAppear(bool /*animated*/) { }
    virtual void viewDidAppear(bool /*animated*/) { }
    virtual void viewWillDisappear(bool /*animated*/) { }
    virtual void viewDidDisappear(bool /*animated*/) { }
    virtual void viewWillLayoutSubviews() { }
    virtual void viewDidLayoutSubviews() { }
    virtual void didReceiveMemoryWarning() { }

    // Appearance bookkeeping: a controller is told each callback once per transition, and
    // children forward what their parent is told.
    enum class AppearanceChange { Appearing, Disappearing };
    enum class TransitionAnimation { None, Animated };
    void beginAppearanceTransition(bool isAppearing, bool animated)
    {
        startAppearanceTransition(isAppearing ? AppearanceChange::Appearing : AppearanceChange::Disappearing,
            animated ? TransitionAnimation::Animated : TransitionAnimation::None);
    }
    // The same; false when the controller was already in (or past) that transition.
    bool startAppearanceTransition(AppearanceChange change, TransitionAnimation animation);
    // True from will-appear until did-disappear begins.
    bool isAppearingOrVisible() const
    {
        return m_appearance == Appearance::Appearing || m_appearance == Appearance::Appeared;
    }
    void endAppearanceTransition();
    virtual bool shouldAutomaticallyForwardAppearanceMethods() const { return true; }
    bool isViewVisible() const { return m_appearance == Appearance::Appeared; }

    // Containment.
    Ref<UIViewController> parentViewController() const { return m_parent.lock(); }
    const std::vector<Ref<UIViewController>>& childViewControllers() const { return m_children; }
    // Adds a child (calling its willMoveToParentViewController); the caller adds the view and
    // calls didMoveToParentViewController.
    virtual void addChildViewController(const Ref<UIViewController>& child);
    // Removes from the parent (calling didMoveToParentViewController(nullptr)); the caller
    // calls willMoveToParentViewController(nullptr) first.
    virtual void removeFromParentViewController();
    virtual void willMoveToParentViewController(const Ref<UIViewController>&) { }
    virtual void didMoveToParentViewController(const Ref<UIViewController>&) { }
    Ref<UINavigationController> navigationController() const;
    Ref<UITabBarController> tabBarController() const;

    // Modal presentation.
    using Completion = std::function<void()>;
    void presentViewControllerAnimatedCompletion(
        const Ref<UIViewController>& controller, bool animated, Completion completion);
    void dismissViewControllerAnimatedCompletion(bool animated, Completion completion);
    Ref<UIViewController> presentedViewController() const { return m_presented; }
    Ref<UIViewController> presentingViewController() const;
    bool isBeingPresented() const { return m_beingPresented; }
    bool isBeingDismissed() const { return m_beingDismissed; }
    UIModalPresentationStyle modalPresentationStyle() const { return m_presentationStyle; }
    void setModalPresentationStyle(UIModalPresentationStyle style) { m_presentationStyle = style; }
    UIModalTransitionStyle modalTransitionStyle() const { return m_transitionStyle; }
    void setModalTransitionStyle(UIModalTransitionStyle style) { m_transitionStyle = style; }
    bool definesPresentationContext() const { return m_definesPresentationContext; }
    void setDefinesPresentationContext(bool v) { m_definesPresentationContext = v; }

    // Sizes, status bar and rotation.
    CGSize preferredContentSize() const { return m_preferredContentSize; }
    void setPreferredContentSize(CGSize size) { m_preferredContentSize = size; }
    CGSize contentSizeForViewInPopover() const { return m_preferredContentSize; }
    void setContentSizeForViewInPopover(CGSize size) { m_preferredContentSize = size; }
    virtual UIStatusBarStyle preferredStatusBarStyle() const { return UIStatusBarStyleDefault; }
    virtual bool prefersStatusBarHidden() const { return false; }
    virtual Ref<UIViewController> childViewControllerForStatusBarHidden() const { return nullptr; }
    virtual Ref<UIViewController> childViewControllerForStatusBarStyle() const { return nullptr; }
    // Applies the status-bar wishes of the window's controller to the application.
    void setNeedsStatusBarAppearanceUpdate();
    virtual bool shouldAutorotate() const { return true; }
    virtual UIInterfaceOrientationMask supportedInterfaceOrientations() const { return UIInterfaceOrientationMaskAll; }
    UIInterfaceOrientation interfaceOrientation() const;
    virtual void willRotateToInterfaceOrientationDuration(UIInterfaceOrientation, double) { }
    virtual void willAnimateRotationToInterfaceOrientationDuration(UIInterfaceOrientation, double) { }
    virtual void didRotateFromInterfaceOrientation(UIInterfaceOrientation) { }

    // Editing. The edit button item, made on first use, reads "Edit" or "Done" with the editing
    // state and flips it (animated) when tapped.
    Ref<UIBarButtonItem> editButtonItem();
    bool isEditing() const { return m_editing; }
    virtual void setEditingAnimated(bool editing, bool animated);
    void setEditing(bool editing) { setEditingAnimated(editing, false); }

    Ref<UIResponder> nextResponder() const override;

    // Runs `block` when a transition ends: after the transition duration on the process clock
    // when animated, else on the next run-loop pass.
    static void finishTransition(bool animated, std::function<void()> block);

protected:
    template <typename T> static Ref<T> makeController(const std::string& nibName, const Ref<NSBundle>& bundle)
    {
        auto controller = make<T>();
        controller->initController(nibName, bundle);
        return controller;
    }
    void initController(const std::string& nibName, const Ref<NSBundle>& bundle);
    // For containers: removes a child without telling it (the container tells it later).
    void detachChild(const Ref<UIViewController>& child);
    // For containers: puts the children in this order (those listed, then any others).
    void reorderChildren(const std::vector<Ref<UIViewController>>& order);

private:
    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };
    void memoryWarning(const Ref<NSNotification>&);
    CGRect presentedFrame(const Ref<UIViewController>& presenter) const;
    void updateEditButtonItem();

    std::string m_nibName;
    Ref<NSBundle> m_nibBundle;
    std::string m_title;
    Ref<UINavigationItem> m_navigationItem;
    Ref<UITabBarItem> m_tabBarItem;
    UIRectEdge m_edgesForExtendedLayout { UIRectEdgeAll };
    bool m_extendedLayoutIncludesOpaqueBars { false };
    std::vector<Ref<UIBarButtonItem>> m_toolbarItems;
    Ref<UIBarButtonItem> m_editButtonItem;
    Ref<UIView> m_view;
    Weak<UIViewController> m_parent;
    std::vector<Ref<UIViewController>> m_children;
    Ref<UIViewController> m_presented;
    Weak<UIViewController> m_presenting;
    bool m_beingPresented { false };
    bool m_beingDismissed { false };
    UIModalPresentationStyle m_presentationStyle { UIModalPresentationFullScreen };
    UIModalTransitionStyle m_transitionStyle { UIModalTransitionStyleCoverVertical };
    bool m_definesPresentationContext { false };
    CGSize m_preferredContentSize {};
    Appearance m_appearance { Appearance::Disappeared };
    bool m_appearanceAnimated { false };
    bool m_editing { false };
    bool m_observingMemoryWarnings { false };
};
