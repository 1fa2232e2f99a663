#pragma once

#include "coredata/CoreDataForward.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <string>

// One attribute of an entity: its name, storage type, optionality and default value.
// Immutable once its model is loaded; any thread.
class NSAttributeDescription : public NSObject {
    VX_OBJECT(NSAttributeDescription, NSObject)
public:
    enum AttributeType : uint32_t {
        NSUndefinedAttributeType = 0,
        NSInteger16AttributeType = 100,
        NSInteger32AttributeType = 200,
        NSInteger64AttributeType = 300,
        NSDecimalAttributeType = 400,
        NSDoubleAttributeType = 500,
        NSFloatAttributeType = 600,
        NSStringAttributeType = 700,
        NSBooleanAttributeType = 800,
        NSDateAttributeType = 900,
        NSBinaryDataAttributeType = 1000,
    };

    NSAttributeDescription(Passkey, std::string name, AttributeType type, bool optional, Value defaultValue);
    static Ref<NSAttributeDescription> attribute(
        std::string name, AttributeType type, bool optional, Value defaultValue);

    const std::string& name() const { return m_name; }
    AttributeType attributeType() const { return m_type; }
    bool isOptional() const { return m_optional; }
    const Value& defaultValue() const { return m_defaultValue; }

    // The type's name in model files ("Integer32", "String" ...); nullopt-like Undefined for
    // an unknown name.
    static AttributeType typeNamed(const std::string& name);
    static const char* nameOfType(AttributeType type);
    // Whether `value` may be stored in an attribute of this type (nil always may).
    bool acceptsValue(const Value& value) const;
    // The value as this attribute stores it: integers as integers, floats as floats, and so on.
    Value normalizedValue(const Value& value) const;

    std::string description() const override;

private:
    std::string m_name;
    AttributeType m_type;
    bool m_optional;
    Value m_defaultValue;
};
