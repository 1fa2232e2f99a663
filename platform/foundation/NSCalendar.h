#pragma once

#include "foundation/NSDateComponents.h"
#include "foundation/NSObject.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>

inline constexpr const char* NSCalendarIdentifierGregorian = "gregorian";
inline constexpr const char* NSCalendarIdentifierISO8601 = "iso8601";
inline constexpr const char* NSCalendarIdentifierBuddhist = "buddhist";
inline constexpr const char* NSCalendarIdentifierJapanese = "japanese";
inline constexpr const char* NSCalendarIdentifierHebrew = "hebrew";
inline constexpr const char* NSCalendarIdentifierIslamicCivil = "islamic-civil";
inline constexpr const char* NSCalendarIdentifierChinese = "chinese";
inline constexpr const char* NSGregorianCalendar = NSCalendarIdentifierGregorian;

enum NSCalendarOptions : uint32_t {
    NSCalendarOptionsNone = 0,
    // Adding components rolls each unit within the next larger one instead of carrying over.
    NSCalendarWrapComponents = 1u << 0,
};

// A calendar with a locale (first weekday, minimum days in the first week) and a time zone in
// which it breaks dates into components and does calendar arithmetic. Month arithmetic clamps
// to the end of a shorter month (31 January + 1 month = 28 or 29 February); day arithmetic
// keeps the wall-clock time across a daylight-saving change; hours and smaller are elapsed
// time. A date whose time is NaN or infinite is treated as nil. Any thread: settings are guarded
// and each operation works on its own state.
class NSCalendar final : public NSObject {
    VX_OBJECT(NSCalendar, NSObject)
public:
    NSCalendar(Passkey, std::string identifier);

    // The calendar of the current locale, in the default time zone; a new object each time, so
    // it follows a change of either.
    static Ref<NSCalendar> currentCalendar();
    static Ref<NSCalendar> autoupdatingCurrentCalendar() { return currentCalendar(); }
    // nullptr for an identifier this system does not know.
    static Ref<NSCalendar> calendarWithIdentifier(const std::string& identifier);
    static Ref<NSCalendar> initWithCalendarIdentifier(const std::string& identifier)
    {
        return calendarWithIdentifier(identifier);
    }
    Ref<NSCalendar> copy() const;

    const std::string& calendarIdentifier() const { return m_identifier; }
    Ref<NSLocale> locale() const;
    void setLocale(Ref<NSLocale> locale);
    Ref<NSTimeZone> timeZone() const;
    void setTimeZone(Ref<NSTimeZone> zone);
    // 1 = Sunday ... 7 = Saturday; from the locale unless set.
    NSUInteger firstWeekday() const;
    void setFirstWeekday(NSUInteger weekday);
    NSUInteger minimumDaysInFirstWeek() const;
    void setMinimumDaysInFirstWeek(NSUInteger days);

    // The date's components for the given units. NSWeekCalendarUnit reads the week of the
    // year. nullptr for a nil date.
    Ref<NSDateComponents> componentsFromDate(NSCalendarUnit units, const Ref<NSDate>& date) const;
    // One unit of the date; NSUndefinedDateComponent for a nil date.
    NSInteger componentFromDate(NSCalendarUnit unit, const Ref<NSDate>& date) const;
    // Whole units from one date to the other, largest unit first (1 year 2 months ...),
    // negative when `to` is earlier. nullptr when either date is nil.
    Ref<NSDateComponents> componentsFromDateToDateOptions(NSCalendarUnit units, const Ref<NSDate>& from,
        const Ref<NSDate>& to, NSCalendarOptions options = NSCalendarOptionsNone) const;
    // The date the set components name; unset ones take their earliest value (year 1,
    // month 1, day 1, 00:00:00). Out-of-range values carry over (day 0 is the previous month's
    // last day). nullptr for nil components.
    Ref<NSDate> dateFromComponents(const Ref<NSDateComponents>& components) const;
    // The date plus each set component, largest first. nullptr when either argument is nil.
    Ref<NSDate> dateByAddingComponentsToDateOptions(const Ref<NSDateComponents>& components, const Ref<NSDate>& date,
        NSCalendarOptions options = NSCalendarOptionsNone) const;
    // The values a smaller unit takes within the larger unit that holds the date: days in the
    // month {1, 28..31}, days in the year, months in the year, hours in the day, and so on.
    // {NSNotFound, 0} for a pair that does not nest or a nil date.
    NSRange rangeOfUnitInUnitForDate(NSCalendarUnit smaller, NSCalendarUnit larger, const Ref<NSDate>& date) const;
    // The first moment of the date's day in this calendar's zone.
    Ref<NSDate> startOfDayForDate(const Ref<NSDate>& date) const;

    bool isEqual(const NSObject* other) const override;
    size_t hash() const override;
    std::string description() const override;

    // The ICU calendar this object configures, made afresh for one operation. Private to the
    // foundation (the ICU type is only named in .cpp files).
    struct IcuCalendar;
    std::unique_ptr<IcuCalendar> makeIcuCalendar() const;

private:
    std::string m_identifier;
    mutable std::mutex m_lock;
    Ref<NSLocale> m_locale;
    Ref<NSTimeZone> m_timeZone;
    std::optional<NSUInteger> m_firstWeekday;
    std::optional<NSUInteger> m_minimumDaysInFirstWeek;
};
