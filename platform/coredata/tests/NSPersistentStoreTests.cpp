#include "coredata/CoreDataErrors.h"
#include "coredata/tests/CoreDataTestSupport.h"
#include "testing/TemporarySandbox.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// Fetches and saves through a coordinator without a store fail with errors.
void expectStorelessFailures(const Stack& stack)
{
    EXPECT_TRUE(stack.coordinator->persistentStores().empty());
    Ref<NSError> error;
    EXPECT_TRUE(fetch(stack.context, "KESTBookmark", nullptr, {}, &error).isNil());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), NSCocoaErrorDomain);
    EXPECT_EQ(stack.context->countForFetchRequest(NSFetchRequest::fetchRequestWithEntityName("KESTBookmark"), nullptr),
        static_cast<NSUInteger>(NSNotFound));
    insert(stack.context, "KESTBookmark", { { "bookmarkName", Value("Lost?") } });
    error = nullptr;
    EXPECT_FALSE(stack.context->save(&error));
    ASSERT_TRUE(error);
    EXPECT_TRUE(stack.context->hasChanges()) << "the unsaved object is kept";
}

TEST(NSPersistentStore, MigratesAStoreWrittenByTheOlderModel)
{
    TemporarySandbox sandbox;
    std::string path = sandbox.path("Volantrix.sqlite");
    {
        auto old = Stack::open(path, modelVersion("Volantrix"));
        ASSERT_TRUE(old.store);
        auto filter = insert(old.context, "KESTFilter", { { "filterName", Value("Old") } });
        auto detail = insert(
            old.context, "KESTFilterDetail", { { "filterDetail", Value("LHR") }, { "filterDetailType", Value(2) } });
        detail->setValueForKey(Value(filter), "parentFilter");
        insert(old.context, "KESTBookmark", { { "bookmarkName", Value("Paris") }, { "bookmarkLat", Value(48.85) } });
        ASSERT_TRUE(old.context->save(nullptr));
    }

    // Without migration options the newer model cannot open it; the file is left alone.
    std::string before = readFile(path);
    auto refused = Stack::open(path, currentModel(), Value());
    ASSERT_FALSE(refused.store);
    ASSERT_TRUE(refused.error);
    EXPECT_EQ(refused.error->code(), NSPersistentStoreIncompatibleVersionHashError);
    EXPECT_EQ(readFile(path), before);
    expectStorelessFailures(refused);

    auto migrated = Stack::open(path);
    ASSERT_TRUE(migrated.store) << migrated.error->description();
    auto details = fetch(migrated.context, "KESTFilterDetail");
    ASSERT_EQ(details.count(), 1u);
    auto detail = details[0].objectAs<NSManagedObject>();
    EXPECT_EQ(detail->valueForKey("filterDetail").stringValue(), "LHR");
    EXPECT_TRUE(detail->valueForKey("filterAirportType").isEqual(Value(0))) << "an added attribute takes its default";
    EXPECT_EQ(detail->valueForKeyPath("parentFilter.filterName").stringValue(), "Old");
    auto bookmarks = fetch(migrated.context, "KESTBookmark");
    ASSERT_EQ(bookmarks.count(), 1u);
    EXPECT_TRUE(bookmarks[0].objectAs<NSManagedObject>()->valueForKey("bookmarkHomeSet").isNil());

    // The added entity works, and the migrated file opens again without migrating.
    insert(migrated.context, "KESTAlert", { { "alertValue", Value("A388") }, { "alertType", Value(4) } });
    ASSERT_TRUE(migrated.context->save(nullptr));
    auto again = Stack::open(path, currentModel(), Value());
    ASSERT_TRUE(again.store);
    auto alerts = fetch(again.context, "KESTAlert");
    ASSERT_EQ(alerts.count(), 1u);
    auto alert = alerts[0].objectAs<NSManagedObject>();
    EXPECT_TRUE(alert->valueForKey("alertID").isNil());
    EXPECT_TRUE(alert->valueForKey("alertTimesRun").isEqual(Value(0)));
}

