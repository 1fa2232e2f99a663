#include "app/application/KESTAppDelegate.h"
#include "app/core/KESTBookmark.h"
#include "app/core/KESTCoreDataMigrator.h"
#include "app/tests/AppTestSupport.h"
#include "coredata/NSEntityDescription.h"
#include "coredata/NSFetchRequest.h"
#include "coredata/NSManagedObject.h"
#include "coredata/NSManagedObjectContext.h"
#include "coredata/NSManagedObjectModel.h"
#include "coredata/NSPersistentStore.h"
#include "coredata/NSPersistentStoreCoordinator.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSUserDefaults.h"
#include "testing/LogCapture.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

struct SourceBundle {
    SourceBundle() { NSBundle::setMainBundlePath(VX_SOURCE_DIR "/resources"); }
    ~SourceBundle() { NSBundle::setMainBundlePath({}); }
};

struct OldRow {
    Value name, lat, lon, latspan, lonspan;
};

// Writes "locationDB.sqlite" in Documents with the older model and the given rows.
void writeOldStore(const std::string& documents, const std::vector<OldRow>& rows)
{
    auto model = NSManagedObjectModel::initWithContentsOfURL(
        *NSBundle::mainBundle()->URLForResource("ThornquillLocation", "mom"));
    ASSERT_TRUE(model);
    auto coordinator = NSPersistentStoreCoordinator::initWithManagedObjectModel(model);
    Ref<NSError> error;
    ASSERT_TRUE(coordinator->addPersistentStoreWithType(
        NSSQLiteStoreType, "", documents + "/locationDB.sqlite", Value(), &error));
    auto context = NSManagedObjectContext::init();
    context->setPersistentStoreCoordinator(coordinator);
    for (const auto& row : rows) {
        auto event = NSEntityDescription::insertNewObjectForEntityForNameInManagedObjectContext("Event", context);
        const std::pair<const char*, const Value*> fields[] = { { "name", &row.name }, { "lat", &row.lat },
            { "lon", &row.lon }, { "latspan", &row.latspan }, { "lonspan", &row.lonspan } };
        for (const auto& [key, value] : fields) {
            if (!value->isNil())
                event->setValueForKey(*value, key);
        }
    }
    ASSERT_TRUE(context->save(&error));
}

std::vector<Ref<KESTBookmark>> bookmarks(const Ref<NSManagedObjectContext>& context)
{
    Ref<NSError> error;
    Value rows = context->executeFetchRequest(NSFetchRequest::fetchRequestWithEntityName("KESTBookmark"), &error);
    std::vector<Ref<KESTBookmark>> out;
    for (const auto& row : rows.elements())
        out.push_back(row.objectAs<KESTBookmark>());
    return out;
}

TEST(KESTBookmark, GetsANewUpperCaseUUIDOnInsertion)
{
    AppTestScope scope;
    SourceBundle bundle;
    auto app = KESTAppDelegate::init();
    auto context = app->managedObjectContext();
    ASSERT_TRUE(context);
    auto a = KESTBookmark::insertInManagedObjectContext(context);
    auto b = KESTBookmark::insertInManagedObjectContext(context);
    ASSERT_TRUE(a && b);
    std::string uuid = a->bookmarkuuid().stringValue();
    EXPECT_EQ(uuid.size(), 36u);
    EXPECT_EQ(uuid[8], '-');
    EXPECT_EQ(uuid[23], '-');
    EXPECT_TRUE(std::none_of(uuid.begin(), uuid.end(), [](char c) { return c >= 'a' && c <= 'z'; }));
    EXPECT_NE(uuid, b->bookmarkuuid().stringValue());
    EXPECT_FALSE(KESTBookmark::insertInManagedObjectContext(nullptr));
}

