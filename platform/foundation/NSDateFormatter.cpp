#include "foundation/NSDateFormatter.h"

#include "foundation/Clock.h"
#include "foundation/NSCalendar.h"
#include "foundation/NSDate.h"
#include "foundation/NSLocale.h"
#include "foundation/NSLocaleInternal.h"
#include "foundation/NSTimeZone.h"

#include <cmath>
#include <mutex>
#include <optional>
#include <unicode/dtptngen.h>
#include <unicode/reldatefmt.h>
#include <unicode/smpdtfmt.h>

VX_REGISTER_CLASS(NSDateFormatter);

using namespace IcuSupport;

struct NSDateFormatter::Impl {
    mutable std::mutex lock;
    std::optional<std::string> customFormat;
    NSDateFormatterStyle dateStyle { NSDateFormatterNoStyle };
    NSDateFormatterStyle timeStyle { NSDateFormatterNoStyle };
    Ref<NSLocale> locale;
    Ref<NSTimeZone> timeZone;
    Ref<NSCalendar> calendar;
    Ref<NSDate> twoDigitStartDate;
    bool relative { false };
    bool lenient { false };
    NSDateFormatterBehavior behavior { NSDateFormatterBehaviorDefault };

    // Built on first use after a change.
    std::unique_ptr<icu::SimpleDateFormat> format;
    std::unique_ptr<icu::Calendar> icuCalendar;
    std::string pattern;
    bool dirty { true };

    Ref<NSLocale> effectiveLocale() const { return locale ? locale : NSLocale::currentLocale(); }
    Ref<NSTimeZone> effectiveZone() const { return timeZone ? timeZone : NSTimeZone::defaultTimeZone(); }
    std::unique_ptr<icu::Calendar> makeCalendar() const;
    std::string stylePattern(NSDateFormatterStyle date, NSDateFormatterStyle time) const;
    void rebuild();
    std::optional<std::string> relativeText(double secondsSince1970);
};

namespace {

icu::DateFormat::EStyle icuStyle(NSDateFormatterStyle style)
{
    switch (style) {
    case NSDateFormatterShortStyle:
        return icu::DateFormat::kShort;
    case NSDateFormatterMediumStyle:
        return icu::DateFormat::kMedium;
    case NSDateFormatterLongStyle:
        return icu::DateFormat::kLong;
    case NSDateFormatterFullStyle:
        return icu::DateFormat::kFull;
    case NSDateFormatterNoStyle:
        break;
    }
    return icu::DateFormat::kNone;
}

// Patterns from locale data may put a narrow no-break space before the day period; the texts
// this system shows use a plain space there.
std::string plainSpaces(std::string text)
{
    static const std::string narrow = "\xE2\x80\xAF";
    for (size_t at = text.find(narrow); at != std::string::npos; at = text.find(narrow, at))
        text.replace(at, narrow.size(), " ");
    return text;
}

std::string quoteLiteral(const std::string& text)
{
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out + "'";
}

} // namespace

std::unique_ptr<icu::Calendar> NSDateFormatter::Impl::makeCalendar() const
{
    Ref<NSCalendar> base = calendar ? calendar->copy() : nullptr;
    if (!base) {
        auto loc = effectiveLocale();
        base = NSCalendar::calendarWithIdentifier(loc->objectForKey(NSLocaleCalendar).string());
        if (!base)
            base = NSCalendar::calendarWithIdentifier(NSCalendarIdentifierGregorian);
        base->setLocale(loc);
    }
    base->setTimeZone(effectiveZone());
    return std::move(base->makeIcuCalendar()->calendar);
}

