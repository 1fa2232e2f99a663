#pragma once

#include "charts/LatticeChartLog.h"

#include <stdexcept>
#include <string>

// Thrown instead of aborting while a FatalErrorsThrow is alive; what() is the logged text.
struct ChartFatalError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Makes the chart library's fatal errors throw ChartFatalError for the scope's life.
class FatalErrorsThrow {
public:
    FatalErrorsThrow()
    {
        LatticeChartLog::setFatalHookForTesting([](const std::string& text) { throw ChartFatalError(text); });
    }
    ~FatalErrorsThrow() { LatticeChartLog::setFatalHookForTesting({}); }
    FatalErrorsThrow(const FatalErrorsThrow&) = delete;
    FatalErrorsThrow& operator=(const FatalErrorsThrow&) = delete;
};
