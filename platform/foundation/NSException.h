#pragma once

#include "foundation/FoundationForward.h"
#include "foundation/Value.h"

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

// An exception raised and caught the way the platform's NSException is. Names are the
// platform's strings ("NSInvalidArgumentException", "NSRangeException" ...). The return
// addresses of the raising thread's stack are captured when the exception is made. Any thread.
class NSException : public std::exception {
public:
    NSException(std::string name, std::string reason, Value userInfo = {});

    const std::string& name() const { return m_name; }
    const std::string& reason() const { return m_reason; }
    const Value& userInfo() const { return m_userInfo; }
    const char* what() const noexcept override { return m_what.c_str(); }
    // Innermost first, starting at the caller of the constructor.
    const std::vector<uintptr_t>& callStackReturnAddresses() const { return m_callStack; }

    [[noreturn]] static void raise(std::string name, std::string reason, Value userInfo = {});

private:
    std::string m_name;
    std::string m_reason;
    Value m_userInfo;
    std::string m_what;
    std::vector<uintptr_t> m_callStack;
};

// Called with an NSException that no code caught, just before the process terminates (the
// handler then returns into the previous terminate handler, which aborts). Installing one
// hooks std::terminate once; nullptr removes the handler.
using NSUncaughtExceptionHandler = void (*)(NSException& exception);
void NSSetUncaughtExceptionHandler(NSUncaughtExceptionHandler handler);
NSUncaughtExceptionHandler NSGetUncaughtExceptionHandler();

inline constexpr const char* NSInvalidArgumentException = "NSInvalidArgumentException";
inline constexpr const char* NSRangeException = "NSRangeException";
inline constexpr const char* NSInternalInconsistencyException = "NSInternalInconsistencyException";
inline constexpr const char* NSGenericException = "NSGenericException";
inline constexpr const char* NSUndefinedKeyException = "NSUnknownKeyException";
inline constexpr const char* NSMallocException = "NSMallocException";
inline constexpr const char* NSObjectInaccessibleException = "NSObjectInaccessibleException";
