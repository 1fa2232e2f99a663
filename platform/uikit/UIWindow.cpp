#include "uikit/UIWindow.h"

#include "foundation/NSNotificationCenter.h"
#include "foundation/ThreadChecks.h"
#include "uikit/UIApplication.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UITouch.h"
#include "uikit/UIViewController.h"

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
    assertIsMainThread();
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
    assertIsMainThread();
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
    assertIsMainThread();
    makeKeyWindow();
    setHidden(false);
}

void UIWindow::makeKeyWindow()
{
    assertIsMainThread();
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
    assertIsMainThread();
    NSNotificationCenter::defaultCenter()->postNotificationName(UIWindowDidBecomeKeyNotification, self<UIWindow>());
}

void UIWindow::resignKeyWindow()
{
    assertIsMainThread();
    auto app = UIApplication::sharedApplication();
    if (app->keyWindow().get() == this)
        app->setKeyWindowInternal(nullptr);
    NSNotificationCenter::defaultCenter()->postNotificationName(UIWindowDidResignKeyNotification, self<UIWindow>());
}

bool UIWindow::admitsTouch(const Ref<UITouch>& touch)
{
    std::erase_if(m_activeTouches, [](const Weak<UITouch>& weak) {
        auto t = weak.lock();
        return !t || t->phase() == UITouchPhaseEnded || t->phase() == UITouchPhaseCancelled;
    });
    auto view = touch->view();
    for (const auto& weak : m_activeTouches) {
        auto other = weak.lock()->view();
        if (other && other != view && (other->isExclusiveTouch() || (view && view->isExclusiveTouch())))
            return false;
    }
    return true;
}

void UIWindow::attachRecognizers(const Ref<UITouch>& touch)
{
    // The recognizers of the hit view and its ancestors, deepest first.
    std::vector<Ref<UIGestureRecognizer>> recognizers;
    for (auto v = touch->view(); v; v = v->superview()) {
        for (auto& recognizer : std::vector<Ref<UIGestureRecognizer>>(v->gestureRecognizers())) {
            if (recognizer->receivesTouch(touch)) {
                recognizer->addTouchInternal(touch);
                recognizers.push_back(recognizer);
            }
        }
    }
    touch->setGestureRecognizers(std::move(recognizers));
}

void UIWindow::sendEvent(const Ref<UIEvent>& event)
{
    assertIsMainThread();
    if (!event)
        return;
    auto protectedThis = self<UIWindow>();
    UITouchSet changed;
    for (const auto& touch : event->allTouches()) {
        if (touch->window().get() == this && touch->phase() != UITouchPhaseStationary)
            changed.push_back(touch);
    }
    for (const auto& touch : changed) {
        if (touch->phase() != UITouchPhaseBegan)
            continue;
        if (!admitsTouch(touch)) {
            touch->setView(nullptr);
            touch->setGestureRecognizers({});
            touch->setCancelledForView(true);
            continue;
        }
        m_activeTouches.push_back(touch);
        attachRecognizers(touch);
    }

    for (UITouchPhase phase : { UITouchPhaseBegan, UITouchPhaseMoved, UITouchPhaseEnded, UITouchPhaseCancelled }) {
        UITouchSet touches;
        for (const auto& touch : changed) {
            if (touch->phase() == phase)
                touches.push_back(touch);
        }
        if (touches.empty())
            continue;

        // Recognizers first, in the order their touches list them, each with its own touches;
        // one that recognizes may cancel the touches for their views.
        std::vector<Ref<UIGestureRecognizer>> recognizers;
        for (const auto& touch : touches) {
            for (const auto& recognizer : touch->gestureRecognizers()) {
                if (std::find(recognizers.begin(), recognizers.end(), recognizer) == recognizers.end())
                    recognizers.push_back(recognizer);
            }
        }
        for (const auto& recognizer : recognizers) {
            auto state = recognizer->state();
            if (!recognizer->isEnabled() || state == UIGestureRecognizerStateEnded
                || state == UIGestureRecognizerStateCancelled || state == UIGestureRecognizerStateFailed)
                continue;
            UITouchSet own;
            for (const auto& touch : touches) {
                const auto& list = touch->gestureRecognizers();
                if (std::find(list.begin(), list.end(), recognizer) != list.end())
                    own.push_back(touch);
            }
            if (own.empty())
                continue;
            switch (phase) {
            case UITouchPhaseBegan:
                recognizer->touchesBegan(own, event);
                break;
            case UITouchPhaseMoved:
                recognizer->touchesMoved(own, event);
                break;
            case UITouchPhaseEnded:
                recognizer->touchesEnded(own, event);
                break;
            case UITouchPhaseCancelled:
                recognizer->touchesCancelled(own, event);
                break;
            case UITouchPhaseStationary:
                break;
            }
        }

        // Then each view with its touches that no recognizer took.
        std::vector<std::pair<Ref<UIView>, UITouchSet>> byView;
        for (const auto& touch : touches) {
            auto view = touch->view();
            if (!view || touch->isCancelledForView())
                continue;
            auto it
                = std::find_if(byView.begin(), byView.end(), [&](const auto& entry) { return entry.first == view; });
            if (it == byView.end())
                byView.push_back({ view, { touch } });
            else
                it->second.push_back(touch);
        }
        for (const auto& [view, own] : byView) {
            // A recognizer acting on an earlier view's touches may have taken these since.
            UITouchSet live;
            for (const auto& touch : own) {
                if (!touch->isCancelledForView())
                    live.push_back(touch);
            }
            if (live.empty())
                continue;
            switch (phase) {
            case UITouchPhaseBegan:
                for (const auto& touch : live)
                    touch->setViewBegan(true);
                view->touchesBegan(live, event);
                break;
            case UITouchPhaseMoved:
                view->touchesMoved(live, event);
                break;
            case UITouchPhaseEnded:
                view->touchesEnded(live, event);
                break;
            case UITouchPhaseCancelled:
                view->touchesCancelled(live, event);
                break;
            case UITouchPhaseStationary:
                break;
            }
        }

        if (phase == UITouchPhaseEnded || phase == UITouchPhaseCancelled) {
            for (const auto& touch : touches) {
                // The view is done with the touch, and the touch no longer keeps recognizers.
                touch->setCancelledForView(true);
                touch->setGestureRecognizers({});
            }
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
