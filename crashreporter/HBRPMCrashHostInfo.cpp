#include "crashreporter/HBRPMCrashHostInfo.h"

#include "foundation/NSLog.h"
#include "os/OSHost.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

Ref<HBRPMCrashHostInfo> HBRPMCrashHostInfo::init()
{
    std::string release = vxos::kernelRelease();
    if (release.empty()) {
        int error = errno;
        NSLog("Failed to fetch kern.osrelease value %d: %s", error, std::strerror(error));
        return nullptr;
    }
    return initWithRelease(release);
}

Ref<HBRPMCrashHostInfo> HBRPMCrashHostInfo::initWithRelease(const std::string& release)
{
    PMCrashHostInfoVersion version { 0, 0, 0 };
    if (std::sscanf(release.c_str(), "%u.%u.%u", &version.major, &version.minor, &version.revision) != 3)
        NSLog("Unexpected kern.osrelease string format: %@", release);
    return std::make_shared<HBRPMCrashHostInfo>(version);
}
