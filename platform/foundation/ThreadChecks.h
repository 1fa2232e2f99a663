#pragma once

// Checks that code documented as "main thread only" runs on the main thread. The check is on in
// builds without NDEBUG and in every test program (the testing main turns it on); elsewhere it
// costs one relaxed load. A failed check is a bug in the caller: it prints where and aborts.
bool mainThreadChecksEnabled();
void setMainThreadChecksEnabled(bool enabled);

[[noreturn]] void reportNotOnMainThread(const char* file, unsigned line, const char* function);
bool isOnMainThread();

// The caller's place comes from the compiler builtins rather than std::source_location, which
// the standard library only offers with compilers that have its own builtin (not clang 14).
inline void assertIsMainThread(
    const char* file = __builtin_FILE(), unsigned line = __builtin_LINE(), const char* function = __builtin_FUNCTION())
{
    if (mainThreadChecksEnabled() && !isOnMainThread())
        reportNotOnMainThread(file, line, function);
}
