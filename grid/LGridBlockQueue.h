#pragma once

#include "foundation/NSObject.h"
#include "grid/GridForward.h"

#include <deque>
#include <functional>

// Work a client asked of a grid before the grid could do it, run at the end of the grid's next
// reload, oldest first, each block once. Blocks that never ran are discarded with the queue.
// Main thread only.
class LGridBlockQueue : public NSObject {
    VX_OBJECT(LGridBlockQueue, NSObject)
public:
    explicit LGridBlockQueue(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LGridBlockQueue> init();

    // A null block is ignored.
    void addBlock(std::function<void()> block);
    // Runs blocks until the queue is empty; a block queued by a running block runs in the same
    // call, after the blocks queued before it.
    void executeQueue();
    size_t count() const { return m_queue.size(); }

private:
    std::deque<std::function<void()>> m_queue;
};
