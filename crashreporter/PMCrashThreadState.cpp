#include "crashreporter/PMCrashThreadState.h"

#include "crashreporter/PMCrashAsync.h"
#include "os/OSRegisters.h"

#include <cstdlib>
#include <unistd.h>

namespace {

struct Layout {
    int count;
    const char* const* names;
    // DWARF number of each index, -1 when none.
    const int* dwarf;
    // Callee-preserved indexes.
    const int* preserved;
    int preservedCount;
    // Registers are this many bytes wide.
    int width;
};

const char* const kArmNames[]
    = { "pc", "r7", "sp", "r0", "r1", "r2", "r3", "r4", "r5", "r6", "r8", "r9", "r10", "r11", "r12", "lr", "cpsr" };
const int kArmDwarf[] = { 15, 7, 13, 0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 14, -1 };
const int kArmPreserved[] = { 7, 8, 9, 1, 10, 12, 13 };

const char* const kArm64Names[] = { "pc", "fp", "sp", "x0", "x1", "x2", "x3", "x4", "x5", "x6", "x7", "x8", "x9", "x10",
    "x11", "x12", "x13", "x14", "x15", "x16", "x17", "x18", "x19", "x20", "x21", "x22", "x23", "x24", "x25", "x26",
    "x27", "x28", "lr", "cpsr" };
const int kArm64Dwarf[] = { -1, 29, 31, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
    22, 23, 24, 25, 26, 27, 28, 30, -1 };
const int kArm64Preserved[] = { 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 1 };

const char* const kX86Names[] = { "rip", "rbp", "rsp", "rax", "rbx", "rcx", "rdx", "rdi", "rsi", "r8", "r9", "r10",
    "r11", "r12", "r13", "r14", "r15", "rflags" };
const int kX86Dwarf[] = { 16, 6, 7, 0, 3, 2, 1, 5, 4, 8, 9, 10, 11, 12, 13, 14, 15, -1 };
const int kX86Preserved[] = { 4, 1, 13, 14, 15, 16 };

const Layout kArm { 17, kArmNames, kArmDwarf, kArmPreserved, 7, 4 };
const Layout kArm64 { 34, kArm64Names, kArm64Dwarf, kArm64Preserved, 11, 8 };
const Layout kX86 { 18, kX86Names, kX86Dwarf, kX86Preserved, 6, 8 };

const Layout& layoutOf(const pmcrash_thread_state_t* state)
{
    switch (state->flavor) {
    case PMCRASH_FLAVOR_ARM32:
        return kArm;
    case PMCRASH_FLAVOR_X86_64:
        return kX86;
    default:
        return kArm64;
    }
}

void checkIndex(const pmcrash_thread_state_t* state, int index)
{
    if (index < 0 || index >= layoutOf(state).count) {
        static const char message[] = "pmcrash: register index out of range\n";
        ssize_t ignored = write(STDERR_FILENO, message, sizeof(message) - 1);
        (void)ignored;
        abort();
    }
}

} // namespace

int pmcrash_thread_state_init(pmcrash_thread_state_t* state, int32_t cpuType)
{
    pmcrash_memset(state, 0, sizeof(*state));
    state->stack_direction = 2;
    switch (cpuType) {
    case PMCRASH_CPU_ARM:
        state->flavor = PMCRASH_FLAVOR_ARM32;
        state->state_count = 17;
        state->gpreg_size = 4;
        return PMCRASH_ESUCCESS;
    case PMCRASH_CPU_ARM64:
        state->flavor = PMCRASH_FLAVOR_ARM64;
        state->state_count = 68;
        state->gpreg_size = 8;
        return PMCRASH_ESUCCESS;
    case PMCRASH_CPU_X86_64:
        state->flavor = PMCRASH_FLAVOR_X86_64;
        state->state_count = 42;
        state->gpreg_size = 8;
        return PMCRASH_ESUCCESS;
    default:
        return PMCRASH_ENOTSUP;
    }
}

