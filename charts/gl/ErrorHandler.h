#pragma once

#include <memory>
#include <string>

namespace LChartGL {

// Where the engine reports: `log` for notices, `fatal` for errors it cannot draw past (a shader
// that does not compile, a program that does not link, memory that cannot be had). `fatal`
// does not return.
class ErrorHandler {
public:
    virtual ~ErrorHandler() = default;
    virtual void log(const std::string& message) = 0;
    [[noreturn]] virtual void fatal(const std::string& message) = 0;
};

// The shared handle every GL object holds on the error handler; it does not own the handler.
class ErrorHandlerHandle {
public:
    virtual ~ErrorHandlerHandle() = default;
    virtual ErrorHandler* errorHandler() const = 0;
};

using ErrorHandlerHandleRef = std::shared_ptr<const ErrorHandlerHandle>;

// Reports `message` as fatal when `condition` is false.
void check(const ErrorHandlerHandleRef& handle, bool condition, const std::string& message);
[[noreturn]] void fatal(const ErrorHandlerHandleRef& handle, const std::string& message);

} // namespace LChartGL
