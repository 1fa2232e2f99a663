#include "uikit/UILongPressGestureRecognizer.h"

#include "foundation/NSRunLoop.h"

#include <cmath>

void UILongPressGestureRecognizer::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesBegan(touches, event);
    if (state() != UIGestureRecognizerStatePossible)
        return;
    m_start = locationInView(nullptr);
    Weak<UILongPressGestureRecognizer> weak = self<UILongPressGestureRecognizer>();
    uint64_t generation = ++m_timerGeneration;
    NSRunLoop::mainRunLoop()->addDelayedPerform(nullptr, "UILongPressGestureRecognizerTimer",
        [weak, generation] {
            auto self_ = weak.lock();
            if (self_ && self_->m_timerGeneration == generation && self_->state() == UIGestureRecognizerStatePossible
                && self_->numberOfTouches() > 0)
                self_->setState(UIGestureRecognizerStateBegan);
        },
        m_minimumPressDuration, { NSRunLoopCommonModes });
}

void UILongPressGestureRecognizer::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesMoved(touches, event);
    if (state() == UIGestureRecognizerStatePossible) {
        CGPoint p = locationInView(nullptr);
        if (std::hypot(p.x - m_start.x, p.y - m_start.y) > m_allowableMovement) {
            ++m_timerGeneration;
            setState(UIGestureRecognizerStateFailed);
        }
    } else if (state() == UIGestureRecognizerStateBegan || state() == UIGestureRecognizerStateChanged) {
        setState(UIGestureRecognizerStateChanged);
    }
}

void UILongPressGestureRecognizer::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesEnded(touches, event);
    ++m_timerGeneration;
    if (state() == UIGestureRecognizerStateBegan || state() == UIGestureRecognizerStateChanged)
        setState(UIGestureRecognizerStateEnded);
    else if (state() == UIGestureRecognizerStatePossible)
        setState(UIGestureRecognizerStateFailed);
}

VX_REGISTER_CLASS(UILongPressGestureRecognizer);
