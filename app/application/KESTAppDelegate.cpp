#include "app/application/KESTAppDelegate.h"

#include "app/core/KESTAlertManager.h"
#include "app/core/KESTAnalyticsManager.h"
#include "app/core/KESTCoreDataMigrator.h"
#include "app/core/KESTFilterDataManager.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTMessagingManager.h"
#include "app/core/KESTSettingsManager.h"
#include "app/core/RatePrompt.h"
#include "app/view-controllers/common/KESTWebViewController.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "app/view-controllers/map/KESTMapContainerViewController.h"
#include "app/widgets/ScreenshotCapture.h"
#include "coredata/NSEntityDescription.h"
#include "coredata/NSManagedObject.h"
#include "foundation/Dispatch.h"
#include "foundation/NSTimeZone.h"
#include "foundation/NSUserDefaults.h"
#include "media/AudioServices.h"
#include "net/NSURLCache.h"
#include "sdk/HBRCrashManager.h"
#include "sdk/HBRHarborManager.h"
#include "uikit/UIAlertView.h"
#include "uikit/UILocalNotification.h"
#include "uikit/UIScreen.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

#include "coredata/NSManagedObjectContext.h"
#include "coredata/NSManagedObjectModel.h"
#include "coredata/NSPersistentStore.h"
#include "coredata/NSPersistentStoreCoordinator.h"
#include "foundation/Clock.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSLog.h"
#include "foundation/Sandbox.h"

VX_REGISTER_CREATABLE_CLASS(KESTAppDelegate);

namespace {

struct DefaultBookmark {
    const char* name;
    double lat, lon, latspan, lonspan;
};

const DefaultBookmark kDefaultBookmarks[] = {
    { "Amsterdam, Netherlands", 52.25, 4.75, 0.7, 0.88 },
    { "London, UK", 51.47, -0.43, 0.71, 0.88 },
    { "Los Angeles, USA", 34.01, -118.52, 7.59, 7.03 },
    { "Melbourne, Australia", -38.109, 144.822, 7.18, 7.03 },
    { "New York City, USA", 40.398, -73.671, 4.5845, 3.515625 },
    { "São Paulo, Brazil", -22.999, -46.4625, 22.054, 14.0625 },
    { "Hong Kong", 22.1722, 114.087, 5.57, 3.51625 },
    { "Dubai, UAE", 25.295, 54.598, 10.873, 7.03125 },
};

// The product's store identifier, given to the rating prompt.
constexpr const char* kStoreIdentifier = "900000017";
// The crash kit's application identifiers.
constexpr const char* kBetaIdentifier = "a41f07c2e98d3b56f10e7ac42d9b6853";
constexpr const char* kLiveIdentifier = "7c3e952d0fb84a16e2c9d07b1a64f3e8";

} // namespace

KESTAppDelegate::KESTAppDelegate(Passkey key)
    : NSObject(key)
{
}

Ref<KESTAppDelegate> KESTAppDelegate::init()
{
    return make<KESTAppDelegate>();
}

bool KESTAppDelegate::applicationDidFinishLaunchingWithOptions(const Ref<UIApplication>&, const Value&)
{
    auto context = managedObjectContext();
    KESTFilterDataManager::sharedInstance()->setManagedObjectContext(context);
    KESTLiveDataManager::sharedInstance()->setManagedObjectContext(context);
    KESTAlertManager::sharedInstance()->setManagedObjectContext(context);
    KESTLiveDataManager::setAlertPresenter(
        [](const std::string& title, const std::string& message, const std::string& button) {
            auto bundle = NSBundle::mainBundle();
            UIAlertView::initWithTitle(bundle->localizedStringForKey(title, "", ""),
                bundle->localizedStringForKey(message, "", ""), nullptr, {},
                bundle->localizedStringForKey(button, "", ""), {})
                ->show();
        });

    m_window = UIWindow::initWithFrame(UIScreen::mainScreen()->bounds());
    m_window->makeKeyAndVisible();
    auto container = KESTMapContainerViewController::initWithNibNameBundle({}, nullptr);
    m_mapContainerVC = container;
    m_window->setRootViewController(container);
    auto mapScreen = KESTAppleMapViewController::initWithNibNameBundle({}, nullptr);
    mapScreen->setManagedObjectContext(context);
    container->setVisibleMapController(mapScreen);

    RatePrompt::setAppId(kStoreIdentifier);
    RatePrompt::setDaysUntilPrompt(3.0);
    RatePrompt::setUsesUntilPrompt(10);
    RatePrompt::setSignificantEventsUntilPrompt(-1);
    RatePrompt::setTimeBeforeReminding(3.0);
    RatePrompt::appLaunched(true);
    RatePrompt::setDebug(false);

    auto self = this->self<KESTAppDelegate>();
    dispatch_async(dispatch_get_main_queue(), [self] { self->finishLaunching(); });
    return true;
}

