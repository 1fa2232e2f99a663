#include "os/OSThreads.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

namespace vxos {

namespace {

// Slot states: free, waiting for the thread, parked (registers saved), abandoned by the
// suspender after its wait ran out.
enum SlotState : int { kSlotWaiting = 0, kSlotParked = 1, kSlotAbandoned = 2 };

struct Slot {
    std::atomic<int> tid { 0 };
    std::atomic<int> state { kSlotWaiting };
    uint64_t registers[kX86RegisterCount] {};
};

Slot s_slots[kMaxThreads];
std::atomic<int> s_slotCount { 0 };
std::atomic<int> s_release { 1 };
std::atomic<int> s_parked { 0 };
std::atomic<int> s_active { 0 };
std::atomic<int> s_signal { 0 };

// How long a suspender waits for one thread to reach its handler.
constexpr long kSuspendWaitNanoseconds = 200L * 1000 * 1000;

long futexWait(std::atomic<int>* word, int expected, const struct timespec* timeout)
{
    return syscall(SYS_futex, reinterpret_cast<int*>(word), FUTEX_WAIT, expected, timeout, nullptr, 0);
}

void futexWake(std::atomic<int>* word)
{
    syscall(SYS_futex, reinterpret_cast<int*>(word), FUTEX_WAKE, INT_MAX, nullptr, nullptr, 0);
}

int64_t monotonicNanoseconds()
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void suspensionHandler(int, siginfo_t*, void* ucontext)
{
    int savedErrno = errno;
    pid_t self = currentThreadId();
    int count = s_slotCount.load(std::memory_order_acquire);
    for (int i = 0; i < count; ++i) {
        Slot& slot = s_slots[i];
        if (slot.tid.load(std::memory_order_acquire) != self)
            continue;
        registersFromUContext(ucontext, slot.registers);
        int expected = kSlotWaiting;
        if (!slot.state.compare_exchange_strong(expected, kSlotParked))
            break; // the suspender gave up on us; keep running
        s_parked.fetch_add(1);
        futexWake(&slot.state);
        while (s_release.load(std::memory_order_acquire) == 0)
            futexWait(&s_release, 0, nullptr);
        if (s_parked.fetch_sub(1) == 1)
            futexWake(&s_parked);
        break;
    }
    errno = savedErrno;
}

} // namespace

pid_t currentThreadId()
{
    return static_cast<pid_t>(syscall(SYS_gettid));
}

int listThreads(pid_t* tids, int capacity)
{
    int fd = static_cast<int>(syscall(SYS_open, "/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd < 0)
        return -1;
    alignas(8) char buffer[4096];
    int count = 0;
    for (;;) {
        long got = syscall(SYS_getdents64, fd, buffer, sizeof(buffer));
        if (got < 0) {
            count = count > 0 ? count : -1;
            break;
        }
        if (got == 0)
            break;
        for (long offset = 0; offset < got;) {
            // struct linux_dirent64: d_ino (8), d_off (8), d_reclen (2), d_type (1), d_name.
            unsigned short recordLength;
            std::memcpy(&recordLength, buffer + offset + 16, sizeof(recordLength));
            if (recordLength == 0)
                break;
            const char* name = buffer + offset + 19;
            if (name[0] >= '0' && name[0] <= '9' && count < capacity) {
                pid_t tid = 0;
                for (const char* c = name; *c >= '0' && *c <= '9'; ++c)
                    tid = tid * 10 + (*c - '0');
                tids[count++] = tid;
            }
            offset += recordLength;
        }
    }
    syscall(SYS_close, fd);
    return count;
}

bool installThreadSuspension()
{
    if (s_signal.load() != 0)
        return true;
    int signal = SIGRTMAX - 3;
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_sigaction = suspensionHandler;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigfillset(&action.sa_mask);
    if (sigaction(signal, &action, nullptr) != 0)
        return false;
    s_signal.store(signal);
    return true;
}

int suspensionSignal()
{
    return s_signal.load();
}

bool suspendThreads(const pid_t* tids, int count)
{
    int signal = s_signal.load();
    if (signal == 0)
        return false;
    int idle = 0;
    if (!s_active.compare_exchange_strong(idle, 1))
        return false;
    pid_t self = currentThreadId();
    pid_t pid = static_cast<pid_t>(syscall(SYS_getpid));
    s_release.store(0, std::memory_order_release);
    int slots = 0;
    for (int i = 0; i < count && slots < kMaxThreads; ++i) {
        if (tids[i] == self)
            continue;
        s_slots[slots].state.store(kSlotWaiting);
        s_slots[slots].tid.store(tids[i], std::memory_order_release);
        ++slots;
    }
    s_slotCount.store(slots, std::memory_order_release);
    for (int i = 0; i < slots; ++i) {
        if (syscall(SYS_tgkill, pid, s_slots[i].tid.load(), signal) != 0)
            s_slots[i].state.store(kSlotAbandoned);
    }
    int64_t deadline = monotonicNanoseconds() + kSuspendWaitNanoseconds;
    for (int i = 0; i < slots; ++i) {
        Slot& slot = s_slots[i];
        for (;;) {
            int state = slot.state.load(std::memory_order_acquire);
            if (state != kSlotWaiting)
                break;
            int64_t left = deadline - monotonicNanoseconds();
            if (left <= 0) {
                int expected = kSlotWaiting;
                slot.state.compare_exchange_strong(expected, kSlotAbandoned);
                break;
            }
            struct timespec timeout {
                static_cast<time_t>(left / 1000000000), static_cast<long>(left % 1000000000)
            };
            futexWait(&slot.state, kSlotWaiting, &timeout);
        }
    }
    return true;
}

bool suspendedThreadRegisters(pid_t tid, uint64_t registers[kX86RegisterCount])
{
    if (s_active.load() == 0)
        return false;
    int count = s_slotCount.load(std::memory_order_acquire);
    for (int i = 0; i < count; ++i) {
        Slot& slot = s_slots[i];
        if (slot.tid.load() != tid)
            continue;
        if (slot.state.load(std::memory_order_acquire) != kSlotParked)
            return false;
        std::memcpy(registers, slot.registers, sizeof(slot.registers));
        return true;
    }
    return false;
}

void resumeThreads()
{
    if (s_active.load() == 0)
        return;
    s_release.store(1, std::memory_order_release);
    futexWake(&s_release);
    int64_t deadline = monotonicNanoseconds() + kSuspendWaitNanoseconds;
    for (;;) {
        int parked = s_parked.load();
        if (parked == 0)
            break;
        int64_t left = deadline - monotonicNanoseconds();
        if (left <= 0)
            break;
        struct timespec timeout {
            static_cast<time_t>(left / 1000000000), static_cast<long>(left % 1000000000)
        };
        futexWait(&s_parked, parked, &timeout);
    }
    s_slotCount.store(0, std::memory_order_release);
    for (auto& slot : s_slots)
        slot.tid.store(0);
    s_active.store(0);
}

} // namespace vxos
