#pragma once

#include "app/core/KESTLocation.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <array>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class NSDateFormatter;
class NSNumberFormatter;
class UIColor;

// Turns raw flight values into text in the user's units (speeds, altitudes, distances,
// headings, dates, aircraft ages, status colours), parses schedule records, and answers
// questions from the read-only lookup database "vxlookup.db" of the bundle.
//
// The formatting operations share two formatters and are meant for the main thread (a lock keeps
// other callers safe). The lookups share nothing: each opens the database, runs one statement
// with the code bound as a parameter, and closes it, so they may run on any thread.
class KESTFlightDataManager : public NSObject {
    VX_OBJECT(KESTFlightDataManager, NSObject)
public:
    explicit KESTFlightDataManager(Passkey);

    static Ref<KESTFlightDataManager> sharedInstance();
    static Ref<KESTFlightDataManager> init();
    // Test-only: drops the shared instance (its formatters follow the locale of their creation).
    static void resetSharedInstanceForTesting();
    // Test-only: reads the lookup database from this file instead of the bundle's; nullopt
    // goes back to the bundle.
    static void setDatabasePathForTesting(std::optional<std::string> path);

    // Units, by the settings in force at the call.
    double convertedSpeedWithKnots(double knots) const;
    double convertedAltitudeWithFeet(double feet) const;
    double convertedDistanceWithMiles(double miles) const;
    std::optional<std::string> formattedSpeedWithKnots(double knots) const;
    std::optional<std::string> formattedAltitudeWithFeet(double feet) const;
    std::optional<std::string> formattedDistanceWithMiles(double miles) const;
    std::string formattedSpeedUnit() const;
    std::string formattedAltitudeUnit() const;
    std::string formattedHeadingWithValue(double degrees) const;

    // Dates as "dd-MM-yy".
    std::string formattedDateWithString(const std::string& text) const;
    std::string ageOfAircraftSinceDate(const std::string& text) const;
    // 0 landed, 1 delayed, 2 ahead of schedule, 3 on time; black for anything else.
    Ref<UIColor> colorForFlightStatus(const Value& status) const;

    // Lookups.
    std::optional<std::array<std::string, 3>> getAircraftFullNameArray(const std::string& typeDesignator) const;
    // "name, city, country", "Unknown" (localized) for a missing code, "*", "????" or one
    // character, nullopt otherwise when nothing is found.
    std::optional<std::string> getAirportFullName(const std::optional<std::string>& code) const;
    std::optional<std::array<std::string, 3>> getAirportFullNameArray(const std::optional<std::string>& code) const;
    std::optional<KESTLocation> getAirportLocation(const std::optional<std::string>& code) const;
    // One [code, name, city, country] per component of the route ("N/A" three times when the
    // component is not a known airport).
    std::vector<std::array<std::string, 4>> getExpandedAirportInfoFromRoute(const std::string& route) const;
    // {"totalDistance", "distanceFromDeparture", "percentageIntoJourney", "depaptName",
    // "arraptName"} with distances in miles, or nil.
    Value getAirportDistancesWithDepartureAptAndArrivalAptAndCurrentPlaneLocation(
        const std::string& departure, const std::string& arrival, const KESTLocation& plane) const;
    std::optional<std::string> getAirlineName(const std::string& code) const;
    std::optional<std::string> getAirlineCallsign(const std::string& code) const;
    std::optional<std::string> getAirlineICAO(const std::string& code) const;
    std::optional<std::string> getAirlineCountryFromPrefix(const std::string& prefix) const;

    // Schedule records: 84 text fields into a dictionary with formatted companions, or nil for
    // fewer than 84 fields.
    Value parseOAGData(const Value& record) const;
    std::optional<std::string> formattedHHMMTimeWithValue(const std::optional<std::string>& value) const;
    std::optional<std::string> formattedArrivalDayWithValue(const std::optional<std::string>& value) const;
    std::optional<std::string> formattedDaysWithValue(const std::optional<std::string>& value) const;
    std::optional<std::string> formattedServiceTypeWithValue(const std::optional<std::string>& value) const;
    std::vector<std::string> formattedPassengerClassesWithValue(const std::string& value) const;
    std::optional<std::string> formattedFreightClassesWithValue(const std::optional<std::string>& value) const;
    std::optional<std::string> formatCodedStringBasedOnDictionaryWithCharLength(
        const std::optional<std::string>& text, const std::map<std::string, std::string>& table, size_t length) const;
    std::optional<std::vector<std::string>> decodeFullRouting(const std::optional<std::string>& text) const;

private:
    std::string formatWhole(double value) const;
    Ref<class NSDate> parseBuildDate(const std::string& text) const;

    mutable std::mutex m_formatterLock;
    Ref<NSNumberFormatter> m_numberFormatter;
    Ref<NSDateFormatter> m_dateFormatter;
};
