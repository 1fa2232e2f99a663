#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <string>

class NSManagedObjectContext;
class NSManagedObjectModel;
class NSPersistentStoreCoordinator;

// Copies the saved locations of the application's older store ("locationDB.sqlite" in
// Documents, model "ThornquillLocation", entity "Event" with name, lat, lon, latspan, lonspan)
// into the current store as bookmarks, once. The older store's file is never changed. The flag
// "kHasPerformedCoreDataMigration" is set only once the copies are saved; a copy that cannot be
// saved is taken out of the current context again and tried at the next launch. Main thread.
class KESTCoreDataMigrator : public NSObject {
    VX_OBJECT(KESTCoreDataMigrator, NSObject)
public:
    explicit KESTCoreDataMigrator(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<KESTCoreDataMigrator> init();

    // The launch step: when the flag is not set and "locationDB.sqlite" exists in Documents,
    // copies its rows into `root`. Answers whether bookmarks were copied and saved.
    static bool migrateOldStoreIfNeededIntoContext(const Ref<NSManagedObjectContext>& root);

    // Copies every row into rootManagedObjectContext and saves it. Answers NO, writing
    // nothing, when the older store has no rows or the save fails.
    bool migrateAllObjects();
    // Every "Event" row as {"name", "lat", "lon", "latspan", "lonspan"} (NSNull for a missing
    // value), in fetch order.
    Value grabAllObjects();

    Ref<NSManagedObjectModel> managedObjectModel();
    Ref<NSPersistentStoreCoordinator> persistentStoreCoordinator();
    Ref<NSManagedObjectContext> managedObjectContext();
    std::string applicationDocumentsDirectory() const;

    const Ref<NSManagedObjectContext>& rootManagedObjectContext() const { return m_rootManagedObjectContext; }
    void setRootManagedObjectContext(Ref<NSManagedObjectContext> context)
    {
        m_rootManagedObjectContext = std::move(context);
    }

private:
    Ref<NSManagedObjectModel> m_managedObjectModel;
    Ref<NSPersistentStoreCoordinator> m_persistentStoreCoordinator;
    Ref<NSManagedObjectContext> m_managedObjectContext;
    Ref<NSManagedObjectContext> m_rootManagedObjectContext;
};
