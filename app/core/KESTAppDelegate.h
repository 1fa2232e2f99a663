#pragma once

#include "NSObject.h"

#include <string>

class NSManagedObjectContext;
class NSManagedObjectModel;
class NSPersistentStoreCoordinator;

// The application's delegate. It owns the Core Data stack that keeps the user's data
// (bookmarks, filters, alerts): the model "Volantrix", one SQLite store "Volantrix.sqlite" in
// Documents and the main-queue context the rest of the application borrows. Each is made on
// first read and kept for the life of the process. Main thread.
class KESTAppDelegate : public NSObject {
    VX_OBJECT(KESTAppDelegate, NSObject)
public:
    explicit KESTAppDelegate(Passkey);
    static Ref<KESTAppDelegate> init();

    Ref<NSManagedObjectModel> managedObjectModel();
    // A store that cannot be opened is logged; the coordinator is then kept without a store.
    Ref<NSPersistentStoreCoordinator> persistentStoreCoordinator();
    // Nullptr when there is no coordinator (tried again on the next call).
    Ref<NSManagedObjectContext> managedObjectContext();
    // The Documents directory of the user domain.
    std::string applicationDocumentsDirectory() const;
    // Saves the main context when it exists and has changes; a failure is logged.
    void saveContext();

private:
    Ref<NSManagedObjectModel> m_managedObjectModel;
    Ref<NSPersistentStoreCoordinator> m_persistentStoreCoordinator;
    Ref<NSManagedObjectContext> m_managedObjectContext;
};
