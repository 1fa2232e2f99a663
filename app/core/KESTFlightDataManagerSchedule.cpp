// Schedule records: the positional 84-field layout turned into a dictionary with readable
// companions for the coded fields.

#include "app/core/KESTFlightDataManager.h"

#include "foundation/NSBundle.h"
#include "foundation/NSString.h"

namespace {

std::map<std::string, std::string> localizedTable(std::initializer_list<std::pair<const char*, const char*>> entries)
{
    std::map<std::string, std::string> table;
    for (const auto& [code, name] : entries)
        table[code] = NSLocalizedString(name);
    return table;
}

std::optional<std::string> textOf(const Value& value)
{
    if (value.isString())
        return value.string();
    return std::nullopt;
}

} // namespace

std::optional<std::string> KESTFlightDataManager::formattedHHMMTimeWithValue(
    const std::optional<std::string>& value) const
{
    if (!value)
        return std::nullopt;
    const std::string& v = *value;
    switch (NSString::length(v)) {
    case 4:
        return NSString::stringWithFormat(
            "%@:%@", NSString::substringToIndex(v, 2), NSString::substringFromIndex(v, 2));
    case 3:
        return NSString::stringWithFormat(
            "0%@:%@", NSString::substringToIndex(v, 1), NSString::substringFromIndex(v, 1));
    case 2:
        return NSString::stringWithFormat("00:%@", v);
    default:
        return std::nullopt;
    }
}

std::optional<std::string> KESTFlightDataManager::formattedArrivalDayWithValue(
    const std::optional<std::string>& value) const
{
    if (!value || value->empty())
        return NSLocalizedString("Same day");
    return formatCodedStringBasedOnDictionaryWithCharLength(
        value, localizedTable({ { "1", "Next day" }, { "2", "2 days later" }, { "P", "Previous day" } }), 1);
}

std::optional<std::string> KESTFlightDataManager::formattedDaysWithValue(const std::optional<std::string>& value) const
{
    return formatCodedStringBasedOnDictionaryWithCharLength(value,
        localizedTable({ { "1", "Mon" }, { "2", "Tue" }, { "3", "Wed" }, { "4", "Thu" }, { "5", "Fri" }, { "6", "Sat" },
            { "7", "Sun" } }),
        1);
}

std::optional<std::string> KESTFlightDataManager::formattedServiceTypeWithValue(
    const std::optional<std::string>& value) const
{
    return formatCodedStringBasedOnDictionaryWithCharLength(value,
        localizedTable({ { "A", "Cargo/Mail service" }, { "C", "Charter" }, { "F", "Cargo/Mail" },
            { "G", "Normal passenger" }, { "J", "Normal passenger" }, { "M", "Mail only" }, { "Q", "Passenger/Cargo" },
            { "S", "Shuttle" }, { "U", "Passenger (surface)" }, { "V", "Cargo/Mail (surface)" } }),
        1);
}

std::vector<std::string> KESTFlightDataManager::formattedPassengerClassesWithValue(const std::string& value) const
{
    static const std::pair<const char*, const char*> cabins[] = {
        { "First class", "AFP" },
        { "Economy", "BHKLMNQRSTXYV" },
        { "Business class", "CDJZ" },
        { "Shuttle", "EU" },
        { "Premium economy", "W" },
    };
    std::vector<std::string> names;
    for (const auto& [name, codes] : cabins) {
        if (value.find_first_of(codes) != std::string::npos)
            names.push_back(NSLocalizedString(name));
    }
    return names;
}

std::optional<std::string> KESTFlightDataManager::formattedFreightClassesWithValue(
    const std::optional<std::string>& value) const
{
    if (!value || value->size() < 2)
        return std::nullopt;
    bool loose = false, containers = false, mail = false, pallets = false;
    // Whole two-character codes only: a trailing single character is ignored.
    for (size_t position = 0; position + 2 <= value->size(); position += 2) {
        std::string code = value->substr(position, 2);
        loose = loose || code == "BB";
        containers = containers || code == "LL" || code == "LP";
        mail = mail || code == "MG";
        pallets = pallets || code == "PP";
    }
    const char* name = pallets ? "Pallets"
        : mail                 ? "Mail"
        : containers           ? "Containers"
        : loose                ? "Loose cargo"
                               : nullptr;
    if (!name)
        return std::nullopt;
    return NSLocalizedString(name);
}

std::optional<std::string> KESTFlightDataManager::formatCodedStringBasedOnDictionaryWithCharLength(
    const std::optional<std::string>& text, const std::map<std::string, std::string>& table, size_t length) const
{
    if (!text || length == 0 || NSString::length(*text) < length)
        return std::nullopt;
    std::u16string units = NSString::toUTF16(*text);
    std::vector<std::string> names;
    // Whole pieces only: a shorter piece left at the end is not a code.
    for (size_t position = 0; position + length <= units.size(); position += length) {
        std::string piece = NSString::uppercaseString(NSString::fromUTF16(units.substr(position, length)));
        auto found = table.find(piece);
        if (found != table.end())
            names.push_back(found->second);
    }
    if (names.empty())
        return std::nullopt;
    return NSString::componentsJoinedByString(names, ", ");
}

