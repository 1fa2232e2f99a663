#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"
#include "uikit/UIKitForward.h"

enum UITouchPhase : int32_t {
    UITouchPhaseBegan = 0,
    UITouchPhaseMoved = 1,
    UITouchPhaseStationary = 2,
    UITouchPhaseEnded = 3,
    UITouchPhaseCancelled = 4,
};

// One finger on the screen, from touch-down to lift-off. Its view is the one hit when it began.
// Made by the host's touch synthesis. Main thread only.
class UITouch : public NSObject {
    VX_OBJECT(UITouch, NSObject)
public:
    explicit UITouch(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<UITouch> init() { return make<UITouch>(); }

    UITouchPhase phase() const { return m_phase; }
    double timestamp() const { return m_timestamp; }
    uint32_t tapCount() const { return m_tapCount; }
    Ref<UIView> view() const { return m_view.lock(); }
    Ref<UIWindow> window() const { return m_window.lock(); }
    // The touch's position in `view`'s space (the window's when view is nullptr).
    CGPoint locationInView(const Ref<UIView>& view) const;
    CGPoint previousLocationInView(const Ref<UIView>& view) const;

    // Set by the host while it delivers the touch.
    void setPhase(UITouchPhase phase) { m_phase = phase; }
    void setTimestamp(double t) { m_timestamp = t; }
    void setTapCount(uint32_t count) { m_tapCount = count; }
    void setView(const Ref<UIView>& view) { m_view = view; }
    void setWindow(const Ref<UIWindow>& window) { m_window = window; }
    // Moves the touch to a point in its window's space, remembering the previous one.
    void setWindowLocation(CGPoint point);

    // Delivery bookkeeping: the recognizers that see this touch, and whether its view has been
    // told it began or was cancelled by a recognizer.
    const std::vector<Ref<UIGestureRecognizer>>& gestureRecognizers() const { return m_gestureRecognizers; }
    void setGestureRecognizers(std::vector<Ref<UIGestureRecognizer>> list) { m_gestureRecognizers = std::move(list); }
    bool viewBegan() const { return m_viewBegan; }
    void setViewBegan(bool v) { m_viewBegan = v; }
    bool isCancelledForView() const { return m_cancelledForView; }
    void setCancelledForView(bool v) { m_cancelledForView = v; }

private:
    UITouchPhase m_phase { UITouchPhaseBegan };
    double m_timestamp { 0 };
    uint32_t m_tapCount { 1 };
    Weak<UIView> m_view;
    Weak<UIWindow> m_window;
    CGPoint m_location {};
    CGPoint m_previousLocation {};
    bool m_located { false };
    std::vector<Ref<UIGestureRecognizer>> m_gestureRecognizers;
    bool m_viewBegan { false };
    bool m_cancelledForView { false };
};

enum UIEventType : int32_t {
    UIEventTypeTouches = 0,
    UIEventTypeMotion = 1,
    UIEventTypeRemoteControl = 2,
};

// The touches of one delivery. Main thread only.
class UIEvent : public NSObject {
    VX_OBJECT(UIEvent, NSObject)
public:
    explicit UIEvent(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<UIEvent> initWithTouches(UITouchSet touches, double timestamp);

    UIEventType type() const { return UIEventTypeTouches; }
    double timestamp() const { return m_timestamp; }
    const UITouchSet& allTouches() const { return m_touches; }
    UITouchSet touchesForView(const Ref<UIView>& view) const;
    UITouchSet touchesForWindow(const Ref<UIWindow>& window) const;

private:
    UITouchSet m_touches;
    double m_timestamp { 0 };
};
