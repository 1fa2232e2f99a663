#include "coredata/NSEntityDescription.h"

#include "coredata/NSAttributeDescription.h"
#include "coredata/NSManagedObject.h"
#include "coredata/NSManagedObjectContext.h"
#include "coredata/NSManagedObjectModel.h"
#include "coredata/NSPersistentStoreCoordinator.h"
#include "coredata/NSRelationshipDescription.h"
#include "foundation/NSException.h"

#include <utility>

VX_REGISTER_CLASS(NSEntityDescription);

NSEntityDescription::NSEntityDescription(Passkey key, std::string name, std::string className)
    : NSObject(key)
    , m_name(std::move(name))
    , m_className(className.empty() ? std::string("NSManagedObject") : std::move(className))
{
}

Ref<NSEntityDescription> NSEntityDescription::entity(std::string name, std::string managedObjectClassName,
    std::vector<Ref<NSAttributeDescription>> attributes, std::vector<Ref<NSRelationshipDescription>> relationships)
{
    auto entity = make<NSEntityDescription>(std::move(name), std::move(managedObjectClassName));
    entity->m_attributes = std::move(attributes);
    entity->m_relationships = std::move(relationships);
    return entity;
}

Ref<NSEntityDescription> NSEntityDescription::entityForNameInManagedObjectContext(
    const std::string& name, const Ref<NSManagedObjectContext>& context)
{
    if (!context)
        NSException::raise(NSInvalidArgumentException,
            "+entityForName: nil is not a legal NSManagedObjectContext parameter searching for entity name '" + name
                + "'");
    auto coordinator = context->persistentStoreCoordinator();
    auto model = coordinator ? coordinator->managedObjectModel() : nullptr;
    return model ? model->entityNamed(name) : nullptr;
}

Ref<NSManagedObject> NSEntityDescription::insertNewObjectForEntityForNameInManagedObjectContext(
    const std::string& name, const Ref<NSManagedObjectContext>& context)
{
    auto entity = entityForNameInManagedObjectContext(name, context);
    if (!entity)
        NSException::raise(NSInternalInconsistencyException,
            "+entityForName: could not locate an entity named '" + name + "' in this model.");
    return NSManagedObject::initWithEntityInsertIntoManagedObjectContext(entity, context);
}

Value NSEntityDescription::attributesByName() const
{
    Value result = Value::mutableDictionary();
    for (const auto& attribute : m_attributes)
        result.setObjectForKey(Value(attribute), Value(attribute->name()));
    return result.copy();
}

Value NSEntityDescription::relationshipsByName() const
{
    Value result = Value::mutableDictionary();
    for (const auto& relationship : m_relationships)
        result.setObjectForKey(Value(relationship), Value(relationship->name()));
    return result.copy();
}

Value NSEntityDescription::propertiesByName() const
{
    Value result = attributesByName().mutableCopy();
    for (const auto& relationship : m_relationships)
        result.setObjectForKey(Value(relationship), Value(relationship->name()));
    return result.copy();
}

Ref<NSAttributeDescription> NSEntityDescription::attributeNamed(const std::string& name) const
{
    for (const auto& attribute : m_attributes) {
        if (attribute->name() == name)
            return attribute;
    }
    return nullptr;
}

Ref<NSRelationshipDescription> NSEntityDescription::relationshipNamed(const std::string& name) const
{
    for (const auto& relationship : m_relationships) {
        if (relationship->name() == name)
            return relationship;
    }
    return nullptr;
}

Ref<NSRelationshipDescription> NSEntityDescription::inverseOf(const Ref<NSRelationshipDescription>& relationship) const
{
    if (!relationship || relationship->inverseRelationshipName().empty())
        return nullptr;
    auto model = m_model.lock();
    auto destination = model ? model->entityNamed(relationship->destinationEntityName()) : nullptr;
    return destination ? destination->relationshipNamed(relationship->inverseRelationshipName()) : nullptr;
}

std::string NSEntityDescription::description() const
{
    return "(<NSEntityDescription: " + m_name + ">, class " + m_className + ")";
}
