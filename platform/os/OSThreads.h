#pragma once

#include "os/OSRegisters.h"

#include <cstdint>
#include <sys/types.h>

// Threads of this process: listing, suspending the others and reading their registers.
//
// Suspension uses a reserved real-time signal. Its handler saves the interrupted registers in
// a slot and parks on a futex until the suspender resumes everyone. A thread that blocks the
// signal never arrives; the suspender gives up on it after a bounded wait and reports it as
// running, and the thread ignores the signal if it arrives later.
namespace vxos {

constexpr int kMaxThreads = 512;

// Signal-safe. The calling thread's kernel id.
pid_t currentThreadId();

// Signal-safe. Writes up to `capacity` thread ids of this process from /proc/self/task, in
// the kernel's order; returns how many, or -1 when the directory cannot be read.
int listThreads(pid_t* tids, int capacity);

// Not signal-safe: installs the suspension signal's handler. Idempotent; false on failure.
bool installThreadSuspension();

// The signal number reserved for suspension (valid after installThreadSuspension).
int suspensionSignal();

// Signal-safe. Suspends every thread of `tids` except the caller. At most one suspension may be
// active in the process; false when suspension is not installed or another one is active.
bool suspendThreads(const pid_t* tids, int count);

// Signal-safe. The registers of a thread suspended by the active suspension; false for a thread
// that did not stop (it blocks the signal or had exited) or was not listed.
bool suspendedThreadRegisters(pid_t tid, uint64_t registers[kX86RegisterCount]);

// Signal-safe. Lets every suspended thread run again and waits (bounded) until they left the
// handler, so a later suspension starts clean.
void resumeThreads();

} // namespace vxos
