#pragma once

#include "foundation/Clock.h"

#include <memory>
#include <mutex>

// A process clock that only moves when a test moves it. Installed, it becomes the source of
// Clock::wallTime/mediaTime for the whole process; uninstall() (or the scope guard below)
// restores the real clock.
//
// advance(dt) moves wall and media time forward by dt in steps, one per due time inside the
// interval (timers, delayed performs, dispatch_after blocks, timed waits on any thread), and
// drains all queues after each step (see drainAll). Work that a firing schedules for a time
// inside the interval therefore also runs within the same advance, in time order.
// setWallTime moves only the wall clock (a user changing the date); timers keep their media
// schedule. Main thread only for advance; time reads from any thread.
class VirtualClock final : public ClockSource {
public:
    // 2014-01-01 00:00:00 UTC.
    static constexpr double defaultWallEpoch = 1388534400.0;

    VirtualClock(double wallEpoch, double mediaEpoch);

    // 2^20 seconds (about twelve days): media time starts on a multiple of it.
    static constexpr double kMediaEpochStep = 1048576.0;

    // Starts at `wallEpoch`. Media time goes on from the clock it replaces, rounded up to a
    // multiple of kMediaEpochStep, so timers and waits scheduled before the install keep their
    // place in time and runs on machines up for different times start from the same media time.
    static std::shared_ptr<VirtualClock> install(double wallEpoch = defaultWallEpoch);
    // Restores the real clock if this clock is the installed one.
    void uninstall();

    double wallTime() const override;
    double mediaTime() const override;
    bool isVirtual() const override { return true; }

    void advance(double seconds);
    // Moves wall and media time forward by `seconds` without draining or firing anything, for
    // work that re-posts itself on every run-loop pass (animations stepped by the media clock):
    // the test then runs the passes itself with runOnePass().
    void moveWithoutDraining(double seconds);
    void setWallTime(double secondsSince1970);

private:
    void moveMediaTo(double media);

    mutable std::mutex m_lock;
    // Wall time is kept as an offset from media time, so moving the clock by dt moves the wall
    // clock by exactly dt however many due times the move stopped at on the way.
    double m_wallBase;
    double m_mediaBase;
    double m_media;
};

// Installs a virtual clock for the lifetime of the guard.
class ScopedVirtualClock {
public:
    explicit ScopedVirtualClock(double wallEpoch = VirtualClock::defaultWallEpoch);
    ~ScopedVirtualClock();
    ScopedVirtualClock(const ScopedVirtualClock&) = delete;
    ScopedVirtualClock& operator=(const ScopedVirtualClock&) = delete;

    VirtualClock& clock() { return *m_clock; }
    void advance(double seconds) { m_clock->advance(seconds); }

private:
    std::shared_ptr<VirtualClock> m_clock;
};
