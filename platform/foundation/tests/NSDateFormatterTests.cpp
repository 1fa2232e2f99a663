#include "foundation/NSDateFormatter.h"

#include "foundation/NSDate.h"
#include "testing/FixedClock.h"

#include <cmath>
#include <gtest/gtest.h>
#include <optional>

namespace {

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

Ref<NSDate> at(double seconds)
{
    return NSDate::dateWithTimeIntervalSince1970(seconds);
}

Ref<NSDateFormatter> formatter(const char* pattern, const char* locale, const char* zone)
{
    auto f = NSDateFormatter::init();
    f->setLocale(NSLocale::localeWithLocaleIdentifier(locale));
    f->setTimeZone(NSTimeZone::timeZoneWithName(zone));
    f->setDateFormat(pattern);
    return f;
}

} // namespace

TEST(NSDateFormatter, WritesPatternsInLocaleAndZone)
{
    PinnedTime pinned("en_US", "UTC", utc(2014, 6, 1));
    struct Case {
        const char* pattern;
        const char* locale;
        const char* zone;
        double date;
        const char* expected;
    } cases[] = {
        { "yyyy-MM-dd HH:mm:ss", "en_US_POSIX", "UTC", utc(2014, 3, 9, 7), "2014-03-09 07:00:00" },
        { "yyyy-MM-dd HH:mm:ss", "en_US_POSIX", "America/New_York", utc(2014, 3, 9, 7), "2014-03-09 03:00:00" },
        { "yyyy-MM-dd'T'HH:mm:ssZ", "en_US_POSIX", "America/New_York", utc(2014, 3, 9, 7), "2014-03-09T03:00:00-0400" },
        { "dd-MM-yy", "en_US_POSIX", "UTC", utc(2014, 3, 9, 7), "09-03-14" },
        // Week-based year: the last days of December can belong to the next year's week 1.
        { "Y-MM-d HH-mm-ss-SSS", "en_US", "UTC", utc(2014, 12, 31, 23, 59, 59) + 0.123, "2015-12-31 23-59-59-123" },
        { "yyyy-MM-d HH-mm-ss-SSS", "en_US", "UTC", utc(2014, 12, 31, 23, 59, 59) + 0.123, "2014-12-31 23-59-59-123" },
        { "ss.SSS", "en_US_POSIX", "UTC", 1.001, "01.001" },
        { "ss.SSS", "en_US_POSIX", "UTC", -0.001, "59.999" },
        { "EEE HH:mm", "en_US", "UTC", utc(2014, 3, 9, 7), "Sun 07:00" },
        { "EEE HH:mm", "de_DE", "Europe/Berlin", utc(2014, 3, 9, 7), "So. 08:00" },
        { "MMM yy", "fr_FR", "UTC", utc(2014, 3, 9, 7), "mars 14" },
        { "dd MMM", "en_GB", "UTC", utc(2014, 3, 9, 7), "09 Mar" },
        { "HH:mm:ss", "en_US", "Asia/Kolkata", utc(2014, 3, 9, 7), "12:30:00" },
        { "", "en_US", "UTC", utc(2014, 3, 9, 7), "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " " + c.locale + " " + c.zone);
        EXPECT_EQ(formatter(c.pattern, c.locale, c.zone)->stringFromDate(at(c.date)), c.expected);
    }
    EXPECT_EQ(formatter("yyyy", "en_US", "UTC")->stringFromDate(nullptr), "");
    EXPECT_EQ(formatter("yyyy", "en_US", "UTC")->stringFromDate(at(std::nan(""))), "");
}

TEST(NSDateFormatter, WritesLocaleStyles)
{
    PinnedTime pinned("en_US", "UTC", utc(2014, 6, 1));
    struct Case {
        const char* locale;
        NSDateFormatterStyle date;
        NSDateFormatterStyle time;
        const char* expected;
    } cases[] = {
        { "en_US", NSDateFormatterShortStyle, NSDateFormatterNoStyle, "3/9/14" },
        { "en_US", NSDateFormatterMediumStyle, NSDateFormatterNoStyle, "Mar 9, 2014" },
        { "en_US", NSDateFormatterLongStyle, NSDateFormatterNoStyle, "March 9, 2014" },
        { "en_US", NSDateFormatterNoStyle, NSDateFormatterShortStyle, "7:05 PM" },
        { "en_GB", NSDateFormatterShortStyle, NSDateFormatterNoStyle, "09/03/2014" },
        { "de_DE", NSDateFormatterShortStyle, NSDateFormatterNoStyle, "09.03.14" },
        { "en_US", NSDateFormatterNoStyle, NSDateFormatterNoStyle, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + std::to_string(c.date) + "/" + std::to_string(c.time));
        auto f = NSDateFormatter::init();
        f->setLocale(NSLocale::localeWithLocaleIdentifier(c.locale));
        f->setDateStyle(c.date);
        f->setTimeStyle(c.time);
        EXPECT_EQ(f->stringFromDate(at(utc(2014, 3, 9, 19, 5))), c.expected);
    }
    // A new formatter uses the current locale and the default zone; a pattern set later wins.
    auto f = NSDateFormatter::init();
    f->setDateStyle(NSDateFormatterShortStyle);
    EXPECT_EQ(f->dateFormat(), "M/d/yy");
    f->setDateFormat("yyyy");
    EXPECT_EQ(f->stringFromDate(at(utc(2014, 3, 9))), "2014");
    EXPECT_EQ(
        NSDateFormatter::dateFormatFromTemplateOptionsLocale("yMMMd", 0, NSLocale::localeWithLocaleIdentifier("en_US")),
        "MMM d, y");
}

TEST(NSDateFormatter, ParsesStrictlyWithTheTwoDigitYearWindow)
{
    // Now is 1 June 2014: two-digit years fall between 1 June 1934 and 31 May 2034.
    PinnedTime pinned("en_US", "UTC", utc(2014, 6, 1));
    struct Case {
        const char* text;
        std::optional<double> expected; // none: no date
    } cases[] = {
        { "09-03-14", utc(2014, 3, 9) },
        { "15-06-94", utc(1994, 6, 15) },
        { "01-01-34", utc(2034, 1, 1) },
        { "01-07-34", utc(1934, 7, 1) },
        { "31-05-34", utc(2034, 5, 31) },
        { "", std::nullopt },
        { "09-03-14x", std::nullopt },
        { "09-03-14 ", std::nullopt },
        { "9/3/14", std::nullopt },
        { "32-01-14", std::nullopt },
        { "09-13-14", std::nullopt },
        { "29-02-13", std::nullopt },
        { "unknown", std::nullopt },
    };
    auto f = formatter("dd-MM-yy", "en_US_POSIX", "UTC");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        auto date = f->dateFromString(c.text);
        if (!c.expected) {
            EXPECT_EQ(date, nullptr) << date->description();
        } else {
            ASSERT_TRUE(date);
            EXPECT_EQ(date->timeIntervalSince1970(), *c.expected) << date->description();
        }
    }
    // A start date set on the formatter moves the window.
    f->setTwoDigitStartDate(at(utc(2000, 1, 1)));
    EXPECT_EQ(f->dateFromString("15-06-94")->timeIntervalSince1970(), utc(2094, 6, 15));

    auto iso = formatter("yyyy-MM-dd'T'HH:mm:ssZ", "en_US_POSIX", "UTC");
    ASSERT_TRUE(iso->dateFromString("2014-03-09T03:00:00-0400"));
    EXPECT_EQ(iso->dateFromString("2014-03-09T03:00:00-0400")->timeIntervalSince1970(), utc(2014, 3, 9, 7));
    // Round trip through the same formatter.
    auto stamp = formatter("Y-MM-d HH-mm-ss-SSS", "en_US_POSIX", "UTC");
    EXPECT_EQ(stamp->dateFromString(stamp->stringFromDate(at(utc(2014, 3, 9, 7) + 0.25)))->timeIntervalSince1970(),
        utc(2014, 3, 9, 7) + 0.25);
}

