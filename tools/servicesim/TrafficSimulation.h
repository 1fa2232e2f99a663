#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct ReferenceData;
struct RefAirport;

// One plane of the simulated traffic as the flight-data service reports it at a moment.
struct SimPlane {
    std::string hex; // six upper-case hexadecimal digits, unique within a simulation
    std::string type;
    std::string origin; // IATA code of this leg's departure airport; "" for vehicles and the seasonal entry
    std::string originIcao;
    std::string destination; // IATA code of this leg's arrival airport
    std::string destinationIcao;
    std::string registration; // "z.NO-REG" when the aircraft has none, "<gnd>" for ground vehicles
    std::string callsign;
    std::string flightNumber; // "" for private flights
    std::string airlineIcao; // "" for private flights
    double latitude = 0;
    double longitude = 0;
    double altitude = 0; // feet
    double heading = 0; // degrees, 0 to 360
    double speed = 0; // knots
    double reportTime = 0; // seconds since 1970 on the service's clock
    std::string squawk;
    int dataType = 0; // 0 live, 1 scheduled, 99 seasonal
    bool onGround = false;
    // Parked at its stand between flights with the transponder off: the live feed leaves it out,
    // the airport boards still list its flight.
    bool parked = false;
    double departureTime = 0; // this leg's departure, seconds since 1970
    double arrivalTime = 0; // this leg's scheduled arrival
};

// A deterministic simulation of air traffic: the same seed, count and time give the same planes.
// Each aircraft shuttles on a great-circle route between two real airports, with a type,
// registration, callsign and squawk fixed by the seed, and altitude and speed that follow its
// flight phase (taxi, climb, cruise, descent, parked). On the ground each aircraft has a stand of
// its own around the airport and taxis between it and the runway, so parked aircraft do not
// share one spot. A share of the fleet is marked as
// scheduled positions (data type 1), one in a hundred is an airport ground vehicle, and an
// optional seasonal entry (data type 99) circles the globe. Immutable after construction; any
// thread.
class TrafficSimulation {
public:
    // The most aircraft one simulation flies, enough for scale runs of the whole feed.
    static constexpr int kMaximumAircraft = 100000;

    struct Options {
        uint64_t seed = 1;
        int aircraft = 2000; // at most kMaximumAircraft
        bool seasonal = false;
        // When set, one aircraft in 25 is local traffic (private aircraft and helicopters) flying
        // between airfields within 100 km of this latitude and longitude, so a map or an
        // augmented-reality view centred there always has planes close by.
        std::optional<std::array<double, 2>> hotspot;
    };

    // Returns nullptr when the reference data holds too few airports to fly between.
    static std::unique_ptr<TrafficSimulation> create(const ReferenceData& data, const Options& options);
    ~TrafficSimulation();

    // Every plane at `time` (seconds since 1970): the live ones, then the scheduled ones, then
    // the seasonal entry when enabled.
    std::vector<SimPlane> planesAt(double time) const;
    // The plane with the hex address at `time`, if the simulation has one.
    std::optional<SimPlane> planeAt(const std::string& hex, double time) const;
    // The plane with the registration at `time`; the first of the fleet when two share one.
    // Nothing for "z.NO-REG", "<gnd>" or an unknown registration.
    std::optional<SimPlane> planeWithRegistration(const std::string& registration, double time) const;
    // Points [lat, lon, altitude] of the plane's current leg, from its departure up to `until`,
    // one a minute of flight, ending with the position at `until` (or at landing). Empty for an
    // unknown hex, a ground vehicle, or a plane taxiing out or parked.
    std::vector<std::array<double, 3>> pathOf(const std::string& hex, double until) const;

    const std::vector<RefAirport>& airports() const;
    int aircraftCount() const;

    struct Aircraft;

private:
    TrafficSimulation();
    SimPlane planeOf(const Aircraft&, double time) const;
    struct State;
    std::unique_ptr<State> m_state;
};

// Great-circle helpers on a sphere of the earth's mean radius.
namespace GreatCircle {
double distanceKm(double lat1, double lon1, double lat2, double lon2);
double initialBearing(double lat1, double lon1, double lat2, double lon2);
void interpolate(double lat1, double lon1, double lat2, double lon2, double fraction, double& lat, double& lon);
} // namespace GreatCircle
