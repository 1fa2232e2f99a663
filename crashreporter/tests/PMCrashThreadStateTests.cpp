#include "crashreporter/PMCrashFrameCursor.h"
#include "crashreporter/PMCrashThreadState.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

TEST(PMCrashThreadState, RegisterTablesOfEachArchitecture)
{
    struct Case {
        int32_t cpu;
        int count;
        std::vector<std::pair<int, const char*>> names;
        std::vector<std::pair<int, int>> dwarf; // index, DWARF number
        uint64_t preserved; // valid mask after clearing volatile registers
    };
    const Case cases[] = {
        { PMCRASH_CPU_ARM, 17,
            { { 0, "pc" }, { 1, "r7" }, { 2, "sp" }, { 3, "r0" }, { 10, "r8" }, { 14, "r12" }, { 16, "cpsr" } },
            { { 0, 15 }, { 1, 7 }, { 2, 13 }, { 15, 14 } },
            (1u << 7) | (1u << 8) | (1u << 9) | (1u << 1) | (1u << 10) | (1u << 12) | (1u << 13) },
        { PMCRASH_CPU_ARM64, 34, { { 0, "pc" }, { 1, "fp" }, { 3, "x0" }, { 31, "x28" }, { 32, "lr" }, { 33, "cpsr" } },
            { { 1, 29 }, { 2, 31 }, { 3, 0 }, { 32, 30 } }, (uint64_t(0x3ff) << 22) | 2 },
        { PMCRASH_CPU_X86_64, 18, { { 0, "rip" }, { 1, "rbp" }, { 2, "rsp" }, { 3, "rax" }, { 17, "rflags" } },
            { { 0, 16 }, { 1, 6 }, { 2, 7 }, { 3, 0 }, { 4, 3 } },
            (1u << 4) | (1u << 1) | (1u << 13) | (1u << 14) | (1u << 15) | (1u << 16) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cpu);
        pmcrash_thread_state_t state;
        ASSERT_EQ(pmcrash_thread_state_init(&state, c.cpu), 0);
        EXPECT_EQ(pmcrash_thread_state_reg_count(&state), c.count);
        for (const auto& [index, name] : c.names)
            EXPECT_STREQ(pmcrash_thread_state_reg_name(&state, index), name);
        for (const auto& [index, number] : c.dwarf) {
            uint64_t dwarf = 99;
            int back = -1;
            ASSERT_TRUE(pmcrash_thread_state_map_reg(&state, index, &dwarf));
            EXPECT_EQ(dwarf, uint64_t(number));
            ASSERT_TRUE(pmcrash_thread_state_map_dwarf(&state, dwarf, &back));
            EXPECT_EQ(back, index);
        }
        uint64_t dwarf;
        EXPECT_FALSE(pmcrash_thread_state_map_reg(&state, c.count - 1, &dwarf)); // cpsr / rflags
        for (int i = 0; i < c.count; ++i)
            pmcrash_thread_state_set_reg(&state, i, 0x1'0000'0001);
        pmcrash_thread_state_clear_volatile(&state);
        EXPECT_EQ(state.valid_regs, c.preserved);
        EXPECT_EQ(pmcrash_thread_state_get_reg(&state, 1), c.cpu == PMCRASH_CPU_ARM ? 1u : 0x1'0000'0001u);
    }
    pmcrash_thread_state_t unsupported;
    EXPECT_EQ(pmcrash_thread_state_init(&unsupported, 18), 4);
}

// Frame records laid out in a buffer: {saved frame pointer, return address}.
struct FakeStack {
    alignas(16) uint64_t words[64] {};
    uint64_t at(int index) const { return reinterpret_cast<uint64_t>(&words[index]); }
    void record(int index, uint64_t savedFp, uint64_t returnAddress)
    {
        words[index] = savedFp;
        words[index + 1] = returnAddress;
    }
};

std::vector<uint64_t> walk(const FakeStack& stack, uint64_t fp, int* lastError)
{
    pmcrash_thread_state_t state;
    pmcrash_thread_state_init(&state, PMCRASH_CPU_X86_64);
    pmcrash_thread_state_set_reg(&state, PMCRASH_REG_IP, 0x400000);
    pmcrash_thread_state_set_reg(&state, PMCRASH_REG_FP, fp);
    pmcrash_frame_cursor_t cursor;
    pmcrash_frame_cursor_init(&cursor, &state, nullptr);
    std::vector<uint64_t> pcs;
    int result;
    while ((result = pmcrash_frame_cursor_next(&cursor)) == PMCRASH_FRAME_ESUCCESS && pcs.size() < 600) {
        uint64_t pc;
        pmcrash_frame_cursor_get_reg(&cursor, PMCRASH_REG_IP, &pc);
        pcs.push_back(pc);
    }
    *lastError = result;
    (void)stack;
    return pcs;
}