TEST(NSPersistentStore, RefusesMigrationsItCannotInfer)
{
    TemporarySandbox sandbox;
    auto make = [](NSAttributeDescription::AttributeType type, bool optional) {
        auto entity = NSEntityDescription::entity("Thing", "",
            { NSAttributeDescription::attribute("name", NSAttributeDescription::NSStringAttributeType, true, Value()),
                NSAttributeDescription::attribute("size", type, optional, Value()) },
            {});
        return NSManagedObjectModel::modelWithEntities({ entity });
    };
    auto base = NSManagedObjectModel::modelWithEntities({ NSEntityDescription::entity("Thing", "",
        { NSAttributeDescription::attribute("name", NSAttributeDescription::NSStringAttributeType, true, Value()),
            NSAttributeDescription::attribute(
                "size", NSAttributeDescription::NSInteger32AttributeType, true, Value()) },
        {}) });
    struct Case {
        const char* name;
        Ref<NSManagedObjectModel> model;
        Value options;
        int32_t code;
    };
    auto migrateOnly = Value::dictionary({ { Value(NSMigratePersistentStoresAutomaticallyOption), Value(true) } });
    auto baseWithMandatory = NSManagedObjectModel::modelWithEntities({ NSEntityDescription::entity("Thing", "",
        { NSAttributeDescription::attribute("name", NSAttributeDescription::NSStringAttributeType, true, Value()),
            NSAttributeDescription::attribute("size", NSAttributeDescription::NSInteger32AttributeType, true, Value()),
            NSAttributeDescription::attribute(
                "weight", NSAttributeDescription::NSDoubleAttributeType, false, Value()) },
        {}) });
    const Case cases[] = {
        { "type changed", make(NSAttributeDescription::NSStringAttributeType, true), migrationOptions(),
            NSMigrationMissingMappingModelError },
        { "new mandatory attribute without default", baseWithMandatory, migrationOptions(),
            NSMigrationMissingMappingModelError },
        { "migration without inference", make(NSAttributeDescription::NSDoubleAttributeType, true), migrateOnly,
            NSMigrationMissingMappingModelError },
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = sandbox.path("store" + std::to_string(index++) + ".sqlite");
        {
            auto stack = Stack::open(path, base, Value());
            ASSERT_TRUE(stack.store);
            insert(stack.context, "Thing", { { "name", Value("kept") }, { "size", Value(3) } });
            ASSERT_TRUE(stack.context->save(nullptr));
        }
        auto refused = Stack::open(path, c.model, c.options);
        EXPECT_FALSE(refused.store);
        ASSERT_TRUE(refused.error);
        EXPECT_EQ(refused.error->code(), c.code);
        // The failed attempt changed nothing: the old model still reads the row.
        auto reopened = Stack::open(path, base, Value());
        ASSERT_TRUE(reopened.store);
        EXPECT_EQ(column(fetch(reopened.context, "Thing"), "name"), std::vector<std::string> { "kept" });
    }
}

TEST(NSPersistentStore, AFileThatIsNotAStoreLeavesTheCoordinatorWithoutOne)
{
    TemporarySandbox sandbox;
    struct Case {
        const char* name;
        std::string contents;
    };
    const Case cases[] = {
        { "garbage", std::string(4096, 'x') },
        { "truncated header", std::string("SQLite format 3\0", 16) + std::string(100, '\x7f') },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = sandbox.path(std::string(c.name) + ".sqlite");
        {
            std::ofstream file(path, std::ios::binary);
            file << c.contents;
        }
        auto stack = Stack::open(path);
        EXPECT_FALSE(stack.store);
        ASSERT_TRUE(stack.error);
        EXPECT_EQ(stack.error->domain(), NSCocoaErrorDomain);
        EXPECT_TRUE(stack.error->underlyingError());
        expectStorelessFailures(stack);
        EXPECT_EQ(readFile(path), c.contents) << "nothing is deleted, moved or reset";
    }

    // A directory in the way, and an unknown store type.
    Ref<NSError> error;
    auto coordinator = NSPersistentStoreCoordinator::initWithManagedObjectModel(currentModel());
    EXPECT_FALSE(coordinator->addPersistentStoreWithType(NSSQLiteStoreType, "", sandbox.root(), Value(), &error));
    EXPECT_TRUE(error);
    error = nullptr;
    EXPECT_FALSE(coordinator->addPersistentStoreWithType("Binary", "", sandbox.path("x.bin"), Value(), &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), NSPersistentStoreInvalidTypeError);
}

