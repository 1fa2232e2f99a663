#include "foundation/DispatchWork.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

// The activity lock is a leaf: nothing else is locked while it is held.
// Never destroyed: detached threads may still report at exit.
std::mutex& s_lock = *new std::mutex;
std::condition_variable& s_changed = *new std::condition_variable;
uint64_t s_generation = 1;
int64_t s_active = 0;
int64_t s_parked = 0;
int64_t s_queued = 0;

thread_local bool t_tracked = false;
std::atomic<void (*)()> s_parkObserver { nullptr };

template <typename F> void update(F&& f)
{
    {
        std::lock_guard lock(s_lock);
        f();
        ++s_generation;
    }
    s_changed.notify_all();
}

} // namespace

namespace DispatchWork {

TrackedScope::TrackedScope()
    : m_wasTracked(t_tracked)
{
    t_tracked = true;
    update([] { ++s_active; });
}

TrackedScope::~TrackedScope()
{
    t_tracked = m_wasTracked;
    update([] { --s_active; });
}

bool isCurrentThreadTracked()
{
    return t_tracked;
}

void queuedJobAdded()
{
    update([] { ++s_queued; });
}

void queuedJobTaken()
{
    update([] { --s_queued; });
}

void threadParked()
{
    update([] { ++s_parked; });
    if (auto observer = s_parkObserver.load())
        observer();
}

void setParkObserver(void (*observer)())
{
    s_parkObserver = observer;
}

int64_t parkedCount()
{
    std::lock_guard lock(s_lock);
    return s_parked;
}

void threadUnparked()
{
    update([] { --s_parked; });
}

bool isQuiet()
{
    std::lock_guard lock(s_lock);
    return s_queued == 0 && s_active == s_parked;
}

std::string describe()
{
    std::lock_guard lock(s_lock);
    return "queued " + std::to_string(s_queued) + ", active " + std::to_string(s_active) + ", parked "
        + std::to_string(s_parked);
}

uint64_t generation()
{
    std::lock_guard lock(s_lock);
    return s_generation;
}

void changed()
{
    update([] {});
}

bool waitForChange(uint64_t seen, double realSeconds)
{
    std::unique_lock lock(s_lock);
    return s_changed.wait_for(lock, std::chrono::duration<double>(realSeconds), [&] { return s_generation != seen; });
}

} // namespace DispatchWork
