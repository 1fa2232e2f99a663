#pragma once

#include "foundation/Ref.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The crashed process and its parent. Part of a decoded crash report; immutable, any thread.
class HBRPMCrashReportProcessInfo {
public:
    HBRPMCrashReportProcessInfo(std::optional<std::string> name, uint32_t processID, std::optional<std::string> path,
        std::optional<double> startTime, std::optional<std::string> parentName, uint32_t parentProcessID, bool native)
        : m_name(std::move(name))
        , m_processID(processID)
        , m_path(std::move(path))
        , m_startTime(startTime)
        , m_parentName(std::move(parentName))
        , m_parentProcessID(parentProcessID)
        , m_native(native)
    {
    }
    const std::optional<std::string>& processName() const { return m_name; }
    uint32_t processID() const { return m_processID; }
    const std::optional<std::string>& processPath() const { return m_path; }
    std::optional<double> processStartTime() const { return m_startTime; }
    const std::optional<std::string>& parentProcessName() const { return m_parentName; }
    uint32_t parentProcessID() const { return m_parentProcessID; }
    bool native() const { return m_native; }

private:
    std::optional<std::string> m_name;
    uint32_t m_processID;
    std::optional<std::string> m_path;
    std::optional<double> m_startTime;
    std::optional<std::string> m_parentName;
    uint32_t m_parentProcessID;
    bool m_native;
};