void KESTAppDelegate::finishLaunching()
{
    NSURLCache::setSharedURLCache(NSURLCache::initWithMemoryCapacityDiskCapacityDiskPath(4194304, 20971520, {}));
    KESTAnalyticsManager::sharedInstance()->startAnalytics();
    KESTAlertManager::sharedInstance()->syncAlerts();
    auto application = UIApplication::sharedApplication();
    application->setMinimumBackgroundFetchInterval(900.0);
    application->registerForRemoteNotificationTypes(UIRemoteNotificationType(6));
    auto harbor = HBRHarborManager::sharedHarborManager();
    harbor->configureWithBetaIdentifierLiveIdentifierDelegate(kBetaIdentifier, kLiveIdentifier, this, self<NSObject>());
    if (auto crashManager = harbor->crashManager())
        crashManager->setCrashManagerStatus(HBRCrashManagerStatusAutoSend);
    harbor->startManager();
    migrateOldCoreDataStore();
    addDefaultBookmarks();
}

void KESTAppDelegate::applicationDidBecomeActive(const Ref<UIApplication>&)
{
    auto feed = KESTLiveDataManager::sharedInstance();
    feed->startUpdateTimer();
    feed->performFullPoll();
    messagingManager()->fetchLatestMessage();
}

void KESTAppDelegate::applicationWillEnterForeground(const Ref<UIApplication>&)
{
    RatePrompt::appEnteredForeground(true);
}

Ref<KESTMessagingManager> KESTAppDelegate::messagingManager()
{
    if (!m_messagingManager)
        m_messagingManager = KESTMessagingManager::initWithDelegate(this, self<NSObject>());
    return m_messagingManager;
}

void KESTAppDelegate::messagingManageRequestedLaunchOfURLWithCloseButtonAndTimeOut(
    const Ref<NSURL>& url, bool withCloseButton, int32_t timeOut)
{
    auto page = KESTWebViewController::initWithNibNameBundleWithURLCloseEnableDelayWithCloseButton(
        "KESTWebViewController", nullptr, url, timeOut, withCloseButton);
    if (auto root = m_window ? m_window->rootViewController() : nullptr)
        root->presentViewControllerAnimatedCompletion(page, true, nullptr);
}

void KESTAppDelegate::messagingManagerDidClose()
{
    m_messagingManager = nullptr;
}

void KESTAppDelegate::playBong()
{
    auto url = NSBundle::mainBundle()->URLForResource("cabinbong", "aiff");
    SystemSoundID sound = 0;
    if (url && AudioServicesCreateSystemSoundID(*url, &sound) == 0)
        AudioServicesPlaySystemSound(sound);
    AudioServicesPlaySystemSound(kSystemSoundID_Vibrate);
}

void KESTAppDelegate::localNag()
{
    auto application = UIApplication::sharedApplication();
    if (!application)
        return;
    application->cancelAllLocalNotifications();
    auto bundle = NSBundle::mainBundle();
    auto notification = UILocalNotification::init();
    notification->setFireDate(Clock::wallTime() + 5184000);
    notification->setAlertBody(
        bundle->localizedStringForKey("Volantrix has great new coverage, why not check it out?", "", ""));
    notification->setAlertAction(bundle->localizedStringForKey("Show", "", ""));
    notification->setSoundName("cabinbong.aiff");
    notification->setTimeZone(NSTimeZone::defaultTimeZone());
    notification->setRepeatInterval(NSCalendarUnitMonth);
    application->scheduleLocalNotification(notification);
}

void KESTAppDelegate::userDidTakeScreenshot(const Ref<NSNotification>&)
{
    ScreenshotCapture::takeScreenshotToCameraRoll();
}

void KESTAppDelegate::applicationWillResignActive(const Ref<UIApplication>&)
{
    KESTLiveDataManager::sharedInstance()->stopUpdateTimer();
}

