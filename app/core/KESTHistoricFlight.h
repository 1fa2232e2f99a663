#pragma once

#include "foundation/NSObject.h"

#include <optional>
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

    // The flight number; empty both when the service sent an empty one and when it sent none.
    const std::string& fltno() const { return m_fltno ? *m_fltno : emptyText(); }
    // Whether the service sent a flight number at all (an empty one counts).
    bool hasFltno() const { return m_fltno.has_value(); }
    void setFltno(std::optional<std::string> v) { m_fltno = std::move(v); }
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
    static const std::string& emptyText()
    {
        static const std::string s_empty;
        return s_empty;
    }

    std::optional<std::string> m_fltno;
    std::string m_callsign;
    std::string m_route;
    std::string m_flightID;
    std::string m_timeStamp;
};
