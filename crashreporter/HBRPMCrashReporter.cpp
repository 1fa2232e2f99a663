#include "crashreporter/HBRPMCrashReporter.h"

#include "crashreporter/HBRPMCrashSignalHandler.h"
#include "crashreporter/PMCrashAsync.h"
#include "crashreporter/PMCrashCapturePaths.h"
#include "crashreporter/PMCrashFrameCursor.h"
#include "crashreporter/PMCrashImageList.h"
#include "crashreporter/PMCrashLogWriter.h"
#include "crashreporter/PMCrashReporterError.h"
#include "foundation/Locked.h"
#include "foundation/NSException.h"
#include "foundation/NSLog.h"
#include "foundation/Sandbox.h"
#include "os/OSSignals.h"
#include "os/OSThreads.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <typeinfo>
#include <ucontext.h>
#include <unistd.h>

namespace {

// Size limit of a crash log.
constexpr uint64_t kCrashLogLimit = 65536;

struct HandlerContext {
    pmcrash_log_writer_t writer;
    char path[4096];
    // The exception ports registered before this reporter's (none on this platform).
    pmcrash_mach_exception_port_set_t previous_ports;
};

HandlerContext s_handlerContext;
PMCrashReporterCallbacks s_callbacks;
Locked<bool> s_enabledOnce { false };
Locked<std::string> s_cachesDirectory;

// Created on first use with the images loaded at that time; lives until the process ends.
pmcrash_image_list_t& imageList()
{
    static auto* list = [] {
        auto* images = new pmcrash_image_list_t;
        pmcrash_image_list_sync(images);
        return images;
    }();
    return *list;
}

// Signal-safe: writes the crash log of the context's path.
int pmcrash_write_report(HandlerContext* context, pid_t crashedThread, const pmcrash_thread_state_t* state,
    const pmcrash_signal_info_t* signal)
{
    int fd = open(context->path, O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return PMCRASH_OUTPUT_ERR;
    pmcrash_async_file_t file;
    pmcrash_async_file_init(&file, fd, kCrashLogLimit);
    int result = pmcrash_log_writer_write(&context->writer, crashedThread, &imageList(), &file, signal, state);
    if (!pmcrash_async_file_close(&file))
        return PMCRASH_OUTPUT_ERR;
    return result;
}

// Signal-safe: the signal crash path.
bool pmcrash_signal_crash_callback(int signal, siginfo_t* info, void* ucontext, void* context, pmcrash_signal_next*)
{
    // Restore the default actions first, so that any failure below ends the process.
    static const int kFatal[] = { SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGSEGV, SIGTRAP };
    for (int fatal : kFatal) {
        struct sigaction action;
        pmcrash_memset(&action, 0, sizeof(action));
        action.sa_handler = SIG_DFL;
        sigemptyset(&action.sa_mask);
        sigaction(fatal, &action, nullptr);
    }
    pmcrash_thread_state_t state;
    pmcrash_thread_state_from_ucontext(&state, ucontext);
    int platformSignal = vxos::platformSignalNumber(info->si_signo);
    pmcrash_signal_info_t record { platformSignal, vxos::platformSignalCode(platformSignal, info->si_code),
        vxos::signalFaultAddress(*info), nullptr };
    int result = pmcrash_write_report(static_cast<HandlerContext*>(context), vxos::currentThreadId(), &state, &record);
    if (result == PMCRASH_ESUCCESS && s_callbacks.crashCallback)
        s_callbacks.crashCallback(info, ucontext, s_callbacks.context);
    (void)signal;
    return false;
}

} // namespace

int32_t pmcrash_mach_crash_callback(uint32_t task, pid_t thread, int32_t exception, const uint64_t* codes,
    uint32_t codeCount, const pmcrash_mach_exception_raiser_t* raiser)
{
    HandlerContext* context = &s_handlerContext;
    if (pmcrash_mach_exception_forward(
            task, static_cast<uint32_t>(thread), exception, codes, codeCount, &context->previous_ports, raiser)
        == PMCRASH_KERN_SUCCESS)
        return PMCRASH_KERN_SUCCESS;
    pmcrash_mach_siginfo_t mapped;
    if (!pmcrash_mach_exception_siginfo(exception, codes, codeCount, -1, &mapped))
        return PMCRASH_KERN_FAILURE;
    pmcrash_mach_info_t mach { exception, codes, codeCount };
    struct Write {
        HandlerContext* context;
        pid_t thread;
        pmcrash_signal_info_t signal;
    } write { context, thread, { mapped.signo, mapped.code, mapped.address, &mach } };
    int result = pmcrash_capture_current_thread(
        [](const pmcrash_thread_state_t* state, void* data) -> int {
            auto* w = static_cast<Write*>(data);
            return pmcrash_write_report(w->context, w->thread, state, &w->signal);
        },
        &write);
    if (result == PMCRASH_ESUCCESS && s_callbacks.crashCallback) {
        siginfo_t info;
        pmcrash_memset(&info, 0, sizeof(info));
        info.si_signo = mapped.signo;
        info.si_code = mapped.code;
        info.si_addr = reinterpret_cast<void*>(mapped.address);
        ucontext_t ucontext;
        pmcrash_memset(&ucontext, 0, sizeof(ucontext));
        s_callbacks.crashCallback(&info, &ucontext, s_callbacks.context);
    }
    return PMCRASH_KERN_FAILURE;
}

namespace {

// The call stack of the thread that is terminating: an uncaught exception is not unwound
// before terminate runs, so this is the stack at the throw.
uint32_t collectReturnAddresses(uint64_t* addresses, uint32_t capacity)
{
    struct Walk {
        uint64_t* addresses;
        uint32_t capacity;
        uint32_t count;
    } walk { addresses, capacity, 0 };
    pmcrash_capture_current_thread(
        [](const pmcrash_thread_state_t* state, void* context) -> int {
            auto* walk = static_cast<Walk*>(context);
            pmcrash_frame_cursor_t cursor;
            pmcrash_frame_cursor_init(&cursor, state, &imageList());
            while (walk->count < walk->capacity && pmcrash_frame_cursor_next(&cursor) == PMCRASH_FRAME_ESUCCESS) {
                uint64_t pc;
                if (pmcrash_frame_cursor_get_reg(&cursor, PMCRASH_REG_IP, &pc) != PMCRASH_FRAME_ESUCCESS)
                    break;
                walk->addresses[walk->count++] = pc;
            }
            return 0;
        },
        &walk);
    return walk.count;
}

std::terminate_handler s_previousTerminate = nullptr;

// The process's uncaught-exception handler while the reporter is enabled, so that code asking
// for it sees the reporter in place; it passes the exception on to the handler installed before.
// The log itself is written by the terminate handler.
NSUncaughtExceptionHandler s_previousUncaughtHandler = nullptr;
void pmcrash_ns_uncaught_exception_handler(NSException& exception)
{
    if (s_previousUncaughtHandler)
        s_previousUncaughtHandler(exception);
}

[[noreturn]] void pmcrash_uncaught_exception_handler()
{
    std::string name = "Unknown";
    std::string reason;
    static uint64_t addresses[PMCRASH_MAX_FRAMES];
    uint32_t count = 0;
    if (std::exception_ptr current = std::current_exception()) {
        if (const std::type_info* type = abi::__cxa_current_exception_type()) {
            int status = 0;
            char* demangled = abi::__cxa_demangle(type->name(), nullptr, nullptr, &status);
            name = status == 0 && demangled ? demangled : type->name();
            std::free(demangled);
        }
        try {
            std::rethrow_exception(current);
        } catch (const NSException& exception) {
            name = exception.name();
            reason = exception.reason();
            // An exception of ours carries the stack where it was made.
            for (uintptr_t address : exception.callStackReturnAddresses()) {
                if (count == PMCRASH_MAX_FRAMES)
                    break;
                addresses[count++] = address;
            }
        } catch (const std::exception& exception) {
            reason = exception.what();
        } catch (...) {
        }
    }
    if (count == 0)
        count = collectReturnAddresses(addresses, PMCRASH_MAX_FRAMES);
    pmcrash_log_writer_set_exception(&s_handlerContext.writer, name.c_str(), reason.c_str(), addresses, count);
    // The handler that was in place before (the application's uncaught-exception handler, say)
    // still runs; the abort that ends it raises the signal that writes the log.
    if (s_previousTerminate && s_previousTerminate != pmcrash_uncaught_exception_handler)
        s_previousTerminate();
    abort();
}

std::string processName()
{
    const char* name = program_invocation_short_name;
    return name ? std::string(name) : std::string();
}

} // namespace

HBRPMCrashReporter::HBRPMCrashReporter(
    std::string identifier, std::string version, const HBRPMCrashReporterConfig& config)
    : m_config(config)
    , m_applicationIdentifier(std::move(identifier))
    , m_applicationVersion(std::move(version))
{
    imageList();
    std::string directoryName = m_applicationIdentifier;
    for (char& c : directoryName) {
        if (c == '/')
            c = '_';
    }
    m_crashReportDirectory = cachesDirectory() + "/com.pmcrash.crashreporter.data/" + directoryName;
}

Ref<HBRPMCrashReporter> HBRPMCrashReporter::sharedReporter()
{
    static Ref<HBRPMCrashReporter> reporter = initWithConfiguration(HBRPMCrashReporterConfig::defaultConfiguration());
    return reporter;
}

Ref<HBRPMCrashReporter> HBRPMCrashReporter::initWithConfiguration(const HBRPMCrashReporterConfig& config)
{
    std::string name = processName();
    if (name.empty())
        NSException::raise(PMCrashReporterException, "Can not determine process identifier or process name");
    NSLog("[PMCrashReporter] Warning -- bundle identifier, using process name %s", name);
    NSLog("[PMCrashReporter] Warning -- bundle version unavailable");
    return std::make_shared<HBRPMCrashReporter>(name, "", config);
}

Ref<HBRPMCrashReporter> HBRPMCrashReporter::initWithApplicationIdentifierAppVersionConfiguration(
    const std::string& identifier, const std::string& version, const HBRPMCrashReporterConfig& config)
{
    return std::make_shared<HBRPMCrashReporter>(identifier, version, config);
}

std::string HBRPMCrashReporter::cachesDirectory()
{
    if (std::string directory = s_cachesDirectory.get(); !directory.empty())
        return directory;
    // The application's caches directory in its sandbox.
    auto caches = NSSearchPathForDirectoriesInDomains(NSCachesDirectory, NSUserDomainMask, true);
    return caches.empty() ? NSTemporaryDirectory() : caches.front();
}

void HBRPMCrashReporter::setCachesDirectory(std::string directory)
{
    s_cachesDirectory.set(std::move(directory));
}

bool HBRPMCrashReporter::hasPendingCrashReport() const
{
    struct stat info;
    return lstat(crashReportPath().c_str(), &info) == 0;
}

std::optional<std::vector<uint8_t>> HBRPMCrashReporter::loadPendingCrashReportDataAndReturnError(
    Ref<NSError>* error) const
{
    std::ifstream in(crashReportPath(), std::ios::binary);
    if (!in) {
        if (error)
            *error = NSError::errorWithDomain(NSPOSIXErrorDomain, errno ? errno : ENOENT);
        return std::nullopt;
    }
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool HBRPMCrashReporter::purgePendingCrashReportAndReturnError(Ref<NSError>* error) const
{
    if (unlink(crashReportPath().c_str()) != 0) {
        if (error)
            *error = NSError::errorWithDomain(NSPOSIXErrorDomain, errno);
        return false;
    }
    return true;
}

bool HBRPMCrashReporter::populateCrashReportDirectoryAndReturnError(Ref<NSError>* error) const
{
    for (const std::string& directory : { m_crashReportDirectory, queuedCrashReportDirectory() }) {
        std::error_code failure;
        std::filesystem::create_directories(directory, failure);
        if (failure) {
            if (error)
                *error = NSError::errorWithDomain(NSPOSIXErrorDomain, failure.value());
            return false;
        }
        chmod(directory.c_str(), 0755);
    }
    return true;
}

void HBRPMCrashReporter::setCrashCallbacks(const PMCrashReporterCallbacks* callbacks)
{
    if (m_enabled)
        NSException::raise(PMCrashReporterException, "The crash reporter has alread been enabled");
    if (!callbacks || callbacks->version != 0) {
        fprintf(stderr, "pmcrash: assertion failed: callbacks->version == 0\n");
        abort();
    }
    s_callbacks.context = callbacks->context;
    s_callbacks.crashCallback = callbacks->crashCallback;
}

void HBRPMCrashReporter::refreshImageList()
{
    pmcrash_image_list_sync(&imageList());
}

bool HBRPMCrashReporter::enableCrashReporterAndReturnError(Ref<NSError>* error)
{
    if (s_enabledOnce.exchange(true)) {
        pmcrash_populate_error(
            error, PMCrashReporterErrorResourceBusy, "A PMCrashReporter instance has already been enabled");
        return false;
    }
    if (!populateCrashReportDirectoryAndReturnError(error))
        return false;
    std::string path = crashReportPath();
    std::strncpy(s_handlerContext.path, path.c_str(), sizeof(s_handlerContext.path) - 1);
    pmcrash_log_writer_init(&s_handlerContext.writer, m_applicationIdentifier.c_str(), m_applicationVersion.c_str(),
        mapToAsyncSymbolicationStrategy(m_config.symbolicationStrategy()), false);
    refreshImageList();
    vxos::installThreadSuspension();

    auto& handler = HBRPMCrashSignalHandler::sharedHandler();
    switch (m_config.signalHandlerType()) {
    case HBRPMCrashReporterConfig::Mach:
        // Mach exception delivery does not exist on this platform.
        if (!handler.registerHandlerForSignal(SIGABRT, pmcrash_signal_crash_callback, &s_handlerContext, error))
            return false;
        pmcrash_populate_error(error, PMCrashReporterErrorOperatingSystem,
            "Failed to instantiate the Mach exception server.", NSError::errorWithDomain(NSPOSIXErrorDomain, ENOTSUP));
        return false;
    case HBRPMCrashReporterConfig::BSD:
        for (int signal : { SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGSEGV, SIGTRAP }) {
            if (!handler.registerHandlerForSignal(signal, pmcrash_signal_crash_callback, &s_handlerContext, error))
                return false;
        }
        break;
    default:
        break;
    }
    std::terminate_handler previous = std::set_terminate(pmcrash_uncaught_exception_handler);
    if (previous != pmcrash_uncaught_exception_handler)
        s_previousTerminate = previous;
    if (NSUncaughtExceptionHandler current = NSGetUncaughtExceptionHandler();
        current != pmcrash_ns_uncaught_exception_handler) {
        s_previousUncaughtHandler = current;
        NSSetUncaughtExceptionHandler(pmcrash_ns_uncaught_exception_handler);
    }
    m_enabled = true;
    return true;
}

std::optional<std::vector<uint8_t>> HBRPMCrashReporter::generateLiveReportWithThread(pid_t thread, Ref<NSError>* error)
{
    std::string path = (std::filesystem::temp_directory_path() / "live_crash_report.XXXXXX").string();
    int fd = mkstemp(path.data());
    if (fd < 0) {
        pmcrash_populate_posix_error(error, errno, "Failed to create temporary path");
        return std::nullopt;
    }
    pmcrash_log_writer_t writer;
    pmcrash_log_writer_init(&writer, m_applicationIdentifier.c_str(), m_applicationVersion.c_str(),
        mapToAsyncSymbolicationStrategy(m_config.symbolicationStrategy()), true);
    pmcrash_signal_info_t signal { SIGTRAP, 2, reinterpret_cast<uint64_t>(__builtin_return_address(0)), nullptr };
    pmcrash_async_file_t file;
    pmcrash_async_file_init(&file, fd, kCrashLogLimit);
    vxos::installThreadSuspension();
    // An ordinary thread may ask the loader, so the list picks up libraries loaded meanwhile.
    refreshImageList();
    int result;
    if (thread == vxos::currentThreadId()) {
        struct Live {
            pmcrash_log_writer_t* writer;
            pmcrash_async_file_t* file;
            pmcrash_signal_info_t* signal;
            pid_t thread;
        } live { &writer, &file, &signal, thread };
        result = pmcrash_capture_current_thread(
            [](const pmcrash_thread_state_t* state, void* context) -> int {
                auto* live = static_cast<Live*>(context);
                return pmcrash_log_writer_write(
                    live->writer, live->thread, &imageList(), live->file, live->signal, state);
            },
            &live);
    } else {
        result = pmcrash_log_writer_write(&writer, thread, &imageList(), &file, &signal, nullptr);
    }
    pmcrash_async_file_close(&file);
    std::optional<std::vector<uint8_t>> bytes;
    if (result != PMCRASH_ESUCCESS) {
        NSLog("Write failed with error %s", pmcrash_async_strerror(result));
        pmcrash_populate_error(error, PMCrashReporterErrorUnknown, "Failed to write the crash report to disk");
    } else {
        std::ifstream in(path, std::ios::binary);
        if (in)
            bytes = std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        else
            pmcrash_populate_error(error, PMCrashReporterErrorUnknown, "Unable to open live crash report for reading");
    }
    pmcrash_log_writer_free(&writer);
    if (unlink(path.c_str()) != 0)
        NSLog("Failure occured deleting live crash report: %s", std::strerror(errno));
    return bytes;
}

std::optional<std::vector<uint8_t>> HBRPMCrashReporter::generateLiveReportAndReturnError(Ref<NSError>* error)
{
    return generateLiveReportWithThread(vxos::currentThreadId(), error);
}
