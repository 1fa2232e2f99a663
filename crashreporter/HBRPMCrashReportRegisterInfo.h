#pragma once

#include "foundation/Ref.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One register of the crashed thread. Part of a decoded crash report; immutable, any thread.
class HBRPMCrashReportRegisterInfo {
public:
    HBRPMCrashReportRegisterInfo(std::string name, uint64_t value)
        : m_name(std::move(name))
        , m_value(value)
    {
    }
    const std::string& registerName() const { return m_name; }
    uint64_t registerValue() const { return m_value; }

private:
    std::string m_name;
    uint64_t m_value;
};

using HBRPMCrashReportFrames = std::vector<Ref<HBRPMCrashReportStackFrameInfo>>;
