#pragma once

#include "crashreporter/HBRPMCrashReportApplicationInfo.h"
#include "crashreporter/HBRPMCrashReportBinaryImageInfo.h"
#include "crashreporter/HBRPMCrashReportExceptionInfo.h"
#include "crashreporter/HBRPMCrashReportMachExceptionInfo.h"
#include "crashreporter/HBRPMCrashReportMachineInfo.h"
#include "crashreporter/HBRPMCrashReportProcessInfo.h"
#include "crashreporter/HBRPMCrashReportSignalInfo.h"
#include "crashreporter/HBRPMCrashReportSystemInfo.h"
#include "crashreporter/HBRPMCrashReportThreadInfo.h"
#include "foundation/NSError.h"
#include "foundation/Ref.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A decoded crash log: the header is checked, the message unpacked, and each section turned
// into an immutable model object. A log that lacks a required part is rejected as a whole with
// an error of "PMCrashReporterErrorDomain" naming the missing part. Any thread; immutable.
class HBRPMCrashReport {
public:
    // Nil (nullptr) and `error` filled when the bytes are not a valid crash log.
    static Ref<HBRPMCrashReport> initWithData(const std::vector<uint8_t>& data, Ref<NSError>* error);

    const Ref<HBRPMCrashReportSystemInfo>& systemInfo() const { return m_systemInfo; }
    bool hasMachineInfo() const { return m_machineInfo != nullptr; }
    const Ref<HBRPMCrashReportMachineInfo>& machineInfo() const { return m_machineInfo; }
    const Ref<HBRPMCrashReportApplicationInfo>& applicationInfo() const { return m_applicationInfo; }
    bool hasProcessInfo() const { return m_processInfo != nullptr; }
    const Ref<HBRPMCrashReportProcessInfo>& processInfo() const { return m_processInfo; }
    const Ref<HBRPMCrashReportSignalInfo>& signalInfo() const { return m_signalInfo; }
    const Ref<HBRPMCrashReportMachExceptionInfo>& machExceptionInfo() const { return m_machExceptionInfo; }
    const std::vector<Ref<HBRPMCrashReportThreadInfo>>& threads() const { return m_threads; }
    const std::vector<Ref<HBRPMCrashReportBinaryImageInfo>>& images() const { return m_images; }
    bool hasExceptionInfo() const { return m_exceptionInfo != nullptr; }
    const Ref<HBRPMCrashReportExceptionInfo>& exceptionInfo() const { return m_exceptionInfo; }
    // The report's 16 UUID bytes, nullopt when the log had none.
    const std::optional<std::array<uint8_t, 16>>& uuidRef() const { return m_uuid; }
    // The UUID as upper-case text with dashes ("E621E1F8-C36C-495A-93FC-0C247A3E6E5F").
    std::optional<std::string> uuidString() const;

    // The first image whose [base, base + size) holds `address`, or nullptr.
    Ref<HBRPMCrashReportBinaryImageInfo> imageForAddress(uint64_t address) const;

    HBRPMCrashReport() = default;

private:
    Ref<HBRPMCrashReportSystemInfo> m_systemInfo;
    Ref<HBRPMCrashReportMachineInfo> m_machineInfo;
    Ref<HBRPMCrashReportApplicationInfo> m_applicationInfo;
    Ref<HBRPMCrashReportProcessInfo> m_processInfo;
    Ref<HBRPMCrashReportSignalInfo> m_signalInfo;
    Ref<HBRPMCrashReportMachExceptionInfo> m_machExceptionInfo;
    std::vector<Ref<HBRPMCrashReportThreadInfo>> m_threads;
    std::vector<Ref<HBRPMCrashReportBinaryImageInfo>> m_images;
    Ref<HBRPMCrashReportExceptionInfo> m_exceptionInfo;
    std::optional<std::array<uint8_t, 16>> m_uuid;
};
