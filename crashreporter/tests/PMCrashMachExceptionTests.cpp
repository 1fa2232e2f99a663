#include "crashreporter/HBRPMCrashMachExceptionPortSet.h"
#include "crashreporter/PMCrashMachException.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(PMCrashMachException, MapsExceptionsToSignals)
{
    struct Case {
        int32_t exception;
        uint64_t code0;
        bool mapped;
        int32_t signo;
        int32_t code;
    };
    const Case cases[] = {
        { 1, 1, true, 11, 1 },
        { 1, 2, true, 10, 2 },
        { 2, 0, true, 4, 0 },
        { 3, 0, true, 8, 0 },
        { 4, 0, true, 7, 0 },
        { 5, 0x10000, true, 12, 0 },
        { 5, 0x10001, true, 13, 0 },
        { 5, 0x10002, true, 6, 0 },
        { 5, 0x10003, true, 9, 0 },
        { 5, 0x1'0001'0002, true, 6, 0 }, // compared as a full 64-bit value
        { 6, 0, true, 5, 1 },
        { 12, 0, false, 0, 0 },
        { 0, 0, false, 0, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exception);
        uint64_t codes[2] = { c.code0, 0x1'dead'beefull };
        pmcrash_mach_siginfo_t info {};
        ASSERT_EQ(pmcrash_mach_exception_siginfo(c.exception, codes, 2, -1, &info), c.mapped);
        if (!c.mapped)
            continue;
        EXPECT_EQ(info.signo, c.signo);
        EXPECT_EQ(info.code, c.code);
        EXPECT_EQ(info.address, 0xdeadbeefu); // the low 32 bits of the second code
    }
    uint64_t one[1] = { 1 };
    pmcrash_mach_siginfo_t info;
    EXPECT_FALSE(pmcrash_mach_exception_siginfo(1, one, 1, -1, &info));
}

std::vector<uint8_t> request(uint32_t codeCount, size_t size)
{
    std::vector<uint8_t> message(size, 0);
    auto put = [&](size_t at, uint32_t v) {
        if (at + 4 <= size)
            std::memcpy(message.data() + at, &v, 4);
    };
    put(0, 0x80001112);
    put(4, static_cast<uint32_t>(size));
    put(12, 0x707); // reply port
    put(20, 2401); // id
    put(28, 0x1203); // thread
    put(40, 0x103); // task
    put(60, 1); // EXC_BAD_ACCESS
    put(64, codeCount);
    for (uint32_t i = 0; 68 + i * 4 + 4 <= size; ++i)
        put(68 + i * 4, 0xf0000000u + i);
    return message;
}

