#include "foundation/NSCalendar.h"

#include "foundation/NSDate.h"
#include "foundation/NSLocale.h"
#include "foundation/NSLocaleInternal.h"
#include "foundation/NSTimeZone.h"

#include <cmath>
#include <cstdio>

VX_REGISTER_CLASS(NSCalendar);

using namespace IcuSupport;

namespace IcuSupport {

SplitInstant splitInstant(double secondsSince1970)
{
    // Round to the microsecond first so 1.001 s is 1001 ms and not 1000.999...
    double micro = std::round(secondsSince1970 * 1e6);
    double ms = std::floor(micro / 1000.0);
    double rest = (micro - ms * 1000.0) / 1e6;
    return { ms, rest < 0 ? 0 : rest };
}

} // namespace IcuSupport

namespace {

constexpr const char* kKnownIdentifiers[]
    = { "gregorian", "iso8601", "buddhist", "japanese", "hebrew", "islamic", "islamic-civil", "islamic-umalqura",
          "islamic-tbla", "chinese", "dangi", "persian", "indian", "coptic", "ethiopic", "ethiopic-amete-alem", "roc" };

bool isDefined(NSInteger v)
{
    return v != NSUndefinedDateComponent;
}

// A date the calendar can place: not nil, not NaN and not infinite.
bool isUsable(const Ref<NSDate>& date)
{
    return date && std::isfinite(date->timeIntervalSince1970());
}

// The component units that are a single ICU field, largest first, as arithmetic applies them.
struct UnitField {
    NSCalendarUnit unit;
    UCalendarDateFields field;
};

constexpr UnitField kArithmeticOrder[] = {
    { NSCalendarUnitEra, UCAL_ERA },
    { NSCalendarUnitYear, UCAL_YEAR },
    { NSCalendarUnitMonth, UCAL_MONTH },
    { NSWeekCalendarUnit, UCAL_WEEK_OF_YEAR },
    { NSCalendarUnitWeekOfYear, UCAL_WEEK_OF_YEAR },
    { NSCalendarUnitWeekOfMonth, UCAL_WEEK_OF_MONTH },
    { NSCalendarUnitDay, UCAL_DATE },
    { NSCalendarUnitHour, UCAL_HOUR_OF_DAY },
    { NSCalendarUnitMinute, UCAL_MINUTE },
    { NSCalendarUnitSecond, UCAL_SECOND },
};

} // namespace

NSCalendar::NSCalendar(Passkey key, std::string identifier)
    : NSObject(key)
    , m_identifier(std::move(identifier))
{
}

Ref<NSCalendar> NSCalendar::calendarWithIdentifier(const std::string& identifier)
{
    for (const char* known : kKnownIdentifiers) {
        if (identifier == known)
            return make<NSCalendar>(identifier);
    }
    return nullptr;
}

Ref<NSCalendar> NSCalendar::currentCalendar()
{
    auto locale = NSLocale::currentLocale();
    auto calendar = calendarWithIdentifier(locale->objectForKey(NSLocaleCalendar).string());
    if (!calendar)
        calendar = make<NSCalendar>(NSCalendarIdentifierGregorian);
    calendar->setLocale(locale);
    calendar->setTimeZone(NSTimeZone::defaultTimeZone());
    return calendar;
}

Ref<NSCalendar> NSCalendar::copy() const
{
    auto other = make<NSCalendar>(m_identifier);
    std::lock_guard guard(m_lock);
    other->m_locale = m_locale;
    other->m_timeZone = m_timeZone;
    other->m_firstWeekday = m_firstWeekday;
    other->m_minimumDaysInFirstWeek = m_minimumDaysInFirstWeek;
    return other;
}

Ref<NSLocale> NSCalendar::locale() const
{
    std::lock_guard guard(m_lock);
    return m_locale ? m_locale : NSLocale::currentLocale();
}

void NSCalendar::setLocale(Ref<NSLocale> locale)
{
    std::lock_guard guard(m_lock);
    m_locale = std::move(locale);
}

