#include "foundation/NSNumberFormatter.h"

#include "foundation/NSLocale.h"
#include "foundation/NSLocaleInternal.h"

#include <cmath>
#include <limits>
#include <mutex>
#include <optional>
#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/numfmt.h>

VX_REGISTER_CLASS(NSNumberFormatter);

using namespace IcuSupport;

struct NSNumberFormatter::Impl {
    mutable std::mutex lock;
    NSNumberFormatterStyle style { NSNumberFormatterNoStyle };
    Ref<NSLocale> locale;
    // Properties set since the style was chosen; unset ones follow the style and locale.
    std::optional<bool> usesGrouping;
    std::optional<std::string> groupingSeparator;
    std::optional<NSUInteger> groupingSize;
    std::optional<std::string> decimalSeparator;
    std::optional<NSUInteger> minimumFractionDigits;
    std::optional<NSUInteger> maximumFractionDigits;
    std::optional<NSUInteger> minimumIntegerDigits;
    std::optional<NSUInteger> maximumIntegerDigits;
    NSNumberFormatterRoundingMode roundingMode { NSNumberFormatterRoundHalfEven };
    bool lenient { false };

    std::unique_ptr<icu::NumberFormat> format;
    bool dirty { true };

    void resetProperties()
    {
        usesGrouping.reset();
        groupingSeparator.reset();
        groupingSize.reset();
        decimalSeparator.reset();
        minimumFractionDigits.reset();
        maximumFractionDigits.reset();
        minimumIntegerDigits.reset();
        maximumIntegerDigits.reset();
        roundingMode = NSNumberFormatterRoundHalfEven;
        dirty = true;
    }

    icu::NumberFormat& build();
    icu::DecimalFormat* decimal() { return dynamic_cast<icu::DecimalFormat*>(&build()); }
};

icu::NumberFormat& NSNumberFormatter::Impl::build()
{
    if (!dirty && format)
        return *format;
    dirty = false;
    icu::Locale icu = icuLocale(locale ? locale : NSLocale::currentLocale());
    UNumberFormatStyle icuStyle = UNUM_DECIMAL;
    switch (style) {
    case NSNumberFormatterNoStyle:
    case NSNumberFormatterDecimalStyle:
        icuStyle = UNUM_DECIMAL;
        break;
    case NSNumberFormatterCurrencyStyle:
        icuStyle = UNUM_CURRENCY;
        break;
    case NSNumberFormatterPercentStyle:
        icuStyle = UNUM_PERCENT;
        break;
    case NSNumberFormatterScientificStyle:
        icuStyle = UNUM_SCIENTIFIC;
        break;
    case NSNumberFormatterSpellOutStyle:
        icuStyle = UNUM_SPELLOUT;
        break;
    }
    UErrorCode status = U_ZERO_ERROR;
    format.reset(icu::NumberFormat::createInstance(icu, icuStyle, status));
    if (U_FAILURE(status) || !format) {
        status = U_ZERO_ERROR;
        format.reset(icu::NumberFormat::createInstance(icu::Locale::getRoot(), UNUM_DECIMAL, status));
    }
    if (style == NSNumberFormatterNoStyle) {
        format->setGroupingUsed(false);
        format->setMaximumFractionDigits(0);
    }
    format->setLenient(lenient);
    if (auto* decimal = dynamic_cast<icu::DecimalFormat*>(format.get())) {
        if (groupingSeparator || decimalSeparator) {
            icu::DecimalFormatSymbols symbols(*decimal->getDecimalFormatSymbols());
            if (groupingSeparator)
                symbols.setSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol, toIcu(*groupingSeparator));
            if (decimalSeparator)
                symbols.setSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol, toIcu(*decimalSeparator));
            decimal->setDecimalFormatSymbols(symbols);
        }
        if (groupingSize)
            decimal->setGroupingSize(static_cast<int32_t>(*groupingSize));
        decimal->setRoundingMode(static_cast<icu::DecimalFormat::ERoundingMode>(roundingMode));
    }
    if (usesGrouping)
        format->setGroupingUsed(*usesGrouping);
    if (minimumIntegerDigits)
        format->setMinimumIntegerDigits(static_cast<int32_t>(*minimumIntegerDigits));
    if (maximumIntegerDigits)
        format->setMaximumIntegerDigits(static_cast<int32_t>(*maximumIntegerDigits));
    // The setters keep the two fraction limits consistent. A count too large to be one (the
    // all-ones value callers store as "not chosen yet") leaves the style's own limit.
    if (minimumFractionDigits && *minimumFractionDigits <= INT32_MAX)
        format->setMinimumFractionDigits(static_cast<int32_t>(*minimumFractionDigits));
    if (maximumFractionDigits && *maximumFractionDigits <= INT32_MAX)
        format->setMaximumFractionDigits(static_cast<int32_t>(*maximumFractionDigits));
    return *format;
}

