#pragma once

#include <source_location>

// Checks that code documented as "main thread only" runs on the main thread. The check is on in
// builds without NDEBUG and in every test program (the testing main turns it on); elsewhere it
// costs one relaxed load. A failed check is a bug in the caller: it prints where and aborts.
bool mainThreadChecksEnabled();
void setMainThreadChecksEnabled(bool enabled);

[[noreturn]] void reportNotOnMainThread(const std::source_location& location);
bool isOnMainThread();

inline void assertIsMainThread(const std::source_location location = std::source_location::current())
{
    if (mainThreadChecksEnabled() && !isOnMainThread())
        reportNotOnMainThread(location);
}
