#include "foundation/NSBlockOperation.h"

#include "foundation/NSException.h"

Ref<NSBlockOperation> NSBlockOperation::init()
{
    return make<NSBlockOperation>();
}

Ref<NSBlockOperation> NSBlockOperation::blockOperationWithBlock(std::function<void()> block)
{
    auto operation = init();
    operation->addExecutionBlock(std::move(block));
    return operation;
}

void NSBlockOperation::addExecutionBlock(std::function<void()> block)
{
    if (!block)
        return;
    if (isExecuting() || isFinished())
        NSException::raise(NSInvalidArgumentException,
            "*** -[NSBlockOperation addExecutionBlock:]: blocks cannot be added after the operation has started "
            "executing or finished");
    std::lock_guard guard(m_blocksLock);
    m_blocks.push_back(std::move(block));
}

std::vector<std::function<void()>> NSBlockOperation::executionBlocks() const
{
    std::lock_guard guard(m_blocksLock);
    return m_blocks;
}

void NSBlockOperation::main()
{
    std::vector<std::function<void()>> blocks;
    {
        std::lock_guard guard(m_blocksLock);
        blocks.swap(m_blocks); // released once run, so captures do not outlive the work
    }
    for (auto& block : blocks)
        block();
}

VX_REGISTER_CLASS(NSBlockOperation);
