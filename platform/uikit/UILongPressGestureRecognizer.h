#pragma once

#include "uikit/UIGestureRecognizer.h"

// Begins when a touch stays down for minimumPressDuration (0.5 s) without moving more than
// allowableMovement (10 points); then changes as it moves and ends when it lifts. Continuous.
class UILongPressGestureRecognizer : public UIGestureRecognizer {
    VX_OBJECT(UILongPressGestureRecognizer, UIGestureRecognizer)
public:
    explicit UILongPressGestureRecognizer(Passkey key)
        : UIGestureRecognizer(key)
    {
    }
    static Ref<UILongPressGestureRecognizer> init() { return make<UILongPressGestureRecognizer>(); }

    double minimumPressDuration() const { return m_minimumPressDuration; }
    void setMinimumPressDuration(double d) { m_minimumPressDuration = d; }
    CGFloat allowableMovement() const { return m_allowableMovement; }
    void setAllowableMovement(CGFloat m) { m_allowableMovement = m; }

    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void reset() override { ++m_timerGeneration; }

private:
    double m_minimumPressDuration { 0.5 };
    CGFloat m_allowableMovement { 10 };
    CGPoint m_start {};
    uint64_t m_timerGeneration { 0 };
};
