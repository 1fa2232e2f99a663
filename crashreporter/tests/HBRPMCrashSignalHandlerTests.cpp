#include "crashreporter/HBRPMCrashSignalHandler.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <vector>

namespace {

// What the chain called, recorded without allocating (it runs in a signal handler).
struct Calls {
    int values[8];
    int count = 0;
    void clear() { count = 0; }
    void push_back(int value)
    {
        if (count < 8)
            values[count++] = value;
    }
    std::vector<int> list() const { return std::vector<int>(values, values + count); }
};
Calls s_calls;
siginfo_t* s_seenInfo = nullptr;

void previousSigInfoHandler(int, siginfo_t* info, void*)
{
    s_calls.push_back(100);
    s_seenInfo = info;
}

bool forwardingCallback(int signal, siginfo_t* info, void* ucontext, void* context, pmcrash_signal_next* next)
{
    s_calls.push_back(static_cast<int>(reinterpret_cast<intptr_t>(context)));
    return pmcrash_signal_forward(next, signal, info, ucontext);
}

bool handlingCallback(int, siginfo_t*, void*, void* context, pmcrash_signal_next*)
{
    s_calls.push_back(static_cast<int>(reinterpret_cast<intptr_t>(context)));
    return true;
}

// Installs `action` for `signal` and restores what was there on destruction.
class ScopedAction {
public:
    ScopedAction(int signal, const struct sigaction& action)
        : m_signal(signal)
    {
        sigaction(signal, &action, &m_saved);
    }
    ~ScopedAction()
    {
        sigaction(m_signal, &m_saved, nullptr);
        HBRPMCrashSignalHandler::resetHandlers();
    }

private:
    int m_signal;
    struct sigaction m_saved;
};

struct sigaction makeAction(void (*handler)(int, siginfo_t*, void*), void (*plain)(int), int flags)
{
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    sigemptyset(&action.sa_mask);
    action.sa_flags = flags;
    if (flags & SA_SIGINFO)
        action.sa_sigaction = handler;
    else
        action.sa_handler = plain;
    return action;
}

TEST(HBRPMCrashSignalHandler, ChainRunsNewestFirstThenThePreviousAction)
{
    HBRPMCrashSignalHandler::resetHandlers();
    ScopedAction scoped(SIGUSR1, makeAction(previousSigInfoHandler, nullptr, SA_SIGINFO));
    auto& handler = HBRPMCrashSignalHandler::sharedHandler();
    Ref<NSError> error;
    ASSERT_TRUE(handler.registerHandlerForSignal(SIGUSR1, forwardingCallback, reinterpret_cast<void*>(1), &error));
    ASSERT_TRUE(handler.registerHandlerForSignal(SIGUSR1, forwardingCallback, reinterpret_cast<void*>(2), &error));
    s_calls.clear();
    raise(SIGUSR1);
    // Newest callback first, then the older one, then the previous SA_SIGINFO handler with the
    // same siginfo; the handler is installed once.
    EXPECT_EQ(s_calls.list(), (std::vector<int> { 2, 1, 100 }));
    ASSERT_NE(s_seenInfo, nullptr);
    int entries = 0;
    auto& previous = HBRPMCrashSignalHandler::previousActionList();
    for (auto* item = previous.next(nullptr); item; item = previous.next(item))
        entries += item->value.signal == SIGUSR1;
    EXPECT_EQ(entries, 1);

    // A callback that handles the signal stops the chain.
    ASSERT_TRUE(handler.registerHandlerForSignal(SIGUSR1, handlingCallback, reinterpret_cast<void*>(3), &error));
    s_calls.clear();
    raise(SIGUSR1);
    EXPECT_EQ(s_calls.list(), (std::vector<int> { 3 }));
}

TEST(HBRPMCrashSignalHandler, PassThroughTreatsIgnoreAsHandled)
{
    struct Case {
        const char* name;
        struct sigaction previous;
        bool handled;
    };
    const Case cases[] = {
        { "ignored", makeAction(nullptr, SIG_IGN, 0), true },
        { "default", makeAction(nullptr, SIG_DFL, 0), false },
        { "siginfo handler", makeAction(previousSigInfoHandler, nullptr, SA_SIGINFO), true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HBRPMCrashSignalHandler::resetHandlers();
        ScopedAction scoped(SIGUSR2, c.previous);
        Ref<NSError> error;
        ASSERT_TRUE(HBRPMCrashSignalHandler::sharedHandler().registerHandlerWithSignal(SIGUSR2, &error));
        siginfo_t info {};
        info.si_signo = SIGUSR2;
        EXPECT_EQ(pmcrash_signal_dispatch(SIGUSR2, &info, nullptr, nullptr), c.handled);
    }
}

TEST(HBRPMCrashSignalHandler, ResetEmptiesBothLists)
{
    HBRPMCrashSignalHandler::resetHandlers();
    ScopedAction scoped(SIGUSR1, makeAction(nullptr, SIG_IGN, 0));
    Ref<NSError> error;
    ASSERT_TRUE(
        HBRPMCrashSignalHandler::sharedHandler().registerHandlerForSignal(SIGUSR1, handlingCallback, nullptr, &error));
    HBRPMCrashSignalHandler::resetHandlers();
    EXPECT_EQ(HBRPMCrashSignalHandler::callbackList().next(nullptr), nullptr);
    EXPECT_EQ(HBRPMCrashSignalHandler::previousActionList().next(nullptr), nullptr);
    struct sigaction installed;
    sigaction(SIGUSR1, nullptr, &installed);
    EXPECT_EQ(installed.sa_sigaction, pmcrash_signal_entry); // the installed action stays
}

TEST(PMCrashAsyncList, RemovedNodesWaitOnTheFreeListWhileReadersWalk)
{
    pmcrash_async_list<int> list;
    list.append(1);
    list.append(2);
    list.prepend(0);
    std::vector<int> seen;
    for (auto* node = list.next(nullptr); node; node = list.next(node))
        seen.push_back(node->value);
    EXPECT_EQ(seen, (std::vector<int> { 0, 1, 2 }));

    list.setReading(true);
    auto* standing = list.next(list.next(nullptr)); // the reader stands on 1
    list.remove(standing);
    EXPECT_EQ(list.freeListHead(), standing); // kept, not freed
    EXPECT_EQ(list.next(standing)->value, 2); // and the reader can walk on
    list.setReading(false);

    list.append(3); // reuses the kept node
    EXPECT_EQ(list.freeListHead(), nullptr);
    seen.clear();
    for (auto* node = list.next(nullptr); node; node = list.next(node))
        seen.push_back(node->value);
    EXPECT_EQ(seen, (std::vector<int> { 0, 2, 3 }));

    list.remove(list.next(nullptr)); // no reader: freed at once
    EXPECT_EQ(list.freeListHead(), nullptr);
}

} // namespace
