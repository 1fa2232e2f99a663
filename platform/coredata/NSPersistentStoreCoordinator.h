#pragma once

#include "coredata/CoreDataForward.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct ObjectSnapshot;

// Connects a model to its store. It holds at most one store; without one, fetches and saves
// through it fail with an error. It hands out one NSManagedObjectID per stored row and
// serialises all store access. Any thread.
class NSPersistentStoreCoordinator : public NSObject {
    VX_OBJECT(NSPersistentStoreCoordinator, NSObject)
public:
    NSPersistentStoreCoordinator(Passkey, Ref<NSManagedObjectModel> model);
    static Ref<NSPersistentStoreCoordinator> initWithManagedObjectModel(const Ref<NSManagedObjectModel>& model);

    const Ref<NSManagedObjectModel>& managedObjectModel() const { return m_model; }

    // Adds the store at `path` (a file path). The type must be NSSQLiteStoreType; the
    // configuration must be empty; options may ask for automatic, inferred migration. On
    // failure answers nullptr, reports the error and leaves the coordinator as it was.
    Ref<NSPersistentStore> addPersistentStoreWithType(const std::string& type, const std::string& configuration,
        const std::string& path, const Value& options, Ref<NSError>* error);
    std::vector<Ref<NSPersistentStore>> persistentStores() const;
    bool removePersistentStore(const Ref<NSPersistentStore>& store, Ref<NSError>* error);

    // Used by contexts.
    std::optional<std::vector<ObjectSnapshot>> fetchSnapshots(
        const Ref<NSEntityDescription>& entity, Ref<NSError>* error);
    // nullopt on error; an empty inner optional when the row does not exist.
    std::optional<std::optional<ObjectSnapshot>> snapshotForID(
        const Ref<NSManagedObjectID>& objectID, Ref<NSError>* error);
    // Writes the changes in one transaction and makes the inserted objects' IDs permanent.
    bool saveChanges(const std::vector<ObjectSnapshot>& inserted, const std::vector<ObjectSnapshot>& updated,
        const std::vector<Ref<NSManagedObjectID>>& deleted, Ref<NSError>* error);

private:
    Ref<NSManagedObjectID> canonicalID(const Ref<NSEntityDescription>& entity, int64_t primaryKey);
    ObjectSnapshot snapshotFromRow(const Ref<NSEntityDescription>& entity, const void* row);
    Ref<NSError> noStoreError() const;

    Ref<NSManagedObjectModel> m_model;
    mutable std::recursive_mutex m_lock;
    Ref<NSPersistentStore> m_store;
    std::map<std::pair<std::string, int64_t>, Weak<NSManagedObjectID>> m_ids;
};
