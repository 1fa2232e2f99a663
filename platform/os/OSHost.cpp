#include "os/OSHost.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>
#include <sys/utsname.h>
#include <unistd.h>

namespace vxos {

namespace {

std::mutex s_deviceLock;
std::string s_machineModel = "iPad3,4";
std::string s_systemVersion = "7.1";

std::optional<std::string> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

int64_t bootTimeSeconds()
{
    auto stat = readFile("/proc/stat");
    if (!stat)
        return 0;
    auto at = stat->find("\nbtime ");
    if (at == std::string::npos)
        return 0;
    return std::strtoll(stat->c_str() + at + 7, nullptr, 10);
}

} // namespace

std::optional<ProcessRecord> processRecord(pid_t pid)
{
    auto stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    if (!stat)
        return std::nullopt;
    // "pid (comm) state ppid ..."; the name may itself hold parentheses and blanks.
    auto open = stat->find('(');
    auto close = stat->rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open)
        return std::nullopt;
    ProcessRecord record;
    record.processID = pid;
    record.name = stat->substr(open + 1, close - open - 1);
    std::istringstream fields(stat->substr(close + 1));
    std::string field;
    // Fields after the name, counted from 3 (state).
    for (int index = 3; fields >> field; ++index) {
        if (index == 4)
            record.parentProcessID = static_cast<pid_t>(std::strtol(field.c_str(), nullptr, 10));
        if (index == 22) {
            long ticksPerSecond = sysconf(_SC_CLK_TCK);
            unsigned long long ticks = std::strtoull(field.c_str(), nullptr, 10);
            if (ticksPerSecond > 0) {
                record.startSeconds = bootTimeSeconds() + static_cast<int64_t>(ticks / ticksPerSecond);
                record.startMicroseconds = static_cast<int32_t>((ticks % ticksPerSecond) * 1000000 / ticksPerSecond);
            }
            break;
        }
    }
    if (auto status = readFile("/proc/" + std::to_string(pid) + "/status")) {
        auto at = status->find("\nTracerPid:");
        if (at != std::string::npos)
            record.traced = std::strtol(status->c_str() + at + 11, nullptr, 10) != 0;
    }
    return record;
}

std::string kernelRelease()
{
    struct utsname names;
    return uname(&names) == 0 ? std::string(names.release) : std::string();
}

std::string kernelVersion()
{
    struct utsname names;
    return uname(&names) == 0 ? std::string(names.version) : std::string();
}

std::string executablePath()
{
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

uint32_t physicalProcessorCount()
{
    // Distinct (physical id, core id) pairs; falls back to the configured processors.
    if (auto cpuinfo = readFile("/proc/cpuinfo")) {
        std::set<std::pair<long, long>> cores;
        long physical = -1;
        std::istringstream lines(*cpuinfo);
        std::string line;
        while (std::getline(lines, line)) {
            auto colon = line.find(':');
            if (colon == std::string::npos)
                continue;
            long value = std::strtol(line.c_str() + colon + 1, nullptr, 10);
            if (line.rfind("physical id", 0) == 0)
                physical = value;
            else if (line.rfind("core id", 0) == 0)
                cores.insert({ physical, value });
        }
        if (!cores.empty())
            return static_cast<uint32_t>(cores.size());
    }
    long count = sysconf(_SC_NPROCESSORS_CONF);
    return count > 0 ? static_cast<uint32_t>(count) : 0;
}

uint32_t logicalProcessorCount()
{
    long count = sysconf(_SC_NPROCESSORS_CONF);
    return count > 0 ? static_cast<uint32_t>(count) : 0;
}

std::string machineModel()
{
    std::lock_guard lock(s_deviceLock);
    return s_machineModel;
}

std::string systemVersion()
{
    std::lock_guard lock(s_deviceLock);
    return s_systemVersion;
}

void setMachineModel(std::string model)
{
    std::lock_guard lock(s_deviceLock);
    s_machineModel = std::move(model);
}

void setSystemVersion(std::string version)
{
    std::lock_guard lock(s_deviceLock);
    s_systemVersion = std::move(version);
}

} // namespace vxos
