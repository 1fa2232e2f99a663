#include "foundation/Locked.h"
#include "foundation/ThreadChecks.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

TEST(Locked, ReadsWritesAndExchanges)
{
    Locked<std::string> field("first");
    EXPECT_EQ(field.get(), "first");
    field.set("second");
    EXPECT_EQ(field.exchange("third"), "second");
    EXPECT_EQ(field.get(), "third");
    EXPECT_EQ(field.with([](std::string& value) {
        value += "!";
        return value.size();
    }),
        6u);
    const auto& readOnly = field;
    EXPECT_EQ(readOnly.with([](const std::string& value) { return value; }), "third!");
}

TEST(Locked, ChangesFromManyThreadsAreNotLost)
{
    Locked<int> counter(0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&counter] {
            for (int i = 0; i < 10000; ++i)
                counter.with([](int& value) { ++value; });
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(counter.get(), 40000);
}

TEST(ThreadChecks, MainThreadPassesAndOtherThreadsAbort)
{
    ASSERT_TRUE(mainThreadChecksEnabled());
    assertIsMainThread();
    EXPECT_DEATH(
        {
            std::thread worker([] { assertIsMainThread(); });
            worker.join();
        },
        "must run on the main thread");
}
