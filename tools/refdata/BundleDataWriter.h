#pragma once

#include <string>

struct ReferenceData;

// Writes the two generated bundle resources from the reference tables:
//  - "vxlookup.db", a SQLite database read row by row by column position:
//      Aircraft(TypeDesignator, Manufacturer, Model, Description, WTC, EngineType, EngineCount)
//      airports(id, name, city, IATA, ICAO, latitude, longitude, altitude, timezone, major, country)
//      airlines(id, name, alias, IATA, ICAO, callsign, country)
//      Prefix(Country, Prefix)
//    Empty codes are stored as NULL so that they never match a lookup.
//  - "airports.json", {"airports": [[name, city, country, IATA, ICAO, lat, lon, major], ...]}.
// Both are written to a temporary file beside the target and renamed into place, so a failed run
// never leaves a half-written resource. Return false with a message in `error` on failure.
namespace BundleDataWriter {

[[nodiscard]] bool writeLookupDatabase(const ReferenceData& data, const std::string& path, std::string& error);
[[nodiscard]] bool writeAirportList(const ReferenceData& data, const std::string& path, std::string& error);

} // namespace BundleDataWriter
