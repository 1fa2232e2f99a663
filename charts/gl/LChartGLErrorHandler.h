#pragma once

#include "charts/gl/ErrorHandler.h"

// The chart's GL error handler: notices go to the chart log, fatal errors are logged as
// "GL Error: <message>" from the GL view and end the process (through the chart log's fatal
// path, which tests replace with a throwing hook). `LChartGLErrorHandlerHandle` hands it to the
// engine without owning it. Main thread only.
class LChartGLErrorHandler final : public LChartGL::ErrorHandler {
public:
    void log(const std::string& message) override;
    [[noreturn]] void fatal(const std::string& message) override;
};

class LChartGLErrorHandlerHandle final : public LChartGL::ErrorHandlerHandle {
public:
    explicit LChartGLErrorHandlerHandle(LChartGLErrorHandler* handler)
        : m_handler(handler)
    {
    }
    LChartGL::ErrorHandler* errorHandler() const override { return m_handler; }

private:
    LChartGLErrorHandler* m_handler;
};
