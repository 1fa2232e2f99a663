#include "foundation/NSProgress.h"

#include <gtest/gtest.h>
#include <thread>

TEST(NSProgress, CountsGiveTheFractionCompleted)
{
    struct Case {
        int64_t total, completed;
        double fraction;
        bool indeterminate, finished;
    };
    const Case cases[] = {
        { 0, 0, 0.0, true, false },
        { 100, 0, 0.0, false, false },
        { 100, 25, 0.25, false, false },
        { 100, 100, 1.0, false, true },
        { -1, 10, 0.0, true, false },
        { 4, -1, 0.0, true, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.completed) + "/" + std::to_string(c.total));
        auto progress = NSProgress::progressWithTotalUnitCount(c.total);
        progress->setCompletedUnitCount(c.completed);
        EXPECT_DOUBLE_EQ(progress->fractionCompleted(), c.fraction);
        EXPECT_EQ(progress->isIndeterminate(), c.indeterminate);
        EXPECT_EQ(progress->isFinished(), c.finished);
        EXPECT_DOUBLE_EQ(progress->valueForKey("fractionCompleted").doubleValue(), c.fraction);
    }
    auto progress = NSProgress::initWithParent(nullptr, Value());
    EXPECT_EQ(progress->totalUnitCount(), 0);
    EXPECT_EQ(progress->userInfo().count(), 0u);
    progress->setTotalUnitCount(8);
    progress->setCompletedUnitCount(2);
    EXPECT_EQ(progress->localizedDescription(), "25% completed");
}

TEST(NSProgress, HandlersRunOncePerStateChange)
{
    auto progress = NSProgress::progressWithTotalUnitCount(10);
    std::vector<std::string> calls;
    progress->setPausingHandler([&] { calls.push_back("pause"); });
    progress->setResumingHandler([&] { calls.push_back("resume"); });
    progress->setCancellationHandler([&] { calls.push_back("cancel"); });

    progress->resume(); // not paused: nothing
    progress->pause();
    progress->pause();
    EXPECT_TRUE(progress->isPaused());
    progress->resume();
    EXPECT_FALSE(progress->isPaused());
    progress->cancel();
    progress->cancel();
    progress->pause(); // a cancelled progress stays as it is
    EXPECT_TRUE(progress->isCancelled());
    EXPECT_EQ(calls, (std::vector<std::string> { "pause", "resume", "cancel" }));

    // A cancellation handler set after the cancel runs at once.
    bool late = false;
    progress->setCancellationHandler([&] { late = true; });
    EXPECT_TRUE(late);

    // A handler may drop the last outside reference to its progress.
    auto owned = NSProgress::progressWithTotalUnitCount(1);
    owned->setCancellationHandler([&owned] { owned = nullptr; });
    owned->cancel();
    EXPECT_FALSE(owned);
}

TEST(NSProgress, ConcurrentUpdatesAndCancelAreSafe)
{
    auto progress = NSProgress::progressWithTotalUnitCount(1000);
    int cancels = 0;
    progress->setCancellationHandler([&] { ++cancels; });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([progress, t] {
            for (int i = 0; i < 1000; ++i) {
                progress->setCompletedUnitCount(i);
                (void)progress->fractionCompleted();
                if (i == 500 + t)
                    progress->cancel();
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(progress->isCancelled());
}
