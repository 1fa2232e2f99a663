#include "foundation/NSDate.h"

#include "foundation/Clock.h"
#include "foundation/NSException.h"

#include <cmath>
#include <cstdio>
#include <functional>

VX_REGISTER_CLASS(NSDate);

namespace {

constexpr double kDistantPastSince1970 = -63114076800.0 + NSTimeIntervalSince1970;
constexpr double kDistantFutureSince1970 = 63113904000.0 + NSTimeIntervalSince1970;

// Proleptic Gregorian civil date from days since 1970-01-01.
void civilFromDays(int64_t days, int64_t& year, unsigned& month, unsigned& day)
{
    days += 719468;
    int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    year = static_cast<int64_t>(yearOfEra) + era * 400;
    unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    unsigned mp = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    if (month <= 2)
        ++year;
}

void requireDate(const Ref<NSDate>& date, const char* operation)
{
    if (!date)
        NSException::raise(NSInvalidArgumentException, std::string("-[NSDate ") + operation + "]: nil argument");
}

} // namespace

NSDate::NSDate(Passkey key, NSTimeInterval secondsSince1970)
    : NSObject(key)
    , m_seconds(secondsSince1970)
{
}

Ref<NSDate> NSDate::date()
{
    return make<NSDate>(Clock::wallTime());
}

Ref<NSDate> NSDate::dateWithTimeIntervalSinceNow(NSTimeInterval seconds)
{
    return make<NSDate>(Clock::wallTime() + seconds);
}

Ref<NSDate> NSDate::dateWithTimeIntervalSince1970(NSTimeInterval seconds)
{
    return make<NSDate>(seconds);
}

Ref<NSDate> NSDate::dateWithTimeIntervalSinceReferenceDate(NSTimeInterval seconds)
{
    return make<NSDate>(seconds + NSTimeIntervalSince1970);
}

Ref<NSDate> NSDate::dateWithTimeIntervalSinceDate(NSTimeInterval seconds, const Ref<NSDate>& date)
{
    if (!date)
        return nullptr;
    return make<NSDate>(date->m_seconds + seconds);
}

Ref<NSDate> NSDate::distantPast()
{
    return make<NSDate>(kDistantPastSince1970);
}

Ref<NSDate> NSDate::distantFuture()
{
    return make<NSDate>(kDistantFutureSince1970);
}

NSTimeInterval NSDate::timeIntervalSinceReferenceDateNow()
{
    return Clock::wallTime() - NSTimeIntervalSince1970;
}

Ref<NSDate> NSDate::fromValue(const Value& value)
{
    if (value.isDate())
        return make<NSDate>(value.dateValue());
    if (value.isObject())
        return value.objectAs<NSDate>();
    return nullptr;
}

NSTimeInterval NSDate::timeIntervalSinceDate(const Ref<NSDate>& other) const
{
    requireDate(other, "timeIntervalSinceDate:");
    return m_seconds - other->m_seconds;
}

NSTimeInterval NSDate::timeIntervalSinceNow() const
{
    return m_seconds - Clock::wallTime();
}

Ref<NSDate> NSDate::dateByAddingTimeInterval(NSTimeInterval seconds) const
{
    return make<NSDate>(m_seconds + seconds);
}

Ref<NSDate> NSDate::earlierDate(const Ref<NSDate>& other) const
{
    auto self = std::const_pointer_cast<NSDate>(std::static_pointer_cast<const NSDate>(shared_from_this()));
    return other && other->m_seconds < m_seconds ? other : self;
}

Ref<NSDate> NSDate::laterDate(const Ref<NSDate>& other) const
{
    auto self = std::const_pointer_cast<NSDate>(std::static_pointer_cast<const NSDate>(shared_from_this()));
    return other && other->m_seconds > m_seconds ? other : self;
}

NSComparisonResult NSDate::compare(const Ref<NSDate>& other) const
{
    requireDate(other, "compare:");
    if (m_seconds < other->m_seconds)
        return NSOrderedAscending;
    if (m_seconds > other->m_seconds)
        return NSOrderedDescending;
    return NSOrderedSame;
}

bool NSDate::isEqualToDate(const Ref<NSDate>& other) const
{
    return other && other->m_seconds == m_seconds;
}

std::string NSDate::descriptionForSecondsSince1970(double seconds)
{
    if (!std::isfinite(seconds))
        return seconds > 0 ? "inf" : seconds < 0 ? "-inf" : "nan";
    double whole = std::floor(seconds);
    int64_t total = static_cast<int64_t>(whole);
    int64_t days = total >= 0 ? total / 86400 : -((-total + 86399) / 86400);
    int64_t secondOfDay = total - days * 86400;
    int64_t year;
    unsigned month, day;
    civilFromDays(days, year, month, day);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02u %02lld:%02lld:%02lld +0000", static_cast<long long>(year),
        month, day, static_cast<long long>(secondOfDay / 3600), static_cast<long long>(secondOfDay / 60 % 60),
        static_cast<long long>(secondOfDay % 60));
    return buffer;
}

std::string NSDate::description() const
{
    return descriptionForSecondsSince1970(m_seconds);
}

bool NSDate::isEqual(const NSObject* other) const
{
    auto* date = dynamic_cast<const NSDate*>(other);
    return date && date->m_seconds == m_seconds;
}

size_t NSDate::hash() const
{
    return std::hash<double> {}(m_seconds);
}

Value NSDate::valueForKey(const std::string& key)
{
    if (key == "timeIntervalSince1970")
        return Value(m_seconds);
    if (key == "timeIntervalSinceReferenceDate")
        return Value(timeIntervalSinceReferenceDate());
    return NSObject::valueForKey(key);
}
