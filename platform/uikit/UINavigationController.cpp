#include "uikit/UINavigationController.h"

#include "graphics/UIColor.h"
#include "uikit/UIScreen.h"
#include "uikit/UIView.h"

#include <algorithm>

namespace {
constexpr CGFloat kNavigationBarHeight = 44;
constexpr CGFloat kStatusBarHeight = 20;
constexpr CGFloat kToolbarHeight = 44;
} // namespace

Ref<UINavigationController> UINavigationController::initWithRootViewController(const Ref<UIViewController>& root)
{
    auto nav = makeController<UINavigationController>({}, nullptr);
    if (root) {
        nav->addChildViewController(root);
        root->didMoveToParentViewController(nav);
    }
    return nav;
}

void UINavigationController::loadView()
{
    auto view = UIView::initWithFrame(UIScreen::mainScreen()->bounds());
    view->setClipsToBounds(true);
    CGSize size = view->bounds().size;
    m_navigationBar = UINavigationBar::initWithFrame(CGRectMake(0, kStatusBarHeight, size.width, kNavigationBarHeight));
    m_navigationBar->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    m_navigationBar->setStatusBarBackdropHeight(kStatusBarHeight);
    m_navigationBar->setHidden(m_navigationBarHidden);
    Weak<UINavigationController> weak = self<UINavigationController>();
    m_navigationBar->setBackAction([weak] {
        if (auto nav = weak.lock())
            nav->popViewControllerAnimated(true);
    });
    view->addSubview(m_navigationBar);
    m_toolbar = UIToolbar::initWithFrame(CGRectMake(0, size.height - kToolbarHeight, size.width, kToolbarHeight));
    m_toolbar->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleTopMargin);
    m_toolbar->setHidden(m_toolbarHidden);
    view->addSubview(m_toolbar);
    setView(view);
    updateBarsAnimated(false);
    if (auto top = topViewController()) {
        auto topView = top->view();
        topView->setFrame(frameForTopView(top));
        topView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
        view->insertSubviewBelowSubview(topView, m_navigationBar);
    }
}

void UINavigationController::viewDidLayoutSubviews()
{
    placeNavigationBar();
    layoutTopView();
}

void UINavigationController::placeNavigationBar()
{
    // The bar sits below the status bar only while the controller's view reaches the top of the
    // screen; in a popover or a form sheet it starts at the top of the view.
    if (!m_navigationBar || !view()->window())
        return;
    bool underStatusBar = view()->convertPointToView(CGPointZero, nullptr).y < kStatusBarHeight;
    CGRect frame = m_navigationBar->frame();
    CGFloat y = underStatusBar ? kStatusBarHeight : 0;
    if (frame.origin.y != y) {
        frame.origin.y = y;
        m_navigationBar->setFrame(frame);
    }
}

CGRect UINavigationController::frameForTopView(const Ref<UIViewController>& controller)
{
    CGRect bounds = view()->bounds();
    if (!controller || (controller->edgesForExtendedLayout() & UIRectEdgeTop) || m_navigationBarHidden
        || !m_navigationBar)
        return bounds;
    CGFloat top = CGRectGetMaxY(m_navigationBar->frame());
    return CGRectMake(
        bounds.origin.x, bounds.origin.y + top, bounds.size.width, std::max<CGFloat>(0, bounds.size.height - top));
}

void UINavigationController::layoutTopView()
{
    if (!isViewLoaded())
        return;
    if (auto top = topViewController(); top && top->isViewLoaded())
        top->view()->setFrame(frameForTopView(top));
}

Ref<UIViewController> UINavigationController::topViewController() const
{
    auto& children = childViewControllers();
    return children.empty() ? nullptr : children.back();
}

Ref<UIViewController> UINavigationController::visibleViewController() const
{
    if (auto presented = presentedViewController())
        return presented;
    return topViewController();
}

