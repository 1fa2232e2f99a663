#include "uikit/UIViewController.h"

#include "foundation/NSException.h"
#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSRunLoop.h"
#include "foundation/ThreadChecks.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UINib.h"
#include "uikit/UIScreen.h"
#include "uikit/UITabBarController.h"
#include "uikit/UIView.h"
#include "uikit/UIWindow.h"

#include <algorithm>

UIViewController::~UIViewController()
{
    if (m_view)
        m_view->setViewController(nullptr);
}

void UIViewController::initController(const std::string& nibName, const Ref<NSBundle>& bundle)
{
    m_nibName = nibName;
    m_nibBundle = bundle;
    NSNotificationCenter::defaultCenter()->addObserver(self<UIViewController>(), &UIViewController::memoryWarning,
        std::string(UIApplicationDidReceiveMemoryWarningNotification), nullptr);
}

void UIViewController::memoryWarning(const Ref<NSNotification>&)
{
    didReceiveMemoryWarning();
}

// MARK: Bars

void UIViewController::setTitle(const std::string& title)
{
    assertIsMainThread();
    m_title = title;
    if (m_navigationItem)
        m_navigationItem->followControllerTitle(title);
}

Ref<UINavigationItem> UIViewController::navigationItem()
{
    if (!m_navigationItem) {
        m_navigationItem = make<UINavigationItem>();
        m_navigationItem->followControllerTitle(m_title);
    }
    return m_navigationItem;
}

void UIViewController::setToolbarItemsAnimated(std::vector<Ref<UIBarButtonItem>> items, bool animated)
{
    assertIsMainThread();
    items.erase(std::remove(items.begin(), items.end(), nullptr), items.end());
    m_toolbarItems = std::move(items);
    if (auto nav = navigationController(); nav && nav->topViewController().get() == this)
        nav->updateBarsAnimated(animated);
}

// MARK: View loading

Ref<UIView> UIViewController::view()
{
    assertIsMainThread();
    if (!m_view) {
        Ref<UIViewController> protectedThis = self<UIViewController>();
        loadView();
        if (!m_view)
            setView(UIView::initWithFrame(UIScreen::mainScreen()->applicationFrame()));
        viewDidLoad();
    }
    return m_view;
}

void UIViewController::setView(const Ref<UIView>& view)
{
    assertIsMainThread();
    if (m_view == view)
        return;
    if (m_view && m_view->viewController().get() == this)
        m_view->setViewController(nullptr);
    m_view = view;
    if (m_view)
        m_view->setViewController(self<UIViewController>());
}

void UIViewController::loadView()
{
    std::string name = m_nibName.empty() ? className() : m_nibName;
    if (m_nibName.empty() && !UILayoutRegistry::hasLayout(name)) {
        setView(UIView::initWithFrame(UIScreen::mainScreen()->applicationFrame()));
        return;
    }
    NSBundle_UINibLoading::loadNibNamedOwnerOptions(m_nibBundle, name, self<UIViewController>(), {});
    if (!m_view)
        NSException::raise("NSInternalInconsistencyException",
            "-[UIViewController _loadViewFromNibNamed:bundle:] loaded the \"" + name
                + "\" nib but the view outlet was not set.");
}

// MARK: Appearance

bool UIViewController::startAppearanceTransition(AppearanceChange change, TransitionAnimation animation)
{
    assertIsMainThread();
    Ref<UIViewController> protectedThis = self<UIViewController>();
    bool animated = animation == TransitionAnimation::Animated;
    if (change == AppearanceChange::Appearing) {
        if (m_appearance == Appearance::Appeared || m_appearance == Appearance::Appearing)
            return false;
        view();
        m_appearance = Appearance::Appearing;
        m_appearanceAnimated = animated;
        viewWillAppear(animated);
    } else {
        if (m_appearance == Appearance::Disappeared || m_appearance == Appearance::Disappearing)
            return false;
        m_appearance = Appearance::Disappearing;
        m_appearanceAnimated = animated;
        viewWillDisappear(animated);
    }
    if (!shouldAutomaticallyForwardAppearanceMethods())
        return true;
    for (auto& child : std::vector<Ref<UIViewController>>(m_children)) {
        if (child->isViewLoaded() && m_view && child->m_view->isDescendantOfView(m_view))
            child->startAppearanceTransition(change, animation);
    }
    return true;
}

void UIViewController::endAppearanceTransition()
{
    assertIsMainThread();
    Ref<UIViewController> protectedThis = self<UIViewController>();
    if (m_appearance == Appearance::Appearing) {
        m_appearance = Appearance::Appeared;
        viewDidAppear(m_appearanceAnimated);
    } else if (m_appearance == Appearance::Disappearing) {
        m_appearance = Appearance::Disappeared;
        viewDidDisappear(m_appearanceAnimated);
    } else {
        return;
    }
    if (!shouldAutomaticallyForwardAppearanceMethods())
        return;
    for (auto& child : std::vector<Ref<UIViewController>>(m_children))
        child->endAppearanceTransition();
}

