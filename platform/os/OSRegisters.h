#pragma once

#include <cstdint>

// The x86_64 general registers in the index order the crash reporter uses everywhere: the
// program counter, the frame pointer and the stack pointer first, then the rest.
namespace vxos {

enum X86Register : int {
    kRip = 0,
    kRbp,
    kRsp,
    kRax,
    kRbx,
    kRcx,
    kRdx,
    kRdi,
    kRsi,
    kR8,
    kR9,
    kR10,
    kR11,
    kR12,
    kR13,
    kR14,
    kR15,
    kRflags,
    kX86RegisterCount
};

// Signal-safe. Copies the general registers of a signal handler's `ucontext_t` into `out`.
void registersFromUContext(const void* ucontext, uint64_t out[kX86RegisterCount]);

using CaptureCallback = int (*)(const uint64_t* registers, void* context);

} // namespace vxos

extern "C" {
// Signal-safe. Captures the caller's registers as they are at the instruction after the call
// (pc = return address, sp and frame pointer of the caller) and calls `callback` with them and
// `context` on the same thread; returns the callback's result. Written in assembly.
int vxos_capture_context(vxos::CaptureCallback callback, void* context);
}
