#pragma once

#include <cstddef>
#include <cstdint>

// The parts of Mach exception handling that do not need a Mach kernel: decoding an exception
// request with its bounds checked, building the reply, the fixed-size record of previously
// registered exception ports, the choice of the port an exception is forwarded to, and the
// mapping of an exception to the signal it stands for. This platform delivers no Mach
// exceptions, so the reporter's Mach mode fails to enable; these parts are kept so that the
// crash path can describe such exceptions like signals. All functions are signal-safe.

constexpr uint32_t PMCRASH_EXC_TYPES_COUNT = 13;
constexpr uint32_t PMCRASH_MACH_PORT_NULL = 0;
constexpr uint32_t PMCRASH_MACH_PORT_DEAD = 0xffffffffu;
constexpr int32_t PMCRASH_KERN_SUCCESS = 0;
constexpr int32_t PMCRASH_KERN_FAILURE = 5;

enum : int32_t {
    PMCRASH_EXC_BAD_ACCESS = 1,
    PMCRASH_EXC_BAD_INSTRUCTION = 2,
    PMCRASH_EXC_ARITHMETIC = 3,
    PMCRASH_EXC_EMULATION = 4,
    PMCRASH_EXC_SOFTWARE = 5,
    PMCRASH_EXC_BREAKPOINT = 6,
};

enum : int32_t {
    PMCRASH_EXCEPTION_DEFAULT = 1,
    PMCRASH_EXCEPTION_STATE = 2,
    PMCRASH_EXCEPTION_STATE_IDENTITY = 3,
};
constexpr uint32_t PMCRASH_MACH_EXCEPTION_CODES = 0x80000000u;

struct pmcrash_mach_exception_port_set_t {
    uint32_t count;
    uint32_t masks[PMCRASH_EXC_TYPES_COUNT];
    uint32_t ports[PMCRASH_EXC_TYPES_COUNT];
    int32_t behaviors[PMCRASH_EXC_TYPES_COUNT];
    int32_t flavors[PMCRASH_EXC_TYPES_COUNT];
};

// An exception request (exception_raise with 32-bit codes) as decoded.
struct pmcrash_mach_exception_request_t {
    uint32_t bits;
    uint32_t reply_port;
    int32_t id;
    uint32_t thread;
    uint32_t task;
    int32_t exception;
    uint32_t code_count; // bounded by the received size
    uint64_t codes[64]; // zero-extended
};

constexpr size_t PMCRASH_MACH_REQUEST_MIN_SIZE = 76; // header, ports, NDR, type, count, two codes
constexpr size_t PMCRASH_MACH_REPLY_SIZE = 36;

// False when the message is shorter than a request with two codes. The code count is clamped
// to the codes the message really holds (and to the record's capacity).
bool pmcrash_mach_exception_parse_request(const void* message, size_t size, pmcrash_mach_exception_request_t* request);
// Writes the 36-byte reply carrying `result`.
void pmcrash_mach_exception_build_reply(
    const pmcrash_mach_exception_request_t* request, int32_t result, uint8_t reply[PMCRASH_MACH_REPLY_SIZE]);

// The kernel calls that deliver a forwarded exception; provided by the platform (none here).
struct pmcrash_mach_exception_raiser_t {
    int32_t (*raise_default)(uint32_t port, uint32_t thread, uint32_t task, int32_t exception, const int32_t* codes,
        uint32_t count, void* context);
    int32_t (*get_state)(uint32_t thread, int32_t flavor, uint32_t* state, uint32_t* stateCount, void* context);
    int32_t (*raise_state)(uint32_t port, int32_t exception, const int32_t* codes, uint32_t count, int32_t flavor,
        const uint32_t* state, uint32_t stateCount, void* context);
    int32_t (*raise_state_identity)(uint32_t port, uint32_t thread, uint32_t task, int32_t exception,
        const int32_t* codes, uint32_t count, int32_t flavor, const uint32_t* state, uint32_t stateCount,
        void* context);
    void* context;
};

// Forwards to the first previous port registered for this exception type.
int32_t pmcrash_mach_exception_forward(uint32_t task, uint32_t thread, int32_t exception, const uint64_t* codes,
    uint32_t count, const pmcrash_mach_exception_port_set_t* ports, const pmcrash_mach_exception_raiser_t* raiser);

struct pmcrash_mach_siginfo_t {
    int32_t signo;
    int32_t code;
    uint64_t address;
};

// The signal an exception stands for; false for fewer than two codes or an unmapped type.
bool pmcrash_mach_exception_siginfo(
    int32_t exception, const uint64_t* codes, uint32_t count, int32_t cpuType, pmcrash_mach_siginfo_t* out);
