#include "foundation/Dispatch.h"

#include "foundation/AlternateSignalStack.h"
#include "foundation/Clock.h"
#include "foundation/DispatchWork.h"
#include "foundation/NSRunLoop.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <queue>
#include <string>
#include <thread>
#include <vector>

#include <sys/syscall.h>
#include <unistd.h>

namespace {

bool onMainThread()
{
    return static_cast<pid_t>(syscall(SYS_gettid)) == getpid();
}

[[noreturn]] void fatal(const std::string& message)
{
    std::fprintf(stderr, "dispatch: %s\n", message.c_str());
    std::fflush(stderr);
    std::abort();
}

// A dispatch_sync caller waiting for its turn on a queue.
struct SyncTicket {
    std::mutex lock;
    std::condition_variable cv;
    bool granted = false;
    bool done = false;
};

} // namespace

struct DispatchQueue {
    enum class Kind { Main, Global, Serial, Concurrent };

    struct Item {
        dispatch_block_t block;
        bool barrier = false;
        std::shared_ptr<SyncTicket> ticket; // set for dispatch_sync
    };

    DispatchQueue(std::string label, Kind kind, int band)
        : label(std::move(label))
        , kind(kind)
        , band(band)
    {
    }

    ~DispatchQueue()
    {
        for (auto& [key, entry] : specific) {
            if (entry.second)
                entry.second(entry.first);
        }
    }

    const std::string label;
    const Kind kind;
    const int band; // pool priority band, 0 = high

    std::mutex lock;
    std::deque<Item> items;
    int running = 0;
    bool exclusiveRunning = false;
    std::map<const void*, std::pair<void*, void (*)(void*)>> specific;
};

namespace {

thread_local std::vector<DispatchQueue*> t_queueStack;

struct CurrentQueueScope {
    explicit CurrentQueueScope(DispatchQueue* queue) { t_queueStack.push_back(queue); }
    ~CurrentQueueScope() { t_queueStack.pop_back(); }
};

// The worker pool: four priority bands, a fixed number of threads started on demand.
class Pool {
public:
    struct Job {
        Ref<DispatchQueue> queue;
        DispatchQueue::Item item;
        bool exclusive;
    };

    static Pool& shared()
    {
        static Pool* s_pool = new Pool; // never destroyed: workers outlive static destruction
        return *s_pool;
    }

    void submit(Job job)
    {
        DispatchWork::queuedJobAdded();
        bool spawn = false;
        {
            std::lock_guard guard(m_lock);
            m_bands[job.queue->band].push_back(std::move(job));
            spawn = shouldSpawnLocked();
        }
        if (spawn)
            std::thread([this] {
                AlternateSignalStack signalStack;
                work();
            }).detach();
        else
            m_available.notify_one();
    }

    // A tracked thread parked: when it was the last worker able to take queued jobs, add one.
    void threadParked()
    {
        bool spawn;
        {
            std::lock_guard guard(m_lock);
            bool queued = std::any_of(m_bands.begin(), m_bands.end(), [](auto& b) { return !b.empty(); });
            spawn = queued && shouldSpawnLocked();
        }
        if (spawn)
            std::thread([this] {
                AlternateSignalStack signalStack;
                work();
            }).detach();
    }

private:
    Pool()
        : m_maxThreads(std::max(8u, 2 * std::thread::hardware_concurrency()))
    {
        DispatchWork::setParkObserver([] { Pool::shared().threadParked(); });
    }

    // Up to m_maxThreads workers run jobs; beyond that a worker is added only while others are
    // parked in waits (they may be waiting for the very job that is queued), up to a hard cap.
    bool shouldSpawnLocked()
    {
        if (m_idle > 0 || m_threads >= s_hardCap)
            return false;
        if (m_threads < m_maxThreads || DispatchWork::parkedCount() > 0) {
            ++m_threads;
            return true;
        }
        return false;
    }

    static constexpr unsigned s_hardCap = 128;

    void work();

