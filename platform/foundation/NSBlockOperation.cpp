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
    m_blocks.with([&](std::vector<std::function<void()>>& blocks) { blocks.push_back(std::move(block)); });
}

std::vector<std::function<void()>> NSBlockOperation::executionBlocks() const
{
    return m_blocks.get();
}

void NSBlockOperation::main()
{
    // Taken out to run, so captures do not outlive the work.
    std::vector<std::function<void()>> blocks = m_blocks.exchange({});
    for (auto& block : blocks)
        block();
}

VX_REGISTER_CLASS(NSBlockOperation);
