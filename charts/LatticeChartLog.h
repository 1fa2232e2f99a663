#pragma once

#include "charts/LChartErrorHandler.h"
#include "foundation/FoundationForward.h"
#include "foundation/NSObject.h"

#include <functional>
#include <string>

// The chart library's log, and the error handler chart objects use unless given another.
// Any thread: the class operations only format and write to the log.
class LatticeChartLog : public NSObject, public LChartErrorHandler {
    VX_OBJECT(LatticeChartLog, NSObject)
public:
    explicit LatticeChartLog(Passkey key)
        : NSObject(key)
    {
    }

    // A new logger for each caller (loggers hold no state).
    static Ref<LatticeChartLog> logger();

    static void logMessage(const std::string& message);
    // "<message>\nFrom: <source's description>"; a null source reads "(null)".
    static void logMessageFromSource(const std::string& message, const NSObject* source);
    // The message, then "\n<key>:<value's description>" per entry in the dictionary's order,
    // logged with the source as above.
    static void logInfoWithMessageFromSource(const Value& info, const std::string& message, const NSObject* source);
    // Logs as logMessageFromSource, then runs the fatal hook; by default that aborts the process.
    [[noreturn]] static void fatalLogMessageFromSource(const std::string& message, const NSObject* source);

    // What a fatal error does after logging; tests install a hook that throws. A hook that
    // returns still ends the process. An empty hook restores the default (abort).
    using FatalHook = std::function<void(const std::string& loggedText)>;
    static void setFatalHookForTesting(FatalHook hook);

    void handleErrorWithMessageFromSource(const std::string& message, const NSObject* source) override;
    [[noreturn]] void handleFatalErrorWithMessageFromSource(
        const std::string& message, const NSObject* source) override;
};
