#include "foundation/Clock.h"

#include "foundation/DispatchWork.h"
#include "foundation/Locked.h"

#include <chrono>
#include <cmath>
#include <list>
#include <map>
#include <thread>

#include <sys/syscall.h>
#include <unistd.h>

namespace {

class RealClock final : public ClockSource {
public:
    double wallTime() const override
    {
        using namespace std::chrono;
        return duration<double>(system_clock::now().time_since_epoch()).count();
    }
    // Monotonic seconds counted from a fixed start when the process first reads the clock (as
    // if the machine had been up a day), not from the machine's boot: what a process sees of
    // media time then does not depend on how long the machine has been up, so a virtual clock
    // installed over it starts at the same instant on every machine.
    double mediaTime() const override
    {
        using namespace std::chrono;
        static const steady_clock::time_point s_start = steady_clock::now();
        return kMediaTimeAtStart + duration<double>(steady_clock::now() - s_start).count();
    }
    static constexpr double kMediaTimeAtStart = 86400.0;
};

// Process-lifetime state, never destroyed: detached threads may still wait at exit.
struct Globals {
    Locked<std::shared_ptr<ClockSource>> source { std::make_shared<RealClock>() };
    std::mutex waitLock;
    std::list<struct Waiter*> waiters;
    uint64_t epoch = 0;
    std::mutex providerLock;
    std::map<int, Clock::DueTimeProvider> providers;
    int nextProviderId = 1;
};

Globals& globals()
{
    static Globals* s_globals = new Globals;
    return *s_globals;
}

// A thread inside waitOnce. The entry lives on the waiter's stack and is only touched under
// globals().waitLock; the waiter's own mutex is taken after globals().waitLock only with try_lock, so the
// order "waiter mutex, then globals().waitLock" used by waiters cannot deadlock.
struct Waiter {
    std::mutex* mutex;
    std::condition_variable* cv;
    double deadline;
    uint64_t kickedEpoch;
    bool parked;
};

bool isMainThread()
{
    return static_cast<pid_t>(syscall(SYS_gettid)) == getpid();
}

// Wakes every waiter (those whose deadline passed stop counting as parked).
void kickWaiters(bool all)
{
    uint64_t epoch;
    {
        std::lock_guard lock(globals().waitLock);
        epoch = ++globals().epoch;
    }
    double now = Clock::mediaTime();
    for (;;) {
        bool missed = false;
        {
            std::lock_guard lock(globals().waitLock);
            for (Waiter* waiter : globals().waiters) {
                if (waiter->kickedEpoch >= epoch)
                    continue;
                if (!all && waiter->deadline > now) {
                    waiter->kickedEpoch = epoch;
                    continue;
                }
                // A failed try_lock means the waiter is between registering and sleeping (or
                // leaving); come back once it has released its mutex.
                if (!waiter->mutex->try_lock()) {
                    missed = true;
                    continue;
                }
                if (waiter->parked) {
                    waiter->parked = false;
                    DispatchWork::threadUnparked();
                }
                waiter->cv->notify_all();
                waiter->mutex->unlock();
                waiter->kickedEpoch = epoch;
            }
        }
        if (!missed)
            return;
        std::this_thread::yield();
    }
}

} // namespace

namespace Clock {

std::shared_ptr<ClockSource> source()
{
    return globals().source.get();
}

void setSource(std::shared_ptr<ClockSource> newSource)
{
    globals().source.set(newSource ? std::move(newSource) : std::make_shared<RealClock>());
    kickWaiters(true);
}

double wallTime()
{
    return source()->wallTime();
}
double mediaTime()
{
    return source()->mediaTime();
}
bool isVirtual()
{
    return source()->isVirtual();
}

bool waitOnce(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, double mediaDeadline)
{
    auto clock = source();
    Waiter waiter { lock.mutex(), &cv, mediaDeadline, 0, false };
    {
        std::lock_guard guard(globals().waitLock);
        waiter.kickedEpoch = globals().epoch;
        // The main thread drives tests; only tracked work threads count as parked.
        waiter.parked = DispatchWork::isCurrentThreadTracked() && !isMainThread();
        globals().waiters.push_back(&waiter);
        if (waiter.parked)
            DispatchWork::threadParked();
    }
    double now = clock->mediaTime();
    if (now < mediaDeadline) {
        if (std::isinf(mediaDeadline) || clock->isVirtual())
            cv.wait(lock);
        else
            cv.wait_for(lock, std::chrono::duration<double>(mediaDeadline - now));
    }
    {
        std::lock_guard guard(globals().waitLock);
        globals().waiters.remove(&waiter);
        if (waiter.parked)
            DispatchWork::threadUnparked();
    }
    return mediaTime() >= mediaDeadline;
}

void wake(std::condition_variable& cv)
{
    {
        std::lock_guard guard(globals().waitLock);
        for (Waiter* waiter : globals().waiters) {
            if (waiter->cv == &cv && waiter->parked) {
                waiter->parked = false;
                DispatchWork::threadUnparked();
            }
        }
    }
    cv.notify_all();
}

void timeDidChange()
{
    kickWaiters(false);
}

int addDueTimeProvider(DueTimeProvider provider)
{
    std::lock_guard lock(globals().providerLock);
    int id = globals().nextProviderId++;
    globals().providers.emplace(id, std::move(provider));
    return id;
}

void removeDueTimeProvider(int id)
{
    std::lock_guard lock(globals().providerLock);
    globals().providers.erase(id);
}

std::optional<double> nextDueTime(double after)
{
    std::optional<double> best;
    auto consider = [&](double t) {
        if (t > after && !std::isinf(t) && (!best || t < *best))
            best = t;
    };
    {
        std::lock_guard lock(globals().providerLock);
        for (auto& [id, provider] : globals().providers) {
            if (auto t = provider(after))
                consider(*t);
        }
    }
    {
        std::lock_guard lock(globals().waitLock);
        for (Waiter* waiter : globals().waiters)
            consider(waiter->deadline);
    }
    return best;
}

} // namespace Clock
