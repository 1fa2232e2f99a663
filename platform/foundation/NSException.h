#pragma once

#include "FoundationForward.h"
#include "Value.h"

#include <exception>
#include <string>

// An exception raised and caught the way the platform's NSException is. Names are the
// platform's strings ("NSInvalidArgumentException", "NSRangeException" ...).
class NSException : public std::exception {
public:
    NSException(std::string name, std::string reason, Value userInfo = {});

    const std::string& name() const { return m_name; }
    const std::string& reason() const { return m_reason; }
    const Value& userInfo() const { return m_userInfo; }
    const char* what() const noexcept override { return m_what.c_str(); }

    [[noreturn]] static void raise(std::string name, std::string reason, Value userInfo = {});

private:
    std::string m_name;
    std::string m_reason;
    Value m_userInfo;
    std::string m_what;
};

inline constexpr const char* NSInvalidArgumentException = "NSInvalidArgumentException";
inline constexpr const char* NSRangeException = "NSRangeException";
inline constexpr const char* NSInternalInconsistencyException = "NSInternalInconsistencyException";
inline constexpr const char* NSGenericException = "NSGenericException";
inline constexpr const char* NSUndefinedKeyException = "NSUnknownKeyException";
inline constexpr const char* NSMallocException = "NSMallocException";
inline constexpr const char* NSObjectInaccessibleException = "NSObjectInaccessibleException";