void UIViewController::finishTransition(bool animated, std::function<void()> block)
{
    assertIsMainThread();
    auto loop = NSRunLoop::mainRunLoop();
    if (animated)
        loop->addDelayedPerform(nullptr, "UIViewControllerTransition", std::move(block),
            UIViewControllerTransitionDuration, { NSRunLoopCommonModes });
    else
        loop->performInModesBlock({ NSRunLoopCommonModes }, std::move(block));
}

// MARK: Containment

void UIViewController::addChildViewController(const Ref<UIViewController>& child)
{
    assertIsMainThread();
    if (!child || child.get() == this)
        return;
    auto self_ = self<UIViewController>();
    if (child->parentViewController() == self_)
        return;
    child->willMoveToParentViewController(self_);
    if (auto old = child->parentViewController())
        child->removeFromParentViewController();
    m_children.push_back(child);
    child->m_parent = self_;
}

void UIViewController::removeFromParentViewController()
{
    assertIsMainThread();
    auto parent = parentViewController();
    if (!parent)
        return;
    Ref<UIViewController> protectedThis = self<UIViewController>();
    auto& list = parent->m_children;
    list.erase(std::remove(list.begin(), list.end(), protectedThis), list.end());
    m_parent.reset();
    didMoveToParentViewController(nullptr);
}

void UIViewController::detachChild(const Ref<UIViewController>& child)
{
    if (!child || child->parentViewController().get() != this)
        return;
    m_children.erase(std::remove(m_children.begin(), m_children.end(), child), m_children.end());
    child->m_parent.reset();
}

void UIViewController::reorderChildren(const std::vector<Ref<UIViewController>>& order)
{
    std::vector<Ref<UIViewController>> sorted;
    for (auto& c : order) {
        if (std::find(m_children.begin(), m_children.end(), c) != m_children.end())
            sorted.push_back(c);
    }
    for (auto& c : m_children) {
        if (std::find(sorted.begin(), sorted.end(), c) == sorted.end())
            sorted.push_back(c);
    }
    m_children = std::move(sorted);
}

Ref<UINavigationController> UIViewController::navigationController() const
{
    for (auto c = parentViewController(); c; c = c->parentViewController()) {
        if (auto nav = std::dynamic_pointer_cast<UINavigationController>(c))
            return nav;
    }
    return nullptr;
}

Ref<UITabBarController> UIViewController::tabBarController() const
{
    for (auto c = parentViewController(); c; c = c->parentViewController()) {
        if (auto tab = std::dynamic_pointer_cast<UITabBarController>(c))
            return tab;
    }
    return nullptr;
}

// MARK: Presentation

Ref<UIViewController> UIViewController::presentingViewController() const
{
    if (auto presenter = m_presenting.lock())
        return presenter;
    // A child of a presented controller answers its container's presenter.
    if (auto parent = parentViewController())
        return parent->presentingViewController();
    return nullptr;
}

CGRect UIViewController::presentedFrame(const Ref<UIViewController>& presenter) const
{
    auto window = presenter->view()->window();
    CGRect screen = window ? window->bounds() : UIScreen::mainScreen()->bounds();
    switch (m_presentationStyle) {
    case UIModalPresentationFormSheet: {
        CGSize size = { 540, 620 };
        return CGRectMake(
            (screen.size.width - size.width) / 2, (screen.size.height - size.height) / 2, size.width, size.height);
    }
    case UIModalPresentationCurrentContext:
        return presenter->view()->frame();
    default:
        return screen;
    }
}

void UIViewController::presentViewControllerAnimatedCompletion(
    const Ref<UIViewController>& controller, bool animated, Completion completion)
{
    assertIsMainThread();
    if (!controller)
        return;
    Ref<UIViewController> presenter = self<UIViewController>();
    if (controller->m_presentationStyle == UIModalPresentationCurrentContext) {
        for (auto c = presenter; c; c = c->parentViewController()) {
            presenter = c;
            if (c->m_definesPresentationContext)
                break;
        }
    } else {
        while (auto parent = presenter->parentViewController())
            presenter = parent;
    }
    if (presenter->m_presented) {
        NSLog("Warning: Attempt to present %@ on %@ which is already presenting %@", controller->description(),
            presenter->description(), presenter->m_presented->description());
        return;
    }
    if (controller->m_presenting.lock() || controller->parentViewController()) {
        NSLog("Application tried to present a view controller that is already presented or contained: %@",
            controller->description());
        return;
    }
    presenter->m_presented = controller;
    controller->m_presenting = presenter;
    controller->m_beingPresented = true;
    bool coversPresenter = controller->m_presentationStyle != UIModalPresentationFormSheet
        && controller->m_presentationStyle != UIModalPresentationPageSheet;

    controller->view();
    if (coversPresenter)
        presenter->beginAppearanceTransition(false, animated);
    controller->beginAppearanceTransition(true, animated);
    auto presentedView = controller->view();
    presentedView->setFrame(controller->presentedFrame(presenter));
    auto presenterView = presenter->view();
    if (controller->m_presentationStyle == UIModalPresentationCurrentContext && presenterView->superview())
        presenterView->superview()->insertSubviewAboveSubview(presentedView, presenterView);
    else if (auto window = presenterView->window())
        window->addSubview(presentedView);

    finishTransition(animated, [controller, presenter, coversPresenter, completion = std::move(completion)] {
        controller->m_beingPresented = false;
        controller->endAppearanceTransition();
        if (coversPresenter)
            presenter->endAppearanceTransition();
        if (completion)
            completion();
    });
}

