#include "coredata/NSManagedObject.h"

#include "coredata/NSAttributeDescription.h"
#include "coredata/NSEntityDescription.h"
#include "coredata/NSManagedObjectContext.h"
#include "coredata/NSManagedObjectID.h"
#include "coredata/NSRelationshipDescription.h"
#include "foundation/NSException.h"

#include <algorithm>
#include <cstdio>
#include <utility>

VX_REGISTER_CLASS(NSManagedObject);

namespace {

std::mutex s_factoryLock;

std::map<std::string, NSManagedObject::Factory>& factories()
{
    static std::map<std::string, NSManagedObject::Factory> s_factories;
    return s_factories;
}

} // namespace

NSManagedObject::NSManagedObject(Passkey key, Ref<NSEntityDescription> entity)
    : NSObject(key)
    , m_entity(std::move(entity))
{
}

NSManagedObject::~NSManagedObject() = default;

void NSManagedObject::registerSubclassFactory(const std::string& className, Factory factory)
{
    std::lock_guard guard(s_factoryLock);
    factories()[className] = std::move(factory);
}

Ref<NSManagedObject> NSManagedObject::makeForEntity(const Ref<NSEntityDescription>& entity)
{
    Factory factory;
    {
        std::lock_guard guard(s_factoryLock);
        auto found = factories().find(entity->managedObjectClassName());
        if (found != factories().end())
            factory = found->second;
    }
    Ref<NSManagedObject> object = factory ? factory(entity) : nullptr;
    if (!object)
        object = make<NSManagedObject>(entity);
    object->m_objectID = NSManagedObjectID::temporaryID(entity);
    for (const auto& relationship : entity->relationships()) {
        if (relationship->isToMany())
            object->m_toMany[relationship->name()];
    }
    return object;
}

Ref<NSManagedObject> NSManagedObject::initWithEntityInsertIntoManagedObjectContext(
    const Ref<NSEntityDescription>& entity, const Ref<NSManagedObjectContext>& context)
{
    if (!entity)
        NSException::raise(NSInvalidArgumentException, "An NSManagedObject must have a valid NSEntityDescription.");
    auto object = makeForEntity(entity);
    for (const auto& attribute : entity->attributes()) {
        if (!attribute->defaultValue().isNil())
            object->m_attributes[attribute->name()] = attribute->defaultValue();
    }
    if (context)
        context->insertObject(object);
    return object;
}

std::unique_lock<std::recursive_mutex> NSManagedObject::lockContext() const
{
    if (auto context = contextRef())
        return std::unique_lock<std::recursive_mutex>(context->m_lock);
    return {};
}

Ref<NSManagedObjectID> NSManagedObject::objectID() const
{
    auto guard = lockContext();
    return m_objectID;
}

bool NSManagedObject::isInserted() const
{
    auto guard = lockContext();
    return m_inserted;
}

bool NSManagedObject::isUpdated() const
{
    auto guard = lockContext();
    return m_updated;
}

bool NSManagedObject::isDeleted() const
{
    auto guard = lockContext();
    return m_deleted;
}

bool NSManagedObject::hasChanges() const
{
    auto guard = lockContext();
    return m_inserted || m_updated || m_deleted;
}

bool NSManagedObject::sharesContextWith(const NSManagedObject& other) const
{
    auto mine = contextRef();
    auto theirs = other.contextRef();
    return mine == theirs;
}

void NSManagedObject::markChanged()
{
    auto context = contextRef();
    if (!context || m_inserted || m_deleted)
        return;
    if (!m_updated) {
        m_updated = true;
        context->noteUpdated(*this);
    }
}

Value NSManagedObject::changedValues() const
{
    auto guard = lockContext();
    Value changes = Value::mutableDictionary();
    auto current = currentSnapshot();
    for (const auto& attribute : m_entity->attributes()) {
        const auto& name = attribute->name();
        auto now = current.attributes.find(name);
        auto then = m_committed.attributes.find(name);
        Value nowValue = now == current.attributes.end() ? Value() : now->second;
        Value thenValue = then == m_committed.attributes.end() ? Value() : then->second;
        if (m_inserted || !nowValue.isEqual(thenValue))
            changes.setObjectForKey(nowValue.isNil() ? Value::null() : nowValue, Value(name));
    }
    for (const auto& [name, slot] : m_toOne) {
        auto now = current.toOne.find(name);
        auto then = m_committed.toOne.find(name);
        auto nowID = now == current.toOne.end() ? nullptr : now->second;
        auto thenID = then == m_committed.toOne.end() ? nullptr : then->second;
        if (nowID != thenID) {
            auto target = slot.object;
            changes.setObjectForKey(target ? Value(target) : Value::null(), Value(name));
        }
    }
    return changes.copy();
}

