#pragma once

#include "foundation/NSObject.h"

#include <string>

// One past flight of an aircraft as the past-flights screen lists it. Main thread only.
class KESTHistoricFlight : public NSObject {
    VX_OBJECT(KESTHistoricFlight, NSObject)
public:
    explicit KESTHistoricFlight(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<KESTHistoricFlight> init() { return make<KESTHistoricFlight>(); }

    const std::string& fltno() const { return m_fltno; }
    void setFltno(std::string v) { m_fltno = std::move(v); }
    const std::string& callsign() const { return m_callsign; }
    void setCallsign(std::string v) { m_callsign = std::move(v); }
    const std::string& route() const { return m_route; }
    void setRoute(std::string v) { m_route = std::move(v); }
    // The service's identifier of the flight, used to ask for its track.
    const std::string& flightID() const { return m_flightID; }
    void setFlightID(std::string v) { m_flightID = std::move(v); }
    // "yyyy-MM-dd HH:mm:ss" in UTC; the first ten characters name the day.
    const std::string& timeStamp() const { return m_timeStamp; }
    void setTimeStamp(std::string v) { m_timeStamp = std::move(v); }

private:
    std::string m_fltno;
    std::string m_callsign;
    std::string m_route;
    std::string m_flightID;
    std::string m_timeStamp;
};
