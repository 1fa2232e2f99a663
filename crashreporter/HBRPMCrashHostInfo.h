#pragma once

#include "foundation/Ref.h"

#include <cstdint>
#include <string>

// The kernel's release number as major.minor.revision. Immutable; any thread.
class HBRPMCrashHostInfo {
public:
    struct PMCrashHostInfoVersion {
        uint32_t major;
        uint32_t minor;
        uint32_t revision;
    };

    // Nil (nullptr) when the release cannot be read. A release of another form logs
    // "Unexpected kern.osrelease string format: %@" and keeps what was scanned.
    static Ref<HBRPMCrashHostInfo> init();
    static Ref<HBRPMCrashHostInfo> currentHostInfo() { return init(); }
    // Scans `release` the same way (test seam).
    static Ref<HBRPMCrashHostInfo> initWithRelease(const std::string& release);

    PMCrashHostInfoVersion darwinVersion() const { return m_version; }

    explicit HBRPMCrashHostInfo(PMCrashHostInfoVersion version)
        : m_version(version)
    {
    }

private:
    PMCrashHostInfoVersion m_version;
};
