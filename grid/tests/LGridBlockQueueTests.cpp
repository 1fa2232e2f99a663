#include "grid/LGridBlockQueue.h"

#include "grid/NSMutableArray+Queue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(LGridBlockQueue, RunsBlocksOnceInOrderIncludingThoseQueuedWhileRunning)
{
    auto queue = LGridBlockQueue::init();
    std::vector<std::string> ran;
    queue->addBlock([&] {
        ran.push_back("first");
        queue->addBlock([&] { ran.push_back("queued by first"); });
    });
    queue->addBlock(nullptr);
    queue->addBlock([&] { ran.push_back("second"); });
    EXPECT_EQ(queue->count(), 2u);
    queue->executeQueue();
    const std::vector<std::string> expected { "first", "second", "queued by first" };
    EXPECT_EQ(ran, expected);
    EXPECT_EQ(queue->count(), 0u);
    queue->executeQueue();
    EXPECT_EQ(ran.size(), 3u);
}

TEST(LGridBlockQueue, DiscardsBlocksThatNeverRan)
{
    auto kept = std::make_shared<int>(0);
    std::weak_ptr<int> watch = kept;
    {
        auto queue = LGridBlockQueue::init();
        queue->addBlock([kept] { ++*kept; });
        kept.reset();
        EXPECT_FALSE(watch.expired());
    }
    EXPECT_TRUE(watch.expired());
}

TEST(LGridBlockQueue, ListsDequeueOldestFirst)
{
    std::deque<int> list;
    EXPECT_FALSE(NSMutableArray_Queue::dequeue(list));
    NSMutableArray_Queue::enqueue(list, 1);
    NSMutableArray_Queue::enqueue(list, 2);
    EXPECT_EQ(NSMutableArray_Queue::dequeue(list), 1);
    EXPECT_EQ(NSMutableArray_Queue::dequeue(list), 2);
    EXPECT_TRUE(list.empty());
}
