#include "foundation/NSLocale.h"

#include "foundation/NSDate.h"
#include "foundation/NSTimeZone.h"
#include "testing/FixedClock.h"

#include <gtest/gtest.h>

TEST(NSLocale, ComponentsOfIdentifiers)
{
    struct Case {
        const char* identifier;
        const char* expectedIdentifier;
        Value language;
        Value country;
        const char* decimal;
    } cases[] = {
        { "en_US", "en_US", "en", "US", "." },
        { "es_150", "es_150", "es", "150", "," },
        { "de-DE", "de_DE", "de", "DE", "," },
        { "en", "en", "en", Value(), "." },
        { "zh_Hans_CN", "zh_Hans_CN", "zh", "CN", "." },
        { "en_US_POSIX", "en_US_POSIX", "en", "US", "." },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.identifier);
        auto locale = NSLocale::localeWithLocaleIdentifier(c.identifier);
        EXPECT_EQ(locale->localeIdentifier(), c.expectedIdentifier);
        EXPECT_TRUE(locale->objectForKey(NSLocaleLanguageCode).isEqual(c.language));
        Value country = locale->objectForKey(NSLocaleCountryCode);
        EXPECT_EQ(country.isNil(), c.country.isNil());
        EXPECT_TRUE(country.isNil() || country.isEqual(c.country)) << country.description();
        EXPECT_EQ(locale->decimalSeparator(), c.decimal);
    }
    auto english = NSLocale::localeWithLocaleIdentifier("en_US");
    EXPECT_EQ(english->displayNameForKeyValue(NSLocaleIdentifier, "fr_FR").string(), "French (France)");
    EXPECT_EQ(english->displayNameForKeyValue(NSLocaleCountryCode, "150").string(), "Europe");
    EXPECT_EQ(english->displayNameForKeyValue(NSLocaleLanguageCode, "de").string(), "German");
    EXPECT_TRUE(english->displayNameForKeyValue("NoSuchKey", "de").isNil());
    EXPECT_TRUE(english->objectForKey(NSLocaleUsesMetricSystem).isEqual(Value(false)));
    EXPECT_TRUE(
        NSLocale::localeWithLocaleIdentifier("de_DE")->objectForKey(NSLocaleUsesMetricSystem).isEqual(Value(true)));
}

TEST(NSLocale, CurrentLocaleAndPreferredLanguagesArePinnable)
{
    {
        PinnedTime pinned("es_150", "UTC");
        EXPECT_EQ(NSLocale::currentLocale()->localeIdentifier(), "es_150");
        EXPECT_EQ(NSLocale::currentLocale()->countryCode(), "150");
        EXPECT_EQ(NSLocale::preferredLanguages(), std::vector<std::string> { "es" });
        NSLocale::setPreferredLanguagesForTesting({ "de", "en-GB", "fr" });
        EXPECT_EQ(NSLocale::preferredLanguages(), (std::vector<std::string> { "de", "en-GB", "fr" }));
        NSLocale::setCurrentLocaleForTesting("en");
        EXPECT_EQ(NSLocale::currentLocale()->countryCode(), "");
        EXPECT_TRUE(NSLocale::currentLocale()->objectForKey(NSLocaleCountryCode).isNil());
    }
    // Reset returns to the host's values, whatever they are.
    EXPECT_FALSE(NSLocale::preferredLanguages().empty());
    EXPECT_NE(NSLocale::preferredLanguages(), (std::vector<std::string> { "de", "en-GB", "fr" }));
}

TEST(NSTimeZone, OffsetsAbbreviationsAndDaylightSaving)
{
    struct Case {
        Ref<NSTimeZone> zone;
        const char* name;
        double at;
        NSInteger offset;
        bool daylight;
        const char* abbreviation;
    } cases[] = {
        { NSTimeZone::timeZoneWithName("America/New_York"), "America/New_York", 1394348399, -18000, false, "EST" },
        { NSTimeZone::timeZoneWithName("America/New_York"), "America/New_York", 1394348400, -14400, true, "EDT" },
        { NSTimeZone::timeZoneWithName("Europe/Berlin"), "Europe/Berlin", 1404216000, 7200, true, "GMT+2" },
        { NSTimeZone::timeZoneWithName("UTC"), "UTC", 1404216000, 0, false, "UTC" },
        { NSTimeZone::timeZoneWithName("Asia/Kolkata"), "Asia/Kolkata", 1404216000, 19800, false, "GMT+5:30" },
        { NSTimeZone::timeZoneForSecondsFromGMT(19800), "GMT+0530", 1404216000, 19800, false, "GMT+5:30" },
        { NSTimeZone::timeZoneForSecondsFromGMT(-10800), "GMT-0300", 1404216000, -10800, false, "GMT-3" },
        { NSTimeZone::timeZoneForSecondsFromGMT(0), "GMT", 1404216000, 0, false, "GMT" },
        { NSTimeZone::timeZoneWithAbbreviation("EST"), "America/New_York", 1404216000, -14400, true, "EDT" },
        { NSTimeZone::timeZoneWithAbbreviation("GMT+2"), "GMT+0200", 1404216000, 7200, false, "GMT+2" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.zone);
        auto date = NSDate::dateWithTimeIntervalSince1970(c.at);
        EXPECT_EQ(c.zone->name(), c.name);
        EXPECT_EQ(c.zone->secondsFromGMTForDate(date), c.offset);
        EXPECT_EQ(c.zone->isDaylightSavingTimeForDate(date), c.daylight);
        EXPECT_EQ(c.zone->abbreviationForDate(date), c.abbreviation);
    }
    EXPECT_EQ(NSTimeZone::timeZoneWithName("Mars/Olympus_Mons"), nullptr);
    EXPECT_EQ(NSTimeZone::timeZoneWithName(""), nullptr);
    EXPECT_EQ(NSTimeZone::timeZoneForSecondsFromGMT(19 * 3600), nullptr);
    EXPECT_EQ(NSTimeZone::timeZoneWithAbbreviation("GMT+2x"), nullptr);
    EXPECT_TRUE(
        NSTimeZone::timeZoneWithName("Europe/Paris")->isEqual(NSTimeZone::timeZoneWithName("Europe/Paris").get()));
    EXPECT_FALSE(
        NSTimeZone::timeZoneWithName("Europe/Paris")->isEqual(NSTimeZone::timeZoneWithName("Europe/Berlin").get()));
}

TEST(NSTimeZone, DefaultZoneIsPinnableAndSettable)
{
    {
        PinnedTime pinned("en_US", "Asia/Tokyo");
        EXPECT_EQ(NSTimeZone::systemTimeZone()->name(), "Asia/Tokyo");
        EXPECT_EQ(NSTimeZone::defaultTimeZone()->name(), "Asia/Tokyo");
        EXPECT_EQ(NSTimeZone::localTimeZone()->secondsFromGMT(), 9 * 3600);
        NSTimeZone::setDefaultTimeZone(NSTimeZone::timeZoneWithName("UTC"));
        EXPECT_EQ(NSTimeZone::defaultTimeZone()->name(), "UTC");
        EXPECT_EQ(NSTimeZone::systemTimeZone()->name(), "Asia/Tokyo");
        NSTimeZone::setDefaultTimeZoneForTesting("No/Such_Zone");
        EXPECT_EQ(NSTimeZone::defaultTimeZone()->name(), "UTC");
    }
    EXPECT_TRUE(NSTimeZone::defaultTimeZone());
}