TEST(PMCrashMachException, ParsesRequestsWithinTheirSize)
{
    struct Case {
        const char* name;
        uint32_t declared;
        size_t size;
        bool accepted;
        uint32_t codes;
    };
    const Case cases[] = {
        { "two codes", 2, 76, true, 2 },
        { "too short for two codes", 2, 72, false, 0 },
        { "count larger than the message", 1000, 80, true, 3 },
        { "count smaller than the message", 1, 80, true, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto message = request(c.declared, c.size);
        pmcrash_mach_exception_request_t parsed;
        ASSERT_EQ(pmcrash_mach_exception_parse_request(message.data(), message.size(), &parsed), c.accepted);
        if (!c.accepted)
            continue;
        EXPECT_EQ(parsed.code_count, c.codes);
        EXPECT_EQ(parsed.thread, 0x1203u);
        EXPECT_EQ(parsed.task, 0x103u);
        EXPECT_EQ(parsed.exception, 1);
        EXPECT_EQ(parsed.codes[0], 0xf0000000u); // zero-extended
    }

    auto message = request(2, 76);
    pmcrash_mach_exception_request_t parsed;
    ASSERT_TRUE(pmcrash_mach_exception_parse_request(message.data(), message.size(), &parsed));
    uint8_t reply[PMCRASH_MACH_REPLY_SIZE];
    pmcrash_mach_exception_build_reply(&parsed, PMCRASH_KERN_FAILURE, reply);
    uint32_t words[9];
    std::memcpy(words, reply, sizeof(words));
    EXPECT_EQ(words[0], 0x12u); // the request's remote disposition, no local port
    EXPECT_EQ(words[1], 36u);
    EXPECT_EQ(words[2], 0x707u); // to the reply port
    EXPECT_EQ(words[5], 2501u); // id + 100
    EXPECT_EQ(words[8], 5u);
}

struct Recorder {
    std::vector<std::string> calls;
    int32_t answer = PMCRASH_KERN_SUCCESS;
};

pmcrash_mach_exception_raiser_t recordingRaiser(Recorder* recorder)
{
    pmcrash_mach_exception_raiser_t raiser {};
    raiser.context = recorder;
    raiser.raise_default
        = [](uint32_t port, uint32_t, uint32_t, int32_t, const int32_t* codes, uint32_t count, void* context) {
              auto* r = static_cast<Recorder*>(context);
              r->calls.push_back(
                  "default " + std::to_string(port) + " " + std::to_string(count) + " " + std::to_string(codes[0]));
              return r->answer;
          };
    raiser.get_state = [](uint32_t, int32_t flavor, uint32_t* state, uint32_t* count, void* context) {
        static_cast<Recorder*>(context)->calls.push_back("state " + std::to_string(flavor));
        state[0] = 42;
        *count = 17;
        return PMCRASH_KERN_SUCCESS;
    };
    raiser.raise_state
        = [](uint32_t port, int32_t, const int32_t*, uint32_t, int32_t, const uint32_t*, uint32_t, void* context) {
              auto* r = static_cast<Recorder*>(context);
              r->calls.push_back("state-only " + std::to_string(port));
              return r->answer;
          };
    raiser.raise_state_identity = [](uint32_t port, uint32_t, uint32_t, int32_t, const int32_t*, uint32_t, int32_t,
                                      const uint32_t* state, uint32_t stateCount, void* context) {
        auto* r = static_cast<Recorder*>(context);
        r->calls.push_back(
            "identity " + std::to_string(port) + " " + std::to_string(state[0]) + "/" + std::to_string(stateCount));
        return r->answer;
    };
    return raiser;
}

TEST(PMCrashMachException, ForwardsToTheFirstMatchingPreviousPort)
{
    pmcrash_mach_exception_port_set_t ports {};
    auto add = [&](uint32_t mask, uint32_t port, int32_t behavior, int32_t flavor) {
        ports.masks[ports.count] = mask;
        ports.ports[ports.count] = port;
        ports.behaviors[ports.count] = behavior;
        ports.flavors[ports.count] = flavor;
        ++ports.count;
    };
    add(1u << 1, PMCRASH_MACH_PORT_DEAD, PMCRASH_EXCEPTION_DEFAULT, 1); // dead: skipped
    add(1u << 3, 30, PMCRASH_EXCEPTION_DEFAULT, 1); // other type
    add(1u << 1, 40, PMCRASH_EXCEPTION_STATE_IDENTITY, 9); // the match
    add(1u << 1, 50, PMCRASH_EXCEPTION_DEFAULT, 1); // never tried
    add(1u << 6, 60, PMCRASH_EXCEPTION_DEFAULT | int32_t(PMCRASH_MACH_EXCEPTION_CODES), 1);
    add(1u << 5, 70, PMCRASH_EXCEPTION_STATE, 9);
    uint64_t codes[2] = { 0x1'0000'0001, 2 };

    Recorder recorder;
    auto raiser = recordingRaiser(&recorder);
    EXPECT_EQ(pmcrash_mach_exception_forward(1, 2, 1, codes, 2, &ports, &raiser), PMCRASH_KERN_SUCCESS);
    EXPECT_EQ(recorder.calls, (std::vector<std::string> { "state 9", "identity 40 42/17" }));

    // A failing answer is returned; no other entry is tried.
    recorder.calls.clear();
    recorder.answer = PMCRASH_KERN_FAILURE;
    EXPECT_EQ(pmcrash_mach_exception_forward(1, 2, 1, codes, 2, &ports, &raiser), PMCRASH_KERN_FAILURE);
    EXPECT_EQ(recorder.calls.size(), 2u);

    recorder.calls.clear();
    recorder.answer = PMCRASH_KERN_SUCCESS;
    EXPECT_EQ(pmcrash_mach_exception_forward(1, 2, 3, codes, 2, &ports, &raiser), PMCRASH_KERN_SUCCESS);
    EXPECT_EQ(recorder.calls, (std::vector<std::string> { "default 30 2 1" })); // codes narrowed to 32 bits
    recorder.calls.clear();
    EXPECT_EQ(pmcrash_mach_exception_forward(1, 2, 6, codes, 2, &ports, &raiser), PMCRASH_KERN_FAILURE);
    EXPECT_TRUE(recorder.calls.empty()); // 64-bit-code handlers are skipped
    EXPECT_EQ(pmcrash_mach_exception_forward(1, 2, 5, codes, 2, &ports, &raiser), PMCRASH_KERN_SUCCESS);
    EXPECT_EQ(recorder.calls.back(), "state-only 70");
    EXPECT_EQ(pmcrash_mach_exception_forward(1, 2, 2, codes, 2, &ports, &raiser), PMCRASH_KERN_FAILURE); // no port
    EXPECT_EQ(pmcrash_mach_exception_forward(1, 2, 40, codes, 2, &ports, &raiser), PMCRASH_KERN_FAILURE); // no mask bit
}

} // namespace

namespace {

TEST(HBRPMCrashMachExceptionPortSet, KeepsObjectsAndRecordInStep)
{
    std::vector<Ref<HBRPMCrashMachExceptionPort>> ports {
        HBRPMCrashMachExceptionPort::initWithServerPortMaskBehaviorFlavor(7, 0x6e, PMCRASH_EXCEPTION_DEFAULT, 1),
        HBRPMCrashMachExceptionPort::initWithServerPortMaskBehaviorFlavor(9, 0x2, PMCRASH_EXCEPTION_STATE_IDENTITY, 9),
    };
    auto set = HBRPMCrashMachExceptionPortSet::initWithSet(ports);
    auto record = set->asyncSafeRepresentation();
    ASSERT_EQ(record.count, 2u);
    EXPECT_EQ(record.ports[1], 9u);
    EXPECT_EQ(record.masks[0], 0x6eu);
    EXPECT_EQ(record.behaviors[1], PMCRASH_EXCEPTION_STATE_IDENTITY);
    auto back = HBRPMCrashMachExceptionPortSet::initWithAsyncSafeRepresentation(record);
    ASSERT_EQ(back->set().size(), 2u);
    EXPECT_EQ(back->set()[1]->flavor(), 9);
    EXPECT_EQ(back->set()[0]->server_port(), 7u);

    std::vector<Ref<HBRPMCrashMachExceptionPort>> tooMany(14, ports[0]);
    EXPECT_DEATH(
        HBRPMCrashMachExceptionPortSet::initWithSet(tooMany), "Set size of 14 exceeds EXC_TYPES_COUNT \\(13\\)");
}

} // namespace
