#include "refdata/BundleDataWriter.h"
#include "refdata/ReferenceData.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sqlite3.h>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// A fresh directory removed with the fixture.
class ScratchDirectory {
public:
    ScratchDirectory()
    {
        std::string pattern = (fs::temp_directory_path() / "vxrefdata-XXXXXX").string();
        m_path = mkdtemp(pattern.data());
    }
    ~ScratchDirectory() { fs::remove_all(m_path); }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

// The bundle resources built once from the committed tables for every test of this file.
class LookupDatabase : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_scratch = new ScratchDirectory;
        std::string error;
        auto data = ReferenceData::load(VX_SOURCE_DIR "/resources/data", &error);
        ASSERT_TRUE(data) << error;
        s_data = new ReferenceData(std::move(*data));
        ASSERT_TRUE(BundleDataWriter::writeLookupDatabase(*s_data, dbPath(), error)) << error;
        ASSERT_TRUE(BundleDataWriter::writeAirportList(*s_data, jsonPath(), error)) << error;
    }
    static void TearDownTestSuite()
    {
        delete s_data;
        delete s_scratch;
    }
    static std::string dbPath() { return (s_scratch->path() / "vxlookup.db").string(); }
    static std::string jsonPath() { return (s_scratch->path() / "airports.json").string(); }

    // Runs `sql` on the database opened read-only, as the application does, and returns every
    // row with every column as text (NULL as the empty text).
    static std::vector<std::vector<std::string>> query(const std::string& sql)
    {
        sqlite3* db = nullptr;
        std::vector<std::vector<std::string>> rows;
        EXPECT_EQ(sqlite3_open_v2(dbPath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        sqlite3_stmt* statement = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK) << sql;
        while (statement && sqlite3_step(statement) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int i = 0; i < sqlite3_column_count(statement); ++i) {
                auto text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
                row.push_back(text ? text : "");
            }
            rows.push_back(std::move(row));
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return rows;
    }

    static ScratchDirectory* s_scratch;
    static ReferenceData* s_data;
};
ScratchDirectory* LookupDatabase::s_scratch = nullptr;
ReferenceData* LookupDatabase::s_data = nullptr;

} // namespace