TEST(KESTCoreDataMigrator, CopiesTheOlderRowsOnceAndSetsTheFlagAfterSaving)
{
    AppTestScope scope;
    SourceBundle bundle;
    LogCapture logs;
    auto app = KESTAppDelegate::init();
    auto context = app->managedObjectContext();
    ASSERT_TRUE(context);
    auto defaults = NSUserDefaults::standardUserDefaults();

    // No file: nothing happens and the flag stays unset.
    EXPECT_FALSE(KESTCoreDataMigrator::migrateOldStoreIfNeededIntoContext(context));
    EXPECT_FALSE(defaults->boolForKey("kHasPerformedCoreDataMigration"));

    writeOldStore(app->applicationDocumentsDirectory(),
        {
            { Value("Home"), Value(51.4775), Value(-0.4614), Value(0.5), Value(0.6) },
            { Value("Cabin"), Value(46.0), Value(7.5), Value(1.0), Value(1.5) },
            { Value("Coast"), Value(-33.9), Value(151.2), Value(2.0), Value(2.5) },
            { Value("No region"), Value(10.0), Value(), Value(1.0), Value(1.0) },
        });
    // The application's launch step copies them through the migrator.
    app->migrateOldCoreDataStore();
    EXPECT_TRUE(defaults->boolForKey("kHasPerformedCoreDataMigration"));
    EXPECT_FALSE(context->hasChanges());

    auto copied = bookmarks(context);
    ASSERT_EQ(copied.size(), 3u);
    std::set<std::string> uuids;
    for (const auto& bookmark : copied) {
        SCOPED_TRACE(bookmark->bookmarkName().stringValue());
        uuids.insert(bookmark->bookmarkuuid().stringValue());
        EXPECT_TRUE(bookmark->bookmarkHomeSet().isNil());
        if (bookmark->bookmarkName().stringValue() == "Home") {
            EXPECT_DOUBLE_EQ(bookmark->bookmarkLat().doubleValue(), 51.4775);
            EXPECT_DOUBLE_EQ(bookmark->bookmarkLon().doubleValue(), -0.4614);
            EXPECT_DOUBLE_EQ(bookmark->bookmarkLatSpan().doubleValue(), 0.5);
            EXPECT_DOUBLE_EQ(bookmark->bookmarkLonSpan().doubleValue(), 0.6);
        }
    }
    EXPECT_EQ(uuids.size(), 3u);
    // The copies never become the home bookmark.
    EXPECT_FALSE(KESTSettingsManager::sharedInstance()->isHomeSet());
    // The older file stays as it was; with the flag set it is not read again.
    EXPECT_TRUE(
        NSFileManager::defaultManager()->fileExistsAtPath(app->applicationDocumentsDirectory() + "/locationDB.sqlite"));
    EXPECT_FALSE(KESTCoreDataMigrator::migrateOldStoreIfNeededIntoContext(context));
    EXPECT_EQ(bookmarks(context).size(), 3u);
}

TEST(KESTCoreDataMigrator, LeavesTheFlagUnsetWhenThereIsNothingToCopyOrTheSaveFails)
{
    AppTestScope scope;
    SourceBundle bundle;
    LogCapture logs;
    auto defaults = NSUserDefaults::standardUserDefaults();
    auto documents = KESTCoreDataMigrator::init()->applicationDocumentsDirectory();

    // An empty older store.
    writeOldStore(documents, {});
    auto app = KESTAppDelegate::init();
    EXPECT_FALSE(KESTCoreDataMigrator::migrateOldStoreIfNeededIntoContext(app->managedObjectContext()));
    EXPECT_FALSE(defaults->boolForKey("kHasPerformedCoreDataMigration"));

    // A current store that cannot be saved: the copies are taken back out and the flag stays
    // unset, so the next launch copies them once.
    NSFileManager::defaultManager()->removeItemAtPath(documents + "/locationDB.sqlite", nullptr);
    writeOldStore(documents, { { Value("Home"), Value(1.0), Value(2.0), Value(3.0), Value(4.0) } });
    auto model = app->managedObjectModel();
    auto storeless = NSPersistentStoreCoordinator::initWithManagedObjectModel(model);
    auto broken = NSManagedObjectContext::initWithConcurrencyType(NSManagedObjectContext::NSMainQueueConcurrencyType);
    broken->setPersistentStoreCoordinator(storeless);
    auto migrator = KESTCoreDataMigrator::init();
    migrator->setRootManagedObjectContext(broken);
    EXPECT_FALSE(migrator->migrateAllObjects());
    EXPECT_FALSE(defaults->boolForKey("kHasPerformedCoreDataMigration"));
    EXPECT_FALSE(broken->hasChanges());
    auto messages = logs.messages();
    EXPECT_TRUE(std::any_of(messages.begin(), messages.end(),
        [](const std::string& m) { return m.rfind("Whoops, couldn't save: ", 0) == 0; }));

    EXPECT_TRUE(KESTCoreDataMigrator::migrateOldStoreIfNeededIntoContext(app->managedObjectContext()));
    EXPECT_EQ(bookmarks(app->managedObjectContext()).size(), 1u);
    EXPECT_TRUE(defaults->boolForKey("kHasPerformedCoreDataMigration"));
}

} // namespace
