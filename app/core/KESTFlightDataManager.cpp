#include "app/core/KESTFlightDataManager.h"

#include "app/core/KESTSettingsManager.h"
#include "foundation/Locked.h"
#include "foundation/NSBundle.h"
#include "foundation/NSCalendar.h"
#include "foundation/NSDate.h"
#include "foundation/NSDateComponents.h"
#include "foundation/NSDateFormatter.h"
#include "foundation/NSLocale.h"
#include "foundation/NSNumberFormatter.h"
#include "foundation/NSString.h"
#include "graphics/UIColor.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

std::mutex s_sharedLock;
Ref<KESTFlightDataManager> s_shared;
Locked<std::optional<std::string>> s_databasePathForTesting;

std::string databasePath()
{
    if (auto path = s_databasePathForTesting.get())
        return *path;
    return NSBundle::mainBundle()->resourcePath() + "/vxlookup.db";
}

// One row of a lookup: every column as text (SQL NULL and columns past the end read as "")
// and as a real number.
class LookupRow {
public:
    const std::string& text(size_t column) const
    {
        static const std::string empty;
        return column < m_text.size() ? m_text[column] : empty;
    }
    double real(size_t column) const { return column < m_real.size() ? m_real[column] : 0; }

    std::vector<std::string> m_text;
    std::vector<double> m_real;
};

struct LookupResult {
    bool opened { false };
    std::vector<LookupRow> rows;
};

// Opens the database read-only, runs one statement with the parameters bound as texts, reads
// up to `maxRows` rows and closes everything on every path. The codes come from the live feed
// and from the user, so they are never pasted into the statement.
LookupResult runLookup(const char* sql, std::initializer_list<std::string> parameters, size_t maxRows = SIZE_MAX)
{
    LookupResult result;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(databasePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return result;
    }
    result.opened = true;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK && statement) {
        int index = 1;
        for (const auto& parameter : parameters)
            sqlite3_bind_text(
                statement, index++, parameter.data(), static_cast<int>(parameter.size()), SQLITE_TRANSIENT);
        while (result.rows.size() < maxRows && sqlite3_step(statement) == SQLITE_ROW) {
            LookupRow row;
            int columns = sqlite3_column_count(statement);
            for (int column = 0; column < columns; ++column) {
                auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
                row.m_text.emplace_back(text ? text : "");
                row.m_real.push_back(sqlite3_column_double(statement, column));
            }
            result.rows.push_back(std::move(row));
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return result;
}

bool isUnnamedAirport(const std::string& code)
{
    return code == "*" || code == "????";
}

// The statement that finds an airport by a code of 3 (IATA) or 4 (ICAO) characters.
const char* airportStatement(const std::string& code)
{
    switch (NSString::length(code)) {
    case 3:
        return "select * from airports where IATA = ?";
    case 4:
        return "select * from airports where ICAO = ?";
    default:
        return nullptr;
    }
}

const char* airlineStatement(const std::string& code)
{
    switch (NSString::length(code)) {
    case 2:
        return "select * from airlines where IATA = ?";
    case 3:
        return "select * from airlines where ICAO = ?";
    default:
        return nullptr;
    }
}

// The first matching airport row, when the code is one the airport lookups search for.
std::optional<LookupRow> airportRow(const std::optional<std::string>& code)
{
    if (!code || isUnnamedAirport(*code))
        return std::nullopt;
    const char* sql = airportStatement(*code);
    if (!sql)
        return std::nullopt;
    auto result = runLookup(sql, { *code }, 1);
    if (result.rows.empty())
        return std::nullopt;
    return std::move(result.rows.front());
}

constexpr double metresToMiles = 0.000621371192;

} // namespace

KESTFlightDataManager::KESTFlightDataManager(Passkey key)
    : NSObject(key)
{
}

Ref<KESTFlightDataManager> KESTFlightDataManager::sharedInstance()
{
    std::lock_guard guard(s_sharedLock);
    if (!s_shared)
        s_shared = init();
    return s_shared;
}

