#include "uikit/UIControl.h"

#include "foundation/ThreadChecks.h"
#include "uikit/UITouch.h"

#include <algorithm>

namespace {
// How far outside its bounds a dragged touch still counts as inside the control.
constexpr CGFloat kTouchSlop = 70;
} // namespace

void UIControl::addTargetActionForControlEvents(
    const Ref<NSObject>& target, const std::string& actionName, UIControlAction action, UIControlEvents events)
{
    assertIsMainThread();
    if (!action || events == 0)
        return;
    // The same target and action for more events extends the existing pair, keeping its place.
    for (auto& entry : m_targetActions) {
        if (entry.hasTarget == (target != nullptr) && entry.target.lock() == target && !actionName.empty()
            && entry.name == actionName) {
            entry.events |= events;
            return;
        }
    }
    m_targetActions.push_back({ target, target != nullptr, actionName, std::move(action), events });
}

void UIControl::removeTargetActionForControlEvents(
    const Ref<NSObject>& target, const std::string& actionName, UIControlEvents events)
{
    assertIsMainThread();
    for (auto& entry : m_targetActions) {
        if (target && entry.target.lock() != target)
            continue;
        if (!actionName.empty() && entry.name != actionName)
            continue;
        entry.events &= ~events;
    }
    m_targetActions.erase(std::remove_if(m_targetActions.begin(), m_targetActions.end(),
                              [](const TargetAction& e) { return e.events == 0; }),
        m_targetActions.end());
}

std::vector<std::string> UIControl::actionsForTargetForControlEvent(
    const Ref<NSObject>& target, UIControlEvents event) const
{
    std::vector<std::string> names;
    for (const auto& entry : m_targetActions) {
        if ((entry.events & event) && entry.target.lock() == target)
            names.push_back(entry.name);
    }
    return names;
}

UIControlEvents UIControl::allControlEvents() const
{
    UIControlEvents all = 0;
    for (const auto& entry : m_targetActions)
        all |= entry.events;
    return all;
}

void UIControl::sendActions(UIControlEvents events, const Ref<UIEvent>& event)
{
    assertIsMainThread();
    Ref<UIControl> protectedThis = self<UIControl>();
    // Copy: actions may add or remove targets while they run.
    auto entries = m_targetActions;
    for (auto& entry : entries) {
        if (!(entry.events & events))
            continue;
        if (entry.hasTarget && entry.target.expired())
            continue;
        entry.action(protectedThis, event);
    }
}

void UIControl::setEnabled(bool enabled)
{
    assertIsMainThread();
    m_enabled = enabled;
    setNeedsDisplay();
}

void UIControl::setSelected(bool selected)
{
    assertIsMainThread();
    m_selected = selected;
    setNeedsDisplay();
}

void UIControl::setHighlighted(bool highlighted)
{
    assertIsMainThread();
    m_highlighted = highlighted;
    setNeedsDisplay();
}

UIControlState UIControl::state() const
{
    UIControlState s = UIControlStateNormal;
    if (m_highlighted)
        s |= UIControlStateHighlighted;
    if (!m_enabled)
        s |= UIControlStateDisabled;
    if (m_selected)
        s |= UIControlStateSelected;
    return s;
}

Ref<UIView> UIControl::hitTest(CGPoint point, const Ref<UIEvent>& event)
{
    // A disabled control lets touches through to what is behind it.
    if (!m_enabled)
        return nullptr;
    return UIView::hitTest(point, event);
}

bool UIControl::touchIsInside(const Ref<UITouch>& touch)
{
    CGPoint p = touch->locationInView(self<UIView>());
    return CGRectContainsPoint(CGRectInset(bounds(), -kTouchSlop, -kTouchSlop), p);
}

void UIControl::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    assertIsMainThread();
    if (touches.empty() || !m_enabled)
        return;
    auto touch = touches.front();
    m_touchInside = true;
    m_tracking = beginTrackingWithTouchWithEvent(touch, event);
    setHighlighted(true);
    UIControlEvents events = UIControlEventTouchDown;
    if (touch->tapCount() > 1)
        events |= UIControlEventTouchDownRepeat;
    sendActions(events, event);
}

void UIControl::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    assertIsMainThread();
    if (touches.empty() || !m_enabled)
        return;
    auto touch = touches.front();
    bool wasInside = m_touchInside;
    m_touchInside = touchIsInside(touch);
    setHighlighted(m_touchInside);
    if (m_tracking)
        m_tracking = continueTrackingWithTouchWithEvent(touch, event);
    // Crossing the edge is told first, then the drag itself.
    if (m_touchInside != wasInside)
        sendActions(m_touchInside ? UIControlEventTouchDragEnter : UIControlEventTouchDragExit, event);
    sendActions(m_touchInside ? UIControlEventTouchDragInside : UIControlEventTouchDragOutside, event);
}

void UIControl::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    assertIsMainThread();
    if (touches.empty())
        return;
    auto touch = touches.front();
    m_touchInside = touchIsInside(touch);
    setHighlighted(false);
    if (m_tracking)
        endTrackingWithTouchWithEvent(touch, event);
    m_tracking = false;
    if (m_enabled)
        sendActions(m_touchInside ? UIControlEventTouchUpInside : UIControlEventTouchUpOutside, event);
    m_touchInside = false;
}

void UIControl::touchesCancelled(const UITouchSet&, const Ref<UIEvent>& event)
{
    assertIsMainThread();
    setHighlighted(false);
    if (m_tracking)
        cancelTrackingWithEvent(event);
    m_tracking = false;
    m_touchInside = false;
    sendActions(UIControlEventTouchCancel, event);
}

VX_REGISTER_CLASS(UIControl);
