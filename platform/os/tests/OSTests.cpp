#include "os/OSHost.h"
#include "os/OSImages.h"
#include "os/OSMemory.h"
#include "os/OSSignals.h"
#include "os/OSThreads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>
#include <pthread.h>
#include <sched.h>
#include <string>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern "C" __attribute__((visibility("default"), noinline)) int vxosTestExportedFunction(int x)
{
    return x * 3 + 1;
}

namespace {

TEST(OSMemory, ReadsFailCleanlyOnUnmappedMemory)
{
    const char text[] = "flight";
    char copy[sizeof(text)] {};
    EXPECT_TRUE(vxos::readMemory(reinterpret_cast<uintptr_t>(text), copy, sizeof(text)));
    EXPECT_STREQ(copy, "flight");
    void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(page, MAP_FAILED);
    EXPECT_FALSE(vxos::readMemory(reinterpret_cast<uintptr_t>(page), copy, 1));
    EXPECT_FALSE(vxos::isReadable(reinterpret_cast<uintptr_t>(page), 16));
    EXPECT_FALSE(vxos::readMemory(0, copy, 1));
    EXPECT_FALSE(vxos::readMemory(UINTPTR_MAX - 2, copy, 8)); // wraps around
    munmap(page, 4096);
}

// Threads are listed, suspended with their registers saved, and resumed; a thread that blocks
// the suspension signal is reported without registers after the bounded wait.
TEST(OSThreads, SuspendsOtherThreadsAndReadsTheirRegisters)
{
    ASSERT_TRUE(vxos::installThreadSuspension());
    std::atomic<bool> stop { false };
    std::atomic<int> ready { 0 };
    std::atomic<pid_t> runner { 0 }, blocker { 0 };
    std::atomic<uint64_t> spins { 0 };
    std::thread running([&] {
        runner = vxos::currentThreadId();
        ready.fetch_add(1);
        while (!stop.load())
            spins.fetch_add(1);
    });
    std::thread blocking([&] {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, vxos::suspensionSignal());
        pthread_sigmask(SIG_BLOCK, &set, nullptr);
        blocker = vxos::currentThreadId();
        ready.fetch_add(1);
        while (!stop.load())
            std::this_thread::yield();
    });
    while (ready.load() < 2)
        std::this_thread::yield();

    pid_t tids[vxos::kMaxThreads];
    int count = vxos::listThreads(tids, vxos::kMaxThreads);
    ASSERT_GE(count, 3);
    std::vector<pid_t> listed(tids, tids + count);
    EXPECT_NE(std::find(listed.begin(), listed.end(), vxos::currentThreadId()), listed.end());
    EXPECT_NE(std::find(listed.begin(), listed.end(), runner.load()), listed.end());
    EXPECT_NE(std::find(listed.begin(), listed.end(), blocker.load()), listed.end());

    ASSERT_TRUE(vxos::suspendThreads(tids, count));
    EXPECT_FALSE(vxos::suspendThreads(tids, count)); // one suspension at a time
    uint64_t before = spins.load();
    uint64_t registers[vxos::kX86RegisterCount];
    ASSERT_TRUE(vxos::suspendedThreadRegisters(runner, registers));
    EXPECT_NE(registers[vxos::kRip], 0u);
    EXPECT_NE(registers[vxos::kRsp], 0u);
    EXPECT_EQ(spins.load(), before); // it really stands still
    EXPECT_FALSE(vxos::suspendedThreadRegisters(blocker, registers));
    EXPECT_FALSE(vxos::suspendedThreadRegisters(vxos::currentThreadId(), registers));
    vxos::resumeThreads();

    // Once resumed the runner spins again; wait for it to be scheduled before stopping it.
    while (spins.load() == before)
        std::this_thread::yield();
    stop = true;
    running.join();
    blocking.join();
    EXPECT_GT(spins.load(), before);
}

TEST(OSImages, DescribesLoadedImagesFromTheirBytes)
{
    std::string executable = vxos::executablePath();
    uintptr_t own = 0;
    int count = 0;
    vxos::forEachLoadedImage([&](uintptr_t header, const char* path) {
        ++count;
        if (executable == path)
            own = header;
    });
    EXPECT_GT(count, 2);
    ASSERT_NE(own, 0u);
    vxos::ElfImage image;
    ASSERT_EQ(vxos::elfImageInit(&image, own), vxos::kElfOk);
    EXPECT_EQ(image.cpuType, vxos::kCpuTypeX86_64);
    EXPECT_EQ(image.buildIdLength, 20u);
    uint64_t function = reinterpret_cast<uint64_t>(&vxosTestExportedFunction);
    EXPECT_GT(own + image.textSize, function);

    struct Found {
        uint64_t start = 0;
        std::string name;
    } found;
    ASSERT_EQ(vxos::elfFindSymbol(
                  &image, function + 3,
                  [](uint64_t start, const char* name, void* context) {
                      auto* f = static_cast<Found*>(context);
                      f->start = start;
                      f->name = name;
                  },
                  &found),
        vxos::kElfOk);
    EXPECT_EQ(found.name, "vxosTestExportedFunction");
    EXPECT_EQ(found.start, function);

    // Bytes that are not an ELF image, or cannot be read, are refused.
    alignas(8) char junk[128] = "not an image";
    EXPECT_EQ(vxos::elfImageInit(&image, reinterpret_cast<uintptr_t>(junk)), vxos::kElfInvalidData);
    EXPECT_EQ(vxos::elfImageInit(&image, 0x10), vxos::kElfInternal);
}

