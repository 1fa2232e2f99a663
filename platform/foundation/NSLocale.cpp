#include "foundation/NSLocale.h"

#include "foundation/NSLocaleInternal.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <unicode/dcfmtsym.h>
#include <unicode/ucurr.h>
#include <unicode/ulocdata.h>

VX_REGISTER_CLASS(NSLocale);

using namespace IcuSupport;

namespace {

struct LocaleState {
    std::mutex lock;
    std::optional<std::string> pinnedIdentifier;
    std::optional<std::vector<std::string>> pinnedLanguages;
    Ref<NSLocale> current;
};

LocaleState& localeState()
{
    static LocaleState s_state;
    return s_state;
}

} // namespace

NSLocale::NSLocale(Passkey key, std::string identifier)
    : NSObject(key)
    , m_identifier(std::move(identifier))
{
}

std::string NSLocale::canonicalLocaleIdentifierFromString(const std::string& string)
{
    std::string id = string;
    std::replace(id.begin(), id.end(), '-', '_');
    return id;
}

Ref<NSLocale> NSLocale::localeWithLocaleIdentifier(const std::string& identifier)
{
    return make<NSLocale>(canonicalLocaleIdentifierFromString(identifier));
}

Ref<NSLocale> NSLocale::currentLocale()
{
    auto& state = localeState();
    std::lock_guard guard(state.lock);
    if (!state.current) {
        std::string id = state.pinnedIdentifier ? *state.pinnedIdentifier : icu::Locale::getDefault().getName();
        state.current = localeWithLocaleIdentifier(id);
    }
    return state.current;
}

Ref<NSLocale> NSLocale::systemLocale()
{
    return localeWithLocaleIdentifier("");
}

std::vector<std::string> NSLocale::preferredLanguages()
{
    {
        auto& state = localeState();
        std::lock_guard guard(state.lock);
        if (state.pinnedLanguages)
            return *state.pinnedLanguages;
    }
    std::string language = currentLocale()->languageCode();
    return { language.empty() ? std::string("en") : language };
}

void NSLocale::setCurrentLocaleForTesting(const std::string& identifier)
{
    auto& state = localeState();
    std::lock_guard guard(state.lock);
    state.pinnedIdentifier = identifier;
    state.current = nullptr;
}

void NSLocale::setPreferredLanguagesForTesting(std::vector<std::string> languages)
{
    auto& state = localeState();
    std::lock_guard guard(state.lock);
    state.pinnedLanguages = std::move(languages);
}

void NSLocale::resetForTesting()
{
    auto& state = localeState();
    std::lock_guard guard(state.lock);
    state.pinnedIdentifier.reset();
    state.pinnedLanguages.reset();
    state.current = nullptr;
}

static Value nonEmpty(const std::string& s)
{
    return s.empty() ? Value() : Value(s);
}

Value NSLocale::objectForKey(const std::string& key) const
{
    icu::Locale locale = icuLocale(this);
    if (key == NSLocaleIdentifier)
        return Value(m_identifier);
    if (key == NSLocaleLanguageCode)
        return nonEmpty(locale.getLanguage());
    if (key == NSLocaleCountryCode)
        return nonEmpty(locale.getCountry());
    if (key == NSLocaleScriptCode)
        return nonEmpty(locale.getScript());
    if (key == NSLocaleVariantCode)
        return nonEmpty(locale.getVariant());
    if (key == NSLocaleCalendar) {
        UErrorCode status = U_ZERO_ERROR;
        char buffer[64] = {};
        int32_t length = locale.getKeywordValue("calendar", buffer, sizeof buffer - 1, status);
        return Value(U_SUCCESS(status) && length > 0 ? std::string(buffer, length) : std::string("gregorian"));
    }
    if (key == NSLocaleDecimalSeparator || key == NSLocaleGroupingSeparator || key == NSLocaleCurrencySymbol
        || key == NSLocaleCurrencyCode) {
        UErrorCode status = U_ZERO_ERROR;
        icu::DecimalFormatSymbols symbols(locale, status);
        if (U_FAILURE(status))
            return {};
        auto symbol = key == NSLocaleDecimalSeparator ? icu::DecimalFormatSymbols::kDecimalSeparatorSymbol
            : key == NSLocaleGroupingSeparator        ? icu::DecimalFormatSymbols::kGroupingSeparatorSymbol
            : key == NSLocaleCurrencySymbol           ? icu::DecimalFormatSymbols::kCurrencySymbol
                                                      : icu::DecimalFormatSymbols::kIntlCurrencySymbol;
        std::string text = fromIcu(symbols.getSymbol(symbol));
        if (key == NSLocaleCurrencyCode && (locale.getCountry()[0] == 0 || text == "XXX"))
            return {};
        return Value(text);
    }
    if (key == NSLocaleUsesMetricSystem || key == NSLocaleMeasurementSystem) {
        UErrorCode status = U_ZERO_ERROR;
        UMeasurementSystem system = ulocdata_getMeasurementSystem(locale.getName(), &status);
        if (U_FAILURE(status))
            system = UMS_SI;
        if (key == NSLocaleUsesMetricSystem)
            return Value(system == UMS_SI);
        return Value(system == UMS_US ? "U.S." : system == UMS_UK ? "U.K." : "Metric");
    }
    return {};
}