Ref<KESTFlightDataManager> KESTFlightDataManager::init()
{
    auto manager = make<KESTFlightDataManager>();
    manager->m_numberFormatter = NSNumberFormatter::init();
    manager->m_numberFormatter->setNumberStyle(NSNumberFormatterDecimalStyle);
    manager->m_numberFormatter->setUsesGroupingSeparator(true);
    manager->m_numberFormatter->setMaximumFractionDigits(0);
    manager->m_numberFormatter->setLocale(NSLocale::currentLocale());
    manager->m_dateFormatter = NSDateFormatter::init();
    return manager;
}

void KESTFlightDataManager::resetSharedInstanceForTesting()
{
    std::lock_guard guard(s_sharedLock);
    s_shared = nullptr;
}

void KESTFlightDataManager::setDatabasePathForTesting(std::optional<std::string> path)
{
    s_databasePathForTesting.set(std::move(path));
}

// MARK: Units

namespace {
struct UnitEntry {
    double factor;
    const char* pattern;
    const char* unit;
};
constexpr UnitEntry speedUnits[]
    = { { 1, "%@kts", "kts" }, { 1.15077945, "%@mph", "mph" }, { 1.852, "%@km/h", "km/h" } };
constexpr UnitEntry altitudeUnits[] = { { 1, "%@ft", "ft" }, { 0.3048, "%@m", "m" } };
constexpr UnitEntry distanceUnits[] = { { 1, "%@ miles", "miles" }, { 1.609344, "%@ km", "km" } };

template <size_t N> const UnitEntry* unitFor(const UnitEntry (&table)[N], int32_t setting)
{
    if (setting < 0 || setting >= static_cast<int32_t>(N))
        return nullptr;
    return &table[setting];
}
} // namespace

double KESTFlightDataManager::convertedSpeedWithKnots(double knots) const
{
    auto* unit = unitFor(speedUnits, KESTSettingsManager::sharedInstance()->speedUnit());
    return unit ? knots * unit->factor : knots;
}

double KESTFlightDataManager::convertedAltitudeWithFeet(double feet) const
{
    auto* unit = unitFor(altitudeUnits, KESTSettingsManager::sharedInstance()->altitudeUnit());
    return unit ? feet * unit->factor : feet;
}

double KESTFlightDataManager::convertedDistanceWithMiles(double miles) const
{
    auto* unit = unitFor(distanceUnits, KESTSettingsManager::sharedInstance()->distanceUnit());
    return unit ? miles * unit->factor : miles;
}

std::string KESTFlightDataManager::formatWhole(double value) const
{
    std::lock_guard guard(m_formatterLock);
    return m_numberFormatter->stringFromNumber(Value(value));
}

std::optional<std::string> KESTFlightDataManager::formattedSpeedWithKnots(double knots) const
{
    auto* unit = unitFor(speedUnits, KESTSettingsManager::sharedInstance()->speedUnit());
    if (!unit)
        return std::nullopt;
    return NSString::stringWithFormat(unit->pattern, formatWhole(knots * unit->factor));
}

std::optional<std::string> KESTFlightDataManager::formattedAltitudeWithFeet(double feet) const
{
    auto* unit = unitFor(altitudeUnits, KESTSettingsManager::sharedInstance()->altitudeUnit());
    if (!unit)
        return std::nullopt;
    return NSString::stringWithFormat(unit->pattern, formatWhole(feet * unit->factor));
}

std::optional<std::string> KESTFlightDataManager::formattedDistanceWithMiles(double miles) const
{
    auto* unit = unitFor(distanceUnits, KESTSettingsManager::sharedInstance()->distanceUnit());
    if (!unit)
        return std::nullopt;
    return NSString::stringWithFormat(unit->pattern, formatWhole(miles * unit->factor));
}

std::string KESTFlightDataManager::formattedSpeedUnit() const
{
    switch (KESTSettingsManager::sharedInstance()->speedUnit()) {
    case 2:
        return "km/h";
    case 1:
        return "mph";
    default:
        return "kts";
    }
}

std::string KESTFlightDataManager::formattedAltitudeUnit() const
{
    return KESTSettingsManager::sharedInstance()->altitudeUnit() == 1 ? "m" : "ft";
}

std::string KESTFlightDataManager::formattedHeadingWithValue(double degrees) const
{
    return NSString::stringWithFormat("%.0f°", degrees);
}

