#include "coredata/NSManagedObjectContext.h"

#include "coredata/CoreDataErrors.h"
#include "coredata/NSAttributeDescription.h"
#include "coredata/NSEntityDescription.h"
#include "coredata/NSFetchRequest.h"
#include "coredata/NSManagedObject.h"
#include "coredata/NSManagedObjectID.h"
#include "coredata/NSManagedObjectModel.h"
#include "coredata/NSPersistentStoreCoordinator.h"
#include "coredata/NSRelationshipDescription.h"
#include "foundation/NSError.h"
#include "foundation/NSException.h"
#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSPredicate.h"
#include "foundation/NSSortDescriptor.h"
#include "foundation/NSThread.h"

#include <algorithm>
#include <set>
#include <utility>

VX_REGISTER_CLASS(NSManagedObjectContext);

namespace {

// The contexts whose blocks the current thread is running, innermost last.
thread_local std::vector<const NSManagedObjectContext*> t_performing;

struct PerformingScope {
    explicit PerformingScope(const NSManagedObjectContext* context) { t_performing.push_back(context); }
    ~PerformingScope() { t_performing.pop_back(); }
    PerformingScope(const PerformingScope&) = delete;
    PerformingScope& operator=(const PerformingScope&) = delete;
};

void removeObject(std::vector<Ref<NSManagedObject>>& list, const NSManagedObject* object)
{
    list.erase(std::remove_if(list.begin(), list.end(), [&](const auto& o) { return o.get() == object; }), list.end());
}

void addOnce(std::vector<Ref<NSManagedObject>>& list, const Ref<NSManagedObject>& object)
{
    if (std::find(list.begin(), list.end(), object) == list.end())
        list.push_back(object);
}

Value arrayOf(const std::vector<Ref<NSManagedObject>>& objects)
{
    std::vector<Value> values;
    values.reserve(objects.size());
    for (const auto& object : objects)
        values.push_back(Value(object));
    return Value::array(std::move(values));
}

Ref<NSError> noCoordinatorError()
{
    return coreDataError(
        NSPersistentStoreSaveError, "This context has neither a persistent store coordinator nor a parent context.");
}

} // namespace

NSManagedObjectContext::NSManagedObjectContext(Passkey key, ConcurrencyType type)
    : NSObject(key)
    , m_type(type)
{
    if (type == NSPrivateQueueConcurrencyType)
        m_queue = dispatch_queue_create("NSManagedObjectContext", DISPATCH_QUEUE_SERIAL);
}

NSManagedObjectContext::~NSManagedObjectContext()
{
    // Objects may hold each other through relationships; break those links so they can go.
    for (auto& [id, object] : m_registered) {
        object->clearRelationships();
        object->setContext(nullptr);
    }
    for (auto& object : m_inserted)
        object->setContext(nullptr);
}

Ref<NSManagedObjectContext> NSManagedObjectContext::initWithConcurrencyType(ConcurrencyType type)
{
    return make<NSManagedObjectContext>(type);
}

void NSManagedObjectContext::setPersistentStoreCoordinator(const Ref<NSPersistentStoreCoordinator>& coordinator)
{
    std::lock_guard guard(m_lock);
    m_coordinator = coordinator;
    if (coordinator)
        m_parent = nullptr;
}

Ref<NSPersistentStoreCoordinator> NSManagedObjectContext::persistentStoreCoordinator() const
{
    std::lock_guard guard(m_lock);
    if (m_coordinator)
        return m_coordinator;
    return m_parent ? m_parent->persistentStoreCoordinator() : nullptr;
}

void NSManagedObjectContext::setParentContext(const Ref<NSManagedObjectContext>& parent)
{
    std::lock_guard guard(m_lock);
    for (auto ancestor = parent; ancestor; ancestor = ancestor->parentContext()) {
        if (ancestor.get() == this)
            NSException::raise(NSInvalidArgumentException, "A context cannot be its own ancestor");
    }
    m_parent = parent;
    if (parent)
        m_coordinator = nullptr;
}

Ref<NSManagedObjectContext> NSManagedObjectContext::parentContext() const
{
    std::lock_guard guard(m_lock);
    return m_parent;
}

// MARK: Queues

bool NSManagedObjectContext::isPerformingOnThisThread() const
{
    return std::find(t_performing.begin(), t_performing.end(), this) != t_performing.end();
}

