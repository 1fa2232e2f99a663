#include "charts/LChartRepeatedTimePeriod.h"

#include "charts/LChartDateFrequency.h"
#include "charts/tests/ChartTestSupport.h"
#include "foundation/NSDate.h"
#include "foundation/NSTimeZone.h"
#include "testing/LogCapture.h"

#include <gtest/gtest.h>

namespace {

constexpr double kDay = 86400;
// Saturday 2013-12-28 00:00 UTC.
constexpr double kSaturday = 1388188800;

Ref<NSDate> at(double seconds)
{
    return NSDate::dateWithTimeIntervalSince1970(seconds);
}

struct UtcZone {
    UtcZone() { NSTimeZone::setDefaultTimeZoneForTesting("UTC"); }
    ~UtcZone() { NSTimeZone::resetForTesting(); }
};

} // namespace

TEST(LChartRepeatedTimePeriod, WalksToTheOccurrenceAroundADate)
{
    UtcZone zone;
    auto weekend = LChartRepeatedTimePeriod::initWithStartAndLengthAndFrequency(
        at(kSaturday), LChartDateFrequency::initWithDay(2), LChartDateFrequency::initWithDay(7));
    EXPECT_EQ(weekend->periodEnd()->timeIntervalSince1970(), kSaturday + 2 * kDay);

    struct Case {
        double date;
        bool skipped;
        double occurrence;
    } cases[] = {
        { kSaturday + 7 * kDay + 12 * 3600, true, kSaturday + 7 * kDay }, // the next Saturday noon
        { kSaturday + 9 * kDay, false, kSaturday + 7 * kDay }, // Monday 00:00: the end is open
        { kSaturday + 6 * kDay, false, kSaturday }, // Friday
        { kSaturday - 6 * kDay, true, kSaturday - 7 * kDay }, // the Sunday before
        { kSaturday + 70 * kDay, true, kSaturday + 70 * kDay }, // exactly on a start
    };
    for (const auto& c : cases) {
        EXPECT_EQ(weekend->skipsOver(at(c.date)), c.skipped) << c.date;
        EXPECT_EQ(weekend->periodStart()->timeIntervalSince1970(), c.occurrence) << c.date;
    }
    EXPECT_TRUE(weekend->isEqual(LChartRepeatedTimePeriod::initWithStartAndLengthAndFrequency(
        at(kSaturday + 70 * kDay), LChartDateFrequency::initWithDay(2), LChartDateFrequency::initWithDay(7))
                                     .get()));
}

TEST(LChartRepeatedTimePeriod, RefusesPeriodsThatCannotRepeat)
{
    LogCapture log;
    FatalErrorsThrow fatal;
    auto week = LChartDateFrequency::initWithDay(7);
    EXPECT_THROW(
        LChartRepeatedTimePeriod::initWithStartAndLengthAndFrequency(at(kSaturday), week, week), ChartFatalError);
    EXPECT_THROW(
        LChartRepeatedTimePeriod::initWithStartAndLengthAndFrequency(at(kSaturday), week, nullptr), ChartFatalError);
    EXPECT_THROW(LChartRepeatedTimePeriod::initWithStartAndLength(at(kSaturday), week), ChartFatalError);
    EXPECT_THROW(LChartTimePeriod::initWithStartAndLength(nullptr, week), ChartFatalError);
    auto messages = log.messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[1].rfind("LChartRepeatedTimePeriod: frequency is nil", 0), 0u);
    EXPECT_EQ(
        messages[2].rfind("You must initialise a repeated date period using initWithStart:andLength:andFrequency:", 0),
        0u);
    EXPECT_EQ(messages[3].rfind("LChartTimePeriod: start-date is nil", 0), 0u);
}
