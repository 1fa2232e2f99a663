#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"
#include "uikit/UIKitForward.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class UIGestureRecognizer;

enum UIGestureRecognizerState : int32_t {
    UIGestureRecognizerStatePossible = 0,
    UIGestureRecognizerStateBegan = 1,
    UIGestureRecognizerStateChanged = 2,
    UIGestureRecognizerStateEnded = 3,
    UIGestureRecognizerStateCancelled = 4,
    UIGestureRecognizerStateFailed = 5,
    UIGestureRecognizerStateRecognized = UIGestureRecognizerStateEnded,
};

// What a recognizer asks its delegate. All optional.
class UIGestureRecognizerDelegate {
public:
    virtual ~UIGestureRecognizerDelegate() = default;
    virtual bool gestureRecognizerShouldBegin(const Ref<UIGestureRecognizer>&) { return true; }
    virtual bool gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
        const Ref<UIGestureRecognizer>&, const Ref<UIGestureRecognizer>&)
    {
        return false;
    }
    virtual bool gestureRecognizerShouldReceiveTouch(const Ref<UIGestureRecognizer>&, const Ref<UITouch>&)
    {
        return true;
    }
};

using UIGestureRecognizerAction = std::function<void(const Ref<UIGestureRecognizer>&)>;

// Turns the touches of its view (and the view's subviews) into a gesture. Recognizers see each
// touch before the view does. The state machine: Possible, then either Failed, or Ended for a
// discrete gesture, or Began, Changed..., Ended or Cancelled for a continuous one; actions run
// on every state but Possible and Failed, in the order added. Recognizing cancels the view's
// touches (cancelsTouchesInView) and makes the other recognizers of those touches fail unless
// either delegate allows both or the subclass hooks canPrevent/canBePrevented say the two do
// not exclude each other. A recognizer that requires another to fail waits for it. Terminal
// states are followed by reset() and Possible once the current event has been delivered.
// Disabling cancels a gesture in progress. Subclasses override the touch methods (calling
// the base first) and move the state with setState. Main thread only.
class UIGestureRecognizer : public NSObject {
    VX_OBJECT(UIGestureRecognizer, NSObject)
public:
    explicit UIGestureRecognizer(Passkey key)
        : NSObject(key)
    {
    }
    ~UIGestureRecognizer() override;
    static Ref<UIGestureRecognizer> init() { return make<UIGestureRecognizer>(); }

    void addTargetAction(const Ref<NSObject>& target, const std::string& actionName, UIGestureRecognizerAction action);
    void removeTargetAction(const Ref<NSObject>& target, const std::string& actionName);

    UIGestureRecognizerState state() const { return m_state; }
    virtual void setState(UIGestureRecognizerState state);
    Ref<UIView> view() const { return m_view.lock(); }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    bool cancelsTouchesInView() const { return m_cancelsTouchesInView; }
    void setCancelsTouchesInView(bool v) { m_cancelsTouchesInView = v; }
    bool delaysTouchesBegan() const { return m_delaysTouchesBegan; }
    void setDelaysTouchesBegan(bool v) { m_delaysTouchesBegan = v; }
    bool delaysTouchesEnded() const { return m_delaysTouchesEnded; }
    void setDelaysTouchesEnded(bool v) { m_delaysTouchesEnded = v; }
    void requireGestureRecognizerToFail(const Ref<UIGestureRecognizer>& other) { m_requiredToFail.push_back(other); }

    void setDelegate(UIGestureRecognizerDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = delegate;
        m_delegateOwner = std::move(owner);
    }
    UIGestureRecognizerDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }

    // The centroid of the current touches (the last ones once they ended), in `view`'s space
    // (the window's when nullptr).
    virtual CGPoint locationInView(const Ref<UIView>& view) const;
    uint32_t numberOfTouches() const;
    CGPoint locationOfTouchInView(uint32_t index, const Ref<UIView>& view) const;

    virtual void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event);
    virtual void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event);
    virtual void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event);
    virtual void touchesCancelled(const UITouchSet& touches, const Ref<UIEvent>& event);
    // Back to the start; the state is set to Possible after it.
    virtual void reset() { }
    // Whether this recognizer, once it recognizes, makes `other` fail (and the reverse). Both
    // must agree for one to exclude the other.
    virtual bool canPreventGestureRecognizer(const Ref<UIGestureRecognizer>&) const { return true; }
    virtual bool canBePreventedByGestureRecognizer(const Ref<UIGestureRecognizer>&) const { return true; }
    // Whether `winner`, having recognized, makes `loser` fail: not when either delegate lets
    // them recognize together, nor when either subclass hook declines.
    static bool prevents(const Ref<UIGestureRecognizer>& winner, const Ref<UIGestureRecognizer>& loser);

    // For views and the window's event delivery.
    void setViewInternal(const Ref<UIView>& view) { m_view = view; }
    bool receivesTouch(const Ref<UITouch>& touch);
    void addTouchInternal(const Ref<UITouch>& touch);
    bool isTrackingInternal() const { return m_engaged && m_state == UIGestureRecognizerStatePossible; }
    // Resets the recognizers that reached a terminal state during the event just delivered.
    static void flushResets();

protected:
    // True while the recognizer has seen touches or waits for more (a multi-tap); cleared on
    // reset. A recognizer requiring this one to fail waits while this is set.
    void setEngaged(bool engaged) { m_engaged = engaged; }
    // Called on every change of state, before the actions run (for recognizers that drive a
    // view of their own rather than through target-action).
    virtual void didChangeState(UIGestureRecognizerState) { }
    const std::vector<Ref<UITouch>>& trackedTouches() const { return m_touches; }

private:
    struct TargetAction {
        Weak<NSObject> target;
        bool hasTarget;
        std::string name;
        UIGestureRecognizerAction action;
    };
    void applyState(UIGestureRecognizerState state);
    void sendActions();
    void cancelViewTouches();
    void excludeOthers();
    void requiredRecognizerFinished(const UIGestureRecognizer* other, bool failed);
    void resetNow();

    UIGestureRecognizerState m_state { UIGestureRecognizerStatePossible };
    Weak<UIView> m_view;
    std::vector<TargetAction> m_actions;
    bool m_enabled { true };
    bool m_cancelsTouchesInView { true };
    bool m_delaysTouchesBegan { false };
    bool m_delaysTouchesEnded { true };
    bool m_engaged { false };
    std::vector<Weak<UIGestureRecognizer>> m_requiredToFail;
    std::vector<Weak<UIGestureRecognizer>> m_waitingOnMe;
    std::optional<UIGestureRecognizerState> m_pendingState;
    std::vector<Ref<UITouch>> m_touches;
    CGPoint m_lastLocation {};
    UIGestureRecognizerDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
};
