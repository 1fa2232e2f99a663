#pragma once

#include <cstdint>
#include <string>

// Book-keeping that lets tests know when the process has gone quiet.
//
// A "tracked" thread is a dispatch pool worker running a block or an NSThread running its body.
// Such a thread is "active" until it finishes, unless it is parked in one of the foundation's
// waits (a run loop waiting for input, a semaphore, a group, a sleep); a parked thread can only
// go on when something else happens, so it does not count as pending work. Every change in
// these counts (and every post to the main thread) bumps a generation number that waiters can
// block on. Any thread.
namespace DispatchWork {

// Marks the calling thread as tracked (or not) for as long as the guard lives, and counts it
// as active work.
class TrackedScope {
public:
    TrackedScope();
    ~TrackedScope();
    TrackedScope(const TrackedScope&) = delete;
    TrackedScope& operator=(const TrackedScope&) = delete;

private:
    bool m_wasTracked;
};

bool isCurrentThreadTracked();

// Work queued for the pool but not yet picked up counts as active.
void queuedJobAdded();
void queuedJobTaken();

// Called by the clock's waits when a tracked thread parks and when it is released.
void threadParked();
void threadUnparked();

// Called (outside any lock of this module) after a tracked thread parks, so the dispatch pool can
// add a worker when all of its workers are waiting.
void setParkObserver(void (*observer)());
int64_t parkedCount();

// True when every active piece of work is a parked thread.
bool isQuiet();
// A description of the counts, for diagnostics.
std::string describe();

// Generation of the activity counter; changes whenever work is added, finishes, parks or the
// main thread is sent something.
uint64_t generation();
void changed();
// Blocks until the generation differs from `seen` or `realSeconds` of real time pass (a safety
// net for diagnosing hangs; quiet tests never reach it). Returns false on timeout.
bool waitForChange(uint64_t seen, double realSeconds);

} // namespace DispatchWork
