#include "uikit/UITapGestureRecognizer.h"

#include "foundation/NSRunLoop.h"
#include "uikit/UITouch.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kNextTapTimeout = 0.35;
constexpr CGFloat kAllowableMovement = 10;
const char* const kTimeoutName = "UITapGestureRecognizerTimeout";
} // namespace

// A timeout that was overtaken (by a tap or a reset) finds a newer generation and does nothing.
void UITapGestureRecognizer::cancelTimer()
{
    ++m_timerGeneration;
}

void UITapGestureRecognizer::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesBegan(touches, event);
    if (state() != UIGestureRecognizerStatePossible)
        return;
    cancelTimer();
    m_waitingForNextTap = false;
    bool joining = numberOfTouches() > touches.size();
    m_touchesSeen = std::max(m_touchesSeen, numberOfTouches());
    if (m_touchesSeen > m_touchesRequired) {
        setState(UIGestureRecognizerStateFailed);
        return;
    }
    CGPoint p = locationInView(nullptr);
    if (m_taps > 0 && !joining && std::hypot(p.x - m_start.x, p.y - m_start.y) > kAllowableMovement) {
        setState(UIGestureRecognizerStateFailed);
        return;
    }
    // A finger joining the first tap moves its centre without the hand moving.
    if (m_taps == 0)
        m_start = p;
}

void UITapGestureRecognizer::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesMoved(touches, event);
    if (state() != UIGestureRecognizerStatePossible)
        return;
    CGPoint p = locationInView(nullptr);
    if (std::hypot(p.x - m_start.x, p.y - m_start.y) > kAllowableMovement)
        setState(UIGestureRecognizerStateFailed);
}

void UITapGestureRecognizer::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesEnded(touches, event);
    if (state() != UIGestureRecognizerStatePossible || numberOfTouches() > 0)
        return;
    // Every tap is made with the number of fingers asked for.
    uint32_t fingers = m_touchesSeen;
    m_touchesSeen = 0;
    if (fingers != m_touchesRequired) {
        setState(UIGestureRecognizerStateFailed);
        return;
    }
    if (++m_taps >= m_tapsRequired) {
        setState(UIGestureRecognizerStateEnded);
        return;
    }
    // Wait for the next tap; without one in time the gesture fails.
    m_waitingForNextTap = true;
    Weak<UITapGestureRecognizer> weak = self<UITapGestureRecognizer>();
    uint64_t generation = ++m_timerGeneration;
    NSRunLoop::mainRunLoop()->addDelayedPerform(nullptr, kTimeoutName,
        [weak, generation] {
            auto self_ = weak.lock();
            if (self_ && self_->m_timerGeneration == generation && self_->m_waitingForNextTap
                && self_->state() == UIGestureRecognizerStatePossible) {
                self_->m_waitingForNextTap = false;
                self_->setState(UIGestureRecognizerStateFailed);
            }
        },
        kNextTapTimeout, { NSRunLoopCommonModes });
}

void UITapGestureRecognizer::reset()
{
    cancelTimer();
    m_taps = 0;
    m_touchesSeen = 0;
    m_waitingForNextTap = false;
}

VX_REGISTER_CLASS(UITapGestureRecognizer);