Value NSLocale::displayNameForKeyValue(const std::string& key, const std::string& value) const
{
    icu::Locale displayLocale = icuLocale(this);
    icu::UnicodeString name;
    if (key == NSLocaleIdentifier) {
        icu::Locale::createFromName(canonicalLocaleIdentifierFromString(value).c_str())
            .getDisplayName(displayLocale, name);
    } else if (key == NSLocaleLanguageCode) {
        icu::Locale(value.c_str()).getDisplayLanguage(displayLocale, name);
    } else if (key == NSLocaleCountryCode) {
        icu::Locale("und", value.c_str()).getDisplayCountry(displayLocale, name);
    } else if (key == NSLocaleScriptCode) {
        icu::Locale::createFromName(("und_" + value).c_str()).getDisplayScript(displayLocale, name);
    } else if (key == NSLocaleCurrencyCode) {
        icu::UnicodeString code = toIcu(value);
        UErrorCode status = U_ZERO_ERROR;
        int32_t length = 0;
        const UChar* text = ucurr_getName(
            code.getTerminatedBuffer(), displayLocale.getName(), UCURR_LONG_NAME, nullptr, &length, &status);
        if (U_FAILURE(status) || status == U_USING_DEFAULT_WARNING || !text)
            return {};
        name = icu::UnicodeString(text, length);
    } else {
        return {};
    }
    std::string text = fromIcu(name);
    // ICU echoes an unknown code back; the platform answers nil for it.
    if (text.empty() || text == value)
        return {};
    return Value(text);
}

std::string NSLocale::languageCode() const
{
    return objectForKey(NSLocaleLanguageCode).string();
}
std::string NSLocale::countryCode() const
{
    return objectForKey(NSLocaleCountryCode).string();
}
std::string NSLocale::decimalSeparator() const
{
    return objectForKey(NSLocaleDecimalSeparator).string();
}
std::string NSLocale::groupingSeparator() const
{
    return objectForKey(NSLocaleGroupingSeparator).string();
}

std::string NSLocale::description() const
{
    return "<NSLocale: " + m_identifier + ">";
}

bool NSLocale::isEqual(const NSObject* other) const
{
    auto* locale = dynamic_cast<const NSLocale*>(other);
    return locale && locale->m_identifier == m_identifier;
}

size_t NSLocale::hash() const
{
    return std::hash<std::string> {}(m_identifier);
}

namespace IcuSupport {

icu::Locale icuLocale(const NSLocale* locale)
{
    if (!locale)
        return icuLocale(NSLocale::currentLocale());
    if (locale->localeIdentifier().empty())
        return icu::Locale::getRoot();
    return icu::Locale::createFromName(locale->localeIdentifier().c_str());
}

icu::Locale icuLocale(const Ref<NSLocale>& locale)
{
    return icuLocale(locale.get());
}

} // namespace IcuSupport
