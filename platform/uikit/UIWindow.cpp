#include "UIWindow.h"

#include "NSNotificationCenter.h"
#include "UIApplication.h"
#include "UIGestureRecognizer.h"
#include "UITouch.h"
#include "UIViewController.h"

#include <algorithm>

namespace {
std::vector<Weak<UIWindow>>& windowRegistry()
{
    static std::vector<Weak<UIWindow>> s_windows;
    return s_windows;
}
} // namespace

UIWindow::~UIWindow()
{
    auto& list = windowRegistry();
    list.erase(
        std::remove_if(list.begin(), list.end(), [](const Weak<UIWindow>& w) { return w.expired(); }), list.end());
}

Ref<UIWindow> UIWindow::init()
{
    return initWithFrame(CGRectZero);
}

Ref<UIWindow> UIWindow::initWithFrame(CGRect frame)
{
    return makeWindow<UIWindow>(frame);
}

void UIWindow::registerWindow()
{
    layer()->setHidden(true);
    windowRegistry().push_back(self<UIWindow>());
}

std::vector<Ref<UIWindow>> UIWindow::allWindows()
{
    std::vector<Ref<UIWindow>> result;
    for (auto& weak : windowRegistry()) {
        if (auto window = weak.lock())
            result.push_back(window);
    }
    std::stable_sort(result.begin(), result.end(),
        [](const Ref<UIWindow>& a, const Ref<UIWindow>& b) { return a->windowLevel() < b->windowLevel(); });
    return result;
}

void UIWindow::setRootViewController(const Ref<UIViewController>& controller)
{
    if (controller == m_rootViewController)
        return;
    auto old = m_rootViewController;
    bool visible = !isHidden();
    if (old && visible)
        old->beginAppearanceTransition(false, false);
    if (old && old->isViewLoaded())
        old->view()->removeFromSuperview();
    m_rootViewController = controller;
    if (!controller) {
        if (old && visible)
            old->endAppearanceTransition();
        return;
    }
    if (visible) {
        controller->beginAppearanceTransition(true, false);
        installRootView();
        if (old)
            old->endAppearanceTransition();
        controller->endAppearanceTransition();
    }
}

void UIWindow::installRootView()
{
    auto view = m_rootViewController->view();
    if (!view || view->superview().get() == this)
        return;
    view->setFrame(bounds());
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    addSubview(view);
}

void UIWindow::setHidden(bool hidden)
{
    if (hidden == isHidden())
        return;
    auto root = m_rootViewController;
    if (root)
        root->beginAppearanceTransition(!hidden, false);
    if (!hidden && root)
        installRootView();
    UIView::setHidden(hidden);
    if (hidden && isKeyWindow())
        resignKeyWindow();
    NSNotificationCenter::defaultCenter()->postNotificationName(
        hidden ? UIWindowDidBecomeHiddenNotification : UIWindowDidBecomeVisibleNotification, self<UIWindow>());
    if (root)
        root->endAppearanceTransition();
    UIViewUpdateCycle::schedule();
}

void UIWindow::makeKeyAndVisible()
{
    makeKeyWindow();
    setHidden(false);
}

void UIWindow::makeKeyWindow()
{
    auto app = UIApplication::sharedApplication();
    auto current = app->keyWindow();
    if (current.get() == this)
        return;
    if (current)
        current->resignKeyWindow();
    app->setKeyWindowInternal(self<UIWindow>());
    becomeKeyWindow();
}

bool UIWindow::isKeyWindow() const
{
    return UIApplication::sharedApplication()->keyWindow().get() == this;
}

void UIWindow::becomeKeyWindow()
{
    NSNotificationCenter::defaultCenter()->postNotificationName(UIWindowDidBecomeKeyNotification, self<UIWindow>());
}

void UIWindow::resignKeyWindow()
{
    auto app = UIApplication::sharedApplication();
    if (app->keyWindow().get() == this)
        app->setKeyWindowInternal(nullptr);
    NSNotificationCenter::defaultCenter()->postNotificationName(UIWindowDidResignKeyNotification, self<UIWindow>());
}

void UIWindow::sendEvent(const Ref<UIEvent>& event)
{
    if (!event)
        return;
    for (const auto& touch : event->allTouches()) {
        if (touch->window().get() != this)
            continue;
        auto view = touch->view();
        UITouchSet touches { touch };
        auto phase = touch->phase();
        if (phase == UITouchPhaseBegan) {
            // The recognizers of the hit view and its ancestors, deepest first.
            std::vector<Ref<UIGestureRecognizer>> recognizers;
            for (auto v = view; v; v = v->superview()) {
                for (auto& recognizer : v->gestureRecognizers()) {
                    if (recognizer->receivesTouch(touch)) {
                        recognizer->addTouchInternal(touch);
                        recognizers.push_back(recognizer);
                    }
                }
            }
            touch->setGestureRecognizers(std::move(recognizers));
        }
        // Recognizers first; one that recognizes may cancel the touch for the view.
        for (auto& recognizer : std::vector<Ref<UIGestureRecognizer>>(touch->gestureRecognizers())) {
            auto state = recognizer->state();
            if (!recognizer->isEnabled() || state == UIGestureRecognizerStateEnded
                || state == UIGestureRecognizerStateCancelled || state == UIGestureRecognizerStateFailed)
                continue;
            switch (phase) {
            case UITouchPhaseBegan:
                recognizer->touchesBegan(touches, event);
                break;
            case UITouchPhaseMoved:
                recognizer->touchesMoved(touches, event);
                break;
            case UITouchPhaseEnded:
                recognizer->touchesEnded(touches, event);
                break;
            case UITouchPhaseCancelled:
                recognizer->touchesCancelled(touches, event);
                break;
            case UITouchPhaseStationary:
                break;
            }
        }
        if (view && !touch->isCancelledForView()) {
            switch (phase) {
            case UITouchPhaseBegan:
                touch->setViewBegan(true);
                view->touchesBegan(touches, event);
                break;
            case UITouchPhaseMoved:
                view->touchesMoved(touches, event);
                break;
            case UITouchPhaseEnded:
                view->touchesEnded(touches, event);
                break;
            case UITouchPhaseCancelled:
                view->touchesCancelled(touches, event);
                break;
            case UITouchPhaseStationary:
                break;
            }
        }
        if (phase == UITouchPhaseEnded || phase == UITouchPhaseCancelled) {
            // The view is done with the touch, and the touch no longer keeps recognizers.
            touch->setCancelledForView(true);
            touch->setGestureRecognizers({});
        }
    }
    UIGestureRecognizer::flushResets();
}

CGPoint UIWindow::convertPointToWindow(CGPoint point, const Ref<UIWindow>& window) const
{
    if (!window)
        return convertPointToView(point, nullptr);
    return convertPointToView(point, window);
}

CGPoint UIWindow::convertPointFromWindow(CGPoint point, const Ref<UIWindow>& window) const
{
    if (!window)
        return point;
    return convertPointFromView(point, window);
}

Ref<UIResponder> UIWindow::nextResponder() const
{
    return UIApplication::sharedApplication();
}

VX_REGISTER_CLASS(UIWindow);
