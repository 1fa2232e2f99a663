#include "app/application/KESTAppDelegate.h"
#include "app/core/KESTAlertManager.h"
#include "app/core/KESTAnalyticsManager.h"
#include "app/core/KESTFilterDataManager.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTMessagingManager.h"
#include "app/core/RatePrompt.h"
#include "app/tests/AppTestSupport.h"
#include "app/view-controllers/common/KESTWebViewController.h"
#include "coredata/NSFetchRequest.h"
#include "coredata/NSManagedObject.h"
#include "coredata/NSManagedObjectContext.h"
#include "coredata/NSPersistentStoreCoordinator.h"
#include "foundation/Clock.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSTimeZone.h"
#include "media/AudioServices.h"
#include "net/NSURL.h"
#include "sdk/HBRCrashManager.h"
#include "sdk/HBRHarborManager.h"
#include "testing/Drain.h"
#include "testing/LogCapture.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UILocalNotification.h"
#include "uikit/UIWindow.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>

namespace {

// Log lines that start with the text.
size_t logged(const LogCapture& logs, const std::string& prefix)
{
    auto messages = logs.messages();
    return std::count_if(
        messages.begin(), messages.end(), [&](const std::string& m) { return m.rfind(prefix, 0) == 0; });
}

// The compiled model as the source tree keeps it, whether or not the build's bundle exists.
struct SourceBundle {
    SourceBundle() { NSBundle::setMainBundlePath(VX_SOURCE_DIR "/resources"); }
    ~SourceBundle() { NSBundle::setMainBundlePath({}); }
};

std::vector<std::string> bookmarkNames(const Ref<NSManagedObjectContext>& context)
{
    Ref<NSError> error;
    Value rows = context->executeFetchRequest(NSFetchRequest::fetchRequestWithEntityName("KESTBookmark"), &error);
    std::vector<std::string> names;
    for (const auto& row : rows.elements())
        names.push_back(row.objectAs<NSManagedObject>()->valueForKey("bookmarkName").stringValue());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(KESTAppDelegate, CoreDataStackOpensTheStoreInDocuments)
{
    AppTestScope scope;
    SourceBundle bundle;
    LogCapture logs;
    auto app = KESTAppDelegate::init();
    std::string store = app->applicationDocumentsDirectory() + "/Volantrix.sqlite";
    EXPECT_FALSE(NSFileManager::defaultManager()->fileExistsAtPath(store));
    auto context = app->managedObjectContext();
    ASSERT_TRUE(context);
    EXPECT_EQ(context, app->managedObjectContext());
    EXPECT_EQ(context->concurrencyType(), NSManagedObjectContext::NSMainQueueConcurrencyType);
    EXPECT_TRUE(NSFileManager::defaultManager()->fileExistsAtPath(store));
    app->saveContext();
    EXPECT_EQ(logged(logs, "Unresolved error"), 0u);

    // A store that cannot be opened leaves a coordinator without a store and one log line;
    // nothing is deleted.
    auto broken = KESTAppDelegate::init();
    NSFileManager::defaultManager()->removeItemAtPath(store, nullptr);
    ASSERT_TRUE(NSFileManager::defaultManager()->createFileAtPath(store, Value::data("not a database", 14), Value()));
    auto coordinator = broken->persistentStoreCoordinator();
    ASSERT_TRUE(coordinator);
    EXPECT_TRUE(coordinator->persistentStores().empty());
    EXPECT_EQ(logged(logs, "Unresolved error"), 1u);
    EXPECT_TRUE(broken->managedObjectContext());
    EXPECT_TRUE(NSFileManager::defaultManager()->fileExistsAtPath(store));
}

TEST(KESTAppDelegate, LaunchSeedsBookmarksOnceAndDrivesTheFeed)
{
    const std::vector<std::string> defaults = { "Amsterdam, Netherlands", "Dubai, UAE", "Hong Kong", "London, UK",
        "Los Angeles, USA", "Melbourne, Australia", "New York City, USA", "São Paulo, Brazil" };
    struct Case {
        bool earlierInstall; // user defaults hold "prevStartupVersions"
        std::vector<std::string> afterFirstLaunch;
    };
    const Case cases[] = { { false, defaults }, { true, {} } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.earlierInstall);
        AppTestScope scope;
        SourceBundle bundle;
        ScopedVirtualClock clock;
        URLStubs stubs;
        URLStubSpec spec;
        spec.url = "http://feed.invalid/APPAPIv2/planeUpdate.php";
        spec.matchPrefix = true;
        spec.body = R"({"planes":{}})";
        auto feed = stubs.add(spec);
        URLStubSpec poll;
        poll.url = "http://feed.invalid/APPAPIv2/KESTPoll/kestPOLL.php";
        poll.matchPrefix = true;
        poll.headers = { { "Content-Type", "application/json" } };
        poll.body = "{}";
        stubs.add(poll);
        KESTLiveDataManager::setServiceBaseURL("http://feed.invalid/");
        KESTLiveDataManager::resetSharedInstanceForTesting();
        UIApplicationHost::resetForTesting();
        UIAlertView::resetForTesting();
        // A search pending at launch that the first answer cannot serve.
        KESTLiveDataManager::sharedInstance()->setSearchDictionary(
            Value::dictionary({ { Value("callsign"), Value("NOPE1") } }));
        if (c.earlierInstall)
            NSUserDefaults::standardUserDefaults()->setObjectForKey(
                Value::array({ Value("1.0") }), "prevStartupVersions");

        auto app = KESTAppDelegate::init();
        auto application = UIApplicationHost::launchWithDelegate(app);
        ASSERT_TRUE(application);
        ASSERT_TRUE(app->window());
        EXPECT_TRUE(app->window()->isKeyWindow());
        EXPECT_EQ(app->window()->rootViewController(), app->mapContainerVC());
        EXPECT_EQ(KESTFilterDataManager::sharedInstance()->managedObjectContext(), app->managedObjectContext());
        EXPECT_EQ(KESTLiveDataManager::sharedInstance()->managedObjectContext(), app->managedObjectContext());
        drainAll();
        EXPECT_EQ(bookmarkNames(app->managedObjectContext()), c.afterFirstLaunch);
        EXPECT_EQ(NSUserDefaults::standardUserDefaults()->boolForKey("kHasSetBookmarks"), !c.earlierInstall);
        EXPECT_EQ(application->minimumBackgroundFetchInterval(), 900.0);
        EXPECT_EQ(feed->requestCount(), 1u);
        auto alerts = UIAlertView::visibleAlerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0]->title(), "Not currently tracked");
        EXPECT_EQ(alerts[0]->message(), "This flight is out of range or not currently tracked.");
        EXPECT_EQ(alerts[0]->buttonTitleAtIndex(0), "Continue");
        UIAlertView::resetForTesting();

