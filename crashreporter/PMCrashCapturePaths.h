#pragma once

#include "crashreporter/PMCrashMachException.h"

#include <cstdint>
#include <sys/types.h>

// The Mach crash path of the reporter: what the exception server thread does with an
// exception, once enabled. This platform delivers no Mach exceptions, so nothing calls it
// here except tests that inject one. Signal-safe.
//
// Forwards the exception to the previously registered ports (through `raiser`, which may be
// null: nothing to forward to); when one of them handles it, returns KERN_SUCCESS and writes
// nothing. Otherwise maps it to a signal (KERN_FAILURE without a log when it has none), writes
// the crash log with the exception's thread as the crashed one and the calling thread's
// registers captured here, calls the crash callback, and returns KERN_FAILURE so that the
// kernel goes on to its default handling.
int32_t pmcrash_mach_crash_callback(uint32_t task, pid_t thread, int32_t exception, const uint64_t* codes,
    uint32_t codeCount, const pmcrash_mach_exception_raiser_t* raiser);
