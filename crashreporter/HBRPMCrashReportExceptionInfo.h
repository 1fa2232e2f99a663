#pragma once

#include "crashreporter/HBRPMCrashReportStackFrameInfo.h"
#include "foundation/Ref.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The uncaught exception that ended the process, with the stack of its throw. Part of a decoded
// crash report; immutable, any thread.
class HBRPMCrashReportExceptionInfo {
public:
    HBRPMCrashReportExceptionInfo(
        std::string name, std::string reason, std::optional<HBRPMCrashReportFrames> frames = std::nullopt)
        : m_name(std::move(name))
        , m_reason(std::move(reason))
        , m_frames(std::move(frames))
    {
    }
    const std::string& exceptionName() const { return m_name; }
    const std::string& exceptionReason() const { return m_reason; }
    // nullopt when the exception has no frames.
    const std::optional<HBRPMCrashReportFrames>& stackFrames() const { return m_frames; }

private:
    std::string m_name;
    std::string m_reason;
    std::optional<HBRPMCrashReportFrames> m_frames;
};
