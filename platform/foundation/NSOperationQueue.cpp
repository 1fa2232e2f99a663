#include "foundation/NSOperationQueue.h"

#include "foundation/Clock.h"
#include "foundation/Dispatch.h"
#include "foundation/DispatchWork.h"
#include "foundation/NSBlockOperation.h"
#include "foundation/NSException.h"
#include "foundation/NSOperation.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSThread.h"

#include <algorithm>

namespace {

thread_local Weak<NSOperationQueue> t_currentQueueRef;

struct CurrentQueueScope {
    explicit CurrentQueueScope(const Ref<NSOperationQueue>& queue)
        : m_previous(t_currentQueueRef)
    {
        t_currentQueueRef = queue;
    }
    ~CurrentQueueScope() { t_currentQueueRef = m_previous; }
    Weak<NSOperationQueue> m_previous;
};

} // namespace

NSOperationQueue::NSOperationQueue(Passkey key, bool isMain)
    : NSObject(key)
    , m_isMain(isMain)
    , m_scheduler(dispatch_queue_create("NSOperationQueue scheduler", DISPATCH_QUEUE_SERIAL))
    , m_maxConcurrent(isMain ? 1 : NSOperationQueueDefaultMaxConcurrentOperationCount)
{
    if (isMain)
        m_name = "NSOperationQueue Main Queue";
}

Ref<NSOperationQueue> NSOperationQueue::init()
{
    return make<NSOperationQueue>(false);
}

Ref<NSOperationQueue> NSOperationQueue::mainQueue()
{
    static Ref<NSOperationQueue> s_main = make<NSOperationQueue>(true);
    return s_main;
}

Ref<NSOperationQueue> NSOperationQueue::currentQueue()
{
    if (auto queue = t_currentQueueRef.lock())
        return queue;
    return NSThread::isMainThread() ? mainQueue() : nullptr;
}

void NSOperationQueue::addOperation(const Ref<NSOperation>& operation)
{
    if (!operation)
        NSException::raise(NSInvalidArgumentException, "*** -[NSOperationQueue addOperation:]: operation is nil");
    if (operation->isFinished())
        NSException::raise(NSInvalidArgumentException,
            "*** -[NSOperationQueue addOperation:]: operation is finished and cannot be enqueued");
    if (operation->isExecuting())
        NSException::raise(NSInvalidArgumentException,
            "*** -[NSOperationQueue addOperation:]: operation is executing and cannot be enqueued");
    Weak<NSOperationQueue> weakQueue = self<NSOperationQueue>();
    bool attached = operation->attachToQueue([weakQueue](const Ref<NSOperation>& op, const std::string& key) {
        if (auto queue = weakQueue.lock())
            queue->operationChanged(op, key);
    });
    if (!attached)
        NSException::raise(NSInvalidArgumentException,
            "*** -[NSOperationQueue addOperation:]: operation is already enqueued on a queue");
    willChangeValueForKey("operationCount");
    {
        std::lock_guard guard(m_lock);
        m_entries.push_back({ operation, false });
    }
    didChangeValueForKey("operationCount");
    schedulePump();
}

void NSOperationQueue::addOperationsWaitUntilFinished(const std::vector<Ref<NSOperation>>& operations, bool wait)
{
    for (auto& operation : operations)
        addOperation(operation);
    if (!wait)
        return;
    for (auto& operation : operations)
        operation->waitUntilFinished();
}

void NSOperationQueue::addOperationWithBlock(std::function<void()> block)
{
    addOperation(NSBlockOperation::blockOperationWithBlock(std::move(block)));
}

void NSOperationQueue::schedulePump()
{
    if (m_pumpScheduled.exchange(true))
        return;
    // The pass keeps the queue alive, so operations already added are not lost with it.
    dispatch_async(m_scheduler, [queue = self<NSOperationQueue>()] {
        queue->m_pumpScheduled = false; // changes from here on schedule another pass
        queue->pump();
    });
}

