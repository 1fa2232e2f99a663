#pragma once

#include "AppTestSupport.h"
#include "Drain.h"
#include "KESTAirport.h"
#include "KESTChartManager.h"
#include "KESTVolcanoManager.h"
#include "VNNetworkReachabilityManager.h"
#include "KESTLiveDataManager.h"
#include "KESTMapController.h"
#include "VirtualClock.h"

#include <string>

// The map facade and the live feed made fresh for one test, on a virtual clock, with the
// feed pointed at an address nothing answers.
class MapTestScope {
public:
    MapTestScope()
    {
        KESTLiveDataManager::setServiceBaseURL("http://feed.invalid/");
        KESTMapController::resetSharedInstanceForTesting();
        KESTLiveDataManager::resetSharedInstanceForTesting();
    }
    ~MapTestScope()
    {
        drainAll();
        KESTMapController::resetSharedInstanceForTesting();
        KESTLiveDataManager::resetSharedInstanceForTesting();
        // The map screens ask these for charts and ash areas; they go while the test's clock
        // and stubs are still in place.
        KESTChartManager::resetSharedInstanceForTesting();
        KESTVolcanoManager::resetSharedInstanceForTesting();
        VNNetworkReachabilityManager::resetSharedManagerForTesting();
        drainAll();
    }
    MapTestScope(const MapTestScope&) = delete;
    MapTestScope& operator=(const MapTestScope&) = delete;

    AppTestScope& app() { return m_app; }
    VirtualClock& clock() { return m_clock.clock(); }

private:
    AppTestScope m_app;
    ScopedVirtualClock m_clock;
};

inline Ref<KESTAirport> makeAirport(const std::string& icao, double lat, double lon, bool major = true)
{
    return KESTAirport::initWithData(
        Value::array({ icao + " Field", "City", "Country", icao.substr(1), icao, lat, lon, major ? 1 : 0 }));
}