void NSManagedObjectContext::runPerforming(const std::function<void()>& block)
{
    PerformingScope scope(this);
    block();
}

void NSManagedObjectContext::performBlock(std::function<void()> block)
{
    auto self = this->self<NSManagedObjectContext>();
    auto wrapped = [self, block = std::move(block)] { self->runPerforming(block); };
    switch (m_type) {
    case NSPrivateQueueConcurrencyType:
        dispatch_async(m_queue, std::move(wrapped));
        break;
    case NSMainQueueConcurrencyType:
        dispatch_async(dispatch_get_main_queue(), std::move(wrapped));
        break;
    case NSConfinementConcurrencyType:
        wrapped();
        break;
    }
}

void NSManagedObjectContext::performBlockAndWait(const std::function<void()>& block)
{
    auto self = this->self<NSManagedObjectContext>();
    if (isPerformingOnThisThread() || m_type == NSConfinementConcurrencyType
        || (m_type == NSMainQueueConcurrencyType && NSThread::isMainThread())) {
        runPerforming(block);
        return;
    }
    auto wrapped = [self, &block] { self->runPerforming(block); };
    if (m_type == NSPrivateQueueConcurrencyType)
        dispatch_sync(m_queue, wrapped);
    else
        dispatch_sync(dispatch_get_main_queue(), wrapped);
}

// MARK: Registration, insertion and deletion

Ref<NSManagedObject> NSManagedObjectContext::registered(const NSManagedObjectID* objectID) const
{
    auto found = m_registered.find(objectID);
    return found == m_registered.end() ? nullptr : found->second;
}

void NSManagedObjectContext::insertObject(const Ref<NSManagedObject>& object)
{
    if (!object)
        return;
    {
        std::lock_guard guard(m_lock);
        auto current = object->contextRef();
        if (current.get() == this && !object->m_deleted)
            return;
        if (current && current.get() != this)
            NSException::raise(NSInvalidArgumentException,
                "An NSManagedObject may only be in (or observed by) a single NSManagedObjectContext.");
        insertLocked(object, true);
    }
    // awakeFromInsert runs outside the lock's bookkeeping but on the inserting thread.
    if (!object->m_awoken) {
        object->m_awoken = true;
        object->awakeFromInsert();
    }
}

void NSManagedObjectContext::insertLocked(const Ref<NSManagedObject>& object, bool awake)
{
    if (object->m_deleted && object->contextRef().get() == this) {
        // Inserting a deleted object undoes the deletion.
        object->m_deleted = false;
        removeObject(m_deleted, object.get());
        return;
    }
    object->setContext(self<NSManagedObjectContext>());
    object->m_inserted = true;
    object->m_updated = false;
    object->m_deleted = false;
    if (!awake)
        object->m_awoken = true;
    m_registered[object->m_objectID.get()] = object;
    m_inserted.push_back(object);
    addOnce(m_pending.inserted, object);
}

void NSManagedObjectContext::noteUpdated(NSManagedObject& object)
{
    auto ref = object.self<NSManagedObject>();
    addOnce(m_updated, ref);
    addOnce(m_pending.updated, ref);
}

void NSManagedObjectContext::unregister(const Ref<NSManagedObject>& object)
{
    m_registered.erase(object->m_objectID.get());
    removeObject(m_inserted, object.get());
    removeObject(m_updated, object.get());
    removeObject(m_deleted, object.get());
}

void NSManagedObjectContext::deleteObject(const Ref<NSManagedObject>& object)
{
    if (!object)
        return;
    std::lock_guard guard(m_lock);
    auto current = object->contextRef();
    if (!current)
        return; // an object outside any context is simply forgotten
    if (current.get() != this)
        NSException::raise(NSInvalidArgumentException, "An NSManagedObject may only be deleted from its own context.");
    deleteLocked(object);
}

