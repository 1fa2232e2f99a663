#pragma once

#include "foundation/Locked.h"
#include "foundation/NSOperation.h"

#include <functional>
#include <vector>

// An operation that runs one or more blocks, in the order they were added, and finishes when
// all have returned. Blocks can be added until the operation starts. Any thread.
class NSBlockOperation : public NSOperation {
    VX_OBJECT(NSBlockOperation, NSOperation)

public:
    explicit NSBlockOperation(Passkey key)
        : NSOperation(key)
    {
    }
    static Ref<NSBlockOperation> init();
    static Ref<NSBlockOperation> blockOperationWithBlock(std::function<void()> block);

    // Adding a block once the operation is executing or finished raises
    // "NSInvalidArgumentException".
    void addExecutionBlock(std::function<void()> block);
    std::vector<std::function<void()>> executionBlocks() const;

    void main() override;

private:
    Locked<std::vector<std::function<void()>>> m_blocks;
};
