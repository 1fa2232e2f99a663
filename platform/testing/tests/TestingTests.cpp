#include "foundation/Dispatch.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSLog.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/Sandbox.h"
#include "testing/Drain.h"
#include "testing/FixedClock.h"
#include "testing/LogCapture.h"
#include "testing/TemporarySandbox.h"
#include "testing/TestEnvironment.h"
#include "testing/VirtualClock.h"

#include <cmath>
#include <gtest/gtest.h>
#include <thread>

TEST(TestEnvironment, GivesTheProgramATemporarySandbox)
{
    const std::string root = TestEnvironment::sandboxRoot();
    ASSERT_FALSE(root.empty());
    EXPECT_EQ(Sandbox::root(), root);
    EXPECT_NE(root, Sandbox::defaultRoot());
    EXPECT_TRUE(NSFileManager::defaultManager()->fileExistsAtPath(root + "/Library/Preferences"));
}

TEST(TemporarySandbox, IsolatesAndRestoresRootAndDefaults)
{
    auto fm = NSFileManager::defaultManager();
    const std::string outer = Sandbox::root();
    NSUserDefaults::standardUserDefaults()->setInteger(1, "outer");
    std::string inner;
    {
        TemporarySandbox sandbox;
        inner = sandbox.root();
        EXPECT_EQ(Sandbox::root(), inner);
        EXPECT_NE(inner, outer);
        bool isDirectory = false;
        EXPECT_TRUE(fm->fileExistsAtPath(sandbox.path("Documents"), &isDirectory) && isDirectory);
        EXPECT_TRUE(fm->fileExistsAtPath(sandbox.path("tmp")));
        EXPECT_EQ(NSUserDefaults::standardUserDefaults()->integerForKey("outer"), 0);
        NSUserDefaults::standardUserDefaults()->setInteger(2, "inner");
        NSUserDefaults::standardUserDefaults()->synchronize();
        {
            TemporarySandbox nested;
            EXPECT_EQ(Sandbox::root(), nested.root());
        }
        EXPECT_EQ(Sandbox::root(), inner);
    }
    EXPECT_EQ(Sandbox::root(), outer);
    EXPECT_FALSE(fm->fileExistsAtPath(inner));
    EXPECT_EQ(NSUserDefaults::standardUserDefaults()->integerForKey("inner"), 0);
    NSUserDefaults::standardUserDefaults()->removeObjectForKey("outer");
}

TEST(LogCapture, CollectsMessagesAndRestoresThePreviousSink)
{
    std::vector<std::string> outerSeen;
    NSLogSink before = setNSLogSink([&](const std::string& m) { outerSeen.push_back(m); });
    {
        LogCapture capture;
        NSLog("value %d of %@", 3, std::string("x"));
        std::thread([] { NSLog("from a thread"); }).join();
        EXPECT_EQ(capture.messages(), (std::vector<std::string> { "value 3 of x", "from a thread" }));
        EXPECT_TRUE(capture.contains("from a thread"));
        capture.clear();
        EXPECT_TRUE(capture.messages().empty());
        {
            LogCapture inner;
            NSLog("inner");
            EXPECT_EQ(inner.messages().size(), 1u);
        }
        NSLog("outer again");
        EXPECT_EQ(capture.messages(), (std::vector<std::string> { "outer again" }));
    }
    NSLog("after");
    setNSLogSink(std::move(before));
    EXPECT_EQ(outerSeen, (std::vector<std::string> { "after" }));
}

// Stopping at due times on the way must not bend the wall clock: code that compares wall-clock
// ages against a limit ("older than ten minutes") sees exactly the time the test moved.
TEST(VirtualClock, MovesTheWallClockByExactlyTheAdvanceWhateverItStopsAt)
{
    ScopedVirtualClock clock;
    double start = Clock::wallTime();
    for (double due : { 0.1, 0.3, 7.123456789, 299.999, 599.7 })
        dispatch_after(dispatch_time(DISPATCH_TIME_NOW, static_cast<int64_t>(due * NSEC_PER_SEC)),
            dispatch_get_main_queue(), [] {});
    clock.advance(600);
    EXPECT_EQ(Clock::wallTime() - start, 600.0);
    clock.clock().setWallTime(start + 10);
    clock.advance(0.25);
    EXPECT_EQ(Clock::wallTime(), start + 10.25);
}

// Work that re-posts itself on every pass would keep a drain going forever; moving time
// without draining lets the test run the passes itself.
TEST(VirtualClock, MovesWithoutDrainingForSelfRepostingWork)
{
    ScopedVirtualClock clock;
    double start = Clock::mediaTime();
    int passes = 0;
    auto target = NSObject::init();
    std::function<void()> step = [&] {
        ++passes;
        if (Clock::mediaTime() - start < 0.05)
            performSelectorAfterDelay(target, "step", step, 0);
    };
    performSelectorAfterDelay(target, "step", step, 0);
    for (int i = 0; i < 10 && runOnePass(); ++i)
        clock.clock().moveWithoutDraining(0.02);
    EXPECT_EQ(passes, 4);
    EXPECT_NEAR(Clock::mediaTime() - start, 0.08, 1e-9);
    EXPECT_FALSE(runOnePass());
}

TEST(VirtualClock, StartsMediaTimeFromTheSameInstantWhateverTheMachinesUptime)
{
    // Runs on machines up for different times must round sums of intervals alike, so media
    // time starts on a fixed grid, never before the real clock.
    // The real clock counts from the process's start, not the machine's boot, so the grid point
    // is the same one everywhere: one binade, one rounding.
    double real = Clock::mediaTime();
    EXPECT_LT(real, VirtualClock::kMediaEpochStep);
    ScopedVirtualClock clock;
    double media = Clock::mediaTime();
    EXPECT_GE(media, real);
    EXPECT_EQ(media, VirtualClock::kMediaEpochStep);
}

TEST(FixedClock, UtcTimeCountsCalendarDatesFrom1970)
{
    EXPECT_EQ(utcTime(1970, 1, 1), 0);
    EXPECT_EQ(utcTime(2014, 1, 1), VirtualClock::defaultWallEpoch);
    EXPECT_EQ(utcTime(2016, 2, 29, 12, 30, 15), 1456749015);
    EXPECT_EQ(utcTime(2016, 3, 1) - utcTime(2016, 2, 28), 2 * 86400) << "a leap year";
}