    std::mutex m_lock;
    std::condition_variable m_available;
    std::array<std::deque<Job>, 4> m_bands;
    unsigned m_threads = 0;
    unsigned m_idle = 0;
    const unsigned m_maxThreads;
};

void finishItem(const Ref<DispatchQueue>& queue, bool exclusive);

void runJob(Pool::Job& job)
{
    {
        CurrentQueueScope scope(job.queue.get());
        job.item.block();
        job.item.block = nullptr; // release captures before the queue moves on
    }
    finishItem(job.queue, job.exclusive);
}

void Pool::work()
{
    pthread_setname_np(pthread_self(), "dispatch-worker");
    std::unique_lock guard(m_lock);
    for (;;) {
        auto band = std::find_if(m_bands.begin(), m_bands.end(), [](auto& b) { return !b.empty(); });
        if (band == m_bands.end()) {
            ++m_idle;
            m_available.wait(guard);
            --m_idle;
            continue;
        }
        Job job = std::move(band->front());
        band->pop_front();
        guard.unlock();
        {
            DispatchWork::TrackedScope tracked;
            DispatchWork::queuedJobTaken();
            runJob(job);
            job.queue = nullptr;
        }
        guard.lock();
    }
}

// Starts what the queue allows to start. Called with queue.lock held.
void pump(const Ref<DispatchQueue>& queue)
{
    auto& q = *queue;
    while (!q.items.empty() && !q.exclusiveRunning) {
        auto& front = q.items.front();
        bool exclusive
            = q.kind == DispatchQueue::Kind::Serial || (front.barrier && q.kind == DispatchQueue::Kind::Concurrent);
        if (exclusive && q.running > 0)
            return;
        if (exclusive)
            q.exclusiveRunning = true;
        ++q.running;
        DispatchQueue::Item item = std::move(front);
        q.items.pop_front();
        if (item.ticket) {
            std::lock_guard ticketGuard(item.ticket->lock);
            item.ticket->granted = true;
            Clock::wake(item.ticket->cv);
        } else {
            Pool::shared().submit({ queue, std::move(item), exclusive });
        }
    }
}

void finishItem(const Ref<DispatchQueue>& queue, bool exclusive)
{
    std::lock_guard guard(queue->lock);
    --queue->running;
    if (exclusive)
        queue->exclusiveRunning = false;
    pump(queue);
}

// Main queue storage: blocks run by the main run loop.
struct MainQueue {
    std::mutex lock;
    std::deque<DispatchQueue::Item> items;
};

MainQueue& mainQueueStorage()
{
    static MainQueue* s_main = new MainQueue;
    return *s_main;
}

Ref<DispatchQueue> mainQueue()
{
    static Ref<DispatchQueue> s_queue = std::make_shared<DispatchQueue>("main-queue", DispatchQueue::Kind::Main, 1);
    return s_queue;
}

std::array<Ref<DispatchQueue>, 4>& globalQueues()
{
    static std::array<Ref<DispatchQueue>, 4> s_queues {
        std::make_shared<DispatchQueue>("global-queue.high-priority", DispatchQueue::Kind::Global, 0),
        std::make_shared<DispatchQueue>("global-queue.default-priority", DispatchQueue::Kind::Global, 1),
        std::make_shared<DispatchQueue>("global-queue.low-priority", DispatchQueue::Kind::Global, 2),
        std::make_shared<DispatchQueue>("global-queue.background-priority", DispatchQueue::Kind::Global, 3),
    };
    return s_queues;
}

// Queues are referenced by raw pointer from running blocks' stacks; this finds the owner again.
std::mutex& s_liveLock = *new std::mutex; // never destroyed: workers outlive exit
std::map<DispatchQueue*, std::weak_ptr<DispatchQueue>>& liveQueues()
{
    static auto* s_live = new std::map<DispatchQueue*, std::weak_ptr<DispatchQueue>>;
    return *s_live;
}

Ref<DispatchQueue> retainQueue(DispatchQueue& queue)
{
    std::lock_guard guard(s_liveLock);
    auto it = liveQueues().find(&queue);
    return it == liveQueues().end() ? nullptr : it->second.lock();
}

Ref<DispatchQueue> makeQueue(std::string label, DispatchQueue::Kind kind, int band)
{
    auto* raw = new DispatchQueue(std::move(label), kind, band);
    Ref<DispatchQueue> queue(raw, [](DispatchQueue* q) {
        {
            std::lock_guard guard(s_liveLock);
            liveQueues().erase(q);
        }
        delete q;
    });
    std::lock_guard guard(s_liveLock);
    liveQueues()[raw] = queue;
    return queue;
}

void registerStatic(const Ref<DispatchQueue>& queue)
{
    std::lock_guard guard(s_liveLock);
    liveQueues()[queue.get()] = queue;
}

void postToMain(DispatchQueue::Item item)
{
    auto& main = mainQueueStorage();
    {
        std::lock_guard guard(main.lock);
        main.items.push_back(std::move(item));
    }
    DispatchWork::changed();
    NSRunLoop::mainRunLoop()->wakeUp();
}

void enqueue(const dispatch_queue_t& queue, dispatch_block_t block, bool barrier)
{
    if (!queue || !block)
        return;
    if (queue->kind == DispatchQueue::Kind::Main)
        return postToMain({ std::move(block), false, nullptr });
    std::lock_guard guard(queue->lock);
    queue->items.push_back({ std::move(block), barrier, nullptr });
    pump(queue);
}

bool isRunning(DispatchQueue* queue)
{
    return std::find(t_queueStack.begin(), t_queueStack.end(), queue) != t_queueStack.end();
}

void syncOn(const dispatch_queue_t& queue, dispatch_block_t block, bool barrier)
{
    if (!queue || !block)
        return;
    if (queue->kind == DispatchQueue::Kind::Main) {
        if (onMainThread())
            fatal("dispatch_sync onto the main queue from the main thread can never run");
        auto ticket = std::make_shared<SyncTicket>();
        postToMain({ std::move(block), false, ticket });
        std::unique_lock guard(ticket->lock);
        Clock::waitUntil(guard, ticket->cv, Clock::distantFuture, [&] { return ticket->done; });
        return;
    }
    bool exclusive
        = queue->kind == DispatchQueue::Kind::Serial || (barrier && queue->kind == DispatchQueue::Kind::Concurrent);
    if (exclusive && isRunning(queue.get()))
        fatal("dispatch_sync onto queue \"" + queue->label + "\" from a block it is running can never run");
    if (queue->kind == DispatchQueue::Kind::Global) {
        CurrentQueueScope scope(queue.get());
        block();
        return;
    }
    auto ticket = std::make_shared<SyncTicket>();
    {
        std::lock_guard guard(queue->lock);
        queue->items.push_back({ nullptr, barrier, ticket });
        pump(queue);
    }
    {
        std::unique_lock guard(ticket->lock);
        Clock::waitUntil(guard, ticket->cv, Clock::distantFuture, [&] { return ticket->granted; });
    }
    // The queue moves on even when the block throws to the caller.
    struct Finish {
        const dispatch_queue_t& queue;
        bool exclusive;
        ~Finish() { finishItem(queue, exclusive); }
    } finish { queue, exclusive };
    CurrentQueueScope scope(queue.get());
    block();
}

double deadlineSeconds(dispatch_time_t timeout)
{
    if (timeout == DISPATCH_TIME_FOREVER)
        return Clock::distantFuture;
    if (timeout == DISPATCH_TIME_NOW)
        return Clock::mediaTime();
    return static_cast<double>(timeout) / NSEC_PER_SEC;
}

// Blocks waiting for their time, kept in time order (then submission order).
class AfterTimers {
public:
    static AfterTimers& shared()
    {
        static AfterTimers* s_timers = new AfterTimers;
        return *s_timers;
    }

