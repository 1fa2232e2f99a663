#include "coredata/NSManagedObjectModel.h"

#include "coredata/CoreDataErrors.h"
#include "coredata/NSAttributeDescription.h"
#include "coredata/NSEntityDescription.h"
#include "coredata/NSRelationshipDescription.h"
#include "foundation/NSJSONSerialization.h"

#include <fstream>
#include <iterator>
#include <set>
#include <utility>

VX_REGISTER_CLASS(NSManagedObjectModel);

namespace {

bool fail(Ref<NSError>* error, const std::string& why)
{
    reportError(error, coreDataError(NSCoreDataError, "The model description is not valid: " + why));
    return false;
}

Ref<NSEntityDescription> entityFromDescription(const Value& description, Ref<NSError>* error)
{
    const Value& name = description["name"];
    if (!name.isString() || name.string().empty()) {
        fail(error, "an entity has no name");
        return nullptr;
    }
    std::vector<Ref<NSAttributeDescription>> attributes;
    std::vector<Ref<NSRelationshipDescription>> relationships;
    std::set<std::string> seen;
    for (const auto& attribute : description["attributes"].elements()) {
        const Value& attributeName = attribute["name"];
        auto type = NSAttributeDescription::typeNamed(attribute["type"].stringValue());
        if (!attributeName.isString() || attributeName.string().empty()
            || type == NSAttributeDescription::NSUndefinedAttributeType) {
            fail(error, "attribute of " + name.string() + " without a name or a known type");
            return nullptr;
        }
        if (!seen.insert(attributeName.string()).second) {
            fail(error, "property " + attributeName.string() + " appears twice in " + name.string());
            return nullptr;
        }
        bool optional = attribute["optional"].isNil() ? true : attribute["optional"].boolValue();
        Value defaultValue = attribute["default"];
        if (defaultValue.isNull())
            defaultValue = Value();
        auto made = NSAttributeDescription::attribute(attributeName.string(), type, optional, defaultValue);
        if (!made->acceptsValue(made->defaultValue())) {
            fail(error, "default of " + name.string() + "." + attributeName.string() + " does not fit its type");
            return nullptr;
        }
        attributes.push_back(made);
    }
    for (const auto& relationship : description["relationships"].elements()) {
        const Value& relationshipName = relationship["name"];
        const Value& destination = relationship["destination"];
        if (!relationshipName.isString() || relationshipName.string().empty() || !destination.isString()) {
            fail(error, "relationship of " + name.string() + " without a name or a destination");
            return nullptr;
        }
        if (!seen.insert(relationshipName.string()).second) {
            fail(error, "property " + relationshipName.string() + " appears twice in " + name.string());
            return nullptr;
        }
        auto rule = NSRelationshipDescription::NSNullifyDeleteRule;
        if (!relationship["deleteRule"].isNil()
            && !NSRelationshipDescription::ruleNamed(relationship["deleteRule"].stringValue(), rule)) {
            fail(error, "unknown delete rule on " + name.string() + "." + relationshipName.string());
            return nullptr;
        }
        using Cardinality = NSRelationshipDescription::Cardinality;
        using Optionality = NSRelationshipDescription::Optionality;
        bool optional = relationship["optional"].isNil() ? true : relationship["optional"].boolValue();
        relationships.push_back(NSRelationshipDescription::relationship(relationshipName.string(), destination.string(),
            relationship["inverse"].stringValue(),
            relationship["toMany"].boolValue() ? Cardinality::ToMany : Cardinality::ToOne,
            optional ? Optionality::Optional : Optionality::Required, rule));
    }
    return NSEntityDescription::entity(
        name.string(), description["class"].stringValue(), std::move(attributes), std::move(relationships));
}

} // namespace

NSManagedObjectModel::NSManagedObjectModel(Passkey key)
    : NSObject(key)
{
}

