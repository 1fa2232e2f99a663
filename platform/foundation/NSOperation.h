#pragma once

#include "foundation/NSObject.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// A unit of work with the platform's state rules.
//
// An operation is ready once every dependency has finished (or once it is cancelled); a queue
// starts it only then. The default start() runs main() between "isExecuting" and "isFinished"
// changes, or finishes at once when cancelled. An asynchronous (concurrent) subclass overrides
// start(), isExecuting() and isFinished() and reports each change with willChangeValueForKey /
// didChangeValueForKey on "isExecuting", "isFinished" and "isReady"; the queue follows these.
// The completion block runs once, on a background queue, after the operation finishes.
//
// The change methods here add to NSObject's: after the observers have been told, every change of
// a state key also reaches stateDidChange(), which is how the queue and dependent operations
// learn of it. Subclasses that override stateDidChange() must call the base. Any thread.
class NSOperation : public NSObject {
    VX_OBJECT(NSOperation, NSObject)

public:
    explicit NSOperation(Passkey key);
    ~NSOperation() override;
    static Ref<NSOperation> init();

    virtual void start();
    virtual void main();
    virtual void cancel();

    virtual bool isReady() const;
    virtual bool isExecuting() const;
    virtual bool isFinished() const;
    bool isCancelled() const;
    virtual bool isAsynchronous() const { return false; }
    virtual bool isConcurrent() const { return isAsynchronous(); }

    void addDependency(const Ref<NSOperation>& operation);
    void removeDependency(const Ref<NSOperation>& operation);
    std::vector<Ref<NSOperation>> dependencies() const;

    // The block is cleared once it has started, which breaks cycles through its captures.
    virtual std::function<void()> completionBlock() const;
    virtual void setCompletionBlock(std::function<void()> block);

    // Blocks until the operation has finished.
    void waitUntilFinished();

    std::string name() const;
    void setName(const std::string& name);

    void willChangeValueForKey(const std::string& key);
    void didChangeValueForKey(const std::string& key);

protected:
    virtual void stateDidChange(const std::string& key);

private:
    friend class NSOperationQueue;
    using QueueObserver = std::function<void(const Ref<NSOperation>&, const std::string& key)>;
    // Set by the queue the operation is added to; false when it already has one.
    bool attachToQueue(QueueObserver observer);
    void handleFinished();

    mutable std::mutex m_lock;
    std::condition_variable m_finishedCondition;
    std::vector<Ref<NSOperation>> m_dependencies;
    std::vector<Weak<NSOperation>> m_dependents;
    std::function<void()> m_completionBlock;
    QueueObserver m_queueObserver;
    std::string m_name;
    bool m_executing = false;
    bool m_finished = false;
    bool m_cancelled = false;
    bool m_finishHandled = false;
    bool m_started = false;
};