// MARK: Dates and status

Ref<NSDate> KESTFlightDataManager::parseBuildDate(const std::string& text) const
{
    std::lock_guard guard(m_formatterLock);
    m_dateFormatter->setLocale(NSLocale::localeWithLocaleIdentifier("en_US_POSIX"));
    m_dateFormatter->setDateStyle(NSDateFormatterNoStyle);
    m_dateFormatter->setDateFormat("dd-MM-yy");
    return m_dateFormatter->dateFromString(text);
}

std::string KESTFlightDataManager::formattedDateWithString(const std::string& text) const
{
    auto date = parseBuildDate(text);
    if (!date)
        return text;
    std::lock_guard guard(m_formatterLock);
    m_dateFormatter->setLocale(NSLocale::currentLocale());
    m_dateFormatter->setDateFormat("");
    m_dateFormatter->setDateStyle(NSDateFormatterShortStyle);
    m_dateFormatter->setTimeStyle(NSDateFormatterNoStyle);
    return m_dateFormatter->stringFromDate(date);
}

std::string KESTFlightDataManager::ageOfAircraftSinceDate(const std::string& text) const
{
    auto built = parseBuildDate(text);
    if (!built)
        return "";
    auto calendar = NSCalendar::calendarWithIdentifier(NSCalendarIdentifierGregorian);
    auto now = NSDate::date();
    auto years = calendar->componentsFromDateToDateOptions(NSCalendarUnitYear, built, now);
    int64_t count = years ? years->year() : 0;
    if (count >= 1)
        return NSString::stringWithFormat("| %lu year%@ old", static_cast<unsigned long>(count), count == 1 ? "" : "s");
    auto months = calendar->componentsFromDateToDateOptions(NSCalendarUnitMonth, built, now);
    // A build date in the future would give a negative count; it shows as no age at all rather
    // than as a huge unsigned number.
    count = std::max<int64_t>(months ? months->month() : 0, 0);
    return NSString::stringWithFormat("| %lu month%@ old", static_cast<unsigned long>(count), count == 1 ? "" : "s");
}

Ref<UIColor> KESTFlightDataManager::colorForFlightStatus(const Value& status) const
{
    switch (status.intValue()) {
    case 0:
        return UIColor::colorWithRedGreenBlueAlpha(31 / 255.0f, 149 / 255.0f, 217 / 255.0f, 1);
    case 1:
        return UIColor::colorWithRedGreenBlueAlpha(217 / 255.0f, 31 / 255.0f, 31 / 255.0f, 1);
    case 2:
    case 3:
        return UIColor::colorWithRedGreenBlueAlpha(140 / 255.0f, 200 / 255.0f, 35 / 255.0f, 1);
    default:
        return UIColor::blackColor();
    }
}

// MARK: Lookups

std::optional<std::array<std::string, 3>> KESTFlightDataManager::getAircraftFullNameArray(
    const std::string& typeDesignator) const
{
    if (typeDesignator.empty())
        return std::nullopt;
    auto result = runLookup("select * from Aircraft a where TypeDesignator = ?", { typeDesignator }, 1);
    if (result.rows.empty())
        return std::nullopt;
    const auto& row = result.rows.front();
    std::string manufacturer = NSString::lowercaseString(row.text(1));
    if (!manufacturer.empty()) {
        NSRange first = NSString::rangeOfComposedCharacterSequenceAtIndex(manufacturer, 0);
        manufacturer = NSString::uppercaseString(NSString::substringWithRange(manufacturer, first))
            + NSString::substringFromIndex(manufacturer, first.location + first.length);
    }
    return std::array<std::string, 3> { manufacturer, row.text(2),
        NSString::stringWithFormat("%@ %@ Engines", row.text(6), row.text(5)) };
}

std::optional<std::string> KESTFlightDataManager::getAirportFullName(const std::optional<std::string>& code) const
{
    if (!code || isUnnamedAirport(*code) || NSString::length(*code) == 1)
        return NSLocalizedString("Unknown");
    auto row = airportRow(code);
    if (!row)
        return std::nullopt;
    return NSString::stringWithFormat("%@, %@, %@", row->text(1), row->text(2), row->text(10));
}

