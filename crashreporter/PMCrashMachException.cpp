#include "crashreporter/PMCrashMachException.h"

#include "crashreporter/PMCrashAsync.h"

namespace {

uint32_t word(const uint8_t* message, size_t offset)
{
    uint32_t v;
    pmcrash_memcpy(&v, message + offset, 4);
    return v;
}

// The NDR record of this byte order.
const uint8_t kNDR[8] = { 0, 0, 0, 0, 1, 0, 0, 0 };

} // namespace

bool pmcrash_mach_exception_parse_request(const void* message, size_t size, pmcrash_mach_exception_request_t* request)
{
    if (size < PMCRASH_MACH_REQUEST_MIN_SIZE)
        return false;
    const auto* m = static_cast<const uint8_t*>(message);
    request->bits = word(m, 0);
    request->reply_port = word(m, 12);
    request->id = static_cast<int32_t>(word(m, 20));
    request->thread = word(m, 28);
    request->task = word(m, 40);
    request->exception = static_cast<int32_t>(word(m, 60));
    uint32_t count = word(m, 64);
    // The count comes from the sender; never read past what arrived.
    uint64_t available = (size - 68) / 4;
    if (count > available)
        count = static_cast<uint32_t>(available);
    if (count > sizeof(request->codes) / sizeof(request->codes[0]))
        count = sizeof(request->codes) / sizeof(request->codes[0]);
    request->code_count = count;
    for (uint32_t i = 0; i < count; ++i)
        request->codes[i] = word(m, 68 + size_t(i) * 4);
    return true;
}

void pmcrash_mach_exception_build_reply(
    const pmcrash_mach_exception_request_t* request, int32_t result, uint8_t reply[PMCRASH_MACH_REPLY_SIZE])
{
    uint32_t header[6] = { request->bits & 0xff, static_cast<uint32_t>(PMCRASH_MACH_REPLY_SIZE), request->reply_port, 0,
        0, static_cast<uint32_t>(request->id + 100) };
    pmcrash_memcpy(reply, header, sizeof(header));
    pmcrash_memcpy(reply + 24, kNDR, sizeof(kNDR));
    pmcrash_memcpy(reply + 32, &result, 4);
}

int32_t pmcrash_mach_exception_forward(uint32_t task, uint32_t thread, int32_t exception, const uint64_t* codes,
    uint32_t count, const pmcrash_mach_exception_port_set_t* ports, const pmcrash_mach_exception_raiser_t* raiser)
{
    uint32_t mask = exception >= 0 && exception < 32 ? (1u << exception) : 0;
    uint32_t chosen = PMCRASH_EXC_TYPES_COUNT;
    uint32_t entries = ports->count < PMCRASH_EXC_TYPES_COUNT ? ports->count : PMCRASH_EXC_TYPES_COUNT;
    for (uint32_t i = 0; i < entries; ++i) {
        if (ports->ports[i] == PMCRASH_MACH_PORT_NULL || ports->ports[i] == PMCRASH_MACH_PORT_DEAD)
            continue;
        if (ports->masks[i] & mask) {
            chosen = i;
            break;
        }
    }
    if (chosen == PMCRASH_EXC_TYPES_COUNT || !raiser)
        return PMCRASH_KERN_FAILURE;
    int32_t narrow[64];
    uint32_t narrowCount = count < 64 ? count : 64;
    for (uint32_t i = 0; i < narrowCount; ++i)
        narrow[i] = static_cast<int32_t>(static_cast<uint32_t>(codes[i]));
    uint32_t behavior = static_cast<uint32_t>(ports->behaviors[chosen]);
    if (behavior & PMCRASH_MACH_EXCEPTION_CODES)
        return PMCRASH_KERN_FAILURE; // 64-bit codes are not forwarded
    uint32_t port = ports->ports[chosen];
    int32_t flavor = ports->flavors[chosen];
    if (static_cast<int32_t>(behavior) == PMCRASH_EXCEPTION_DEFAULT)
        return raiser->raise_default(port, thread, task, exception, narrow, narrowCount, raiser->context);
    uint32_t state[144];
    uint32_t stateCount = 144;
    int32_t result = raiser->get_state(thread, flavor, state, &stateCount, raiser->context);
    if (result != PMCRASH_KERN_SUCCESS)
        return result;
    switch (static_cast<int32_t>(behavior)) {
    case PMCRASH_EXCEPTION_STATE:
        return raiser->raise_state(port, exception, narrow, narrowCount, flavor, state, stateCount, raiser->context);
    case PMCRASH_EXCEPTION_STATE_IDENTITY:
        return raiser->raise_state_identity(
            port, thread, task, exception, narrow, narrowCount, flavor, state, stateCount, raiser->context);
    default:
        return PMCRASH_KERN_FAILURE;
    }
}

bool pmcrash_mach_exception_siginfo(
    int32_t exception, const uint64_t* codes, uint32_t count, int32_t, pmcrash_mach_siginfo_t* out)
{
    if (count < 2)
        return false;
    out->address = static_cast<uint32_t>(codes[1]);
    out->code = 0;
    switch (exception) {
    case PMCRASH_EXC_BAD_ACCESS:
        if (codes[0] == 1) {
            out->signo = 11; // SIGSEGV, SEGV_MAPERR
            out->code = 1;
        } else {
            out->signo = 10; // SIGBUS, BUS_ADRERR
            out->code = 2;
        }
        return true;
    case PMCRASH_EXC_BAD_INSTRUCTION:
        out->signo = 4;
        return true; // SIGILL
    case PMCRASH_EXC_ARITHMETIC:
        out->signo = 8;
        return true; // SIGFPE
    case PMCRASH_EXC_EMULATION:
        out->signo = 7;
        return true; // SIGEMT
    case PMCRASH_EXC_SOFTWARE:
        switch (codes[0]) {
        case 0x10000:
            out->signo = 12;
            break; // SIGSYS
        case 0x10001:
            out->signo = 13;
            break; // SIGPIPE
        case 0x10002:
            out->signo = 6;
            break; // SIGABRT
        case 0x10003:
            out->signo = 9;
            break; // SIGKILL
        default:
            out->signo = 6;
            break;
        }
        return true;
    case PMCRASH_EXC_BREAKPOINT:
        out->signo = 5; // SIGTRAP, TRAP_BRKPT
        out->code = 1;
        return true;
    default:
        return false;
    }
}
