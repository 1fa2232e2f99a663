#pragma once

#include <condition_variable>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>

// The process clock. Wall time is seconds since 1970; media time is monotonic seconds. Real by
// default; tests install a virtual source (platform/testing) and move it explicitly. Nothing
// else in the system reads the system clock. Any thread.
class ClockSource {
public:
    virtual ~ClockSource() = default;
    virtual double wallTime() const = 0;
    virtual double mediaTime() const = 0;
    // True when time only moves when told to (timers are then fired by advancing).
    virtual bool isVirtual() const { return false; }
};

namespace Clock {
double wallTime();
double mediaTime();
bool isVirtual();
// Installs a source (nullptr restores the real clock). Waits in progress are woken so they
// measure their deadline against the new source.
void setSource(std::shared_ptr<ClockSource> source);
std::shared_ptr<ClockSource> source();

inline constexpr double distantFuture = std::numeric_limits<double>::infinity();

// Every timed wait in the foundation goes through here so that it follows the installed clock:
// with a virtual clock a deadline passes only when the clock is moved past it.
//
// Waits on `cv` (whose mutex `lock` holds) until woken or until media time reaches
// `mediaDeadline` (distantFuture waits without a deadline). Returns true when the deadline has
// passed. Spurious returns are possible: callers loop on their own condition.
bool waitOnce(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, double mediaDeadline);

// Waits until `done()` holds or the deadline passes; returns done().
template<typename Predicate>
bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, double mediaDeadline, Predicate done)
{
    while (!done()) {
        if (waitOnce(lock, cv, mediaDeadline))
            return done();
    }
    return true;
}

// Wakes every thread waiting on `cv`. Call with the mutex of `cv` held: the woken threads stop
// counting as parked at once, so a test that drains right after sees them as busy.
void wake(std::condition_variable& cv);

// Called by a virtual source after it moves media time: wakes waits whose deadline has passed.
void timeDidChange();

// Sources of future work (timers, delayed blocks) report their earliest due time so that a
// virtual clock can step from one due time to the next.
using DueTimeProvider = std::function<std::optional<double>(double after)>;
int addDueTimeProvider(DueTimeProvider provider);
void removeDueTimeProvider(int id);
// The earliest due time strictly after `after`, over the providers and every timed wait.
std::optional<double> nextDueTime(double after);
} // namespace Clock
