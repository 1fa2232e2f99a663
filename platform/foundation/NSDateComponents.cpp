#include "foundation/NSDateComponents.h"

#include "foundation/NSCalendar.h"
#include "foundation/NSDate.h"
#include "foundation/NSTimeZone.h"

#include <cstdio>
#include <functional>

VX_REGISTER_CLASS(NSDateComponents);

// The number components in order from largest to smallest, for comparison and printing.
#define VX_DATE_FIELDS(X)                                                                                              \
    X(NSCalendarUnitEra, "Era", m_era)                                                                                 \
    X(NSCalendarUnitYear, "Year", m_year)                                                                              \
    X(NSCalendarUnitMonth, "Month", m_month)                                                                           \
    X(NSCalendarUnitDay, "Day", m_day)                                                                                 \
    X(NSCalendarUnitHour, "Hour", m_hour)                                                                              \
    X(NSCalendarUnitMinute, "Minute", m_minute)                                                                        \
    X(NSCalendarUnitSecond, "Second", m_second)                                                                        \
    X(NSCalendarUnitNanosecond, "Nanosecond", m_nanosecond)                                                            \
    X(NSWeekCalendarUnit, "Week (obsolete)", m_week)                                                                   \
    X(NSCalendarUnitWeekday, "Weekday", m_weekday)                                                                     \
    X(NSCalendarUnitWeekdayOrdinal, "Weekday Ordinal", m_weekdayOrdinal)                                               \
    X(NSCalendarUnitQuarter, "Quarter", m_quarter)                                                                     \
    X(NSCalendarUnitWeekOfMonth, "Week of Month", m_weekOfMonth)                                                       \
    X(NSCalendarUnitWeekOfYear, "Week of Year", m_weekOfYear)                                                          \
    X(NSCalendarUnitYearForWeekOfYear, "Year for Week of Year", m_yearForWeekOfYear)

Ref<NSDateComponents> NSDateComponents::init()
{
    return make<NSDateComponents>();
}

Ref<NSDateComponents> NSDateComponents::copy() const
{
    auto other = make<NSDateComponents>();
#define VX_COPY(unit, label, member) other->member = member;
    VX_DATE_FIELDS(VX_COPY)
#undef VX_COPY
    other->m_leapMonth = m_leapMonth;
    other->m_calendar = m_calendar;
    other->m_timeZone = m_timeZone;
    return other;
}

NSInteger NSDateComponents::valueForComponent(NSCalendarUnit unit) const
{
#define VX_GET(u, label, member)                                                                                       \
    if (unit == u)                                                                                                     \
        return member;
    VX_DATE_FIELDS(VX_GET)
#undef VX_GET
    return NSUndefinedDateComponent;
}

void NSDateComponents::setValueForComponent(NSInteger value, NSCalendarUnit unit)
{
#define VX_SET(u, label, member)                                                                                       \
    if (unit == u) {                                                                                                   \
        member = value;                                                                                                \
        return;                                                                                                        \
    }
    VX_DATE_FIELDS(VX_SET)
#undef VX_SET
}

Ref<NSDate> NSDateComponents::date() const
{
    if (!m_calendar)
        return nullptr;
    auto calendar = m_calendar;
    if (m_timeZone) {
        calendar = m_calendar->copy();
        calendar->setTimeZone(m_timeZone);
    }
    auto self = std::const_pointer_cast<NSDateComponents>(
        std::static_pointer_cast<const NSDateComponents>(shared_from_this()));
    return calendar->dateFromComponents(self);
}

bool NSDateComponents::isEqual(const NSObject* other) const
{
    auto* components = dynamic_cast<const NSDateComponents*>(other);
    if (!components)
        return false;
    if (components == this)
        return true;
#define VX_EQUAL(unit, label, member)                                                                                  \
    if (components->member != member)                                                                                  \
        return false;
    VX_DATE_FIELDS(VX_EQUAL)
#undef VX_EQUAL
    auto sameObject = [](const auto& a, const auto& b) { return a == b || (a && b && a->isEqual(b.get())); };
    return components->m_leapMonth == m_leapMonth && sameObject(components->m_calendar, m_calendar)
        && sameObject(components->m_timeZone, m_timeZone);
}

size_t NSDateComponents::hash() const
{
    size_t h = 0;
#define VX_HASH(unit, label, member) h = h * 31 + std::hash<NSInteger> {}(member);
    VX_DATE_FIELDS(VX_HASH)
#undef VX_HASH
    return h;
}

std::string NSDateComponents::description() const
{
    char head[64];
    std::snprintf(head, sizeof head, "<NSDateComponents: %p>", static_cast<const void*>(this));
    std::string out = head;
    out += " {";
    bool any = false;
#define VX_DESCRIBE(unit, label, member)                                                                               \
    if (member != NSUndefinedDateComponent) {                                                                          \
        out += std::string("\n    ") + label + ": " + std::to_string(member);                                          \
        any = true;                                                                                                    \
    }
    VX_DATE_FIELDS(VX_DESCRIBE)
#undef VX_DESCRIBE
    out += any ? "\n}" : "}";
    return out;
}