TEST_F(LookupDatabase, AnswersTheApplicationsQueriesAtTheirColumnPositions)
{
    struct Case {
        std::string sql;
        std::vector<std::pair<int, std::string>> expected; // column position → text, first row
    };
    const Case cases[] = {
        { "select * from Aircraft a where TypeDesignator = 'B738'",
            { { 1, "Boeing" }, { 2, "737-800" }, { 6, "Twin" }, { 5, "Jet" } } },
        { "select * from Aircraft a where TypeDesignator = 'A388'", { { 1, "Airbus" }, { 6, "Four" }, { 5, "Jet" } } },
        { "select * from Aircraft a where TypeDesignator = 'C172'",
            { { 1, "Cessna" }, { 6, "Single" }, { 5, "Piston" } } },
        { "select * from airports where IATA = 'LHR'",
            { { 1, "London Heathrow Airport" }, { 2, "London" }, { 3, "LHR" }, { 4, "EGLL" },
                { 10, "United Kingdom" } } },
        { "select * from airports where ICAO = 'KJFK'", { { 3, "JFK" }, { 2, "New York" }, { 10, "United States" } } },
        { "SELECT count(*) FROM (SELECT * FROM Airports WHERE ICAO IN ('EGLL','CDG') OR IATA IN ('EGLL','CDG'))",
            { { 0, "2" } } },
        { "select * from airlines where IATA = 'BA'", { { 1, "British Airways" }, { 5, "SPEEDBIRD" } } },
        { "select * from airlines where ICAO = 'DLH'", { { 1, "Lufthansa" }, { 5, "LUFTHANSA" } } },
        { "select ICAO from airlines where IATA = 'LH' OR ICAO = 'LH'", { { 0, "DLH" } } },
        { "select * from Prefix where Prefix = 'D'", { { 0, "Germany" } } },
        { "select * from Prefix where Prefix = 'VH'", { { 0, "Australia" } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        auto rows = query(c.sql);
        ASSERT_FALSE(rows.empty());
        for (auto& [position, text] : c.expected) {
            ASSERT_LT(static_cast<size_t>(position), rows[0].size());
            EXPECT_EQ(rows[0][position], text) << "position " << position;
        }
    }

    // Positions 5 and 6 of airports are reals, as the application reads them with the real getter.
    auto location = query("select typeof(latitude), typeof(longitude), latitude from airports where IATA = 'SYD'");
    ASSERT_EQ(location.size(), 1u);
    EXPECT_EQ(location[0][0], "real");
    EXPECT_EQ(location[0][1], "real");
    EXPECT_NEAR(std::stod(location[0][2]), -33.95, 0.01);

    // Missing codes are NULL, so an empty code matches nothing.
    EXPECT_TRUE(query("select * from airports where ICAO = ''").empty());
    EXPECT_TRUE(query("select * from airlines where IATA = ''").empty());
}

TEST_F(LookupDatabase, KnowsEveryTypeTheMarkerTablesName)
{
    // The designators the plane-marker tables map to silhouettes; each needs a full name.
    const char* designators
        = "BE33 PA30 PA32 PA24 PA22 PA25 PA28 C77R KODI MO20 S208 PC21 BE23 BE24 PC12 MCR4 PA11 BE36 GC1 FDCT AA5 "
          "CH70 C195 DH82 DH83 DH85 DH86 DH87 DH88 P27 BE19 BE17 KR2 PA18 GY20 FU24 PA38 PA40 PA46 J1 SYMP RV3 RV4 "
          "RV6 RV7 RV8 EVOL TBM7 MJ5 C82R FBA2 ST75 T18 DHC1 DHC2 DH3T DH2T LGEZ COOT O1 GLAS JUNR C177 C172 C175 "
          "C170 CJ1 STST CH7A CH7B D11 M5 TOUR GP4 ERCO PL2 PUP C10T G58 G115 DRIF E300 Z42 BE77 M7 TBM8 DA20 DV20 "
          "PIVI C210 AC11 NAVI P32R P32T BE35 TVLB DA40 EVSS P210 GA7 P46T CH2T COL3 COL4 AAT4 SREY CB1 HROC C160 "
          "C162 CRES SA3 T28 TRIN WT9 WACF SE5R AEST PA31 PA34 PA23 BE20 PAY1 F50 SH36 SH33 D228 D328 BE99 C340 "
          "B350 DH8A DH8B DH8C DH8D P68 AN26 P68T SF34 SB20 BE10 ATP PA44 P34A PA60 BE30 G44 DHC6 DHC7 DHC3 DA42 "
          "PA39 BE76 C303 G159 TBEE PA27 B190 SW2 SW3 SW4 JS31 JS41 JS32 P38 C310 C441 C337 MU2 DC3 DC3T DC6 C21T "
          "C335 P180 F9EX C680 LRJ MU30 FA7X FA5X CL30 GLEX E55P E50P F2TH C510 E45X FA50 GALX GL5T G250 G280 HA4T "
          "C750 GLAX PRM1 SBR1 SBR2 DC93 MD90 DC95 FA10 FA20 FA30 FA40 G150 G200 ASTR S92 S72 S76 A139 A149 AS32 "
          "AS3B EC25 EC45 EC20 MD52 S61 H269 A189 A169 B609 B06 EH10 GYRO R44 UH1 UH12 B407 H500 B412 B427 B429 "
          "B430 A109 R22 R66 S58T AS31 AV68 DG1T DG40 DG50 DG80 DIMO DISC DUOD G103 G109 JANU KIWI LK17 LS10 LS8 "
          "NIMB RF5 S10S SF25 GLID ULAC VENT LEADER1 LEADER2 LEADER3 LEADER4 LEADER5 LEADER6 LEADER7 LEADER8 "
          "LEADER9 LEADER SERVICE ZVEH A148 A158 CS1 CS3 DC10 J328 SU95 RADA GRND BALL SHIP VELO IL96 IL86 E6 A124 "
          "K35R F70 F100 F900 B712 T154 RJ85 RJ70 RJ1H C130 C17 IL76 T204 T214 A3ST BLCF "
          // and the common airliners behind the three-character prefixes
          "A306 A319 A320 A321 A332 A333 A343 A359 A388 B738 B744 B752 B763 B77W B788 CRJ2 CRJ9 E190 AT72";
    std::istringstream words(designators);
    std::string designator;
    int count = 0;
    while (words >> designator) {
        SCOPED_TRACE(designator);
        auto rows = query("select * from Aircraft a where TypeDesignator = '" + designator + "'");
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_FALSE(rows[0][1].empty());
        EXPECT_FALSE(rows[0][2].empty());
        ++count;
    }
    EXPECT_EQ(count, 327);
}

TEST_F(LookupDatabase, AirportListHasEightElementEntriesForEveryAirport)
{
    std::ifstream in(jsonPath());
    auto document = nlohmann::json::parse(in);
    const auto& airports = document.at("airports");
    ASSERT_EQ(airports.size(), s_data->airports.size());
    EXPECT_GT(airports.size(), 5000u);

    size_t major = 0;
    const nlohmann::json* heathrow = nullptr;
    for (const auto& entry : airports) {
        ASSERT_EQ(entry.size(), 8u) << entry.dump();
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(entry[i].is_string()) << entry.dump();
        ASSERT_EQ(entry[3].get<std::string>().size(), 3u) << entry.dump();
        ASSERT_TRUE(entry[5].is_number() && entry[6].is_number() && entry[7].is_number_integer()) << entry.dump();
        ASSERT_LE(std::abs(entry[5].get<double>()), 90.0);
        ASSERT_LE(std::abs(entry[6].get<double>()), 180.0);
        major += entry[7].get<int>() != 0;
        if (entry[3] == "LHR")
            heathrow = &entry;
    }
    EXPECT_GT(major, 500u);
    EXPECT_LT(major, airports.size() / 2);
    ASSERT_TRUE(heathrow);
    EXPECT_EQ(*heathrow,
        nlohmann::json::parse(
            R"(["London Heathrow Airport","London","United Kingdom","LHR","EGLL",51.4706,-0.461941,1])"));
}

TEST(ReferenceData, ReportsTheFaultyTableAndWritesNothingOnFailure)
{
    ScratchDirectory scratch;
    auto write = [&](const char* name, const char* text) { std::ofstream(scratch.path() / name) << text; };
    write(
        "airports.csv", "name,city,country,iata,icao,latitude,longitude,altitude,tz,major\nA,B,C,AAA,,1.5,2.5,0,,0\n");
    write("airlines.csv", "id,name,alias,iata,icao,callsign,country\n1,X,,XX,XXX,EX,Y\n");
    write("registration_prefixes.csv", "country,prefix\nY,N\n");

    std::string error;
    EXPECT_FALSE(ReferenceData::load(scratch.path().string(), &error));
    EXPECT_NE(error.find("aircraft_types.csv"), std::string::npos) << error;

    write("aircraft_types.csv", "designator,manufacturer,model,description\nB738,Boeing,737-800,L2J\n");
    EXPECT_FALSE(ReferenceData::load(scratch.path().string(), &error));
    EXPECT_NE(error.find("\"wtc\""), std::string::npos) << error;

    write("airports.csv",
        "name,city,country,iata,icao,latitude,longitude,altitude,tz,major\nA,B,C,AAA,,north,2.5,0,,0\n");
    write("aircraft_types.csv", "designator,manufacturer,model,description,wtc\nB738,Boeing,737-800,L2J,M\n");
    EXPECT_FALSE(ReferenceData::load(scratch.path().string(), &error));
    EXPECT_NE(error.find("airports.csv"), std::string::npos) << error;

    // A database path in a missing directory fails cleanly and leaves no file behind.
    ReferenceData empty;
    auto target = scratch.path() / "missing" / "vxlookup.db";
    EXPECT_FALSE(BundleDataWriter::writeLookupDatabase(empty, target.string(), error));
    EXPECT_FALSE(fs::exists(target));
    EXPECT_FALSE(BundleDataWriter::writeAirportList(empty, (scratch.path() / "missing" / "a.json").string(), error));
}
