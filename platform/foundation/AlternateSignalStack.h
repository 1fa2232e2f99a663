#pragma once

#include <cstddef>

// Gives the calling thread an alternate signal stack of its own for as long as the object lives,
// so a handler installed with SA_ONSTACK (the crash reporter's) still runs after the thread has
// overflowed its own stack. A thread that already has one keeps it. Every thread the platform
// starts makes one at the top of its body; the object must end on the thread that made it.
class AlternateSignalStack {
public:
    AlternateSignalStack();
    ~AlternateSignalStack();
    AlternateSignalStack(const AlternateSignalStack&) = delete;
    AlternateSignalStack& operator=(const AlternateSignalStack&) = delete;

    // The size of each stack made here: room for the crash reporter's handler.
    static constexpr size_t kSize = 64 * 1024;

    // Whether the calling thread has an alternate signal stack now.
    static bool isInstalledOnCurrentThread();

private:
    void* m_memory { nullptr };
};
