#include "foundation/Dispatch.h"
#include "foundation/NSPort.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSThread.h"
#include "foundation/NSTimer.h"
#include "testing/Drain.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace {

class NSRunLoopTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        drainAll();
        resetForTesting();
    }

    ScopedVirtualClock m_clock;
    std::vector<std::string> m_log;
    Ref<NSRunLoop> m_main = NSRunLoop::mainRunLoop();
};

} // namespace

TEST_F(NSRunLoopTest, PassRunsQueuedThenMainQueueThenDueTimersAndDefersNewWork)
{
    auto target = NSObject::init();
    performSelectorAfterDelay(
        target, "late", [&] { m_log.push_back("delayed 0.2"); }, 0.2);
    NSTimer::scheduledTimerWithTimeIntervalRepeatsBlock(0.1, false, [&](auto&) { m_log.push_back("timer 0.1"); });
    dispatch_async(dispatch_get_main_queue(), [&] { m_log.push_back("main queue"); });
    m_main->performInModesBlock({ NSDefaultRunLoopMode }, [&] {
        m_log.push_back("queued");
        m_main->performInModesBlock({ NSDefaultRunLoopMode }, [&] { m_log.push_back("queued by queued"); });
        dispatch_async(dispatch_get_main_queue(), [&] { m_log.push_back("main queue by queued"); });
    });
    m_main->performInModesBlock(
        { UITrackingRunLoopMode }, [&] { m_log.push_back("tracking in " + m_main->currentMode().value_or("none")); });

    EXPECT_TRUE(runOnePass());
    EXPECT_EQ(m_log, (std::vector<std::string> { "queued", "main queue" }));
    EXPECT_TRUE(runOnePass());
    EXPECT_EQ(m_log.size(), 4u);
    EXPECT_FALSE(runOnePass());
    EXPECT_FALSE(m_main->currentMode().has_value());

    m_clock.advance(0.3);
    EXPECT_EQ(m_log,
        (std::vector<std::string> {
            "queued", "main queue", "queued by queued", "main queue by queued", "timer 0.1", "delayed 0.2" }));

    EXPECT_TRUE(m_main->runPass(UITrackingRunLoopMode));
    EXPECT_EQ(m_log.back(), "tracking in UITrackingRunLoopMode");
}

TEST_F(NSRunLoopTest, CommonModesRunInDefaultAndTrackingOnly)
{
    struct Case {
        std::vector<std::string> registeredModes;
        std::string runMode;
        bool runs;
    };
    const Case cases[] = {
        { { NSRunLoopCommonModes }, NSDefaultRunLoopMode, true },
        { { NSRunLoopCommonModes }, UITrackingRunLoopMode, true },
        { { NSRunLoopCommonModes }, "CustomMode", false },
        { { NSDefaultRunLoopMode }, UITrackingRunLoopMode, false },
        { { "CustomMode" }, "CustomMode", true },
        { { UITrackingRunLoopMode, NSDefaultRunLoopMode }, NSDefaultRunLoopMode, true },
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.registeredModes.front() + " run in " + c.runMode);
        int queuedRuns = 0;
        int timerRuns = 0;
        m_main->performInModesBlock(c.registeredModes, [&] { ++queuedRuns; });
        auto timer = NSTimer::timerWithTimeIntervalRepeatsBlock(0, false, [&](auto&) { ++timerRuns; });
        for (auto& mode : c.registeredModes)
            m_main->addTimerForMode(timer, mode);
        m_main->runPass(c.runMode);
        EXPECT_EQ(queuedRuns, c.runs ? 1 : 0);
        EXPECT_EQ(timerRuns, c.runs ? 1 : 0);
        // Leave nothing behind for the next case.
        timer->invalidate();
        for (auto& mode : c.registeredModes)
            m_main->runPass(mode == NSRunLoopCommonModes ? NSDefaultRunLoopMode : mode);
    }
}

