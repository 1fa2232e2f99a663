#include "uikit/UIRotationGestureRecognizer.h"

#include <cmath>
#include <numbers>

namespace {
constexpr double kRotationHysteresis = 0.1;

// The turn from `from` to `to` the short way round, in (-pi, pi].
double turn(double from, double to)
{
    double d = std::remainder(to - from, 2 * std::numbers::pi);
    return d == -std::numbers::pi ? std::numbers::pi : d;
}
} // namespace

std::optional<double> UIRotationGestureRecognizer::angle() const
{
    auto pair = pairPoints();
    if (!pair)
        return std::nullopt;
    return std::atan2(double(pair->second.y - pair->first.y), double(pair->second.x - pair->first.x));
}

void UIRotationGestureRecognizer::pairChanged()
{
    m_lastAngle = *angle();
}

void UIRotationGestureRecognizer::pairRestarted()
{
    m_turned = 0;
    m_rotation = 0;
}

void UIRotationGestureRecognizer::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesMoved(touches, event);
    followPair();
    auto now = angle();
    if (!now || !hasPair())
        return;
    double delta = turn(m_lastAngle, *now);
    m_lastAngle = *now;
    m_turned += delta;
    m_rotation = CGFloat(m_rotation + delta);
    double time = eventTime(touches);
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

void UIRotationGestureRecognizer::reset()
{
    m_rotation = 0;
    m_velocity = 0;
    m_turned = 0;
    UITwoTouchGestureRecognizer::reset();
}

VX_REGISTER_CLASS(UIRotationGestureRecognizer);
