#include "charts/gl/LChartGLErrorHandler.h"

#include "charts/LatticeChartLog.h"

void LChartGLErrorHandler::log(const std::string& message)
{
    LatticeChartLog::logMessage(message);
}

void LChartGLErrorHandler::fatal(const std::string& message)
{
    LatticeChartLog::fatalLogMessageFromSource("GL Error: " + message, nullptr);
}
