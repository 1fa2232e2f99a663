#pragma once

#include "foundation/NSObject.h"

#include <string>

// Where chart objects report bad input and broken invariants. A plain error is logged and the
// caller carries on; a fatal error is logged and ends the process (it never returns).
class LChartErrorHandler {
public:
    virtual ~LChartErrorHandler() = default;
    virtual void handleErrorWithMessageFromSource(const std::string& message, const NSObject* source) = 0;
    [[noreturn]] virtual void handleFatalErrorWithMessageFromSource(const std::string& message, const NSObject* source)
        = 0;
};