void KESTAppDelegate::applicationWillTerminate(const Ref<UIApplication>&)
{
    KESTSettingsManager::sharedInstance()->setValueForSetting(Value(true), "kHasShownIntroView");
}

void KESTAppDelegate::migrateOldCoreDataStore()
{
    // The migrator checks the flag and the older file itself, so without either nothing is
    // opened and the check repeats on the next launch.
    KESTCoreDataMigrator::migrateOldStoreIfNeededIntoContext(managedObjectContext());
}

void KESTAppDelegate::addDefaultBookmarks()
{
    auto defaults = NSUserDefaults::standardUserDefaults();
    if (!defaults->objectForKey("prevStartupVersions").isNil() || defaults->boolForKey("kHasSetBookmarks"))
        return;
    auto context = managedObjectContext();
    if (!context)
        return;
    for (const auto& row : kDefaultBookmarks) {
        auto bookmark
            = NSEntityDescription::insertNewObjectForEntityForNameInManagedObjectContext("KESTBookmark", context);
        if (!bookmark)
            break;
        bookmark->setValueForKey(Value(row.lat), "bookmarkLat");
        bookmark->setValueForKey(Value(row.lon), "bookmarkLon");
        bookmark->setValueForKey(Value(row.latspan), "bookmarkLatSpan");
        bookmark->setValueForKey(Value(row.lonspan), "bookmarkLonSpan");
        bookmark->setValueForKey(Value(row.name), "bookmarkName");
    }
    Ref<NSError> error;
    if (!context->save(&error))
        NSLog("%@", error ? error->description() : std::string());
    defaults->setBool(true, "kHasSetBookmarks");
    defaults->synchronize();
}

Ref<NSManagedObjectModel> KESTAppDelegate::managedObjectModel()
{
    if (!m_managedObjectModel) {
        auto path = NSBundle::mainBundle()->URLForResource("Volantrix", "momd");
        if (path)
            m_managedObjectModel = NSManagedObjectModel::initWithContentsOfURL(*path);
        if (!m_managedObjectModel)
            NSLog("Unresolved error %@, %@", std::string("no managed object model \"Volantrix\""), Value());
    }
    return m_managedObjectModel;
}

std::string KESTAppDelegate::applicationDocumentsDirectory() const
{
    auto urls = NSFileManager::defaultManager()->URLsForDirectory(NSDocumentDirectory, NSUserDomainMask);
    return urls.empty() ? std::string() : urls.back();
}

Ref<NSPersistentStoreCoordinator> KESTAppDelegate::persistentStoreCoordinator()
{
    if (m_persistentStoreCoordinator)
        return m_persistentStoreCoordinator;
    auto model = managedObjectModel();
    if (!model)
        return nullptr;
    std::string storePath = applicationDocumentsDirectory() + "/Volantrix.sqlite";
    Value options = Value::dictionary({
        { Value(NSMigratePersistentStoresAutomaticallyOption), Value(true) },
        { Value(NSInferMappingModelAutomaticallyOption), Value(true) },
    });
    m_persistentStoreCoordinator = NSPersistentStoreCoordinator::initWithManagedObjectModel(model);
    Ref<NSError> error;
    if (!m_persistentStoreCoordinator->addPersistentStoreWithType(NSSQLiteStoreType, "", storePath, options, &error)) {
        // Nothing is deleted or reset: the application runs on without a store.
        NSLog("Unresolved error %@, %@", error, error ? error->userInfo() : Value());
    }
    return m_persistentStoreCoordinator;
}

Ref<NSManagedObjectContext> KESTAppDelegate::managedObjectContext()
{
    if (m_managedObjectContext)
        return m_managedObjectContext;
    auto coordinator = persistentStoreCoordinator();
    if (!coordinator)
        return nullptr;
    m_managedObjectContext
        = NSManagedObjectContext::initWithConcurrencyType(NSManagedObjectContext::NSMainQueueConcurrencyType);
    m_managedObjectContext->setPersistentStoreCoordinator(coordinator);
    return m_managedObjectContext;
}

void KESTAppDelegate::saveContext()
{
    auto context = m_managedObjectContext;
    if (!context || !context->hasChanges())
        return;
    Ref<NSError> error;
    if (!context->save(&error))
        NSLog("Unresolved error %@, %@", error, error ? error->userInfo() : Value());
}