Ref<NSTimeZone> NSCalendar::timeZone() const
{
    std::lock_guard guard(m_lock);
    return m_timeZone ? m_timeZone : NSTimeZone::defaultTimeZone();
}

void NSCalendar::setTimeZone(Ref<NSTimeZone> zone)
{
    std::lock_guard guard(m_lock);
    m_timeZone = std::move(zone);
}

NSUInteger NSCalendar::firstWeekday() const
{
    return makeIcuCalendar()->calendar->getFirstDayOfWeek();
}

void NSCalendar::setFirstWeekday(NSUInteger weekday)
{
    std::lock_guard guard(m_lock);
    if (weekday >= 1 && weekday <= 7)
        m_firstWeekday = weekday;
}

NSUInteger NSCalendar::minimumDaysInFirstWeek() const
{
    return makeIcuCalendar()->calendar->getMinimalDaysInFirstWeek();
}

void NSCalendar::setMinimumDaysInFirstWeek(NSUInteger days)
{
    std::lock_guard guard(m_lock);
    if (days >= 1 && days <= 7)
        m_minimumDaysInFirstWeek = days;
}

std::unique_ptr<NSCalendar::IcuCalendar> NSCalendar::makeIcuCalendar() const
{
    icu::Locale base = icuLocale(locale());
    std::string name = std::string(base.getBaseName()) + "@calendar=" + m_identifier;
    UErrorCode status = U_ZERO_ERROR;
    auto result = std::make_unique<IcuCalendar>();
    result->calendar.reset(icu::Calendar::createInstance(
        cloneZone(timeZone()).release(), icu::Locale::createFromName(name.c_str()), status));
    if (U_FAILURE(status) || !result->calendar) {
        status = U_ZERO_ERROR;
        result->calendar.reset(
            icu::Calendar::createInstance(cloneZone(timeZone()).release(), icu::Locale::getRoot(), status));
    }
    std::lock_guard guard(m_lock);
    if (m_firstWeekday)
        result->calendar->setFirstDayOfWeek(static_cast<UCalendarDaysOfWeek>(*m_firstWeekday));
    if (m_minimumDaysInFirstWeek)
        result->calendar->setMinimalDaysInFirstWeek(static_cast<uint8_t>(*m_minimumDaysInFirstWeek));
    return result;
}

Ref<NSDateComponents> NSCalendar::componentsFromDate(NSCalendarUnit units, const Ref<NSDate>& date) const
{
    if (!isUsable(date))
        return nullptr;
    auto holder = makeIcuCalendar();
    icu::Calendar& cal = *holder->calendar;
    auto instant = splitInstant(date->timeIntervalSince1970());
    UErrorCode status = U_ZERO_ERROR;
    cal.setTime(instant.milliseconds, status);
    auto components = NSDateComponents::init();
    auto get = [&](UCalendarDateFields field) { return static_cast<NSInteger>(cal.get(field, status)); };
    if (units & NSCalendarUnitEra)
        components->setEra(get(UCAL_ERA));
    if (units & NSCalendarUnitYear)
        components->setYear(get(UCAL_YEAR));
    if (units & NSCalendarUnitMonth) {
        components->setMonth(get(UCAL_MONTH) + 1);
        components->setLeapMonth(get(UCAL_IS_LEAP_MONTH) != 0);
    }
    if (units & NSCalendarUnitDay)
        components->setDay(get(UCAL_DATE));
    if (units & NSCalendarUnitHour)
        components->setHour(get(UCAL_HOUR_OF_DAY));
    if (units & NSCalendarUnitMinute)
        components->setMinute(get(UCAL_MINUTE));
    if (units & NSCalendarUnitSecond)
        components->setSecond(get(UCAL_SECOND));
    if (units & NSCalendarUnitNanosecond)
        components->setNanosecond(
            get(UCAL_MILLISECOND) * 1000000 + static_cast<NSInteger>(std::round(instant.restSeconds * 1e9)));
    if (units & NSWeekCalendarUnit)
        components->setWeek(get(UCAL_WEEK_OF_YEAR));
    if (units & NSCalendarUnitWeekOfYear)
        components->setWeekOfYear(get(UCAL_WEEK_OF_YEAR));
    if (units & NSCalendarUnitWeekOfMonth)
        components->setWeekOfMonth(get(UCAL_WEEK_OF_MONTH));
    if (units & NSCalendarUnitYearForWeekOfYear)
        components->setYearForWeekOfYear(get(UCAL_YEAR_WOY));
    if (units & NSCalendarUnitWeekday)
        components->setWeekday(get(UCAL_DAY_OF_WEEK));
    if (units & NSCalendarUnitWeekdayOrdinal)
        components->setWeekdayOrdinal(get(UCAL_DAY_OF_WEEK_IN_MONTH));
    if (units & NSCalendarUnitQuarter)
        components->setQuarter(m_identifier == "gregorian" || m_identifier == "iso8601" ? get(UCAL_MONTH) / 3 + 1 : 0);
    if (units & NSCalendarUnitCalendar)
        components->setCalendar(copy());
    if (units & NSCalendarUnitTimeZone)
        components->setTimeZone(timeZone());
    if (U_FAILURE(status))
        return nullptr;
    return components;
}