Ref<NSManagedObjectModel> NSManagedObjectModel::initWithContentsOfURL(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return nullptr;
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Value description = NSJSONSerialization::JSONObjectWithData(text, 0, nullptr);
    if (!description.isDictionary())
        return nullptr;
    if (description["versions"].isArray()) {
        // A versioned model: pick the current version.
        const Value& current = description["current"];
        for (const auto& version : description["versions"].elements()) {
            if (version["version"].isEqual(current))
                return modelWithDescription(version);
        }
        return nullptr;
    }
    return modelWithDescription(description);
}

Ref<NSManagedObjectModel> NSManagedObjectModel::modelWithDescription(const Value& description, Ref<NSError>* error)
{
    if (!description.isDictionary() || !description["entities"].isArray()) {
        fail(error, "no entity list");
        return nullptr;
    }
    std::vector<Ref<NSEntityDescription>> entities;
    for (const auto& entityDescription : description["entities"].elements()) {
        auto entity = entityFromDescription(entityDescription, error);
        if (!entity)
            return nullptr;
        entities.push_back(entity);
    }
    auto model = modelWithEntities(std::move(entities), error);
    if (model)
        model->m_version
            = description["version"].isString() ? description["version"].string() : description["name"].stringValue();
    return model;
}

Ref<NSManagedObjectModel> NSManagedObjectModel::modelWithEntities(
    std::vector<Ref<NSEntityDescription>> entities, Ref<NSError>* error)
{
    auto model = make<NSManagedObjectModel>();
    std::set<std::string> names;
    for (const auto& entity : entities) {
        if (!entity || !names.insert(entity->name()).second) {
            fail(error, "entity names must be unique");
            return nullptr;
        }
    }
    model->m_entities = std::move(entities);
    for (const auto& entity : model->m_entities)
        entity->m_model = model;
    // Relationships: the destination must exist and inverses must name each other. The store
    // keeps a to-one as a key column and finds a to-many through its to-one inverse, so a
    // to-many without a to-one inverse cannot be stored.
    for (const auto& entity : model->m_entities) {
        for (const auto& relationship : entity->relationships()) {
            auto where = entity->name() + "." + relationship->name();
            auto destination = model->entityNamed(relationship->destinationEntityName());
            if (!destination) {
                fail(error, where + " names an unknown destination");
                return nullptr;
            }
            auto inverse = entity->inverseOf(relationship);
            if (!relationship->inverseRelationshipName().empty()) {
                if (!inverse || inverse->inverseRelationshipName() != relationship->name()
                    || inverse->destinationEntityName() != entity->name()) {
                    fail(error, where + " and its inverse do not name each other");
                    return nullptr;
                }
            }
            if (relationship->isToMany() && (!inverse || inverse->isToMany())) {
                fail(error, where + " is to-many without a to-one inverse");
                return nullptr;
            }
        }
    }
    return model;
}

Value NSManagedObjectModel::entitiesByName() const
{
    Value result = Value::mutableDictionary();
    for (const auto& entity : m_entities)
        result.setObjectForKey(Value(entity), Value(entity->name()));
    return result.copy();
}

Ref<NSEntityDescription> NSManagedObjectModel::entityNamed(const std::string& name) const
{
    for (const auto& entity : m_entities) {
        if (entity->name() == name)
            return entity;
    }
    return nullptr;
}

Value NSManagedObjectModel::storeSchema() const
{
    Value schema = Value::mutableDictionary();
    for (const auto& entity : m_entities) {
        Value attributes = Value::mutableDictionary();
        for (const auto& attribute : entity->attributes())
            attributes.setObjectForKey(
                Value(NSAttributeDescription::nameOfType(attribute->attributeType())), Value(attribute->name()));
        Value toOne = Value::mutableDictionary();
        for (const auto& relationship : entity->relationships()) {
            if (!relationship->isToMany())
                toOne.setObjectForKey(Value(relationship->destinationEntityName()), Value(relationship->name()));
        }
        schema.setObjectForKey(Value::dictionary({ { Value("attributes"), attributes }, { Value("toOne"), toOne } }),
            Value(entity->name()));
    }
    return schema;
}
