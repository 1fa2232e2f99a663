#include "foundation/NSCalendar.h"

#include "foundation/NSDate.h"
#include "testing/FixedClock.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

// Seconds since 1970 of a UTC wall time (proleptic Gregorian).
constexpr double utc(int y, int m, int d, int h = 0, int mi = 0, int s = 0)
{
    y -= m <= 2;
    int era = (y >= 0 ? y : y - 399) / 400;
    int yoe = y - era * 400;
    int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    double days = era * 146097.0 + doe - 719468;
    return days * 86400 + h * 3600 + mi * 60 + s;
}

Ref<NSCalendar> calendarIn(const char* zone, const char* identifier = NSCalendarIdentifierGregorian)
{
    auto calendar = NSCalendar::calendarWithIdentifier(identifier);
    calendar->setLocale(NSLocale::localeWithLocaleIdentifier("en_US"));
    calendar->setTimeZone(NSTimeZone::timeZoneWithName(zone));
    return calendar;
}

Ref<NSDate> at(double seconds)
{
    return NSDate::dateWithTimeIntervalSince1970(seconds);
}

Ref<NSDateComponents> components(std::initializer_list<std::pair<NSCalendarUnit, NSInteger>> values)
{
    auto c = NSDateComponents::init();
    for (auto [unit, value] : values)
        c->setValueForComponent(value, unit);
    return c;
}

constexpr double kNewYorkBeforeSpringForward = 1394298000; // 2014-03-08 12:00 EST
constexpr double kNewYorkAfterSpringForward = 1394380800; // 2014-03-09 12:00 EDT
constexpr double kNewYorkBeforeFallBack = 1414857600; // 2014-11-01 12:00 EDT
constexpr double kNewYorkAfterFallBack = 1414947600; // 2014-11-02 12:00 EST

} // namespace

