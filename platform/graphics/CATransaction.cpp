#include "graphics/CATransaction.h"

#include "foundation/Clock.h"
#include "foundation/NSRunLoop.h"
#include "foundation/Value.h"
#include "graphics/CAAnimation.h"

#include <algorithm>
#include <vector>

namespace {

struct Transaction {
    double duration { 0.25 };
    bool disableActions { false };
    std::function<void()> completion;
    double lastAnimationEnd { 0 };
};

std::vector<Transaction>& stack()
{
    static std::vector<Transaction> s_stack;
    return s_stack;
}

const Transaction& current()
{
    static const Transaction s_defaults;
    return stack().empty() ? s_defaults : stack().back();
}

Transaction* open()
{
    return stack().empty() ? nullptr : &stack().back();
}

} // namespace

double CACurrentMediaTime()
{
    return Clock::mediaTime();
}

void CATransaction::begin()
{
    stack().push_back(Transaction {});
}

void CATransaction::commit()
{
    if (stack().empty())
        return;
    Transaction t = std::move(stack().back());
    stack().pop_back();
    // An enclosing transaction waits for the animations of the ones inside it.
    if (auto* outer = open())
        outer->lastAnimationEnd = std::max(outer->lastAnimationEnd, t.lastAnimationEnd);
    if (!t.completion)
        return;
    double delay = std::max(0.0, t.lastAnimationEnd - CACurrentMediaTime());
    NSRunLoop::mainRunLoop()->addDelayedPerform(
        nullptr, "CATransactionCompletion", std::move(t.completion), delay, { NSRunLoopCommonModes });
}

double CATransaction::animationDuration()
{
    return current().duration;
}

void CATransaction::setAnimationDuration(double duration)
{
    if (auto* t = open())
        t->duration = duration;
}

bool CATransaction::disableActions()
{
    return current().disableActions;
}

void CATransaction::setDisableActions(bool disable)
{
    if (auto* t = open())
        t->disableActions = disable;
}

void CATransaction::setCompletionBlock(std::function<void()> completion)
{
    if (auto* t = open())
        t->completion = std::move(completion);
}

std::function<void()> CATransaction::completionBlock()
{
    return current().completion;
}

Value CATransaction::valueForKey(const std::string& key)
{
    if (key == "animationDuration")
        return Value(animationDuration());
    if (key == "disableActions")
        return Value(disableActions());
    return {};
}

void CATransaction::setValueForKey(const Value& value, const std::string& key)
{
    if (key == "animationDuration")
        setAnimationDuration(value.doubleValue());
    else if (key == "disableActions")
        setDisableActions(value.boolValue());
}

void CATransaction::animationAdded(double endMediaTime)
{
    for (auto& t : stack())
        t.lastAnimationEnd = std::max(t.lastAnimationEnd, endMediaTime);
}