std::string NSDateFormatter::Impl::stylePattern(NSDateFormatterStyle date, NSDateFormatterStyle time) const
{
    if (date == NSDateFormatterNoStyle && time == NSDateFormatterNoStyle)
        return "";
    std::unique_ptr<icu::DateFormat> styled(
        icu::DateFormat::createDateTimeInstance(icuStyle(date), icuStyle(time), icuLocale(effectiveLocale())));
    auto* simple = dynamic_cast<icu::SimpleDateFormat*>(styled.get());
    if (!simple)
        return "";
    icu::UnicodeString pattern;
    simple->toPattern(pattern);
    return plainSpaces(fromIcu(pattern));
}

void NSDateFormatter::Impl::rebuild()
{
    if (!dirty)
        return;
    dirty = false;
    pattern = customFormat ? *customFormat : stylePattern(dateStyle, timeStyle);
    format.reset();
    if (pattern.empty())
        return;
    UErrorCode status = U_ZERO_ERROR;
    auto built = std::make_unique<icu::SimpleDateFormat>(toIcu(pattern), icuLocale(effectiveLocale()), status);
    if (U_FAILURE(status))
        return;
    built->adoptCalendar(makeCalendar().release());
    built->setLenient(lenient);
    format = std::move(built);
}

// "Today", "Yesterday" or "Tomorrow" when the date falls on one of those days in the formatter's
// zone, measured from the process clock's now.
std::optional<std::string> NSDateFormatter::Impl::relativeText(double secondsSince1970)
{
    auto cal = makeCalendar();
    UErrorCode status = U_ZERO_ERROR;
    cal->setTime(splitInstant(secondsSince1970).milliseconds, status);
    int32_t day = cal->get(UCAL_JULIAN_DAY, status);
    cal->setTime(splitInstant(Clock::wallTime()).milliseconds, status);
    int32_t today = cal->get(UCAL_JULIAN_DAY, status);
    if (U_FAILURE(status))
        return std::nullopt;
    UDateDirection direction;
    switch (day - today) {
    case -1:
        direction = UDAT_DIRECTION_LAST;
        break;
    case 0:
        direction = UDAT_DIRECTION_THIS;
        break;
    case 1:
        direction = UDAT_DIRECTION_NEXT;
        break;
    default:
        return std::nullopt;
    }
    icu::RelativeDateTimeFormatter words(icuLocale(effectiveLocale()), status);
    if (U_FAILURE(status))
        return std::nullopt;
    icu::UnicodeString text;
    words.format(direction, UDAT_ABSOLUTE_DAY, text, status);
    if (U_FAILURE(status) || text.isEmpty())
        return std::nullopt;
    // Shown on its own or at the start of a date-time text, so capitalised.
    int32_t firstLength = U16_LENGTH(text.char32At(0));
    icu::UnicodeString first(text, 0, firstLength);
    first.toUpper(icuLocale(effectiveLocale()));
    text.replace(0, firstLength, first);
    return fromIcu(text);
}

NSDateFormatter::NSDateFormatter(Passkey key)
    : NSObject(key)
    , m_impl(std::make_unique<Impl>())
{
}

NSDateFormatter::~NSDateFormatter() = default;

Ref<NSDateFormatter> NSDateFormatter::init()
{
    return make<NSDateFormatter>();
}

std::string NSDateFormatter::dateFormat() const
{
    std::lock_guard guard(m_impl->lock);
    m_impl->rebuild();
    return m_impl->pattern;
}

void NSDateFormatter::setDateFormat(const std::string& format)
{
    std::lock_guard guard(m_impl->lock);
    m_impl->customFormat = format;
    m_impl->dirty = true;
}

NSDateFormatterStyle NSDateFormatter::dateStyle() const
{
    std::lock_guard guard(m_impl->lock);
    return m_impl->dateStyle;
}

void NSDateFormatter::setDateStyle(NSDateFormatterStyle style)
{
    std::lock_guard guard(m_impl->lock);
    m_impl->dateStyle = style;
    m_impl->customFormat.reset();
    m_impl->dirty = true;
}

NSDateFormatterStyle NSDateFormatter::timeStyle() const
{
    std::lock_guard guard(m_impl->lock);
    return m_impl->timeStyle;
}

