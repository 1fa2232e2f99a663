#pragma once

#include "foundation/Ref.h"

#include <cstdint>
#include <string>
#include <sys/types.h>

// A process's identity from the kernel's process record. Immutable; any thread.
class HBRPMCrashProcessInfo {
public:
    struct TimeValue {
        int32_t seconds;
        int32_t microseconds;
    };

    // Nil (nullptr) when the kernel has no record of the process.
    static Ref<HBRPMCrashProcessInfo> initWithProcessID(pid_t pid);
    static Ref<HBRPMCrashProcessInfo> currentProcessInfo();

    int32_t processID() const { return m_processID; }
    const std::string& processName() const { return m_processName; }
    int32_t parentProcessID() const { return m_parentProcessID; }
    TimeValue startTime() const { return m_startTime; }
    bool isTraced() const { return m_traced; }

    HBRPMCrashProcessInfo(int32_t pid, std::string name, int32_t parent, TimeValue start, bool traced)
        : m_processID(pid)
        , m_processName(std::move(name))
        , m_parentProcessID(parent)
        , m_startTime(start)
        , m_traced(traced)
    {
    }

private:
    int32_t m_processID;
    std::string m_processName;
    int32_t m_parentProcessID;
    TimeValue m_startTime;
    bool m_traced;
};
