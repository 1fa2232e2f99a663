#include "uikit/UIPinchGestureRecognizer.h"

#include <cmath>

namespace {
constexpr CGFloat kPinchHysteresis = 8;
} // namespace

CGFloat UIPinchGestureRecognizer::span() const
{
    auto pair = pairPoints();
    if (!pair)
        return 0;
    return std::hypot(pair->second.x - pair->first.x, pair->second.y - pair->first.y);
}

void UIPinchGestureRecognizer::pairChanged()
{
    CGFloat s = span();
    if (m_startSpan <= 0)
        m_startSpan = s;
    m_referenceSpan = m_scale > 0 ? s / m_scale : s;
}

void UIPinchGestureRecognizer::pairRestarted()
{
    m_startSpan = 0;
    m_referenceSpan = 0;
}

void UIPinchGestureRecognizer::setScale(CGFloat scale)
{
    m_scale = scale;
    CGFloat s = span();
    m_referenceSpan = scale > 0 ? s / scale : 0;
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
    double now = eventTime(touches);
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

void UIPinchGestureRecognizer::reset()
{
    m_scale = 1;
    m_velocity = 0;
    m_referenceSpan = 0;
    m_startSpan = 0;
    UITwoTouchGestureRecognizer::reset();
}

VX_REGISTER_CLASS(UIPinchGestureRecognizer);
