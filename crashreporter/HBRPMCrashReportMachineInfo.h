#pragma once

#include "crashreporter/HBRPMCrashReportProcessorInfo.h"
#include "foundation/Ref.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The device model and its processors. Part of a decoded crash report; immutable, any thread.
class HBRPMCrashReportMachineInfo {
public:
    HBRPMCrashReportMachineInfo(std::optional<std::string> modelName, Ref<HBRPMCrashReportProcessorInfo> processor,
        uint32_t processorCount, uint32_t logicalProcessorCount)
        : m_modelName(std::move(modelName))
        , m_processor(std::move(processor))
        , m_processorCount(processorCount)
        , m_logicalProcessorCount(logicalProcessorCount)
    {
    }
    const std::optional<std::string>& modelName() const { return m_modelName; }
    const Ref<HBRPMCrashReportProcessorInfo>& processorInfo() const { return m_processor; }
    uint32_t processorCount() const { return m_processorCount; }
    uint32_t logicalProcessorCount() const { return m_logicalProcessorCount; }

private:
    std::optional<std::string> m_modelName;
    Ref<HBRPMCrashReportProcessorInfo> m_processor;
    uint32_t m_processorCount;
    uint32_t m_logicalProcessorCount;
};