    void add(double due, dispatch_queue_t queue, dispatch_block_t block)
    {
        std::lock_guard guard(m_lock);
        m_entries.push({ due, m_sequence++, std::move(queue), std::move(block) });
        if (!m_started) {
            m_started = true;
            std::thread([this] {
                AlternateSignalStack signalStack;
                serve();
            }).detach();
        }
        Clock::wake(m_cv);
    }

    void fireDue()
    {
        std::vector<Entry> due;
        {
            std::lock_guard guard(m_lock);
            takeDue(due);
        }
        deliver(due);
    }

    std::optional<double> nextDue(double after)
    {
        std::lock_guard guard(m_lock);
        if (m_entries.empty() || m_entries.top().due <= after)
            return std::nullopt; // due entries are fired by whoever drains next
        return m_entries.top().due;
    }

private:
    struct Entry {
        double due;
        uint64_t sequence;
        dispatch_queue_t queue;
        dispatch_block_t block;
        bool operator>(const Entry& other) const
        {
            return due != other.due ? due > other.due : sequence > other.sequence;
        }
    };

    AfterTimers()
    {
        Clock::addDueTimeProvider([this](double after) { return nextDue(after); });
    }

    void takeDue(std::vector<Entry>& due)
    {
        // Entries taken here count as queued work until they reach their queue, so a drain
        // never sees a moment where they are nowhere.
        double now = Clock::mediaTime();
        while (!m_entries.empty() && m_entries.top().due <= now) {
            due.push_back(std::move(const_cast<Entry&>(m_entries.top())));
            m_entries.pop();
            DispatchWork::queuedJobAdded();
        }
    }

