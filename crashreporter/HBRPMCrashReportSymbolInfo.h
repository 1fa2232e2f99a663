#pragma once

#include "foundation/Ref.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The symbol that names a frame. Part of a decoded crash report; immutable, any thread.
class HBRPMCrashReportSymbolInfo {
public:
    HBRPMCrashReportSymbolInfo(std::string name, uint64_t startAddress, uint64_t endAddress)
        : m_name(std::move(name))
        , m_startAddress(startAddress)
        , m_endAddress(endAddress)
    {
    }
    const std::string& symbolName() const { return m_name; }
    uint64_t startAddress() const { return m_startAddress; }
    uint64_t endAddress() const { return m_endAddress; }

private:
    std::string m_name;
    uint64_t m_startAddress;
    uint64_t m_endAddress;
};