TEST(PMCrashFrameCursor, FollowsFrameRecordsUpTheStack)
{
    struct Case {
        const char* name;
        std::function<uint64_t(FakeStack&)> build; // returns the starting frame pointer
        std::vector<uint64_t> pcs;
        int error;
    };
    const Case cases[] = {
        { "three records then a zero frame pointer",
            [](FakeStack& s) {
                s.record(0, s.at(4), 0x401000);
                s.record(4, s.at(10), 0x402000);
                s.record(10, 0, 0x403000);
                return s.at(0);
            },
            { 0x400000, 0x401000, 0x402000, 0x403000 }, PMCRASH_FRAME_ENOFRAME },
        { "frame pointer 0 yields only the pc", [](FakeStack&) { return uint64_t(0); }, { 0x400000 },
            PMCRASH_FRAME_ENOFRAME },
        { "return address at or below 0x1000 ends the walk",
            [](FakeStack& s) {
                s.record(0, s.at(4), 0x1000);
                return s.at(0);
            },
            { 0x400000 }, PMCRASH_FRAME_ENOFRAME },
        { "a frame pointer moving down is corrupted",
            [](FakeStack& s) {
                s.record(8, s.at(2), 0x401000);
                s.record(2, s.at(20), 0x402000);
                return s.at(8);
            },
            { 0x400000, 0x401000 }, PMCRASH_FRAME_EBADFRAME },
        { "a self-referencing record ends at once",
            [](FakeStack& s) {
                s.record(0, s.at(4), 0x401000);
                s.record(4, s.at(4), 0x402000);
                return s.at(0);
            },
            { 0x400000, 0x401000, 0x402000 }, PMCRASH_FRAME_EBADFRAME },
        { "an unreadable record is corrupted",
            [](FakeStack& s) {
                s.record(0, 0x10, 0x401000);
                return s.at(0);
            },
            { 0x400000, 0x401000 }, PMCRASH_FRAME_EBADFRAME },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeStack stack;
        uint64_t fp = c.build(stack);
        int error = -1;
        EXPECT_EQ(walk(stack, fp, &error), c.pcs);
        EXPECT_EQ(error, c.error);
        EXPECT_STREQ(pmcrash_frame_strerror(error), error == 2 ? "No frames are available" : "Corrupted frame");
    }
    EXPECT_STREQ(pmcrash_frame_strerror(8), "Unhandled error code");
}

TEST(PMCrashFrameCursor, OnlyPcAndFramePointerSurviveAStep)
{
    FakeStack stack;
    stack.record(0, stack.at(4), 0x401000);
    pmcrash_thread_state_t state;
    pmcrash_thread_state_init(&state, PMCRASH_CPU_X86_64);
    for (int i = 0; i < 18; ++i)
        pmcrash_thread_state_set_reg(&state, i, 0x500000 + i);
    pmcrash_thread_state_set_reg(&state, PMCRASH_REG_FP, stack.at(0));
    pmcrash_frame_cursor_t cursor;
    pmcrash_frame_cursor_init(&cursor, &state, nullptr);
    ASSERT_EQ(pmcrash_frame_cursor_next(&cursor), 0);
    ASSERT_EQ(pmcrash_frame_cursor_next(&cursor), 0);
    uint64_t value = 0;
    EXPECT_EQ(pmcrash_frame_cursor_get_reg(&cursor, PMCRASH_REG_FP, &value), 0);
    EXPECT_EQ(value, stack.at(4));
    EXPECT_EQ(pmcrash_frame_cursor_get_reg(&cursor, 3, &value), PMCRASH_FRAME_ENOTSUP);
}

__attribute__((noinline)) int captureCallback(const pmcrash_thread_state_t* state, void* context)
{
    *static_cast<pmcrash_thread_state_t*>(context) = *state;
    return 7;
}

__attribute__((noinline)) uint64_t captureHere(pmcrash_thread_state_t* state)
{
    int result = pmcrash_capture_current_thread(captureCallback, state);
    EXPECT_EQ(result, 7);
    return reinterpret_cast<uint64_t>(__builtin_frame_address(0));
}

TEST(PMCrashFrameCursor, CapturedStateDescribesTheCaller)
{
    pmcrash_thread_state_t state;
    uint64_t frame = captureHere(&state);
    // The captured frame pointer is the caller's, and its pc lies in the caller's code.
    EXPECT_EQ(pmcrash_thread_state_get_reg(&state, PMCRASH_REG_FP), frame);
    uint64_t pc = pmcrash_thread_state_get_reg(&state, PMCRASH_REG_IP);
    uint64_t start = reinterpret_cast<uint64_t>(&captureHere);
    EXPECT_GT(pc, start);
    EXPECT_LT(pc, start + 512);
    EXPECT_LT(pmcrash_thread_state_get_reg(&state, PMCRASH_REG_SP), frame);
}

} // namespace
