#include "UIPinchGestureRecognizer.h"

#include "UITouch.h"

#include <cmath>

namespace {
constexpr CGFloat kPinchHysteresis = 8;

bool isDown(const Ref<UITouch>& t)
{
    return t->phase() != UITouchPhaseEnded && t->phase() != UITouchPhaseCancelled;
}
} // namespace

CGFloat UIPinchGestureRecognizer::span() const
{
    CGPoint points[2] = {};
    int n = 0;
    for (const auto& t : trackedTouches()) {
        if (!isDown(t))
            continue;
        points[n] = t->locationInView(nullptr);
        if (++n == 2)
            break;
    }
    if (n < 2)
        return 0;
    return std::hypot(points[1].x - points[0].x, points[1].y - points[0].y);
}

void UIPinchGestureRecognizer::followPair()
{
    const UITouch* pair[2] = {};
    int n = 0;
    for (const auto& t : trackedTouches()) {
        if (isDown(t) && n < 2)
            pair[n++] = t.get();
    }
    if (n < 2 || (pair[0] == m_first && pair[1] == m_second))
        return;
    m_first = pair[0];
    m_second = pair[1];
    CGFloat s = span();
    if (m_startSpan <= 0)
        m_startSpan = s;
    m_referenceSpan = m_scale > 0 ? s / m_scale : s;
}

void UIPinchGestureRecognizer::setScale(CGFloat scale)
{
    m_scale = scale;
    CGFloat s = span();
    m_referenceSpan = scale > 0 ? s / scale : 0;
}

void UIPinchGestureRecognizer::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesBegan(touches, event);
    if (!touches.empty())
        m_lastTime = touches.front()->timestamp();
    followPair();
}

void UIPinchGestureRecognizer::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesMoved(touches, event);
    followPair();
    CGFloat s = span();
    if (s <= 0)
        return;
    if (m_referenceSpan <= 0) {
        m_referenceSpan = m_scale > 0 ? s / m_scale : s;
        return;
    }
    double now = touches.empty() ? m_lastTime : touches.front()->timestamp();
    auto update = [&] {
        CGFloat scale = s / m_referenceSpan;
        double dt = now - m_lastTime;
        if (dt > 0)
            m_velocity = CGFloat((scale - m_scale) / dt);
        m_scale = scale;
        m_lastTime = now;
    };
    if (state() == UIGestureRecognizerStatePossible) {
        if (std::abs(s - m_startSpan) < kPinchHysteresis) {
            m_lastTime = now;
            return;
        }
        update();
        setState(UIGestureRecognizerStateBegan);
    } else if (state() == UIGestureRecognizerStateBegan || state() == UIGestureRecognizerStateChanged) {
        update();
        setState(UIGestureRecognizerStateChanged);
    }
}

void UIPinchGestureRecognizer::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesEnded(touches, event);
    uint32_t left = numberOfTouches();
    if (state() == UIGestureRecognizerStateBegan || state() == UIGestureRecognizerStateChanged) {
        if (left < 2)
            setState(UIGestureRecognizerStateEnded);
        else
            followPair();
        return;
    }
    if (state() != UIGestureRecognizerStatePossible)
        return;
    if (left == 0) {
        setState(UIGestureRecognizerStateFailed);
        return;
    }
    // The pair broke before the pinch began: a new second finger starts afresh.
    m_first = m_second = nullptr;
    m_startSpan = 0;
    m_referenceSpan = 0;
    followPair();
}

void UIPinchGestureRecognizer::reset()
{
    m_scale = 1;
    m_velocity = 0;
    m_referenceSpan = 0;
    m_startSpan = 0;
    m_first = m_second = nullptr;
}

VX_REGISTER_CLASS(UIPinchGestureRecognizer);
