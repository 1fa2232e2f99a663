#pragma once

#include "uikit/UIGestureRecognizer.h"

// Recognizes numberOfTapsRequired taps (each starting within 0.35 s of the previous one ending)
// by numberOfTouchesRequired fingers that move no more than 10 points. Discrete.
class UITapGestureRecognizer : public UIGestureRecognizer {
    VX_OBJECT(UITapGestureRecognizer, UIGestureRecognizer)
public:
    explicit UITapGestureRecognizer(Passkey key)
        : UIGestureRecognizer(key)
    {
    }
    static Ref<UITapGestureRecognizer> init() { return make<UITapGestureRecognizer>(); }

    uint32_t numberOfTapsRequired() const { return m_tapsRequired; }
    void setNumberOfTapsRequired(uint32_t n) { m_tapsRequired = n ? n : 1; }
    uint32_t numberOfTouchesRequired() const { return m_touchesRequired; }
    void setNumberOfTouchesRequired(uint32_t n) { m_touchesRequired = n ? n : 1; }

    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void reset() override;

private:
    void cancelTimer();

    uint32_t m_tapsRequired { 1 };
    uint32_t m_touchesRequired { 1 };
    uint32_t m_taps { 0 };
    // The most fingers down at once during the current tap.
    uint32_t m_touchesSeen { 0 };
    CGPoint m_start {};
    bool m_waitingForNextTap { false };
    uint64_t m_timerGeneration { 0 };
};