void NSDateFormatter::setTimeStyle(NSDateFormatterStyle style)
{
    std::lock_guard guard(m_impl->lock);
    m_impl->timeStyle = style;
    m_impl->customFormat.reset();
    m_impl->dirty = true;
}

Ref<NSLocale> NSDateFormatter::locale() const
{
    std::lock_guard guard(m_impl->lock);
    return m_impl->effectiveLocale();
}

void NSDateFormatter::setLocale(Ref<NSLocale> locale)
{
    std::lock_guard guard(m_impl->lock);
    m_impl->locale = std::move(locale);
    m_impl->dirty = true;
}

Ref<NSTimeZone> NSDateFormatter::timeZone() const
{
    std::lock_guard guard(m_impl->lock);
    return m_impl->effectiveZone();
}

void NSDateFormatter::setTimeZone(Ref<NSTimeZone> zone)
{
    std::lock_guard guard(m_impl->lock);
    m_impl->timeZone = std::move(zone);
    m_impl->dirty = true;
}

Ref<NSCalendar> NSDateFormatter::calendar() const
{
    std::lock_guard guard(m_impl->lock);
    if (m_impl->calendar)
        return m_impl->calendar;
    auto calendar
        = NSCalendar::calendarWithIdentifier(m_impl->effectiveLocale()->objectForKey(NSLocaleCalendar).string());
    if (!calendar)
        calendar = NSCalendar::calendarWithIdentifier(NSCalendarIdentifierGregorian);
    calendar->setLocale(m_impl->effectiveLocale());
    calendar->setTimeZone(m_impl->effectiveZone());
    return calendar;
}

void NSDateFormatter::setCalendar(Ref<NSCalendar> calendar)
{
    std::lock_guard guard(m_impl->lock);
    m_impl->calendar = calendar ? calendar->copy() : nullptr;
    m_impl->dirty = true;
}

bool NSDateFormatter::doesRelativeDateFormatting() const
{
    std::lock_guard guard(m_impl->lock);
    return m_impl->relative;
}

void NSDateFormatter::setDoesRelativeDateFormatting(bool relative)
{
    std::lock_guard guard(m_impl->lock);
    m_impl->relative = relative;
}

Ref<NSDate> NSDateFormatter::twoDigitStartDate() const
{
    std::lock_guard guard(m_impl->lock);
    return m_impl->twoDigitStartDate;
}

void NSDateFormatter::setTwoDigitStartDate(Ref<NSDate> date)
{
    std::lock_guard guard(m_impl->lock);
    m_impl->twoDigitStartDate = std::move(date);
}

bool NSDateFormatter::isLenient() const
{
    std::lock_guard guard(m_impl->lock);
    return m_impl->lenient;
}

void NSDateFormatter::setLenient(bool lenient)
{
    std::lock_guard guard(m_impl->lock);
    m_impl->lenient = lenient;
    m_impl->dirty = true;
}

NSDateFormatterBehavior NSDateFormatter::formatterBehavior() const
{
    std::lock_guard guard(m_impl->lock);
    return m_impl->behavior;
}

void NSDateFormatter::setFormatterBehavior(NSDateFormatterBehavior behavior)
{
    std::lock_guard guard(m_impl->lock);
    m_impl->behavior = behavior;
}

