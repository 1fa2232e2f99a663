#include "foundation/Dispatch.h"
#include "foundation/NSThread.h"
#include "testing/Drain.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace {

class DispatchTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        drainAll();
        resetForTesting();
    }

    void record(std::string what)
    {
        std::lock_guard guard(m_lock);
        m_log.push_back(std::move(what));
    }
    std::vector<std::string> log()
    {
        std::lock_guard guard(m_lock);
        return m_log;
    }

    ScopedVirtualClock m_clock;
    std::mutex m_lock;
    std::vector<std::string> m_log;
};

dispatch_queue_t globalQueue()
{
    return dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0);
}

} // namespace

TEST_F(DispatchTest, SerialQueueRunsInOrderAndSyncQueuesBehindEarlierBlocks)
{
    auto queue = dispatch_queue_create("com.example.serial", DISPATCH_QUEUE_SERIAL);
    std::vector<int> values; // only touched on the queue
    std::atomic<int> concurrent { 0 };
    bool overlapped = false;
    for (int i = 0; i < 200; ++i) {
        dispatch_async(queue, [&, i] {
            overlapped |= ++concurrent > 1;
            values.push_back(i);
            --concurrent;
        });
    }
    std::vector<int> seen;
    dispatch_sync(queue, [&] { seen = values; });
    ASSERT_EQ(seen.size(), 200u);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(seen[i], i);
    EXPECT_FALSE(overlapped);
    EXPECT_STREQ(dispatch_queue_get_label(queue), "com.example.serial");
}

TEST_F(DispatchTest, BarrierWaitsForEarlierBlocksAndHoldsBackLaterOnes)
{
    auto queue = dispatch_queue_create("com.example.concurrent", DISPATCH_QUEUE_CONCURRENT);
    auto gate = dispatch_semaphore_create(0);
    dispatch_async(queue, [&] {
        dispatch_semaphore_wait(gate, DISPATCH_TIME_FOREVER);
        record("reader");
    });
    dispatch_barrier_async(queue, [&] { record("barrier"); });
    dispatch_async(queue, [&] { record("after"); });

    drainAll(); // the reader waits on the semaphore: that is idle, not pending work
    EXPECT_TRUE(log().empty());
    dispatch_semaphore_signal(gate);
    drainAll();
    EXPECT_EQ(log(), (std::vector<std::string> { "reader", "barrier", "after" }));

    // Readers around no barrier run side by side.
    auto both = dispatch_semaphore_create(0);
    std::atomic<int> met { 0 };
    for (int i = 0; i < 2; ++i) {
        dispatch_async(queue, [&] {
            if (++met == 2)
                dispatch_semaphore_signal(both);
            else
                dispatch_semaphore_wait(both, DISPATCH_TIME_FOREVER);
        });
    }
    drainAll();
    EXPECT_EQ(met, 2);

    std::atomic<size_t> sum { 0 };
    dispatch_apply(100, queue, [&](size_t i) { sum += i; });
    EXPECT_EQ(sum, 4950u);
}

TEST_F(DispatchTest, AfterBlocksFireInTimeOrderIncludingOnesScheduledDuringTheAdvance)
{
    auto main = dispatch_get_main_queue();
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 2 * NSEC_PER_SEC), main, [&] { record("b at 2"); });
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 1 * NSEC_PER_SEC), globalQueue(), [&] {
        record("a at 1");
        dispatch_after(dispatch_time(DISPATCH_TIME_NOW, NSEC_PER_SEC / 2), main, [&] { record("a2 at 1.5"); });
    });
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 4 * NSEC_PER_SEC), main, [&] { record("c at 4"); });

    m_clock.advance(0.999);
    EXPECT_TRUE(log().empty());
    m_clock.advance(2.001);
    EXPECT_EQ(log(), (std::vector<std::string> { "a at 1", "a2 at 1.5", "b at 2" }));
    m_clock.advance(1);
    EXPECT_EQ(log().back(), "c at 4");
}

TEST_F(DispatchTest, TimedWaitsElapseOnlyWhenTheClockIsAdvanced)
{
    struct Case {
        const char* name;
        bool signalEarly;
        long expected;
    };
    const Case cases[] = { { "timeout", false, 1 }, { "signalled", true, 0 } };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto semaphore = dispatch_semaphore_create(0);
        auto group = dispatch_group_create();
        dispatch_group_enter(group);
        std::atomic<long> semaphoreResult { -1 };
        std::atomic<long> groupResult { -1 };
        dispatch_async(globalQueue(), [&] {
            semaphoreResult = dispatch_semaphore_wait(semaphore, dispatch_time(DISPATCH_TIME_NOW, 2 * NSEC_PER_SEC));
        });
        dispatch_async(globalQueue(),
            [&] { groupResult = dispatch_group_wait(group, dispatch_time(DISPATCH_TIME_NOW, 2 * NSEC_PER_SEC)); });
        m_clock.advance(1.5);
        EXPECT_EQ(semaphoreResult, -1);
        EXPECT_EQ(groupResult, -1);
        if (c.signalEarly) {
            EXPECT_EQ(dispatch_semaphore_signal(semaphore), 1);
            dispatch_group_leave(group);
            drainAll();
        } else {
            m_clock.advance(0.5);
            dispatch_group_leave(group);
        }
        EXPECT_EQ(semaphoreResult, c.expected);
        EXPECT_EQ(groupResult, c.expected);
        EXPECT_EQ(dispatch_semaphore_wait(semaphore, DISPATCH_TIME_NOW), 1);
    }
}

