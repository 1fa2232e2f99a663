#include "coredata/NSPersistentStoreCoordinator.h"

#include "coredata/CoreDataErrors.h"
#include "coredata/ManagedObjectSnapshot.h"
#include "coredata/NSEntityDescription.h"
#include "coredata/NSManagedObjectID.h"
#include "coredata/NSManagedObjectModel.h"
#include "coredata/NSPersistentStore.h"
#include "coredata/NSRelationshipDescription.h"
#include "foundation/NSError.h"

VX_REGISTER_CLASS(NSPersistentStoreCoordinator);

NSPersistentStoreCoordinator::NSPersistentStoreCoordinator(Passkey key, Ref<NSManagedObjectModel> model)
    : NSObject(key)
    , m_model(std::move(model))
{
}

Ref<NSPersistentStoreCoordinator> NSPersistentStoreCoordinator::initWithManagedObjectModel(
    const Ref<NSManagedObjectModel>& model)
{
    if (!model)
        return nullptr;
    return make<NSPersistentStoreCoordinator>(model);
}

Ref<NSPersistentStore> NSPersistentStoreCoordinator::addPersistentStoreWithType(const std::string& type,
    const std::string& configuration, const std::string& path, const Value& options, Ref<NSError>* error)
{
    std::lock_guard guard(m_lock);
    if (type != NSSQLiteStoreType) {
        reportError(error, coreDataError(NSPersistentStoreInvalidTypeError, "Unknown store type \"" + type + "\""));
        return nullptr;
    }
    if (!configuration.empty() || m_store) {
        reportError(error,
            coreDataError(NSPersistentStoreOperationError,
                m_store ? "The coordinator already has a store" : "Configurations are not supported"));
        return nullptr;
    }
    auto store = NSPersistentStore::openSQLiteStore(path, options, m_model, error);
    if (store)
        m_store = store;
    return store;
}

std::vector<Ref<NSPersistentStore>> NSPersistentStoreCoordinator::persistentStores() const
{
    std::lock_guard guard(m_lock);
    if (!m_store)
        return {};
    return { m_store };
}

bool NSPersistentStoreCoordinator::removePersistentStore(const Ref<NSPersistentStore>& store, Ref<NSError>* error)
{
    std::lock_guard guard(m_lock);
    if (!store || store != m_store) {
        reportError(
            error, coreDataError(NSPersistentStoreOperationError, "The store is not one of this coordinator's"));
        return false;
    }
    m_store = nullptr;
    return true;
}

Ref<NSError> NSPersistentStoreCoordinator::noStoreError() const
{
    return coreDataError(NSPersistentStoreSaveError,
        "This coordinator has no persistent stores. It cannot perform a save or fetch operation.");
}

Ref<NSManagedObjectID> NSPersistentStoreCoordinator::canonicalID(
    const Ref<NSEntityDescription>& entity, int64_t primaryKey)
{
    auto& slot = m_ids[{ entity->name(), primaryKey }];
    if (auto existing = slot.lock())
        return existing;
    auto made = NSManagedObjectID::permanentID(entity, primaryKey);
    slot = made;
    return made;
}

ObjectSnapshot NSPersistentStoreCoordinator::snapshotFromRow(
    const Ref<NSEntityDescription>& entity, const void* rowPointer)
{
    const auto& row = *static_cast<const NSPersistentStore::Row*>(rowPointer);
    ObjectSnapshot snapshot;
    snapshot.objectID = canonicalID(entity, row.primaryKey);
    snapshot.attributes = row.attributes;
    for (const auto& [name, key] : row.toOne) {
        auto relationship = entity->relationshipNamed(name);
        auto destination = relationship ? m_model->entityNamed(relationship->destinationEntityName()) : nullptr;
        if (destination)
            snapshot.toOne.emplace(name, canonicalID(destination, key));
    }
    return snapshot;
}

std::optional<std::vector<ObjectSnapshot>> NSPersistentStoreCoordinator::fetchSnapshots(
    const Ref<NSEntityDescription>& entity, Ref<NSError>* error)
{
    std::lock_guard guard(m_lock);
    if (!m_store) {
        reportError(error, noStoreError());
        return std::nullopt;
    }
    auto rows = m_store->fetchRows(entity, error);
    if (!rows)
        return std::nullopt;
    std::vector<ObjectSnapshot> snapshots;
    snapshots.reserve(rows->size());
    for (const auto& row : *rows)
        snapshots.push_back(snapshotFromRow(entity, &row));
    return snapshots;
}

std::optional<std::optional<ObjectSnapshot>> NSPersistentStoreCoordinator::snapshotForID(
    const Ref<NSManagedObjectID>& objectID, Ref<NSError>* error)
{
    std::lock_guard guard(m_lock);
    if (!m_store) {
        reportError(error, noStoreError());
        return std::nullopt;
    }
    if (!objectID || objectID->isTemporaryID())
        return std::optional<ObjectSnapshot>();
    auto row = m_store->fetchRow(objectID->entity(), objectID->primaryKey(), error);
    if (!row)
        return std::nullopt;
    if (!*row)
        return std::optional<ObjectSnapshot>();
    return std::optional<ObjectSnapshot>(snapshotFromRow(objectID->entity(), &**row));
}

bool NSPersistentStoreCoordinator::saveChanges(const std::vector<ObjectSnapshot>& inserted,
    const std::vector<ObjectSnapshot>& updated, const std::vector<Ref<NSManagedObjectID>>& deleted, Ref<NSError>* error)
{
    std::lock_guard guard(m_lock);
    if (!m_store) {
        reportError(error, noStoreError());
        return false;
    }
    auto keys = m_store->save(inserted, updated, deleted, error);
    if (!keys)
        return false;
    for (const auto& snapshot : inserted) {
        const auto& id = snapshot.objectID;
        auto key = keys->at(id.get());
        id->becomePermanent(key);
        m_ids[{ id->entity()->name(), key }] = id;
    }
    for (const auto& id : deleted)
        m_ids.erase({ id->entity()->name(), id->primaryKey() });
    return true;
}
