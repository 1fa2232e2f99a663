#pragma once

#include "uikit/UIGestureRecognizer.h"

#include <array>
#include <string>

// One or two fingers drawing a rectangle for box zoom: with two fingers (at any time of the
// gesture) the rectangle spans them; with one it spans from where the finger came down to where
// it is. A third finger fails the gesture, and a finger that lifts without moving fails it too.
// Main thread only.
class LChartBoxGestureRecogniser final : public UIGestureRecognizer {
    VX_OBJECT(LChartBoxGestureRecogniser, UIGestureRecognizer)
public:
    explicit LChartBoxGestureRecogniser(Passkey key)
        : UIGestureRecognizer(key)
    {
    }
    ~LChartBoxGestureRecogniser() override;
    static Ref<LChartBoxGestureRecogniser> init();
    static Ref<LChartBoxGestureRecogniser> initWithTargetAction(
        const Ref<NSObject>& target, const std::string& actionName, UIGestureRecognizerAction action);

    // The box in `view`, each side at least 10 points.
    CGRect boxInView(const Ref<UIView>& view) const;

    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void reset() override;

private:
    // Puts the touch in the first empty slot, else in the slot released last.
    void newTouch(const Ref<UITouch>& touch);

    std::array<Ref<UITouch>, 2> m_touches;
    CGPoint m_initialTouch {};
    int32_t m_nFingersDown { 0 };
    int32_t m_lastReleasedTouch { 0 };
    bool m_hadTwoFingers { false };
    bool m_validGesture { false };
};
