#pragma once

#include "crashreporter/HBRPMCrashReportRegisterInfo.h"
#include "crashreporter/HBRPMCrashReportStackFrameInfo.h"
#include "foundation/Ref.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One thread: its number, frames, crashed flag and (crashed thread only) registers. Part of a
// decoded crash report; immutable, any thread.
class HBRPMCrashReportThreadInfo {
public:
    HBRPMCrashReportThreadInfo(int32_t number, HBRPMCrashReportFrames frames, bool crashed,
        std::vector<Ref<HBRPMCrashReportRegisterInfo>> registers)
        : m_number(number)
        , m_frames(std::move(frames))
        , m_crashed(crashed)
        , m_registers(std::move(registers))
    {
    }
    int32_t threadNumber() const { return m_number; }
    const HBRPMCrashReportFrames& stackFrames() const { return m_frames; }
    bool crashed() const { return m_crashed; }
    const std::vector<Ref<HBRPMCrashReportRegisterInfo>>& registers() const { return m_registers; }

private:
    int32_t m_number;
    HBRPMCrashReportFrames m_frames;
    bool m_crashed;
    std::vector<Ref<HBRPMCrashReportRegisterInfo>> m_registers;
};
