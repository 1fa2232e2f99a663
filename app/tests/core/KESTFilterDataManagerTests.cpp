#include "app/core/KESTFilterDataManager.h"

#include "app/tests/filters/FilterTestSupport.h"
#include "foundation/NSThread.h"
#include "graphics/UIImage.h"

#include <gtest/gtest.h>

namespace {

// A varied set of live planes for the filtering table below.
std::vector<LivePlane> fleet()
{
    return {
        { "A1", "A388", "DXB-LHR", "UAE1", "7700", "EK1", 38000, 480 },
        { "A2", "B744", "LHR-JFK", "BAW117", "1774", "BA117", 35000, 500 },
        { "A3", "B738", "CDG-LHR", "RYR12", "2000", "FR12", 12000, 300 },
        { "A4", "A320", "LHR-CDG", "BAW304", "4321", "BA304", 0, 0 }, // on the ground
        { "A5", "CONC", "JFK-LHR", "BAW1", "0001", "BA1", 60000, 600 }, // at the scale's ends
        { "A6", "B744", "AMS-JFK", "KLM6", "5555", "", 33000, 490 },
    };
}

TEST(KESTFilterDataManager, BuildsOneClausePerFilter)
{
    FilterTestScope scope;
    struct Case {
        const char* name;
        std::vector<Condition> conditions;
        std::optional<std::string> clause;
    };
    const std::string ranges = "altitude > 0.000000 AND altitude < 60000.000000 AND speed > 0.000000 AND speed < "
                               "600.000000";
    const Case cases[] = {
        { "airline, two types, inbound airport",
            withRanges({ { 0, "BAW" }, { 1, "A388" }, { 1, "B744" }, { 2, "LHR", 0, 1, 0 } }),
            ranges
                + " AND ((fltno contains[c] 'BAW' OR callsign contains[c] 'BAW')) AND (type contains[c] 'A388' OR "
                  "type contains[c] 'B744') AND (route contains[c] '-LHR')" },
        { "outbound and both", { { 2, "LHR", 0, 1, 1 }, { 2, "JFK", 0, 1, 2 } },
            "(route contains[c] 'LHR-' OR route contains[c] 'JFK')" },
        { "squawk", { { 3, "77" } }, "(squawk contains[c] '77')" },
        { "quarter of the altitude scale", { { 4, "ALTITUDEDATA", 0.25f, 1 } },
            "altitude > 15000.000000 AND altitude < 60000.000000" },
        { "quote and backslash stay inside the literal", { { 0, "O'K\\" } },
            R"(((fltno contains[c] 'O\'K\\' OR callsign contains[c] 'O\'K\\')))" },
        { "unknown type only", { { 9, "X" } }, std::nullopt },
        { "no conditions", {}, std::nullopt },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto filter = scope.addFilter(c.name, Value(true), c.conditions);
        auto clause = KESTFilterDataManager::clauseForFilter(filter);
        if (!c.clause) {
            EXPECT_FALSE(clause);
            continue;
        }
        ASSERT_TRUE(clause);
        EXPECT_EQ(*clause, *c.clause);
        EXPECT_NO_THROW(NSPredicate::predicateWithFormat(*clause));
    }
}

TEST(KESTFilterDataManager, ActiveFiltersDecideWhichPlanesTheFeedHandsOut)
{
    struct Filter {
        Value active;
        std::vector<Condition> conditions;
    };
    struct Case {
        const char* name;
        std::vector<Filter> filters;
        std::vector<std::string> shown;
    };
    const std::vector<std::string> all = { "A1", "A2", "A3", "A4", "A5", "A6" };
    const Case cases[] = {
        { "no filter", {}, all },
        { "only inactive filters", { { Value(false), withRanges({ { 0, "BAW" } }) }, { Value(), { { 3, "7" } } } },
            all },
        { "default ranges exclude 0 and the scale's ends", { { Value(true), withRanges({}) } },
            { "A1", "A2", "A3", "A6" } },
        { "two airlines widen", { { Value(true), withRanges({ { 0, "baw" }, { 0, "RYR" } }) } }, { "A2", "A3" } },
        { "airline and type narrow", { { Value(true), withRanges({ { 0, "BAW" }, { 1, "b744" } }) } }, { "A2" } },
        { "two filters widen", { { Value(true), withRanges({ { 0, "UAE" } }) }, { Value(true), { { 0, "KLM" } } } },
            { "A1", "A6" } },
        { "inbound LHR", { { Value(true), { { 2, "LHR", 0, 1, 0 } } } }, { "A1", "A3", "A5" } },
        { "outbound LHR", { { Value(true), { { 2, "LHR", 0, 1, 1 } } } }, { "A2", "A4" } },
        { "squawk substring", { { Value(true), { { 3, "77" } } } }, { "A1", "A2" } },
        { "filter without conditions adds nothing", { { Value(true), {} }, { Value(true), { { 0, "KLM" } } } },
            { "A6" } },
        { "only a filter without conditions", { { Value(true), {} } }, all },
        { "quote in a value", { { Value(true), { { 0, "O'Hare" } } } }, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FilterTestScope scope;
        scope.publish(fleet());
        for (const auto& f : c.filters)
            scope.addFilter("F", f.active, f.conditions);
        auto manager = KESTFilterDataManager::sharedInstance();
        manager->recacheFilters();
        EXPECT_EQ(FilterTestScope::filteredHexes(), c.shown);
        bool anyClause = false;
        for (const auto& f : c.filters)
            anyClause |= f.active.boolValue() && !f.conditions.empty();
        EXPECT_EQ(bool(manager->predicate()), anyClause);
    }
}

TEST(KESTFilterDataManager, CountsOneFilterOffTheMainThreadWhetherActiveOrNot)
{
    FilterTestScope scope;
    scope.publish(fleet());
    auto inactive = scope.addFilter("Speedbird", Value(false), withRanges({ { 0, "BAW" } }));
    EXPECT_EQ(FilterTestScope::countOf(inactive), 1) << "A4 on the ground and A5 at the ends do not count";
    EXPECT_EQ(FilterTestScope::countOf(scope.addFilter("Any", Value(true), {})), 0);
    EXPECT_EQ(FilterTestScope::countOf(scope.addFilter("Quote", Value(true), { { 3, "'" } })), 0);
    EXPECT_EQ(FilterTestScope::countOf(nullptr), 0);

    // A filter outside any context counts the same.
    auto entity = NSEntityDescription::entityForNameInManagedObjectContext("KESTFilter", scope.context());
    auto draft = std::dynamic_pointer_cast<KESTFilter>(
        NSManagedObject::initWithEntityInsertIntoManagedObjectContext(entity, nullptr));
    auto detailEntity = NSEntityDescription::entityForNameInManagedObjectContext("KESTFilterDetail", scope.context());
    auto detail = std::dynamic_pointer_cast<KESTFilterDetail>(
        NSManagedObject::initWithEntityInsertIntoManagedObjectContext(detailEntity, nullptr));
    ASSERT_TRUE(draft && detail);
    detail->setFilterDetailType(Value(1));
    detail->setFilterDetail(Value("B744"));
    draft->addChildFilterObject(detail);
    EXPECT_EQ(FilterTestScope::countOf(draft), 2);

    // Callbacks come back on the main queue, each call on its own.
    std::vector<int32_t> counts;
    for (int i = 0; i < 3; ++i)
        KESTFilterDataManager::sharedInstance()->calculateNumberOfPlanesWithCallback(draft, [&](int32_t count) {
            EXPECT_TRUE(NSThread::isMainThread());
            counts.push_back(count);
        });
    drainAll();
    EXPECT_EQ(counts, (std::vector<int32_t> { 2, 2, 2 }));
}

TEST(KESTFilterDataManager, ListsFiltersAndBadgesTheIconWithTheActiveCount)
{
    FilterTestScope scope;
    auto manager = KESTFilterDataManager::sharedInstance();
    Value none = manager->filtersIncludingInactive(true);
    EXPECT_TRUE(none.isArray());
    EXPECT_EQ(none.count(), 0u);
    auto plain = UIImage::imageNamed("filterListMenu");
    ASSERT_TRUE(plain);
    EXPECT_EQ(manager->filterIconWithBadge(), plain);
    EXPECT_EQ(manager->filterIconWithBadgeValue(std::nullopt), plain);

    for (Value flag : { Value(true), Value(false), Value(), Value(true), Value(true) })
        scope.addFilter("F", flag, {});
    EXPECT_EQ(manager->filtersIncludingInactive(true).count(), 5u);
    EXPECT_EQ(manager->filtersIncludingInactive(false).count(), 3u);
    auto badged = manager->filterIconWithBadge();
    ASSERT_TRUE(badged);
    EXPECT_NE(badged, plain);
    EXPECT_TRUE(CGSizeEqualToSize(badged->size(), plain->size()));
    EXPECT_EQ(badged->renderingMode(), UIImageRenderingModeAlwaysOriginal);

    manager->setManagedObjectContext(nullptr);
    EXPECT_TRUE(manager->filtersIncludingInactive(true).isNil());
    EXPECT_FALSE(manager->predicate());
    EXPECT_EQ(manager->filterIconWithBadge(), plain);
    EXPECT_FALSE(manager->filterMOC());
    manager->setManagedObjectContext(scope.context());
    auto child = manager->filterMOC();
    ASSERT_TRUE(child);
    EXPECT_EQ(child->parentContext(), scope.context());
    EXPECT_EQ(manager->filterMOC(), child);
}

} // namespace