NSInteger NSCalendar::componentFromDate(NSCalendarUnit unit, const Ref<NSDate>& date) const
{
    auto components = componentsFromDate(unit, date);
    return components ? components->valueForComponent(unit) : NSUndefinedDateComponent;
}

Ref<NSDateComponents> NSCalendar::componentsFromDateToDateOptions(
    NSCalendarUnit units, const Ref<NSDate>& from, const Ref<NSDate>& to, NSCalendarOptions) const
{
    if (!isUsable(from) || !isUsable(to))
        return nullptr;
    auto holder = makeIcuCalendar();
    icu::Calendar& cal = *holder->calendar;
    auto start = splitInstant(from->timeIntervalSince1970());
    auto end = splitInstant(to->timeIntervalSince1970());
    UErrorCode status = U_ZERO_ERROR;
    cal.setTime(start.milliseconds, status);
    auto components = NSDateComponents::init();
    bool weekDone = false;
    for (const auto& [unit, field] : kArithmeticOrder) {
        if (!(units & unit))
            continue;
        if (field == UCAL_WEEK_OF_YEAR || field == UCAL_WEEK_OF_MONTH) {
            // Every week unit counts the same whole weeks; only the first one asked takes them.
            NSInteger weeks = weekDone ? 0 : cal.fieldDifference(end.milliseconds, UCAL_WEEK_OF_YEAR, status);
            weekDone = true;
            components->setValueForComponent(weeks, unit);
            continue;
        }
        components->setValueForComponent(cal.fieldDifference(end.milliseconds, field, status), unit);
    }
    if (units & NSCalendarUnitNanosecond) {
        double restMs = end.milliseconds - cal.getTime(status);
        components->setNanosecond(
            static_cast<NSInteger>(std::llround(restMs * 1e6 + (end.restSeconds - start.restSeconds) * 1e9)));
    }
    for (NSCalendarUnit unit : { NSCalendarUnitWeekday, NSCalendarUnitWeekdayOrdinal, NSCalendarUnitQuarter,
             NSCalendarUnitYearForWeekOfYear }) {
        if (units & unit)
            components->setValueForComponent(0, unit);
    }
    if (U_FAILURE(status))
        return nullptr;
    return components;
}

