#pragma once

#include "foundation/Value.h"

#include "foundation/FoundationForward.h"

#include <string>

// The name of the exception the grid engine raises on programming errors.
inline constexpr const char* LatticeGridsException = "LatticeGridsException";

// Logging and fatal errors of the grid engine: every class of the engine logs and fails
// through these class operations. Any thread (they only format and write to the log).
class LatticeGridLog {
public:
    LatticeGridLog() = delete;

    // Writes the message to the log as it is.
    static void logMessage(const std::string& message);
    // Writes "<message>\nFrom: <source's description>"; a null source reads "(null)".
    static void logMessageFromSource(const std::string& message, const NSObject* source);
    // The message followed by one "\n<key>:<value's description>" per entry of the info
    // dictionary, in its order, then logged with the source as above.
    static void logInfoWithMessageFromSource(const Value& info, const std::string& message, const NSObject* source);
    // Kept for callers that state an expectation; it checks nothing.
    static void assertWithFailMsg(bool condition, const std::string& message);
    // Logs as logMessageFromSource, then raises "LatticeGridsException" with the same text
    // as its reason and no user info.
    [[noreturn]] static void fatalLogMessageFromSource(const std::string& message, const NSObject* source);
    // The same with a class as the source (its name stands for its description).
    [[noreturn]] static void fatalLogMessageFromSource(const std::string& message, Class source);
    // The class name a list entry of the wrong kind is reported with.
    static std::string classNameOfValue(const Value& value);
};
