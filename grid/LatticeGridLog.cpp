#include "grid/LatticeGridLog.h"

#include "foundation/NSException.h"
#include "foundation/NSLog.h"
#include "foundation/NSObject.h"
#include "foundation/NSString.h"
#include "foundation/Value.h"

namespace {

std::string withSource(const std::string& message, const std::string& sourceDescription)
{
    return NSString::stringWithFormat("%@\nFrom: %@", message, sourceDescription);
}

std::string withSource(const std::string& message, const NSObject* source)
{
    return withSource(message, source ? source->description() : std::string("(null)"));
}

} // namespace

void LatticeGridLog::logMessage(const std::string& message)
{
    NSLog("%@", message);
}

void LatticeGridLog::logMessageFromSource(const std::string& message, const NSObject* source)
{
    NSLog("%@", withSource(message, source));
}

void LatticeGridLog::logInfoWithMessageFromSource(const Value& info, const std::string& message, const NSObject* source)
{
    std::string text = message;
    if (info.isDictionary()) {
        for (const auto& [key, value] : info.entries())
            text = NSString::stringWithFormat("%@\n%@:%@", text, key, value);
    }
    logMessageFromSource(text, source);
}

void LatticeGridLog::assertWithFailMsg(bool, const std::string&) { }

void LatticeGridLog::fatalLogMessageFromSource(const std::string& message, const NSObject* source)
{
    logMessageFromSource(message, source);
    NSException::raise(LatticeGridsException, withSource(message, source));
}

void LatticeGridLog::fatalLogMessageFromSource(const std::string& message, Class source)
{
    std::string text = withSource(message, source ? NSStringFromClass(source) : std::string("(null)"));
    logMessage(text);
    NSException::raise(LatticeGridsException, text);
}

std::string LatticeGridLog::classNameOfValue(const Value& value)
{
    if (value.isObject() && value.objectValue())
        return value.objectValue()->className();
    if (value.isString())
        return "NSString";
    if (value.isNumber())
        return "NSNumber";
    if (value.isArray())
        return "NSArray";
    if (value.isDictionary())
        return "NSDictionary";
    if (value.isNull())
        return "NSNull";
    return "(null)";
}
