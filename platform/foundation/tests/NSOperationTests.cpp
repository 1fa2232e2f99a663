#include "foundation/Dispatch.h"
#include "foundation/NSBlockOperation.h"
#include "foundation/NSException.h"
#include "foundation/NSOperation.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSThread.h"
#include "testing/Drain.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace {

class SharedLog {
public:
    void add(std::string what)
    {
        std::lock_guard guard(m_lock);
        m_entries.push_back(std::move(what));
    }
    std::vector<std::string> entries()
    {
        std::lock_guard guard(m_lock);
        return m_entries;
    }
    // Tracks how many operations run at once.
    void enter()
    {
        int now = ++m_active;
        int seen = m_maxActive;
        while (now > seen && !m_maxActive.compare_exchange_weak(seen, now)) { }
    }
    void leave() { --m_active; }
    int maxActive() const { return m_maxActive; }

private:
    std::atomic<int> m_active { 0 };
    std::atomic<int> m_maxActive { 0 };
    std::mutex m_lock;
    std::vector<std::string> m_entries;
};

// Records every state change the operation reports, with the state seen at that moment.
class RecordingOperation : public NSOperation {
    VX_OBJECT(RecordingOperation, NSOperation)

public:
    RecordingOperation(Passkey key, SharedLog* log, std::string name)
        : NSOperation(key)
        , m_log(log)
        , m_label(std::move(name))
    {
    }
    static Ref<RecordingOperation> make(SharedLog* log, std::string name)
    {
        return NSObject::make<RecordingOperation>(log, std::move(name));
    }
    void main() override
    {
        m_log->enter();
        m_log->add(m_label + " main");
        m_log->leave();
    }
    std::vector<std::string> changes;

protected:
    void stateDidChange(const std::string& key) override
    {
        changes.push_back(key + (isExecuting() ? " E" : "") + (isFinished() ? " F" : ""));
        NSOperation::stateDidChange(key);
    }

private:
    SharedLog* m_log;
    std::string m_label;
};

// An asynchronous operation that finishes when told to, reporting changes the way the
// networking layer does: will-change for the new state's key, then the old one's, then the
// did-changes in the same order.
class ManualOperation : public NSOperation {
    VX_OBJECT(ManualOperation, NSOperation)

public:
    explicit ManualOperation(Passkey key)
        : NSOperation(key)
    {
    }
    static Ref<ManualOperation> make() { return NSObject::make<ManualOperation>(); }

    bool isAsynchronous() const override { return true; }
    bool isExecuting() const override { return m_state == 1; }
    bool isFinished() const override { return m_state == 2; }
    void start() override { moveTo(1, "isExecuting", "isReady"); }
    void finish() { moveTo(2, "isFinished", "isExecuting"); }

private:
    void moveTo(int state, const char* newKey, const char* oldKey)
    {
        willChangeValueForKey(newKey);
        willChangeValueForKey(oldKey);
        m_state = state;
        didChangeValueForKey(newKey);
        didChangeValueForKey(oldKey);
    }
    std::atomic<int> m_state { 0 };
};

class NSOperationTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        drainAll();
        resetForTesting();
    }

    ScopedVirtualClock m_clock;
    SharedLog m_log;
};

} // namespace

TEST_F(NSOperationTest, StartMovesThroughExecutingToFinishedAndCancelSkipsMain)
{
    auto operation = RecordingOperation::make(&m_log, "op");
    EXPECT_TRUE(operation->isReady());
    operation->start();
    EXPECT_EQ(operation->changes, (std::vector<std::string> { "isExecuting E", "isExecuting F", "isFinished F" }));
    EXPECT_EQ(m_log.entries(), (std::vector<std::string> { "op main" }));
    EXPECT_THROW(operation->start(), NSException);

    auto cancelled = RecordingOperation::make(&m_log, "cancelled");
    cancelled->cancel();
    cancelled->start();
    EXPECT_TRUE(cancelled->isFinished());
    EXPECT_TRUE(cancelled->isCancelled());
    EXPECT_EQ(m_log.entries().size(), 1u);
}