std::optional<std::array<std::string, 3>> KESTFlightDataManager::getAirportFullNameArray(
    const std::optional<std::string>& code) const
{
    auto row = airportRow(code);
    if (!row)
        return std::nullopt;
    return std::array<std::string, 3> { row->text(1), row->text(2), row->text(10) };
}

std::optional<KESTLocation> KESTFlightDataManager::getAirportLocation(const std::optional<std::string>& code) const
{
    auto row = airportRow(code);
    if (!row)
        return std::nullopt;
    // Stored as reals; read through single precision as the map's coordinates are.
    return KESTLocation { static_cast<float>(row->real(5)), static_cast<float>(row->real(6)) };
}

std::vector<std::array<std::string, 4>> KESTFlightDataManager::getExpandedAirportInfoFromRoute(
    const std::string& route) const
{
    std::vector<std::array<std::string, 4>> entries;
    std::string component;
    auto flush = [&] {
        if (auto names = getAirportFullNameArray(component))
            entries.push_back({ component, (*names)[0], (*names)[1], (*names)[2] });
        else
            entries.push_back({ component, "N/A", "N/A", "N/A" });
        component.clear();
    };
    for (char c : route) {
        if (c == '-' || c == '>' || c == ',' || c == '.')
            flush();
        else
            component.push_back(c);
    }
    flush();
    return entries;
}

Value KESTFlightDataManager::getAirportDistancesWithDepartureAptAndArrivalAptAndCurrentPlaneLocation(
    const std::string& departure, const std::string& arrival, const KESTLocation& plane) const
{
    if (isUnnamedAirport(departure) || isUnnamedAirport(arrival))
        return Value();
    auto result = runLookup(
        "SELECT * FROM Airports WHERE ICAO IN (?,?) OR IATA IN (?,?)", { departure, arrival, departure, arrival });
    struct Airport {
        std::string name;
        KESTLocation location;
    };
    std::map<std::string, Airport> filed;
    for (const auto& row : result.rows) {
        Airport airport { row.text(1), { row.real(5), row.real(6) } };
        filed[row.text(3)] = airport;
        filed[row.text(4)] = airport;
    }
    auto from = filed.find(departure);
    auto to = filed.find(arrival);
    if (from == filed.end() || to == filed.end())
        return Value();
    double total = from->second.location.distanceFromLocation(to->second.location) * metresToMiles;
    double fromDeparture = from->second.location.distanceFromLocation(plane) * metresToMiles;
    int32_t percentage = 100;
    if (total > 0) {
        double share = fromDeparture / total * 100;
        if (share < 100)
            percentage = static_cast<int32_t>(share);
    }
    return Value::dictionary({
        { "totalDistance", total },
        { "distanceFromDeparture", fromDeparture },
        { "percentageIntoJourney", percentage },
        { "depaptName", from->second.name },
        { "arraptName", to->second.name },
    });
}

std::optional<std::string> KESTFlightDataManager::getAirlineName(const std::string& code) const
{
    const char* sql = airlineStatement(code);
    if (!sql)
        return std::nullopt;
    auto result = runLookup(sql, { code });
    if (result.rows.empty())
        return std::nullopt;
    return result.rows.back().text(1);
}

std::optional<std::string> KESTFlightDataManager::getAirlineCallsign(const std::string& code) const
{
    const char* sql = airlineStatement(code);
    if (!sql)
        return std::nullopt;
    auto result = runLookup(sql, { code }, 1);
    if (result.rows.empty() || NSString::length(result.rows.front().text(5)) < 2)
        return std::nullopt;
    return result.rows.front().text(5);
}

std::optional<std::string> KESTFlightDataManager::getAirlineICAO(const std::string& code) const
{
    auto result = runLookup("select ICAO from airlines where IATA = ? OR ICAO = ?", { code, code }, 1);
    if (result.rows.empty())
        return std::nullopt;
    return result.rows.front().text(0);
}

std::optional<std::string> KESTFlightDataManager::getAirlineCountryFromPrefix(const std::string& prefix) const
{
    auto result = runLookup("select * from Prefix where Prefix = ?", { prefix }, 1);
    if (result.rows.empty())
        return std::nullopt;
    return result.rows.front().text(0);
}
