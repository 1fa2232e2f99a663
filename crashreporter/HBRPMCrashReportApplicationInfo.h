#pragma once

#include "foundation/Ref.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The application identifier and version the reporter was configured with. Part of a decoded crash
// report; immutable, any thread.
class HBRPMCrashReportApplicationInfo {
public:
    HBRPMCrashReportApplicationInfo(std::string identifier, std::string version)
        : m_identifier(std::move(identifier))
        , m_version(std::move(version))
    {
    }
    const std::string& applicationIdentifier() const { return m_identifier; }
    const std::string& applicationVersion() const { return m_version; }

private:
    std::string m_identifier;
    std::string m_version;
};
