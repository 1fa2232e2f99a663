#include "charts/gl/ErrorHandler.h"

#include <cstdio>
#include <cstdlib>

namespace LChartGL {

void check(const ErrorHandlerHandleRef& handle, bool condition, const std::string& message)
{
    if (!condition)
        fatal(handle, message);
}

void fatal(const ErrorHandlerHandleRef& handle, const std::string& message)
{
    if (handle && handle->errorHandler())
        handle->errorHandler()->fatal(message);
    std::fprintf(stderr, "GL Error: %s\n", message.c_str());
    std::abort();
}

} // namespace LChartGL
