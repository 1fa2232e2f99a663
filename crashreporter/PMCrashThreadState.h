#pragma once

#include <cstdint>

// The saved register state of a thread, in one of three layouts: 32-bit ARM, ARM64 and
// x86_64. Every layout puts the program counter at index 0, the frame pointer at 1 and the
// stack pointer at 2. A plain record, copied by value; every function is signal-safe.

enum pmcrash_cpu_t : int32_t {
    PMCRASH_CPU_ARM = 12,
    PMCRASH_CPU_ARM64 = 0x0100000C,
    PMCRASH_CPU_X86_64 = 0x01000007,
};

// Thread-state flavors: ARM_THREAD_STATE32, ARM_THREAD_STATE64, x86_THREAD_STATE64.
enum : int32_t { PMCRASH_FLAVOR_ARM32 = 9, PMCRASH_FLAVOR_ARM64 = 6, PMCRASH_FLAVOR_X86_64 = 4 };

enum { PMCRASH_REG_IP = 0, PMCRASH_REG_FP = 1, PMCRASH_REG_SP = 2 };

constexpr int PMCRASH_MAX_REGISTERS = 34;

struct pmcrash_thread_state_t {
    int32_t stack_direction; // 1 up, 2 down
    int32_t gpreg_size; // bytes per general register
    uint64_t valid_regs; // bit i: register i holds a value
    int32_t flavor;
    int32_t state_count;
    uint64_t regs[PMCRASH_MAX_REGISTERS];
};

// PMCRASH_ENOTSUP for a CPU type without a layout.
int pmcrash_thread_state_init(pmcrash_thread_state_t* state, int32_t cpuType);
// From the general registers of a signal handler's ucontext (x86_64); every register valid.
void pmcrash_thread_state_from_ucontext(pmcrash_thread_state_t* state, const void* ucontext);
// From registers in the platform layer's x86_64 index order; every register valid.
void pmcrash_thread_state_from_x86_registers(pmcrash_thread_state_t* state, const uint64_t* registers);
// From an ARM machine context: 12 bytes of exception state, then r0-r12, sp, lr, pc, cpsr.
void pmcrash_thread_state_from_arm_mcontext(pmcrash_thread_state_t* state, const void* mcontext);

void pmcrash_thread_state_copy(pmcrash_thread_state_t* destination, const pmcrash_thread_state_t* source);
bool pmcrash_thread_state_has_reg(const pmcrash_thread_state_t* state, int index);
uint64_t pmcrash_thread_state_get_reg(const pmcrash_thread_state_t* state, int index);
void pmcrash_thread_state_set_reg(pmcrash_thread_state_t* state, int index, uint64_t value);
void pmcrash_thread_state_clear_reg(pmcrash_thread_state_t* state, int index);
void pmcrash_thread_state_clear_regs(pmcrash_thread_state_t* state);
void pmcrash_thread_state_clear_volatile(pmcrash_thread_state_t* state);
int pmcrash_thread_state_reg_count(const pmcrash_thread_state_t* state);
const char* pmcrash_thread_state_reg_name(const pmcrash_thread_state_t* state, int index);
bool pmcrash_thread_state_map_dwarf(const pmcrash_thread_state_t* state, uint64_t dwarf, int* index);
bool pmcrash_thread_state_map_reg(const pmcrash_thread_state_t* state, int index, uint64_t* dwarf);
int32_t pmcrash_thread_state_stack_direction(const pmcrash_thread_state_t* state);
int32_t pmcrash_thread_state_gpreg_size(const pmcrash_thread_state_t* state);
