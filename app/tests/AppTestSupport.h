#pragma once

#include "app/core/DiskDataCache.h"
#include "app/core/KESTAlertManager.h"
#include "app/core/KESTAnalyticsManager.h"
#include "app/core/KESTAuthManager.h"
#include "app/core/KESTChartManager.h"
#include "app/core/KESTFilterDataManager.h"
#include "app/core/KESTFlightDataManager.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlaneMarkerManager.h"
#include "app/core/KESTSettingsManager.h"
#include "app/core/KESTVolcanoManager.h"
#include "app/core/RatePrompt.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "foundation/NSLocale.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSUserDefaults.h"
#include "networking/VNNetworkReachabilityManager.h"
#include "testing/Drain.h"
#include "testing/TemporarySandbox.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

// Drops every singleton of the application (its managers and caches, the map facade, the rating
// prompt, the filter manager's context) and the reachability manager they wake, draining the
// queues before and after so their work ends while the test's clock and stubs are still in
// place. Each comes back fresh on its next use. Main thread only.
inline void resetAppSingletonsForTesting()
{
    drainAll();
    KESTMapController::resetSharedInstanceForTesting();
    KESTLiveDataManager::resetSharedInstanceForTesting();
    KESTLiveDataManager::setAlertPresenter(nullptr);
    KESTChartManager::resetSharedInstanceForTesting();
    KESTVolcanoManager::resetSharedInstanceForTesting();
    KESTPlaneMarkerManager::resetSharedInstanceForTesting();
    KESTAlertManager::resetSharedInstanceForTesting();
    KESTAnalyticsManager::resetSharedInstanceForTesting();
    KESTAuthManager::resetSharedInstanceForTesting();
    KESTFilterDataManager::sharedInstance()->setManagedObjectContext(nullptr);
    DiskDataCache::resetSharedCacheForTesting();
    RatePrompt::resetForTesting();
    VNNetworkReachabilityManager::resetSharedManagerForTesting();
    KESTSettingsManager::resetSharedInstanceForTesting();
    KESTFlightDataManager::resetSharedInstanceForTesting();
    drainAll();
}

// A fresh sandbox (so empty user defaults), a pinned locale and a new settings manager for each
// test; everything is put back afterwards.
class AppTestScope {
public:
    explicit AppTestScope(const std::string& localeIdentifier = "en_US")
    {
        NSLocale::setCurrentLocaleForTesting(localeIdentifier);
        KESTSettingsManager::resetSharedInstanceForTesting();
        KESTFlightDataManager::resetSharedInstanceForTesting();
    }
    ~AppTestScope()
    {
        KESTSettingsManager::resetSharedInstanceForTesting();
        KESTFlightDataManager::resetSharedInstanceForTesting();
        KESTFlightDataManager::setDatabasePathForTesting(std::nullopt);
        KESTSettingsManager::setIdleTimerHook(nullptr);
        // Back to the locale the testing main pins for every program.
        NSLocale::setCurrentLocaleForTesting("en_US");
    }
    AppTestScope(const AppTestScope&) = delete;
    AppTestScope& operator=(const AppTestScope&) = delete;

    TemporarySandbox& sandbox() { return m_sandbox; }

    // Writes a small lookup database with the tables and column positions the lookups read and
    // points the flight data manager at it.
    void installLookupFixture();

private:
    TemporarySandbox m_sandbox;
};

inline void AppTestScope::installLookupFixture()
{
    std::string path = m_sandbox.path("vxlookup.db");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    const char* script = R"sql(
        CREATE TABLE Aircraft (id INTEGER, Manufacturer TEXT, Model TEXT, TypeDesignator TEXT,
            Description TEXT, EngineType TEXT, EngineCount TEXT);
        INSERT INTO Aircraft VALUES (1, 'BOEING', '737-800', 'B738', 'L2J', 'Jet', 'Twin');
        INSERT INTO Aircraft VALUES (2, 'airbus', 'A320', 'A320', 'L2J', NULL, 'Twin');
        CREATE TABLE airports (id INTEGER, name TEXT, city TEXT, IATA TEXT, ICAO TEXT, lat REAL,
            lon REAL, altitude REAL, timezone TEXT, major INTEGER, country TEXT);
        INSERT INTO airports VALUES (1, 'Heathrow', 'London', 'LHR', 'EGLL', 51.4706, -0.461941, 83, 'Europe/London', 1, 'United Kingdom');
        INSERT INTO airports VALUES (2, 'John F Kennedy Intl', 'New York', 'JFK', 'KJFK', 40.639801, -73.7789, 13, 'America/New_York', 1, 'United States');
        INSERT INTO airports VALUES (3, 'Charles de Gaulle', 'Paris', 'CDG', 'LFPG', 49.012798, 2.55, 392, 'Europe/Paris', 1, 'France');
        CREATE TABLE airlines (id INTEGER, name TEXT, alias TEXT, IATA TEXT, ICAO TEXT, callsign TEXT, country TEXT);
        INSERT INTO airlines VALUES (1, 'British Airways', '', 'BA', 'BAW', 'SPEEDBIRD', 'United Kingdom');
        INSERT INTO airlines VALUES (2, 'Old Carrier', '', 'XQ', 'OLD', 'Q', 'Nowhere');
        INSERT INTO airlines VALUES (3, 'New Carrier', '', 'XQ', 'NEW', 'NEWCO', 'Nowhere');
        CREATE TABLE Prefix (country TEXT, Prefix TEXT);
        INSERT INTO Prefix VALUES ('Germany', 'D');
        INSERT INTO Prefix VALUES ('United Kingdom', 'G');
    )sql";
    char* error = nullptr;
    int rc = sqlite3_exec(db, script, nullptr, nullptr, &error);
    std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
    KESTFlightDataManager::setDatabasePathForTesting(path);
}
