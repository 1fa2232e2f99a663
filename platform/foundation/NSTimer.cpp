#include "foundation/NSTimer.h"

#include "foundation/Clock.h"
#include "foundation/NSRunLoop.h"

#include <cmath>

NSTimer::NSTimer(
    Passkey key, NSTimeInterval interval, Ref<NSObject> target, Action action, Value userInfo, bool repeats)
    : NSObject(key)
    , m_interval(interval > 0 ? interval : 0)
    , m_repeats(repeats)
    , m_target(std::move(target))
    , m_action(std::move(action))
    , m_userInfo(std::move(userInfo))
    , m_fireMedia(Clock::mediaTime() + m_interval)
{
}

Ref<NSTimer> NSTimer::timerWithTimeIntervalTargetSelectorUserInfoRepeats(
    NSTimeInterval interval, Ref<NSObject> target, Action selector, Value userInfo, bool repeats)
{
    return make<NSTimer>(interval, std::move(target), std::move(selector), std::move(userInfo), repeats);
}

Ref<NSTimer> NSTimer::scheduledTimerWithTimeIntervalTargetSelectorUserInfoRepeats(
    NSTimeInterval interval, Ref<NSObject> target, Action selector, Value userInfo, bool repeats)
{
    auto timer = timerWithTimeIntervalTargetSelectorUserInfoRepeats(
        interval, std::move(target), std::move(selector), std::move(userInfo), repeats);
    NSRunLoop::currentRunLoop()->addTimerForMode(timer, NSDefaultRunLoopMode);
    return timer;
}

Ref<NSTimer> NSTimer::timerWithTimeIntervalRepeatsBlock(NSTimeInterval interval, bool repeats, Action block)
{
    return make<NSTimer>(interval, nullptr, std::move(block), Value(), repeats);
}

Ref<NSTimer> NSTimer::scheduledTimerWithTimeIntervalRepeatsBlock(NSTimeInterval interval, bool repeats, Action block)
{
    auto timer = timerWithTimeIntervalRepeatsBlock(interval, repeats, std::move(block));
    NSRunLoop::currentRunLoop()->addTimerForMode(timer, NSDefaultRunLoopMode);
    return timer;
}

void NSTimer::callAction()
{
    Action action;
    Ref<NSObject> target;
    {
        std::lock_guard guard(m_lock);
        if (!m_valid)
            return;
        action = m_action;
        target = m_target; // kept alive across the call even if the action invalidates
    }
    auto self = this->self<NSTimer>();
    if (action)
        action(self);
    if (!m_repeats)
        invalidate();
}

void NSTimer::fire()
{
    callAction();
}

void NSTimer::fireOnSchedule(double now)
{
    {
        std::lock_guard guard(m_lock);
        if (!m_valid || m_fireMedia > now)
            return;
        if (m_repeats) {
            if (m_interval <= 0) {
                m_fireMedia = now;
            } else {
                // Skip firings that were missed; the next one stays on the original grid.
                double next = m_fireMedia + m_interval;
                if (next <= now)
                    next += std::floor((now - next) / m_interval + 1) * m_interval;
                m_fireMedia = next;
            }
        }
    }
    callAction();
}

void NSTimer::invalidate()
{
    Ref<NSObject> target;
    Action action;
    {
        std::lock_guard guard(m_lock);
        if (!m_valid)
            return;
        m_valid = false;
        target = std::move(m_target);
        action = std::move(m_action);
    }
    // Released here, outside the lock: dropping the target may run its destructor.
}

bool NSTimer::isValid() const
{
    std::lock_guard guard(m_lock);
    return m_valid;
}

double NSTimer::fireDate() const
{
    std::lock_guard guard(m_lock);
    return m_fireMedia + (Clock::wallTime() - Clock::mediaTime());
}

void NSTimer::setFireDate(double secondsSince1970)
{
    {
        std::lock_guard guard(m_lock);
        m_fireMedia = secondsSince1970 - (Clock::wallTime() - Clock::mediaTime());
    }
    NSRunLoop::timerScheduleChanged();
}

NSTimeInterval NSTimer::timeInterval() const
{
    return m_repeats ? m_interval : 0;
}

Value NSTimer::userInfo() const
{
    std::lock_guard guard(m_lock);
    return m_userInfo;
}

NSTimeInterval NSTimer::tolerance() const
{
    std::lock_guard guard(m_lock);
    return m_tolerance;
}

void NSTimer::setTolerance(NSTimeInterval tolerance)
{
    std::lock_guard guard(m_lock);
    m_tolerance = tolerance < 0 ? 0 : tolerance;
}

double NSTimer::fireMediaTime() const
{
    std::lock_guard guard(m_lock);
    return m_fireMedia;
}

VX_REGISTER_CLASS(NSTimer);
