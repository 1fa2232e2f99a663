#include "foundation/NSCache.h"
#include "foundation/NSException.h"
#include "foundation/NSIndexSet.h"
#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "foundation/NSOrderedSet.h"
#include "foundation/Value.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

std::string indexes(const NSIndexSet& set)
{
    std::string out;
    set.enumerateRangesUsingBlock([&](NSUInteger location, NSUInteger length, bool*) {
        out += (out.empty() ? "" : " ") + std::to_string(location) + "+" + std::to_string(length);
    });
    return out;
}

struct Range {
    NSUInteger location;
    NSUInteger length;
};

} // namespace

TEST(NSIndexSet, RangesMergeSplitAndShift)
{
    struct Case {
        const char* name;
        std::function<void(NSMutableIndexSet&)> change;
        const char* ranges;
    };
    Case cases[] = {
        { "touching ranges merge",
            [](auto& s) {
                s.addIndexesInRange(1, 2);
                s.addIndexesInRange(3, 2);
            },
            "1+4" },
        { "overlapping ranges merge",
            [](auto& s) {
                s.addIndexesInRange(5, 5);
                s.addIndexesInRange(1, 5);
                s.addIndex(20);
            },
            "1+9 20+1" },
        { "a bridge joins three",
            [](auto& s) {
                s.addIndex(1);
                s.addIndex(5);
                s.addIndex(9);
                s.addIndexesInRange(2, 7);
            },
            "1+9" },
        { "removal splits",
            [](auto& s) {
                s.addIndexesInRange(0, 10);
                s.removeIndexesInRange(3, 2);
                s.removeIndex(9);
            },
            "0+3 5+4" },
        { "empty range adds nothing", [](auto& s) { s.addIndexesInRange(4, 0); }, "" },
        { "range type",
            [](auto& s) {
                s.addIndexesInRange(Range { 200, 100 });
            },
            "200+100" },
        { "range clipped at the top", [](auto& s) { s.addIndexesInRange(UINT32_MAX - 1, 10); }, "4294967294+2" },
        { "shift up",
            [](auto& s) {
                s.addIndexesInRange(0, 2);
                s.addIndexesInRange(4, 2);
                s.shiftIndexesStartingAtIndexBy(1, 3);
            },
            "0+1 4+1 7+2" },
        { "shift down removes what it lands on",
            [](auto& s) {
                s.addIndexesInRange(0, 6);
                s.shiftIndexesStartingAtIndexBy(4, -2);
            },
            "0+4" },
        { "shift below zero drops",
            [](auto& s) {
                s.addIndexesInRange(1, 3);
                s.shiftIndexesStartingAtIndexBy(1, -2);
            },
            "0+2" },
        { "remove another set",
            [](auto& s) {
                s.addIndexesInRange(0, 10);
                s.removeIndexes(*NSIndexSet::indexSetWithIndexesInRange(2, 6));
            },
            "0+2 8+2" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto set = NSMutableIndexSet::indexSet();
        c.change(*set);
        EXPECT_EQ(indexes(*set), c.ranges);
    }
}

TEST(NSIndexSet, QueriesAndEnumeration)
{
    auto set = NSMutableIndexSet::indexSetWithIndexesInRange(2, 3); // 2 3 4
    set->addIndexesInRange(10, 2); // 10 11
    EXPECT_EQ(set->count(), 5u);
    EXPECT_EQ(set->firstIndex(), 2u);
    EXPECT_EQ(set->lastIndex(), 11u);
    EXPECT_TRUE(set->containsIndex(4));
    EXPECT_FALSE(set->containsIndex(5));
    EXPECT_TRUE(set->containsIndexesInRange(2, 3));
    EXPECT_FALSE(set->containsIndexesInRange(2, 4));
    EXPECT_TRUE(set->intersectsIndexesInRange(4, 7));
    EXPECT_FALSE(set->intersectsIndexesInRange(5, 5));
    EXPECT_EQ(set->countOfIndexesInRange(3, 8), 3u);
    EXPECT_EQ(set->indexGreaterThanIndex(4), 10u);
    EXPECT_EQ(set->indexGreaterThanOrEqualToIndex(4), 4u);
    EXPECT_EQ(set->indexLessThanIndex(10), 4u);
    EXPECT_EQ(set->indexLessThanOrEqualToIndex(1), static_cast<NSUInteger>(NSNotFound));
    EXPECT_EQ(set->indexGreaterThanIndex(11), static_cast<NSUInteger>(NSNotFound));
    EXPECT_EQ(NSIndexSet::indexSet()->firstIndex(), static_cast<NSUInteger>(NSNotFound));

    std::vector<NSUInteger> seen;
    set->enumerateIndexesWithOptionsUsingBlock(NSIndexSet::NSEnumerationReverse, [&](NSUInteger i, bool* stop) {
        seen.push_back(i);
        *stop = seen.size() == 3;
    });
    EXPECT_EQ(seen, (std::vector<NSUInteger> { 11, 10, 4 }));

    EXPECT_TRUE(set->isEqual(set->copy().get()));
    EXPECT_FALSE(set->isEqual(NSIndexSet::indexSetWithIndex(2).get()));
    EXPECT_NE(set->description().find("[number of indexes: 5 (in 2 ranges), indexes: (2-4 10-11)]"), std::string::npos);

    // Archived and read back, alone and with one range.
    for (auto original :
        { Ref<NSIndexSet>(set), NSIndexSet::indexSetWithIndexesInRange(200, 100), NSIndexSet::indexSet() }) {
        Value data = NSKeyedArchiver::archivedDataWithRootObject(Value(original));
        Ref<NSError> error;
        Value back
            = NSKeyedUnarchiver::unarchivedObjectOfClassFromData(NSIndexSet::classObject(), data.bytes(), &error);
        EXPECT_EQ(error, nullptr);
        ASSERT_TRUE(back.isObject());
        EXPECT_TRUE(back.objectValue()->isEqual(original.get()));
    }
}

TEST(NSOrderedSet, KeepsInsertionOrderAndUniqueness)
{
    auto set = NSMutableOrderedSet::orderedSetWithArray({ Value("b"), Value(1), Value("a"), Value(true), Value("b") });
    ASSERT_EQ(set->count(), 3u); // 1 and true are equal numbers
    EXPECT_EQ(set->objectAtIndex(0).string(), "b");
    EXPECT_EQ(set->indexOfObject(Value(1.0)), 1u);
    set->addObject(Value("a"));
    EXPECT_EQ(set->count(), 3u);
    set->insertObjectAtIndex(Value("z"), 0);
    EXPECT_EQ(set->indexOfObject(Value("a")), 3u);
    set->removeObject(Value("b"));
    EXPECT_EQ(set->indexOfObject(Value("a")), 2u);
    EXPECT_FALSE(set->containsObject(Value("b")));
    set->replaceObjectAtIndexWithObject(0, Value("a")); // already present elsewhere: no change
    EXPECT_EQ(set->objectAtIndex(0).string(), "z");
    set->replaceObjectAtIndexWithObject(0, Value("y"));
    EXPECT_TRUE(set->containsObject(Value("y")));
    EXPECT_FALSE(set->containsObject(Value("z")));
    EXPECT_THROW(set->objectAtIndex(9), NSException);
    EXPECT_THROW(set->addObject(Value()), NSException);
    EXPECT_TRUE(set->array().isEqual(Value::array({ Value("y"), Value(1), Value("a") })));

    // Archived, read back with its elements held to the allowed classes.
    Value data = NSKeyedArchiver::archivedDataWithRootObject(Value(set));
    Ref<NSError> error;
    auto back = NSKeyedUnarchiver::unarchivedObjectOfClassesFromData(
        { NSOrderedSet::classObject(), Value::stringClass(), Value::numberClass() }, data.bytes(), &error)
                    .objectAs<NSMutableOrderedSet>();
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(back->isEqualToOrderedSet(*set));
    EXPECT_TRUE(NSKeyedUnarchiver::unarchivedObjectOfClassesFromData(
        { NSOrderedSet::classObject(), Value::stringClass() }, data.bytes(), &error)
                    .isNil());
    EXPECT_NE(error, nullptr);
}

namespace {

class RecordingDelegate : public NSCacheDelegate {
public:
    void cacheWillEvictObject(NSCache&, const Value& object) override { evicted.push_back(object.stringValue()); }
    std::vector<std::string> evicted;
};

} // namespace

TEST(NSCache, EvictsOldestBeyondLimitsAndTellsTheDelegate)
{
    struct Case {
        const char* name;
        NSUInteger countLimit;
        NSUInteger costLimit;
        std::vector<std::pair<std::string, NSUInteger>> adds; // key (and object), cost
        std::vector<std::string> evicted;
        std::vector<std::string> kept;
    };
    Case cases[] = {
        { "no limits keep everything", 0, 0, { { "a", 5 }, { "b", 5 } }, {}, { "a", "b" } },
        { "count limit", 2, 0, { { "a", 0 }, { "b", 0 }, { "c", 0 } }, { "a" }, { "b", "c" } },
        { "cost limit evicts until it fits", 0, 10, { { "a", 4 }, { "b", 4 }, { "c", 6 } }, { "a" }, { "b", "c" } },
        { "replacing with an equal object reports nothing", 0, 0, { { "a", 0 }, { "a", 0 } }, {}, { "a" } },
        { "re-adding makes an entry newest", 2, 0, { { "a", 0 }, { "b", 0 }, { "a", 0 }, { "c", 0 } }, { "b" },
            { "a", "c" } },
        { "an object dearer than the limit goes too", 0, 3, { { "a", 1 }, { "b", 9 } }, { "a", "b" }, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto cache = NSCache::init();
        auto delegate = std::make_shared<RecordingDelegate>();
        cache->setDelegate(delegate);
        cache->setCountLimit(c.countLimit);
        cache->setTotalCostLimit(c.costLimit);
        for (const auto& [key, cost] : c.adds)
            cache->setObjectForKeyCost(Value(key), Value(key), cost);
        EXPECT_EQ(delegate->evicted, c.evicted);
        EXPECT_EQ(cache->count(), c.kept.size());
        for (const auto& key : c.kept)
            EXPECT_EQ(cache->objectForKey(Value(key)).string(), key);
    }
}

TEST(NSCache, RemovalPressureAndThreads)
{
    auto cache = NSCache::init();
    auto delegate = std::make_shared<RecordingDelegate>();
    cache->setDelegate(delegate);
    cache->setObjectForKey(Value("1"), Value(1));
    cache->setObjectForKey(Value("2"), Value(2));
    cache->setObjectForKey(Value("3"), Value(3));
    cache->removeObjectForKey(Value(2.0));
    EXPECT_EQ(delegate->evicted, std::vector<std::string> { "2" });
    cache->setObjectForKey(Value("3b"), Value(3)); // replacing reports the old object
    EXPECT_EQ(delegate->evicted, (std::vector<std::string> { "2", "3" }));
    cache->setObjectForKey(Value(), Value(1)); // nil removes
    EXPECT_TRUE(cache->objectForKey(Value(1)).isNil());

    auto other = NSCache::init();
    other->setObjectForKey(Value("x"), Value("x"));
    NSCache::simulateMemoryPressureOnAllCaches();
    EXPECT_EQ(cache->count(), 0u);
    EXPECT_EQ(other->count(), 0u);
    EXPECT_EQ(delegate->evicted, (std::vector<std::string> { "2", "3", "1", "3b" }));

    // Writers and readers on several threads leave a consistent cache within its limit.
    auto shared = NSCache::init();
    shared->setCountLimit(50);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([shared, t] {
            for (int i = 0; i < 2000; ++i) {
                shared->setObjectForKeyCost(Value(i), Value(t * 10000 + i), 1);
                (void)shared->objectForKey(Value(t * 10000 + i / 2));
                if (i % 7 == 0)
                    shared->removeObjectForKey(Value(t * 10000 + i - 3));
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(shared->count(), 50u);
}