Value NSManagedObject::valueForKey(const std::string& key)
{
    if (auto relationship = m_entity->relationshipNamed(key)) {
        auto guard = lockContext();
        if (relationship->isToMany()) {
            std::vector<Value> members;
            for (const auto& member : toManyMembers(key))
                members.push_back(Value(member));
            return Value::array(std::move(members));
        }
        auto target = toOneTarget(key);
        return target ? Value(target) : Value();
    }
    if (m_entity->attributeNamed(key))
        return primitiveValueForKey(key);
    if (key == "objectID")
        return Value(objectID());
    return NSObject::valueForKey(key);
}

void NSManagedObject::setValueForKey(const Value& value, const std::string& key)
{
    if (auto relationship = m_entity->relationshipNamed(key)) {
        auto guard = lockContext();
        if (relationship->isToMany()) {
            std::vector<Ref<NSManagedObject>> members;
            for (const auto& element : value.elements()) {
                auto member = element.objectAs<NSManagedObject>();
                if (!member)
                    NSException::raise(
                        NSInvalidArgumentException, "Unacceptable member of to-many relationship '" + key + "'");
                members.push_back(member);
            }
            setToMany(key, members);
            return;
        }
        auto target = value.objectAs<NSManagedObject>();
        if (!value.isNilOrNull() && !target)
            NSException::raise(NSInvalidArgumentException,
                "Unacceptable type of value for to-one relationship: property = \"" + key + "\"");
        setToOne(key, target, true);
        return;
    }
    if (m_entity->attributeNamed(key)) {
        setAttribute(key, value, true);
        return;
    }
    NSObject::setValueForKey(value, key);
}

Value NSManagedObject::primitiveValueForKey(const std::string& key)
{
    auto guard = lockContext();
    if (m_entity->relationshipNamed(key))
        return valueForKey(key);
    auto found = m_attributes.find(key);
    return found == m_attributes.end() ? Value() : found->second;
}

void NSManagedObject::setPrimitiveValueForKey(const Value& value, const std::string& key)
{
    if (m_entity->relationshipNamed(key)) {
        setValueForKey(value, key);
        return;
    }
    if (!m_entity->attributeNamed(key))
        NSException::raise(NSUndefinedKeyException,
            "the entity " + m_entity->name() + " is not key value coding-compliant for the key \"" + key + "\".");
    setAttribute(key, value, false);
}

void NSManagedObject::setAttribute(const std::string& key, const Value& value, bool notify)
{
    auto attribute = m_entity->attributeNamed(key);
    auto guard = lockContext();
    if (notify)
        willChangeValueForKey(key);
    if (value.isNilOrNull())
        m_attributes.erase(key);
    else
        m_attributes[key] = attribute->normalizedValue(value);
    markChanged();
    if (notify)
        didChangeValueForKey(key);
}

Ref<NSManagedObject> NSManagedObject::toOneTarget(const std::string& key)
{
    auto& slot = m_toOne[key];
    if (!slot.object && slot.pendingID) {
        if (auto context = contextRef())
            slot.object = context->objectWithIDLocked(slot.pendingID);
        if (slot.object)
            slot.pendingID = nullptr;
    }
    return slot.object;
}

std::vector<Ref<NSManagedObject>>& NSManagedObject::toManyMembers(const std::string& key)
{
    auto& slot = m_toMany[key];
    if (!slot.loaded) {
        auto context = contextRef();
        slot.objects = context ? context->loadToMany(*this, key) : std::vector<Ref<NSManagedObject>>();
        slot.loaded = true;
    }
    return slot.objects;
}

void NSManagedObject::assignToOneOnly(const std::string& key, const Ref<NSManagedObject>& target)
{
    willChangeValueForKey(key);
    m_toOne[key] = ToOne { target, nullptr };
    markChanged();
    didChangeValueForKey(key);
}

void NSManagedObject::insertMember(const std::string& key, const Ref<NSManagedObject>& member)
{
    auto& members = toManyMembers(key);
    if (std::find(members.begin(), members.end(), member) != members.end())
        return;
    willChangeValueForKey(key);
    members.push_back(member);
    markChanged();
    didChangeValueForKey(key);
}

void NSManagedObject::eraseMember(const std::string& key, const NSManagedObject* member)
{
    auto& members = toManyMembers(key);
    auto found = std::find_if(members.begin(), members.end(), [&](const auto& m) { return m.get() == member; });
    if (found == members.end())
        return;
    willChangeValueForKey(key);
    members.erase(found);
    markChanged();
    didChangeValueForKey(key);
}

