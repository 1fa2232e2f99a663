#include "crashreporter/HBRPMCrashHostInfo.h"
#include "crashreporter/HBRPMCrashProcessInfo.h"
#include "crashreporter/HBRPMCrashReport.h"
#include "crashreporter/HBRPMCrashReporter.h"
#include "crashreporter/PMCrashCapturePaths.h"
#include "foundation/NSLog.h"
#include "os/OSThreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

class HBRPMCrashReporterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vxreporter.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_caches = pattern;
        HBRPMCrashReporter::setCachesDirectory(m_caches);
    }
    void TearDown() override
    {
        HBRPMCrashReporter::setCachesDirectory("");
        std::system(("rm -rf '" + m_caches + "'").c_str());
    }
    std::string m_caches;
};

TEST_F(HBRPMCrashReporterTest, PendingReportFilesAndDirectories)
{
    auto reporter
        = HBRPMCrashReporter::initWithApplicationIdentifierAppVersionConfiguration("com.example/app", "1.0", {});
    EXPECT_EQ(reporter->crashReportDirectory(), m_caches + "/com.pmcrash.crashreporter.data/com.example_app");
    EXPECT_EQ(reporter->crashReportPath(), reporter->crashReportDirectory() + "/live_report.pmcrash");
    EXPECT_FALSE(reporter->hasPendingCrashReport());
    Ref<NSError> error;
    EXPECT_FALSE(reporter->loadPendingCrashReportDataAndReturnError(&error));
    EXPECT_TRUE(error);
    ASSERT_TRUE(reporter->populateCrashReportDirectoryAndReturnError(&error));
    std::ofstream(reporter->crashReportPath()) << "damaged";
    EXPECT_TRUE(reporter->hasPendingCrashReport()); // any file counts; the reader rejects it
    auto bytes = reporter->loadPendingCrashReportDataAndReturnError(&error);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 7u);
    EXPECT_TRUE(reporter->purgePendingCrashReportAndReturnError(&error));
    EXPECT_FALSE(reporter->hasPendingCrashReport());
    EXPECT_FALSE(reporter->purgePendingCrashReportAndReturnError(&error));
    EXPECT_EQ(HBRPMCrashReporter::mapToAsyncSymbolicationStrategy(7), 3u);
    EXPECT_EQ(HBRPMCrashReporter::mapToAsyncSymbolicationStrategy(4), 0u);
}

