#pragma once

#include "uikit/UIGestureRecognizer.h"

#include <optional>
#include <utility>

// What the pinch and rotation recognizers share: they measure the first two touches down (the
// pair), follow a finger that replaces one of the pair, and end when fewer than two touches
// remain; before the gesture began, a broken pair starts afresh with the next second finger and
// lifting every finger fails it. Subclasses measure the pair and move the state while touches
// move.
class UITwoTouchGestureRecognizer : public UIGestureRecognizer {
    VX_OBJECT(UITwoTouchGestureRecognizer, UIGestureRecognizer)
public:
    explicit UITwoTouchGestureRecognizer(Passkey key)
        : UIGestureRecognizer(key)
    {
    }

    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void reset() override;

protected:
    // Where the pair is in window coordinates, first touch first; nullopt with fewer than two
    // touches down.
    std::optional<std::pair<CGPoint, CGPoint>> pairPoints() const;
    bool hasPair() const { return m_first != nullptr; }
    // Re-reads which touches form the pair, calling pairChanged when they are new.
    void followPair();
    // The time of this delivery (the last one's when it carries no touches).
    double eventTime(const UITouchSet& touches) const;

    // The pair is now other touches: measure from here on.
    virtual void pairChanged() = 0;
    // The pair broke before the gesture began: forget what was measured.
    virtual void pairRestarted() = 0;

    double m_lastTime { 0 };

private:
    const UITouch* m_first { nullptr };
    const UITouch* m_second { nullptr };
};
