#pragma once

#include "foundation/NSDate.h"
#include "foundation/NSDateComponents.h"

#include <optional>
#include <string>

// Date helpers: relative-time texts, dates relative to now, whole-unit arithmetic, calendar
// comparisons and components in the user's current calendar, and month names. Texts are
// localized strings of the main bundle. Offsets are computed in 64 bits, so large counts give
// the far date rather than a wrapped one. Any thread.
namespace NSDate_Extension {

inline constexpr int32_t D_MINUTE = 60;
inline constexpr int32_t D_HOUR = 3600;
inline constexpr int32_t D_DAY = 86400;
inline constexpr int32_t D_WEEK = 604800;
// Beyond this many seconds a date is too old to describe.
inline constexpr int32_t D_TOO_OLD = 2629743;

// "never" for a nil or future date (or less than a second ago), "45 secs ago", "2 mins ago", ...
std::string timeAgoSince(const Ref<NSDate>& date);

Ref<NSDate> dateWithDaysFromNow(int64_t days);
Ref<NSDate> dateWithDaysBeforeNow(int64_t days);
Ref<NSDate> dateWithHoursFromNow(int64_t hours);
Ref<NSDate> dateWithHoursBeforeNow(int64_t hours);
Ref<NSDate> dateWithMinutesFromNow(int64_t minutes);
Ref<NSDate> dateWithMinutesBeforeNow(int64_t minutes);
Ref<NSDate> dateTomorrow();
Ref<NSDate> dateYesterday();

Ref<NSDate> dateByAddingDays(const Ref<NSDate>& date, int64_t days);
Ref<NSDate> dateBySubtractingDays(const Ref<NSDate>& date, int64_t days);
Ref<NSDate> dateByAddingHours(const Ref<NSDate>& date, int64_t hours);
Ref<NSDate> dateBySubtractingHours(const Ref<NSDate>& date, int64_t hours);
Ref<NSDate> dateByAddingMinutes(const Ref<NSDate>& date, int64_t minutes);
Ref<NSDate> dateBySubtractingMinutes(const Ref<NSDate>& date, int64_t minutes);

bool isEqualToDateIgnoringTime(const Ref<NSDate>& date, const Ref<NSDate>& other);
bool isToday(const Ref<NSDate>& date);
bool isTomorrow(const Ref<NSDate>& date);
bool isYesterday(const Ref<NSDate>& date);
bool isSameWeekAsDate(const Ref<NSDate>& date, const Ref<NSDate>& other);
bool isThisWeek(const Ref<NSDate>& date);
bool isNextWeek(const Ref<NSDate>& date);
bool isLastWeek(const Ref<NSDate>& date);
bool isSameMonthAsDate(const Ref<NSDate>& date, const Ref<NSDate>& other);
bool isThisMonth(const Ref<NSDate>& date);
bool isSameYearAsDate(const Ref<NSDate>& date, const Ref<NSDate>& other);
bool isThisYear(const Ref<NSDate>& date);
bool isNextYear(const Ref<NSDate>& date);
bool isLastYear(const Ref<NSDate>& date);
bool isEarlierThanDate(const Ref<NSDate>& date, const Ref<NSDate>& other);
bool isLaterThanDate(const Ref<NSDate>& date, const Ref<NSDate>& other);
bool isLaterThanOrEqualToDate(const Ref<NSDate>& date, const Ref<NSDate>& other);
bool isTypicallyWeekend(const Ref<NSDate>& date);
bool isTypicallyWorkday(const Ref<NSDate>& date);

Ref<NSDate> dateWithoutTime(const Ref<NSDate>& date);
Ref<NSDate> dateAtStartOfDay(const Ref<NSDate>& date);
Ref<NSDate> dateAtEndOfDay(const Ref<NSDate>& date);
Ref<NSDate> dateAtStartOfMonth(const Ref<NSDate>& date);
Ref<NSDate> dateAtEndOfMonth(const Ref<NSDate>& date);
// The calendar difference from `other` to `date` in year, month, day, hour, minute, second,
// week, weekday and weekday ordinal.
Ref<NSDateComponents> componentsWithOffsetFromDate(const Ref<NSDate>& date, const Ref<NSDate>& other);

// Whole units, cut towards zero.
int64_t minutesAfterDate(const Ref<NSDate>& date, const Ref<NSDate>& other);
int64_t minutesBeforeDate(const Ref<NSDate>& date, const Ref<NSDate>& other);
int64_t hoursAfterDate(const Ref<NSDate>& date, const Ref<NSDate>& other);
int64_t hoursBeforeDate(const Ref<NSDate>& date, const Ref<NSDate>& other);
int64_t daysAfterDate(const Ref<NSDate>& date, const Ref<NSDate>& other);
int64_t daysBeforeDate(const Ref<NSDate>& date, const Ref<NSDate>& other);

int32_t hour(const Ref<NSDate>& date);
int32_t minute(const Ref<NSDate>& date);
int32_t seconds(const Ref<NSDate>& date);
int32_t day(const Ref<NSDate>& date);
int32_t month(const Ref<NSDate>& date);
int32_t week(const Ref<NSDate>& date);
int32_t weekday(const Ref<NSDate>& date);
int32_t nthWeekday(const Ref<NSDate>& date);
int32_t year(const Ref<NSDate>& date);
// The hour of now + 30 minutes, whatever the date.
int32_t nearestHour(const Ref<NSDate>& date);

// "January" ... "December" (localized) for 1 to 12; nullopt otherwise.
std::optional<std::string> nameOfMonth(int32_t month);

} // namespace NSDate_Extension
