#include "crashreporter/HBRPMCrashReport.h"
#include "crashreporter/PMCrashFrameCursor.h"
#include "crashreporter/PMCrashLogWriter.h"
#include "crashreporter/pmcrash.pb-c.h"
#include "os/OSMemory.h"
#include "os/OSThreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
std::atomic<bool> s_deepRelease { false };
std::atomic<bool> s_deepParked { false };
} // namespace

// Recurses `depth` times, then waits with those frames on the stack. Exported, so the crash log
// can name its frames from the test program's dynamic symbols.
extern "C" __attribute__((visibility("default"), noinline)) int pmcrashTestDescend(int depth)
{
    if (depth == 0) {
        s_deepParked = true;
        while (!s_deepRelease.load())
            std::this_thread::yield();
        return 0;
    }
    int result = pmcrashTestDescend(depth - 1) + 1;
    asm volatile("" : : "r"(result) : "memory");
    return result;
}

namespace {

// Encodes into a pipe-free temporary file and returns the bytes.
struct TempFile {
    TempFile()
    {
        char pattern[] = "/tmp/vxwriter.XXXXXX";
        fd = mkstemp(pattern);
        path = pattern;
    }
    ~TempFile() { unlink(path.c_str()); }
    std::vector<uint8_t> contents() const
    {
        std::vector<uint8_t> bytes;
        FILE* f = std::fopen(path.c_str(), "rb");
        int c;
        while ((c = std::fgetc(f)) != EOF)
            bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(f);
        return bytes;
    }
    int fd;
    std::string path;
};

TEST(PMCrashLogWriter, FieldEncoderMatchesTheWireFormat)
{
    struct Case {
        const char* name;
        uint32_t field;
        int type;
        std::vector<uint8_t> value;
        std::vector<uint8_t> expected;
    };
    auto bytesOf = [](auto v) {
        std::vector<uint8_t> b(sizeof(v));
        std::memcpy(b.data(), &v, sizeof(v));
        return b;
    };
    std::vector<uint8_t> minusOne { 0x08, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x01 };
    const Case cases[] = {
        { "int32 -1 takes ten bytes", 1, PMCRASH_INT32, bytesOf(int32_t(-1)), minusOne },
        { "uint32 300", 2, PMCRASH_UINT32, bytesOf(uint32_t(300)), { 0x10, 0xac, 0x02 } },
        { "sint32 -2 zig-zag", 1, PMCRASH_SINT32, bytesOf(int32_t(-2)), { 0x08, 0x03 } },
        { "bool", 3, PMCRASH_BOOL, { 1 }, { 0x18, 0x01 } },
        { "fixed32", 1, PMCRASH_FIXED32, bytesOf(uint32_t(0x01020304)), { 0x0d, 0x04, 0x03, 0x02, 0x01 } },
        { "uint64 max", 1, PMCRASH_UINT64, bytesOf(uint64_t(-1)), minusOne },
        { "large field number", 0x1fffffff + 0u, PMCRASH_ENUM, bytesOf(uint32_t(1)),
            { 0xf8, 0xff, 0xff, 0xff, 0x0f, 0x01 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFile temp;
        pmcrash_async_file_t file;
        pmcrash_async_file_init(&file, temp.fd, 0);
        size_t dry = pmcrash_writer_pack(nullptr, c.field, c.type, c.value.data());
        size_t written = pmcrash_writer_pack(&file, c.field, c.type, c.value.data());
        ASSERT_TRUE(pmcrash_async_file_close(&file));
        EXPECT_EQ(dry, written);
        EXPECT_EQ(temp.contents(), c.expected);
    }
    // A string of 200 characters has a two-byte length.
    std::string text(200, 'x');
    EXPECT_EQ(pmcrash_writer_pack(nullptr, 1, PMCRASH_STRING, text.c_str()), 1u + 2u + 200u);
}

TEST(PMCrashLogWriter, BufferedFileRefusesWritesPastItsLimit)
{
    TempFile temp;
    pmcrash_async_file_t file;
    pmcrash_async_file_init(&file, temp.fd, 300);
    std::vector<uint8_t> block(200, 0xab);
    EXPECT_TRUE(pmcrash_async_file_write(&file, block.data(), 100));
    EXPECT_TRUE(pmcrash_async_file_write(&file, block.data(), 200)); // reaches the limit exactly
    EXPECT_FALSE(pmcrash_async_file_write(&file, block.data(), 1)); // one byte past it
    ASSERT_TRUE(pmcrash_async_file_close(&file));
    EXPECT_EQ(temp.contents().size(), 300u);

    // After a refusal nothing more is appended, so no later field lands after a gap.
    TempFile second;
    pmcrash_async_file_init(&file, second.fd, 150);
    EXPECT_TRUE(pmcrash_async_file_write(&file, block.data(), 100));
    EXPECT_FALSE(pmcrash_async_file_write(&file, block.data(), 100));
    EXPECT_FALSE(pmcrash_async_file_write(&file, block.data(), 10));
    ASSERT_TRUE(pmcrash_async_file_close(&file));
    EXPECT_EQ(second.contents().size(), 100u);
}

TEST(PMCrashLogWriter, SignalAndCodeNames)
{
    struct Case {
        int signal;
        int code;
        const char* name;
        const char* codeName;
    };
    const Case cases[] = {
        { 11, 1, "SIGSEGV", "SEGV_MAPERR" },
        { 30, 5, "SIGUSR1", nullptr },
        { 40, 0, nullptr, nullptr },
        { 6, 0, "SIGABRT", "#0" },
        { 8, 7, "SIGFPE", "FPE_INTDIV" },
        { 5, 2, "SIGTRAP", "TRAP_TRACE" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.signal);
        const char* name = pmcrash_signal_name(c.signal);
        const char* code = pmcrash_signal_code_name(c.signal, c.code);
        EXPECT_STREQ(name, c.name);
        EXPECT_STREQ(code, c.codeName);
    }
}

// A thread fifty frames deep: every frame is walked and named from the symbol table, while the
// memory behind them (stack pages, symbol tables) is read in blocks, not a kernel call per word.
TEST(PMCrashLogWriter, NamesEveryFrameOfADeepThreadReadingMemoryInBlocks)
{
    ASSERT_TRUE(vxos::installThreadSuspension());
    s_deepRelease = false;
    s_deepParked = false;
    std::atomic<pid_t> deepThread { 0 };
    std::thread deep([&] {
        deepThread = vxos::currentThreadId();
        pmcrashTestDescend(50);
    });
    while (!s_deepParked.load())
        std::this_thread::yield();

    pmcrash_log_writer_t writer;
    ASSERT_EQ(pmcrash_log_writer_init(&writer, "com.kestravon.volantrix", "4.2", 1, false), 0);
    pmcrash_image_list_t images;
    pmcrash_image_list_sync(&images);
    pmcrash_signal_info_t signal { 11, 1, 0x10, nullptr };
    TempFile temp;
    pmcrash_async_file_t file;
    pmcrash_async_file_init(&file, temp.fd, 0);
    uint64_t readsBefore = vxos::memoryReadCount();
    pmcrash_log_writer_write(&writer, deepThread, &images, &file, &signal, nullptr);
    uint64_t reads = vxos::memoryReadCount() - readsBefore;
    s_deepRelease = true;
    deep.join();
    ASSERT_TRUE(pmcrash_async_file_close(&file));
    pmcrash_log_writer_free(&writer);

    Ref<NSError> error;
    auto report = HBRPMCrashReport::initWithData(temp.contents(), &error);
    ASSERT_TRUE(report) << (error ? error->localizedDescription() : "");
    size_t frames = 0;
    size_t named = 0;
    for (const auto& thread : report->threads()) {
        frames += thread->stackFrames().size();
        if (!thread->crashed())
            continue;
        for (const auto& frame : thread->stackFrames()) {
            if (frame->symbolInfo() && frame->symbolInfo()->symbolName() == "pmcrashTestDescend")
                ++named;
        }
    }
    // Fifty callers at least; the innermost call shows as well unless the thread was stopped
    // inside the C library's yield.
    EXPECT_GE(named, 50u);
    // Each frame is walked three times (a dry run for the thread's size, one for its length, one
    // writing it); a few reads per frame and walk is what block reads allow.
    EXPECT_LE(reads, 4 * frames) << reads << " reads for " << frames << " frames";
}

// A full log written with a tiny limit still decodes: trailing frames, threads and images are
// dropped whole instead of being cut mid-field.
TEST(PMCrashLogWriter, LogAtTheSizeLimitStaysDecodable)
{
    pmcrash_log_writer_t writer;
    ASSERT_EQ(pmcrash_log_writer_init(&writer, "com.kestravon.volantrix", "4.2", 1, true), 0);
    pmcrash_image_list_t images;
    pmcrash_image_list_sync(&images);
    pmcrash_signal_info_t signal { 11, 1, 0x10, nullptr };
    for (uint64_t limit : { uint64_t(0), uint64_t(65536), uint64_t(2500) }) {
        SCOPED_TRACE(limit);
        TempFile temp;
        pmcrash_async_file_t file;
        pmcrash_async_file_init(&file, temp.fd, limit);
        struct Args {
            pmcrash_log_writer_t* writer;
            pmcrash_image_list_t* images;
            pmcrash_async_file_t* file;
            pmcrash_signal_info_t* signal;
        } args { &writer, &images, &file, &signal };
        pmcrash_capture_current_thread(
            [](const pmcrash_thread_state_t* state, void* context) -> int {
                auto* a = static_cast<Args*>(context);
                return pmcrash_log_writer_write(
                    a->writer, vxos::currentThreadId(), a->images, a->file, a->signal, state);
            },
            &args);
        ASSERT_TRUE(pmcrash_async_file_close(&file));
        auto bytes = temp.contents();
        if (limit) {
            EXPECT_LE(bytes.size(), limit);
        }
        Ref<NSError> error;
        auto report = HBRPMCrashReport::initWithData(bytes, &error);
        ASSERT_TRUE(report) << (error ? error->localizedDescription() : "");
        EXPECT_EQ(report->signalInfo()->name(), "SIGSEGV");
        EXPECT_FALSE(report->threads().empty());
        EXPECT_FALSE(report->images().empty());
        if (limit == 0) {
            EXPECT_GT(report->images().size(), 1u);
            EXPECT_GT(report->threads()[0]->stackFrames().size(), 1u);
        }
        // Field order on the wire: 9, 1, 8, 2, 7, then threads.
        ASSERT_GT(bytes.size(), 9u);
        EXPECT_EQ(bytes[8], (9 << 3) | 2);
    }
    pmcrash_log_writer_free(&writer);
}

} // namespace
