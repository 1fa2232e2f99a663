#pragma once

#include "foundation/Ref.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The operating system, its version and build, the architecture and the time of the crash. Part of
// a decoded crash report; immutable, any thread.
class HBRPMCrashReportSystemInfo {
public:
    HBRPMCrashReportSystemInfo(int32_t operatingSystem, std::string version, std::optional<std::string> build,
        int32_t architecture, std::optional<double> timestamp)
        : m_operatingSystem(operatingSystem)
        , m_version(std::move(version))
        , m_build(std::move(build))
        , m_architecture(architecture)
        , m_timestamp(timestamp)
    {
    }
    int32_t operatingSystem() const { return m_operatingSystem; }
    const std::string& operatingSystemVersion() const { return m_version; }
    const std::optional<std::string>& operatingSystemBuild() const { return m_build; }
    int32_t architecture() const { return m_architecture; }
    // Seconds since 1970; nullopt when the log had 0.
    std::optional<double> timestamp() const { return m_timestamp; }

private:
    int32_t m_operatingSystem;
    std::string m_version;
    std::optional<std::string> m_build;
    int32_t m_architecture;
    std::optional<double> m_timestamp;
};
