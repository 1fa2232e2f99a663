#pragma once

#include "uikit/UIGestureRecognizer.h"

// Begins once the touches have moved 10 points, then changes with every move and ends when they
// all lift. Fingers joining or leaving do not move the translation. Translation is measured from where the touches went
// down (or from the last setTranslationInView); velocity from the last two moves on the process clock. Continuous.
class UIPanGestureRecognizer : public UIGestureRecognizer {
    VX_OBJECT(UIPanGestureRecognizer, UIGestureRecognizer)
public:
    explicit UIPanGestureRecognizer(Passkey key)
        : UIGestureRecognizer(key)
    {
    }
    static Ref<UIPanGestureRecognizer> init() { return make<UIPanGestureRecognizer>(); }

    uint32_t minimumNumberOfTouches() const { return m_minimumTouches; }
    void setMinimumNumberOfTouches(uint32_t n) { m_minimumTouches = n ? n : 1; }
    uint32_t maximumNumberOfTouches() const { return m_maximumTouches; }
    void setMaximumNumberOfTouches(uint32_t n) { m_maximumTouches = n; }

    CGPoint translationInView(const Ref<UIView>& view) const;
    void setTranslationInView(CGPoint translation, const Ref<UIView>& view);
    // Points per second in `view`'s space.
    CGPoint velocityInView(const Ref<UIView>& view) const;

    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void reset() override;

protected:
    // A subclass that decides its own states sets this: the recognizer still measures its
    // translation and velocity from the touches but no longer begins, ends or fails by itself.
    void setLeavesStateToSubclass(bool leaves) { m_leavesStateToSubclass = leaves; }

private:
    void sample(double timestamp);
    void followCentroid();

    uint32_t m_minimumTouches { 1 };
    uint32_t m_maximumTouches { UINT32_MAX };
    CGPoint m_origin {}; // window space
    CGPoint m_lastPoint {};
    double m_lastTime { 0 };
    CGPoint m_velocity {}; // window space
    bool m_leavesStateToSubclass { false };
};