std::string NSDateFormatter::stringFromDate(const Ref<NSDate>& date) const
{
    if (!date || !std::isfinite(date->timeIntervalSince1970()))
        return "";
    std::lock_guard guard(m_impl->lock);
    Impl& impl = *m_impl;
    impl.rebuild();
    double seconds = date->timeIntervalSince1970();
    if (impl.relative && !impl.customFormat && impl.dateStyle != NSDateFormatterNoStyle) {
        if (auto day = impl.relativeText(seconds)) {
            if (impl.timeStyle == NSDateFormatterNoStyle)
                return *day;
            // The locale's date-time pattern with the day word as a literal in place of the date.
            std::string timePattern = impl.stylePattern(NSDateFormatterNoStyle, impl.timeStyle);
            UErrorCode status = U_ZERO_ERROR;
            std::unique_ptr<icu::DateTimePatternGenerator> generator(
                icu::DateTimePatternGenerator::createInstance(icuLocale(impl.effectiveLocale()), status));
            std::string glue = "{1}, {0}";
            if (U_SUCCESS(status) && generator) {
                auto style = impl.dateStyle == NSDateFormatterFullStyle ? UDAT_FULL
                    : impl.dateStyle == NSDateFormatterLongStyle        ? UDAT_LONG
                    : impl.dateStyle == NSDateFormatterMediumStyle      ? UDAT_MEDIUM
                                                                        : UDAT_SHORT;
                std::string fromLocale = fromIcu(generator->getDateTimeFormat(style, status));
                if (U_SUCCESS(status) && fromLocale.find("{0}") != std::string::npos
                    && fromLocale.find("{1}") != std::string::npos)
                    glue = fromLocale;
            }
            glue.replace(glue.find("{0}"), 3, timePattern);
            glue.replace(glue.find("{1}"), 3, quoteLiteral(*day));
            status = U_ZERO_ERROR;
            icu::SimpleDateFormat combined(toIcu(glue), icuLocale(impl.effectiveLocale()), status);
            if (U_SUCCESS(status)) {
                combined.adoptCalendar(impl.makeCalendar().release());
                icu::UnicodeString out;
                combined.format(splitInstant(seconds).milliseconds, out);
                return plainSpaces(fromIcu(out));
            }
        }
    }
    if (!impl.format)
        return "";
    icu::UnicodeString out;
    impl.format->format(splitInstant(seconds).milliseconds, out);
    return plainSpaces(fromIcu(out));
}

Ref<NSDate> NSDateFormatter::dateFromString(const std::string& string) const
{
    std::lock_guard guard(m_impl->lock);
    Impl& impl = *m_impl;
    impl.rebuild();
    if (!impl.format || string.empty())
        return nullptr;
    // The two-digit-year window: from the set start, else from 80 years before now.
    UErrorCode status = U_ZERO_ERROR;
    double start;
    if (impl.twoDigitStartDate) {
        start = splitInstant(impl.twoDigitStartDate->timeIntervalSince1970()).milliseconds;
    } else {
        auto cal = impl.makeCalendar();
        cal->setTime(splitInstant(Clock::wallTime()).milliseconds, status);
        cal->add(UCAL_YEAR, -80, status);
        start = cal->getTime(status);
    }
    if (U_SUCCESS(status))
        impl.format->set2DigitYearStart(start, status);
    icu::UnicodeString text = toIcu(string);
    icu::ParsePosition position(0);
    UDate parsed = impl.format->parse(text, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() == 0)
        return nullptr;
    if (!impl.lenient && position.getIndex() != text.length())
        return nullptr;
    return NSDate::dateWithTimeIntervalSince1970(parsed / 1000.0);
}

std::string NSDateFormatter::localizedStringFromDateDateStyleTimeStyle(
    const Ref<NSDate>& date, NSDateFormatterStyle dateStyle, NSDateFormatterStyle timeStyle)
{
    auto formatter = init();
    formatter->setDateStyle(dateStyle);
    formatter->setTimeStyle(timeStyle);
    return formatter->stringFromDate(date);
}

std::string NSDateFormatter::dateFormatFromTemplateOptionsLocale(
    const std::string& templateString, NSUInteger, const Ref<NSLocale>& locale)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(icuLocale(locale), status));
    if (U_FAILURE(status) || !generator)
        return "";
    icu::UnicodeString pattern = generator->getBestPattern(toIcu(templateString), status);
    if (U_FAILURE(status))
        return "";
    return plainSpaces(fromIcu(pattern));
}
