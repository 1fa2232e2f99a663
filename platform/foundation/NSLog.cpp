#include "foundation/NSLog.h"

#include "foundation/Locked.h"

#include <cstdio>

namespace {
Locked<NSLogSink> s_sink;
} // namespace

void NSLogv(std::string_view message)
{
    NSLogSink sink = s_sink.get();
    if (sink) {
        sink(std::string(message));
        return;
    }
    std::fprintf(stderr, "Volantrix: %.*s\n", static_cast<int>(message.size()), message.data());
}

NSLogSink setNSLogSink(NSLogSink sink)
{
    return s_sink.exchange(std::move(sink));
}