void UINavigationController::transition(const Ref<UIViewController>& from, const Ref<UIViewController>& to,
    bool animated, std::vector<Ref<UIViewController>> removed)
{
    auto self_ = self<UINavigationController>();
    bool onScreen = isViewLoaded() && isAppearingOrVisible();
    if (auto* d = delegate(); d && to)
        d->navigationControllerWillShowViewControllerAnimated(self_, to, animated);
    updateBarsAnimated(animated);
    if (!isViewLoaded() || from == to) {
        for (auto& c : removed)
            c->didMoveToParentViewController(nullptr);
        return;
    }
    // The incoming view loads before anyone is told of the transition.
    if (to)
        to->view();
    if (onScreen && from)
        from->beginAppearanceTransition(false, animated);
    if (onScreen && to)
        to->beginAppearanceTransition(true, animated);
    if (to) {
        auto toView = to->view();
        toView->setFrame(frameForTopView(to));
        toView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
        view()->insertSubviewBelowSubview(toView, m_navigationBar);
    }
    auto finish = [self_, from, to, onScreen, animated, removed]() {
        // Only remove the old view when it is no longer on the stack's top.
        if (from && from != self_->topViewController() && from->isViewLoaded()
            && from->view()->superview() == self_->view())
            from->view()->removeFromSuperview();
        if (onScreen && from)
            from->endAppearanceTransition();
        if (onScreen && to)
            to->endAppearanceTransition();
        for (auto& c : removed)
            c->didMoveToParentViewController(nullptr);
        if (auto* d = self_->delegate(); d && to)
            d->navigationControllerDidShowViewControllerAnimated(self_, to, animated);
    };
    if (onScreen)
        finishTransition(animated, std::move(finish));
    else
        finish();
}

void UINavigationController::pushViewControllerAnimated(const Ref<UIViewController>& controller, bool animated)
{
    if (!controller || controller->parentViewController())
        return;
    auto from = topViewController();
    addChildViewController(controller);
    transition(from, controller, animated, {});
    controller->didMoveToParentViewController(self<UINavigationController>());
}

Ref<UIViewController> UINavigationController::popViewControllerAnimated(bool animated)
{
    auto children = childViewControllers();
    if (children.size() < 2)
        return nullptr;
    auto from = children.back();
    auto to = children[children.size() - 2];
    from->willMoveToParentViewController(nullptr);
    detachChild(from);
    transition(from, to, animated, { from });
    return from;
}

std::vector<Ref<UIViewController>> UINavigationController::popToViewControllerAnimated(
    const Ref<UIViewController>& controller, bool animated)
{
    auto children = childViewControllers();
    auto it = std::find(children.begin(), children.end(), controller);
    if (it == children.end() || it + 1 == children.end())
        return {};
    std::vector<Ref<UIViewController>> popped(it + 1, children.end());
    auto from = children.back();
    for (auto& c : popped) {
        c->willMoveToParentViewController(nullptr);
        detachChild(c);
    }
    transition(from, controller, animated, popped);
    return popped;
}

std::vector<Ref<UIViewController>> UINavigationController::popToRootViewControllerAnimated(bool animated)
{
    auto children = childViewControllers();
    if (children.empty())
        return {};
    return popToViewControllerAnimated(children.front(), animated);
}

void UINavigationController::setViewControllersAnimated(
    const std::vector<Ref<UIViewController>>& controllers, bool animated)
{
    auto from = topViewController();
    std::vector<Ref<UIViewController>> removed;
    for (auto& c : childViewControllers()) {
        if (std::find(controllers.begin(), controllers.end(), c) == controllers.end()) {
            c->willMoveToParentViewController(nullptr);
            removed.push_back(c);
        }
    }
    for (auto& c : removed)
        detachChild(c);
    for (auto& c : controllers) {
        if (c->parentViewController().get() != this) {
            addChildViewController(c);
            c->didMoveToParentViewController(self<UINavigationController>());
        }
    }
    reorderChildren(controllers);
    transition(from, topViewController(), animated, removed);
}

void UINavigationController::updateBarsAnimated(bool animated)
{
    if (!isViewLoaded())
        return;
    std::vector<Ref<UINavigationItem>> items;
    for (auto& c : childViewControllers())
        items.push_back(c->navigationItem());
    m_navigationBar->setItemsAnimated(std::move(items), animated);
    auto top = topViewController();
    m_toolbar->setItemsAnimated(top ? top->toolbarItems() : std::vector<Ref<UIBarButtonItem>> {}, animated);
}

void UINavigationController::setToolbarHiddenAnimated(bool hidden, bool)
{
    m_toolbarHidden = hidden;
    if (m_toolbar)
        m_toolbar->setHidden(hidden);
}

void UINavigationController::setNavigationBarHiddenAnimated(bool hidden, bool)
{
    m_navigationBarHidden = hidden;
    if (m_navigationBar)
        m_navigationBar->setHidden(hidden);
}

VX_REGISTER_CLASS(UINavigationController);