TEST_F(NSOperationTest, WidthOneQueueStartsReadyOperationsInOrderAfterTheirDependencies)
{
    auto queue = NSOperationQueue::init();
    queue->setMaxConcurrentOperationCount(1);
    auto a = RecordingOperation::make(&m_log, "a");
    auto b = RecordingOperation::make(&m_log, "b");
    auto c = RecordingOperation::make(&m_log, "c");
    a->addDependency(c);
    EXPECT_FALSE(a->isReady());
    queue->setSuspended(true);
    queue->addOperation(a);
    queue->addOperation(b);
    queue->addOperation(c);
    EXPECT_EQ(queue->operationCount(), 3u);
    drainAll();
    EXPECT_TRUE(m_log.entries().empty());
    queue->setSuspended(false);
    drainAll();
    EXPECT_EQ(m_log.entries(), (std::vector<std::string> { "b main", "c main", "a main" }));
    EXPECT_EQ(m_log.maxActive(), 1);
    EXPECT_EQ(queue->operationCount(), 0u);
    EXPECT_THROW(queue->addOperation(a), NSException);
}

TEST_F(NSOperationTest, AsynchronousOperationHoldsItsQueueUntilItReportsFinished)
{
    auto queue = NSOperationQueue::init();
    queue->setMaxConcurrentOperationCount(1);
    auto manual = ManualOperation::make();
    std::atomic<int> completions { 0 };
    manual->setCompletionBlock([&] { ++completions; });
    queue->addOperation(manual);
    queue->addOperationWithBlock([&] { m_log.add("next"); });
    drainAll();
    EXPECT_TRUE(manual->isExecuting());
    EXPECT_TRUE(m_log.entries().empty());
    EXPECT_EQ(queue->operationCount(), 2u);

    manual->finish();
    manual->finish(); // reporting twice must not run the completion twice
    drainAll();
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(m_log.entries(), (std::vector<std::string> { "next" }));
    EXPECT_EQ(queue->operationCount(), 0u);
}

TEST_F(NSOperationTest, CancelAllFinishesQueuedOperationsWithoutRunningThem)
{
    auto queue = NSOperationQueue::init();
    queue->setSuspended(true);
    std::vector<Ref<NSOperation>> operations;
    std::atomic<int> completions { 0 };
    for (int i = 0; i < 3; ++i) {
        auto operation = NSBlockOperation::blockOperationWithBlock([&] { m_log.add("ran"); });
        operation->setCompletionBlock([&] { ++completions; });
        operations.push_back(operation);
    }
    // One operation waits on a dependency that is never run: cancelling makes it ready too.
    operations[2]->addDependency(NSOperation::init());
    queue->addOperationsWaitUntilFinished(operations, false);
    queue->cancelAllOperations();
    queue->setSuspended(false);
    queue->waitUntilAllOperationsAreFinished();
    drainAll();
    EXPECT_TRUE(m_log.entries().empty());
    EXPECT_EQ(completions, 3);
    for (auto& operation : operations)
        EXPECT_TRUE(operation->isFinished() && operation->isCancelled());
}

TEST_F(NSOperationTest, MainQueueRunsBlocksOnTheMainThreadAndReportsItselfCurrent)
{
    auto main = NSOperationQueue::mainQueue();
    auto background = NSOperationQueue::init();
    auto block = NSBlockOperation::init();
    std::atomic<int> onMain { 0 };
    block->addExecutionBlock([&] { onMain += NSThread::isMainThread(); });
    block->addExecutionBlock([&] { onMain += NSOperationQueue::currentQueue() == main; });
    main->addOperation(block);
    std::atomic<bool> backgroundCurrent { false };
    background->addOperationWithBlock(
        [&] { backgroundCurrent = NSOperationQueue::currentQueue() == background && !NSThread::isMainThread(); });
    EXPECT_EQ(onMain, 0);
    drainAll();
    EXPECT_EQ(onMain, 2);
    EXPECT_TRUE(backgroundCurrent);
    EXPECT_THROW(block->addExecutionBlock([] {}), NSException);
}
