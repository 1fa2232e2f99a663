#include "grid/LGridBlockQueue.h"

#include "foundation/ThreadChecks.h"
#include "grid/NSMutableArray+Queue.h"

Ref<LGridBlockQueue> LGridBlockQueue::init()
{
    return make<LGridBlockQueue>();
}

void LGridBlockQueue::addBlock(std::function<void()> block)
{
    assertIsMainThread();
    if (block)
        NSMutableArray_Queue::enqueue(m_queue, std::move(block));
}

void LGridBlockQueue::executeQueue()
{
    assertIsMainThread();
    // Keeps the queue alive when a block drops the last reference to its owner.
    auto protectedThis = self<LGridBlockQueue>();
    while (auto block = NSMutableArray_Queue::dequeue(m_queue))
        (*block)();
}
