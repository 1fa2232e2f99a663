#include "app/core/KESTFlightDataManager.h"

#include "app/tests/AppTestSupport.h"
#include "graphics/UIColor.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Ref<KESTFlightDataManager> manager()
{
    return KESTFlightDataManager::sharedInstance();
}

} // namespace

TEST(KESTFlightDataManager, FormatsUnitsByTheSettingsAndLocale)
{
    enum class Quantity { Speed, Altitude, Distance };
    struct Case {
        const char* locale;
        Quantity quantity;
        int32_t unit;
        double value;
        std::optional<std::string> text;
        double converted;
    };
    const Case cases[] = {
        { "en_US", Quantity::Speed, 0, 450, "450kts", 450 },
        { "en_US", Quantity::Speed, 1, 100, "115mph", 115.077945 },
        { "en_US", Quantity::Speed, 2, 100, "185km/h", 185.2 },
        { "en_US", Quantity::Speed, 2, 450, "833km/h", 833.4 },
        { "en_US", Quantity::Speed, 5, 100, std::nullopt, 100 },
        { "en_US", Quantity::Altitude, 0, 35000, "35,000ft", 35000 },
        { "en_US", Quantity::Altitude, 1, 35000, "10,668m", 10668 },
        { "en_US", Quantity::Altitude, 1, 1000, "305m", 304.8 },
        { "de_DE", Quantity::Altitude, 0, 35000, "35.000ft", 35000 },
        { "en_US", Quantity::Altitude, -1, 1000, std::nullopt, 1000 },
        { "en_US", Quantity::Distance, 0, 1234.4, "1,234 miles", 1234.4 },
        { "en_US", Quantity::Distance, 1, 100, "161 km", 160.9344 },
        { "en_US", Quantity::Distance, 2, 100, std::nullopt, 100 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.locale << " quantity " << int(c.quantity) << " unit " << c.unit
                                        << " value " << c.value);
        AppTestScope scope(c.locale);
        auto settings = KESTSettingsManager::sharedInstance();
        auto flights = manager();
        std::optional<std::string> text;
        double converted = 0;
        switch (c.quantity) {
        case Quantity::Speed:
            settings->setValueForSetting(Value(c.unit), "kSpeedUnit");
            text = flights->formattedSpeedWithKnots(c.value);
            converted = flights->convertedSpeedWithKnots(c.value);
            break;
        case Quantity::Altitude:
            settings->setValueForSetting(Value(c.unit), "kAltitudeUnit");
            text = flights->formattedAltitudeWithFeet(c.value);
            converted = flights->convertedAltitudeWithFeet(c.value);
            break;
        case Quantity::Distance:
            settings->setValueForSetting(Value(c.unit), "kDistanceUnit");
            text = flights->formattedDistanceWithMiles(c.value);
            converted = flights->convertedDistanceWithMiles(c.value);
            break;
        }
        EXPECT_EQ(text, c.text);
        EXPECT_NEAR(converted, c.converted, 1e-6);
    }
}

TEST(KESTFlightDataManager, UnitNamesHeadingsAndStatusColours)
{
    AppTestScope scope;
    auto settings = KESTSettingsManager::sharedInstance();
    auto flights = manager();
    const std::pair<int32_t, const char*> speeds[] = { { 0, "kts" }, { 1, "mph" }, { 2, "km/h" }, { 9, "kts" } };
    for (auto [unit, name] : speeds) {
        settings->setSpeedUnit(unit);
        EXPECT_EQ(flights->formattedSpeedUnit(), name);
    }
    settings->setAltitudeUnit(1);
    EXPECT_EQ(flights->formattedAltitudeUnit(), "m");
    settings->setAltitudeUnit(3);
    EXPECT_EQ(flights->formattedAltitudeUnit(), "ft");

    EXPECT_EQ(flights->formattedHeadingWithValue(359.6), "360°");
    EXPECT_EQ(flights->formattedHeadingWithValue(2.5), "2°");
    EXPECT_EQ(flights->formattedHeadingWithValue(0), "0°");

    struct ColourCase {
        Value status;
        int red, green, blue;
    };
    const ColourCase colours[] = {
        { Value(0), 31, 149, 217 },
        { Value(1), 217, 31, 31 },
        { Value(2), 140, 200, 35 },
        { Value(3), 140, 200, 35 },
        { Value(4), 0, 0, 0 },
    };
    for (const auto& c : colours) {
        SCOPED_TRACE(c.status.intValue());
        CGFloat r = -1, g = -1, b = -1, a = -1;
        ASSERT_TRUE(flights->colorForFlightStatus(c.status)->getRedGreenBlueAlpha(&r, &g, &b, &a));
        EXPECT_EQ(std::lround(r * 255), c.red);
        EXPECT_EQ(std::lround(g * 255), c.green);
        EXPECT_EQ(std::lround(b * 255), c.blue);
        EXPECT_EQ(a, 1);
    }
}

