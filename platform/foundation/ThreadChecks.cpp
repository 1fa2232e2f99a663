#include "foundation/ThreadChecks.h"

#include "foundation/NSThread.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {
#ifdef NDEBUG
std::atomic<bool> s_enabled { false };
#else
std::atomic<bool> s_enabled { true };
#endif
} // namespace

bool mainThreadChecksEnabled()
{
    return s_enabled.load(std::memory_order_relaxed);
}

void setMainThreadChecksEnabled(bool enabled)
{
    s_enabled.store(enabled, std::memory_order_relaxed);
}

bool isOnMainThread()
{
    return NSThread::isMainThread();
}

void reportNotOnMainThread(const char* file, unsigned line, const char* function)
{
    std::fprintf(stderr, "%s:%u: %s must run on the main thread\n", file, line, function);
    std::abort();
}