// The sorted index names every address as the table scan does, aliases at one start included
// (the C library has many): the first in table order, or nothing below the first function.
TEST(OSImages, SymbolIndexNamesAddressesAsTheTableDoes)
{
    uintptr_t libc = 0;
    vxos::forEachLoadedImage([&](uintptr_t header, const char* path) {
        if (std::string(path).find("libc.so") != std::string::npos)
            libc = header;
    });
    ASSERT_NE(libc, 0u);
    vxos::ElfImage scanned;
    ASSERT_EQ(vxos::elfImageInit(&scanned, libc), vxos::kElfOk);
    auto index = vxos::elfSymbolIndex(scanned);
    ASSERT_GT(index.size(), 1000u);
    vxos::ElfImage indexed = scanned;
    indexed.symbolIndex = index.data();
    indexed.symbolIndexCount = static_cast<uint32_t>(index.size());

    struct Found {
        int result = -1;
        uint64_t start = 0;
        std::string name;
    };
    auto lookUp = [](const vxos::ElfImage& image, uint64_t address) {
        Found found;
        found.result = vxos::elfFindSymbol(
            &image, address,
            [](uint64_t start, const char* name, void* context) {
                auto* f = static_cast<Found*>(context);
                f->start = start;
                f->name = name;
            },
            &found);
        return found;
    };
    std::vector<uint64_t> addresses
        = { scanned.loadBias, scanned.loadBias + index.front().value - 1, reinterpret_cast<uint64_t>(&sched_yield),
              reinterpret_cast<uint64_t>(&sched_yield) + 5, reinterpret_cast<uint64_t>(&std::memcpy) };
    for (size_t i = 0; i < index.size(); i += 97) {
        addresses.push_back(scanned.loadBias + index[i].value);
        addresses.push_back(scanned.loadBias + index[i].value + 3);
    }
    size_t named = 0;
    for (uint64_t address : addresses) {
        SCOPED_TRACE(address - scanned.loadBias);
        Found byTable = lookUp(scanned, address);
        Found byIndex = lookUp(indexed, address);
        EXPECT_EQ(byIndex.result, byTable.result);
        EXPECT_EQ(byIndex.start, byTable.start);
        EXPECT_EQ(byIndex.name, byTable.name);
        named += byTable.result == vxos::kElfOk;
    }
    EXPECT_GT(named, addresses.size() / 2);
    EXPECT_EQ(lookUp(indexed, scanned.loadBias).result, vxos::kElfNotFound);
}

TEST(OSImages, RejectsHeadersWithImpossibleCounts)
{
    struct Case {
        const char* name;
        uint16_t phentsize;
        uint16_t phnum;
        uint64_t phoff;
    };
    const Case cases[] = {
        { "no program headers", 56, 0, 64 },
        { "wrong entry size", 12, 1, 64 },
        { "offset past the end", 56, 1, UINT64_MAX - 8 },
        { "too many headers", 56, 60000, 64 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        alignas(8) unsigned char bytes[256] {};
        std::memcpy(bytes, "\177ELF", 4);
        bytes[4] = 2; // 64-bit
        std::memcpy(bytes + 32, &c.phoff, 8); // e_phoff
        std::memcpy(bytes + 54, &c.phentsize, 2); // e_phentsize
        std::memcpy(bytes + 56, &c.phnum, 2); // e_phnum
        vxos::ElfImage image;
        EXPECT_EQ(vxos::elfImageInit(&image, reinterpret_cast<uintptr_t>(bytes)), vxos::kElfInvalidData);
    }
}

TEST(OSSignals, MapsTheKernelsNumbersToThePlatforms)
{
    EXPECT_EQ(vxos::platformSignalNumber(SIGBUS), 10);
    EXPECT_EQ(vxos::platformSignalNumber(SIGSEGV), 11);
    EXPECT_EQ(vxos::platformSignalNumber(SIGUSR1), 30);
    EXPECT_EQ(vxos::platformSignalCode(8, FPE_INTDIV), 7);
    EXPECT_EQ(vxos::platformSignalCode(4, ILL_ILLOPN), 4);
    EXPECT_EQ(vxos::platformSignalCode(5, SI_KERNEL), 1);
    EXPECT_EQ(vxos::platformSignalCode(6, SI_TKILL), 0);
}

TEST(OSHost, DescribesThisProcess)
{
    auto record = vxos::processRecord(getpid());
    ASSERT_TRUE(record);
    EXPECT_EQ(record->parentProcessID, getppid());
    EXPECT_FALSE(record->name.empty());
    EXPECT_GT(record->startSeconds, 1500000000);
    EXPECT_FALSE(vxos::processRecord(-5));
    EXPECT_GT(vxos::logicalProcessorCount(), 0u);
    EXPECT_FALSE(vxos::kernelRelease().empty());
}

} // namespace
