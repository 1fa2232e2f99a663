#include "foundation/AlternateSignalStack.h"

#include <csignal>
#include <sys/mman.h>

AlternateSignalStack::AlternateSignalStack()
{
    if (isInstalledOnCurrentThread())
        return;
    void* memory = mmap(nullptr, kSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return;
    stack_t stack {};
    stack.ss_sp = memory;
    stack.ss_size = kSize;
    stack.ss_flags = 0;
    if (sigaltstack(&stack, nullptr) != 0) {
        munmap(memory, kSize);
        return;
    }
    m_memory = memory;
}

AlternateSignalStack::~AlternateSignalStack()
{
    if (!m_memory)
        return;
    // Only the stack made here is taken down; one set later by someone else stays.
    stack_t current {};
    if (sigaltstack(nullptr, &current) == 0 && current.ss_sp == m_memory && !(current.ss_flags & SS_ONSTACK)) {
        stack_t disable {};
        disable.ss_flags = SS_DISABLE;
        sigaltstack(&disable, nullptr);
        munmap(m_memory, kSize);
    }
}

bool AlternateSignalStack::isInstalledOnCurrentThread()
{
    stack_t current {};
    return sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE);
}
