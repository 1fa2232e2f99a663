#include "charts/LatticeChartLog.h"

#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "foundation/Value.h"

#include <cstdlib>
#include <mutex>

namespace {

std::mutex s_hookLock;
LatticeChartLog::FatalHook s_fatalHook;

std::string withSource(const std::string& message, const NSObject* source)
{
    return NSString::stringWithFormat("%@\nFrom: %@", message, source ? source->description() : std::string("(null)"));
}

} // namespace

Ref<LatticeChartLog> LatticeChartLog::logger()
{
    return make<LatticeChartLog>();
}

void LatticeChartLog::logMessage(const std::string& message)
{
    NSLog("%@", message);
}

void LatticeChartLog::logMessageFromSource(const std::string& message, const NSObject* source)
{
    NSLog("%@", withSource(message, source));
}

void LatticeChartLog::logInfoWithMessageFromSource(
    const Value& info, const std::string& message, const NSObject* source)
{
    std::string text = message;
    if (info.isDictionary()) {
        for (const auto& [key, value] : info.entries())
            text = NSString::stringWithFormat("%@\n%@:%@", text, key, value);
    }
    logMessageFromSource(text, source);
}

void LatticeChartLog::fatalLogMessageFromSource(const std::string& message, const NSObject* source)
{
    logMessageFromSource(message, source);
    FatalHook hook;
    {
        std::lock_guard guard(s_hookLock);
        hook = s_fatalHook;
    }
    if (hook)
        hook(withSource(message, source));
    std::abort();
}

void LatticeChartLog::setFatalHookForTesting(FatalHook hook)
{
    std::lock_guard guard(s_hookLock);
    s_fatalHook = std::move(hook);
}

void LatticeChartLog::handleErrorWithMessageFromSource(const std::string& message, const NSObject* source)
{
    logMessageFromSource(message, source);
}

void LatticeChartLog::handleFatalErrorWithMessageFromSource(const std::string& message, const NSObject* source)
{
    fatalLogMessageFromSource(message, source);
}
