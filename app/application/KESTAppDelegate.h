#pragma once

#include "app/core/KESTMessagingManagerDelegate.h"
#include "foundation/NSObject.h"
#include "sdk/HBRHarborManagerDelegate.h"
#include "uikit/UIApplication.h"

#include <string>

class KESTMessagingManager;
class NSManagedObjectContext;
class NSManagedObjectModel;
class NSPersistentStoreCoordinator;
class NSNotification;
class NSError;
class NSURL;
class UIViewController;
class UIWindow;

// The application's delegate. It launches the application (hands the main context to the
// managers, shows the window and its root screen, configures the rating prompt, then finishes
// setting up in a block queued on the main queue: URL cache, analytics, alert sync, background
// fetch, push registration, the crash kit, the older store and the default bookmarks), drives
// the live feed and the in-app message poll from the life-cycle events and owns the Core Data
// stack that keeps the user's data (bookmarks, filters, alerts): the model "Volantrix", one
// SQLite store "Volantrix.sqlite" in Documents and the main-queue context the rest of the
// application borrows. Each is made on first read and kept for the life of the process.
// Main thread.
class KESTAppDelegate : public NSObject,
                        public UIApplicationDelegate,
                        public KESTMessagingManagerDelegate,
                        public HBRHarborManagerDelegate {
    VX_OBJECT(KESTAppDelegate, NSObject)
public:
    explicit KESTAppDelegate(Passkey);
    static Ref<KESTAppDelegate> init();

    bool applicationDidFinishLaunchingWithOptions(const Ref<UIApplication>&, const Value& options) override;
    void applicationDidBecomeActive(const Ref<UIApplication>&) override;
    void applicationWillResignActive(const Ref<UIApplication>&) override;
    void applicationWillEnterForeground(const Ref<UIApplication>&) override;
    void applicationWillTerminate(const Ref<UIApplication>&) override;
    Ref<UIWindow> window() const override { return m_window; }
    void setWindow(Ref<UIWindow> window) { m_window = std::move(window); }
    // The window's root screen; a plain container until the map screen takes its place.
    Ref<UIViewController> mapContainerVC() const { return m_mapContainerVC; }
    void setMapContainerVC(Ref<UIViewController> controller) { m_mapContainerVC = std::move(controller); }

    // The in-app message poller, made on first use.
    Ref<KESTMessagingManager> messagingManager();
    // Presents the message page modally over the root screen.
    void messagingManageRequestedLaunchOfURLWithCloseButtonAndTimeOut(
        const Ref<NSURL>& url, bool withCloseButton, int32_t timeOut) override;
    // Drops the poller; the next activation makes a new one.
    void messagingManagerDidClose() override;

    // Push, background-fetch and link entry points.
    void applicationDidRegisterForRemoteNotificationsWithDeviceToken(
        const Ref<UIApplication>&, const Value& token) override;
    void applicationDidFailToRegisterForRemoteNotificationsWithError(
        const Ref<UIApplication>&, const Ref<NSError>&) override
    {
    }
    bool applicationDidReceiveRemoteNotificationFetchCompletionHandler(
        const Ref<UIApplication>& application, const Value& payload, const FetchCompletion& completion) override;
    bool applicationPerformFetchWithCompletionHandler(
        const Ref<UIApplication>&, const FetchCompletion& completion) override;
    // False only for a missing address.
    bool applicationOpenURLSourceApplicationAnnotation(const Ref<UIApplication>&, const std::string& url,
        const std::string& sourceApplication, const Value& annotation) override;
    void parseURLForLaunch(const Ref<NSURL>& url);
    // The query's "key=value" parts as a dictionary of texts; parts without "=" or with a
    // malformed percent escape are skipped.
    static Value parseQueryString(const std::optional<std::string>& query);
    // A push's alert text (its "aps" "alert"): the localized format of "loc-key" filled with
    // the first three "loc-args", missing ones empty.
    static std::string pushAlertMessage(const Value& alert);
    // The plane search a push's "custom" dictionary asks for: {"adshex": text}, or nil.
    static Value pushSearch(const Value& custom);

    // Plays the alert sound "cabinbong.aiff", then the vibrate alert.
    void playBong();
    // Replaces every scheduled local notification by one that fires in 60 days.
    void localNag();
    // Saves a screenshot to the photo library.
    void userDidTakeScreenshot(const Ref<NSNotification>& notification);

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

    Ref<KESTMessagingManager> m_messagingManager;
    Ref<UIWindow> m_window;
    Ref<UIViewController> m_mapContainerVC;
    Ref<NSManagedObjectModel> m_managedObjectModel;
    Ref<NSPersistentStoreCoordinator> m_persistentStoreCoordinator;
    Ref<NSManagedObjectContext> m_managedObjectContext;
};