TEST(NSDateFormatter, RelativeFormattingNamesNearbyDays)
{
    // Now is 9 March 2014, 02:00 UTC, which is still 8 March in New York.
    PinnedTime pinned("en_US", "UTC", utc(2014, 3, 9, 2));
    struct Case {
        const char* locale;
        const char* zone;
        NSDateFormatterStyle time;
        double date;
        const char* expected;
    } cases[] = {
        { "en_US", "UTC", NSDateFormatterNoStyle, utc(2014, 3, 9, 23), "Today" },
        { "en_US", "UTC", NSDateFormatterNoStyle, utc(2014, 3, 8), "Yesterday" },
        { "en_US", "UTC", NSDateFormatterNoStyle, utc(2014, 3, 10, 12), "Tomorrow" },
        { "en_US", "UTC", NSDateFormatterNoStyle, utc(2014, 3, 7, 12), "Mar 7, 2014" },
        { "en_US", "America/New_York", NSDateFormatterNoStyle, utc(2014, 3, 8, 12), "Today" },
        { "en_US", "America/New_York", NSDateFormatterNoStyle, utc(2014, 3, 9, 12), "Tomorrow" },
        { "de_DE", "UTC", NSDateFormatterNoStyle, utc(2014, 3, 8), "Gestern" },
        { "en_US", "UTC", NSDateFormatterShortStyle, utc(2014, 3, 9, 19, 5), "Today, 7:05 PM" },
        { "en_US", "UTC", NSDateFormatterShortStyle, utc(2014, 3, 1, 19, 5), "Mar 1, 2014, 7:05 PM" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        auto f = NSDateFormatter::init();
        f->setLocale(NSLocale::localeWithLocaleIdentifier(c.locale));
        f->setTimeZone(NSTimeZone::timeZoneWithName(c.zone));
        f->setDateStyle(NSDateFormatterMediumStyle);
        f->setTimeStyle(c.time);
        f->setDoesRelativeDateFormatting(true);
        EXPECT_EQ(f->stringFromDate(at(c.date)), c.expected);
    }
}
