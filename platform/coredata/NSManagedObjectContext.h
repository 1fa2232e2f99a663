#pragma once

#include "coredata/CoreDataForward.h"
#include "coredata/ManagedObjectSnapshot.h"
#include "foundation/Dispatch.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

inline constexpr const char* NSManagedObjectContextDidSaveNotification = "NSManagedObjectContextDidSaveNotification";
inline constexpr const char* NSManagedObjectContextObjectsDidChangeNotification
    = "NSManagedObjectContextObjectsDidChangeNotification";
inline constexpr const char* NSInsertedObjectsKey = "inserted";
inline constexpr const char* NSUpdatedObjectsKey = "updated";
inline constexpr const char* NSDeletedObjectsKey = "deleted";

// A scratch pad of managed objects over a coordinator or over a parent context. Changes stay in
// the context until it saves: a child pushes them into its parent, a context on a coordinator
// writes them to the store in one transaction. Fetches see the context's unsaved changes.
//
// Threads: a main-queue context is used on the main thread (performBlock goes to the main
// queue); a private-queue context on its own serial queue through performBlock and
// performBlockAndWait. performBlockAndWait runs the block on the calling thread while it holds
// the context's queue, and runs it at once when the caller already holds it (a block nested in
// the context's own block, or a main-queue context asked from the main thread), so a child's
// block may wait on its parent from the main thread. Internal state is locked, so a child may
// read its parent from its own queue.
//
// Notifications (default center, posted on the thread that causes them, outside any lock):
// NSManagedObjectContextObjectsDidChangeNotification when pending changes are processed
// (before a fetch or save, or on processPendingChanges) and
// NSManagedObjectContextDidSaveNotification after a save that had changes, each with arrays of
// objects under "inserted", "updated" and "deleted" (keys present only when not empty).
class NSManagedObjectContext : public NSObject {
    VX_OBJECT(NSManagedObjectContext, NSObject)
public:
    enum ConcurrencyType : uint32_t {
        NSConfinementConcurrencyType = 0,
        NSPrivateQueueConcurrencyType = 1,
        NSMainQueueConcurrencyType = 2,
    };

    NSManagedObjectContext(Passkey, ConcurrencyType type);
    ~NSManagedObjectContext() override;
    static Ref<NSManagedObjectContext> initWithConcurrencyType(ConcurrencyType type);
    static Ref<NSManagedObjectContext> init() { return initWithConcurrencyType(NSConfinementConcurrencyType); }

    ConcurrencyType concurrencyType() const { return m_type; }
    // A context has a coordinator or a parent, not both; setting one clears the other.
    void setPersistentStoreCoordinator(const Ref<NSPersistentStoreCoordinator>& coordinator);
    // The context's own coordinator, or its parent's.
    Ref<NSPersistentStoreCoordinator> persistentStoreCoordinator() const;
    void setParentContext(const Ref<NSManagedObjectContext>& parent);
    Ref<NSManagedObjectContext> parentContext() const;

    void performBlock(std::function<void()> block);
    void performBlockAndWait(const std::function<void()>& block);

    // Inserting an object of another context raises "NSInvalidArgumentException"; inserting one
    // already here does nothing. Deleting an object outside any context does nothing.
    void insertObject(const Ref<NSManagedObject>& object);
    void deleteObject(const Ref<NSManagedObject>& object);

    bool hasChanges() const;
    std::vector<Ref<NSManagedObject>> insertedObjects() const;
    std::vector<Ref<NSManagedObject>> updatedObjects() const;
    std::vector<Ref<NSManagedObject>> deletedObjects() const;
    std::vector<Ref<NSManagedObject>> registeredObjects() const;

    // Validates and commits the changes. Without changes answers true and touches nothing. On
    // failure answers false, reports the error, and keeps every change in the context.
    bool save(Ref<NSError>* error);
    // Discards every unsaved change: inserted objects leave the context, changed and deleted
    // ones get their saved values back.
    void rollback();
    // Forgets every object of the context.
    void reset();
    void processPendingChanges();

    // An array of objects (or dictionaries, IDs, per the request's result type); nil with an
    // error on failure.
    Value executeFetchRequest(const Ref<NSFetchRequest>& request, Ref<NSError>* error);
    // NSNotFound with an error on failure.
    NSUInteger countForFetchRequest(const Ref<NSFetchRequest>& request, Ref<NSError>* error);

    // The object for an ID, made from stored data when needed; nullptr when no such object
    // exists for this context.
    Ref<NSManagedObject> objectWithID(const Ref<NSManagedObjectID>& objectID);
    // The same, reporting an error when there is none.
    Ref<NSManagedObject> existingObjectWithID(const Ref<NSManagedObjectID>& objectID, Ref<NSError>* error);
    // Only an object already registered here; never reads stored data.
    Ref<NSManagedObject> objectRegisteredForID(const Ref<NSManagedObjectID>& objectID) const;

    // Brings in the changes another context saved: objects deleted there leave this context;
    // changed ones without local changes take the saved values.
    void mergeChangesFromContextDidSaveNotification(const Ref<NSNotification>& notification);

private:
    friend class NSManagedObject;

    struct PendingChanges {
        std::vector<Ref<NSManagedObject>> inserted, updated, deleted;
    };

    void runPerforming(const std::function<void()>& block);
    bool isPerformingOnThisThread() const;

    // All below expect m_lock held.
    std::optional<std::vector<ObjectSnapshot>> baseSnapshots(
        const Ref<NSEntityDescription>& entity, Ref<NSError>* error);
    std::optional<std::vector<ObjectSnapshot>> mergedSnapshots(
        const Ref<NSEntityDescription>& entity, Ref<NSError>* error);
    std::optional<std::optional<ObjectSnapshot>> baseSnapshotForID(
        const Ref<NSManagedObjectID>& objectID, Ref<NSError>* error);
    std::optional<std::optional<ObjectSnapshot>> mergedSnapshotForID(
        const Ref<NSManagedObjectID>& objectID, Ref<NSError>* error);
    Ref<NSManagedObject> registered(const NSManagedObjectID* objectID) const;
    Ref<NSManagedObject> materialize(const ObjectSnapshot& snapshot);
    Ref<NSManagedObject> objectWithIDLocked(const Ref<NSManagedObjectID>& objectID);
    std::vector<Ref<NSManagedObject>> loadToMany(NSManagedObject& owner, const std::string& key);
    void insertLocked(const Ref<NSManagedObject>& object, bool awake);
    void deleteLocked(const Ref<NSManagedObject>& object);
    void noteUpdated(NSManagedObject& object);
    void unregister(const Ref<NSManagedObject>& object);
    bool validate(Ref<NSError>* error);
    bool applyChildChanges(const std::vector<ObjectSnapshot>& inserted, const std::vector<ObjectSnapshot>& updated,
        const std::vector<Ref<NSManagedObjectID>>& deleted, Ref<NSError>* error);
    PendingChanges takePendingChanges();
    void postChanges(const char* name, const PendingChanges& changes);

    const ConcurrencyType m_type;
    dispatch_queue_t m_queue;
    mutable std::recursive_mutex m_lock;
    Ref<NSPersistentStoreCoordinator> m_coordinator;
    Ref<NSManagedObjectContext> m_parent;
    std::map<const NSManagedObjectID*, Ref<NSManagedObject>> m_registered;
    std::vector<Ref<NSManagedObject>> m_inserted;
    std::vector<Ref<NSManagedObject>> m_updated;
    std::vector<Ref<NSManagedObject>> m_deleted;
    PendingChanges m_pending;
};
