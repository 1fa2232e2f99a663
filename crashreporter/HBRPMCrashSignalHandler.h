#pragma once

#include "crashreporter/PMCrashAsyncList.h"
#include "foundation/NSError.h"
#include "foundation/Ref.h"

#include <csignal>
#include <memory>

// Installs the crash reporter's handler for fatal signals and runs, when one arrives, a chain
// of callbacks: the callbacks registered with registerHandlerForSignal (most recent first),
// then one pass-through element per installation that hands the signal to the action that
// was installed before. Registration runs on ordinary threads under one process-wide mutex;
// the chain runs in the signal handler and only walks lock-free lists.

struct pmcrash_signal_next;

// A chain element: returns true when it handled the signal. `next` continues the chain (null
// at its end). Runs in a signal handler.
using pmcrash_signal_callback
    = bool (*)(int signal, siginfo_t* info, void* ucontext, void* context, pmcrash_signal_next* next);

struct pmcrash_signal_next {
    bool (*function)(int signal, siginfo_t* info, void* ucontext, void* node);
    void* node;
};

struct pmcrash_signal_callback_entry {
    pmcrash_signal_callback callback;
    void* context;
};

struct pmcrash_previous_action {
    int signal;
    struct sigaction action;
};

// Signal-safe chain functions.
void pmcrash_signal_entry(int signal, siginfo_t* info, void* ucontext);
bool pmcrash_signal_dispatch(int signal, siginfo_t* info, void* ucontext, void* node);
bool pmcrash_signal_forward(pmcrash_signal_next* next, int signal, siginfo_t* info, void* ucontext);
bool pmcrash_signal_passthrough(int signal, siginfo_t* info, void* ucontext, void* context, pmcrash_signal_next* next);

class HBRPMCrashSignalHandler {
public:
    // The process-wide instance; its alternate stack is allocated once.
    static HBRPMCrashSignalHandler& sharedHandler();

    // Installs the handler for `signal` once (later calls keep the first previous action) and
    // adds a pass-through element to the chain. False with an error of the reporter's domain.
    bool registerHandlerWithSignal(int signal, Ref<NSError>* error);
    // The same, then puts {callback, context} at the head of the chain.
    bool registerHandlerForSignal(int signal, pmcrash_signal_callback callback, void* context, Ref<NSError>* error);

    // Empties both lists; the installed signal actions stay.
    static void resetHandlers();

    // Test aids: the lists the chain walks.
    static pmcrash_async_list<pmcrash_signal_callback_entry>& callbackList();
    static pmcrash_async_list<pmcrash_previous_action>& previousActionList();

    HBRPMCrashSignalHandler();
    HBRPMCrashSignalHandler(const HBRPMCrashSignalHandler&) = delete;
    HBRPMCrashSignalHandler& operator=(const HBRPMCrashSignalHandler&) = delete;

private:
    stack_t m_sigstk {};
    std::unique_ptr<char[]> m_stackMemory;
};