void NSManagedObjectContext::deleteLocked(const Ref<NSManagedObject>& object)
{
    if (object->m_deleted || object->contextRef().get() != this)
        return;
    const auto& entity = object->m_entity;
    // Mark first, so cascades that lead back here stop.
    bool wasInserted = object->m_inserted;
    object->m_deleted = true;
    for (const auto& relationship : entity->relationships()) {
        std::vector<Ref<NSManagedObject>> targets;
        if (relationship->isToMany()) {
            targets = object->toManyMembers(relationship->name());
        } else if (auto target = object->toOneTarget(relationship->name())) {
            targets.push_back(target);
        }
        auto inverse = entity->inverseOf(relationship);
        for (const auto& target : targets) {
            if (target->contextRef().get() != this || target->m_deleted)
                continue;
            switch (relationship->deleteRule()) {
            case NSRelationshipDescription::NSCascadeDeleteRule:
                deleteLocked(target);
                break;
            case NSRelationshipDescription::NSNullifyDeleteRule:
                if (inverse && inverse->isToMany())
                    target->eraseMember(inverse->name(), object.get());
                else if (inverse && target->toOneTarget(inverse->name()) == object)
                    target->assignToOneOnly(inverse->name(), nullptr);
                break;
            case NSRelationshipDescription::NSDenyDeleteRule:
            case NSRelationshipDescription::NSNoActionDeleteRule:
                break;
            }
        }
    }
    if (wasInserted) {
        // Never saved: it just leaves the context.
        object->m_inserted = false;
        removeObject(m_pending.inserted, object.get());
        unregister(object);
        object->setContext(nullptr);
        return;
    }
    object->m_updated = false;
    removeObject(m_updated, object.get());
    addOnce(m_deleted, object);
    addOnce(m_pending.deleted, object);
}

bool NSManagedObjectContext::hasChanges() const
{
    std::lock_guard guard(m_lock);
    return !m_inserted.empty() || !m_updated.empty() || !m_deleted.empty();
}

std::vector<Ref<NSManagedObject>> NSManagedObjectContext::insertedObjects() const
{
    std::lock_guard guard(m_lock);
    return m_inserted;
}

std::vector<Ref<NSManagedObject>> NSManagedObjectContext::updatedObjects() const
{
    std::lock_guard guard(m_lock);
    return m_updated;
}

std::vector<Ref<NSManagedObject>> NSManagedObjectContext::deletedObjects() const
{
    std::lock_guard guard(m_lock);
    return m_deleted;
}

std::vector<Ref<NSManagedObject>> NSManagedObjectContext::registeredObjects() const
{
    std::lock_guard guard(m_lock);
    std::vector<Ref<NSManagedObject>> objects;
    for (const auto& [id, object] : m_registered)
        objects.push_back(object);
    return objects;
}

// MARK: Reading through parents

std::optional<std::vector<ObjectSnapshot>> NSManagedObjectContext::baseSnapshots(
    const Ref<NSEntityDescription>& entity, Ref<NSError>* error)
{
    if (m_parent) {
        std::lock_guard parentGuard(m_parent->m_lock);
        return m_parent->mergedSnapshots(entity, error);
    }
    if (m_coordinator)
        return m_coordinator->fetchSnapshots(entity, error);
    reportError(error, noCoordinatorError());
    return std::nullopt;
}

std::optional<std::vector<ObjectSnapshot>> NSManagedObjectContext::mergedSnapshots(
    const Ref<NSEntityDescription>& entity, Ref<NSError>* error)
{
    auto base = baseSnapshots(entity, error);
    if (!base)
        return std::nullopt;
    std::vector<ObjectSnapshot> merged;
    merged.reserve(base->size());
    for (auto& snapshot : *base) {
        auto object = registered(snapshot.objectID.get());
        if (!object) {
            merged.push_back(std::move(snapshot));
            continue;
        }
        if (object->m_deleted)
            continue;
        if (!object->m_updated && !object->m_inserted)
            object->applySnapshot(snapshot); // unchanged here: take the newer saved state
        merged.push_back(object->currentSnapshot());
    }
    for (const auto& object : m_inserted) {
        if (object->m_entity->name() == entity->name())
            merged.push_back(object->currentSnapshot());
    }
    return merged;
}

std::optional<std::optional<ObjectSnapshot>> NSManagedObjectContext::baseSnapshotForID(
    const Ref<NSManagedObjectID>& objectID, Ref<NSError>* error)
{
    if (m_parent) {
        std::lock_guard parentGuard(m_parent->m_lock);
        return m_parent->mergedSnapshotForID(objectID, error);
    }
    if (m_coordinator)
        return m_coordinator->snapshotForID(objectID, error);
    reportError(error, noCoordinatorError());
    return std::nullopt;
}