// A writer process saves batches in a loop and is killed at an arbitrary point of a save. Each
// save inserts a batch of rows and bumps a counter row, so a half-written save would show as a
// row count that does not match the counter.
TEST(NSPersistentStore, AProcessKilledMidSaveLeavesAWholeStore)
{
    TemporarySandbox sandbox;
    std::string path = sandbox.path("Volantrix.sqlite");
    constexpr int batch = 200;
    constexpr int savesBeforeSignal = 3;
    {
        auto stack = Stack::open(path);
        ASSERT_TRUE(stack.store);
        insert(stack.context, "KESTFilter", { { "filterName", Value("counter") }, { "filterActive", Value(false) } });
        ASSERT_TRUE(stack.context->save(nullptr));
    }

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        auto stack = Stack::open(path);
        if (!stack.store)
            ::_exit(2);
        auto request = NSFetchRequest::fetchRequestWithEntityName("KESTFilter");
        auto counter = stack.context->executeFetchRequest(request, nullptr)[0].objectAs<NSManagedObject>();
        for (int round = 1; round < 100000; ++round) {
            for (int i = 0; i < batch; ++i)
                insert(stack.context, "KESTAlert",
                    { { "alertValue", Value("round " + std::to_string(round)) }, { "alertID", Value(i) } });
            counter->setValueForKey(Value(std::to_string(round)), "filterName");
            if (!stack.context->save(nullptr))
                ::_exit(3);
            stack.context->reset();
            counter = stack.context->executeFetchRequest(request, nullptr)[0].objectAs<NSManagedObject>();
            if (round == savesBeforeSignal) {
                char byte = 1;
                if (::write(ready[1], &byte, 1) != 1)
                    ::_exit(4);
            }
        }
        ::_exit(0);
    }
    ::close(ready[1]);
    char byte = 0;
    if (::read(ready[0], &byte, 1) != 1) {
        int status = 0;
        ::waitpid(child, &status, 0);
        FAIL() << "the writer failed before its first saves: status " << status;
    }
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped on its own with " << WEXITSTATUS(status);

    auto stack = Stack::open(path);
    ASSERT_TRUE(stack.store) << stack.error->description();
    auto counter = fetch(stack.context, "KESTFilter");
    ASSERT_EQ(counter.count(), 1u);
    int rounds = counter[0].objectAs<NSManagedObject>()->valueForKey("filterName").intValue();
    EXPECT_GE(rounds, savesBeforeSignal);
    EXPECT_EQ(fetch(stack.context, "KESTAlert").count(), static_cast<size_t>(rounds * batch));
    auto lastRound = NSPredicate::predicateWithFormat("alertValue == %@", Value("round " + std::to_string(rounds)));
    EXPECT_EQ(fetch(stack.context, "KESTAlert", lastRound).count(), static_cast<size_t>(batch));

    // The engine agrees the file is sound, and the store keeps working.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), "ok");
    sqlite3_finalize(statement);
    sqlite3_close(db);
    insert(stack.context, "KESTAlert", { { "alertValue", Value("after") } });
    EXPECT_TRUE(stack.context->save(nullptr));
}

} // namespace
