#include "foundation/NSDataFile.h"
#include "foundation/NSException.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSUserDefaults.h"
#include "testing/TemporarySandbox.h"

#include <gtest/gtest.h>
#include <thread>

TEST(NSUserDefaults, SynchronizedValuesSurviveAReloadFromDisk)
{
    TemporarySandbox sandbox;
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setBool(true, "kHasSetBookmarks");
    defaults->setInteger(-7, "count");
    defaults->setDouble(2.5, "ratio");
    defaults->setObjectForKey(
        Value::array({ Value::dictionary({ { Value("name"), Value("a") }, { Value("order"), Value(0) } }) }),
        "vxActiveCharts");
    defaults->setObjectForKey(Value::data({ 1, 2, 3 }), "token");
    defaults->setObjectForKey(Value("gone"), "removed");
    defaults->setObjectForKey(Value(), "removed"); // nil removes
    defaults->registerDefaults(Value::dictionary({ { Value("registered"), Value(5) } }));
    ASSERT_TRUE(defaults->synchronize());

    std::string file = defaults->persistentDomainPath();
    EXPECT_EQ(file.rfind(sandbox.root() + "/Library/Preferences/", 0), 0u);
    Value bytes = NSData::dataWithContentsOfFile(file);
    ASSERT_TRUE(bytes.isData());
    EXPECT_EQ(std::string(bytes.bytes().begin(), bytes.bytes().begin() + 6), "bplist");

    NSUserDefaults::resetStandardUserDefaults();
    auto reloaded = NSUserDefaults::standardUserDefaults();
    EXPECT_NE(reloaded, defaults);
    EXPECT_TRUE(reloaded->boolForKey("kHasSetBookmarks"));
    EXPECT_EQ(reloaded->integerForKey("count"), -7);
    EXPECT_EQ(reloaded->doubleForKey("ratio"), 2.5);
    EXPECT_EQ(reloaded->arrayForKey("vxActiveCharts").objectAtIndex(0)["name"].string(), "a");
    EXPECT_EQ(reloaded->dataForKey("token").bytes(), (Value::Bytes { 1, 2, 3 }));
    EXPECT_TRUE(reloaded->objectForKey("removed").isNil());
    EXPECT_TRUE(reloaded->objectForKey("registered").isNil()); // registration is never saved
}

TEST(NSUserDefaults, TypedGettersConvertStoredValues)
{
    TemporarySandbox sandbox;
    auto defaults = NSUserDefaults::standardUserDefaults();
    struct Case {
        Value stored;
        int32_t integer;
        bool boolean;
        double real;
        Value string;
    };
    const Case cases[] = {
        { Value(), 0, false, 0.0, Value() },
        { Value(true), 1, true, 1.0, Value("1") },
        { Value(0), 0, false, 0.0, Value("0") },
        { Value(42), 42, true, 42.0, Value("42") },
        { Value(3.75), 3, true, 3.75, Value("3.75") },
        { Value("YES"), 0, true, 0.0, Value("YES") },
        { Value("true"), 0, true, 0.0, Value("true") },
        { Value("no"), 0, false, 0.0, Value("no") },
        { Value("  0012abc"), 12, true, 12.0, Value("  0012abc") },
        { Value("-4.5"), -4, true, -4.5, Value("-4.5") }, // the sign is skipped, then a digit 1 to 9
        { Value("1"), 1, true, 1.0, Value("1") },
        { Value::array({ Value(1) }), 0, false, 0.0, Value() },
        { Value::data({ 1 }), 0, false, 0.0, Value() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.description());
        defaults->setObjectForKey(c.stored, "key");
        EXPECT_EQ(defaults->integerForKey("key"), c.integer);
        EXPECT_EQ(defaults->boolForKey("key"), c.boolean);
        EXPECT_DOUBLE_EQ(defaults->doubleForKey("key"), c.real);
        EXPECT_FLOAT_EQ(defaults->floatForKey("key"), static_cast<float>(c.real));
        EXPECT_TRUE(defaults->stringForKey("key").isEqual(c.string)) << defaults->stringForKey("key").description();
        EXPECT_EQ(defaults->arrayForKey("key").isNil(), !c.stored.isArray());
    }
}

