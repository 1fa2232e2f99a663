#include "foundation/NSException.h"
#include "foundation/NSSortDescriptor.h"
#include "foundation/Value.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

Value chart(const char* id, Value order, Value name)
{
    return Value::dictionary({ { Value("id"), Value(id) }, { Value("order"), order }, { Value("name"), name } });
}

std::string ids(const Value& sorted)
{
    std::string out;
    for (const auto& v : sorted.elements())
        out += v["id"].string();
    return out;
}

} // namespace

TEST(NSSortDescriptor, SortsByDescriptorsInTurnAndKeepsTies)
{
    using S = NSSortDescriptor;
    Value charts = Value::array({
        chart("a", Value(2), Value("beta")),
        chart("b", Value(1), Value("delta")),
        chart("c", Value(2), Value("alpha")),
        chart("d", Value(1), Value("delta")),
        chart("e", Value(), Value("zulu")),
        chart("f", Value(1.5), Value("élan")),
        chart("g", Value(2), Value("Alpha")),
    });
    struct Case {
        const char* name;
        std::vector<Ref<NSSortDescriptor>> descriptors;
        const char* expected;
    };
    const Case cases[] = {
        { "order then name; nil first; ties keep their order",
            { S::sortDescriptorWithKeyAscending("order", true), S::sortDescriptorWithKeyAscending("name", true) },
            "ebdfgca" },
        { "descending order, ties stable", { S::sortDescriptorWithKeyAscending("order", false) }, "acgfbde" },
        { "plain compare puts capitals first", { S::sortDescriptorWithKeyAscending("name", true) }, "gcabdef" },
        { "case-insensitive keeps equal names in order",
            { S::sortDescriptorWithKeyAscendingSelector("name", true, S::Comparison::CaseInsensitiveCompare) },
            "cgabdef" },
        { "localized puts accented letters with their base letter",
            { S::sortDescriptorWithKeyAscendingSelector("name", true, S::Comparison::LocalizedCaseInsensitiveCompare) },
            "cgabdfe" },
        { "comparator",
            { S::sortDescriptorWithKeyAscendingComparator("name", true,
                [](const Value& x, const Value& y) {
                    auto a = x.string().size(), b = y.string().size();
                    return a < b ? NSOrderedAscending : a > b ? NSOrderedDescending : NSOrderedSame;
                }) },
            "aebcdfg" },
        { "reversed", { S::sortDescriptorWithKeyAscending("order", true)->reversedSortDescriptor() }, "acgfbde" },
        { "no descriptors keeps the order", {}, "abcdefg" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ids(sortedArrayUsingDescriptors(charts, c.descriptors)), c.expected);
    }
}

TEST(NSSortDescriptor, InconsistentComparatorStillGivesEveryElementOnce)
{
    std::vector<Value> values;
    for (int i = 0; i < 100; ++i)
        values.emplace_back(i);
    auto liar = NSSortDescriptor::sortDescriptorWithKeyAscendingComparator(
        "", true, [](const Value&, const Value&) { return NSOrderedAscending; });
    auto sorted = sortedArrayUsingDescriptors(values, { liar });
    ASSERT_EQ(sorted.size(), values.size());
    std::vector<bool> seen(values.size());
    for (const auto& v : sorted)
        seen[static_cast<size_t>(v.intValue())] = true;
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 100);

    EXPECT_THROW(NSSortDescriptor::sortDescriptorWithKeyAscendingComparator("x", true, nullptr), NSException);
}