void pmcrash_thread_state_from_x86_registers(pmcrash_thread_state_t* state, const uint64_t* registers)
{
    pmcrash_thread_state_init(state, PMCRASH_CPU_X86_64);
    for (int i = 0; i < kX86.count; ++i)
        state->regs[i] = registers[i];
    state->valid_regs = (uint64_t(1) << kX86.count) - 1;
}

void pmcrash_thread_state_from_ucontext(pmcrash_thread_state_t* state, const void* ucontext)
{
    uint64_t registers[vxos::kX86RegisterCount];
    vxos::registersFromUContext(ucontext, registers);
    pmcrash_thread_state_from_x86_registers(state, registers);
}

void pmcrash_thread_state_from_arm_mcontext(pmcrash_thread_state_t* state, const void* mcontext)
{
    pmcrash_thread_state_init(state, PMCRASH_CPU_ARM);
    uint32_t words[17];
    pmcrash_memcpy(words, static_cast<const char*>(mcontext) + 12, sizeof(words));
    // The machine context holds r0-r12, sp, lr, pc, cpsr; our indexes put pc, r7, sp first.
    static const int kIndexOfWord[17] = { 3, 4, 5, 6, 7, 8, 9, 1, 10, 11, 12, 13, 14, 2, 15, 0, 16 };
    for (int i = 0; i < 17; ++i)
        state->regs[kIndexOfWord[i]] = words[i];
    state->valid_regs = (uint64_t(1) << 17) - 1;
}

void pmcrash_thread_state_copy(pmcrash_thread_state_t* destination, const pmcrash_thread_state_t* source)
{
    pmcrash_memcpy(destination, source, sizeof(*destination));
}

bool pmcrash_thread_state_has_reg(const pmcrash_thread_state_t* state, int index)
{
    checkIndex(state, index);
    return (state->valid_regs >> index) & 1;
}

uint64_t pmcrash_thread_state_get_reg(const pmcrash_thread_state_t* state, int index)
{
    checkIndex(state, index);
    return state->regs[index];
}

void pmcrash_thread_state_set_reg(pmcrash_thread_state_t* state, int index, uint64_t value)
{
    checkIndex(state, index);
    state->regs[index] = layoutOf(state).width == 4 ? (value & 0xffffffffu) : value;
    state->valid_regs |= uint64_t(1) << index;
}

void pmcrash_thread_state_clear_reg(pmcrash_thread_state_t* state, int index)
{
    checkIndex(state, index);
    state->valid_regs &= ~(uint64_t(1) << index);
}

void pmcrash_thread_state_clear_regs(pmcrash_thread_state_t* state)
{
    state->valid_regs = 0;
}

void pmcrash_thread_state_clear_volatile(pmcrash_thread_state_t* state)
{
    const Layout& layout = layoutOf(state);
    uint64_t keep = 0;
    for (int i = 0; i < layout.preservedCount; ++i)
        keep |= uint64_t(1) << layout.preserved[i];
    state->valid_regs &= keep;
}

int pmcrash_thread_state_reg_count(const pmcrash_thread_state_t* state)
{
    return layoutOf(state).count;
}

const char* pmcrash_thread_state_reg_name(const pmcrash_thread_state_t* state, int index)
{
    checkIndex(state, index);
    return layoutOf(state).names[index];
}

bool pmcrash_thread_state_map_dwarf(const pmcrash_thread_state_t* state, uint64_t dwarf, int* index)
{
    const Layout& layout = layoutOf(state);
    for (int i = 0; i < layout.count; ++i) {
        if (layout.dwarf[i] >= 0 && uint64_t(layout.dwarf[i]) == dwarf) {
            *index = i;
            return true;
        }
    }
    return false;
}

bool pmcrash_thread_state_map_reg(const pmcrash_thread_state_t* state, int index, uint64_t* dwarf)
{
    checkIndex(state, index);
    int number = layoutOf(state).dwarf[index];
    if (number < 0)
        return false;
    *dwarf = static_cast<uint64_t>(number);
    return true;
}

int32_t pmcrash_thread_state_stack_direction(const pmcrash_thread_state_t* state)
{
    return state->stack_direction;
}
int32_t pmcrash_thread_state_gpreg_size(const pmcrash_thread_state_t* state)
{
    return state->gpreg_size;
}