TEST(NSUserDefaults, RegistrationStoredCopiesSuitesAndErrors)
{
    TemporarySandbox sandbox;
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->registerDefaults(
        Value::dictionary({ { Value("kMovePlanes"), Value(true) }, { Value("kSpeed"), Value(1) } }));
    EXPECT_TRUE(defaults->boolForKey("kMovePlanes"));
    defaults->setBool(false, "kMovePlanes");
    EXPECT_FALSE(defaults->boolForKey("kMovePlanes"));
    defaults->removeObjectForKey("kMovePlanes");
    EXPECT_TRUE(defaults->boolForKey("kMovePlanes"));
    Value all = defaults->dictionaryRepresentation();
    EXPECT_EQ(all["kSpeed"].intValue(), 1);

    // The stored value is a copy: changing the caller's container afterwards changes nothing.
    Value list = Value::mutableArray({ Value(1) });
    defaults->setObjectForKey(list, "list");
    list.addObject(Value(2));
    EXPECT_EQ(defaults->arrayForKey("list").count(), 1u);
    EXPECT_FALSE(defaults->arrayForKey("list").isMutable());

    // Values that are not property lists are refused and leave the old value.
    EXPECT_THROW(defaults->setObjectForKey(Value::null(), "list"), NSException);
    EXPECT_THROW(defaults->setObjectForKey(Value::array({ Value::null() }), "list"), NSException);
    EXPECT_EQ(defaults->arrayForKey("list").count(), 1u);

    // A suite keeps its own file.
    auto suite = NSUserDefaults::initWithSuiteName("group.example");
    suite->setInteger(9, "n");
    ASSERT_TRUE(suite->synchronize());
    EXPECT_EQ(suite->persistentDomainPath(), sandbox.root() + "/Library/Preferences/group.example.plist");
    EXPECT_EQ(NSUserDefaults::initWithSuiteName("group.example"), suite);
    EXPECT_EQ(defaults->integerForKey("n"), 0);
    EXPECT_EQ(NSUserDefaults::initWithSuiteName(""), defaults);
    EXPECT_EQ(NSUserDefaults::initWithSuiteName("../escape"), defaults);
    NSUserDefaults::resetStandardUserDefaults();
    EXPECT_EQ(NSUserDefaults::initWithSuiteName("group.example")->integerForKey("n"), 9);

    // A corrupt file reads as empty and is replaced by the next synchronize.
    NSData::writeToFile(Value("not a plist"), suite->persistentDomainPath(), true);
    NSUserDefaults::resetStandardUserDefaults();
    auto fresh = NSUserDefaults::initWithSuiteName("group.example");
    EXPECT_TRUE(fresh->objectForKey("n").isNil());
    fresh->setInteger(3, "n");
    EXPECT_TRUE(fresh->synchronize());
    NSUserDefaults::resetStandardUserDefaults();
    EXPECT_EQ(NSUserDefaults::initWithSuiteName("group.example")->integerForKey("n"), 3);
}

TEST(NSUserDefaults, ChangeHookHearsSetsAndRemovals)
{
    TemporarySandbox sandbox;
    std::vector<Ref<NSUserDefaults>> heard;
    NSUserDefaults::setChangeHook([&](const Ref<NSUserDefaults>& d) { heard.push_back(d); });
    int notified = 0;
    auto token = NSNotificationCenter::defaultCenter()->addObserverForName(
        NSUserDefaultsDidChangeNotification, nullptr, nullptr, [&](const Ref<NSNotification>&) { ++notified; });
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setInteger(1, "a");
    defaults->removeObjectForKey("a");
    defaults->removeObjectForKey("a"); // nothing to remove: no change
    defaults->registerDefaults(Value::dictionary({ { Value("b"), Value(2) } }));
    NSUserDefaults::setChangeHook(nullptr);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0], defaults);
    EXPECT_EQ(notified, 2);
}

TEST(NSUserDefaults, ConcurrentWritersLoseNothing)
{
    TemporarySandbox sandbox;
    auto defaults = NSUserDefaults::standardUserDefaults();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([defaults, t] {
            for (int i = 0; i < 200; ++i) {
                std::string key = "k" + std::to_string(t) + "-" + std::to_string(i);
                defaults->setInteger(i, key);
                EXPECT_EQ(defaults->integerForKey(key), i);
                if (i % 50 == 0) {
                    EXPECT_TRUE(defaults->synchronize());
                }
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    ASSERT_TRUE(defaults->synchronize());
    NSUserDefaults::resetStandardUserDefaults();
    EXPECT_EQ(NSUserDefaults::standardUserDefaults()->dictionaryRepresentation().count(), 800u);
    EXPECT_EQ(NSUserDefaults::standardUserDefaults()->integerForKey("k3-199"), 199);
}
