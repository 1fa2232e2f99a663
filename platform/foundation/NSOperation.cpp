#include "foundation/NSOperation.h"

#include "foundation/Clock.h"
#include "foundation/Dispatch.h"
#include "foundation/NSException.h"

#include <algorithm>

NSOperation::NSOperation(Passkey key)
    : NSObject(key)
{
}

NSOperation::~NSOperation() = default;

Ref<NSOperation> NSOperation::init()
{
    return make<NSOperation>();
}

void NSOperation::start()
{
    {
        std::lock_guard guard(m_lock);
        if (m_started || m_finished)
            NSException::raise(NSInvalidArgumentException,
                "*** -[" + className() + " start]: receiver is already " + (m_finished ? "finished" : "executing"));
        m_started = true;
    }
    if (!isReady())
        NSException::raise(
            NSInvalidArgumentException, "*** -[" + className() + " start]: receiver is not yet ready to execute");
    auto protectedThis = self<NSOperation>();
    if (!isCancelled()) {
        willChangeValueForKey("isExecuting");
        {
            std::lock_guard guard(m_lock);
            m_executing = true;
        }
        didChangeValueForKey("isExecuting");
        main();
    }
    bool wasExecuting;
    {
        std::lock_guard guard(m_lock);
        wasExecuting = m_executing;
    }
    if (wasExecuting)
        willChangeValueForKey("isExecuting");
    willChangeValueForKey("isFinished");
    {
        std::lock_guard guard(m_lock);
        m_executing = false;
        m_finished = true;
    }
    if (wasExecuting)
        didChangeValueForKey("isExecuting");
    didChangeValueForKey("isFinished");
}

void NSOperation::main() { }

void NSOperation::cancel()
{
    {
        std::lock_guard guard(m_lock);
        if (m_cancelled)
            return;
    }
    willChangeValueForKey("isCancelled");
    {
        std::lock_guard guard(m_lock);
        m_cancelled = true;
    }
    didChangeValueForKey("isCancelled");
    // A cancelled operation is ready, so its queue can start it and let it finish at once.
    if (!isFinished() && !isExecuting()) {
        willChangeValueForKey("isReady");
        didChangeValueForKey("isReady");
    }
}

bool NSOperation::isReady() const
{
    std::vector<Ref<NSOperation>> dependencies;
    {
        std::lock_guard guard(m_lock);
        if (m_cancelled)
            return true;
        dependencies = m_dependencies;
    }
    return std::all_of(dependencies.begin(), dependencies.end(), [](auto& d) { return d->isFinished(); });
}

bool NSOperation::isExecuting() const
{
    std::lock_guard guard(m_lock);
    return m_executing;
}

bool NSOperation::isFinished() const
{
    std::lock_guard guard(m_lock);
    return m_finished;
}

bool NSOperation::isCancelled() const
{
    std::lock_guard guard(m_lock);
    return m_cancelled;
}

void NSOperation::addDependency(const Ref<NSOperation>& operation)
{
    if (!operation || operation.get() == this)
        return;
    {
        std::lock_guard guard(m_lock);
        if (std::find(m_dependencies.begin(), m_dependencies.end(), operation) != m_dependencies.end())
            return;
    }
    willChangeValueForKey("isReady");
    {
        std::lock_guard guard(m_lock);
        m_dependencies.push_back(operation);
    }
    {
        std::lock_guard guard(operation->m_lock);
        operation->m_dependents.push_back(self<NSOperation>());
    }
    didChangeValueForKey("isReady");
}

void NSOperation::removeDependency(const Ref<NSOperation>& operation)
{
    willChangeValueForKey("isReady");
    {
        std::lock_guard guard(m_lock);
        std::erase(m_dependencies, operation);
    }
    didChangeValueForKey("isReady");
}

std::vector<Ref<NSOperation>> NSOperation::dependencies() const
{
    std::lock_guard guard(m_lock);
    return m_dependencies;
}

std::function<void()> NSOperation::completionBlock() const
{
    std::lock_guard guard(m_lock);
    return m_completionBlock;
}

void NSOperation::setCompletionBlock(std::function<void()> block)
{
    std::lock_guard guard(m_lock);
    m_completionBlock = std::move(block);
}

void NSOperation::waitUntilFinished()
{
    std::unique_lock guard(m_lock);
    Clock::waitUntil(guard, m_finishedCondition, Clock::distantFuture, [&] { return m_finishHandled; });
}

std::string NSOperation::name() const
{
    std::lock_guard guard(m_lock);
    return m_name;
}

void NSOperation::setName(const std::string& name)
{
    std::lock_guard guard(m_lock);
    m_name = name;
}

void NSOperation::willChangeValueForKey(const std::string& key)
{
    NSObject::willChangeValueForKey(key);
}

void NSOperation::didChangeValueForKey(const std::string& key)
{
    NSObject::didChangeValueForKey(key);
    stateDidChange(key);
}

void NSOperation::stateDidChange(const std::string& key)
{
    if (key == "isFinished" && isFinished())
        handleFinished();
    QueueObserver observer;
    {
        std::lock_guard guard(m_lock);
        observer = m_queueObserver;
    }
    if (observer && (key == "isFinished" || key == "isReady" || key == "isExecuting"))
        observer(self<NSOperation>(), key);
}

bool NSOperation::attachToQueue(QueueObserver observer)
{
    std::lock_guard guard(m_lock);
    if (m_queueObserver)
        return false;
    m_queueObserver = std::move(observer);
    return true;
}

void NSOperation::handleFinished()
{
    std::function<void()> completion;
    std::vector<Weak<NSOperation>> dependents;
    {
        std::lock_guard guard(m_lock);
        if (m_finishHandled)
            return; // a subclass may report finishing more than once; act on the first
        m_finishHandled = true;
        completion = std::move(m_completionBlock);
        m_completionBlock = nullptr;
        dependents.swap(m_dependents);
        Clock::wake(m_finishedCondition);
    }
    if (completion)
        dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), std::move(completion));
    for (auto& weak : dependents) {
        if (auto dependent = weak.lock()) {
            dependent->willChangeValueForKey("isReady");
            dependent->didChangeValueForKey("isReady");
        }
    }
}

VX_REGISTER_CLASS(NSOperation);
