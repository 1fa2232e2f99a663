#include "charts/LChartRange.h"

#include "charts/LChartDateRange.h"
#include "charts/LChartNumberRange.h"
#include "charts/LChartRangeUtils.h"

#include <gtest/gtest.h>

namespace {
Ref<LChartRange> range(double min, double max)
{
    return LChartRange::initWithMinimumAndMaximum(Value(min), Value(max));
}
} // namespace

TEST(LChartRange, SpanDescriptionAndCopiesKeepTheClass)
{
    EXPECT_EQ(range(2, 5)->span().doubleValue(), 3);
    EXPECT_EQ(range(5, 2)->span().doubleValue(), -3);
    EXPECT_EQ(range(2, 5)->description(), "{ 2.000000, 5.000000 }");

    auto dates = LChartDateRange::initWithDateMinimumAndDateMaximum(Value::date(60), Value::date(120));
    EXPECT_EQ(dates->minimum().doubleValue(), 60);
    auto copy = LChartRange::rangeWithRange(dates);
    ASSERT_TRUE(copy->isKindOfClass(LChartDateRange::classObject()));
    EXPECT_EQ(std::static_pointer_cast<LChartDateRange>(copy)->minimumAsDate(), dates->minimumAsDate());
    auto numbers = LChartRange::rangeWithRange(LChartNumberRange::initWithMinimumAndMaximum(Value(1), Value(2)));
    EXPECT_TRUE(numbers->isMemberOfClass(LChartNumberRange::classObject()));
    EXPECT_TRUE(LChartRange::rangeWithRange(range(1, 2))->isMemberOfClass(LChartRange::classObject()));
}

TEST(LChartRangeUtils, ContainmentAndFitting)
{
    EXPECT_TRUE(LChartRangeUtils::rangeContainsOtherRange(*range(0, 10), *range(0, 10)));
    EXPECT_FALSE(LChartRangeUtils::rangeContainsOtherRange(*range(0, 10), *range(-1, 5)));

    struct Case {
        double min, max, fitMin, fitMax;
    } cases[] = {
        { 12, 15, 7, 10 },
        { -5, -2, 0, 3 },
        { -2, 3, 0, 5 },
        { 8, 12, 6, 10 },
        { -5, 20, 0, 10 },
        { 2, 4, 2, 4 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(range(c.min, c.max)->description());
        auto fitted = LChartRangeUtils::adjustRangeToFitRange(
            *LChartNumberRange::initWithMinimumAndMaximum(Value(c.min), Value(c.max)), *range(0, 10));
        EXPECT_TRUE(fitted->isMemberOfClass(LChartRange::classObject()));
        EXPECT_EQ(fitted->min(), c.fitMin);
        EXPECT_EQ(fitted->max(), c.fitMax);
    }
}
