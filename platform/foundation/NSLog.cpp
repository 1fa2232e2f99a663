#include "foundation/NSLog.h"

#include <cstdio>
#include <mutex>

namespace {
std::mutex s_lock;
NSLogSink s_sink;
} // namespace

void NSLogv(std::string_view message)
{
    NSLogSink sink;
    {
        std::lock_guard lock(s_lock);
        sink = s_sink;
    }
    if (sink) {
        sink(std::string(message));
        return;
    }
    std::fprintf(stderr, "Volantrix: %.*s\n", static_cast<int>(message.size()), message.data());
}

NSLogSink setNSLogSink(NSLogSink sink)
{
    std::lock_guard lock(s_lock);
    std::swap(s_sink, sink);
    return sink;
}
