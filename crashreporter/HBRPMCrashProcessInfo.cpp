#include "crashreporter/HBRPMCrashProcessInfo.h"

#include "os/OSHost.h"

#include <unistd.h>

Ref<HBRPMCrashProcessInfo> HBRPMCrashProcessInfo::initWithProcessID(pid_t pid)
{
    auto record = vxos::processRecord(pid);
    if (!record)
        return nullptr;
    return std::make_shared<HBRPMCrashProcessInfo>(record->processID, record->name, record->parentProcessID,
        TimeValue { static_cast<int32_t>(record->startSeconds), record->startMicroseconds }, record->traced);
}

Ref<HBRPMCrashProcessInfo> HBRPMCrashProcessInfo::currentProcessInfo()
{
    return initWithProcessID(getpid());
}