std::optional<std::optional<ObjectSnapshot>> NSManagedObjectContext::mergedSnapshotForID(
    const Ref<NSManagedObjectID>& objectID, Ref<NSError>* error)
{
    if (auto object = registered(objectID.get())) {
        if (object->m_deleted)
            return std::optional<ObjectSnapshot>();
        return std::optional<ObjectSnapshot>(object->currentSnapshot());
    }
    return baseSnapshotForID(objectID, error);
}

Ref<NSManagedObject> NSManagedObjectContext::materialize(const ObjectSnapshot& snapshot)
{
    if (auto object = registered(snapshot.objectID.get()))
        return object;
    auto object = NSManagedObject::makeForEntity(snapshot.objectID->entity());
    object->m_objectID = snapshot.objectID;
    object->setContext(self<NSManagedObjectContext>());
    object->m_awoken = true;
    object->applySnapshot(snapshot);
    m_registered[snapshot.objectID.get()] = object;
    object->awakeFromFetch();
    return object;
}

Ref<NSManagedObject> NSManagedObjectContext::objectWithIDLocked(const Ref<NSManagedObjectID>& objectID)
{
    if (!objectID)
        return nullptr;
    if (auto object = registered(objectID.get()))
        return object;
    auto snapshot = baseSnapshotForID(objectID, nullptr);
    if (!snapshot || !*snapshot)
        return nullptr;
    return materialize(**snapshot);
}

std::vector<Ref<NSManagedObject>> NSManagedObjectContext::loadToMany(NSManagedObject& owner, const std::string& key)
{
    std::vector<Ref<NSManagedObject>> members;
    auto relationship = owner.m_entity->relationshipNamed(key);
    auto inverse = owner.m_entity->inverseOf(relationship);
    auto model = owner.m_entity->managedObjectModel();
    auto destination = model ? model->entityNamed(relationship->destinationEntityName()) : nullptr;
    if (!inverse || !destination)
        return members;
    auto snapshots = mergedSnapshots(destination, nullptr);
    if (!snapshots)
        return members;
    for (const auto& snapshot : *snapshots) {
        auto found = snapshot.toOne.find(inverse->name());
        if (found != snapshot.toOne.end() && found->second == owner.m_objectID)
            members.push_back(materialize(snapshot));
    }
    return members;
}

Ref<NSManagedObject> NSManagedObjectContext::objectWithID(const Ref<NSManagedObjectID>& objectID)
{
    std::lock_guard guard(m_lock);
    return objectWithIDLocked(objectID);
}

Ref<NSManagedObject> NSManagedObjectContext::existingObjectWithID(
    const Ref<NSManagedObjectID>& objectID, Ref<NSError>* error)
{
    std::lock_guard guard(m_lock);
    auto object = objectWithIDLocked(objectID);
    if (object && object->m_deleted)
        object = nullptr;
    if (!object) {
        reportError(error,
            coreDataError(NSManagedObjectReferentialIntegrityError, "The object does not exist in this context.",
                Value::dictionary({ { Value("NSAffectedObjectsErrorKey"),
                    objectID ? Value(objectID->URIRepresentation()) : Value() } })));
    }
    return object;
}

Ref<NSManagedObject> NSManagedObjectContext::objectRegisteredForID(const Ref<NSManagedObjectID>& objectID) const
{
    std::lock_guard guard(m_lock);
    return objectID ? registered(objectID.get()) : nullptr;
}

// MARK: Fetching

