#pragma once

#include "foundation/NSObject.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

inline constexpr NSInteger NSOperationQueueDefaultMaxConcurrentOperationCount = -1;

// Runs operations once they are ready, at most maxConcurrentOperationCount at a time (-1: no
// limit of its own), starting ready operations in the order they were added. Operations run on
// the dispatch pool; the main queue's run on the main thread, one at a time. A queue keeps its
// operations until they finish. Any thread.
class NSOperationQueue : public NSObject {
    VX_OBJECT(NSOperationQueue, NSObject)

public:
    NSOperationQueue(Passkey key, bool isMain);
    static Ref<NSOperationQueue> init();
    static Ref<NSOperationQueue> mainQueue();
    // The queue running the calling operation; the main queue on the main thread; otherwise null.
    static Ref<NSOperationQueue> currentQueue();

    // Adding an operation that is already in a queue, executing or finished raises
    // "NSInvalidArgumentException".
    void addOperation(const Ref<NSOperation>& operation);
    void addOperationsWaitUntilFinished(const std::vector<Ref<NSOperation>>& operations, bool wait);
    void addOperationWithBlock(std::function<void()> block);

    std::vector<Ref<NSOperation>> operations() const;
    NSUInteger operationCount() const;
    NSInteger maxConcurrentOperationCount() const;
    void setMaxConcurrentOperationCount(NSInteger count);
    bool isSuspended() const;
    void setSuspended(bool suspended);
    std::string name() const;
    void setName(const std::string& name);

    void cancelAllOperations();
    // Blocks until the queue is empty. On the main thread, waiting for the main queue keeps
    // running the main run loop instead of blocking.
    void waitUntilAllOperationsAreFinished();

private:
    struct Entry {
        Ref<NSOperation> operation;
        bool started = false;
    };

    // Starting operations happens on the queue's own scheduler, never on the stack of the
    // caller: state changes arrive while an operation holds its own lock, and starting reads
    // other operations' readiness under theirs.
    void schedulePump();
    void pump();
    void launch(const Ref<NSOperation>& operation);
    void operationChanged(const Ref<NSOperation>& operation, const std::string& key);

    const bool m_isMain;
    DispatchQueueRef m_scheduler;
    std::atomic<bool> m_pumpScheduled { false };
    mutable std::mutex m_lock;
    std::condition_variable m_emptied;
    std::vector<Entry> m_entries;
    int m_running = 0;
    NSInteger m_maxConcurrent = NSOperationQueueDefaultMaxConcurrentOperationCount;
    bool m_suspended = false;
    std::string m_name;
};
