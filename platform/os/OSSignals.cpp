#include "os/OSSignals.h"

#include <csignal>

namespace vxos {

int platformSignalNumber(int signal)
{
    switch (signal) {
    case SIGBUS:
        return 10;
    case SIGUSR1:
        return 30;
    case SIGUSR2:
        return 31;
    case SIGSYS:
        return 12;
    case SIGURG:
        return 16;
    case SIGSTOP:
        return 17;
    case SIGTSTP:
        return 18;
    case SIGCONT:
        return 19;
    case SIGCHLD:
        return 20;
    case SIGIO:
        return 23;
    default:
        return signal;
    }
}

int platformSignalCode(int platformSignal, int code)
{
    if (code <= 0)
        return 0;
    switch (platformSignal) {
    case 4: { // SIGILL: ILLOPC, ILLOPN, ILLADR, ILLTRP, PRVOPC, PRVREG, COPROC, BADSTK
        static const int kIll[] = { 0, 1, 4, 5, 2, 3, 6, 7, 8 };
        return code <= 8 ? kIll[code] : code;
    }
    case 8: { // SIGFPE: INTDIV, INTOVF, FLTDIV, FLTOVF, FLTUND, FLTRES, FLTINV, FLTSUB
        static const int kFpe[] = { 0, 7, 8, 1, 2, 3, 4, 5, 6 };
        return code <= 8 ? kFpe[code] : code;
    }
    case 5: // SIGTRAP: an int3 breakpoint arrives as a kernel-sent signal
        return code == SI_KERNEL ? 1 : code;
    default:
        return code;
    }
}

uint64_t signalFaultAddress(const siginfo_t& info)
{
    if (info.si_code <= 0)
        return 0;
    return reinterpret_cast<uint64_t>(info.si_addr);
}

} // namespace vxos
