#include "foundation/AlternateSignalStack.h"

#include "foundation/Dispatch.h"
#include "foundation/NSThread.h"
#include "testing/Drain.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <thread>

TEST(AlternateSignalStack, EveryThreadThePlatformStartsHasOne)
{
    std::atomic<int> onWorker { -1 }, onThread { -1 };
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0),
        [&] { onWorker = AlternateSignalStack::isInstalledOnCurrentThread(); });
    NSThread::detachNewThreadWithBlock([&] { onThread = AlternateSignalStack::isInstalledOnCurrentThread(); });
    drainAll();
    EXPECT_EQ(onWorker.load(), 1);
    EXPECT_EQ(onThread.load(), 1);
}

TEST(AlternateSignalStack, KeepsAStackThatWasThereAndRemovesItsOwn)
{
    std::thread([] {
        EXPECT_FALSE(AlternateSignalStack::isInstalledOnCurrentThread());
        {
            AlternateSignalStack outer;
            EXPECT_TRUE(AlternateSignalStack::isInstalledOnCurrentThread());
            stack_t before {};
            sigaltstack(nullptr, &before);
            {
                AlternateSignalStack inner; // the thread already has one: nothing changes
            }
            stack_t after {};
            sigaltstack(nullptr, &after);
            EXPECT_EQ(after.ss_sp, before.ss_sp);
            EXPECT_TRUE(AlternateSignalStack::isInstalledOnCurrentThread());
        }
        EXPECT_FALSE(AlternateSignalStack::isInstalledOnCurrentThread());
    }).join();
}
