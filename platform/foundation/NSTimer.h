#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <functional>
#include <mutex>

// A timer that fires on the run loops it is added to. Fire times follow the process clock's
// media time, so a wall-clock jump does not move them. A repeating timer that falls behind
// skips the missed firings; a repeating timer with interval 0 fires once on every pass of its
// run loop. The timer keeps its target and action alive until it is invalidated; a one-shot
// timer invalidates itself after firing. Tolerance is kept but ignored. Any thread; the action
// runs on the thread of the run loop that fires it.
class NSTimer : public NSObject {
    VX_OBJECT(NSTimer, NSObject)

public:
    using Action = std::function<void(const Ref<NSTimer>&)>;

    NSTimer(Passkey, NSTimeInterval interval, Ref<NSObject> target, Action action, Value userInfo, bool repeats);

    // Target/selector timers: `selector` is called with the timer while `target` is kept alive.
    static Ref<NSTimer> timerWithTimeIntervalTargetSelectorUserInfoRepeats(
        NSTimeInterval interval, Ref<NSObject> target, Action selector, Value userInfo, bool repeats);
    static Ref<NSTimer> scheduledTimerWithTimeIntervalTargetSelectorUserInfoRepeats(
        NSTimeInterval interval, Ref<NSObject> target, Action selector, Value userInfo, bool repeats);
    template <typename T>
    static Ref<NSTimer> scheduledTimerWithTimeIntervalTargetSelectorUserInfoRepeats(NSTimeInterval interval,
        const Ref<T>& target, void (T::*selector)(const Ref<NSTimer>&), Value userInfo, bool repeats)
    {
        T* raw = target.get();
        return scheduledTimerWithTimeIntervalTargetSelectorUserInfoRepeats(
            interval, target, [raw, selector](const Ref<NSTimer>& timer) { (raw->*selector)(timer); },
            std::move(userInfo), repeats);
    }
    // Block timers.
    static Ref<NSTimer> timerWithTimeIntervalRepeatsBlock(NSTimeInterval interval, bool repeats, Action block);
    static Ref<NSTimer> scheduledTimerWithTimeIntervalRepeatsBlock(NSTimeInterval interval, bool repeats, Action block);

    // Calls the action now. A repeating timer keeps its schedule; a one-shot timer is
    // invalidated afterwards. Does nothing on an invalid timer.
    void fire();
    // Stops the timer and releases its target and action. Safe from inside the action.
    void invalidate();
    bool isValid() const;
    // Next fire time, as seconds since 1970.
    double fireDate() const;
    void setFireDate(double secondsSince1970);
    // The repeat interval; 0 for a one-shot timer.
    NSTimeInterval timeInterval() const;
    Value userInfo() const;
    NSTimeInterval tolerance() const;
    void setTolerance(NSTimeInterval tolerance);

    // For run loops: the next fire time in media time, and firing on schedule.
    double fireMediaTime() const;
    bool repeats() const { return m_repeats; }
    void fireOnSchedule(double now);

private:
    void callAction();

    mutable std::mutex m_lock;
    const NSTimeInterval m_interval;
    const bool m_repeats;
    Ref<NSObject> m_target;
    Action m_action;
    Value m_userInfo;
    double m_fireMedia;
    NSTimeInterval m_tolerance = 0;
    bool m_valid = true;
};
