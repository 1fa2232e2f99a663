#pragma once

#include "coredata/CoreDataForward.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <string>
#include <vector>

// An entity of a managed object model: its name, the class of its objects and its attributes
// and relationships in model order. Immutable once its model is loaded; any thread.
class NSEntityDescription : public NSObject {
    VX_OBJECT(NSEntityDescription, NSObject)
public:
    NSEntityDescription(Passkey, std::string name, std::string className);
    static Ref<NSEntityDescription> entity(std::string name, std::string managedObjectClassName,
        std::vector<Ref<NSAttributeDescription>> attributes, std::vector<Ref<NSRelationshipDescription>> relationships);

    // The entity of that name in the context's model (through its coordinator), or nullptr.
    static Ref<NSEntityDescription> entityForNameInManagedObjectContext(
        const std::string& name, const Ref<NSManagedObjectContext>& context);
    // Makes an object of the entity's class, inserts it into the context and runs its
    // awakeFromInsert. An entity the context's model lacks raises "NSInternalInconsistencyException".
    static Ref<NSManagedObject> insertNewObjectForEntityForNameInManagedObjectContext(
        const std::string& name, const Ref<NSManagedObjectContext>& context);

    const std::string& name() const { return m_name; }
    // The class registered for the entity's objects; "NSManagedObject" when none is named.
    const std::string& managedObjectClassName() const { return m_className; }
    Ref<NSManagedObjectModel> managedObjectModel() const { return m_model.lock(); }

    const std::vector<Ref<NSAttributeDescription>>& attributes() const { return m_attributes; }
    const std::vector<Ref<NSRelationshipDescription>>& relationships() const { return m_relationships; }
    // Dictionaries from name to description object, in model order.
    Value attributesByName() const;
    Value relationshipsByName() const;
    Value propertiesByName() const;
    Ref<NSAttributeDescription> attributeNamed(const std::string& name) const;
    Ref<NSRelationshipDescription> relationshipNamed(const std::string& name) const;
    // The relationship's inverse on the destination entity, or nullptr.
    Ref<NSRelationshipDescription> inverseOf(const Ref<NSRelationshipDescription>& relationship) const;

    std::string description() const override;

private:
    friend class NSManagedObjectModel;
    std::string m_name;
    std::string m_className;
    std::vector<Ref<NSAttributeDescription>> m_attributes;
    std::vector<Ref<NSRelationshipDescription>> m_relationships;
    Weak<NSManagedObjectModel> m_model;
};
