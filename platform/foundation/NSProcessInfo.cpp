#include "foundation/NSProcessInfo.h"

#include "foundation/Clock.h"
#include "foundation/Random.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sys/utsname.h>
#include <unistd.h>

extern char** environ;

Ref<NSProcessInfo> NSProcessInfo::processInfo()
{
    static const Ref<NSProcessInfo> s_info = make<NSProcessInfo>();
    return s_info;
}

std::string NSProcessInfo::processName() const
{
    std::vector<std::string> args = arguments();
    if (!args.empty() && !args[0].empty()) {
        size_t slash = args[0].rfind('/');
        return slash == std::string::npos ? args[0] : args[0].substr(slash + 1);
    }
    std::ifstream comm("/proc/self/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

int32_t NSProcessInfo::processIdentifier() const
{
    return static_cast<int32_t>(::getpid());
}

Value NSProcessInfo::environment() const
{
    Value result = Value::mutableDictionary();
    for (char** entry = environ; entry && *entry; ++entry) {
        std::string_view item(*entry);
        size_t equals = item.find('=');
        if (equals == std::string_view::npos || equals == 0)
            continue;
        result.setObjectForKey(Value(item.substr(equals + 1)), Value(item.substr(0, equals)));
    }
    return result.copy();
}

std::vector<std::string> NSProcessInfo::arguments() const
{
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    std::string contents((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    size_t start = 0;
    while (start < contents.size()) {
        size_t end = contents.find('\0', start);
        if (end == std::string::npos)
            end = contents.size();
        args.push_back(contents.substr(start, end - start));
        start = end + 1;
    }
    return args;
}

std::string NSProcessInfo::globallyUniqueString() const
{
    static std::atomic<uint64_t> s_counter { 0 };
    uint8_t bytes[16];
    Random::arc4random_buf(bytes, sizeof(bytes));
    bytes[6] = (bytes[6] & 0x0F) | 0x40;
    bytes[8] = (bytes[8] & 0x3F) | 0x80;
    char text[96];
    std::snprintf(text, sizeof(text), "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X-%d-%016llX",
        bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8], bytes[9], bytes[10],
        bytes[11], bytes[12], bytes[13], bytes[14], bytes[15], processIdentifier(),
        static_cast<unsigned long long>(++s_counter));
    return text;
}

std::string NSProcessInfo::hostName() const
{
    char name[256] = {};
    if (::gethostname(name, sizeof(name) - 1) != 0)
        return "localhost";
    return name;
}

std::string NSProcessInfo::operatingSystemVersionString() const
{
    struct utsname info;
    if (::uname(&info) != 0)
        return "Version unknown";
    return std::string("Version ") + info.release + " (" + info.sysname + ")";
}

uint64_t NSProcessInfo::physicalMemory() const
{
    long pages = ::sysconf(_SC_PHYS_PAGES);
    long size = ::sysconf(_SC_PAGESIZE);
    return pages > 0 && size > 0 ? static_cast<uint64_t>(pages) * static_cast<uint64_t>(size) : 0;
}

uint32_t NSProcessInfo::processorCount() const
{
    long count = ::sysconf(_SC_NPROCESSORS_CONF);
    return count > 0 ? static_cast<uint32_t>(count) : 1;
}

uint32_t NSProcessInfo::activeProcessorCount() const
{
    long count = ::sysconf(_SC_NPROCESSORS_ONLN);
    return count > 0 ? static_cast<uint32_t>(count) : 1;
}

double NSProcessInfo::systemUptime() const
{
    return Clock::mediaTime();
}

VX_REGISTER_CLASS(NSProcessInfo);
