#include "refdata/ReferenceData.h"

#include "refdata/CsvTable.h"

#include <charconv>
#include <cstdlib>
#include <functional>

namespace {

// Column access by name, checked once per table.
class Columns {
public:
    Columns(const CsvTable& table, const std::string& file, std::string& error)
        : m_table(table)
        , m_file(file)
        , m_error(error)
    {
    }

    int operator()(const char* name)
    {
        int index = m_table.column(name);
        if (index < 0 && m_error.empty())
            m_error = m_file + ": no column \"" + name + "\"";
        return index;
    }

    bool ok() const { return m_error.empty(); }

private:
    const CsvTable& m_table;
    const std::string& m_file;
    std::string& m_error;
};

std::optional<double> parseDouble(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size())
        return std::nullopt;
    return value;
}

std::optional<int> parseInt(const std::string& text)
{
    int value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

bool loadTable(const std::string& directory, const char* name, std::string& error,
    const std::function<bool(const CsvTable&, const std::string&)>& read)
{
    std::string path = directory + "/" + name;
    auto table = CsvTable::readFile(path, &error);
    if (!table)
        return false;
    return read(*table, path);
}

} // namespace

int RefAircraftType::engineCount() const
{
    if (description.size() < 3 || description[1] < '0' || description[1] > '9')
        return 0;
    return description[1] - '0';
}

std::string RefAircraftType::engineCountWord() const
{
    static const char* const words[]
        = { "No", "Single", "Twin", "Three", "Four", "Five", "Six", "Seven", "Eight", "Nine" };
    return words[engineCount()];
}

std::string RefAircraftType::engineKindWord() const
{
    if (engineCount() == 0)
        return "";
    switch (description[2]) {
    case 'J':
        return "Jet";
    case 'T':
        return "Turboprop";
    case 'P':
        return "Piston";
    case 'E':
        return "Electric";
    default:
        return "";
    }
}

std::optional<ReferenceData> ReferenceData::load(const std::string& directory, std::string* errorOut)
{
    ReferenceData data;
    std::string error;

    bool ok = loadTable(directory, "airports.csv", error, [&](const CsvTable& t, const std::string& path) {
        Columns col(t, path, error);
        int name = col("name"), city = col("city"), country = col("country"), iata = col("iata"), icao = col("icao"),
            lat = col("latitude"), lon = col("longitude"), alt = col("altitude"), tz = col("tz"), major = col("major");
        if (!col.ok())
            return false;
        for (size_t r = 0; r < t.rows().size(); ++r) {
            const auto& row = t.rows()[r];
            auto latitude = parseDouble(row[lat]);
            auto longitude = parseDouble(row[lon]);
            if (!latitude || !longitude || row[iata].empty()) {
                error = path + ": bad airport on data row " + std::to_string(r + 1);
                return false;
            }
            data.airports.push_back({ row[name], row[city], row[country], row[iata], row[icao], *latitude, *longitude,
                parseInt(row[alt]).value_or(0), row[tz], parseInt(row[major]).value_or(0) != 0 });
        }
        return true;
    });

    ok = ok && loadTable(directory, "airlines.csv", error, [&](const CsvTable& t, const std::string& path) {
        Columns col(t, path, error);
        int id = col("id"), name = col("name"), alias = col("alias"), iata = col("iata"), icao = col("icao"),
            callsign = col("callsign"), country = col("country");
        if (!col.ok())
            return false;
        for (size_t r = 0; r < t.rows().size(); ++r) {
            const auto& row = t.rows()[r];
            auto number = parseInt(row[id]);
            if (!number) {
                error = path + ": bad airline id on data row " + std::to_string(r + 1);
                return false;
            }
            data.airlines.push_back(
                { *number, row[name], row[alias], row[iata], row[icao], row[callsign], row[country] });
        }
        return true;
    });

    ok = ok && loadTable(directory, "aircraft_types.csv", error, [&](const CsvTable& t, const std::string& path) {
        Columns col(t, path, error);
        int designator = col("designator"), manufacturer = col("manufacturer"), model = col("model"),
            description = col("description"), wtc = col("wtc");
        if (!col.ok())
            return false;
        for (size_t r = 0; r < t.rows().size(); ++r) {
            const auto& row = t.rows()[r];
            if (row[designator].empty() || row[description].size() != 3) {
                error = path + ": bad aircraft type on data row " + std::to_string(r + 1);
                return false;
            }
            data.aircraftTypes.push_back(
                { row[designator], row[manufacturer], row[model], row[description], row[wtc] });
        }
        return true;
    });

    ok = ok
        && loadTable(directory, "registration_prefixes.csv", error, [&](const CsvTable& t, const std::string& path) {
               Columns col(t, path, error);
               int country = col("country"), prefix = col("prefix");
               if (!col.ok())
                   return false;
               for (const auto& row : t.rows())
                   data.prefixes.push_back({ row[country], row[prefix] });
               return true;
           });

    if (!ok) {
        if (errorOut)
            *errorOut = error;
        return std::nullopt;
    }
    return data;
}
