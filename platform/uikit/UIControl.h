#pragma once

#include "uikit/UIView.h"

#include <functional>
#include <string>
#include <vector>

using UIControlEvents = uint32_t;
inline constexpr UIControlEvents UIControlEventTouchDown = 1 << 0;
inline constexpr UIControlEvents UIControlEventTouchDownRepeat = 1 << 1;
inline constexpr UIControlEvents UIControlEventTouchDragInside = 1 << 2;
inline constexpr UIControlEvents UIControlEventTouchDragOutside = 1 << 3;
inline constexpr UIControlEvents UIControlEventTouchDragEnter = 1 << 4;
inline constexpr UIControlEvents UIControlEventTouchDragExit = 1 << 5;
inline constexpr UIControlEvents UIControlEventTouchUpInside = 1 << 6;
inline constexpr UIControlEvents UIControlEventTouchUpOutside = 1 << 7;
inline constexpr UIControlEvents UIControlEventTouchCancel = 1 << 8;
inline constexpr UIControlEvents UIControlEventValueChanged = 1 << 12;
inline constexpr UIControlEvents UIControlEventEditingDidBegin = 1 << 16;
inline constexpr UIControlEvents UIControlEventEditingChanged = 1 << 17;
inline constexpr UIControlEvents UIControlEventEditingDidEnd = 1 << 18;
inline constexpr UIControlEvents UIControlEventEditingDidEndOnExit = 1 << 19;
inline constexpr UIControlEvents UIControlEventAllTouchEvents = 0x00000FFF;
inline constexpr UIControlEvents UIControlEventAllEditingEvents = 0x000F0000;
inline constexpr UIControlEvents UIControlEventAllEvents = 0xFFFFFFFF;

using UIControlState = uint32_t;
inline constexpr UIControlState UIControlStateNormal = 0;
inline constexpr UIControlState UIControlStateHighlighted = 1 << 0;
inline constexpr UIControlState UIControlStateDisabled = 1 << 1;
inline constexpr UIControlState UIControlStateSelected = 1 << 2;

enum UIControlContentHorizontalAlignment : int32_t {
    UIControlContentHorizontalAlignmentCenter = 0,
    UIControlContentHorizontalAlignmentLeft = 1,
    UIControlContentHorizontalAlignmentRight = 2,
    UIControlContentHorizontalAlignmentFill = 3,
};

enum UIControlContentVerticalAlignment : int32_t {
    UIControlContentVerticalAlignmentCenter = 0,
    UIControlContentVerticalAlignmentTop = 1,
    UIControlContentVerticalAlignmentBottom = 2,
    UIControlContentVerticalAlignmentFill = 3,
};

// The action of a target-action pair: called with the control and the event that caused it
// (nullptr for actions sent in code).
using UIControlAction = std::function<void(const Ref<UIControl>& sender, const Ref<UIEvent>& event)>;

// A view that turns touches into control events and sends each event's actions to their
// targets in the order they were added. Targets are held weakly; an action added with a null
// target always runs. Touch tracking: touch down, drags inside and outside (within 70 points of
// the bounds counts as inside), touch up inside or outside, cancel. Main thread only.
class UIControl : public UIView {
    VX_OBJECT(UIControl, UIView)
public:
    explicit UIControl(Passkey key)
        : UIView(key)
    {
    }
    static Ref<UIControl> initWithFrame(CGRect frame) { return makeView<UIControl>(frame); }

    // `actionName` names the action (the selector) for removal and for actionsForTarget.
    void addTargetActionForControlEvents(
        const Ref<NSObject>& target, const std::string& actionName, UIControlAction action, UIControlEvents events);
    // A member function of the target, called with the sender.
    template <typename T>
    void addTarget(const Ref<T>& target, void (T::*method)(const Ref<NSObject>& sender), const std::string& actionName,
        UIControlEvents events)
    {
        Weak<T> weak = target;
        addTargetActionForControlEvents(
            target, actionName,
            [weak, method](const Ref<UIControl>& sender, const Ref<UIEvent>&) {
                if (auto t = weak.lock())
                    ((*t).*method)(sender);
            },
            events);
    }
    // Removes the target's actions (all of them when actionName is empty) for the events; a
    // null target removes every target's.
    void removeTargetActionForControlEvents(
        const Ref<NSObject>& target, const std::string& actionName, UIControlEvents events);
    std::vector<std::string> actionsForTargetForControlEvent(const Ref<NSObject>& target, UIControlEvents event) const;
    UIControlEvents allControlEvents() const;
    void sendActionsForControlEvents(UIControlEvents events) { sendActions(events, nullptr); }

    bool isEnabled() const { return m_enabled; }
    virtual void setEnabled(bool enabled);
    bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted);
    UIControlState state() const;
    UIControlContentHorizontalAlignment contentHorizontalAlignment() const { return m_horizontalAlignment; }
    void setContentHorizontalAlignment(UIControlContentHorizontalAlignment a)
    {
        m_horizontalAlignment = a;
        setNeedsLayout();
    }
    UIControlContentVerticalAlignment contentVerticalAlignment() const { return m_verticalAlignment; }
    void setContentVerticalAlignment(UIControlContentVerticalAlignment a)
    {
        m_verticalAlignment = a;
        setNeedsLayout();
    }

    // Tracking hooks for subclasses; returning false from begin or continue stops tracking.
    virtual bool beginTrackingWithTouchWithEvent(const Ref<UITouch>&, const Ref<UIEvent>&) { return true; }
    virtual bool continueTrackingWithTouchWithEvent(const Ref<UITouch>&, const Ref<UIEvent>&) { return true; }
    virtual void endTrackingWithTouchWithEvent(const Ref<UITouch>&, const Ref<UIEvent>&) { }
    virtual void cancelTrackingWithEvent(const Ref<UIEvent>&) { }
    bool isTracking() const { return m_tracking; }
    bool isTouchInside() const { return m_touchInside; }

    Ref<UIView> hitTest(CGPoint point, const Ref<UIEvent>& event) override;
    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesCancelled(const UITouchSet& touches, const Ref<UIEvent>& event) override;

protected:
    void sendActions(UIControlEvents events, const Ref<UIEvent>& event);

private:
    struct TargetAction {
        Weak<NSObject> target;
        bool hasTarget;
        std::string name;
        UIControlAction action;
        UIControlEvents events;
    };
    bool touchIsInside(const Ref<UITouch>& touch);

    std::vector<TargetAction> m_targetActions;
    bool m_enabled { true };
    bool m_selected { false };
    bool m_highlighted { false };
    bool m_tracking { false };
    bool m_touchInside { false };
    UIControlContentHorizontalAlignment m_horizontalAlignment { UIControlContentHorizontalAlignmentCenter };
    UIControlContentVerticalAlignment m_verticalAlignment { UIControlContentVerticalAlignmentCenter };
};