TEST_F(DispatchTest, GroupNotifiesOnceAllWorkHasLeft)
{
    auto group = dispatch_group_create();
    std::atomic<int> done { 0 };
    for (int i = 0; i < 10; ++i)
        dispatch_group_async(group, globalQueue(), [&] { ++done; });
    dispatch_group_enter(group);
    dispatch_group_notify(
        group, dispatch_get_main_queue(), [&] { record("notified after " + std::to_string(done.load())); });
    drainAll();
    EXPECT_TRUE(log().empty());
    dispatch_group_leave(group);
    drainAll();
    EXPECT_EQ(log(), (std::vector<std::string> { "notified after 10" }));
    EXPECT_EQ(dispatch_group_wait(group, DISPATCH_TIME_NOW), 0);
}

TEST_F(DispatchTest, SyncToMainFromBackgroundRunsWhileTheMainThreadDrains)
{
    auto serial = dispatch_queue_create("com.example.chain", DISPATCH_QUEUE_SERIAL);
    dispatch_async(globalQueue(), [&] {
        record("background");
        dispatch_sync(
            dispatch_get_main_queue(), [&] { record(NSThread::isMainThread() ? "sync on main" : "sync elsewhere"); });
        dispatch_async(serial, [&] {
            record("serial");
            dispatch_async(dispatch_get_main_queue(), [&] { record("main"); });
        });
    });
    drainAll();
    EXPECT_EQ(log(), (std::vector<std::string> { "background", "sync on main", "serial", "main" }));
}

TEST_F(DispatchTest, OnceRunsOncePerResetAndSpecificsFollowTheCurrentQueue)
{
    static dispatch_once_t once;
    int runs = 0;
    for (int i = 0; i < 3; ++i)
        dispatch_once(&once, [&] { ++runs; });
    EXPECT_EQ(runs, 1);
    dispatch_once_reset_for_testing();
    dispatch_once(&once, [&] { ++runs; });
    EXPECT_EQ(runs, 2);

    static int key;
    int context = 42;
    auto queue = dispatch_queue_create("com.example.specific", DISPATCH_QUEUE_SERIAL);
    dispatch_queue_set_specific(queue, &key, &context);
    void* seenInside = nullptr;
    std::string label;
    dispatch_sync(queue, [&] {
        seenInside = dispatch_get_specific(&key);
        label = dispatch_queue_get_label(DISPATCH_CURRENT_QUEUE_LABEL);
    });
    EXPECT_EQ(seenInside, &context);
    EXPECT_EQ(label, "com.example.specific");
    EXPECT_EQ(dispatch_get_specific(&key), nullptr);
    EXPECT_EQ(dispatch_get_current_queue(), dispatch_get_main_queue());
}

TEST_F(DispatchTest, PoolAddsWorkersWhenAllOfThemWaitForQueuedWork)
{
    // Every block but the last waits for the last one; with a fixed number of workers the last
    // block would never get a thread.
    constexpr int blocks = 60;
    auto released = dispatch_semaphore_create(0);
    std::atomic<int> started { 0 };
    std::atomic<int> finished { 0 };
    for (int i = 0; i < blocks; ++i) {
        dispatch_async(globalQueue(), [&] {
            if (++started == blocks) {
                for (int j = 1; j < blocks; ++j)
                    dispatch_semaphore_signal(released);
            } else {
                dispatch_semaphore_wait(released, DISPATCH_TIME_FOREVER);
            }
            ++finished;
        });
    }
    drainAll();
    EXPECT_EQ(finished, blocks);
}

TEST(DispatchDeathTest, SyncOntoTheQueueRunningTheCallerAborts)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            auto queue = dispatch_queue_create("com.example.self", DISPATCH_QUEUE_SERIAL);
            dispatch_sync(queue, [&] { dispatch_sync(queue, [] {}); });
        },
        "com.example.self");
    EXPECT_DEATH(dispatch_sync(dispatch_get_main_queue(), [] {}), "main queue from the main thread");
    EXPECT_DEATH(dispatch_group_leave(dispatch_group_create()), "unbalanced");
}