Value NSManagedObjectContext::executeFetchRequest(const Ref<NSFetchRequest>& request, Ref<NSError>* error)
{
    if (!request)
        NSException::raise(NSInvalidArgumentException, "executeFetchRequest: a fetch request is required");
    processPendingChanges();
    std::lock_guard guard(m_lock);
    auto coordinator = persistentStoreCoordinator();
    auto model = coordinator ? coordinator->managedObjectModel() : nullptr;
    auto entity = request->entity() ? request->entity() : (model ? model->entityNamed(request->entityName()) : nullptr);
    if (!coordinator) {
        reportError(error, noCoordinatorError());
        return Value();
    }
    if (!entity) {
        NSException::raise(
            NSInvalidArgumentException, "executeFetchRequest:error: A fetch request must have an entity.");
    }
    auto snapshots = mergedSnapshots(entity, error);
    if (!snapshots)
        return Value();
    std::vector<Value> objects;
    try {
        for (const auto& snapshot : *snapshots) {
            auto object = materialize(snapshot);
            Value value(object);
            if (!request->predicate() || request->predicate()->evaluateWithObject(value))
                objects.push_back(std::move(value));
        }
        if (!request->sortDescriptors().empty())
            objects = sortedArrayUsingDescriptors(std::move(objects), request->sortDescriptors());
    } catch (const NSException& exception) {
        // A predicate or sort key the objects cannot answer: the fetch fails, the caller goes on.
        reportError(error,
            coreDataError(NSCoreDataError, "The fetch could not be evaluated: " + exception.reason(),
                Value::dictionary({ { Value("NSExceptionName"), Value(exception.name()) } })));
        return Value();
    }
    size_t offset = std::min<size_t>(request->fetchOffset(), objects.size());
    objects.erase(objects.begin(), objects.begin() + static_cast<std::ptrdiff_t>(offset));
    if (request->fetchLimit() > 0 && objects.size() > request->fetchLimit())
        objects.resize(request->fetchLimit());

    switch (request->resultType()) {
    case NSFetchRequest::NSManagedObjectResultType:
        return Value::array(std::move(objects));
    case NSFetchRequest::NSManagedObjectIDResultType: {
        std::vector<Value> ids;
        for (const auto& object : objects)
            ids.push_back(Value(object.objectAs<NSManagedObject>()->m_objectID));
        return Value::array(std::move(ids));
    }
    case NSFetchRequest::NSDictionaryResultType: {
        std::vector<Value> rows;
        std::vector<std::string> names = request->propertiesToFetch();
        if (names.empty()) {
            for (const auto& attribute : entity->attributes())
                names.push_back(attribute->name());
        }
        for (const auto& object : objects) {
            auto managed = object.objectAs<NSManagedObject>();
            Value row = Value::mutableDictionary();
            for (const auto& name : names) {
                if (!entity->attributeNamed(name))
                    continue;
                Value value = managed->primitiveValueForKey(name);
                if (!value.isNil())
                    row.setObjectForKey(value, Value(name));
            }
            rows.push_back(row.copy());
        }
        return Value::array(std::move(rows));
    }
    case NSFetchRequest::NSCountResultType:
        return Value::array({ Value(static_cast<uint32_t>(objects.size())) });
    }
    return Value::array(std::move(objects));
}

NSUInteger NSManagedObjectContext::countForFetchRequest(const Ref<NSFetchRequest>& request, Ref<NSError>* error)
{
    auto results = executeFetchRequest(request, error);
    if (!results.isArray())
        return static_cast<NSUInteger>(NSNotFound);
    if (request->resultType() == NSFetchRequest::NSCountResultType)
        return results[0].unsignedIntValue();
    return static_cast<NSUInteger>(results.count());
}

// MARK: Saving

