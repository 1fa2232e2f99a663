#include "app/core/KESTFlightDataManager.h"

#include "app/tests/AppTestSupport.h"

#include <gtest/gtest.h>

namespace {

// An 84-field record with every field empty except those given.
Value record(std::initializer_list<std::pair<size_t, const char*>> fields, size_t size = 84)
{
    std::vector<Value> elements(size, Value(""));
    for (auto [index, text] : fields)
        elements[index] = Value(text);
    return Value::array(std::move(elements));
}

} // namespace

TEST(KESTScheduleRecord, ParsesEveryKeyInOrderWithCompanions)
{
    AppTestScope scope;
    scope.installLookupFixture();
    auto flights = KESTFlightDataManager::sharedInstance();

    EXPECT_TRUE(flights->parseOAGData(record({}, 83)).isNil());

    Value parsed = flights->parseOAGData(
        record({ { 0, "BA" }, { 1, "117" }, { 12, "0905" }, { 13, "905" }, { 14, "1" }, { 15, "5" }, { 16, "1357" },
            { 24, "j" }, { 27, "F" }, { 29, "J" }, { 35, "Y" }, { 37, "BBPPL" }, { 42, "LHRXXXKJFJFKCD" }, { 52, "AA" },
            { 53, "6139" }, { 54, "IB" }, { 55, "" }, { 62, "QF" }, { 63, "3" }, { 82, "5" }, { 83, "8" } }));
    ASSERT_TRUE(parsed.isDictionary());
    EXPECT_FALSE(parsed.isMutable());

    std::vector<std::string> keys;
    for (const auto& key : parsed.allKeys())
        keys.push_back(key.string());
    ASSERT_GE(keys.size(), 12u);
    EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 12),
        (std::vector<std::string> { "carrier_code", "flightno", "carrier_code_2", "flightno_2", "departure_airport",
            "departure_city", "departure_country", "arrival_airport", "arrival_city", "arrival_country",
            "departure_time_formatted", "departure_time" }));
    EXPECT_EQ(keys.back(), "arrival_terminal_indicator");
    // 55 raw or formatted keys before the codeshares, 30 codeshare fields, the list, two terminals.
    EXPECT_EQ(keys.size(), 55u + 30u + 1u + 2u);

    const std::pair<const char*, const char*> texts[] = {
        { "carrier_code", "BA" },
        { "departure_time_formatted", "09:05" },
        { "arrival_time_formatted", "09:05" },
        { "arrival_day_formatted", "Next day" },
        { "elapsed_journey_time_formatted", "N/A" },
        { "days_of_operation_formatted", "Mon, Wed, Fri, Sun" },
        { "service_type_code_formatted", "Normal passenger" },
        { "freight_classes_formatted", "Pallets" },
        { "passenger_class_1", "F" },
        { "passenger_class_9", "Y" },
        { "duplicate_carrier_1", "AA" },
        { "duplicate_flight_2", "" },
        { "departure_terminal_indicator", "5" },
    };
    for (auto [key, text] : texts) {
        SCOPED_TRACE(key);
        EXPECT_EQ(parsed[key].string(), text);
    }
    EXPECT_EQ(parsed["passenger_classes_formatted"].description(),
        Value::array({ "First class", "Economy", "Business class" }).description());
    // Unknown codes are skipped and the trailing partial code is ignored.
    EXPECT_EQ(parsed["full_routing_formatted"].description(),
        Value::array({ "Heathrow, London, United Kingdom", "John F Kennedy Intl, New York, United States" })
            .description());
    EXPECT_EQ(parsed["shared_designator"].description(), Value::array({ "AA6139", "QF3" }).description());

    // Empty companions: N/A, an empty cabin list, and no routing for a short text.
    Value empty = flights->parseOAGData(record({ { 16, "0" }, { 14, "0" } }));
    EXPECT_EQ(empty["days_of_operation_formatted"].string(), "N/A");
    EXPECT_EQ(empty["arrival_day_formatted"].string(), "N/A");
    EXPECT_EQ(empty["departure_time_formatted"].string(), "N/A");
    EXPECT_EQ(empty["passenger_classes_formatted"].count(), 0u);
    EXPECT_TRUE(empty["full_routing_formatted"].isNil());
    EXPECT_EQ(empty["shared_designator"].count(), 0u);
}

TEST(KESTScheduleRecord, FieldFormatters)
{
    AppTestScope scope;
    auto flights = KESTFlightDataManager::sharedInstance();
    const std::pair<std::optional<std::string>, std::optional<std::string>> times[] = {
        { "0930", "09:30" },
        { "930", "09:30" },
        { "45", "00:45" },
        { "5", std::nullopt },
        { "12345", std::nullopt },
        { std::nullopt, std::nullopt },
    };
    for (const auto& [value, text] : times) {
        SCOPED_TRACE(value.value_or("(none)"));
        EXPECT_EQ(flights->formattedHHMMTimeWithValue(value), text);
    }
    const std::pair<std::optional<std::string>, std::optional<std::string>> days[] = {
        { std::nullopt, "Same day" },
        { "", "Same day" },
        { "1", "Next day" },
        { "2", "2 days later" },
        { "P", "Previous day" },
        { "p", "Previous day" },
        { "0", std::nullopt },
    };
    for (const auto& [value, text] : days) {
        SCOPED_TRACE(value.value_or("(none)"));
        EXPECT_EQ(flights->formattedArrivalDayWithValue(value), text);
    }
    EXPECT_EQ(flights->formattedDaysWithValue("1234567"), "Mon, Tue, Wed, Thu, Fri, Sat, Sun");
    EXPECT_EQ(flights->formattedDaysWithValue("11"), "Mon, Mon");
    EXPECT_EQ(flights->formattedPassengerClassesWithValue("yj"), std::vector<std::string> {});
    EXPECT_EQ(flights->formattedPassengerClassesWithValue("WEYAYF"),
        (std::vector<std::string> { "First class", "Economy", "Shuttle", "Premium economy" }));

    const std::pair<std::optional<std::string>, std::optional<std::string>> freight[] = {
        { "BB", "Loose cargo" },
        { "BBLP", "Containers" },
        { "MGLL", "Mail" },
        { "PPBB", "Pallets" },
        { "B", std::nullopt },
        { "XXB", std::nullopt },
        { "XXBBP", "Loose cargo" },
        { "bb", std::nullopt },
    };
    for (const auto& [value, text] : freight) {
        SCOPED_TRACE(value.value_or("(none)"));
        EXPECT_EQ(flights->formattedFreightClassesWithValue(value), text);
    }
    std::map<std::string, std::string> table { { "AB", "first" }, { "CD", "second" } };
    EXPECT_EQ(flights->formatCodedStringBasedOnDictionaryWithCharLength("abCDabX", table, 2), "first, second, first");
    EXPECT_EQ(flights->formatCodedStringBasedOnDictionaryWithCharLength("A", table, 2), std::nullopt);
    EXPECT_EQ(flights->formatCodedStringBasedOnDictionaryWithCharLength("ZZ", table, 2), std::nullopt);
    EXPECT_EQ(flights->decodeFullRouting("LH"), std::nullopt);
    EXPECT_EQ(flights->decodeFullRouting(std::nullopt), std::nullopt);
}