TEST(KESTFlightDataManager, DatesAndAircraftAges)
{
    AppTestScope scope;
    ScopedVirtualClock clock; // 2014-01-01 00:00:00 UTC
    auto flights = manager();
    EXPECT_EQ(flights->formattedDateWithString("05-03-98"), "3/5/98");
    EXPECT_EQ(flights->formattedDateWithString("1998-03-05"), "1998-03-05");

    const std::pair<const char*, const char*> ages[] = {
        { "01-01-02", "| 12 years old" },
        { "01-01-13", "| 1 year old" },
        { "02-01-12", "| 1 year old" },
        { "01-02-13", "| 11 months old" },
        { "01-12-13", "| 1 month old" },
        { "15-12-13", "| 0 months old" },
        { "01-06-14", "| 0 months old" }, // built in the future: no age, not a huge number
        { "2013-01-01", "" },
        { "", "" },
    };
    for (auto [built, text] : ages) {
        SCOPED_TRACE(built);
        EXPECT_EQ(flights->ageOfAircraftSinceDate(built), text);
    }
}

TEST(KESTFlightDataManager, LooksUpAircraftAirportsAirlinesAndPrefixes)
{
    AppTestScope scope;
    scope.installLookupFixture();
    auto flights = manager();

    using Names = std::array<std::string, 3>;
    EXPECT_EQ(flights->getAircraftFullNameArray("B738"), (Names { "Boeing", "737-800", "Twin Jet Engines" }));
    EXPECT_EQ(flights->getAircraftFullNameArray("A320"), (Names { "Airbus", "A320", "Twin  Engines" }));
    EXPECT_EQ(flights->getAircraftFullNameArray(""), std::nullopt);
    EXPECT_EQ(flights->getAircraftFullNameArray("ZZZZ"), std::nullopt);

    struct AirportCase {
        std::optional<std::string> code;
        std::optional<std::string> fullName;
        bool hasRow;
    };
    const AirportCase airports[] = {
        { "LHR", "Heathrow, London, United Kingdom", true },
        { "KJFK", "John F Kennedy Intl, New York, United States", true },
        { std::nullopt, "Unknown", false },
        { "*", "Unknown", false },
        { "????", "Unknown", false },
        { "L", "Unknown", false },
        { "EGLLX", std::nullopt, false },
        { "XXX", std::nullopt, false },
        { "lhr", std::nullopt, false },
        { "LHR' OR '1'='1", std::nullopt, false },
        { "' OR 1 --", std::nullopt, false },
    };
    for (const auto& c : airports) {
        SCOPED_TRACE(c.code.value_or("(none)"));
        EXPECT_EQ(flights->getAirportFullName(c.code), c.fullName);
        EXPECT_EQ(flights->getAirportFullNameArray(c.code).has_value(), c.hasRow);
        EXPECT_EQ(flights->getAirportLocation(c.code).has_value(), c.hasRow);
    }
    auto heathrow = flights->getAirportLocation("EGLL");
    ASSERT_TRUE(heathrow);
    EXPECT_EQ(heathrow->latitude, static_cast<double>(51.4706f));
    EXPECT_EQ(heathrow->longitude, static_cast<double>(-0.461941f));

    EXPECT_EQ(flights->getAirlineName("BA"), "British Airways");
    EXPECT_EQ(flights->getAirlineName("XQ"), "New Carrier"); // the last of several rows
    EXPECT_EQ(flights->getAirlineName("BAWX"), std::nullopt);
    EXPECT_EQ(flights->getAirlineCallsign("BAW"), "SPEEDBIRD");
    EXPECT_EQ(flights->getAirlineCallsign("OLD"), std::nullopt); // one-character callsign
    EXPECT_EQ(flights->getAirlineCallsign("XQ"), std::nullopt); // first row is the short one
    EXPECT_EQ(flights->getAirlineICAO("BA"), "BAW");
    EXPECT_EQ(flights->getAirlineICAO("BAW"), "BAW");
    EXPECT_EQ(flights->getAirlineICAO("' OR ''='"), std::nullopt);
    EXPECT_EQ(flights->getAirlineCountryFromPrefix("G"), "United Kingdom");
    EXPECT_EQ(flights->getAirlineCountryFromPrefix("N"), std::nullopt);
}