        // Becoming active again within five seconds makes no second full poll.
        UIApplicationHost::resignActive();
        clock.advance(2);
        UIApplicationHost::becomeActive();
        drainAll();
        EXPECT_EQ(feed->requestCount(), 1u);
        EXPECT_TRUE(KESTLiveDataManager::sharedInstance()->hasUpdateTimer());

        UIApplicationHost::terminate();
        EXPECT_TRUE(KESTSettingsManager::sharedInstance()->hasShownIntroView());

        // A second launch adds no bookmarks.
        app->addDefaultBookmarks();
        EXPECT_EQ(bookmarkNames(app->managedObjectContext()), c.afterFirstLaunch);

        KESTLiveDataManager::sharedInstance()->invalidateTimers();
        drainAll();
        KESTLiveDataManager::resetSharedInstanceForTesting();
        UIApplicationHost::resetForTesting();
    }
}

// The services the launch and the life cycle call, and the message poll's two outcomes.
TEST(KESTAppDelegate, LaunchConfiguresTheServicesAndPollsForMessages)
{
    AppTestScope scope;
    SourceBundle bundle;
    ScopedVirtualClock clock;
    URLStubs stubs;
    URLStubSpec feedSpec;
    feedSpec.url = "http://feed.invalid/APPAPIv2/planeUpdate.php";
    feedSpec.matchPrefix = true;
    feedSpec.body = R"({"planes":{}})";
    stubs.add(feedSpec);
    URLStubSpec pollSpec;
    pollSpec.url = "http://feed.invalid/APPAPIv2/KESTPoll/kestPOLL.php";
    pollSpec.matchPrefix = true;
    pollSpec.headers = { { "Content-Type", "application/json" } };
    pollSpec.body = R"({"message":{"messageID":8,"messageURL":"http://feed.invalid/news/8"}})";
    auto secondPoll = std::make_shared<std::atomic<bool>>(false);
    pollSpec.matcher = [secondPoll](const Ref<NSURLRequest>&) { return !secondPoll->load(); };
    auto poll = stubs.add(pollSpec);
    URLStubSpec alertSpec;
    alertSpec.url = "http://feed.invalid/APNS/sync_user_alerts.php";
    alertSpec.body = R"({"alerts":[]})";
    auto alertSync = stubs.add(alertSpec);
    KESTLiveDataManager::setServiceBaseURL("http://feed.invalid/");
    KESTLiveDataManager::resetSharedInstanceForTesting();
    KESTAlertManager::resetSharedInstanceForTesting();
    KESTAnalyticsManager::resetSharedInstanceForTesting();
    HBRHarborManager::resetSharedHarborManagerForTesting();
    HBRCrashManager::resetForTesting();
    // The kit's crash reporter is set up but installs no signal handlers in the test program.
    HBRCrashManager::setReporterEnablerForTesting([](HBRPMCrashReporter&, Ref<NSError>*) { return true; });
    RatePrompt::resetForTesting();
    UIApplicationHost::resetForTesting();

    auto app = KESTAppDelegate::init();
    auto application = UIApplicationHost::launchWithDelegate(app);
    ASSERT_TRUE(application);
    EXPECT_EQ(KESTAlertManager::sharedInstance()->managedObjectContext(), app->managedObjectContext());
    EXPECT_EQ(RatePrompt::appId().empty(), false);
    EXPECT_EQ(RatePrompt::daysUntilPrompt(), 3.0);
    EXPECT_EQ(RatePrompt::usesUntilPrompt(), 10);
    EXPECT_EQ(RatePrompt::significantEventsUntilPrompt(), -1);
    EXPECT_EQ(RatePrompt::timeBeforeReminding(), 3.0);
    EXPECT_FALSE(RatePrompt::debug());
    // The deferred block has not run yet: the window is up first.
    EXPECT_FALSE(KESTAnalyticsManager::sharedInstance()->isStarted());
    drainAll();
    EXPECT_TRUE(KESTAnalyticsManager::sharedInstance()->isStarted());
    EXPECT_EQ(alertSync->requestCount(), 1u);
    auto harbor = HBRHarborManager::sharedHarborManager();
    EXPECT_EQ(harbor->appIdentifier(), "a41f07c2e98d3b56f10e7ac42d9b6853");
    ASSERT_TRUE(harbor->crashManager());
    EXPECT_EQ(harbor->crashManager()->crashManagerStatus(), HBRCrashManagerStatusAutoSend);
    EXPECT_TRUE(harbor->crashManager()->isSetup());
    EXPECT_EQ(NSUserDefaults::standardUserDefaults()->integerForKey("kRatePromptUseCount"), 1);

    // The first poll only remembers the message number, and the poller closes.
    EXPECT_EQ(poll->requestCount(), 1u);
    EXPECT_EQ(NSUserDefaults::standardUserDefaults()->integerForKey("kkestravonLastMessage"), 8);
    auto root = app->window()->rootViewController();
    EXPECT_FALSE(root->presentedViewController());

    // The next activation makes a new poller, which shows the newer message with a close button
    // usable after five seconds, and keeps the poller.
    URLStubSpec newer = pollSpec;
    newer.body = R"({"message":{"messageID":9,"messageURL":"http://feed.invalid/news/9"}})";
    newer.matcher = nullptr;
    *secondPoll = true;
    auto poll2 = stubs.add(newer);
    UIApplicationHost::sendToBackground();
    clock.advance(10);
    UIApplicationHost::bringToForeground();
    drainAll();
    EXPECT_EQ(poll2->requestCount(), 1u);
    EXPECT_EQ(NSUserDefaults::standardUserDefaults()->integerForKey("kRatePromptUseCount"), 2);
    auto page = std::dynamic_pointer_cast<KESTWebViewController>(root->presentedViewController());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->loadURL()->absoluteString(), "http://feed.invalid/news/9");
    EXPECT_FALSE(page->closeButton()->isEnabled());
    clock.advance(5);
    EXPECT_TRUE(page->closeButton()->isEnabled());
    app->localNag();
    auto scheduled = application->scheduledLocalNotifications();
    ASSERT_EQ(scheduled.size(), 1u);
    EXPECT_NEAR(scheduled[0]->fireDate(), Clock::wallTime() + 5184000, 1e-3);
    EXPECT_EQ(scheduled[0]->alertBody(), "Volantrix has great new coverage, why not check it out?");
    EXPECT_EQ(scheduled[0]->alertAction(), "Show");
    EXPECT_EQ(scheduled[0]->soundName(), "cabinbong.aiff");
    ASSERT_TRUE(scheduled[0]->timeZone());
    EXPECT_EQ(scheduled[0]->timeZone()->name(), NSTimeZone::defaultTimeZone()->name());
    EXPECT_EQ(scheduled[0]->repeatInterval(), NSCalendarUnitMonth);
    app->localNag();
    EXPECT_EQ(application->scheduledLocalNotifications().size(), 1u);

    auto poller = app->messagingManager();
    EXPECT_EQ(poller, app->messagingManager());
    app->messagingManagerDidClose();
    EXPECT_NE(app->messagingManager(), poller);

    UIApplicationHost::terminate();
    KESTLiveDataManager::sharedInstance()->invalidateTimers();
    drainAll();
    KESTLiveDataManager::resetSharedInstanceForTesting();
    KESTAlertManager::resetSharedInstanceForTesting();
    HBRHarborManager::resetSharedHarborManagerForTesting();
    HBRCrashManager::setReporterEnablerForTesting(nullptr);
    RatePrompt::resetForTesting();
    UIApplicationHost::resetForTesting();
}

// The alert sound: the bundle's "cabinbong.aiff" as a system sound, then the vibration.
TEST(KESTAppDelegate, PlayBongPlaysTheAlertSoundThenVibrates)
{
    AppTestScope scope;
    AudioServicesTesting::reset();
    auto sound = NSBundle::mainBundle()->URLForResource("cabinbong", "aiff");
    ASSERT_TRUE(sound) << "the build's bundle has the alert sound";
    KESTAppDelegate::init()->playBong();
    EXPECT_EQ(AudioServicesTesting::recordedEvents(), (std::vector<std::string> { "play " + *sound, "vibrate" }));
    AudioServicesTesting::reset();
}

} // namespace
