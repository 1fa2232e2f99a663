#include "app/categories/NSDate+Extension.h"

#include "foundation/NSBundle.h"
#include "foundation/NSCalendar.h"
#include "foundation/NSString.h"

#include <cmath>

namespace NSDate_Extension {

namespace {

constexpr NSCalendarUnit componentFlags = NSCalendarUnitYear | NSCalendarUnitMonth | NSCalendarUnitDay
    | NSCalendarUnitHour | NSCalendarUnitMinute | NSCalendarUnitSecond | NSWeekCalendarUnit | NSCalendarUnitWeekday
    | NSCalendarUnitWeekdayOrdinal;

Ref<NSCalendar> calendar()
{
    return NSCalendar::currentCalendar();
}

Ref<NSDateComponents> components(const Ref<NSDate>& date)
{
    auto parts = calendar()->componentsFromDate(componentFlags, date);
    return parts ? parts : NSDateComponents::init();
}

// The offset is made in 64 bits: a count times the unit's seconds cannot wrap around.
Ref<NSDate> offsetFromNow(int64_t count, int64_t unitSeconds)
{
    return NSDate::dateWithTimeIntervalSinceNow(static_cast<double>(count * unitSeconds));
}

Ref<NSDate> offsetFrom(const Ref<NSDate>& date, int64_t count, int64_t unitSeconds)
{
    if (!date)
        return nullptr;
    return date->dateByAddingTimeInterval(static_cast<double>(count * unitSeconds));
}

std::string countText(const char* singular, const char* plural, double t, double unit)
{
    auto n = static_cast<int32_t>(std::lround(t / unit));
    return NSString::stringWithFormat(NSLocalizedString(n < 2 ? singular : plural), n);
}

Ref<NSDate> dateWithParts(const Ref<NSDate>& date, bool keepTime, int32_t hour, int32_t minute, int32_t second)
{
    if (!date)
        return nullptr;
    auto parts = components(date);
    auto result = NSDateComponents::init();
    result->setYear(parts->year());
    result->setMonth(parts->month());
    result->setDay(parts->day());
    if (keepTime) {
        result->setHour(hour);
        result->setMinute(minute);
        result->setSecond(second);
    }
    return calendar()->dateFromComponents(result);
}

int64_t wholeUnits(const Ref<NSDate>& later, const Ref<NSDate>& earlier, int64_t unit)
{
    if (!later || !earlier)
        return 0;
    return static_cast<int64_t>(later->timeIntervalSinceDate(earlier) / static_cast<double>(unit));
}

} // namespace

std::string timeAgoSince(const Ref<NSDate>& date)
{
    double t = date ? -date->timeIntervalSinceNow() : 0;
    if (t < 1)
        return "never";
    if (t < D_MINUTE)
        return NSString::stringWithFormat(NSLocalizedString("%d secs ago"), static_cast<int32_t>(t));
    if (t < D_HOUR)
        return countText("%d min ago", "%d mins ago", t, D_MINUTE);
    if (t < D_DAY)
        return countText("%d hour ago", "%d hours ago", t, D_HOUR);
    if (t < D_TOO_OLD)
        return countText("%d day ago", "%d days ago", t, D_DAY);
    return NSLocalizedString("never");
}

Ref<NSDate> dateWithDaysFromNow(int64_t days)
{
    return offsetFromNow(days, D_DAY);
}
Ref<NSDate> dateWithDaysBeforeNow(int64_t days)
{
    return offsetFromNow(-days, D_DAY);
}
Ref<NSDate> dateWithHoursFromNow(int64_t hours)
{
    return offsetFromNow(hours, D_HOUR);
}
Ref<NSDate> dateWithHoursBeforeNow(int64_t hours)
{
    return offsetFromNow(-hours, D_HOUR);
}
Ref<NSDate> dateWithMinutesFromNow(int64_t minutes)
{
    return offsetFromNow(minutes, D_MINUTE);
}
Ref<NSDate> dateWithMinutesBeforeNow(int64_t minutes)
{
    return offsetFromNow(-minutes, D_MINUTE);
}
Ref<NSDate> dateTomorrow()
{
    return dateWithDaysFromNow(1);
}
Ref<NSDate> dateYesterday()
{
    return dateWithDaysBeforeNow(1);
}

Ref<NSDate> dateByAddingDays(const Ref<NSDate>& date, int64_t days)
{
    return offsetFrom(date, days, D_DAY);
}
Ref<NSDate> dateBySubtractingDays(const Ref<NSDate>& date, int64_t days)
{
    return offsetFrom(date, -days, D_DAY);
}
Ref<NSDate> dateByAddingHours(const Ref<NSDate>& date, int64_t hours)
{
    return offsetFrom(date, hours, D_HOUR);
}
Ref<NSDate> dateBySubtractingHours(const Ref<NSDate>& date, int64_t hours)
{
    return offsetFrom(date, -hours, D_HOUR);
}
Ref<NSDate> dateByAddingMinutes(const Ref<NSDate>& date, int64_t minutes)
{
    return offsetFrom(date, minutes, D_MINUTE);
}
Ref<NSDate> dateBySubtractingMinutes(const Ref<NSDate>& date, int64_t minutes)
{
    return offsetFrom(date, -minutes, D_MINUTE);
}

bool isEqualToDateIgnoringTime(const Ref<NSDate>& date, const Ref<NSDate>& other)
{
    if (!date || !other)
        return false;
    auto a = components(date);
    auto b = components(other);
    return a->year() == b->year() && a->month() == b->month() && a->day() == b->day();
}

bool isToday(const Ref<NSDate>& date)
{
    return isEqualToDateIgnoringTime(date, NSDate::date());
}
bool isTomorrow(const Ref<NSDate>& date)
{
    return isEqualToDateIgnoringTime(date, dateTomorrow());
}
bool isYesterday(const Ref<NSDate>& date)
{
    return isEqualToDateIgnoringTime(date, dateYesterday());
}

bool isSameWeekAsDate(const Ref<NSDate>& date, const Ref<NSDate>& other)
{
    if (!date || !other)
        return false;
    if (components(date)->week() != components(other)->week())
        return false;
    // The same week number a year apart is not the same week.
    auto apart = static_cast<int64_t>(date->timeIntervalSinceDate(other));
    return std::llabs(apart) < D_WEEK;
}

bool isThisWeek(const Ref<NSDate>& date)
{
    return isSameWeekAsDate(date, NSDate::date());
}
bool isNextWeek(const Ref<NSDate>& date)
{
    return isSameWeekAsDate(date, offsetFromNow(1, D_WEEK));
}
bool isLastWeek(const Ref<NSDate>& date)
{
    return isSameWeekAsDate(date, offsetFromNow(-1, D_WEEK));
}

bool isSameMonthAsDate(const Ref<NSDate>& date, const Ref<NSDate>& other)
{
    if (!date || !other)
        return false;
    auto a = components(date);
    auto b = components(other);
    return a->month() == b->month() && a->year() == b->year();
}

bool isThisMonth(const Ref<NSDate>& date)
{
    return isSameMonthAsDate(date, NSDate::date());
}

bool isSameYearAsDate(const Ref<NSDate>& date, const Ref<NSDate>& other)
{
    if (!date || !other)
        return false;
    return components(date)->year() == components(other)->year();
}

bool isThisYear(const Ref<NSDate>& date)
{
    return isSameYearAsDate(date, NSDate::date());
}
bool isNextYear(const Ref<NSDate>& date)
{
    return date && year(date) == year(NSDate::date()) + 1;
}
bool isLastYear(const Ref<NSDate>& date)
{
    return date && year(NSDate::date()) == year(date) + 1;
}

bool isEarlierThanDate(const Ref<NSDate>& date, const Ref<NSDate>& other)
{
    return date && other && date->compare(other) == NSOrderedAscending;
}

bool isLaterThanDate(const Ref<NSDate>& date, const Ref<NSDate>& other)
{
    return date && other && date->compare(other) == NSOrderedDescending;
}

bool isLaterThanOrEqualToDate(const Ref<NSDate>& date, const Ref<NSDate>& other)
{
    return date && other && date->compare(other) != NSOrderedAscending;
}

bool isTypicallyWeekend(const Ref<NSDate>& date)
{
    if (!date)
        return false;
    auto day = components(date)->weekday();
    return day == 1 || day == 7;
}

bool isTypicallyWorkday(const Ref<NSDate>& date)
{
    return date && !isTypicallyWeekend(date);
}

Ref<NSDate> dateWithoutTime(const Ref<NSDate>& date)
{
    return dateWithParts(date, false, 0, 0, 0);
}
Ref<NSDate> dateAtStartOfDay(const Ref<NSDate>& date)
{
    return dateWithParts(date, true, 0, 0, 0);
}
Ref<NSDate> dateAtEndOfDay(const Ref<NSDate>& date)
{
    return dateWithParts(date, true, 23, 59, 59);
}

Ref<NSDate> dateAtStartOfMonth(const Ref<NSDate>& date)
{
    auto start = dateAtStartOfDay(date);
    if (!start)
        return nullptr;
    auto parts = components(start);
    auto result = NSDateComponents::init();
    result->setYear(parts->year());
    result->setMonth(parts->month());
    result->setDay(1);
    return calendar()->dateFromComponents(result);
}

Ref<NSDate> dateAtEndOfMonth(const Ref<NSDate>& date)
{
    if (!date)
        return nullptr;
    auto parts = components(date);
    NSRange days = calendar()->rangeOfUnitInUnitForDate(NSCalendarUnitDay, NSCalendarUnitMonth, date);
    auto result = NSDateComponents::init();
    result->setYear(parts->year());
    result->setMonth(parts->month());
    result->setDay(static_cast<NSInteger>(days.location + days.length - 1));
    result->setHour(23);
    result->setMinute(59);
    result->setSecond(59);
    return calendar()->dateFromComponents(result);
}

Ref<NSDateComponents> componentsWithOffsetFromDate(const Ref<NSDate>& date, const Ref<NSDate>& other)
{
    return calendar()->componentsFromDateToDateOptions(componentFlags, other, date);
}

int64_t minutesAfterDate(const Ref<NSDate>& date, const Ref<NSDate>& other)
{
    return wholeUnits(date, other, D_MINUTE);
}
int64_t minutesBeforeDate(const Ref<NSDate>& date, const Ref<NSDate>& other)
{
    return wholeUnits(other, date, D_MINUTE);
}
int64_t hoursAfterDate(const Ref<NSDate>& date, const Ref<NSDate>& other)
{
    return wholeUnits(date, other, D_HOUR);
}
int64_t hoursBeforeDate(const Ref<NSDate>& date, const Ref<NSDate>& other)
{
    return wholeUnits(other, date, D_HOUR);
}
int64_t daysAfterDate(const Ref<NSDate>& date, const Ref<NSDate>& other)
{
    return wholeUnits(date, other, D_DAY);
}
int64_t daysBeforeDate(const Ref<NSDate>& date, const Ref<NSDate>& other)
{
    return wholeUnits(other, date, D_DAY);
}

int32_t hour(const Ref<NSDate>& date)
{
    return date ? components(date)->hour() : 0;
}
int32_t minute(const Ref<NSDate>& date)
{
    return date ? components(date)->minute() : 0;
}
int32_t seconds(const Ref<NSDate>& date)
{
    return date ? components(date)->second() : 0;
}
int32_t day(const Ref<NSDate>& date)
{
    return date ? components(date)->day() : 0;
}
int32_t month(const Ref<NSDate>& date)
{
    return date ? components(date)->month() : 0;
}
int32_t week(const Ref<NSDate>& date)
{
    return date ? components(date)->week() : 0;
}
int32_t weekday(const Ref<NSDate>& date)
{
    return date ? components(date)->weekday() : 0;
}
int32_t nthWeekday(const Ref<NSDate>& date)
{
    return date ? components(date)->weekdayOrdinal() : 0;
}
int32_t year(const Ref<NSDate>& date)
{
    return date ? components(date)->year() : 0;
}

int32_t nearestHour(const Ref<NSDate>&)
{
    return components(NSDate::dateWithTimeIntervalSinceNow(D_MINUTE * 30))->hour();
}

std::optional<std::string> nameOfMonth(int32_t month)
{
    static const char* const names[] = { "January", "February", "March", "April", "May", "June", "July", "August",
        "September", "October", "November", "December" };
    if (month < 1 || month > 12)
        return std::nullopt;
    return NSLocalizedString(names[month - 1]);
}

} // namespace NSDate_Extension