TEST(KESTFlightDataManager, ExpandsRoutesAndMeasuresProgress)
{
    AppTestScope scope;
    scope.installLookupFixture();
    auto flights = manager();

    using Entry = std::array<std::string, 4>;
    EXPECT_EQ(flights->getExpandedAirportInfoFromRoute("LHR-KJFK"),
        (std::vector<Entry> { { "LHR", "Heathrow", "London", "United Kingdom" },
            { "KJFK", "John F Kennedy Intl", "New York", "United States" } }));
    EXPECT_EQ(flights->getExpandedAirportInfoFromRoute("LHR->CDG"),
        (std::vector<Entry> { { "LHR", "Heathrow", "London", "United Kingdom" }, { "", "N/A", "N/A", "N/A" },
            { "CDG", "Charles de Gaulle", "Paris", "France" } }));
    EXPECT_EQ(flights->getExpandedAirportInfoFromRoute("ABC.LFPG"),
        (std::vector<Entry> { { "ABC", "N/A", "N/A", "N/A" }, { "LFPG", "Charles de Gaulle", "Paris", "France" } }));

    KESTLocation atHeathrow { 51.4706, -0.461941 };
    Value progress = flights->getAirportDistancesWithDepartureAptAndArrivalAptAndCurrentPlaneLocation(
        "LHR", "KJFK", KESTLocation { 50.0, -40.0 });
    ASSERT_TRUE(progress.isDictionary());
    EXPECT_NEAR(progress["totalDistance"].doubleValue(), 3451, 10); // about 5555 km
    EXPECT_EQ(progress["depaptName"].string(), "Heathrow");
    EXPECT_EQ(progress["arraptName"].string(), "John F Kennedy Intl");
    double expected = progress["distanceFromDeparture"].doubleValue() / progress["totalDistance"].doubleValue() * 100;
    EXPECT_EQ(progress["percentageIntoJourney"].intValue(), static_cast<int32_t>(expected));
    EXPECT_GT(progress["percentageIntoJourney"].intValue(), 40);

    Value same
        = flights->getAirportDistancesWithDepartureAptAndArrivalAptAndCurrentPlaneLocation("EGLL", "LHR", atHeathrow);
    ASSERT_TRUE(same.isDictionary());
    EXPECT_EQ(same["totalDistance"].doubleValue(), 0);
    EXPECT_EQ(same["percentageIntoJourney"].intValue(), 100);

    Value beyond = flights->getAirportDistancesWithDepartureAptAndArrivalAptAndCurrentPlaneLocation(
        "LHR", "CDG", KESTLocation { 40, 10 });
    EXPECT_EQ(beyond["percentageIntoJourney"].intValue(), 100);

    for (auto [from, to] : { std::pair { "*", "JFK" }, { "LHR", "????" }, { "LHR", "XXX" }, { "lhr", "JFK" } }) {
        SCOPED_TRACE(std::string(from) + " " + to);
        EXPECT_TRUE(
            flights->getAirportDistancesWithDepartureAptAndArrivalAptAndCurrentPlaneLocation(from, to, atHeathrow)
                .isNil());
    }
}

TEST(KESTFlightDataManager, MissingDatabaseAnswersNothing)
{
    AppTestScope scope;
    KESTFlightDataManager::setDatabasePathForTesting(scope.sandbox().path("absent/vxlookup.db"));
    auto flights = manager();
    EXPECT_EQ(flights->getAirportFullName("LHR"), std::nullopt);
    EXPECT_EQ(flights->getAirportFullName("*"), "Unknown");
    EXPECT_EQ(flights->getAircraftFullNameArray("B738"), std::nullopt);
    EXPECT_EQ(flights->getAirlineICAO("BA"), std::nullopt);
    EXPECT_EQ(flights->decodeFullRouting("LHRJFK"), std::vector<std::string> {});
    EXPECT_EQ(flights->getExpandedAirportInfoFromRoute("LHR"),
        (std::vector<std::array<std::string, 4>> { { "LHR", "N/A", "N/A", "N/A" } }));
}
