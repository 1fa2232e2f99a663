#include "AppTestSupport.h"
#include "Drain.h"
#include "KESTAppDelegate.h"
#include "KESTFilterDataManager.h"
#include "KESTLiveDataManager.h"
#include "LogCapture.h"
#include "NSBundle.h"
#include "NSError.h"
#include "NSFetchRequest.h"
#include "NSFileManager.h"
#include "NSManagedObject.h"
#include "NSManagedObjectContext.h"
#include "NSPersistentStoreCoordinator.h"
#include "UIApplicationHost.h"
#include "UIWindow.h"
#include "URLStubs.h"
#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Log lines that start with the text.
size_t logged(const LogCapture& logs, const std::string& prefix)
{
    auto messages = logs.messages();
    return std::count_if(messages.begin(), messages.end(), [&](const std::string& m) { return m.rfind(prefix, 0) == 0; });
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
        spec.url = "http://feed.invalid/";
        spec.matchPrefix = true;
        spec.body = R"({"planes":{}})";
        auto feed = stubs.add(spec);
        KESTLiveDataManager::setServiceBaseURL("http://feed.invalid/");
        KESTLiveDataManager::resetSharedInstanceForTesting();
        UIApplicationHost::resetForTesting();
        if (c.earlierInstall)
            NSUserDefaults::standardUserDefaults()->setObjectForKey(Value::array({ Value("1.0") }), "prevStartupVersions");

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

} // namespace
