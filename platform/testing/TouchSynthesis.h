#pragma once

// Gestures made of synthesized touches for test programs that link UIKit: taps, timed double
// taps, a long press that drags, and two fingers that hold and spread. Points are in the key
// window's coordinates. Time passes only on the installed virtual clock, which each helper moves
// between the steps of its gesture (timers, delayed performs and animations due meanwhile run),
// so nothing sleeps. Header-only, like HostedWindow.h, so the testing kit itself needs no UIKit.
// Main thread only.

#include "testing/VirtualClock.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UITouch.h"

#include <cstdlib>
#include <vector>

namespace TouchSynthesis {

// The installed virtual clock; a gesture without one is a broken test.
inline VirtualClock& clock()
{
    auto source = std::dynamic_pointer_cast<VirtualClock>(Clock::source());
    if (!source)
        std::abort();
    return *source;
}

inline void wait(double seconds)
{
    if (seconds > 0)
        clock().advance(seconds);
}

inline CGPoint lerp(CGPoint from, CGPoint to, double t)
{
    return CGPointMake(
        static_cast<CGFloat>(from.x + (to.x - from.x) * t), static_cast<CGFloat>(from.y + (to.y - from.y) * t));
}

// Down and up at one point.
inline void tap(CGPoint point)
{
    UIApplicationHost::tap(point);
}

// Two taps at one point, `gap` seconds apart (the platform's limit between them is 0.35 s).
inline void doubleTap(CGPoint point, double gap = 0.1)
{
    UIApplicationHost::tap(point);
    wait(gap);
    UIApplicationHost::tap(point);
}

// One finger that stays on the glass between calls.
class Finger {
public:
    explicit Finger(CGPoint point)
        : m_touch(UIApplicationHost::touchDown(point))
        , m_location(point)
    {
    }
    ~Finger() { lift(); }
    Finger(const Finger&) = delete;
    Finger& operator=(const Finger&) = delete;

    // Stays still for `seconds`.
    void hold(double seconds) { wait(seconds); }
    // Moves to `point` in `steps` equal moves, `stepSeconds` apart.
    void moveTo(CGPoint point, int steps = 1, double stepSeconds = 0)
    {
        CGPoint from = m_location;
        for (int step = 1; step <= steps; ++step) {
            wait(stepSeconds);
            m_location = lerp(from, point, static_cast<double>(step) / steps);
            UIApplicationHost::touchMove(m_touch, m_location);
        }
    }
    void moveBy(CGFloat dx, CGFloat dy, int steps = 1, double stepSeconds = 0)
    {
        moveTo(CGPointMake(m_location.x + dx, m_location.y + dy), steps, stepSeconds);
    }
    void lift()
    {
        if (m_touch)
            UIApplicationHost::touchUp(m_touch);
        m_touch = nullptr;
    }
    void cancel()
    {
        if (m_touch)
            UIApplicationHost::touchCancel(m_touch);
        m_touch = nullptr;
    }
    CGPoint location() const { return m_location; }
    const Ref<UITouch>& touch() const { return m_touch; }

private:
    Ref<UITouch> m_touch;
    CGPoint m_location;
};

// A long press at `from` held for `hold` seconds (the platform's minimum is 0.5 s), then a drag
// to `to` in `steps` moves `stepSeconds` apart, then the lift.
inline void longPressAndDrag(CGPoint from, CGPoint to, double hold = 0.6, int steps = 10, double stepSeconds = 0.02)
{
    Finger finger(from);
    finger.hold(hold);
    finger.moveTo(to, steps, stepSeconds);
    finger.lift();
}

// Two fingers that go down together and move together.
class TwoFingers {
public:
    TwoFingers(CGPoint first, CGPoint second)
        : m_touches(UIApplicationHost::touchesDown({ first, second }))
        , m_locations { first, second }
    {
    }
    ~TwoFingers() { lift(); }
    TwoFingers(const TwoFingers&) = delete;
    TwoFingers& operator=(const TwoFingers&) = delete;

    void hold(double seconds) { wait(seconds); }
    // Moves both fingers to their new points in `steps` equal moves, `stepSeconds` apart.
    void moveTo(CGPoint first, CGPoint second, int steps = 1, double stepSeconds = 0)
    {
        std::vector<CGPoint> from = m_locations;
        for (int step = 1; step <= steps; ++step) {
            wait(stepSeconds);
            double t = static_cast<double>(step) / steps;
            m_locations = { lerp(from[0], first, t), lerp(from[1], second, t) };
            UIApplicationHost::touchesMove(m_touches, m_locations);
        }
    }
    // Moves the fingers apart horizontally by `distance` in all, half to each side (negative
    // pinches them together).
    void spread(CGFloat distance, int steps = 1, double stepSeconds = 0)
    {
        CGFloat half = distance / 2;
        bool firstIsLeft = m_locations[0].x <= m_locations[1].x;
        CGFloat d0 = firstIsLeft ? -half : half;
        moveTo(CGPointMake(m_locations[0].x + d0, m_locations[0].y),
            CGPointMake(m_locations[1].x - d0, m_locations[1].y), steps, stepSeconds);
    }
    void lift()
    {
        if (!m_touches.empty())
            UIApplicationHost::touchesUp(m_touches);
        m_touches.clear();
    }
    // Lifts one finger alone; the other stays down and keeps moving with moveTo (its point for
    // the lifted finger is ignored).
    void liftFinger(size_t finger)
    {
        if (finger < m_touches.size() && m_touches[finger])
            UIApplicationHost::touchesUp({ m_touches[finger] });
    }
    CGPoint location(size_t finger) const { return m_locations.at(finger); }

private:
    std::vector<Ref<UITouch>> m_touches;
    std::vector<CGPoint> m_locations;
};

// Two fingers held at their points for `hold` seconds, spread by `distance`, then lifted.
inline void twoFingerHoldAndSpread(CGPoint first, CGPoint second, double hold, CGFloat distance, int steps = 4)
{
    TwoFingers fingers(first, second);
    fingers.hold(hold);
    fingers.spread(distance, steps, 0.02);
    fingers.lift();
}

} // namespace TouchSynthesis
