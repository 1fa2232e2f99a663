#pragma once

#include "crashreporter/HBRPMCrashReporterConfig.h"
#include "foundation/NSError.h"
#include "foundation/Ref.h"

#include <csignal>
#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// The entry point of the in-process crash reporter. Enabling (once per process) prepares
// everything the crash path needs as plain data and installs the capture paths: handlers for
// the fatal signals and a terminate handler for uncaught exceptions. At a crash the log
// "live_report.pmcrash" is written into the report directory and the process dies of its
// signal. After the next launch the pending log is read and purged through this class.
// Any thread; the crash paths allocate nothing and take no locks.

struct PMCrashReporterCallbacks {
    uint16_t version; // must be 0
    void* context;
    // Called after the log was written, on the crashing thread, in the signal handler.
    void (*crashCallback)(siginfo_t* info, void* ucontext, void* context);
};

class HBRPMCrashReporter {
public:
    // The process-wide instance with the default configuration, created once.
    static Ref<HBRPMCrashReporter> sharedReporter();
    // Identifier from the process name (with the warning line), version "".
    static Ref<HBRPMCrashReporter> initWithConfiguration(const HBRPMCrashReporterConfig& config);
    static Ref<HBRPMCrashReporter> initWithApplicationIdentifierAppVersionConfiguration(
        const std::string& identifier, const std::string& version, const HBRPMCrashReporterConfig& config);

    // The caches directory the report directory lives in (the sandbox's Library/Caches unless set).
    static std::string cachesDirectory();
    static void setCachesDirectory(std::string directory);

    const std::string& crashReportDirectory() const { return m_crashReportDirectory; }
    std::string queuedCrashReportDirectory() const { return m_crashReportDirectory + "/queued_reports"; }
    std::string crashReportPath() const { return m_crashReportDirectory + "/live_report.pmcrash"; }

    bool hasPendingCrashReport() const;
    std::optional<std::vector<uint8_t>> loadPendingCrashReportDataAndReturnError(Ref<NSError>* error) const;
    std::optional<std::vector<uint8_t>> loadPendingCrashReportData() const
    {
        return loadPendingCrashReportDataAndReturnError(nullptr);
    }
    bool purgePendingCrashReportAndReturnError(Ref<NSError>* error) const;
    bool purgePendingCrashReport() const { return purgePendingCrashReportAndReturnError(nullptr); }
    bool populateCrashReportDirectoryAndReturnError(Ref<NSError>* error) const;

    // Raises "PMCrashReporterException" when this reporter is already enabled.
    void setCrashCallbacks(const PMCrashReporterCallbacks* callbacks);
    bool enableCrashReporterAndReturnError(Ref<NSError>* error);
    bool enableCrashReporter() { return enableCrashReporterAndReturnError(nullptr); }

    // A crash log of the given thread (a kernel thread id) written on demand, or nullopt.
    std::optional<std::vector<uint8_t>> generateLiveReportWithThread(pid_t thread, Ref<NSError>* error);
    std::optional<std::vector<uint8_t>> generateLiveReportAndReturnError(Ref<NSError>* error);

    // Brings the crash-time image list in line with the loaded images; call at safe points
    // after libraries were loaded (enabling does it once).
    static void refreshImageList();

    static uint32_t mapToAsyncSymbolicationStrategy(uint32_t strategy) { return strategy == 0 ? 0 : (strategy & 3); }

    const HBRPMCrashReporterConfig& config() const { return m_config; }
    const std::string& applicationIdentifier() const { return m_applicationIdentifier; }
    const std::string& applicationVersion() const { return m_applicationVersion; }
    bool isEnabled() const { return m_enabled; }

    HBRPMCrashReporter(std::string identifier, std::string version, const HBRPMCrashReporterConfig& config);

private:
    HBRPMCrashReporterConfig m_config;
    bool m_enabled = false;
    std::string m_applicationIdentifier;
    std::string m_applicationVersion;
    std::string m_crashReportDirectory;
};
