#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>

// Facts about the host and about processes, read from uname, sysconf and /proc. Not
// signal-safe: callers read them while the process is healthy and keep plain copies.
namespace vxos {

struct ProcessRecord {
    pid_t processID = 0;
    pid_t parentProcessID = 0;
    std::string name; // the command name
    int64_t startSeconds = 0; // start time, seconds since 1970
    int32_t startMicroseconds = 0;
    bool traced = false; // a tracer (debugger) is attached
};

// The record of a process, or nullopt when /proc has none.
std::optional<ProcessRecord> processRecord(pid_t pid);

// The kernel release ("6.1.0-18-amd64") and build ("#1 SMP ..."), empty when uname fails.
std::string kernelRelease();
std::string kernelVersion();

// The running executable's path, empty when unknown.
std::string executablePath();

// Processor counts (0 when unknown).
uint32_t physicalProcessorCount();
uint32_t logicalProcessorCount();

// The simulated device's model ("hw.machine") and system version. Tests may replace them.
std::string machineModel();
std::string systemVersion();
void setMachineModel(std::string model);
void setSystemVersion(std::string version);

} // namespace vxos
