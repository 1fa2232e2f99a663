#pragma once

#include "NSObject.h"
#include "UIApplication.h"

#include <string>

class NSManagedObjectContext;
class NSManagedObjectModel;
class NSPersistentStoreCoordinator;
class UIViewController;
class UIWindow;

// The application's delegate. It launches the application (hands the main context to the
// managers, shows the window and its root screen, then finishes setting up in a block queued
// on the main queue), drives the live feed from the life-cycle events and owns the Core Data
// stack that keeps the user's data (bookmarks, filters, alerts): the model "Volantrix", one
// SQLite store "Volantrix.sqlite" in Documents and the main-queue context the rest of the
// application borrows. Each is made on first read and kept for the life of the process.
// Main thread.
class KESTAppDelegate : public NSObject, public UIApplicationDelegate {
    VX_OBJECT(KESTAppDelegate, NSObject)
public:
    explicit KESTAppDelegate(Passkey);
    static Ref<KESTAppDelegate> init();

    bool applicationDidFinishLaunchingWithOptions(const Ref<UIApplication>&, const Value& options) override;
    void applicationDidBecomeActive(const Ref<UIApplication>&) override;
    void applicationWillResignActive(const Ref<UIApplication>&) override;
    void applicationWillTerminate(const Ref<UIApplication>&) override;
    Ref<UIWindow> window() const override { return m_window; }
    void setWindow(Ref<UIWindow> window) { m_window = std::move(window); }
    // The window's root screen; a plain container until the map screen takes its place.
    Ref<UIViewController> mapContainerVC() const { return m_mapContainerVC; }
    void setMapContainerVC(Ref<UIViewController> controller) { m_mapContainerVC = std::move(controller); }

    // One-time data steps of the deferred launch block.
    void migrateOldCoreDataStore();
    void addDefaultBookmarks();

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
    void finishLaunching();

    Ref<UIWindow> m_window;
    Ref<UIViewController> m_mapContainerVC;
    Ref<NSManagedObjectModel> m_managedObjectModel;
    Ref<NSPersistentStoreCoordinator> m_persistentStoreCoordinator;
    Ref<NSManagedObjectContext> m_managedObjectContext;
};