TEST_F(NSRunLoopTest, TimersFollowTheVirtualClock)
{
    auto owner = NSObject::init();
    Weak<NSObject> weakOwner = owner;
    int repeating = 0;
    int oneShot = 0;
    int selfStopping = 0;
    Value seenInfo;
    auto repeatingTimer = NSTimer::scheduledTimerWithTimeIntervalTargetSelectorUserInfoRepeats(
        1.0, owner,
        [&](const Ref<NSTimer>& t) {
            ++repeating;
            seenInfo = t->userInfo();
        },
        Value("info"), true);
    owner = nullptr;
    auto oneShotTimer = NSTimer::scheduledTimerWithTimeIntervalRepeatsBlock(1.5, false, [&](const Ref<NSTimer>& t) {
        ++oneShot;
        EXPECT_TRUE(t->isValid()); // invalidated after the callout
    });
    NSTimer::scheduledTimerWithTimeIntervalRepeatsBlock(0.5, true, [&](const Ref<NSTimer>& t) {
        if (++selfStopping == 2)
            t->invalidate();
    });

    double start = Clock::wallTime();
    EXPECT_DOUBLE_EQ(repeatingTimer->fireDate(), start + 1.0);
    EXPECT_EQ(repeatingTimer->timeInterval(), 1.0);
    EXPECT_EQ(oneShotTimer->timeInterval(), 0.0);

    m_clock.advance(0.99);
    EXPECT_EQ(repeating, 0);
    m_clock.advance(2.51); // t = 3.5
    EXPECT_EQ(repeating, 3);
    EXPECT_EQ(seenInfo.string(), "info");
    EXPECT_EQ(oneShot, 1);
    EXPECT_FALSE(oneShotTimer->isValid());
    EXPECT_EQ(selfStopping, 2);
    EXPECT_DOUBLE_EQ(repeatingTimer->fireDate(), start + 4.0);

    // A wall-clock jump does not move the schedule; the fire date is reported in the new wall time.
    m_clock.clock().setWallTime(start + 1000);
    EXPECT_DOUBLE_EQ(repeatingTimer->fireDate(), start + 1000 + 0.5);
    m_clock.advance(0.5);
    EXPECT_EQ(repeating, 4);

    // Firing by hand keeps a repeating timer's schedule and ends a one-shot timer.
    repeatingTimer->fire();
    EXPECT_EQ(repeating, 5);
    EXPECT_TRUE(repeatingTimer->isValid());
    EXPECT_DOUBLE_EQ(repeatingTimer->fireDate(), start + 1000 + 1.5);
    int manual = 0;
    auto manualTimer = NSTimer::timerWithTimeIntervalRepeatsBlock(10, false, [&](auto&) { ++manual; });
    manualTimer->fire();
    manualTimer->fire();
    EXPECT_EQ(manual, 1);
    EXPECT_FALSE(manualTimer->isValid());

    // The timer keeps its target alive until it is invalidated.
    EXPECT_FALSE(weakOwner.expired());
    repeatingTimer->invalidate();
    EXPECT_TRUE(weakOwner.expired());
    m_clock.advance(5);
    EXPECT_EQ(repeating, 5);
}

TEST_F(NSRunLoopTest, ZeroIntervalRepeatingTimerFiresOncePerPassAndIsNotPendingWork)
{
    int fired = 0;
    auto timer = NSTimer::scheduledTimerWithTimeIntervalRepeatsBlock(0, true, [&](auto&) { ++fired; });
    runOnePass();
    runOnePass();
    runOnePass();
    EXPECT_EQ(fired, 3);
    drainAll(); // must return although the timer is always due
    timer->invalidate();
}

TEST_F(NSRunLoopTest, DelayedPerformsKeepTargetsAndCancelByTarget)
{
    auto kept = NSObject::init();
    auto cancelled = NSObject::init();
    Weak<NSObject> weakKept = kept;
    Weak<NSObject> weakCancelled = cancelled;
    performSelectorAfterDelay(
        kept, "show", [&] { m_log.push_back("kept show"); }, 1.0);
    performSelectorAfterDelay(
        kept, "hide", [&] { m_log.push_back("kept hide"); }, 1.0);
    performSelectorAfterDelay(
        cancelled, "show", [&] { m_log.push_back("cancelled show"); }, 0.5);
    performSelectorAfterDelay(
        kept, "zero", [&] { m_log.push_back("kept zero"); }, 0);

    cancelPreviousPerformRequestsWithTarget(cancelled);
    cancelPreviousPerformRequestsWithTargetSelector(kept, "hide");
    kept = nullptr;
    cancelled = nullptr;
    EXPECT_TRUE(weakCancelled.expired());
    EXPECT_FALSE(weakKept.expired());

    drainAll(); // a zero-delay perform is pending work
    EXPECT_EQ(m_log, (std::vector<std::string> { "kept zero" }));
    m_clock.advance(1.0);
    EXPECT_EQ(m_log, (std::vector<std::string> { "kept zero", "kept show" }));
    EXPECT_TRUE(weakKept.expired());

    // A perform cancelled by an earlier callout of the same pass does not run.
    auto grid = NSObject::init();
    performSelectorAfterDelay(
        grid, "collapse", [&] { cancelPreviousPerformRequestsWithTargetSelector(grid, "expand"); }, 1.0);
    performSelectorAfterDelay(
        grid, "expand", [&] { m_log.push_back("expand"); }, 1.0);
    m_clock.advance(1.0);
    EXPECT_EQ(m_log.back(), "kept show");
}