    static void deliver(std::vector<Entry>& due)
    {
        for (auto& entry : due) {
            enqueue(entry.queue, std::move(entry.block), false);
            DispatchWork::queuedJobTaken();
        }
    }

    void serve()
    {
        pthread_setname_np(pthread_self(), "dispatch-timers");
        std::unique_lock guard(m_lock);
        for (;;) {
            std::vector<Entry> due;
            takeDue(due);
            if (!due.empty()) {
                guard.unlock();
                deliver(due);
                due.clear();
                guard.lock();
                continue;
            }
            double next = m_entries.empty() ? Clock::distantFuture : m_entries.top().due;
            Clock::waitOnce(guard, m_cv, next);
        }
    }

    std::mutex m_lock;
    std::condition_variable m_cv;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> m_entries;
    uint64_t m_sequence = 0;
    bool m_started = false;
};

std::atomic<uint64_t> s_onceGeneration { 1 };

} // namespace

struct DispatchGroup {
    std::mutex lock;
    std::condition_variable cv;
    long count = 0;
    std::vector<std::pair<dispatch_queue_t, dispatch_block_t>> notifications;
};

struct DispatchSemaphore {
    std::mutex lock;
    std::condition_variable cv;
    long value = 0;
    long waiters = 0;
};

dispatch_queue_t dispatch_get_main_queue()
{
    static bool s_registered = (registerStatic(mainQueue()), true);
    (void)s_registered;
    return mainQueue();
}

dispatch_queue_t dispatch_get_global_queue(long priority, unsigned long)
{
    static bool s_registered = [] {
        for (auto& q : globalQueues())
            registerStatic(q);
        return true;
    }();
    (void)s_registered;
    auto& queues = globalQueues();
    switch (priority) {
    case DISPATCH_QUEUE_PRIORITY_HIGH:
        return queues[0];
    case DISPATCH_QUEUE_PRIORITY_LOW:
        return queues[2];
    case DISPATCH_QUEUE_PRIORITY_BACKGROUND:
        return queues[3];
    default:
        return queues[1];
    }
}

dispatch_queue_t dispatch_queue_create(const char* label, dispatch_queue_attr_t attr)
{
    return makeQueue(label ? label : "",
        attr == DISPATCH_QUEUE_CONCURRENT ? DispatchQueue::Kind::Concurrent : DispatchQueue::Kind::Serial, 1);
}

const char* dispatch_queue_get_label(const dispatch_queue_t& queue)
{
    return queue ? queue->label.c_str() : dispatch_get_current_queue()->label.c_str();
}

