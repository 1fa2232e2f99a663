#include "coredata/NSAttributeDescription.h"

#include "foundation/NSString.h"

#include <cmath>
#include <utility>

VX_REGISTER_CLASS(NSAttributeDescription);

namespace {

struct TypeName {
    NSAttributeDescription::AttributeType type;
    const char* name;
};

constexpr TypeName s_typeNames[] = {
    { NSAttributeDescription::NSInteger16AttributeType, "Integer16" },
    { NSAttributeDescription::NSInteger32AttributeType, "Integer32" },
    { NSAttributeDescription::NSInteger64AttributeType, "Integer64" },
    { NSAttributeDescription::NSDecimalAttributeType, "Decimal" },
    { NSAttributeDescription::NSDoubleAttributeType, "Double" },
    { NSAttributeDescription::NSFloatAttributeType, "Float" },
    { NSAttributeDescription::NSStringAttributeType, "String" },
    { NSAttributeDescription::NSBooleanAttributeType, "Boolean" },
    { NSAttributeDescription::NSDateAttributeType, "Date" },
    { NSAttributeDescription::NSBinaryDataAttributeType, "Binary" },
};

} // namespace

NSAttributeDescription::NSAttributeDescription(
    Passkey key, std::string name, AttributeType type, bool optional, Value defaultValue)
    : NSObject(key)
    , m_name(std::move(name))
    , m_type(type)
    , m_optional(optional)
    , m_defaultValue(std::move(defaultValue))
{
}

Ref<NSAttributeDescription> NSAttributeDescription::attribute(
    std::string name, AttributeType type, bool optional, Value defaultValue)
{
    auto attribute = make<NSAttributeDescription>(std::move(name), type, optional, Value());
    attribute->m_defaultValue = attribute->normalizedValue(defaultValue);
    return attribute;
}

NSAttributeDescription::AttributeType NSAttributeDescription::typeNamed(const std::string& name)
{
    for (const auto& entry : s_typeNames) {
        if (name == entry.name)
            return entry.type;
    }
    return NSUndefinedAttributeType;
}

const char* NSAttributeDescription::nameOfType(AttributeType type)
{
    for (const auto& entry : s_typeNames) {
        if (type == entry.type)
            return entry.name;
    }
    return "Undefined";
}

bool NSAttributeDescription::acceptsValue(const Value& value) const
{
    if (value.isNil())
        return true;
    switch (m_type) {
    case NSInteger16AttributeType:
    case NSInteger32AttributeType:
    case NSInteger64AttributeType:
    case NSDecimalAttributeType:
    case NSDoubleAttributeType:
    case NSFloatAttributeType:
    case NSBooleanAttributeType:
        return value.isNumber();
    case NSStringAttributeType:
        return value.isString();
    case NSDateAttributeType:
        return value.isDate();
    case NSBinaryDataAttributeType:
        return value.isData();
    case NSUndefinedAttributeType:
        return false;
    }
    return false;
}

Value NSAttributeDescription::normalizedValue(const Value& value) const
{
    if (!value.isNumber())
        return value;
    switch (m_type) {
    case NSInteger16AttributeType:
    case NSInteger32AttributeType:
        return Value(value.intValue());
    case NSInteger64AttributeType:
        return Value(value.longLongValue());
    case NSDecimalAttributeType:
    case NSDoubleAttributeType:
        return Value(value.doubleValue());
    case NSFloatAttributeType:
        return Value(value.floatValue());
    case NSBooleanAttributeType:
        return Value(value.boolValue());
    default:
        return value;
    }
}

std::string NSAttributeDescription::description() const
{
    return "(" + m_name + ", " + nameOfType(m_type) + (m_optional ? ", optional" : "") + ")";
}
