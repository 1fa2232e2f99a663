#pragma once

#include "foundation/Ref.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The signal the process died of: name, code name and fault address. Part of a decoded crash
// report; immutable, any thread.
class HBRPMCrashReportSignalInfo {
public:
    HBRPMCrashReportSignalInfo(std::string name, std::string code, uint64_t address)
        : m_name(std::move(name))
        , m_code(std::move(code))
        , m_address(address)
    {
    }
    const std::string& name() const { return m_name; }
    const std::string& code() const { return m_code; }
    uint64_t address() const { return m_address; }

private:
    std::string m_name;
    std::string m_code;
    uint64_t m_address;
};
