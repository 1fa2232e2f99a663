#include "crashreporter/HBRCrashReportTextFormatter.h"
#include "crashreporter/HBRPMCrashReport.h"
#include "crashreporter/HBRPMCrashReporter.h"
#include "foundation/NSException.h"
#include "foundation/NSThread.h"
#include "os/OSHost.h"
#include "os/OSThreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <pthread.h>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// Crashers with external linkage, so the test program's dynamic symbols name them.
extern "C" {
__attribute__((noinline)) void crashTestNullPointer()
{
    *static_cast<volatile int*>(nullptr) = 1;
}

__attribute__((noinline)) void crashTestWildPointer()
{
    *reinterpret_cast<volatile int*>(uintptr_t(0x3eadbeef)) = 1;
}

__attribute__((noinline)) void crashTestBusError()
{
    // A mapping past the end of its file faults with SIGBUS.
    FILE* file = tmpfile();
    auto* page = static_cast<volatile char*>(mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fileno(file), 0));
    (void)page[0];
}

__attribute__((noinline)) int crashTestDivide(int divisor)
{
    volatile int kept = divisor; // keeps the division at run time
    return 10 / kept;
}

__attribute__((noinline)) void crashTestIllegal()
{
    __builtin_trap();
}

__attribute__((noinline)) void crashTestBreakpoint()
{
    __asm__ volatile("int3");
}

__attribute__((noinline)) void crashTestAbort()
{
    abort();
}

__attribute__((noinline)) void crashTestKill()
{
    kill(getpid(), SIGSEGV);
}

__attribute__((noinline)) void crashTestThreadKill()
{
    syscall(SYS_tgkill, getpid(), syscall(SYS_gettid), SIGBUS);
}

volatile bool s_stopRecursion = false;

__attribute__((noinline)) int crashTestRecurse(int depth)
{
    volatile char frame[4096];
    frame[0] = static_cast<char>(depth);
    if (s_stopRecursion)
        return frame[0];
    return crashTestRecurse(depth + 1) + frame[0];
}

// Overflows the stack of a thread the platform started, while the main thread waits.
__attribute__((noinline)) void crashTestOverflowOnPlatformThread()
{
    NSThread::detachNewThreadWithBlock([] { crashTestRecurse(0); });
    for (;;)
        pause();
}

// Runs a crasher from its own frame, so the walk has frames of this program to pass through.
__attribute__((noinline)) void crashTestRun(const std::function<void()>* crash)
{
    (*crash)();
    __asm__ volatile("" ::: "memory");
}

__attribute__((noinline)) void crashTestThrow()
{
    throw std::runtime_error("flight data feed exploded");
}

__attribute__((noinline)) void crashTestRaise()
{
    NSException::raise(NSInternalInconsistencyException, "flight data feed exploded");
}
}

