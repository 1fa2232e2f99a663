#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <string>
#include <vector>

// Keys for NSLocale::objectForKey and displayNameForKeyValue.
inline constexpr const char* NSLocaleIdentifier = "NSLocaleIdentifier";
inline constexpr const char* NSLocaleLanguageCode = "NSLocaleLanguageCode";
inline constexpr const char* NSLocaleCountryCode = "NSLocaleCountryCode";
inline constexpr const char* NSLocaleScriptCode = "NSLocaleScriptCode";
inline constexpr const char* NSLocaleVariantCode = "NSLocaleVariantCode";
inline constexpr const char* NSLocaleDecimalSeparator = "NSLocaleDecimalSeparator";
inline constexpr const char* NSLocaleGroupingSeparator = "NSLocaleGroupingSeparator";
inline constexpr const char* NSLocaleCurrencySymbol = "NSLocaleCurrencySymbol";
inline constexpr const char* NSLocaleCurrencyCode = "NSLocaleCurrencyCode";
inline constexpr const char* NSLocaleUsesMetricSystem = "NSLocaleUsesMetricSystem";
inline constexpr const char* NSLocaleMeasurementSystem = "NSLocaleMeasurementSystem";
inline constexpr const char* NSLocaleCalendar = "NSLocaleCalendar";

// A locale: language, region ("US", "DE", or a UN M.49 area such as "150"), script and the
// conventions that follow from them. Immutable, so any thread. The current locale and the
// preferred languages are process-wide; tests pin them with the setters below.
class NSLocale final : public NSObject {
    VX_OBJECT(NSLocale, NSObject)
public:
    NSLocale(Passkey, std::string identifier);

    // Identifiers as "en_US", "es_150", "zh_Hans_CN" or "de-DE"; hyphens become underscores.
    static Ref<NSLocale> localeWithLocaleIdentifier(const std::string& identifier);
    static Ref<NSLocale> initWithLocaleIdentifier(const std::string& identifier)
    {
        return localeWithLocaleIdentifier(identifier);
    }
    // The user's locale: pinned by a test, else the host's.
    static Ref<NSLocale> currentLocale();
    static Ref<NSLocale> autoupdatingCurrentLocale() { return currentLocale(); }
    // The neutral locale (identifier "").
    static Ref<NSLocale> systemLocale();
    // The user's languages in order of preference ("en", "fr", "zh-Hans" ...): pinned by a test,
    // else the current locale's language.
    static std::vector<std::string> preferredLanguages();
    static std::string canonicalLocaleIdentifierFromString(const std::string& string);

    // Test seams. Each setter replaces the host's value until resetForTesting.
    static void setCurrentLocaleForTesting(const std::string& identifier);
    static void setPreferredLanguagesForTesting(std::vector<std::string> languages);
    static void resetForTesting();

    const std::string& localeIdentifier() const { return m_identifier; }
    // The value for a key above; nil when the locale has none (a locale without a region has
    // no NSLocaleCountryCode). NSLocaleUsesMetricSystem answers a bool.
    Value objectForKey(const std::string& key) const;
    // The name, in this locale's language, of a value for a key: for NSLocaleIdentifier
    // "fr_FR" in "en_US" gives "French (France)". Nil when there is no name.
    Value displayNameForKeyValue(const std::string& key, const std::string& value) const;

    // Shorthands for objectForKey; "" when absent.
    std::string languageCode() const;
    std::string countryCode() const;
    std::string decimalSeparator() const;
    std::string groupingSeparator() const;

    std::string description() const override;
    bool isEqual(const NSObject* other) const override;
    size_t hash() const override;

private:
    std::string m_identifier;
};