const char* dispatch_queue_get_label(const dispatch_queue_t* queue)
{
    return dispatch_queue_get_label(queue ? *queue : dispatch_queue_t());
}

dispatch_queue_t dispatch_get_current_queue()
{
    if (!t_queueStack.empty()) {
        if (auto queue = retainQueue(*t_queueStack.back()))
            return queue;
    }
    return onMainThread() ? dispatch_get_main_queue() : dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0);
}

void dispatch_async(const dispatch_queue_t& queue, dispatch_block_t block)
{
    enqueue(queue, std::move(block), false);
}
void dispatch_barrier_async(const dispatch_queue_t& queue, dispatch_block_t block)
{
    enqueue(queue, std::move(block), true);
}
void dispatch_sync(const dispatch_queue_t& queue, dispatch_block_t block)
{
    syncOn(queue, std::move(block), false);
}
void dispatch_barrier_sync(const dispatch_queue_t& queue, dispatch_block_t block)
{
    syncOn(queue, std::move(block), true);
}

void dispatch_after(dispatch_time_t when, const dispatch_queue_t& queue, dispatch_block_t block)
{
    if (!queue || !block || when == DISPATCH_TIME_FOREVER)
        return;
    AfterTimers::shared().add(deadlineSeconds(when), queue, std::move(block));
}

void dispatch_apply(size_t iterations, const dispatch_queue_t& queue, const std::function<void(size_t)>& block)
{
    if (!queue || !block)
        return;
    if (queue->kind == DispatchQueue::Kind::Serial || queue->kind == DispatchQueue::Kind::Main) {
        for (size_t i = 0; i < iterations; ++i) {
            if (queue->kind == DispatchQueue::Kind::Main && onMainThread())
                block(i);
            else
                dispatch_sync(queue, [&] { block(i); });
        }
        return;
    }
    auto group = dispatch_group_create();
    for (size_t i = 0; i < iterations; ++i)
        dispatch_group_async(group, queue, [&block, i] { block(i); });
    dispatch_group_wait(group, DISPATCH_TIME_FOREVER);
}

dispatch_time_t dispatch_time(dispatch_time_t when, int64_t delta)
{
    if (when == DISPATCH_TIME_FOREVER)
        return DISPATCH_TIME_FOREVER;
    int64_t base = when == DISPATCH_TIME_NOW ? static_cast<int64_t>(std::llround(Clock::mediaTime() * NSEC_PER_SEC))
                                             : static_cast<int64_t>(when);
    int64_t result = base + delta;
    return result <= 0 ? 1 : static_cast<dispatch_time_t>(result);
}

void dispatch_queue_set_specific(
    const dispatch_queue_t& queue, const void* key, void* context, void (*destructor)(void*))
{
    if (!queue)
        return;
    std::pair<void*, void (*)(void*)> old { nullptr, nullptr };
    {
        std::lock_guard guard(queue->lock);
        auto it = queue->specific.find(key);
        if (it != queue->specific.end()) {
            old = it->second;
            queue->specific.erase(it);
        }
        if (context)
            queue->specific[key] = { context, destructor };
    }
    if (old.first && old.second)
        old.second(old.first);
}

void* dispatch_queue_get_specific(const dispatch_queue_t& queue, const void* key)
{
    if (!queue)
        return nullptr;
    std::lock_guard guard(queue->lock);
    auto it = queue->specific.find(key);
    return it == queue->specific.end() ? nullptr : it->second.first;
}

void* dispatch_get_specific(const void* key)
{
    return dispatch_queue_get_specific(dispatch_get_current_queue(), key);
}

void dispatch_once(dispatch_once_t* predicate, const dispatch_block_t& block)
{
    uint64_t generation = s_onceGeneration.load(std::memory_order_acquire);
    if (predicate->ranInGeneration.load(std::memory_order_acquire) == generation)
        return;
    std::lock_guard guard(predicate->lock);
    if (predicate->ranInGeneration.load(std::memory_order_relaxed) == generation)
        return;
    block();
    predicate->ranInGeneration.store(generation, std::memory_order_release);
}