namespace {

struct CrashCase {
    const char* name;
    std::function<void()> crash;
    int expectedSignal; // the signal the child dies of
    const char* signalName; // in the log
    const char* codeName;
    int extraThreads; // threads running beside the crashing one
    bool crashOnSecondaryThread;
    const char* exceptionName; // uncaught exception, or null
    bool previousHandler = false; // a SIGSEGV handler was installed before the reporter
    bool crashCallback = false; // a crash callback is set
};

std::string s_callbackMarker;
std::string s_uncaughtMarker;

// The application's own uncaught-exception handler: it still runs when the reporter is enabled.
void applicationUncaughtHandler(NSException& exception)
{
    std::ofstream(s_uncaughtMarker) << exception.name();
}

// Installed before the reporter: during a crash it must not run (the reporter does not
// forward), so the child still dies of its signal.
void previousSegvHandler(int, siginfo_t*, void*)
{
    _exit(7);
}

// Runs after the log was written and closed: records the log's size in a marker file.
void crashCallback(siginfo_t* info, void*, void* context)
{
    struct stat log;
    const char* logPath = static_cast<const char*>(context);
    int fd = open(s_callbackMarker.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0 && stat(logPath, &log) == 0 && log.st_size > 8 && info->si_signo == SIGSEGV) {
        ssize_t ignored = write(fd, "ok", 2);
        (void)ignored;
    }
    if (fd >= 0)
        close(fd);
}

struct ChildResult {
    int status = 0;
    std::vector<uint8_t> log;
};

// Runs `crash` in a child process with the reporter enabled and returns how the child ended and
// the crash log it left.
ChildResult runCrashingChild(const CrashCase& test, const std::string& caches)
{
    pid_t child = fork();
    if (child == 0) {
        alarm(30); // a hung child dies instead of hanging the test
        HBRPMCrashReporter::setCachesDirectory(caches);
        auto reporter = HBRPMCrashReporter::initWithApplicationIdentifierAppVersionConfiguration(
            "com.kestravon/volantrix", "4.2", HBRPMCrashReporterConfig(0, 1));
        if (test.previousHandler) {
            struct sigaction action { };
            action.sa_sigaction = previousSegvHandler;
            action.sa_flags = SA_SIGINFO;
            sigaction(SIGSEGV, &action, nullptr);
        }
        static std::string logPath;
        logPath = reporter->crashReportPath();
        s_uncaughtMarker = caches + "/uncaught-handler";
        NSSetUncaughtExceptionHandler(applicationUncaughtHandler);
        if (test.crashCallback) {
            s_callbackMarker = caches + "/callback-ran";
            PMCrashReporterCallbacks callbacks { 0, const_cast<char*>(logPath.c_str()), crashCallback };
            reporter->setCrashCallbacks(&callbacks);
        }
        Ref<NSError> error;
        if (!reporter->enableCrashReporterAndReturnError(&error))
            _exit(3);
        std::atomic<bool> stop { false };
        std::atomic<int> started { 0 };
        std::vector<std::thread> threads;
        for (int i = 0; i < test.extraThreads; ++i) {
            threads.emplace_back([&] {
                started.fetch_add(1);
                while (!stop.load())
                    std::this_thread::yield();
            });
        }
        while (started.load() < test.extraThreads)
            std::this_thread::yield();
        // The threads alive now (a sanitizer may add its own), for the parent to compare.
        pid_t tids[vxos::kMaxThreads];
        std::ofstream(caches + "/threads") << vxos::listThreads(tids, vxos::kMaxThreads);
        if (test.crashOnSecondaryThread) {
            // A plain thread: nothing between its start and the crasher catches or ends an
            // exception, so an uncaught one reaches terminate at the throw.
            pthread_t crasher;
            pthread_create(
                &crasher, nullptr,
                [](void* crash) -> void* {
                    crashTestRun(static_cast<const std::function<void()>*>(crash));
                    return nullptr;
                },
                const_cast<std::function<void()>*>(&test.crash));
            pthread_join(crasher, nullptr);
        } else {
            test.crash();
        }
        _exit(4);
    }
    ChildResult result;
    waitpid(child, &result.status, 0);
    std::ifstream in(
        caches + "/com.pmcrash.crashreporter.data/com.kestravon_volantrix/live_report.pmcrash", std::ios::binary);
    result.log.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return result;
}

class CrashReporterCrash : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vxcrash.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_caches = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + m_caches + "'").c_str()); }
    std::string m_caches;
};

