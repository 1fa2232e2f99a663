#include "UIRotationGestureRecognizer.h"

#include "UITouch.h"

#include <cmath>
#include <numbers>

namespace {
constexpr double kRotationHysteresis = 0.1;

bool isDown(const Ref<UITouch>& t)
{
    return t->phase() != UITouchPhaseEnded && t->phase() != UITouchPhaseCancelled;
}

// The turn from `from` to `to` the short way round, in (-pi, pi].
double turn(double from, double to)
{
    double d = std::remainder(to - from, 2 * std::numbers::pi);
    return d == -std::numbers::pi ? std::numbers::pi : d;
}
} // namespace

std::optional<double> UIRotationGestureRecognizer::angle() const
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
        return std::nullopt;
    return std::atan2(double(points[1].y - points[0].y), double(points[1].x - points[0].x));
}

void UIRotationGestureRecognizer::followPair()
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
    m_lastAngle = *angle();
}

void UIRotationGestureRecognizer::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesBegan(touches, event);
    if (!touches.empty())
        m_lastTime = touches.front()->timestamp();
    followPair();
}

void UIRotationGestureRecognizer::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesMoved(touches, event);
    followPair();
    auto now = angle();
    if (!now || !m_first)
        return;
    double delta = turn(m_lastAngle, *now);
    m_lastAngle = *now;
    m_turned += delta;
    m_rotation = CGFloat(m_rotation + delta);
    double time = touches.empty() ? m_lastTime : touches.front()->timestamp();
    double dt = time - m_lastTime;
    if (dt > 0)
        m_velocity = CGFloat(delta / dt);
    m_lastTime = time;
    if (state() == UIGestureRecognizerStatePossible) {
        if (std::abs(m_turned) >= kRotationHysteresis)
            setState(UIGestureRecognizerStateBegan);
    } else if (state() == UIGestureRecognizerStateBegan || state() == UIGestureRecognizerStateChanged) {
        setState(UIGestureRecognizerStateChanged);
    }
}

void UIRotationGestureRecognizer::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
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
    // The pair broke before the rotation began: a new second finger starts afresh.
    m_first = m_second = nullptr;
    m_turned = 0;
    m_rotation = 0;
    followPair();
}

void UIRotationGestureRecognizer::reset()
{
    m_rotation = 0;
    m_velocity = 0;
    m_turned = 0;
    m_first = m_second = nullptr;
}

VX_REGISTER_CLASS(UIRotationGestureRecognizer);
