#pragma once

#include "foundation/NSString.h"

#include <functional>
#include <string>
#include <string_view>

// The system log. Messages go to standard error with a time stamp, or to a sink that tests
// install to capture the exact texts. Any thread.
void NSLogv(std::string_view message);

template <typename... Args> void NSLog(std::string_view format, const Args&... args)
{
    NSLogv(NSString::stringWithFormat(format, args...));
}

using NSLogSink = std::function<void(const std::string& message)>;
// Installs a sink (nullptr restores standard error); returns the previous one.
NSLogSink setNSLogSink(NSLogSink sink);
