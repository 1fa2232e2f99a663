#pragma once

#include <csignal>
#include <cstdint>

// The crash log describes signals in the device platform's numbering. These map this
// kernel's signal numbers and codes onto it. Signal-safe.
namespace vxos {

// The platform's number for a signal of this kernel (unchanged when both agree; the kernel's
// own number when the platform has no such signal).
int platformSignalNumber(int signal);

// The platform's code for a signal code of this kernel; `platformSignal` is the platform's
// number. Codes of signals sent by a process (zero or negative) become 0; a breakpoint trap
// reported by the kernel becomes TRAP_BRKPT.
int platformSignalCode(int platformSignal, int code);

// The address a crash log records for a signal: the faulting address the kernel reports, or 0
// for a signal sent by a process (kill, tgkill, sigqueue, abort: a code of zero or less), whose
// information holds the sender's process id where the address would be.
uint64_t signalFaultAddress(const siginfo_t& info);

} // namespace vxos
