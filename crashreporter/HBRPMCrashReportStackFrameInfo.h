#pragma once

#include "crashreporter/HBRPMCrashReportSymbolInfo.h"
#include "foundation/Ref.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One frame of a stack: its instruction pointer and, when found, its symbol. Part of a decoded
// crash report; immutable, any thread.
class HBRPMCrashReportStackFrameInfo {
public:
    HBRPMCrashReportStackFrameInfo(uint64_t instructionPointer, Ref<HBRPMCrashReportSymbolInfo> symbol)
        : m_instructionPointer(instructionPointer)
        , m_symbol(std::move(symbol))
    {
    }
    uint64_t instructionPointer() const { return m_instructionPointer; }
    const Ref<HBRPMCrashReportSymbolInfo>& symbolInfo() const { return m_symbol; }

private:
    uint64_t m_instructionPointer;
    Ref<HBRPMCrashReportSymbolInfo> m_symbol;
};

using HBRPMCrashReportFrames = std::vector<Ref<HBRPMCrashReportStackFrameInfo>>;