TEST_F(NSRunLoopTest, ChainOfZeroDelayPerformsAdvancesOneLinkPerPass)
{
    auto target = NSObject::init();
    int links = 0;
    std::function<void()> link = [&] {
        if (++links < 5)
            performSelectorAfterDelay(target, "link", link, 0);
    };
    performSelectorAfterDelay(target, "link", link, 0);
    for (int pass = 1; pass <= 3; ++pass) {
        runOnePass();
        EXPECT_EQ(links, pass);
    }
    drainAll();
    EXPECT_EQ(links, 5);
}

TEST_F(NSRunLoopTest, ThreadRunsItsOwnLoopKeptAliveByAPort)
{
    std::mutex lock;
    std::vector<std::string> seen;
    auto record = [&](std::string what) {
        std::lock_guard guard(lock);
        seen.push_back(std::move(what));
    };
    auto port = NSPort::port();
    Ref<NSTimer> timer;
    auto thread = NSThread::detachNewThreadWithBlock([&] {
        NSThread::currentThread()->setName("Worker");
        auto loop = NSRunLoop::currentRunLoop();
        loop->addPortForMode(port, NSDefaultRunLoopMode);
        timer = NSTimer::scheduledTimerWithTimeIntervalRepeatsBlock(1.0, true, [&](auto&) { record("tick"); });
        loop->run();
        record("loop ended");
    });
    performSelectorOnThread(
        thread, [&] { record("perform on " + NSThread::currentThread()->name()); }, false);
    drainAll();
    m_clock.advance(2.5);
    performSelectorOnThread(
        thread, [&] { record(NSThread::isMainThread() ? "main" : "waited"); }, true);
    // Waiting for the main thread from the main thread runs inline.
    performSelectorOnMainThread([&] { record("inline"); }, true);
    EXPECT_TRUE(thread->isExecuting());

    // Without its port and timer the loop has no input left and run() returns.
    performSelectorOnThread(
        thread,
        [&] {
            timer->invalidate();
            NSRunLoop::currentRunLoop()->removePortForMode(port, NSDefaultRunLoopMode);
        },
        false);
    drainAll();
    EXPECT_TRUE(thread->isFinished());
    performSelectorOnThread(
        thread, [&] { record("after the end"); }, true); // returns, runs nothing
    std::lock_guard guard(lock);
    EXPECT_EQ(
        seen, (std::vector<std::string> { "perform on Worker", "tick", "tick", "waited", "inline", "loop ended" }));
}

TEST_F(NSRunLoopTest, SleepAndRunUntilDateFollowTheClock)
{
    std::atomic<int> stage { 0 };
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), [&] {
        NSThread::sleepForTimeInterval(5);
        stage = 1;
    });
    m_clock.advance(4.9);
    EXPECT_EQ(stage, 0);
    m_clock.advance(0.1);
    EXPECT_EQ(stage, 1);

    // A loop with nothing in the mode returns at once.
    std::atomic<bool> returned { false };
    NSThread::detachNewThreadWithBlock([&] {
        NSRunLoop::currentRunLoop()->runUntilDate(Clock::wallTime() + 100);
        returned = true;
    });
    drainAll();
    EXPECT_TRUE(returned);
}

TEST_F(NSRunLoopTest, RunModeBeforeDateReturnsOnInputStopOrDate)
{
    std::mutex lock;
    std::vector<std::string> results;
    auto record = [&](std::string what) {
        std::lock_guard guard(lock);
        results.push_back(std::move(what));
    };
    Ref<NSRunLoop> workerLoop;
    auto port = NSPort::port();
    auto thread = NSThread::detachNewThreadWithBlock([&] {
        auto loop = NSRunLoop::currentRunLoop();
        record(loop->runModeBeforeDate(NSDefaultRunLoopMode, Clock::distantFuture) ? "ran" : "no input");
        loop->addPortForMode(port, NSDefaultRunLoopMode);
        workerLoop = loop;
        record(loop->runModeBeforeDate("CustomMode", Clock::distantFuture) ? "ran" : "no input in custom mode");
        record(loop->runModeBeforeDate(NSDefaultRunLoopMode, Clock::distantFuture) ? "stopped" : "?");
        loop->runUntilDate(Clock::wallTime() + 3);
        record("date passed");
    });
    drainAll(); // the worker now waits in its loop for input that never comes
    workerLoop->stop();
    drainAll(); // and now until the date
    {
        std::lock_guard guard(lock);
        EXPECT_EQ(results, (std::vector<std::string> { "no input", "no input in custom mode", "stopped" }));
    }
    m_clock.advance(3);
    EXPECT_TRUE(thread->isFinished());
    std::lock_guard guard(lock);
    EXPECT_EQ(results.back(), "date passed");
}
