#include "crashreporter/HBRPMCrashSignalHandler.h"

#include "crashreporter/PMCrashReporterError.h"

#include <cerrno>
#include <cstring>
#include <mutex>

namespace {

constexpr size_t kAlternateStackSize = 65536;

struct HandlerContext {
    pmcrash_async_list<pmcrash_signal_callback_entry> callbacks;
    pmcrash_async_list<pmcrash_previous_action> previousActions;
};

// Lives for the whole process: the chain may run during exit.
HandlerContext& handlerContext()
{
    static auto* context = new HandlerContext;
    return *context;
}

std::mutex& installLock()
{
    static std::mutex lock;
    return lock;
}

} // namespace

void pmcrash_signal_entry(int signal, siginfo_t* info, void* ucontext)
{
    if (pmcrash_signal_dispatch(signal, info, ucontext, nullptr))
        return;
    // Nothing handled the signal. Leave a terminating action in place before raising it again,
    // so a chain that did not restore one cannot re-enter this handler forever.
    struct sigaction fallback;
    std::memset(&fallback, 0, sizeof(fallback));
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

bool pmcrash_signal_dispatch(int signal, siginfo_t* info, void* ucontext, void* node)
{
    auto& list = handlerContext().callbacks;
    using Node = pmcrash_async_list<pmcrash_signal_callback_entry>::node;
    list.setReading(true);
    Node* current = list.next(static_cast<Node*>(node));
    if (!current) {
        list.setReading(false);
        return false;
    }
    pmcrash_signal_next continuation { pmcrash_signal_dispatch, current };
    bool hasNext = list.next(current) != nullptr;
    bool handled
        = current->value.callback(signal, info, ucontext, current->value.context, hasNext ? &continuation : nullptr);
    list.setReading(false);
    return handled;
}

bool pmcrash_signal_forward(pmcrash_signal_next* next, int signal, siginfo_t* info, void* ucontext)
{
    if (!next)
        return false;
    return next->function(signal, info, ucontext, next->node);
}

bool pmcrash_signal_passthrough(int signal, siginfo_t* info, void* ucontext, void*, pmcrash_signal_next* next)
{
    if (pmcrash_signal_forward(next, signal, info, ucontext))
        return true;
    auto& list = handlerContext().previousActions;
    list.setReading(true);
    bool handled = false;
    for (auto* item = list.next(nullptr); item; item = list.next(item)) {
        if (item->value.signal != signal)
            continue;
        const struct sigaction& action = item->value.action;
        if (action.sa_flags & SA_SIGINFO) {
            action.sa_sigaction(signal, info, ucontext);
            handled = true;
        } else if (action.sa_handler == SIG_IGN) {
            handled = true;
        } else if (action.sa_handler == SIG_DFL) {
            handled = false;
        } else {
            action.sa_handler(signal);
            handled = true;
        }
        break;
    }
    list.setReading(false);
    return handled;
}

HBRPMCrashSignalHandler& HBRPMCrashSignalHandler::sharedHandler()
{
    static auto* handler = new HBRPMCrashSignalHandler;
    return *handler;
}

HBRPMCrashSignalHandler::HBRPMCrashSignalHandler()
    : m_stackMemory(new char[kAlternateStackSize])
{
    m_sigstk.ss_sp = m_stackMemory.get();
    m_sigstk.ss_size = kAlternateStackSize;
    m_sigstk.ss_flags = 0;
}

bool HBRPMCrashSignalHandler::registerHandlerWithSignal(int signal, Ref<NSError>* error)
{
    std::lock_guard lock(installLock());
    if (sigaltstack(&m_sigstk, nullptr) != 0) {
        pmcrash_populate_posix_error(error, errno, "Could not initialize alternative signal stack");
        return false;
    }
    auto& context = handlerContext();
    if (!context.callbacks.append({ pmcrash_signal_passthrough, nullptr })) {
        pmcrash_populate_posix_error(error, ENOMEM, "Failed to register signal handler");
        return false;
    }
    bool found = false;
    context.previousActions.setReading(true);
    for (auto* item = context.previousActions.next(nullptr); item; item = context.previousActions.next(item)) {
        if (item->value.signal == signal) {
            found = true;
            break;
        }
    }
    context.previousActions.setReading(false);
    if (!found) {
        struct sigaction action;
        std::memset(&action, 0, sizeof(action));
        action.sa_sigaction = pmcrash_signal_entry;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        pmcrash_previous_action previous {};
        previous.signal = signal;
        if (sigaction(signal, &action, &previous.action) != 0) {
            pmcrash_populate_posix_error(error, errno, "Failed to register signal handler");
            return false;
        }
        if ((previous.action.sa_flags & SA_SIGINFO) && previous.action.sa_sigaction == pmcrash_signal_entry) {
            // Our own handler left from before a reset is not a previous action: passing the
            // signal to it would re-enter this chain.
            previous.action.sa_handler = SIG_DFL;
            previous.action.sa_flags = 0;
        }
        if (!context.previousActions.append(previous)) {
            pmcrash_populate_posix_error(error, ENOMEM, "Failed to register signal handler");
            return false;
        }
    }
    return true;
}

bool HBRPMCrashSignalHandler::registerHandlerForSignal(
    int signal, pmcrash_signal_callback callback, void* context, Ref<NSError>* error)
{
    if (!registerHandlerWithSignal(signal, error))
        return false;
    if (!handlerContext().callbacks.prepend({ callback, context })) {
        pmcrash_populate_posix_error(error, ENOMEM, "Failed to register signal handler");
        return false;
    }
    return true;
}

void HBRPMCrashSignalHandler::resetHandlers()
{
    auto& context = handlerContext();
    while (auto* item = context.callbacks.next(nullptr))
        context.callbacks.remove(item);
    while (auto* item = context.previousActions.next(nullptr))
        context.previousActions.remove(item);
}

pmcrash_async_list<pmcrash_signal_callback_entry>& HBRPMCrashSignalHandler::callbackList()
{
    return handlerContext().callbacks;
}

pmcrash_async_list<pmcrash_previous_action>& HBRPMCrashSignalHandler::previousActionList()
{
    return handlerContext().previousActions;
}
