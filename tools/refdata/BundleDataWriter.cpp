#include "refdata/BundleDataWriter.h"

#include "refdata/ReferenceData.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sqlite3.h>

namespace {

struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, DatabaseCloser>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Binds one value per placeholder: texts (empty ones as NULL), integers and reals.
struct Binder {
    sqlite3_stmt* statement;
    int index = 1;

    Binder& text(const std::string& value)
    {
        if (value.empty())
            sqlite3_bind_null(statement, index++);
        else
            sqlite3_bind_text(statement, index++, value.c_str(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Binder& integer(int64_t value)
    {
        sqlite3_bind_int64(statement, index++, value);
        return *this;
    }
    Binder& real(double value)
    {
        sqlite3_bind_double(statement, index++, value);
        return *this;
    }
};

class DatabaseWriter {
public:
    explicit DatabaseWriter(std::string& error)
        : m_error(error)
    {
    }

    bool open(const std::string& path)
    {
        sqlite3* handle = nullptr;
        int rc = sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        m_db.reset(handle);
        return check(rc, "open " + path);
    }

    bool exec(const char* sql)
    {
        char* message = nullptr;
        int rc = sqlite3_exec(m_db.get(), sql, nullptr, nullptr, &message);
        if (rc != SQLITE_OK) {
            m_error = std::string(sql) + ": " + (message ? message : sqlite3_errstr(rc));
            sqlite3_free(message);
            return false;
        }
        return true;
    }

    // Prepares `sql` and runs it once per element of `items`, with `bind` filling the placeholders.
    template <typename Items, typename Bind> bool insertAll(const char* sql, const Items& items, Bind bind)
    {
        sqlite3_stmt* raw = nullptr;
        if (!check(sqlite3_prepare_v2(m_db.get(), sql, -1, &raw, nullptr), sql))
            return false;
        Statement statement(raw);
        int64_t row = 0;
        for (const auto& item : items) {
            sqlite3_reset(raw);
            sqlite3_clear_bindings(raw);
            Binder binder { raw };
            bind(binder, item, ++row);
            if (!check(sqlite3_step(raw), sql, SQLITE_DONE))
                return false;
        }
        return true;
    }

    bool close()
    {
        int rc = sqlite3_close(m_db.release());
        return check(rc, "close");
    }

private:
    bool check(int rc, const std::string& what, int expected = SQLITE_OK)
    {
        if (rc == expected)
            return true;
        m_error = what + ": " + (m_db ? sqlite3_errmsg(m_db.get()) : sqlite3_errstr(rc));
        return false;
    }

    Database m_db;
    std::string& m_error;
};

bool replaceFile(const std::string& temporary, const std::string& path, std::string& error)
{
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot move " + temporary + " to " + path;
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace

namespace BundleDataWriter {

bool writeLookupDatabase(const ReferenceData& data, const std::string& path, std::string& error)
{
    std::string temporary = path + ".tmp";
    std::remove(temporary.c_str());
    bool ok = [&] {
        DatabaseWriter db(error);
        if (!db.open(temporary))
            return false;
        if (!db.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;"
                     "CREATE TABLE Aircraft (TypeDesignator TEXT NOT NULL, Manufacturer TEXT, Model TEXT,"
                     " Description TEXT, WTC TEXT, EngineType TEXT, EngineCount TEXT);"
                     "CREATE TABLE airports (id INTEGER PRIMARY KEY, name TEXT, city TEXT, IATA TEXT, ICAO TEXT,"
                     " latitude REAL, longitude REAL, altitude INTEGER, timezone TEXT, major INTEGER, country TEXT);"
                     "CREATE TABLE airlines (id INTEGER PRIMARY KEY, name TEXT, alias TEXT, IATA TEXT, ICAO TEXT,"
                     " callsign TEXT, country TEXT);"
                     "CREATE TABLE Prefix (Country TEXT, Prefix TEXT NOT NULL);"))
            return false;
        bool filled = db.insertAll("INSERT INTO Aircraft VALUES (?,?,?,?,?,?,?)", data.aircraftTypes,
                          [](Binder& b, const RefAircraftType& t, int64_t) {
                              b.text(t.designator)
                                  .text(t.manufacturer)
                                  .text(t.model)
                                  .text(t.description)
                                  .text(t.wakeCategory)
                                  .text(t.engineKindWord())
                                  .text(t.engineCountWord());
                          })
            && db.insertAll("INSERT INTO airports VALUES (?,?,?,?,?,?,?,?,?,?,?)", data.airports,
                [](Binder& b, const RefAirport& a, int64_t row) {
                    b.integer(row)
                        .text(a.name)
                        .text(a.city)
                        .text(a.iata)
                        .text(a.icao)
                        .real(a.latitude)
                        .real(a.longitude)
                        .integer(a.altitude)
                        .text(a.timeZone)
                        .integer(a.major ? 1 : 0)
                        .text(a.country);
                })
            && db.insertAll("INSERT INTO airlines VALUES (?,?,?,?,?,?,?)", data.airlines,
                [](Binder& b, const RefAirline& a, int64_t) {
                    b.integer(a.id)
                        .text(a.name)
                        .text(a.alias)
                        .text(a.iata)
                        .text(a.icao)
                        .text(a.callsign)
                        .text(a.country);
                })
            && db.insertAll("INSERT INTO Prefix VALUES (?,?)", data.prefixes,
                [](Binder& b, const RefRegistrationPrefix& p, int64_t) { b.text(p.country).text(p.prefix); });
        return filled
            && db.exec("CREATE INDEX AircraftDesignator ON Aircraft (TypeDesignator);"
                       "CREATE INDEX AirportIATA ON airports (IATA); CREATE INDEX AirportICAO ON airports (ICAO);"
                       "CREATE INDEX AirlineIATA ON airlines (IATA); CREATE INDEX AirlineICAO ON airlines (ICAO);"
                       "CREATE INDEX PrefixPrefix ON Prefix (Prefix); COMMIT; VACUUM;")
            && db.close();
    }();
    if (!ok) {
        std::remove(temporary.c_str());
        return false;
    }
    return replaceFile(temporary, path, error);
}

bool writeAirportList(const ReferenceData& data, const std::string& path, std::string& error)
{
    auto list = nlohmann::json::array();
    for (const auto& a : data.airports)
        list.push_back({ a.name, a.city, a.country, a.iata, a.icao, a.latitude, a.longitude, a.major ? 1 : 0 });
    std::string text = nlohmann::json { { "airports", std::move(list) } }.dump();

    std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text << '\n';
        if (!out.flush()) {
            error = "cannot write " + temporary;
            std::remove(temporary.c_str());
            return false;
        }
    }
    return replaceFile(temporary, path, error);
}

} // namespace BundleDataWriter