void NSManagedObject::setToOne(const std::string& key, const Ref<NSManagedObject>& target, bool notify)
{
    auto relationship = m_entity->relationshipNamed(key);
    if (target) {
        auto mine = contextRef();
        auto theirs = target->contextRef();
        if (mine && theirs && mine != theirs)
            NSException::raise(NSInvalidArgumentException,
                "Illegal attempt to establish a relationship '" + key + "' between objects in different contexts");
        if (target->m_entity->name() != relationship->destinationEntityName())
            NSException::raise(NSInvalidArgumentException,
                "Unacceptable type of value for to-one relationship: property = \"" + key
                    + "\"; desired type = " + relationship->destinationEntityName());
    }
    auto old = toOneTarget(key);
    auto self = this->self<NSManagedObject>();
    if (notify)
        willChangeValueForKey(key);
    m_toOne[key] = ToOne { target, nullptr };
    markChanged();
    if (notify)
        didChangeValueForKey(key);
    if (old == target)
        return;
    auto inverse = m_entity->inverseOf(relationship);
    if (!inverse)
        return;
    if (old && sharesContextWith(*old)) {
        if (inverse->isToMany())
            old->eraseMember(inverse->name(), this);
        else if (old->toOneTarget(inverse->name()).get() == this)
            old->assignToOneOnly(inverse->name(), nullptr);
    }
    if (target && sharesContextWith(*target)) {
        if (inverse->isToMany()) {
            target->insertMember(inverse->name(), self);
        } else {
            // One-to-one: the target's previous partner loses it.
            auto previous = target->toOneTarget(inverse->name());
            if (previous && previous != self && previous->toOneTarget(key) == target)
                previous->assignToOneOnly(key, nullptr);
            target->assignToOneOnly(inverse->name(), self);
        }
    }
}

void NSManagedObject::addRelatedObject(const std::string& key, const Ref<NSManagedObject>& object)
{
    auto relationship = m_entity->relationshipNamed(key);
    if (!relationship || !relationship->isToMany())
        NSException::raise(
            NSInvalidArgumentException, "'" + key + "' is not a to-many relationship of " + m_entity->name());
    if (!object)
        return;
    auto guard = lockContext();
    auto inverse = m_entity->inverseOf(relationship);
    if (object->m_entity->name() != relationship->destinationEntityName())
        NSException::raise(NSInvalidArgumentException,
            "Unacceptable type of value for to-many relationship: property = \"" + key + "\"");
    if (inverse && sharesContextWith(*object)) {
        object->setToOne(inverse->name(), self<NSManagedObject>(), true);
        return;
    }
    auto mine = contextRef();
    auto theirs = object->contextRef();
    if (mine && theirs && mine != theirs)
        NSException::raise(NSInvalidArgumentException,
            "Illegal attempt to establish a relationship '" + key + "' between objects in different contexts");
    insertMember(key, object);
}

void NSManagedObject::removeRelatedObject(const std::string& key, const Ref<NSManagedObject>& object)
{
    auto relationship = m_entity->relationshipNamed(key);
    if (!relationship || !relationship->isToMany())
        NSException::raise(
            NSInvalidArgumentException, "'" + key + "' is not a to-many relationship of " + m_entity->name());
    if (!object)
        return;
    auto guard = lockContext();
    auto inverse = m_entity->inverseOf(relationship);
    if (inverse && sharesContextWith(*object) && object->toOneTarget(inverse->name()).get() == this) {
        object->setToOne(inverse->name(), nullptr, true);
        return;
    }
    eraseMember(key, object.get());
}

void NSManagedObject::setToMany(const std::string& key, const std::vector<Ref<NSManagedObject>>& members)
{
    auto current = toManyMembers(key);
    for (const auto& member : current) {
        if (std::find(members.begin(), members.end(), member) == members.end())
            removeRelatedObject(key, member);
    }
    for (const auto& member : members)
        addRelatedObject(key, member);
}

ObjectSnapshot NSManagedObject::currentSnapshot() const
{
    ObjectSnapshot snapshot;
    snapshot.objectID = m_objectID;
    snapshot.attributes = m_attributes;
    for (const auto& [name, slot] : m_toOne) {
        if (slot.object)
            snapshot.toOne.emplace(name, slot.object->m_objectID);
        else if (slot.pendingID)
            snapshot.toOne.emplace(name, slot.pendingID);
    }
    return snapshot;
}

void NSManagedObject::applySnapshot(const ObjectSnapshot& snapshot)
{
    m_attributes = snapshot.attributes;
    m_toOne.clear();
    for (const auto& [name, id] : snapshot.toOne)
        m_toOne[name] = ToOne { nullptr, id };
    unloadToMany();
    m_committed = snapshot;
}

void NSManagedObject::unloadToMany()
{
    for (auto& [name, slot] : m_toMany) {
        slot.objects.clear();
        slot.loaded = false;
    }
}

void NSManagedObject::clearRelationships()
{
    for (auto& [name, slot] : m_toOne) {
        if (slot.object) {
            slot.pendingID = slot.object->m_objectID;
            slot.object = nullptr;
        }
    }
    unloadToMany();
}

std::string NSManagedObject::description() const
{
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    auto guard = lockContext();
    std::string text = "<" + className() + ": " + address + "> (entity: " + m_entity->name()
        + "; id: " + (m_objectID ? m_objectID->URIRepresentation() : std::string("nil")) + "; data: {";
    bool first = true;
    for (const auto& attribute : m_entity->attributes()) {
        auto found = m_attributes.find(attribute->name());
        text += (first ? "" : "; ") + attribute->name() + " = "
            + (found == m_attributes.end() ? std::string("nil") : found->second.description());
        first = false;
    }
    return text + "})";
}