bool NSManagedObjectContext::validate(Ref<NSError>* error)
{
    std::vector<Value> problems;
    auto problem
        = [&](int32_t code, const std::string& text, const Ref<NSManagedObject>& object, const std::string& key) {
              problems.push_back(Value(coreDataError(code, text,
                  Value::dictionary({ { Value(NSValidationObjectErrorKey), Value(object) },
                      { Value(NSValidationKeyErrorKey), Value(key) } }))));
          };
    std::vector<Ref<NSManagedObject>> changed = m_inserted;
    changed.insert(changed.end(), m_updated.begin(), m_updated.end());
    for (const auto& object : changed) {
        const auto& entity = object->m_entity;
        for (const auto& attribute : entity->attributes()) {
            auto found = object->m_attributes.find(attribute->name());
            Value value = found == object->m_attributes.end() ? Value() : found->second;
            if (value.isNil() && !attribute->isOptional())
                problem(NSValidationMissingMandatoryPropertyError, attribute->name() + " is a required value.", object,
                    attribute->name());
            else if (!attribute->acceptsValue(value))
                problem(NSManagedObjectValidationError, attribute->name() + " holds a value of the wrong type.", object,
                    attribute->name());
        }
        for (const auto& relationship : entity->relationships()) {
            std::vector<Ref<NSManagedObject>> targets;
            if (relationship->isToMany())
                targets = object->toManyMembers(relationship->name());
            else if (auto target = object->toOneTarget(relationship->name()))
                targets.push_back(target);
            else if (!relationship->isOptional())
                problem(NSValidationMissingMandatoryPropertyError, relationship->name() + " is a required value.",
                    object, relationship->name());
            for (const auto& target : targets) {
                if (target->contextRef().get() != this || target->m_deleted)
                    problem(NSManagedObjectValidationError, "Dangling reference to an invalid object.", object,
                        relationship->name());
            }
        }
    }
    for (const auto& object : m_deleted) {
        for (const auto& relationship : object->m_entity->relationships()) {
            if (relationship->deleteRule() != NSRelationshipDescription::NSDenyDeleteRule)
                continue;
            std::vector<Ref<NSManagedObject>> targets;
            if (relationship->isToMany())
                targets = object->toManyMembers(relationship->name());
            else if (auto target = object->toOneTarget(relationship->name()))
                targets.push_back(target);
            for (const auto& target : targets) {
                if (!target->m_deleted) {
                    problem(NSValidationRelationshipDeniedDeleteError,
                        "The object cannot be deleted while " + relationship->name() + " is not empty.", object,
                        relationship->name());
                    break;
                }
            }
        }
    }
    if (problems.empty())
        return true;
    if (problems.size() == 1) {
        reportError(error, problems.front().objectAs<NSError>());
        return false;
    }
    reportError(error,
        coreDataError(NSManagedObjectValidationError, "Multiple validation errors occurred.",
            Value::dictionary({ { Value(NSDetailedErrorsKey), Value::array(std::move(problems)) } })));
    return false;
}

bool NSManagedObjectContext::applyChildChanges(const std::vector<ObjectSnapshot>& inserted,
    const std::vector<ObjectSnapshot>& updated, const std::vector<Ref<NSManagedObjectID>>& deleted, Ref<NSError>* error)
{
    // New objects first, so the others can point at them.
    for (const auto& snapshot : inserted) {
        if (registered(snapshot.objectID.get()))
            continue;
        auto object = NSManagedObject::makeForEntity(snapshot.objectID->entity());
        object->m_objectID = snapshot.objectID;
        insertLocked(object, false);
    }
    auto apply = [&](const ObjectSnapshot& snapshot) {
        auto object = objectWithIDLocked(snapshot.objectID);
        if (!object || object->m_deleted)
            return;
        ObjectSnapshot committed = object->m_committed;
        object->applySnapshot(snapshot);
        object->m_committed = std::move(committed);
        object->markChanged();
    };
    for (const auto& snapshot : inserted)
        apply(snapshot);
    for (const auto& snapshot : updated)
        apply(snapshot);
    for (const auto& id : deleted) {
        if (auto object = objectWithIDLocked(id))
            deleteLocked(object);
    }
    // Memberships follow from the to-one sides just written.
    for (const auto& [id, object] : m_registered)
        object->unloadToMany();
    return true;
}

bool NSManagedObjectContext::save(Ref<NSError>* error)
{
    processPendingChanges();
    PendingChanges saved;
    {
        std::lock_guard guard(m_lock);
        if (m_inserted.empty() && m_updated.empty() && m_deleted.empty())
            return true;
        if (!validate(error))
            return false;
        std::vector<ObjectSnapshot> inserted, updated;
        std::vector<Ref<NSManagedObjectID>> deleted;
        for (const auto& object : m_inserted)
            inserted.push_back(object->currentSnapshot());
        for (const auto& object : m_updated)
            updated.push_back(object->currentSnapshot());
        for (const auto& object : m_deleted)
            deleted.push_back(object->m_objectID);
        bool ok;
        if (m_parent) {
            std::lock_guard parentGuard(m_parent->m_lock);
            ok = m_parent->applyChildChanges(inserted, updated, deleted, error);
        } else if (m_coordinator) {
            ok = m_coordinator->saveChanges(inserted, updated, deleted, error);
        } else {
            reportError(error, noCoordinatorError());
            ok = false;
        }
        if (!ok)
            return false;
        saved.inserted = std::move(m_inserted);
        saved.updated = std::move(m_updated);
        saved.deleted = std::move(m_deleted);
        m_inserted.clear();
        m_updated.clear();
        m_deleted.clear();
        for (const auto& object : saved.inserted) {
            object->m_inserted = false;
            object->m_committed = object->currentSnapshot();
        }
        for (const auto& object : saved.updated) {
            object->m_updated = false;
            object->m_committed = object->currentSnapshot();
        }
        for (const auto& object : saved.deleted) {
            m_registered.erase(object->m_objectID.get());
            object->clearRelationships();
            object->setContext(nullptr);
        }
    }
    postChanges(NSManagedObjectContextDidSaveNotification, saved);
    return true;
}

