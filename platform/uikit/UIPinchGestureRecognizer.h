#pragma once

#include "uikit/UITwoTouchGestureRecognizer.h"

// Two fingers moving apart or together. The scale is the distance between the first two touches
// over their distance when they went down; the gesture begins once that distance has changed by
// 8 points, changes with every move and ends when fewer than two touches remain (it fails when
// all lift first). The velocity is the scale's change per second over the last move. A finger
// replacing one of the pair continues the scale from where it was. Continuous.
class UIPinchGestureRecognizer : public UITwoTouchGestureRecognizer {
    VX_OBJECT(UIPinchGestureRecognizer, UITwoTouchGestureRecognizer)
public:
    explicit UIPinchGestureRecognizer(Passkey key)
        : UITwoTouchGestureRecognizer(key)
    {
    }
    static Ref<UIPinchGestureRecognizer> init() { return make<UIPinchGestureRecognizer>(); }

    CGFloat scale() const { return m_scale; }
    // Later moves scale relative to this value (handlers often set it back to 1). A scale of
    // zero or less is kept until the next move, which starts again from 1.
    void setScale(CGFloat scale);
    CGFloat velocity() const { return m_velocity; }

    void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void reset() override;

private:
    // The distance between the first two touches down; 0 with fewer.
    CGFloat span() const;
    void pairChanged() override;
    void pairRestarted() override;

    CGFloat m_scale { 1 };
    CGFloat m_velocity { 0 };
    // The distance at which the scale would be 1.
    CGFloat m_referenceSpan { 0 };
    CGFloat m_startSpan { 0 };
};
