#include "app/categories/NSDate+Extension.h"
#include "app/categories/NSDateFormatter+Extension.h"

#include "testing/FixedClock.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

using namespace NSDate_Extension;

namespace {

// 2014-01-01 00:00:00 UTC, a Wednesday; the testing main pins the zone to UTC and en_US.
constexpr double epoch = VirtualClock::defaultWallEpoch;

Ref<NSDate> at(double secondsSinceEpoch)
{
    return NSDate::dateWithTimeIntervalSince1970(epoch + secondsSinceEpoch);
}

} // namespace

TEST(NSDate_Extension, RelativeTimeTexts)
{
    ScopedVirtualClock clock;
    const std::pair<double, const char*> cases[] = {
        { 0.5, "never" },
        { -10, "never" },
        { 1, "1 secs ago" },
        { 45.9, "45 secs ago" },
        { 60, "1 min ago" },
        { 89, "1 min ago" },
        { 90, "2 mins ago" },
        { 3599, "60 mins ago" },
        { 3600, "1 hour ago" },
        { 5400, "2 hours ago" },
        { 86400, "1 day ago" },
        { 129600, "2 days ago" },
        { 2629742, "30 days ago" },
        { 2629743, "never" },
    };
    for (auto [ago, text] : cases) {
        SCOPED_TRACE(ago);
        EXPECT_EQ(timeAgoSince(at(-ago)), text);
    }
    EXPECT_EQ(timeAgoSince(nullptr), "never");
}

TEST(NSDate_Extension, ArithmeticStaysExactBeyondThirtyTwoBits)
{
    ScopedVirtualClock clock;
    struct Case {
        const char* name;
        Ref<NSDate> date;
        double expected;
    };
    const Case cases[] = {
        { "days from now", dateWithDaysFromNow(3), 3 * 86400.0 },
        { "days before now", dateWithDaysBeforeNow(2), -2 * 86400.0 },
        { "hours from now", dateWithHoursFromNow(5), 5 * 3600.0 },
        { "minutes before now", dateWithMinutesBeforeNow(7), -7 * 60.0 },
        { "tomorrow", dateTomorrow(), 86400.0 },
        { "yesterday", dateYesterday(), -86400.0 },
        { "limit", dateWithDaysFromNow(24855), 24855 * 86400.0 },
        { "past the limit", dateWithDaysFromNow(24856), 24856 * 86400.0 },
        { "far past the limit", dateWithDaysBeforeNow(100000), -100000 * 86400.0 },
        { "adding days", dateByAddingDays(at(0), 30000), 30000 * 86400.0 },
        { "subtracting hours", dateBySubtractingHours(at(0), 600000), -600000 * 3600.0 },
        { "adding minutes", dateByAddingMinutes(at(0), 40000000), 40000000 * 60.0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.date);
        EXPECT_EQ(c.date->timeIntervalSince1970() - epoch, c.expected);
    }
    EXPECT_EQ(daysAfterDate(at(86400 * 3 + 100), at(0)), 3);
    EXPECT_EQ(daysBeforeDate(at(86400 * 3 + 100), at(0)), -3);
    EXPECT_EQ(hoursBeforeDate(at(0), at(7199)), 1);
    EXPECT_EQ(minutesAfterDate(at(-119), at(0)), -1);
}

TEST(NSDate_Extension, CalendarComparisonsAndEdits)
{
    ScopedVirtualClock clock;
    auto now = at(0);
    EXPECT_TRUE(isToday(at(3600)));
    EXPECT_TRUE(isTomorrow(at(86400 + 5)));
    EXPECT_TRUE(isYesterday(at(-1)));
    EXPECT_TRUE(isThisWeek(at(86400 * 2))); // Friday of the same week
    EXPECT_FALSE(isThisWeek(at(86400 * 4))); // the next Sunday starts a new week
    EXPECT_TRUE(isNextWeek(at(86400 * 4)));
    EXPECT_TRUE(isLastWeek(at(-86400 * 7)));
    // The same week number a year apart is not the same week.
    EXPECT_FALSE(isSameWeekAsDate(now, at(-86400 * 364)));
    EXPECT_TRUE(isThisMonth(at(86400 * 30)));
    EXPECT_FALSE(isThisMonth(at(86400 * 31)));
    EXPECT_TRUE(isLastYear(at(-1)));
    EXPECT_TRUE(isNextYear(at(86400 * 365)));
    EXPECT_TRUE(isThisYear(at(86400 * 364)));
    EXPECT_TRUE(isEarlierThanDate(at(-1), now));
    EXPECT_TRUE(isLaterThanDate(at(1), now));
    EXPECT_TRUE(isLaterThanOrEqualToDate(now, at(0)));
    EXPECT_FALSE(isTypicallyWeekend(now));
    EXPECT_TRUE(isTypicallyWeekend(at(86400 * 3))); // Saturday
    EXPECT_TRUE(isTypicallyWorkday(now));
    EXPECT_EQ(weekday(now), 4);
    EXPECT_EQ(year(now), 2014);
    EXPECT_EQ(nearestHour(at(-86400 * 50)), 0);
    clock.advance(1800);
    EXPECT_EQ(nearestHour(nullptr), 1);

    // 2014-01-15 10:20:30 and 2016-02-01 08:00:00 (a leap year).
    auto midJanuary = at(14 * 86400 + 10 * 3600 + 20 * 60 + 30);
    auto firstFebruary2016 = NSDate::dateWithTimeIntervalSince1970(utcTime(2016, 2, 1, 8));
    const std::pair<Ref<NSDate>, double> edits[] = {
        { dateAtStartOfDay(midJanuary), epoch + 14 * 86400 },
        { dateWithoutTime(midJanuary), epoch + 14 * 86400 },
        { dateAtEndOfDay(midJanuary), epoch + 14 * 86400 + 86399 },
        { dateAtStartOfMonth(midJanuary), epoch },
        { dateAtEndOfMonth(midJanuary), epoch + 31 * 86400 - 1 },
        { dateAtEndOfMonth(firstFebruary2016), utcTime(2016, 3, 1) - 1 },
    };
    for (size_t i = 0; i < std::size(edits); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(edits[i].first);
        EXPECT_EQ(edits[i].first->timeIntervalSince1970(), edits[i].second);
    }
    auto offset = componentsWithOffsetFromDate(midJanuary, now);
    ASSERT_TRUE(offset);
    EXPECT_EQ(offset->week(), 2); // whole weeks are taken before days
    EXPECT_EQ(offset->day(), 0);
    EXPECT_EQ(offset->hour(), 10);

    EXPECT_EQ(nameOfMonth(1), "January");
    EXPECT_EQ(nameOfMonth(12), "December");
    EXPECT_EQ(nameOfMonth(0), std::nullopt);
    EXPECT_EQ(nameOfMonth(13), std::nullopt);

    using NSDateFormatter_Extension::dateStringFromStringSourceFormatDestinationFormat;
    EXPECT_EQ(
        dateStringFromStringSourceFormatDestinationFormat("2014-03-05", "yyyy-MM-dd", "dd/MM/yyyy"), "05/03/2014");
    EXPECT_EQ(dateStringFromStringSourceFormatDestinationFormat("junk", "yyyy-MM-dd", "dd/MM/yyyy"), std::nullopt);
}