std::optional<std::vector<std::string>> KESTFlightDataManager::decodeFullRouting(
    const std::optional<std::string>& text) const
{
    if (!text || NSString::length(*text) < 3)
        return std::nullopt;
    std::u16string units = NSString::toUTF16(*text);
    std::vector<std::string> descriptions;
    // Whole three-letter codes only: one or two trailing characters are ignored.
    for (size_t position = 0; position + 3 <= units.size(); position += 3) {
        if (auto description = getAirportFullName(NSString::fromUTF16(units.substr(position, 3))))
            descriptions.push_back(*description);
    }
    return descriptions;
}

Value KESTFlightDataManager::parseOAGData(const Value& record) const
{
    if (!record.isArray() || record.count() < 84)
        return Value();
    const std::string notAvailable = NSLocalizedString("N/A");
    std::vector<std::pair<Value, Value>> entries;
    auto element = [&](size_t index) { return record[index]; };
    auto add = [&](const char* key, const Value& value) {
        if (!value.isNil())
            entries.emplace_back(Value(key), value);
    };
    auto addRaw = [&](const char* key, size_t index) { add(key, element(index)); };
    auto addFormatted = [&](const char* key, const std::optional<std::string>& formatted) {
        add(key, Value(formatted.value_or(notAvailable)));
    };
    auto text = [&](size_t index) { return textOf(element(index)); };

    addRaw("carrier_code", 0);
    addRaw("flightno", 1);
    addRaw("carrier_code_2", 2);
    addRaw("flightno_2", 3);
    addRaw("departure_airport", 6);
    addRaw("departure_city", 7);
    addRaw("departure_country", 8);
    addRaw("arrival_airport", 9);
    addRaw("arrival_city", 10);
    addRaw("arrival_country", 11);
    addFormatted("departure_time_formatted", formattedHHMMTimeWithValue(text(12)));
    addRaw("departure_time", 12);
    addRaw("arrival_time", 13);
    addFormatted("arrival_time_formatted", formattedHHMMTimeWithValue(text(13)));
    addFormatted("arrival_day_formatted", formattedArrivalDayWithValue(text(14)));
    addRaw("arrival_day", 14);
    addFormatted("elapsed_journey_time_formatted", formattedHHMMTimeWithValue(text(15)));
    addRaw("elapsed_journey_time", 15);
    addRaw("days_of_operation", 16);
    addFormatted("days_of_operation_formatted", formattedDaysWithValue(text(16)));
    addRaw("num_stops", 17);
    addRaw("general_aircraft_code", 22);
    addRaw("specific_aircraft_code", 23);
    addRaw("service_type_code", 24);
    addFormatted("service_type_code_formatted", formattedServiceTypeWithValue(text(24)));
    addRaw("num_seats", 25);
    addRaw("freight_capacity", 26);
    std::string classes;
    for (size_t i = 1; i <= 10; ++i) {
        std::string key = NSString::stringWithFormat("passenger_class_%d", static_cast<int32_t>(i));
        add(key.c_str(), element(26 + i));
        classes += text(26 + i).value_or("");
    }
    std::vector<Value> cabins;
    for (auto& name : formattedPassengerClassesWithValue(classes))
        cabins.emplace_back(std::move(name));
    add("passenger_classes_formatted", Value::array(std::move(cabins)));
    addRaw("freight_classes", 37);
    addFormatted("freight_classes_formatted", formattedFreightClassesWithValue(text(37)));
    addRaw("restriction", 38);
    addRaw("dom_int_marker", 39);
    addRaw("effective_from_date", 40);
    addRaw("effective_to_date", 41);
    addRaw("full_routing", 42);
    if (auto routing = decodeFullRouting(text(42))) {
        std::vector<Value> descriptions(routing->begin(), routing->end());
        add("full_routing_formatted", Value::array(std::move(descriptions)));
    }
    addRaw("longest_sector", 43);
    addRaw("distance", 44);
    addRaw("shared_airline_designator", 45);
    addRaw("multi_carrier_designator", 46);
    addRaw("flight_duplication", 47);
    addRaw("aircraft_owner", 48);
    addRaw("operating_marker", 49);
    addRaw("ghost_flight", 50);
    addRaw("duplicate", 51);
    for (int32_t i = 1; i <= 15; ++i) {
        add(NSString::stringWithFormat("duplicate_carrier_%d", i).c_str(), element(50 + 2 * i));
        add(NSString::stringWithFormat("duplicate_flight_%d", i).c_str(), element(51 + 2 * i));
    }
    std::vector<Value> designators;
    for (int32_t i = 1; i <= 15; ++i) {
        auto flight = textOf(element(51 + 2 * i));
        auto carrier = textOf(element(50 + 2 * i));
        if (flight && carrier && !flight->empty() && !carrier->empty())
            designators.emplace_back(NSString::stringWithFormat("%@%@", *carrier, *flight));
    }
    add("shared_designator", Value::array(std::move(designators)));
    addRaw("departure_terminal_indicator", 82);
    addRaw("arrival_terminal_indicator", 83);
    return Value::dictionary(std::move(entries));
}
