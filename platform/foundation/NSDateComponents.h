#pragma once

#include "foundation/NSObject.h"

#include <cstdint>

// Calendar units, as bit flags (a set of units is their OR).
enum NSCalendarUnit : uint32_t {
    NSCalendarUnitEra = 1u << 1,
    NSCalendarUnitYear = 1u << 2,
    NSCalendarUnitMonth = 1u << 3,
    NSCalendarUnitDay = 1u << 4,
    NSCalendarUnitHour = 1u << 5,
    NSCalendarUnitMinute = 1u << 6,
    NSCalendarUnitSecond = 1u << 7,
    NSWeekCalendarUnit = 1u << 8, // the older week unit: the week of the year
    NSCalendarUnitWeekday = 1u << 9,
    NSCalendarUnitWeekdayOrdinal = 1u << 10,
    NSCalendarUnitQuarter = 1u << 11,
    NSCalendarUnitWeekOfMonth = 1u << 12,
    NSCalendarUnitWeekOfYear = 1u << 13,
    NSCalendarUnitYearForWeekOfYear = 1u << 14,
    NSCalendarUnitNanosecond = 1u << 15,
    NSCalendarUnitCalendar = 1u << 20,
    NSCalendarUnitTimeZone = 1u << 21,

    NSEraCalendarUnit = NSCalendarUnitEra,
    NSYearCalendarUnit = NSCalendarUnitYear,
    NSMonthCalendarUnit = NSCalendarUnitMonth,
    NSDayCalendarUnit = NSCalendarUnitDay,
    NSHourCalendarUnit = NSCalendarUnitHour,
    NSMinuteCalendarUnit = NSCalendarUnitMinute,
    NSSecondCalendarUnit = NSCalendarUnitSecond,
    NSWeekdayCalendarUnit = NSCalendarUnitWeekday,
    NSWeekdayOrdinalCalendarUnit = NSCalendarUnitWeekdayOrdinal,
    NSQuarterCalendarUnit = NSCalendarUnitQuarter,
    NSWeekOfMonthCalendarUnit = NSCalendarUnitWeekOfMonth,
    NSWeekOfYearCalendarUnit = NSCalendarUnitWeekOfYear,
    NSYearForWeekOfYearCalendarUnit = NSCalendarUnitYearForWeekOfYear,
};

constexpr NSCalendarUnit operator|(NSCalendarUnit a, NSCalendarUnit b)
{
    return static_cast<NSCalendarUnit>(static_cast<uint32_t>(a) | static_cast<uint32_t>(b));
}

// The value of a component that is not set.
inline constexpr NSInteger NSUndefinedDateComponent = 0x7fffffff;
inline constexpr NSInteger NSDateComponentUndefined = NSUndefinedDateComponent;

// A set of calendar quantities: a point in a calendar (year 2014, month 3, day 9) or an amount
// to add (1 month, -2 days). Unset components hold NSUndefinedDateComponent. Not thread-safe
// while being changed.
class NSDateComponents final : public NSObject {
    VX_OBJECT(NSDateComponents, NSObject)
public:
    explicit NSDateComponents(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<NSDateComponents> init();
    Ref<NSDateComponents> copy() const;

    NSInteger era() const { return m_era; }
    NSInteger year() const { return m_year; }
    NSInteger month() const { return m_month; }
    NSInteger day() const { return m_day; }
    NSInteger hour() const { return m_hour; }
    NSInteger minute() const { return m_minute; }
    NSInteger second() const { return m_second; }
    NSInteger nanosecond() const { return m_nanosecond; }
    NSInteger week() const { return m_week; }
    NSInteger weekday() const { return m_weekday; }
    NSInteger weekdayOrdinal() const { return m_weekdayOrdinal; }
    NSInteger quarter() const { return m_quarter; }
    NSInteger weekOfMonth() const { return m_weekOfMonth; }
    NSInteger weekOfYear() const { return m_weekOfYear; }
    NSInteger yearForWeekOfYear() const { return m_yearForWeekOfYear; }
    bool isLeapMonth() const { return m_leapMonth; }
    const Ref<NSCalendar>& calendar() const { return m_calendar; }
    const Ref<NSTimeZone>& timeZone() const { return m_timeZone; }

    void setEra(NSInteger v) { m_era = v; }
    void setYear(NSInteger v) { m_year = v; }
    void setMonth(NSInteger v) { m_month = v; }
    void setDay(NSInteger v) { m_day = v; }
    void setHour(NSInteger v) { m_hour = v; }
    void setMinute(NSInteger v) { m_minute = v; }
    void setSecond(NSInteger v) { m_second = v; }
    void setNanosecond(NSInteger v) { m_nanosecond = v; }
    void setWeek(NSInteger v) { m_week = v; }
    void setWeekday(NSInteger v) { m_weekday = v; }
    void setWeekdayOrdinal(NSInteger v) { m_weekdayOrdinal = v; }
    void setQuarter(NSInteger v) { m_quarter = v; }
    void setWeekOfMonth(NSInteger v) { m_weekOfMonth = v; }
    void setWeekOfYear(NSInteger v) { m_weekOfYear = v; }
    void setYearForWeekOfYear(NSInteger v) { m_yearForWeekOfYear = v; }
    void setLeapMonth(bool v) { m_leapMonth = v; }
    void setCalendar(Ref<NSCalendar> calendar) { m_calendar = std::move(calendar); }
    void setTimeZone(Ref<NSTimeZone> zone) { m_timeZone = std::move(zone); }

    // One unit's value (NSUndefinedDateComponent for an unset one or a unit that is not a
    // single number component).
    NSInteger valueForComponent(NSCalendarUnit unit) const;
    void setValueForComponent(NSInteger value, NSCalendarUnit unit);

    // The date these components name in their calendar (and zone, when set); nullptr without a
    // calendar.
    Ref<NSDate> date() const;

    // Equal when every number component, the leap-month flag, the calendar and the zone match.
    bool isEqual(const NSObject* other) const override;
    size_t hash() const override;
    // Lists the set components, one a line: "<NSDateComponents: 0x...> {\n    Year: 2014\n}".
    std::string description() const override;

private:
    NSInteger m_era { NSUndefinedDateComponent };
    NSInteger m_year { NSUndefinedDateComponent };
    NSInteger m_month { NSUndefinedDateComponent };
    NSInteger m_day { NSUndefinedDateComponent };
    NSInteger m_hour { NSUndefinedDateComponent };
    NSInteger m_minute { NSUndefinedDateComponent };
    NSInteger m_second { NSUndefinedDateComponent };
    NSInteger m_nanosecond { NSUndefinedDateComponent };
    NSInteger m_week { NSUndefinedDateComponent };
    NSInteger m_weekday { NSUndefinedDateComponent };
    NSInteger m_weekdayOrdinal { NSUndefinedDateComponent };
    NSInteger m_quarter { NSUndefinedDateComponent };
    NSInteger m_weekOfMonth { NSUndefinedDateComponent };
    NSInteger m_weekOfYear { NSUndefinedDateComponent };
    NSInteger m_yearForWeekOfYear { NSUndefinedDateComponent };
    bool m_leapMonth { false };
    Ref<NSCalendar> m_calendar;
    Ref<NSTimeZone> m_timeZone;
};
