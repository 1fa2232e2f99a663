#include "os/OSRegisters.h"

#if !defined(__x86_64__) || !defined(__linux__)
#error "platform/os reads x86_64 Linux register state only"
#endif

#include <ucontext.h>

namespace vxos {

void registersFromUContext(const void* ucontext, uint64_t out[kX86RegisterCount])
{
    const auto* uc = static_cast<const ucontext_t*>(ucontext);
    const greg_t* g = uc->uc_mcontext.gregs;
    out[kRip] = static_cast<uint64_t>(g[REG_RIP]);
    out[kRbp] = static_cast<uint64_t>(g[REG_RBP]);
    out[kRsp] = static_cast<uint64_t>(g[REG_RSP]);
    out[kRax] = static_cast<uint64_t>(g[REG_RAX]);
    out[kRbx] = static_cast<uint64_t>(g[REG_RBX]);
    out[kRcx] = static_cast<uint64_t>(g[REG_RCX]);
    out[kRdx] = static_cast<uint64_t>(g[REG_RDX]);
    out[kRdi] = static_cast<uint64_t>(g[REG_RDI]);
    out[kRsi] = static_cast<uint64_t>(g[REG_RSI]);
    out[kR8] = static_cast<uint64_t>(g[REG_R8]);
    out[kR9] = static_cast<uint64_t>(g[REG_R9]);
    out[kR10] = static_cast<uint64_t>(g[REG_R10]);
    out[kR11] = static_cast<uint64_t>(g[REG_R11]);
    out[kR12] = static_cast<uint64_t>(g[REG_R12]);
    out[kR13] = static_cast<uint64_t>(g[REG_R13]);
    out[kR14] = static_cast<uint64_t>(g[REG_R14]);
    out[kR15] = static_cast<uint64_t>(g[REG_R15]);
    out[kRflags] = static_cast<uint64_t>(g[REG_EFL]);
}

} // namespace vxos