NSNumberFormatter::NSNumberFormatter(Passkey key)
    : NSObject(key)
    , m_impl(std::make_unique<Impl>())
{
}

NSNumberFormatter::~NSNumberFormatter() = default;

Ref<NSNumberFormatter> NSNumberFormatter::init()
{
    return make<NSNumberFormatter>();
}

#define VX_LOCKED std::lock_guard guard(m_impl->lock)

NSNumberFormatterStyle NSNumberFormatter::numberStyle() const
{
    VX_LOCKED;
    return m_impl->style;
}

void NSNumberFormatter::setNumberStyle(NSNumberFormatterStyle style)
{
    VX_LOCKED;
    m_impl->style = style;
    m_impl->resetProperties();
}

Ref<NSLocale> NSNumberFormatter::locale() const
{
    VX_LOCKED;
    return m_impl->locale ? m_impl->locale : NSLocale::currentLocale();
}

void NSNumberFormatter::setLocale(Ref<NSLocale> locale)
{
    VX_LOCKED;
    m_impl->locale = std::move(locale);
    m_impl->dirty = true;
}

bool NSNumberFormatter::usesGroupingSeparator() const
{
    VX_LOCKED;
    return m_impl->build().isGroupingUsed();
}

void NSNumberFormatter::setUsesGroupingSeparator(bool uses)
{
    VX_LOCKED;
    m_impl->usesGrouping = uses;
    m_impl->dirty = true;
}

std::string NSNumberFormatter::groupingSeparator() const
{
    VX_LOCKED;
    auto* decimal = m_impl->decimal();
    return decimal
        ? fromIcu(decimal->getDecimalFormatSymbols()->getSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol))
        : "";
}

void NSNumberFormatter::setGroupingSeparator(const std::string& separator)
{
    VX_LOCKED;
    m_impl->groupingSeparator = separator;
    m_impl->dirty = true;
}

NSUInteger NSNumberFormatter::groupingSize() const
{
    VX_LOCKED;
    auto* decimal = m_impl->decimal();
    return decimal ? decimal->getGroupingSize() : 0;
}

void NSNumberFormatter::setGroupingSize(NSUInteger size)
{
    VX_LOCKED;
    m_impl->groupingSize = size;
    m_impl->dirty = true;
}

std::string NSNumberFormatter::decimalSeparator() const
{
    VX_LOCKED;
    auto* decimal = m_impl->decimal();
    return decimal
        ? fromIcu(decimal->getDecimalFormatSymbols()->getSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol))
        : "";
}

void NSNumberFormatter::setDecimalSeparator(const std::string& separator)
{
    VX_LOCKED;
    m_impl->decimalSeparator = separator;
    m_impl->dirty = true;
}

NSUInteger NSNumberFormatter::minimumFractionDigits() const
{
    VX_LOCKED;
    // A stored count reads back as it was given, whatever the formatting makes of it.
    if (m_impl->minimumFractionDigits)
        return *m_impl->minimumFractionDigits;
    return m_impl->build().getMinimumFractionDigits();
}

void NSNumberFormatter::setMinimumFractionDigits(NSUInteger digits)
{
    VX_LOCKED;
    m_impl->minimumFractionDigits = digits;
    if (m_impl->maximumFractionDigits && *m_impl->maximumFractionDigits < digits)
        m_impl->maximumFractionDigits = digits;
    m_impl->dirty = true;
}