void dispatch_once_reset_for_testing()
{
    s_onceGeneration.fetch_add(1, std::memory_order_acq_rel);
}

dispatch_group_t dispatch_group_create()
{
    return std::make_shared<DispatchGroup>();
}

void dispatch_group_enter(const dispatch_group_t& group)
{
    std::lock_guard guard(group->lock);
    ++group->count;
}

void dispatch_group_leave(const dispatch_group_t& group)
{
    std::vector<std::pair<dispatch_queue_t, dispatch_block_t>> notifications;
    {
        std::lock_guard guard(group->lock);
        if (group->count <= 0)
            fatal("unbalanced call to dispatch_group_leave()");
        if (--group->count == 0) {
            notifications.swap(group->notifications);
            Clock::wake(group->cv);
        }
    }
    for (auto& [queue, block] : notifications)
        dispatch_async(queue, std::move(block));
}

void dispatch_group_async(const dispatch_group_t& group, const dispatch_queue_t& queue, dispatch_block_t block)
{
    if (!queue || !block)
        return;
    dispatch_group_enter(group);
    dispatch_async(queue, [group, block = std::move(block)] {
        block();
        dispatch_group_leave(group);
    });
}

void dispatch_group_notify(const dispatch_group_t& group, const dispatch_queue_t& queue, dispatch_block_t block)
{
    {
        std::lock_guard guard(group->lock);
        if (group->count > 0) {
            group->notifications.emplace_back(queue, std::move(block));
            return;
        }
    }
    dispatch_async(queue, std::move(block));
}

long dispatch_group_wait(const dispatch_group_t& group, dispatch_time_t timeout)
{
    std::unique_lock guard(group->lock);
    return Clock::waitUntil(guard, group->cv, deadlineSeconds(timeout), [&] { return group->count == 0; }) ? 0 : 1;
}

dispatch_semaphore_t dispatch_semaphore_create(long value)
{
    if (value < 0)
        return nullptr;
    auto semaphore = std::make_shared<DispatchSemaphore>();
    semaphore->value = value;
    return semaphore;
}

long dispatch_semaphore_signal(const dispatch_semaphore_t& semaphore)
{
    std::lock_guard guard(semaphore->lock);
    ++semaphore->value;
    if (semaphore->waiters == 0)
        return 0;
    Clock::wake(semaphore->cv);
    return 1;
}

long dispatch_semaphore_wait(const dispatch_semaphore_t& semaphore, dispatch_time_t timeout)
{
    std::unique_lock guard(semaphore->lock);
    ++semaphore->waiters;
    bool taken = Clock::waitUntil(guard, semaphore->cv, deadlineSeconds(timeout), [&] { return semaphore->value > 0; });
    --semaphore->waiters;
    if (!taken)
        return 1;
    --semaphore->value;
    return 0;
}

namespace DispatchMainQueue {

bool hasPendingBlocks()
{
    auto& main = mainQueueStorage();
    std::lock_guard guard(main.lock);
    return !main.items.empty();
}

size_t pendingBlockCount()
{
    auto& main = mainQueueStorage();
    std::lock_guard guard(main.lock);
    return main.items.size();
}

size_t runPendingBlocks(size_t count)
{
    auto& main = mainQueueStorage();
    auto queue = dispatch_get_main_queue();
    for (size_t i = 0; i < count; ++i) {
        DispatchQueue::Item item;
        {
            std::lock_guard guard(main.lock);
            if (main.items.empty())
                return i;
            item = std::move(main.items.front());
            main.items.pop_front();
        }
        {
            CurrentQueueScope scope(queue.get());
            item.block();
            item.block = nullptr;
        }
        if (item.ticket) {
            std::lock_guard guard(item.ticket->lock);
            item.ticket->done = true;
            Clock::wake(item.ticket->cv);
        }
    }
    if (count)
        DispatchWork::changed();
    return count;
}

} // namespace DispatchMainQueue

namespace DispatchTimers {

void fireDue()
{
    AfterTimers::shared().fireDue();
}

} // namespace DispatchTimers