TEST_F(CrashReporterCrash, ChildCrashesLeaveDecodableLogs)
{
    const CrashCase cases[] = {
        { "null pointer", crashTestNullPointer, SIGSEGV, "SIGSEGV", "SEGV_MAPERR", 0, false, nullptr },
        { "wild pointer", crashTestWildPointer, SIGSEGV, "SIGSEGV", "SEGV_MAPERR", 0, false, nullptr },
        { "bus error", crashTestBusError, SIGBUS, "SIGBUS", "BUS_ADRERR", 0, false, nullptr },
        { "divide by zero", [] { crashTestDivide(0); }, SIGFPE, "SIGFPE", "FPE_INTDIV", 0, false, nullptr },
        { "illegal instruction", crashTestIllegal, SIGILL, "SIGILL", "ILL_ILLOPN", 0, false, nullptr },
        { "breakpoint", crashTestBreakpoint, SIGTRAP, "SIGTRAP", "TRAP_BRKPT", 0, false, nullptr },
        { "abort", crashTestAbort, SIGABRT, "SIGABRT", "#0", 0, false, nullptr },
        { "kill", crashTestKill, SIGSEGV, "SIGSEGV", "SEGV_NOOP", 0, false, nullptr },
        { "thread kill", crashTestThreadKill, SIGBUS, "SIGBUS", "BUS_NOOP", 0, false, nullptr },
        { "uncaught exception", crashTestThrow, SIGABRT, "SIGABRT", "#0", 0, true, "std::runtime_error" },
        { "uncaught NSException", crashTestRaise, SIGABRT, "SIGABRT", "#0", 0, true,
            "NSInternalInconsistencyException" },
        { "secondary thread", crashTestNullPointer, SIGSEGV, "SIGSEGV", "SEGV_MAPERR", 0, true, nullptr },
        { "busy process", crashTestNullPointer, SIGSEGV, "SIGSEGV", "SEGV_MAPERR", 4, false, nullptr },
        { "previous handler", crashTestNullPointer, SIGSEGV, "SIGSEGV", "SEGV_MAPERR", 0, false, nullptr, true, false },
        { "crash callback", crashTestNullPointer, SIGSEGV, "SIGSEGV", "SEGV_MAPERR", 0, false, nullptr, false, true },
    };
    const std::string executable = vxos::executablePath();
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        ChildResult result = runCrashingChild(test, m_caches);
        ASSERT_TRUE(WIFSIGNALED(result.status)) << "exit status " << result.status;
        EXPECT_EQ(WTERMSIG(result.status), test.expectedSignal);
        ASSERT_GT(result.log.size(), 8u);
        if (test.crashCallback) {
            std::ifstream marker(m_caches + "/callback-ran");
            std::string text((std::istreambuf_iterator<char>(marker)), std::istreambuf_iterator<char>());
            EXPECT_EQ(text, "ok");
        }
        EXPECT_EQ(std::string(result.log.begin(), result.log.begin() + 8), std::string("pmcrash\x01", 8));

        Ref<NSError> error;
        auto report = HBRPMCrashReport::initWithData(result.log, &error);
        ASSERT_TRUE(report) << (error ? error->localizedDescription() : "");
        EXPECT_EQ(report->signalInfo()->name(), test.signalName);
        EXPECT_EQ(report->signalInfo()->code(), test.codeName);
        // A signal sent by a process has no fault address: the sender's pid is not recorded as one.
        const std::string name = test.name;
        if (name == "abort" || name == "kill" || name == "thread kill") {
            EXPECT_EQ(report->signalInfo()->address(), 0u);
        }
        if (name == "wild pointer") {
            EXPECT_EQ(report->signalInfo()->address(), 0x3eadbeefu);
        }
        EXPECT_EQ(report->applicationInfo()->applicationIdentifier(), "com.kestravon/volantrix");

        // Every thread is listed: the main one, the busy ones and the crashing one.
        size_t expectedThreads = 0;
        std::ifstream(m_caches + "/threads") >> expectedThreads;
        EXPECT_GE(expectedThreads, size_t(1 + test.extraThreads));
        expectedThreads += test.crashOnSecondaryThread ? 1 : 0;
#if defined(__SANITIZE_THREAD__)
        EXPECT_GE(report->threads().size(), expectedThreads); // the sanitizer starts threads of its own
#else
        EXPECT_EQ(report->threads().size(), expectedThreads);
#endif
        Ref<HBRPMCrashReportThreadInfo> crashed;
        for (const auto& thread : report->threads()) {
            if (thread->crashed())
                crashed = thread;
            else
                EXPECT_TRUE(thread->registers().empty());
        }
        ASSERT_TRUE(crashed);
        ASSERT_EQ(crashed->registers().size(), 18u);
        EXPECT_EQ(crashed->registers()[0]->registerName(), "rip");
        EXPECT_EQ(crashed->registers()[1]->registerName(), "rbp");
        EXPECT_EQ(crashed->registers()[2]->registerName(), "rsp");

        // The walk goes through our own frames: frames in the test program follow the crash.
        // For an uncaught exception the stack that matters is the one of the throw.
        const HBRPMCrashReportFrames& walked
            = test.exceptionName && report->hasExceptionInfo() && report->exceptionInfo()->stackFrames()
            ? *report->exceptionInfo()->stackFrames()
            : crashed->stackFrames();
        int ownFrames = 0;
        for (const auto& frame : walked) {
            auto image = report->imageForAddress(frame->instructionPointer());
            if (image && image->imageName() == executable)
                ++ownFrames;
        }
        EXPECT_GE(ownFrames, 2);
        if (std::string(test.name) == "null pointer") {
            ASSERT_TRUE(crashed->stackFrames()[0]->symbolInfo());
            EXPECT_EQ(crashed->stackFrames()[0]->symbolInfo()->symbolName(), "crashTestNullPointer");
        }

        // Images carry their build ids and the x86_64 CPU type.
        ASSERT_FALSE(report->images().empty());
        auto ownImage = std::find_if(report->images().begin(), report->images().end(),
            [&](const auto& image) { return image->imageName() == executable; });
        ASSERT_NE(ownImage, report->images().end());
        EXPECT_TRUE((*ownImage)->hasImageUUID());
        EXPECT_EQ(HBRCrashReportTextFormatter::archNameFromImageInfo(**ownImage), "x86_64");

        if (test.exceptionName) {
            ASSERT_TRUE(report->hasExceptionInfo());
            EXPECT_EQ(report->exceptionInfo()->exceptionName(), test.exceptionName);
            EXPECT_EQ(report->exceptionInfo()->exceptionReason(), "flight data feed exploded");
            ASSERT_TRUE(report->exceptionInfo()->stackFrames());
            if (std::string(test.exceptionName) == NSInternalInconsistencyException) {
                // The application's handler ran too, before the process ended.
                std::ifstream marker(m_caches + "/uncaught-handler");
                std::string text((std::istreambuf_iterator<char>(marker)), std::istreambuf_iterator<char>());
                EXPECT_EQ(text, NSInternalInconsistencyException);
            }
        } else {
            EXPECT_FALSE(report->hasExceptionInfo());
        }

        std::string text = HBRCrashReportTextFormatter::stringValueForCrashReport(*report, "key");
        EXPECT_NE(text.find(std::string("Exception Type:  ") + test.signalName + "\n"), std::string::npos);
        EXPECT_NE(text.find("Code Type:       X86-64\n"), std::string::npos);
        EXPECT_NE(text.find("Thread " + std::to_string(crashed->threadNumber()) + " Crashed:\n"), std::string::npos);
        EXPECT_NE(text.find("crashed with X86-64 Thread State:\n"), std::string::npos);
        EXPECT_NE(text.find("Binary Images:\n"), std::string::npos);
    }
}

TEST_F(CrashReporterCrash, AStackOverflowOnAPlatformThreadLeavesALog)
{
    // The handler runs on the overflowing thread's own alternate signal stack.
    CrashCase test { "overflow", crashTestOverflowOnPlatformThread, SIGSEGV, "SIGSEGV", "SEGV_MAPERR", 0, false,
        nullptr };
    ChildResult result = runCrashingChild(test, m_caches);
    ASSERT_TRUE(WIFSIGNALED(result.status)) << "exit status " << result.status;
    EXPECT_EQ(WTERMSIG(result.status), SIGSEGV);
    ASSERT_GT(result.log.size(), 8u);
    Ref<NSError> error;
    auto report = HBRPMCrashReport::initWithData(result.log, &error);
    ASSERT_TRUE(report) << (error ? error->localizedDescription() : "");
    EXPECT_EQ(report->signalInfo()->name(), "SIGSEGV");
    size_t crashed = 0;
    for (const auto& thread : report->threads())
        crashed += thread->crashed();
    EXPECT_EQ(crashed, 1u);
    EXPECT_GE(report->threads().size(), 2u);
}

} // namespace
