#pragma once

#include "uikit/UIGestureRecognizer.h"

enum UISwipeGestureRecognizerDirection : uint32_t {
    UISwipeGestureRecognizerDirectionRight = 1 << 0,
    UISwipeGestureRecognizerDirectionLeft = 1 << 1,
    UISwipeGestureRecognizerDirectionUp = 1 << 2,
    UISwipeGestureRecognizerDirectionDown = 1 << 3,
};

// A quick stroke of numberOfTouchesRequired fingers in one of the allowed directions (a mask;
// right by default). The fingers' centre must travel 50 points within 30 degrees of an allowed
// direction within 0.5 s of the touches going down. It fails when more fingers come down, when
// after 10 points the stroke runs closer to a direction that is not allowed, when the fingers lift
// first, or when the time runs out. Discrete: it recognizes while the fingers are still moving.
class UISwipeGestureRecognizer : public UIGestureRecognizer {
    VX_OBJECT(UISwipeGestureRecognizer, UIGestureRecognizer)
public:
    explicit UISwipeGestureRecognizer(Passkey key)
        : UIGestureRecognizer(key)
    {
    }
    static Ref<UISwipeGestureRecognizer> init() { return make<UISwipeGestureRecognizer>(); }

    uint32_t direction() const { return m_direction; }
    void setDirection(uint32_t direction) { m_direction = direction; }
    uint32_t numberOfTouchesRequired() const { return m_touchesRequired; }
    void setNumberOfTouchesRequired(uint32_t n) { m_touchesRequired = n ? n : 1; }

    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void reset() override { ++m_timerGeneration; }

private:
    uint32_t m_direction { UISwipeGestureRecognizerDirectionRight };
    uint32_t m_touchesRequired { 1 };
    CGPoint m_start {};
    uint64_t m_timerGeneration { 0 };
};
