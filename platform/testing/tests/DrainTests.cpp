#include "foundation/Dispatch.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSThread.h"
#include "foundation/NSTimer.h"
#include "testing/Drain.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <mutex>
#include <string>
#include <vector>

namespace {

class DrainTest : public ::testing::Test {
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

    std::mutex m_lock;
    std::vector<std::string> m_log;
};

} // namespace

TEST_F(DrainTest, WaitsForChainsAcrossQueuesOperationsAndThreads)
{
    ScopedVirtualClock clock;
    auto serial = dispatch_queue_create("com.example.drain", DISPATCH_QUEUE_SERIAL);
    auto operations = NSOperationQueue::init();
    std::atomic<int> depth { 0 };
    // background -> serial -> operation -> thread -> main -> background, repeated.
    std::function<void()> step = [&] {
        int level = ++depth;
        if (level > 30)
            return;
        switch (level % 5) {
        case 0:
            dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_LOW, 0), step);
            break;
        case 1:
            dispatch_async(serial, step);
            break;
        case 2:
            operations->addOperationWithBlock(step);
            break;
        case 3:
            NSThread::detachNewThreadWithBlock(step);
            break;
        case 4:
            performSelectorOnMainThread(step, false);
            break;
        }
    };
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_HIGH, 0), step);
    drainAll();
    EXPECT_EQ(depth, 31);
}

TEST_F(DrainTest, AdvanceStepsThroughDueTimesOnEveryThreadInOrder)
{
    ScopedVirtualClock clock;
    double start = Clock::mediaTime();
    auto stamp = [&](const std::string& what) {
        record(what + " @" + std::to_string(std::lround((Clock::mediaTime() - start) * 10)));
    };
    Ref<NSTimer> workerTimer;
    auto worker = NSThread::detachNewThreadWithBlock([&] {
        workerTimer
            = NSTimer::scheduledTimerWithTimeIntervalRepeatsBlock(1.0, true, [&](auto&) { stamp("worker tick"); });
        NSRunLoop::currentRunLoop()->run();
    });
    drainAll();
    NSTimer::scheduledTimerWithTimeIntervalRepeatsBlock(1.5, false, [&](auto&) {
        stamp("main timer");
        // Scheduled by a firing inside the advance: still runs within it, at its own time.
        dispatch_after(
            dispatch_time(DISPATCH_TIME_NOW, NSEC_PER_SEC / 5), dispatch_get_main_queue(), [&] { stamp("after"); });
    });
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), [&] {
        NSThread::sleepForTimeInterval(1.2);
        stamp("slept");
    });
    clock.advance(2.5);
    EXPECT_EQ(log(),
        (std::vector<std::string> {
            "worker tick @10", "slept @12", "main timer @15", "after @17", "worker tick @20" }));
    EXPECT_DOUBLE_EQ(Clock::mediaTime() - start, 2.5);

    performSelectorOnThread(
        worker, [&] { workerTimer->invalidate(); }, true);
    drainAll();
    EXPECT_TRUE(worker->isFinished());
}

TEST_F(DrainTest, VirtualClockInstallsAtAFixedEpochAndUninstallRestoresTheRealClock)
{
    {
        ScopedVirtualClock clock;
        EXPECT_TRUE(Clock::isVirtual());
        EXPECT_EQ(Clock::wallTime(), VirtualClock::defaultWallEpoch);
        clock.clock().setWallTime(VirtualClock::defaultWallEpoch + 3600);
        double media = Clock::mediaTime();
        EXPECT_EQ(Clock::wallTime(), VirtualClock::defaultWallEpoch + 3600);
        EXPECT_EQ(Clock::mediaTime(), media);
        clock.advance(1);
        EXPECT_EQ(Clock::wallTime(), VirtualClock::defaultWallEpoch + 3601);
    }
    EXPECT_FALSE(Clock::isVirtual());
    EXPECT_GT(Clock::wallTime(), VirtualClock::defaultWallEpoch + 86400.0 * 365);
}