void UIViewController::dismissViewControllerAnimatedCompletion(bool animated, Completion completion)
{
    assertIsMainThread();
    Ref<UIViewController> presenter = m_presented ? self<UIViewController>() : presentingViewController();
    if (!presenter || !presenter->m_presented)
        return;
    // Children of the presenter ask the presenter itself.
    auto controller = presenter->m_presented;
    if (controller->m_beingDismissed)
        return;
    // Anything the presented controller presents goes with it.
    if (controller->m_presented)
        controller->dismissViewControllerAnimatedCompletion(false, nullptr);
    controller->m_beingDismissed = true;
    bool coversPresenter = controller->m_presentationStyle != UIModalPresentationFormSheet
        && controller->m_presentationStyle != UIModalPresentationPageSheet;
    controller->beginAppearanceTransition(false, animated);
    if (coversPresenter)
        presenter->beginAppearanceTransition(true, animated);
    finishTransition(animated, [controller, presenter, coversPresenter, completion = std::move(completion)] {
        if (controller->isViewLoaded())
            controller->view()->removeFromSuperview();
        controller->m_beingDismissed = false;
        presenter->m_presented = nullptr;
        controller->m_presenting.reset();
        controller->endAppearanceTransition();
        if (coversPresenter)
            presenter->endAppearanceTransition();
        if (completion)
            completion();
    });
}

// MARK: Status bar, rotation, editing

void UIViewController::setNeedsStatusBarAppearanceUpdate()
{
    assertIsMainThread();
    auto app = UIApplication::sharedApplication();
    // The status bar follows the controller that owns it: the key window's root, or the last
    // controller presented over it full screen. Content in a popover or a form sheet does not
    // own it, so its preferences leave the status bar as the screen below wants it.
    Ref<UIViewController> owner = self<UIViewController>();
    if (auto window = app->keyWindow(); window && window->rootViewController()) {
        owner = window->rootViewController();
        while (auto presented = owner->presentedViewController()) {
            // A controller on its way out no longer decides; nor does one that covers part of
            // the screen.
            if (presented->isBeingDismissed() || presented->modalPresentationStyle() == UIModalPresentationFormSheet
                || presented->modalPresentationStyle() == UIModalPresentationPageSheet)
                break;
            owner = presented;
        }
    }
    Ref<UIViewController> hidden = owner;
    while (auto child = hidden->childViewControllerForStatusBarHidden())
        hidden = child;
    app->setStatusBarHidden(hidden->prefersStatusBarHidden());
    Ref<UIViewController> style = owner;
    while (auto child = style->childViewControllerForStatusBarStyle())
        style = child;
    app->setStatusBarStyle(style->preferredStatusBarStyle());
}

UIInterfaceOrientation UIViewController::interfaceOrientation() const
{
    return UIApplication::sharedApplication()->statusBarOrientation();
}

void UIViewController::setEditingAnimated(bool editing, bool)
{
    assertIsMainThread();
    m_editing = editing;
    updateEditButtonItem();
}

Ref<UIBarButtonItem> UIViewController::editButtonItem()
{
    if (!m_editButtonItem) {
        Weak<UIViewController> weak = self<UIViewController>();
        m_editButtonItem = UIBarButtonItem::initWithTitleStyleTargetAction(
            {}, UIBarButtonItemStyleBordered, self<UIViewController>(), [weak](const Ref<UIBarButtonItem>&) {
                if (auto controller = weak.lock())
                    controller->setEditingAnimated(!controller->isEditing(), true);
            });
        updateEditButtonItem();
    }
    return m_editButtonItem;
}

void UIViewController::updateEditButtonItem()
{
    if (!m_editButtonItem)
        return;
    m_editButtonItem->setTitle(m_editing ? "Done" : "Edit");
    m_editButtonItem->setStyle(m_editing ? UIBarButtonItemStyleDone : UIBarButtonItemStyleBordered);
}

Ref<UIResponder> UIViewController::nextResponder() const
{
    if (m_view) {
        if (auto super = m_view->superview())
            return super;
    }
    return parentViewController();
}

VX_REGISTER_CLASS(UIViewController);
