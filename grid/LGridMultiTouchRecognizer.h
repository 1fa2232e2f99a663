#pragma once

#include "uikit/UIGestureRecognizer.h"

#include <vector>

// Two fingers held still for a quarter of a second, then moved: the gesture of column resizing.
// The second finger down sends the possible action at once; the hold then begins the gesture,
// movement changes it, a lift ends it. A third finger, a movement with one finger or a lift
// before the hold is over make it fail. Main thread only.
class LGridMultiTouchRecognizer : public UIGestureRecognizer {
    VX_OBJECT(LGridMultiTouchRecognizer, UIGestureRecognizer)
public:
    explicit LGridMultiTouchRecognizer(Passkey key)
        : UIGestureRecognizer(key)
    {
    }
    ~LGridMultiTouchRecognizer() override;
    // The only way to make one: the target is held weakly.
    static Ref<LGridMultiTouchRecognizer> initWithTargetActionAndPossibleAction(const Ref<NSObject>& target,
        const std::string& actionName, UIGestureRecognizerAction action, UIGestureRecognizerAction possibleAction);

    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesCancelled(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void reset() override;

    void holdComplete();
    void cancel() { setState(UIGestureRecognizerStateCancelled); }
    int32_t touchCount() const { return m_totalTouches; }
    bool isHolding() const { return m_holdWait; }
    CGPoint touchPointAtIndex(int32_t index) const;
    // Touches 0 and 1 in the view, the one with the smaller x first (on equal x, touch 1).
    void leftTouchAndRight(CGPoint* left, CGPoint* right) const;

private:
    std::vector<Ref<UITouch>> m_touches;
    int32_t m_totalTouches { 0 };
    bool m_holdWait { false };
    UIGestureRecognizerAction m_possibleAction;
    Weak<NSObject> m_target;
};