void NSOperationQueue::pump()
{
    std::vector<Ref<NSOperation>> candidates;
    {
        std::lock_guard guard(m_lock);
        if (m_suspended)
            return;
        for (auto& entry : m_entries) {
            if (!entry.started)
                candidates.push_back(entry.operation);
        }
    }
    for (auto& operation : candidates) {
        // Readiness is asked without the queue's lock: a subclass answers under its own lock.
        if (!operation->isReady())
            continue;
        {
            std::lock_guard guard(m_lock);
            if (m_suspended)
                return;
            if (m_maxConcurrent >= 0 && m_running >= m_maxConcurrent)
                return;
            auto it
                = std::find_if(m_entries.begin(), m_entries.end(), [&](auto& e) { return e.operation == operation; });
            if (it == m_entries.end() || it->started)
                continue;
            it->started = true;
            ++m_running;
        }
        launch(operation);
    }
}

void NSOperationQueue::launch(const Ref<NSOperation>& operation)
{
    auto queue = self<NSOperationQueue>();
    auto run = [queue, operation] {
        CurrentQueueScope scope(queue);
        operation->start();
    };
    if (m_isMain)
        dispatch_async(dispatch_get_main_queue(), std::move(run));
    else
        dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), std::move(run));
}

void NSOperationQueue::operationChanged(const Ref<NSOperation>& operation, const std::string& key)
{
    if (key == "isFinished" && operation->isFinished()) {
        bool removed = false;
        {
            std::lock_guard guard(m_lock);
            auto it
                = std::find_if(m_entries.begin(), m_entries.end(), [&](auto& e) { return e.operation == operation; });
            if (it != m_entries.end()) {
                if (it->started)
                    --m_running;
                m_entries.erase(it);
                removed = true;
                if (m_entries.empty())
                    Clock::wake(m_emptied);
            }
        }
        if (removed) {
            willChangeValueForKey("operationCount");
            didChangeValueForKey("operationCount");
        }
        schedulePump();
    } else if (key == "isReady") {
        schedulePump();
    }
}

std::vector<Ref<NSOperation>> NSOperationQueue::operations() const
{
    std::lock_guard guard(m_lock);
    std::vector<Ref<NSOperation>> result;
    for (auto& entry : m_entries)
        result.push_back(entry.operation);
    return result;
}

NSUInteger NSOperationQueue::operationCount() const
{
    std::lock_guard guard(m_lock);
    return static_cast<NSUInteger>(m_entries.size());
}

NSInteger NSOperationQueue::maxConcurrentOperationCount() const
{
    std::lock_guard guard(m_lock);
    return m_maxConcurrent;
}

void NSOperationQueue::setMaxConcurrentOperationCount(NSInteger count)
{
    {
        std::lock_guard guard(m_lock);
        if (m_isMain)
            return; // the main queue always runs one operation at a time
        m_maxConcurrent = count < 0 ? NSOperationQueueDefaultMaxConcurrentOperationCount : count;
    }
    schedulePump();
}

bool NSOperationQueue::isSuspended() const
{
    std::lock_guard guard(m_lock);
    return m_suspended;
}

void NSOperationQueue::setSuspended(bool suspended)
{
    {
        std::lock_guard guard(m_lock);
        m_suspended = suspended;
    }
    if (!suspended)
        schedulePump();
}

std::string NSOperationQueue::name() const
{
    std::lock_guard guard(m_lock);
    return m_name;
}

void NSOperationQueue::setName(const std::string& name)
{
    std::lock_guard guard(m_lock);
    m_name = name;
}

void NSOperationQueue::cancelAllOperations()
{
    for (auto& operation : operations())
        operation->cancel();
}

void NSOperationQueue::waitUntilAllOperationsAreFinished()
{
    if (m_isMain && NSThread::isMainThread()) {
        auto loop = NSRunLoop::mainRunLoop();
        for (;;) {
            uint64_t seen = DispatchWork::generation();
            if (operationCount() == 0)
                return;
            if (!loop->runPass(NSDefaultRunLoopMode))
                DispatchWork::waitForChange(seen, 1.0);
        }
    }
    std::unique_lock guard(m_lock);
    Clock::waitUntil(guard, m_emptied, Clock::distantFuture, [&] { return m_entries.empty(); });
}

VX_REGISTER_CLASS(NSOperationQueue);