Ref<NSDate> NSCalendar::dateFromComponents(const Ref<NSDateComponents>& c) const
{
    if (!c)
        return nullptr;
    auto holder = makeIcuCalendar();
    icu::Calendar& cal = *holder->calendar;
    if (c->timeZone())
        cal.adoptTimeZone(cloneZone(c->timeZone()).release());
    cal.clear();
    cal.setLenient(true);
    if (isDefined(c->era()))
        cal.set(UCAL_ERA, c->era());
    bool weekBased = isDefined(c->yearForWeekOfYear()) && !isDefined(c->year());
    if (isDefined(c->year()))
        cal.set(UCAL_YEAR, c->year());
    else if (!weekBased)
        cal.set(UCAL_YEAR, 1);
    if (isDefined(c->yearForWeekOfYear()))
        cal.set(UCAL_YEAR_WOY, c->yearForWeekOfYear());
    cal.set(UCAL_MONTH, isDefined(c->month()) ? c->month() - 1 : 0);
    if (c->isLeapMonth())
        cal.set(UCAL_IS_LEAP_MONTH, 1);
    if (isDefined(c->weekOfYear()))
        cal.set(UCAL_WEEK_OF_YEAR, c->weekOfYear());
    else if (isDefined(c->week()))
        cal.set(UCAL_WEEK_OF_YEAR, c->week());
    if (isDefined(c->weekOfMonth()))
        cal.set(UCAL_WEEK_OF_MONTH, c->weekOfMonth());
    if (isDefined(c->weekdayOrdinal()))
        cal.set(UCAL_DAY_OF_WEEK_IN_MONTH, c->weekdayOrdinal());
    if (isDefined(c->weekday()))
        cal.set(UCAL_DAY_OF_WEEK, c->weekday());
    // An explicit day wins over week-based fields; with neither, the first of the month.
    bool hasWeekFields = isDefined(c->weekday()) || isDefined(c->weekOfYear()) || isDefined(c->week())
        || isDefined(c->weekOfMonth()) || isDefined(c->weekdayOrdinal());
    if (isDefined(c->day()) || !hasWeekFields)
        cal.set(UCAL_DATE, isDefined(c->day()) ? c->day() : 1);
    cal.set(UCAL_HOUR_OF_DAY, isDefined(c->hour()) ? c->hour() : 0);
    cal.set(UCAL_MINUTE, isDefined(c->minute()) ? c->minute() : 0);
    cal.set(UCAL_SECOND, isDefined(c->second()) ? c->second() : 0);
    double nanos = isDefined(c->nanosecond()) ? c->nanosecond() : 0;
    double wholeMs = std::floor(nanos / 1e6);
    cal.set(UCAL_MILLISECOND, static_cast<int32_t>(wholeMs));
    UErrorCode status = U_ZERO_ERROR;
    UDate ms = cal.getTime(status);
    if (U_FAILURE(status))
        return nullptr;
    return NSDate::dateWithTimeIntervalSince1970(ms / 1000.0 + (nanos - wholeMs * 1e6) / 1e9);
}

Ref<NSDate> NSCalendar::dateByAddingComponentsToDateOptions(
    const Ref<NSDateComponents>& c, const Ref<NSDate>& date, NSCalendarOptions options) const
{
    if (!c || !isUsable(date))
        return nullptr;
    auto holder = makeIcuCalendar();
    icu::Calendar& cal = *holder->calendar;
    auto instant = splitInstant(date->timeIntervalSince1970());
    UErrorCode status = U_ZERO_ERROR;
    cal.setTime(instant.milliseconds, status);
    bool wrap = options & NSCalendarWrapComponents;
    for (const auto& [unit, field] : kArithmeticOrder) {
        NSInteger amount = c->valueForComponent(unit);
        if (!isDefined(amount) || amount == 0)
            continue;
        if (wrap)
            cal.roll(field, amount, status);
        else
            cal.add(field, amount, status);
    }
    double extra = instant.restSeconds;
    if (isDefined(c->nanosecond()) && c->nanosecond() != 0) {
        if (wrap) {
            // Rolling the nanoseconds keeps the whole second.
            double within = cal.get(UCAL_MILLISECOND, status) / 1000.0 + instant.restSeconds;
            double rolled = std::fmod(within + c->nanosecond() / 1e9, 1.0);
            if (rolled < 0)
                rolled += 1.0;
            cal.set(UCAL_MILLISECOND, 0);
            extra = rolled;
        } else {
            extra += c->nanosecond() / 1e9;
        }
    }
    UDate ms = cal.getTime(status);
    if (U_FAILURE(status))
        return nullptr;
    return NSDate::dateWithTimeIntervalSince1970(ms / 1000.0 + extra);
}

