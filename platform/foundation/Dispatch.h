#pragma once

#include "foundation/FoundationForward.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>

// Queues, groups, semaphores and one-time work, with the platform's dispatch calls.
//
// Global and private queues run on a bounded thread pool; the main queue runs on the main
// thread's run loop, in every mode. Serial queues run one block at a time in submission order;
// concurrent queues run blocks side by side, except that a barrier block waits for the blocks
// before it and holds back the blocks after it. Times follow the process clock. Any thread.
using dispatch_queue_t = DispatchQueueRef;
using dispatch_block_t = std::function<void()>;
using dispatch_time_t = uint64_t;

struct DispatchGroup;
struct DispatchSemaphore;
using dispatch_group_t = Ref<DispatchGroup>;
using dispatch_semaphore_t = Ref<DispatchSemaphore>;

inline constexpr dispatch_time_t DISPATCH_TIME_NOW = 0;
inline constexpr dispatch_time_t DISPATCH_TIME_FOREVER = ~0ull;
inline constexpr int64_t NSEC_PER_SEC = 1000000000ll;
inline constexpr int64_t NSEC_PER_MSEC = 1000000ll;
inline constexpr int64_t USEC_PER_SEC = 1000000ll;
inline constexpr int64_t NSEC_PER_USEC = 1000ll;

inline constexpr long DISPATCH_QUEUE_PRIORITY_HIGH = 2;
inline constexpr long DISPATCH_QUEUE_PRIORITY_DEFAULT = 0;
inline constexpr long DISPATCH_QUEUE_PRIORITY_LOW = -2;
inline constexpr long DISPATCH_QUEUE_PRIORITY_BACKGROUND = INT16_MIN;

enum dispatch_queue_attr_t {
    DISPATCH_QUEUE_SERIAL = 0,
    DISPATCH_QUEUE_CONCURRENT = 1,
};

// Passed to dispatch_queue_get_label for the label of the queue running the caller.
inline constexpr dispatch_queue_t* DISPATCH_CURRENT_QUEUE_LABEL = nullptr;

dispatch_queue_t dispatch_get_main_queue();
// Unknown priorities answer the default-priority queue.
dispatch_queue_t dispatch_get_global_queue(long priority, unsigned long flags);
dispatch_queue_t dispatch_queue_create(const char* label, dispatch_queue_attr_t attr);
// The queue's label ("" when it has none). A null queue answers the current queue's label.
const char* dispatch_queue_get_label(const dispatch_queue_t& queue);
const char* dispatch_queue_get_label(const dispatch_queue_t* queue);
// The queue running the caller; the main queue on the main thread outside any block, and the
// default global queue on other threads that run no queue.
dispatch_queue_t dispatch_get_current_queue();

void dispatch_async(const dispatch_queue_t& queue, dispatch_block_t block);
// Runs the block on the calling thread once the queue lets it (on the main thread for the main
// queue). Waiting for a queue the caller is already running in (the main queue from the main
// thread, or a serial queue from its own block) can never finish: it aborts with a message.
void dispatch_sync(const dispatch_queue_t& queue, dispatch_block_t block);
void dispatch_barrier_async(const dispatch_queue_t& queue, dispatch_block_t block);
void dispatch_barrier_sync(const dispatch_queue_t& queue, dispatch_block_t block);
void dispatch_after(dispatch_time_t when, const dispatch_queue_t& queue, dispatch_block_t block);
// Calls block(i) for i in [0, iterations) and returns when all calls have finished.
void dispatch_apply(size_t iterations, const dispatch_queue_t& queue, const std::function<void(size_t)>& block);

// Media time in nanoseconds, `delta` after `when` (DISPATCH_TIME_NOW is the current time).
dispatch_time_t dispatch_time(dispatch_time_t when, int64_t delta);

// Queue-specific data, looked up by key address. Setting null removes; a destructor, when
// given, is called with the old context when it is replaced or the queue goes away.
void dispatch_queue_set_specific(
    const dispatch_queue_t& queue, const void* key, void* context, void (*destructor)(void*) = nullptr);
void* dispatch_queue_get_specific(const dispatch_queue_t& queue, const void* key);
// Looks the key up on the queue running the caller (see dispatch_get_current_queue).
void* dispatch_get_specific(const void* key);

// A once-only flag for dispatch_once. Zero-initialised statics work as on the platform.
struct dispatch_once_t {
    std::atomic<uint64_t> ranInGeneration { 0 };
    std::mutex lock;
};
void dispatch_once(dispatch_once_t* predicate, const dispatch_block_t& block);
// Test-only: every once flag runs its block again on its next dispatch_once.
void dispatch_once_reset_for_testing();

dispatch_group_t dispatch_group_create();
void dispatch_group_enter(const dispatch_group_t& group);
// Leaving more often than entering is a programming error: it aborts with a message.
void dispatch_group_leave(const dispatch_group_t& group);
void dispatch_group_async(const dispatch_group_t& group, const dispatch_queue_t& queue, dispatch_block_t block);
void dispatch_group_notify(const dispatch_group_t& group, const dispatch_queue_t& queue, dispatch_block_t block);
// Zero when the group emptied before the timeout, non-zero on timeout.
long dispatch_group_wait(const dispatch_group_t& group, dispatch_time_t timeout);

dispatch_semaphore_t dispatch_semaphore_create(long value);
// Non-zero when a waiting thread was woken.
long dispatch_semaphore_signal(const dispatch_semaphore_t& semaphore);
// Zero when the semaphore was taken, non-zero on timeout.
long dispatch_semaphore_wait(const dispatch_semaphore_t& semaphore, dispatch_time_t timeout);

// The main queue as seen by the main run loop and by tests.
namespace DispatchMainQueue {
bool hasPendingBlocks();
size_t pendingBlockCount();
// Runs up to `limit` blocks from the front of the queue, so that blocks queued by them (or
// after the caller counted) wait for the next call; answers how many ran. Main thread only.
size_t runPendingBlocks(size_t limit);
} // namespace DispatchMainQueue

// Delayed blocks as seen by tests: moves every block whose time has come to its queue.
namespace DispatchTimers {
void fireDue();
} // namespace DispatchTimers