NSUInteger NSNumberFormatter::maximumFractionDigits() const
{
    VX_LOCKED;
    if (m_impl->maximumFractionDigits)
        return *m_impl->maximumFractionDigits;
    return m_impl->build().getMaximumFractionDigits();
}

void NSNumberFormatter::setMaximumFractionDigits(NSUInteger digits)
{
    VX_LOCKED;
    m_impl->maximumFractionDigits = digits;
    if (m_impl->minimumFractionDigits && *m_impl->minimumFractionDigits > digits)
        m_impl->minimumFractionDigits = digits;
    m_impl->dirty = true;
}

NSUInteger NSNumberFormatter::minimumIntegerDigits() const
{
    VX_LOCKED;
    return m_impl->build().getMinimumIntegerDigits();
}

void NSNumberFormatter::setMinimumIntegerDigits(NSUInteger digits)
{
    VX_LOCKED;
    m_impl->minimumIntegerDigits = digits;
    m_impl->dirty = true;
}

NSUInteger NSNumberFormatter::maximumIntegerDigits() const
{
    VX_LOCKED;
    return m_impl->build().getMaximumIntegerDigits();
}

void NSNumberFormatter::setMaximumIntegerDigits(NSUInteger digits)
{
    VX_LOCKED;
    m_impl->maximumIntegerDigits = digits;
    m_impl->dirty = true;
}

NSNumberFormatterRoundingMode NSNumberFormatter::roundingMode() const
{
    VX_LOCKED;
    return m_impl->roundingMode;
}

void NSNumberFormatter::setRoundingMode(NSNumberFormatterRoundingMode mode)
{
    VX_LOCKED;
    if (mode > NSNumberFormatterRoundHalfUp)
        return;
    m_impl->roundingMode = mode;
    m_impl->dirty = true;
}

bool NSNumberFormatter::isLenient() const
{
    VX_LOCKED;
    return m_impl->lenient;
}

void NSNumberFormatter::setLenient(bool lenient)
{
    VX_LOCKED;
    m_impl->lenient = lenient;
    m_impl->dirty = true;
}

std::string NSNumberFormatter::stringFromNumber(const Value& number) const
{
    if (!number.isNumber())
        return "";
    VX_LOCKED;
    icu::NumberFormat& format = m_impl->build();
    icu::UnicodeString out;
    switch (number.kind()) {
    case Value::Kind::Bool:
    case Value::Kind::Int:
    case Value::Kind::LongLong:
        format.format(static_cast<int64_t>(number.longLongValue()), out);
        break;
    default:
        format.format(number.doubleValue(), out);
        break;
    }
    return fromIcu(out);
}

Value NSNumberFormatter::numberFromString(const std::string& string) const
{
    if (string.empty())
        return {};
    VX_LOCKED;
    icu::NumberFormat& format = m_impl->build();
    icu::UnicodeString text = toIcu(string);
    icu::Formattable result;
    icu::ParsePosition position(0);
    format.parse(text, result, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != text.length())
        return {};
    UErrorCode status = U_ZERO_ERROR;
    switch (result.getType()) {
    case icu::Formattable::kLong:
        return Value(static_cast<int32_t>(result.getLong()));
    case icu::Formattable::kInt64:
        return Value(static_cast<int64_t>(result.getInt64()));
    case icu::Formattable::kDouble: {
        double d = result.getDouble(status);
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.0e18) {
            auto whole = static_cast<int64_t>(d);
            if (whole >= std::numeric_limits<int32_t>::min() && whole <= std::numeric_limits<int32_t>::max())
                return Value(static_cast<int32_t>(whole));
            return Value(whole);
        }
        return Value(d);
    }
    default: {
        double d = result.getDouble(status);
        return U_SUCCESS(status) ? Value(d) : Value();
    }
    }
}

std::string NSNumberFormatter::localizedStringFromNumberNumberStyle(const Value& number, NSNumberFormatterStyle style)
{
    auto formatter = init();
    formatter->setNumberStyle(style);
    return formatter->stringFromNumber(number);
}
