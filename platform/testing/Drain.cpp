#include "testing/Drain.h"

#include "foundation/Dispatch.h"
#include "foundation/DispatchWork.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSRunLoop.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr double s_stallSeconds = 60;

[[noreturn]] void fatal(const std::string& message)
{
    std::fprintf(stderr, "drainAll: %s\n", message.c_str());
    std::fflush(stderr);
    std::abort();
}

} // namespace

void drainAll()
{
    if (static_cast<pid_t>(syscall(SYS_gettid)) != getpid())
        fatal("must be called on the main thread");
    auto loop = NSRunLoop::mainRunLoop();
    // The first pass also fires due repeating timers; later passes run only for pending work,
    // so a timer that is always due cannot keep the drain going.
    bool firstPass = true;
    for (;;) {
        uint64_t seen = DispatchWork::generation();
        DispatchTimers::fireDue();
        if (firstPass || loop->hasPendingWorkInMode(NSDefaultRunLoopMode)) {
            firstPass = false;
            loop->runPass(NSDefaultRunLoopMode);
            continue;
        }
        if (DispatchWork::isQuiet()) {
            // A worker may have posted to the main queue and finished between the check of the
            // main loop above and this one: look again before calling the process idle.
            if (DispatchWork::generation() == seen && !loop->hasPendingWorkInMode(NSDefaultRunLoopMode))
                return;
            continue;
        }
        if (!DispatchWork::waitForChange(seen, s_stallSeconds))
            fatal("no progress for " + std::to_string(int(s_stallSeconds)) + " s; work: " + DispatchWork::describe());
    }
}

bool runOnePass()
{
    return NSRunLoop::mainRunLoop()->runPass(NSDefaultRunLoopMode);
}

void resetForTesting()
{
    dispatch_once_reset_for_testing();
    NSNotificationCenter::resetForTesting();
    NSRunLoop::mainRunLoop()->resetForTesting();
}
