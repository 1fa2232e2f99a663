#pragma once

#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlaneMarkerManager.h"
#include "app/tests/map/MapTestSupport.h"
#include "ar/tests/ARTestSupport.h"
#include "foundation/NSJSONSerialization.h"

#include <string>
#include <vector>

// The AR screen's world for one test: the live feed and settings made fresh, the sensor and AR
// kits reset, the device upright at (50, 8.5) and logos asked of an address nothing answers.
class ARScreenTestScope {
public:
    ARScreenTestScope()
    {
        KESTPlaneMarkerManager::setLogoServiceBaseURL(std::string("http://logos.invalid/"));
        LocationSimulator::shared().setAttitude(0, SNRPi / 2, 0);
    }
    ~ARScreenTestScope()
    {
        KESTPlaneMarkerManager::setLogoServiceBaseURL(std::nullopt);
        drainAll();
    }
    ARScreenTestScope(const ARScreenTestScope&) = delete;
    ARScreenTestScope& operator=(const ARScreenTestScope&) = delete;

    MapTestScope& map() { return m_map; }
    VirtualClock& clock() { return m_map.clock(); }

    // Puts the kits back to their defaults right before a screen is made: screens of earlier
    // tests may still run their timers and rebuild the device properties without the GPS grant.
    static void resetKits()
    {
        ARTestScope::resetAll();
        LocationSimulator::shared().setAttitude(0, SNRPi / 2, 0);
    }

    // One plane of the feed: "hex": [type, route, reg, callsign, lat, lon, altitude ft, heading,
    // speed kt, time, squawk, 0, flight number].
    struct Plane {
        std::string hex;
        double lat, lon;
        std::string fltno { "BA117" };
        std::string callsign { "BAW117" };
        std::string reg { "G-STBA" };
        double altitude { 35000 };
        std::string route { "LHR-JFK" };
    };
    // Feeds a full answer with exactly these planes (posting the live-data notification).
    static void feed(const std::vector<Plane>& planes)
    {
        std::string json = R"({"planes":{)";
        for (size_t i = 0; i < planes.size(); ++i) {
            const auto& p = planes[i];
            json += (i ? "," : "") + std::string("\"") + p.hex + "\":[\"B738\",\"" + p.route + "\",\"" + p.reg + "\",\""
                + p.callsign + "\"," + std::to_string(p.lat) + "," + std::to_string(p.lon) + ","
                + std::to_string(p.altitude) + ",90,450,1388534400,\"1234\",0,\"" + p.fltno + "\"]";
        }
        json += "}}";
        KESTLiveDataManager::sharedInstance()->parsePlaneDataResponse(
            NSJSONSerialization::JSONObjectWithData(std::string_view(json), 0, nullptr), false, nullptr, nullptr);
        drainAll();
    }

private:
    ARTestScope m_kits;
    MapTestScope m_map;
};