void NSManagedObjectContext::rollback()
{
    std::lock_guard guard(m_lock);
    for (const auto& object : m_inserted) {
        m_registered.erase(object->m_objectID.get());
        object->m_inserted = false;
        object->setContext(nullptr);
    }
    std::vector<Ref<NSManagedObject>> restored = m_updated;
    restored.insert(restored.end(), m_deleted.begin(), m_deleted.end());
    for (const auto& object : restored) {
        object->m_updated = false;
        object->m_deleted = false;
        ObjectSnapshot committed = object->m_committed;
        object->applySnapshot(committed);
    }
    for (const auto& [id, object] : m_registered)
        object->unloadToMany();
    m_inserted.clear();
    m_updated.clear();
    m_deleted.clear();
    m_pending = {};
}

void NSManagedObjectContext::reset()
{
    std::lock_guard guard(m_lock);
    for (const auto& [id, object] : m_registered) {
        object->clearRelationships();
        object->m_inserted = object->m_updated = object->m_deleted = false;
        object->setContext(nullptr);
    }
    m_registered.clear();
    m_inserted.clear();
    m_updated.clear();
    m_deleted.clear();
    m_pending = {};
}

// MARK: Notifications

NSManagedObjectContext::PendingChanges NSManagedObjectContext::takePendingChanges()
{
    std::lock_guard guard(m_lock);
    PendingChanges changes = std::move(m_pending);
    m_pending = {};
    // An object inserted since the last notice is reported as inserted only.
    for (const auto& object : changes.inserted)
        removeObject(changes.updated, object.get());
    return changes;
}

void NSManagedObjectContext::processPendingChanges()
{
    auto changes = takePendingChanges();
    postChanges(NSManagedObjectContextObjectsDidChangeNotification, changes);
}

void NSManagedObjectContext::postChanges(const char* name, const PendingChanges& changes)
{
    if (changes.inserted.empty() && changes.updated.empty() && changes.deleted.empty())
        return;
    Value info = Value::mutableDictionary();
    if (!changes.inserted.empty())
        info.setObjectForKey(arrayOf(changes.inserted), Value(NSInsertedObjectsKey));
    if (!changes.updated.empty())
        info.setObjectForKey(arrayOf(changes.updated), Value(NSUpdatedObjectsKey));
    if (!changes.deleted.empty())
        info.setObjectForKey(arrayOf(changes.deleted), Value(NSDeletedObjectsKey));
    NSNotificationCenter::defaultCenter()->postNotificationName(name, self<NSObject>(), info.copy());
}

void NSManagedObjectContext::mergeChangesFromContextDidSaveNotification(const Ref<NSNotification>& notification)
{
    if (!notification)
        return;
    const Value& info = notification->userInfo();
    std::lock_guard guard(m_lock);
    for (const auto& value : info[NSDeletedObjectsKey].elements()) {
        auto other = value.objectAs<NSManagedObject>();
        auto object = other ? registered(other->m_objectID.get()) : nullptr;
        if (!object)
            continue;
        unregister(object);
        object->m_inserted = object->m_updated = false;
        object->m_deleted = true;
        object->clearRelationships();
        object->setContext(nullptr);
    }
    for (const auto& value : info[NSUpdatedObjectsKey].elements()) {
        auto other = value.objectAs<NSManagedObject>();
        auto object = other ? registered(other->m_objectID.get()) : nullptr;
        if (!object || object->m_updated || object->m_inserted || object->m_deleted)
            continue;
        auto snapshot = baseSnapshotForID(object->m_objectID, nullptr);
        if (snapshot && *snapshot)
            object->applySnapshot(**snapshot);
    }
    for (const auto& [id, object] : m_registered) {
        if (!object->m_updated && !object->m_inserted)
            object->unloadToMany();
    }
}
