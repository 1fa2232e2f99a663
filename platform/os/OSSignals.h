#pragma once

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

} // namespace vxos
