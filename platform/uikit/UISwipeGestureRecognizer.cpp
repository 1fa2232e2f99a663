#include "uikit/UISwipeGestureRecognizer.h"

#include "foundation/NSRunLoop.h"
#include "uikit/UITouch.h"

#include <cmath>

namespace {
constexpr CGFloat kMinimumDistance = 50;
constexpr CGFloat kDecisionDistance = 10;
// tan(30 degrees): how far the stroke may stray from its direction.
constexpr CGFloat kMaximumSlope = 0.57735f;
constexpr double kMaximumDuration = 0.5;
const char* const kTimeoutName = "UISwipeGestureRecognizerTimeout";

struct Direction {
    UISwipeGestureRecognizerDirection mask;
    CGFloat x, y;
};
constexpr Direction kDirections[] = {
    { UISwipeGestureRecognizerDirectionRight, 1, 0 },
    { UISwipeGestureRecognizerDirectionLeft, -1, 0 },
    { UISwipeGestureRecognizerDirectionUp, 0, -1 },
    { UISwipeGestureRecognizerDirectionDown, 0, 1 },
};
} // namespace

void UISwipeGestureRecognizer::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesBegan(touches, event);
    if (state() != UIGestureRecognizerStatePossible)
        return;
    if (numberOfTouches() > m_touchesRequired) {
        setState(UIGestureRecognizerStateFailed);
        return;
    }
    // The stroke is measured from where all the fingers are down.
    m_start = locationInView(nullptr);
    if (numberOfTouches() > touches.size())
        return;
    // The time allowed counts from the first finger.
    Weak<UISwipeGestureRecognizer> weak = self<UISwipeGestureRecognizer>();
    uint64_t generation = ++m_timerGeneration;
    NSRunLoop::mainRunLoop()->addDelayedPerform(nullptr, kTimeoutName,
        [weak, generation] {
            auto self_ = weak.lock();
            if (self_ && self_->m_timerGeneration == generation && self_->state() == UIGestureRecognizerStatePossible)
                self_->setState(UIGestureRecognizerStateFailed);
        },
        kMaximumDuration, { NSRunLoopCommonModes });
}

void UISwipeGestureRecognizer::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesMoved(touches, event);
    if (state() != UIGestureRecognizerStatePossible)
        return;
    CGPoint p = locationInView(nullptr);
    CGFloat dx = p.x - m_start.x;
    CGFloat dy = p.y - m_start.y;
    if (std::hypot(dx, dy) < kDecisionDistance)
        return;
    // The direction the stroke runs closest to must be an allowed one.
    const Direction* closest = nullptr;
    CGFloat best = -1;
    for (const auto& d : kDirections) {
        CGFloat along = dx * d.x + dy * d.y;
        if (along > best) {
            best = along;
            closest = &d;
        }
    }
    if (!(m_direction & closest->mask)) {
        setState(UIGestureRecognizerStateFailed);
        return;
    }
    CGFloat along = dx * closest->x + dy * closest->y;
    CGFloat across = std::abs(dx * closest->y - dy * closest->x);
    if (numberOfTouches() == m_touchesRequired && along >= kMinimumDistance && across <= along * kMaximumSlope)
        setState(UIGestureRecognizerStateEnded);
}

void UISwipeGestureRecognizer::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesEnded(touches, event);
    if (state() == UIGestureRecognizerStatePossible)
        setState(UIGestureRecognizerStateFailed);
}

VX_REGISTER_CLASS(UISwipeGestureRecognizer);
