#pragma once

#include "foundation/Ref.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The Mach exception behind the signal, when there was one. Part of a decoded crash report;
// immutable, any thread.
class HBRPMCrashReportMachExceptionInfo {
public:
    HBRPMCrashReportMachExceptionInfo(uint64_t type, std::vector<uint64_t> codes)
        : m_type(type)
        , m_codes(std::move(codes))
    {
    }
    uint64_t type() const { return m_type; }
    const std::vector<uint64_t>& codes() const { return m_codes; }

private:
    uint64_t m_type;
    std::vector<uint64_t> m_codes;
};