TEST(NSCalendar, BreaksDatesIntoComponents)
{
    constexpr auto all = NSCalendarUnitEra | NSCalendarUnitYear | NSCalendarUnitMonth | NSCalendarUnitDay
        | NSCalendarUnitHour | NSCalendarUnitMinute | NSCalendarUnitSecond | NSWeekCalendarUnit | NSCalendarUnitWeekday
        | NSCalendarUnitWeekdayOrdinal | NSCalendarUnitWeekOfMonth | NSCalendarUnitWeekOfYear
        | NSCalendarUnitYearForWeekOfYear | NSCalendarUnitQuarter;
    struct Case {
        const char* name;
        const char* zone;
        const char* calendar;
        double seconds;
        // year month day hour minute second weekday ordinal weekOfYear weekOfMonth yearForWeek quarter
        NSInteger expected[12];
    } cases[] = {
        { "last Friday of January", "UTC", "gregorian", utc(2014, 1, 31, 10),
            { 2014, 1, 31, 10, 0, 0, 6, 5, 5, 5, 2014, 1 } },
        { "New Year's Eve is in week 1 of the next year", "UTC", "gregorian", utc(2014, 12, 31, 23, 59, 59),
            { 2014, 12, 31, 23, 59, 59, 4, 5, 1, 5, 2015, 4 } },
        { "wall time in the zone, before the change", "America/New_York", "gregorian", 1394346600,
            { 2014, 3, 9, 1, 30, 0, 1, 2, 11, 3, 2014, 1 } },
        { "wall time in the zone, after the change", "America/New_York", "gregorian", 1394346600 + 3600,
            { 2014, 3, 9, 3, 30, 0, 1, 2, 11, 3, 2014, 1 } },
        { "ISO weeks start on Monday", "UTC", "iso8601", utc(2016, 1, 3),
            { 2016, 1, 3, 0, 0, 0, 1, 1, 53, 0, 2015, 1 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto comps = calendarIn(c.zone, c.calendar)->componentsFromDate(all, at(c.seconds));
        ASSERT_TRUE(comps);
        NSInteger actual[12] = { comps->year(), comps->month(), comps->day(), comps->hour(), comps->minute(),
            comps->second(), comps->weekday(), comps->weekdayOrdinal(), comps->weekOfYear(), comps->weekOfMonth(),
            comps->yearForWeekOfYear(), comps->quarter() };
        for (int i = 0; i < 12; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(actual[i], c.expected[i]);
        }
        EXPECT_EQ(comps->week(), comps->weekOfYear());
        EXPECT_EQ(comps->era(), 1);
        EXPECT_EQ(comps->nanosecond(), NSUndefinedDateComponent); // not asked for
    }
    EXPECT_EQ(calendarIn("UTC")->componentsFromDate(NSCalendarUnitYear, nullptr), nullptr);
    // An instant that is not a number has no calendar components (rather than garbage ones).
    EXPECT_EQ(calendarIn("UTC")->componentsFromDate(NSCalendarUnitYear, at(std::nan(""))), nullptr);
    EXPECT_EQ(calendarIn("UTC")->dateByAddingComponentsToDateOptions(
                  components({ { NSCalendarUnitDay, 1 } }), at(std::numeric_limits<double>::infinity())),
        nullptr);
    EXPECT_EQ(calendarIn("UTC")->componentFromDate(NSCalendarUnitNanosecond, at(100.25)), 250000000);
}

TEST(NSCalendar, AddsComponentsWithMonthEndClampingAndWallTimeDays)
{
    struct Case {
        const char* name;
        const char* zone;
        double start;
        std::initializer_list<std::pair<NSCalendarUnit, NSInteger>> add;
        double expected;
    } cases[] = {
        { "Jan 31 + 1 month", "UTC", utc(2014, 1, 31, 10), { { NSCalendarUnitMonth, 1 } }, utc(2014, 2, 28, 10) },
        { "Jan 31 + 1 month in a leap year", "UTC", utc(2012, 1, 31, 10), { { NSCalendarUnitMonth, 1 } },
            utc(2012, 2, 29, 10) },
        { "Feb 29 + 1 year", "UTC", utc(2012, 2, 29, 10), { { NSCalendarUnitYear, 1 } }, utc(2013, 2, 28, 10) },
        { "Mar 31 - 1 month", "UTC", utc(2014, 3, 31, 10), { { NSCalendarUnitMonth, -1 } }, utc(2014, 2, 28, 10) },
        { "Jan 31 + 1 month 1 day", "UTC", utc(2014, 1, 31, 10),
            { { NSCalendarUnitMonth, 1 }, { NSCalendarUnitDay, 1 } }, utc(2014, 3, 1, 10) },
        { "one week", "UTC", utc(2014, 1, 31, 10), { { NSWeekCalendarUnit, 1 } }, utc(2014, 2, 7, 10) },
        { "a day across spring-forward keeps 12:00", "America/New_York", kNewYorkBeforeSpringForward,
            { { NSCalendarUnitDay, 1 } }, kNewYorkAfterSpringForward },
        { "24 hours across spring-forward is 13:00", "America/New_York", kNewYorkBeforeSpringForward,
            { { NSCalendarUnitHour, 24 } }, kNewYorkAfterSpringForward + 3600 },
        { "a day across fall-back keeps 12:00", "America/New_York", kNewYorkBeforeFallBack,
            { { NSCalendarUnitDay, 1 } }, kNewYorkAfterFallBack },
        { "back a day across spring-forward", "America/New_York", kNewYorkAfterSpringForward,
            { { NSCalendarUnitDay, -1 } }, kNewYorkBeforeSpringForward },
        { "seconds keep the fraction", "UTC", 100.25, { { NSCalendarUnitSecond, 2 } }, 102.25 },
        { "nothing set changes nothing", "UTC", 100.25, {}, 100.25 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto result = calendarIn(c.zone)->dateByAddingComponentsToDateOptions(components(c.add), at(c.start));
        ASSERT_TRUE(result);
        EXPECT_EQ(result->timeIntervalSince1970(), c.expected) << result->description();
    }
    EXPECT_EQ(calendarIn("UTC")->dateByAddingComponentsToDateOptions(nullptr, at(0)), nullptr);
    EXPECT_EQ(calendarIn("UTC")->dateByAddingComponentsToDateOptions(components({}), nullptr), nullptr);
}

TEST(NSCalendar, CountsWholeUnitsBetweenDates)
{
    constexpr auto ymd = NSCalendarUnitYear | NSCalendarUnitMonth | NSCalendarUnitDay;
    struct Case {
        const char* name;
        const char* zone;
        NSCalendarUnit units;
        double from;
        double to;
        std::initializer_list<std::pair<NSCalendarUnit, NSInteger>> expected;
    } cases[] = {
        { "a day short of the anniversary", "UTC", NSCalendarUnitYear, utc(2000, 6, 15), utc(2014, 6, 14, 23, 59, 59),
            { { NSCalendarUnitYear, 13 } } },
        { "on the anniversary", "UTC", NSCalendarUnitYear, utc(2000, 6, 15), utc(2014, 6, 15),
            { { NSCalendarUnitYear, 14 } } },
        { "months under a year", "UTC", NSCalendarUnitYear | NSCalendarUnitMonth, utc(2013, 9, 20), utc(2014, 6, 19),
            { { NSCalendarUnitYear, 0 }, { NSCalendarUnitMonth, 8 } } },
        { "year, month and day through a short February", "UTC", ymd, utc(2014, 1, 31, 10), utc(2015, 3, 1, 10),
            { { NSCalendarUnitYear, 1 }, { NSCalendarUnitMonth, 1 }, { NSCalendarUnitDay, 1 } } },
        { "backwards is negative", "UTC", ymd, utc(2015, 3, 1, 10), utc(2014, 1, 31, 10),
            { { NSCalendarUnitYear, -1 }, { NSCalendarUnitMonth, -1 }, { NSCalendarUnitDay, -1 } } },
        { "a 23-hour day is one day", "America/New_York", NSCalendarUnitDay | NSCalendarUnitHour,
            kNewYorkBeforeSpringForward, kNewYorkAfterSpringForward,
            { { NSCalendarUnitDay, 1 }, { NSCalendarUnitHour, 0 } } },
        { "and 23 hours", "America/New_York", NSCalendarUnitHour, kNewYorkBeforeSpringForward,
            kNewYorkAfterSpringForward, { { NSCalendarUnitHour, 23 } } },
        { "seconds and the rest in nanoseconds", "UTC", NSCalendarUnitSecond | NSCalendarUnitNanosecond, 100.25, 101.5,
            { { NSCalendarUnitSecond, 1 }, { NSCalendarUnitNanosecond, 250000000 } } },
        { "weeks", "UTC", NSCalendarUnitWeekOfYear | NSCalendarUnitDay, utc(2014, 1, 1), utc(2014, 1, 20),
            { { NSCalendarUnitWeekOfYear, 2 }, { NSCalendarUnitDay, 5 } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto result = calendarIn(c.zone)->componentsFromDateToDateOptions(c.units, at(c.from), at(c.to));
        ASSERT_TRUE(result);
        for (auto [unit, value] : c.expected)
            EXPECT_EQ(result->valueForComponent(unit), value) << "unit " << unit;
        if (!(c.units & NSCalendarUnitMinute)) {
            EXPECT_EQ(result->minute(), NSUndefinedDateComponent);
        }
    }
    EXPECT_EQ(calendarIn("UTC")->componentsFromDateToDateOptions(NSCalendarUnitDay, at(0), nullptr), nullptr);
}

TEST(NSCalendar, MakesDatesFromComponents)
{
    struct Case {
        const char* name;
        const char* zone;
        std::initializer_list<std::pair<NSCalendarUnit, NSInteger>> set;
        double expected;
    } cases[] = {
        { "wall time after the change", "America/New_York",
            { { NSCalendarUnitYear, 2014 }, { NSCalendarUnitMonth, 3 }, { NSCalendarUnitDay, 9 },
                { NSCalendarUnitHour, 12 } },
            kNewYorkAfterSpringForward },
        { "day 0 is the last day of the previous month", "UTC",
            { { NSCalendarUnitYear, 2012 }, { NSCalendarUnitMonth, 3 }, { NSCalendarUnitDay, 0 } }, utc(2012, 2, 29) },
        { "month 13 carries into the next year", "UTC",
            { { NSCalendarUnitYear, 2013 }, { NSCalendarUnitMonth, 13 }, { NSCalendarUnitDay, 1 } }, utc(2014, 1, 1) },
        { "unset components take their first value", "UTC", { { NSCalendarUnitYear, 2014 } }, utc(2014, 1, 1) },
        { "second Sunday of March", "UTC",
            { { NSCalendarUnitYear, 2014 }, { NSCalendarUnitMonth, 3 }, { NSCalendarUnitWeekday, 1 },
                { NSCalendarUnitWeekdayOrdinal, 2 } },
            utc(2014, 3, 9) },
        { "end of the day", "UTC",
            { { NSCalendarUnitYear, 2014 }, { NSCalendarUnitMonth, 1 }, { NSCalendarUnitDay, 31 },
                { NSCalendarUnitHour, 23 }, { NSCalendarUnitMinute, 59 }, { NSCalendarUnitSecond, 59 },
                { NSCalendarUnitNanosecond, 500000000 } },
            utc(2014, 1, 31, 23, 59, 59) + 0.5 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto date = calendarIn(c.zone)->dateFromComponents(components(c.set));
        ASSERT_TRUE(date);
        EXPECT_EQ(date->timeIntervalSince1970(), c.expected) << date->description();
    }
    EXPECT_EQ(calendarIn("UTC")->dateFromComponents(nullptr), nullptr);

    auto withCalendar
        = components({ { NSCalendarUnitYear, 2014 }, { NSCalendarUnitMonth, 3 }, { NSCalendarUnitDay, 9 } });
    EXPECT_EQ(withCalendar->date(), nullptr);
    withCalendar->setCalendar(calendarIn("UTC"));
    withCalendar->setTimeZone(NSTimeZone::timeZoneWithName("America/New_York"));
    EXPECT_EQ(withCalendar->date()->timeIntervalSince1970(), utc(2014, 3, 9, 5));
}

TEST(NSCalendar, RangesOfUnits)
{
    struct Case {
        const char* name;
        NSCalendarUnit smaller;
        NSCalendarUnit larger;
        double date;
        NSRange expected;
    } cases[] = {
        { "February of a leap year", NSCalendarUnitDay, NSCalendarUnitMonth, utc(2012, 2, 10), { 1, 29 } },
        { "February of a common year", NSCalendarUnitDay, NSCalendarUnitMonth, utc(2013, 2, 10), { 1, 28 } },
        { "February 2000", NSCalendarUnitDay, NSCalendarUnitMonth, utc(2000, 2, 1), { 1, 29 } },
        { "February 1900", NSCalendarUnitDay, NSCalendarUnitMonth, utc(1900, 2, 1), { 1, 28 } },
        { "April", NSCalendarUnitDay, NSCalendarUnitMonth, utc(2014, 4, 30), { 1, 30 } },
        { "days of a leap year", NSCalendarUnitDay, NSCalendarUnitYear, utc(2012, 7, 1), { 1, 366 } },
        { "months of a year", NSCalendarUnitMonth, NSCalendarUnitYear, utc(2012, 7, 1), { 1, 12 } },
        { "hours of a day", NSCalendarUnitHour, NSCalendarUnitDay, utc(2012, 7, 1), { 0, 24 } },
        { "units that do not nest", NSCalendarUnitYear, NSCalendarUnitDay, utc(2012, 7, 1), { NSNotFound, 0 } },
    };
    auto calendar = calendarIn("UTC");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        NSRange range = calendar->rangeOfUnitInUnitForDate(c.smaller, c.larger, at(c.date));
        EXPECT_EQ(range.location, c.expected.location);
        EXPECT_EQ(range.length, c.expected.length);
    }
}

TEST(NSCalendar, CurrentCalendarFollowsPinnedLocaleAndZone)
{
    {
        PinnedTime pinned("de_DE", "Europe/Berlin");
        auto calendar = NSCalendar::currentCalendar();
        EXPECT_EQ(calendar->calendarIdentifier(), "gregorian");
        EXPECT_EQ(calendar->timeZone()->name(), "Europe/Berlin");
        EXPECT_EQ(calendar->firstWeekday(), 2u);
        EXPECT_EQ(calendar->componentFromDate(NSCalendarUnitHour, at(utc(2014, 7, 1, 10))), 12);
    }
    {
        PinnedTime pinned("en_US", "UTC");
        auto calendar = NSCalendar::currentCalendar();
        EXPECT_EQ(calendar->firstWeekday(), 1u);
        EXPECT_EQ(calendar->componentFromDate(NSCalendarUnitHour, at(utc(2014, 7, 1, 10))), 10);
        calendar->setFirstWeekday(2);
        EXPECT_EQ(calendar->firstWeekday(), 2u);
        EXPECT_EQ(calendar->startOfDayForDate(at(utc(2014, 7, 1, 10, 5)))->timeIntervalSince1970(), utc(2014, 7, 1));
    }
    EXPECT_EQ(NSCalendar::calendarWithIdentifier("no-such-calendar"), nullptr);
}

TEST(NSDateComponents, UnsetValuesEqualityAndCopies)
{
    auto a = NSDateComponents::init();
    EXPECT_EQ(a->year(), NSUndefinedDateComponent);
    EXPECT_EQ(NSUndefinedDateComponent, 0x7fffffff);
    a->setMonth(2);
    a->setWeek(-3);
    auto b = a->copy();
    EXPECT_TRUE(a->isEqual(b.get()));
    EXPECT_EQ(a->hash(), b->hash());
    b->setDay(1);
    EXPECT_FALSE(a->isEqual(b.get()));
    EXPECT_EQ(a->day(), NSUndefinedDateComponent);
    EXPECT_NE(a->description().find("Month: 2"), std::string::npos);
    EXPECT_EQ(a->description().find("Day"), std::string::npos);
}
