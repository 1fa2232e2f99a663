#pragma once

#include <cstdint>

// How the crash reporter captures crashes and names frames. Immutable; any thread.
class HBRPMCrashReporterConfig {
public:
    enum SignalHandlerType : uint32_t { BSD = 0, Mach = 1 };
    // Bit set: 1 names from symbol tables, 2 names from runtime metadata.
    enum SymbolicationStrategy : uint32_t { None = 0, SymbolTable = 1, ObjC = 2, All = 3 };

    HBRPMCrashReporterConfig() = default;
    HBRPMCrashReporterConfig(uint32_t signalHandlerType, uint32_t symbolicationStrategy)
        : m_signalHandlerType(signalHandlerType)
        , m_symbolicationStrategy(symbolicationStrategy)
    {
    }
    static HBRPMCrashReporterConfig defaultConfiguration() { return {}; }
    static HBRPMCrashReporterConfig initWithSignalHandlerType(uint32_t type, uint32_t strategy)
    {
        return { type, strategy };
    }

    uint32_t signalHandlerType() const { return m_signalHandlerType; }
    uint32_t symbolicationStrategy() const { return m_symbolicationStrategy; }

private:
    uint32_t m_signalHandlerType = 0;
    uint32_t m_symbolicationStrategy = 0;
};