// Enabling changes the process for good, so it runs in a child that reports by exit code.
TEST_F(HBRPMCrashReporterTest, EnablesOncePerProcessAndRefusesMachMode)
{
    pid_t child = fork();
    if (child == 0) {
        alarm(30);
        auto mach = HBRPMCrashReporter::initWithApplicationIdentifierAppVersionConfiguration("a", "1", { 1, 3 });
        Ref<NSError> error;
        if (mach->enableCrashReporterAndReturnError(&error))
            _exit(10);
        if (!error || error->code() != 1
            || error->localizedDescription() != "Failed to instantiate the Mach exception server.")
            _exit(11);
        // The once flag stays set after a failure, also for another instance.
        auto bsd = HBRPMCrashReporter::initWithApplicationIdentifierAppVersionConfiguration("b", "1", { 0, 3 });
        if (bsd->enableCrashReporterAndReturnError(&error))
            _exit(12);
        if (error->code() != 3
            || error->localizedDescription() != "A PMCrashReporter instance has already been enabled")
            _exit(13);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(HBRPMCrashReporterTest, LiveReportsOfTheCallingAndOfAnotherThread)
{
    auto reporter = HBRPMCrashReporter::initWithApplicationIdentifierAppVersionConfiguration(
        "com.kestravon.volantrix", "4.2", { 0, 1 });
    std::atomic<bool> stop { false };
    std::atomic<pid_t> other { 0 };
    std::thread worker([&] {
        other = vxos::currentThreadId();
        while (!stop.load())
            std::this_thread::yield();
    });
    while (other.load() == 0)
        std::this_thread::yield();

    struct Case {
        const char* name;
        pid_t thread;
        bool callerListed;
    };
    const Case cases[]
        = { { "calling thread", vxos::currentThreadId(), true }, { "other thread", other.load(), false } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<NSError> error;
        auto bytes = reporter->generateLiveReportWithThread(c.thread, &error);
        ASSERT_TRUE(bytes);
        auto report = HBRPMCrashReport::initWithData(*bytes, &error);
        ASSERT_TRUE(report) << (error ? error->localizedDescription() : "");
        EXPECT_EQ(report->signalInfo()->name(), "SIGTRAP");
        EXPECT_EQ(report->signalInfo()->code(), "TRAP_TRACE");
        int crashed = 0;
        for (const auto& thread : report->threads()) {
            if (!thread->crashed())
                continue;
            ++crashed;
            EXPECT_EQ(thread->registers().size(), 18u);
            EXPECT_FALSE(thread->stackFrames().empty());
        }
        EXPECT_EQ(crashed, 1);
        pid_t tids[vxos::kMaxThreads];
        int count = vxos::listThreads(tids, vxos::kMaxThreads);
        EXPECT_EQ(report->threads().size(), size_t(c.callerListed ? count : count - 1));
    }
    stop = true;
    worker.join();
}

} // namespace

namespace {

TEST(HBRPMCrashHostInfo, ScansTheKernelRelease)
{
    struct Case {
        const char* release;
        uint32_t major, minor, revision;
    };
    const Case cases[]
        = { { "6.1.0-18-amd64", 6, 1, 0 }, { "13.4.0", 13, 4, 0 }, { "weird", 0, 0, 0 }, { "5.10", 5, 10, 0 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.release);
        auto host = HBRPMCrashHostInfo::initWithRelease(c.release);
        ASSERT_TRUE(host);
        EXPECT_EQ(host->darwinVersion().major, c.major);
        EXPECT_EQ(host->darwinVersion().minor, c.minor);
        EXPECT_EQ(host->darwinVersion().revision, c.revision);
    }
    EXPECT_TRUE(HBRPMCrashHostInfo::currentHostInfo());
    auto process = HBRPMCrashProcessInfo::currentProcessInfo();
    ASSERT_TRUE(process);
    EXPECT_EQ(process->processID(), getpid());
    EXPECT_EQ(process->parentProcessID(), getppid());
    EXPECT_FALSE(HBRPMCrashProcessInfo::initWithProcessID(-3));
}

} // namespace

namespace {

// An exception injected into the Mach crash path, as the exception server thread would hand it
// over: previous handlers come first, unmapped exceptions write nothing, and the log carries
// the exception next to the signal it stands for.
TEST(HBRPMCrashReporterMachPath, WritesTheExceptionIntoTheLog)
{
    char pattern[] = "/tmp/vxmach.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string caches = pattern;
    pid_t child = fork();
    if (child == 0) {
        alarm(30);
        HBRPMCrashReporter::setCachesDirectory(caches);
        auto reporter = HBRPMCrashReporter::initWithApplicationIdentifierAppVersionConfiguration(
            "com.kestravon.volantrix", "4.2", { 99, 1 });
        if (!reporter->enableCrashReporterAndReturnError(nullptr))
            _exit(10);
        uint64_t codes[2] = { 1, 0x1'0000'0040 };
        // Unmapped exception type: no log.
        if (pmcrash_mach_crash_callback(1, vxos::currentThreadId(), 12, codes, 2, nullptr) != PMCRASH_KERN_FAILURE)
            _exit(11);
        if (reporter->hasPendingCrashReport())
            _exit(12);
        // A bad access on a worker thread while this thread serves the exception.
        std::atomic<bool> stop { false };
        std::atomic<pid_t> faulting { 0 };
        std::thread worker([&] {
            faulting = vxos::currentThreadId();
            while (!stop.load())
                std::this_thread::yield();
        });
        while (faulting.load() == 0)
            std::this_thread::yield();
        int32_t answer = pmcrash_mach_crash_callback(1, faulting.load(), 1, codes, 2, nullptr);
        stop = true;
        worker.join();
        _exit(answer == PMCRASH_KERN_FAILURE && reporter->hasPendingCrashReport() ? 0 : 13);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    std::ifstream in(
        caches + "/com.pmcrash.crashreporter.data/com.kestravon.volantrix/live_report.pmcrash", std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::system(("rm -rf '" + caches + "'").c_str());
    Ref<NSError> error;
    auto report = HBRPMCrashReport::initWithData(bytes, &error);
    ASSERT_TRUE(report) << (error ? error->localizedDescription() : "");
    EXPECT_EQ(report->signalInfo()->name(), "SIGSEGV");
    EXPECT_EQ(report->signalInfo()->code(), "SEGV_MAPERR");
    EXPECT_EQ(report->signalInfo()->address(), 0x40u);
    ASSERT_TRUE(report->machExceptionInfo());
    EXPECT_EQ(report->machExceptionInfo()->type(), 1u);
    EXPECT_EQ(report->machExceptionInfo()->codes(), (std::vector<uint64_t> { 1, 0x1'0000'0040 }));
    // The faulting worker is the crashed thread; the serving thread is listed with its captured state.
    int crashed = 0;
    for (const auto& thread : report->threads())
        crashed += thread->crashed();
    EXPECT_EQ(crashed, 1);
#if defined(__SANITIZE_THREAD__)
    EXPECT_GE(report->threads().size(), 2u); // the sanitizer starts threads of its own
#else
    EXPECT_EQ(report->threads().size(), 2u);
#endif
}

} // namespace

namespace {

TEST(HBRPMCrashReporterNaming, FallsBackToTheProcessName)
{
    std::vector<std::string> lines;
    auto previous = setNSLogSink([&](const std::string& line) { lines.push_back(line); });
    auto reporter = HBRPMCrashReporter::initWithConfiguration({});
    setNSLogSink(previous);
    ASSERT_TRUE(reporter);
    EXPECT_EQ(reporter->applicationIdentifier(), program_invocation_short_name);
    EXPECT_EQ(reporter->applicationVersion(), "");
    EXPECT_EQ(lines,
        (std::vector<std::string> { std::string("[PMCrashReporter] Warning -- bundle identifier, using process name ")
                + program_invocation_short_name,
            "[PMCrashReporter] Warning -- bundle version unavailable" }));
}

} // namespace
