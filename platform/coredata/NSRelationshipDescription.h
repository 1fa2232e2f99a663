#pragma once

#include "coredata/CoreDataForward.h"
#include "foundation/NSObject.h"

#include <cstdint>
#include <string>

// One relationship of an entity: its destination entity, whether it is to-many, its inverse and
// what deleting the source does to the destination. Immutable once its model is loaded; any
// thread.
class NSRelationshipDescription : public NSObject {
    VX_OBJECT(NSRelationshipDescription, NSObject)
public:
    enum DeleteRule : uint32_t {
        NSNoActionDeleteRule = 0,
        NSNullifyDeleteRule = 1,
        NSCascadeDeleteRule = 2,
        NSDenyDeleteRule = 3,
    };
    // How many destination objects one source object relates to.
    enum class Cardinality : uint8_t { ToOne, ToMany };
    // Whether a source object may be saved without a destination.
    enum class Optionality : uint8_t { Required, Optional };

    NSRelationshipDescription(Passkey, std::string name, std::string destinationName, std::string inverseName,
        Cardinality cardinality, Optionality optionality, DeleteRule rule);
    static Ref<NSRelationshipDescription> relationship(std::string name, std::string destinationName,
        std::string inverseName, Cardinality cardinality, Optionality optionality, DeleteRule rule);

    const std::string& name() const { return m_name; }
    const std::string& destinationEntityName() const { return m_destinationName; }
    // Empty when the relationship has no inverse.
    const std::string& inverseRelationshipName() const { return m_inverseName; }
    bool isToMany() const { return m_toMany; }
    bool isOptional() const { return m_optional; }
    DeleteRule deleteRule() const { return m_deleteRule; }

    // Rule names in model files: "Nullify", "Cascade", "Deny", "NoAction".
    static bool ruleNamed(const std::string& name, DeleteRule& rule);

    std::string description() const override;

private:
    std::string m_name;
    std::string m_destinationName;
    std::string m_inverseName;
    bool m_toMany;
    bool m_optional;
    DeleteRule m_deleteRule;
};
