#pragma once

#include "foundation/Ref.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A processor or code type: type encoding (1: Mach CPU numbers), type and subtype. Part of a
// decoded crash report; immutable, any thread.
class HBRPMCrashReportProcessorInfo {
public:
    HBRPMCrashReportProcessorInfo(int32_t typeEncoding, uint64_t type, uint64_t subtype)
        : m_typeEncoding(typeEncoding)
        , m_type(type)
        , m_subtype(subtype)
    {
    }
    int32_t typeEncoding() const { return m_typeEncoding; }
    uint64_t type() const { return m_type; }
    uint64_t subtype() const { return m_subtype; }

private:
    int32_t m_typeEncoding;
    uint64_t m_type;
    uint64_t m_subtype;
};
