#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <cstdint>
#include <string>
#include <vector>

// Facts about the running process and its host. Any thread.
class NSProcessInfo : public NSObject {
    VX_OBJECT(NSProcessInfo, NSObject)
public:
    explicit NSProcessInfo(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<NSProcessInfo> processInfo();

    std::string processName() const;
    int32_t processIdentifier() const;
    // Environment variables as a dictionary of strings, read when asked.
    Value environment() const;
    std::vector<std::string> arguments() const;
    // A different string on every call: a random UUID, the process id and a counter.
    std::string globallyUniqueString() const;
    std::string hostName() const;
    std::string operatingSystemVersionString() const;
    uint64_t physicalMemory() const;
    uint32_t processorCount() const;
    uint32_t activeProcessorCount() const;
    // Seconds on the process's monotonic clock (the clock seam's media time).
    double systemUptime() const;
};
