#include "HBRPMCrashHostInfo.h"
#include "HBRPMCrashProcessInfo.h"
#include "HBRPMCrashReport.h"
#include "HBRPMCrashReporter.h"
#include "OSThreads.h"

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
    auto reporter = HBRPMCrashReporter::initWithApplicationIdentifierAppVersionConfiguration("com.example/app", "1.0", {});
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
        if (!error || error->code() != 1 || error->localizedDescription() != "Failed to instantiate the Mach exception server.")
            _exit(11);
        // The once flag stays set after a failure, also for another instance.
        auto bsd = HBRPMCrashReporter::initWithApplicationIdentifierAppVersionConfiguration("b", "1", { 0, 3 });
        if (bsd->enableCrashReporterAndReturnError(&error))
            _exit(12);
        if (error->code() != 3 || error->localizedDescription() != "A PMCrashReporter instance has already been enabled")
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
    auto reporter = HBRPMCrashReporter::initWithApplicationIdentifierAppVersionConfiguration("com.kestravon.volantrix", "4.2", { 0, 1 });
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
    const Case cases[] = { { "calling thread", vxos::currentThreadId(), true }, { "other thread", other.load(), false } };
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
    const Case cases[] = { { "6.1.0-18-amd64", 6, 1, 0 }, { "13.4.0", 13, 4, 0 }, { "weird", 0, 0, 0 }, { "5.10", 5, 10, 0 } };
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
