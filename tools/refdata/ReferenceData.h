#pragma once

#include <optional>
#include <string>
#include <vector>

// The committed reference tables of resources/data, loaded into plain records. Used by the
// lookup-database builder and by the simulated services. Any thread; no shared state.

struct RefAirport {
    std::string name;
    std::string city;
    std::string country;
    std::string iata;
    std::string icao; // may be empty
    double latitude = 0;
    double longitude = 0;
    int altitude = 0;
    std::string timeZone;
    bool major = false;
};

struct RefAirline {
    int id = 0;
    std::string name;
    std::string alias;
    std::string iata; // may be empty
    std::string icao; // may be empty
    std::string callsign;
    std::string country;
};

struct RefAircraftType {
    std::string designator;
    std::string manufacturer;
    std::string model;
    std::string description; // class letter, engine count digit, engine kind letter ("L2J")
    std::string wakeCategory;

    // The two words of the engine description, from `description`: "Twin" and "Jet" for "L2J";
    // "No" and "" for an aircraft without engines.
    std::string engineCountWord() const;
    std::string engineKindWord() const;
    int engineCount() const;
};

struct RefRegistrationPrefix {
    std::string country;
    std::string prefix;
};

struct ReferenceData {
    std::vector<RefAirport> airports;
    std::vector<RefAirline> airlines;
    std::vector<RefAircraftType> aircraftTypes;
    std::vector<RefRegistrationPrefix> prefixes;

    // Loads every table from `dataDirectory`. Returns nullopt with a message naming the file and
    // the fault when a table is missing, malformed or lacks a column.
    static std::optional<ReferenceData> load(const std::string& dataDirectory, std::string* error = nullptr);
};
