#include "coredata/NSRelationshipDescription.h"

#include <utility>

VX_REGISTER_CLASS(NSRelationshipDescription);

NSRelationshipDescription::NSRelationshipDescription(Passkey key, std::string name, std::string destinationName,
    std::string inverseName, Cardinality cardinality, Optionality optionality, DeleteRule rule)
    : NSObject(key)
    , m_name(std::move(name))
    , m_destinationName(std::move(destinationName))
    , m_inverseName(std::move(inverseName))
    , m_toMany(cardinality == Cardinality::ToMany)
    , m_optional(optionality == Optionality::Optional)
    , m_deleteRule(rule)
{
}

Ref<NSRelationshipDescription> NSRelationshipDescription::relationship(std::string name, std::string destinationName,
    std::string inverseName, Cardinality cardinality, Optionality optionality, DeleteRule rule)
{
    return make<NSRelationshipDescription>(
        std::move(name), std::move(destinationName), std::move(inverseName), cardinality, optionality, rule);
}

bool NSRelationshipDescription::ruleNamed(const std::string& name, DeleteRule& rule)
{
    if (name == "Nullify")
        rule = NSNullifyDeleteRule;
    else if (name == "Cascade")
        rule = NSCascadeDeleteRule;
    else if (name == "Deny")
        rule = NSDenyDeleteRule;
    else if (name == "NoAction")
        rule = NSNoActionDeleteRule;
    else
        return false;
    return true;
}

std::string NSRelationshipDescription::description() const
{
    return "(" + m_name + " -> " + m_destinationName + (m_toMany ? ", to-many" : ", to-one")
        + (m_inverseName.empty() ? "" : ", inverse " + m_inverseName) + ")";
}