NSRange NSCalendar::rangeOfUnitInUnitForDate(
    NSCalendarUnit smaller, NSCalendarUnit larger, const Ref<NSDate>& date) const
{
    constexpr NSRange notFound { static_cast<NSUInteger>(NSNotFound), 0 };
    if (!isUsable(date))
        return notFound;
    auto isWeek = [](NSCalendarUnit u) {
        return u == NSWeekCalendarUnit || u == NSCalendarUnitWeekOfYear || u == NSCalendarUnitWeekOfMonth;
    };
    std::optional<UCalendarDateFields> field;
    int offset = 0;
    if (smaller == NSCalendarUnitDay && larger == NSCalendarUnitMonth)
        field = UCAL_DATE;
    else if (smaller == NSCalendarUnitDay && larger == NSCalendarUnitYear)
        field = UCAL_DAY_OF_YEAR;
    else if (smaller == NSCalendarUnitMonth && larger == NSCalendarUnitYear)
        field = UCAL_MONTH, offset = 1;
    else if (smaller == NSCalendarUnitHour && larger == NSCalendarUnitDay)
        field = UCAL_HOUR_OF_DAY;
    else if (smaller == NSCalendarUnitMinute && larger == NSCalendarUnitHour)
        field = UCAL_MINUTE;
    else if (smaller == NSCalendarUnitSecond && larger == NSCalendarUnitMinute)
        field = UCAL_SECOND;
    else if (smaller == NSCalendarUnitWeekday && isWeek(larger))
        field = UCAL_DAY_OF_WEEK;
    else if (smaller == NSCalendarUnitWeekOfMonth && larger == NSCalendarUnitMonth)
        field = UCAL_WEEK_OF_MONTH;
    else if ((smaller == NSCalendarUnitWeekOfYear || smaller == NSWeekCalendarUnit) && larger == NSCalendarUnitYear)
        field = UCAL_WEEK_OF_YEAR;
    if (!field)
        return notFound;
    auto holder = makeIcuCalendar();
    icu::Calendar& cal = *holder->calendar;
    UErrorCode status = U_ZERO_ERROR;
    cal.setTime(splitInstant(date->timeIntervalSince1970()).milliseconds, status);
    int32_t minimum = cal.getActualMinimum(*field, status);
    int32_t maximum = cal.getActualMaximum(*field, status);
    if (U_FAILURE(status) || maximum < minimum)
        return notFound;
    return { static_cast<NSUInteger>(minimum + offset), static_cast<NSUInteger>(maximum - minimum + 1) };
}

Ref<NSDate> NSCalendar::startOfDayForDate(const Ref<NSDate>& date) const
{
    if (!isUsable(date))
        return nullptr;
    auto holder = makeIcuCalendar();
    icu::Calendar& cal = *holder->calendar;
    UErrorCode status = U_ZERO_ERROR;
    cal.setTime(splitInstant(date->timeIntervalSince1970()).milliseconds, status);
    cal.set(UCAL_HOUR_OF_DAY, 0);
    cal.set(UCAL_MINUTE, 0);
    cal.set(UCAL_SECOND, 0);
    cal.set(UCAL_MILLISECOND, 0);
    UDate ms = cal.getTime(status);
    if (U_FAILURE(status))
        return nullptr;
    return NSDate::dateWithTimeIntervalSince1970(ms / 1000.0);
}

bool NSCalendar::isEqual(const NSObject* other) const
{
    auto* calendar = dynamic_cast<const NSCalendar*>(other);
    if (!calendar)
        return false;
    if (calendar == this)
        return true;
    return calendar->m_identifier == m_identifier && calendar->timeZone()->isEqual(timeZone().get())
        && calendar->locale()->isEqual(locale().get()) && calendar->firstWeekday() == firstWeekday()
        && calendar->minimumDaysInFirstWeek() == minimumDaysInFirstWeek();
}

size_t NSCalendar::hash() const
{
    return std::hash<std::string> {}(m_identifier);
}

std::string NSCalendar::description() const
{
    char head[48];
    std::snprintf(head, sizeof head, "<NSCalendar: %p>", static_cast<const void*>(this));
    return std::string(head) + "{identifier = '" + m_identifier + "'}";
}
