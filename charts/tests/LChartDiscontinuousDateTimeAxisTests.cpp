#include "charts/LChartDiscontinuousDateTimeAxis.h"

#include "charts/LChartDateFrequency.h"
#include "charts/LChartRepeatedTimePeriod.h"
#include "charts/LChartSkipList.h"
#include "foundation/NSCalendar.h"
#include "foundation/NSDate.h"
#include "foundation/NSTimeZone.h"

#include <gtest/gtest.h>

namespace {

constexpr double kDay = 86400;
// Wednesday 2014-01-01 00:00 UTC, and the Saturday before it.
constexpr double kWednesday = 1388534400;
constexpr double kSaturday = kWednesday - 4 * kDay;

struct WeekendAxis {
    WeekendAxis()
    {
        NSTimeZone::setDefaultTimeZoneForTesting("UTC");
        axis->setCal(NSCalendar::currentCalendar());
        axis->addExcludedRepeatedTimePeriod(LChartRepeatedTimePeriod::initWithStartAndLengthAndFrequency(
            NSDate::dateWithTimeIntervalSince1970(kSaturday + 70 * kDay), LChartDateFrequency::initWithDay(2),
            LChartDateFrequency::initWithDay(7)));
        axis->setRefDate(kWednesday);
        // Data from a Wednesday to the Wednesday two weeks later.
        axis->configureWithDataMinAndDataMax(Value::date(kWednesday), Value::date(kWednesday + 14 * kDay));
    }
    ~WeekendAxis() { NSTimeZone::resetForTesting(); }

    Ref<LChartDiscontinuousDateTimeAxis> axis { LChartDiscontinuousDateTimeAxis::init() };
};

} // namespace

TEST(LChartDiscontinuousDateTimeAxis, TurnsTheWeekendsAroundTheDataIntoSkips)
{
    WeekendAxis f;
    const auto& skips = f.axis->skipList()->skips();
    ASSERT_EQ(skips.size(), 3u);
    for (size_t i = 0; i < skips.size(); ++i) {
        EXPECT_EQ(skips[i]->start(), kSaturday + 7 * kDay * i) << i;
        EXPECT_EQ(skips[i]->length(), 2 * kDay) << i;
    }
    EXPECT_FALSE(f.axis->needSkipUpdate());
    EXPECT_TRUE(f.axis->isSkippedData(Value::date(kWednesday + 3 * kDay + 3600))); // Saturday 01:00
    EXPECT_TRUE(f.axis->isSkippedData(Value(kWednesday + 60 * kDay + 3600))); // a weekend beyond the data
    EXPECT_FALSE(f.axis->isSkippedData(Value::date(kWednesday + 5 * kDay))); // Monday 00:00
    EXPECT_FALSE(f.axis->isSkippedData(Value()));

    f.axis->removeExcludedRepeatedTimePeriod(f.axis->excludedRepeatedTimePeriods().front());
    EXPECT_TRUE(f.axis->needSkipUpdate());
    f.axis->addExcludedTimePeriod(LChartTimePeriod::initWithStartAndLength(
        NSDate::dateWithTimeIntervalSince1970(kWednesday + kDay), LChartDateFrequency::initWithHour(6)));
    f.axis->updateAllSkips();
    ASSERT_EQ(f.axis->skipList()->skips().size(), 1u);
    EXPECT_EQ(f.axis->skipList()->skips()[0]->length(), 6 * 3600);
}

TEST(LChartDiscontinuousDateTimeAxis, CompressesSkippedTimeAndStepsBackOverIt)
{
    WeekendAxis f;
    struct Case {
        const char* name;
        double real;
        double internal;
    } cases[] = {
        // The weekend before the data already lies below every data point.
        { "first point", kWednesday, -2 * kDay },
        { "Friday noon", kWednesday + 2.5 * kDay, 0.5 * kDay },
        { "Monday", kWednesday + 5 * kDay, kDay },
        { "next Monday", kWednesday + 12 * kDay, 6 * kDay },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(f.axis->transformValueToInternal(Value::date(c.real)).doubleValue(), c.internal);
        EXPECT_EQ(f.axis->transformValueToExternal(Value(c.internal)).doubleValue(), c.real);
    }
    // Saturday noon compresses onto the weekend's start.
    EXPECT_EQ(f.axis->transformValueToInternal(Value(kWednesday + 3.5 * kDay)).doubleValue(), kDay);

    // Daily ticks: a backward step into the weekend continues from the weekend's start.
    f.axis->setMajorTickFrequency(Value(LChartDateFrequency::initWithDay(1)));
    auto day = LChartDateFrequency::initWithDay(1);
    auto back = f.axis->dateFromApplyingComponentsToDateGoingBackwardsMajor(day->getNegativeDateComponents(),
        NSDate::dateWithTimeIntervalSince1970(kWednesday + 5 * kDay + 12 * 3600), true, true);
    EXPECT_EQ(back->timeIntervalSince1970(), kWednesday + 2 * kDay); // Friday 00:00
    auto forward = f.axis->dateFromApplyingComponentsToDateGoingBackwardsMajor(
        day->dateComponents(), NSDate::dateWithTimeIntervalSince1970(kWednesday + 2 * kDay), false, true);
    EXPECT_EQ(forward->timeIntervalSince1970(), kWednesday + 3 * kDay); // forwards lands where it lands
    EXPECT_EQ(f.axis->jumpToFirstTickValueWithMinimumAlignedToAnchorPoint(100, 7), 7);

    auto stub = std::dynamic_pointer_cast<LChartDiscontinuousDateTimeAxis>(f.axis->stubCopyOfAxisForDataLoading());
    ASSERT_TRUE(stub);
    // The stub carries equal periods (objects of its own: see the next test).
    const auto& copied = stub->excludedRepeatedTimePeriods();
    const auto& live = f.axis->excludedRepeatedTimePeriods();
    ASSERT_EQ(copied.size(), live.size());
    for (size_t i = 0; i < live.size(); ++i)
        EXPECT_TRUE(copied[i]->isEqual(live[i].get())) << i;
}

TEST(LChartDiscontinuousDateTimeAxis, ALoadCopyMovesItsOwnRepeatedPeriods)
{
    WeekendAxis f;
    const auto& live = f.axis->excludedRepeatedTimePeriods();
    ASSERT_EQ(live.size(), 1u);
    double start = live.front()->periodStart()->timeIntervalSince1970();
    auto copy = std::dynamic_pointer_cast<LChartDiscontinuousDateTimeAxis>(f.axis->stubCopyOfAxisForDataLoading());
    ASSERT_TRUE(copy);
    const auto& copied = copy->excludedRepeatedTimePeriods();
    ASSERT_EQ(copied.size(), 1u);
    EXPECT_NE(copied.front(), live.front());
    EXPECT_TRUE(copied.front()->isEqual(live.front().get()));
    // Loading walks the copy's period along the data; the live axis' period stays put.
    copied.front()->positionBefore(NSDate::dateWithTimeIntervalSince1970(kWednesday + 300 * kDay));
    EXPECT_EQ(live.front()->periodStart()->timeIntervalSince1970(), start);
}
