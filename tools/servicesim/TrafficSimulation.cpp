#include "servicesim/TrafficSimulation.h"

#include "refdata/ReferenceData.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <unordered_map>

namespace {

constexpr double kEarthRadiusKm = 6371.0;
constexpr double kDegrees = M_PI / 180.0;
constexpr double kTaxiSeconds = 300;
constexpr double kTurnaroundSeconds = 2400;
constexpr int kMaxAircraft = TrafficSimulation::kMaximumAircraft;
constexpr double kKnotKmPerSecond = 1.852 / 3600;
constexpr double kClimbFeetPerMinute = 1800;
constexpr double kDescentFeetPerMinute = 1500;
constexpr double kTakeOffKnots = 160;
constexpr double kLandingKnots = 140;

// Light aircraft lift off and land well below their cruise speed, not at an airliner's speeds.
double takeOffKnots(double cruiseKnots)
{
    return std::min(kTakeOffKnots, 0.65 * cruiseKnots);
}

double landingKnots(double cruiseKnots)
{
    return std::min(kLandingKnots, 0.6 * cruiseKnots);
}

// A small deterministic generator (SplitMix64), so runs do not depend on the standard library.
class Random {
public:
    explicit Random(uint64_t seed)
        : m_state(seed)
    {
    }
    uint64_t next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, bound).
    uint64_t below(uint64_t bound) { return bound ? next() % bound : 0; }
    double unit() { return static_cast<double>(next() >> 11) / static_cast<double>(1ull << 53); }

private:
    uint64_t m_state;
};

uint64_t mix(uint64_t a, uint64_t b)
{
    return Random(a * 0x100000001B3ull ^ b).next();
}

struct TypeProfile {
    const char* designator;
    double cruiseKnots;
    double cruiseFeet;
    double minKm;
    double maxKm;
    int weight;
    bool airline;
};

// The fleet mix: airliners fly between major airports for an airline, the rest are private.
const TypeProfile kProfiles[] = {
    { "A320", 450, 37000, 300, 5000, 12, true },
    { "B738", 450, 37000, 300, 5000, 12, true },
    { "A321", 450, 37000, 500, 5500, 6, true },
    { "A319", 450, 37000, 300, 4500, 5, true },
    { "A20N", 450, 37000, 300, 5500, 5, true },
    { "B38M", 450, 37000, 300, 5500, 4, true },
    { "E190", 430, 35000, 200, 3500, 4, true },
    { "CRJ9", 430, 33000, 200, 2500, 3, true },
    { "AT72", 275, 22000, 100, 1200, 3, true },
    { "DH8D", 300, 25000, 100, 1500, 2, true },
    { "B77W", 490, 39000, 3000, 13000, 4, true },
    { "B789", 490, 40000, 3000, 13000, 4, true },
    { "A333", 470, 39000, 2000, 10000, 3, true },
    { "A359", 490, 40000, 3000, 14000, 3, true },
    { "B744", 490, 37000, 3000, 12000, 1, true },
    { "A388", 490, 39000, 4000, 14000, 1, true },
    { "B752", 460, 38000, 1000, 6000, 1, true },
    { "B763", 470, 37000, 1500, 9000, 1, true },
    { "C172", 110, 4500, 30, 400, 3, false },
    { "PA28", 110, 5000, 30, 400, 2, false },
    { "SR22", 160, 9000, 50, 800, 2, false },
    { "PC12", 260, 25000, 100, 2000, 1, false },
    { "C56X", 430, 41000, 300, 3500, 2, false },
    { "GLF6", 480, 45000, 1000, 12000, 1, false },
    { "EC35", 130, 1500, 10, 200, 1, false },
    { "R44", 100, 1000, 10, 150, 1, false },
};

// Below this height airliners keep to 250 knots, climbing and descending.
constexpr double kSpeedLimitFeet = 10000;
constexpr double kSpeedLimitKnots = 250;

// Altitude as a fraction of the cruise altitude, `u` through the climb: the climb rate falls
// with height, from 1.6 times the average rate at lift-off to 0.4 times at the top.
double climbFraction(double u)
{
    return u * (1.6 - 0.6 * u);
}

// Altitude as a fraction of the cruise altitude, `w` through the descent: steeper at first, then
// a shallower approach, 1.4 times the average rate at the top of descent and 0.6 times on final.
double descentFraction(double w)
{
    return 1 - w * (1.4 - 0.4 * w);
}

// A piecewise-linear speed schedule over one phase: knots at four moments from its start.
struct SpeedSchedule {
    std::array<double, 4> seconds {};
    std::array<double, 4> knots {};

    double knotsAt(double t) const
    {
        for (size_t i = 1; i < seconds.size(); ++i) {
            if (t <= seconds[i] || i + 1 == seconds.size()) {
                double span = seconds[i] - seconds[i - 1];
                double f = span > 0 ? std::clamp((t - seconds[i - 1]) / span, 0.0, 1.0) : 1.0;
                return knots[i - 1] + (knots[i] - knots[i - 1]) * f;
            }
        }
        return knots.back();
    }
    // Nautical miles flown from the phase's start to `t`: the area under the schedule.
    double milesUntil(double t) const
    {
        double miles = 0;
        for (size_t i = 1; i < seconds.size() && t > seconds[i - 1]; ++i) {
            double end = std::min(t, seconds[i]);
            miles += (end - seconds[i - 1]) * (knots[i - 1] + knotsAt(end)) / 2 / 3600;
        }
        return miles;
    }

    // From one speed to another at an even rate over the phase.
    static SpeedSchedule even(double phaseSeconds, double fromKnots, double toKnots)
    {
        SpeedSchedule s;
        for (size_t i = 0; i < 4; ++i) {
            s.seconds[i] = phaseSeconds * static_cast<double>(i) / 3;
            s.knots[i] = fromKnots + (toKnots - fromKnots) * static_cast<double>(i) / 3;
        }
        return s;
    }
};

// The climb: from take-off speed up to 250 knots soon after lift-off, held to 10000 feet, then
// up to cruise speed at the top. Slow aircraft, or climbs that stay low, accelerate evenly.
SpeedSchedule climbSchedule(double climbSeconds, double topFeet, double cruiseKnots)
{
    double limit = topFeet > 0 ? kSpeedLimitFeet / topFeet : 1;
    if (cruiseKnots <= kSpeedLimitKnots || limit >= 1)
        return SpeedSchedule::even(climbSeconds, takeOffKnots(cruiseKnots), cruiseKnots);
    SpeedSchedule s;
    // Where climbFraction(u) reaches the limit height.
    double u = (1.6 - std::sqrt(2.56 - 2.4 * limit)) / 1.2;
    s.seconds = { 0, std::min(0.08, u / 2) * climbSeconds, u * climbSeconds, climbSeconds };
    s.knots = { takeOffKnots(cruiseKnots), kSpeedLimitKnots, kSpeedLimitKnots, cruiseKnots };
    return s;
}

// The descent: from cruise speed down to 250 knots by 10000 feet, held, then slowing to landing
// speed over the approach. Slow aircraft, or descents from low, slow down evenly.
SpeedSchedule descentSchedule(double descentSeconds, double topFeet, double cruiseKnots)
{
    double limit = topFeet > 0 ? kSpeedLimitFeet / topFeet : 1;
    if (cruiseKnots <= kSpeedLimitKnots || limit >= 1)
        return SpeedSchedule::even(descentSeconds, cruiseKnots, landingKnots(cruiseKnots));
    SpeedSchedule s;
    // Where descentFraction(w) comes down to the limit height.
    double w = (1.4 - std::sqrt(1.96 - 1.6 * (1 - limit))) / 0.8;
    double approach = std::max(w, 0.85);
    s.seconds = { 0, w * descentSeconds, approach * descentSeconds, descentSeconds };
    s.knots = { cruiseKnots, kSpeedLimitKnots, kSpeedLimitKnots, landingKnots(cruiseKnots) };
    return s;
}

std::string letters(Random& random, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += static_cast<char>('A' + random.below(26));
    return text;
}

} // namespace

namespace GreatCircle {

double distanceKm(double lat1, double lon1, double lat2, double lon2)
{
    double dLat = (lat2 - lat1) * kDegrees;
    double dLon = (lon2 - lon1) * kDegrees;
    double h = std::sin(dLat / 2) * std::sin(dLat / 2)
        + std::cos(lat1 * kDegrees) * std::cos(lat2 * kDegrees) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * kEarthRadiusKm * std::asin(std::min(1.0, std::sqrt(h)));
}

double initialBearing(double lat1, double lon1, double lat2, double lon2)
{
    double p1 = lat1 * kDegrees, p2 = lat2 * kDegrees, dl = (lon2 - lon1) * kDegrees;
    double y = std::sin(dl) * std::cos(p2);
    double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
    double bearing = std::atan2(y, x) / kDegrees;
    return std::fmod(bearing + 360.0, 360.0);
}

void interpolate(double lat1, double lon1, double lat2, double lon2, double f, double& lat, double& lon)
{
    double p1 = lat1 * kDegrees, l1 = lon1 * kDegrees, p2 = lat2 * kDegrees, l2 = lon2 * kDegrees;
    double d = distanceKm(lat1, lon1, lat2, lon2) / kEarthRadiusKm;
    if (d < 1e-9) {
        lat = lat1;
        lon = lon1;
        return;
    }
    double a = std::sin((1 - f) * d) / std::sin(d);
    double b = std::sin(f * d) / std::sin(d);
    double x = a * std::cos(p1) * std::cos(l1) + b * std::cos(p2) * std::cos(l2);
    double y = a * std::cos(p1) * std::sin(l1) + b * std::cos(p2) * std::sin(l2);
    double z = a * std::sin(p1) + b * std::sin(p2);
    lat = std::atan2(z, std::sqrt(x * x + y * y)) / kDegrees;
    lon = std::atan2(y, x) / kDegrees;
}

} // namespace GreatCircle

struct TrafficSimulation::Aircraft {
    std::string hex;
    const TypeProfile* profile = nullptr;
    size_t origin = 0;
    size_t destination = 0;
    const RefAirline* airline = nullptr;
    int flightNumber = 0;
    std::string registration;
    std::string squawk;
    double offset = 0; // seconds into the shuttle cycle at time 0
    double distanceKm = 0;
    double climbSeconds = 0;
    double cruiseSeconds = 0;
    double descentSeconds = 0;
    double topFeet = 0; // the cruise altitude, lower on hops too short to reach it
    SpeedSchedule climbSpeeds;
    SpeedSchedule descentSpeeds;
    double airborneSeconds = 0;
    double cycleSeconds = 0;
    bool scheduled = false;
    const char* vehicleType = nullptr; // set for airport ground vehicles
};

struct TrafficSimulation::State {
    Options options;
    std::vector<RefAirport> airports;
    std::vector<RefAirline> airlines;
    std::vector<Aircraft> fleet;
    std::unordered_map<std::string, size_t> byHex;
    std::unordered_map<std::string, size_t> byRegistration;
    std::string seasonalHex;
};

TrafficSimulation::TrafficSimulation()
    : m_state(std::make_unique<State>())
{
}

TrafficSimulation::~TrafficSimulation() = default;

const std::vector<RefAirport>& TrafficSimulation::airports() const
{
    return m_state->airports;
}

int TrafficSimulation::aircraftCount() const
{
    return static_cast<int>(m_state->fleet.size());
}

std::unique_ptr<TrafficSimulation> TrafficSimulation::create(const ReferenceData& data, const Options& options)
{
    std::unique_ptr<TrafficSimulation> simulation(new TrafficSimulation);
    State& s = *simulation->m_state;
    s.options = options;
    s.options.aircraft = std::clamp(options.aircraft, 0, kMaxAircraft);
    for (const auto& airport : data.airports) {
        if (airport.icao.size() == 4)
            s.airports.push_back(airport);
    }
    for (const auto& airline : data.airlines) {
        if (airline.iata.size() == 2 && airline.icao.size() == 3 && airline.callsign.size() >= 2)
            s.airlines.push_back(airline);
    }
    std::vector<size_t> major;
    for (size_t i = 0; i < s.airports.size(); ++i) {
        if (s.airports[i].major)
            major.push_back(i);
    }
    if (major.size() < 2 || s.airports.size() < 2)
        return nullptr;

    std::map<std::string, std::vector<const RefAirline*>> airlinesByCountry;
    for (const auto& airline : s.airlines)
        airlinesByCountry[airline.country].push_back(&airline);
    std::map<std::string, std::vector<std::string>> prefixesByCountry;
    for (const auto& prefix : data.prefixes)
        prefixesByCountry[prefix.country].push_back(prefix.prefix);

    std::vector<size_t> local;
    if (options.hotspot) {
        for (size_t i = 0; i < s.airports.size(); ++i) {
            const auto& airport = s.airports[i];
            if (GreatCircle::distanceKm(
                    airport.latitude, airport.longitude, (*options.hotspot)[0], (*options.hotspot)[1])
                <= 100)
                local.push_back(i);
        }
    }
    std::vector<const TypeProfile*> localProfiles;
    for (const auto& profile : kProfiles) {
        if (!profile.airline && profile.maxKm <= 2000)
            localProfiles.push_back(&profile);
    }

    int totalWeight = 0;
    for (const auto& profile : kProfiles)
        totalWeight += profile.weight;

    auto hexOf = [&](uint64_t index) {
        // Multiplying by an odd number is a bijection modulo 2^24, so addresses never collide.
        uint64_t value = (index * 0x9E3779B1ull + options.seed * 0x632BE5ABull + 0x400000) & 0xFFFFFF;
        char text[8];
        std::snprintf(text, sizeof text, "%06llX", static_cast<unsigned long long>(value));
        return std::string(text);
    };

    s.fleet.reserve(s.options.aircraft);
    for (int i = 0; i < s.options.aircraft; ++i) {
        Random random(mix(options.seed, static_cast<uint64_t>(i)));
        Aircraft a;
        a.hex = hexOf(static_cast<uint64_t>(i));

        int pick = static_cast<int>(random.below(totalWeight));
        for (const auto& profile : kProfiles) {
            if ((pick -= profile.weight) < 0) {
                a.profile = &profile;
                break;
            }
        }

        bool isLocal = local.size() >= 2 && i % 25 == 0;
        if (isLocal) {
            a.profile = localProfiles[random.below(localProfiles.size())];
        }

        // Airliners fly between major airports, the others between any two airfields, local
        // traffic between the airfields around the hotspot.
        const std::vector<size_t>* pool = nullptr;
        if (isLocal)
            pool = &local;
        else if (a.profile->airline)
            pool = &major;
        a.origin = pool ? (*pool)[random.below(pool->size())] : random.below(s.airports.size());
        const RefAirport& from = s.airports[a.origin];
        double bestScore = isLocal ? 0 : 1e18;
        if (isLocal) {
            do
                a.destination = local[random.below(local.size())];
            while (a.destination == a.origin);
        }
        double middle = (a.profile->minKm + a.profile->maxKm) / 2;
        for (int attempt = 0; !isLocal && attempt < 64; ++attempt) {
            size_t candidate = pool ? (*pool)[random.below(pool->size())] : random.below(s.airports.size());
            if (candidate == a.origin)
                continue;
            const RefAirport& to = s.airports[candidate];
            double km = GreatCircle::distanceKm(from.latitude, from.longitude, to.latitude, to.longitude);
            double score = (km >= a.profile->minKm && km <= a.profile->maxKm) ? 0 : std::abs(km - middle);
            if (score < bestScore) {
                bestScore = score;
                a.destination = candidate;
                if (score == 0)
                    break;
            }
        }
        if (a.destination == a.origin)
            a.destination = a.origin == major[0] ? major[1] : major[0];
        const RefAirport& to = s.airports[a.destination];

        std::string country = from.country;
        if (a.profile->airline && !s.airlines.empty()) {
            auto found = airlinesByCountry.find(from.country);
            if (found != airlinesByCountry.end())
                a.airline = found->second[random.below(found->second.size())];
            else
                a.airline = &s.airlines[random.below(s.airlines.size())];
            a.flightNumber = 1 + static_cast<int>(random.below(a.profile->maxKm > 6000 ? 999 : 4999));
            country = a.airline->country;
        }

        auto prefixes = prefixesByCountry.find(country);
        std::string prefix = prefixes != prefixesByCountry.end() ? prefixes->second.front() : "N";
        if (!a.airline && random.below(50) == 0)
            a.registration = "z.NO-REG";
        else if (prefix == "N")
            a.registration = "N" + std::to_string(100 + random.below(9900)) + letters(random, 2);
        else
            a.registration = prefix + "-" + letters(random, prefix.size() == 1 ? 4 : 3);

        if (!a.airline) {
            // Some private aircraft report no squawk at all.
            a.squawk = random.below(10) == 0 ? "" : country == "United States" ? "1200" : "7000";
        } else {
            do {
                a.squawk.clear();
                for (int d = 0; d < 4; ++d)
                    a.squawk += static_cast<char>('0' + random.below(8));
            } while (a.squawk == "7500" || a.squawk == "7600" || a.squawk == "7700");
        }

        // Speed follows the climb and descent schedules, so the distance flown is the area under
        // them; the cruise segment fills the rest. Hops too short for the whole climb and
        // descent level off lower and sooner.
        a.distanceKm = GreatCircle::distanceKm(from.latitude, from.longitude, to.latitude, to.longitude);
        double cruise = a.profile->cruiseKnots * kKnotKmPerSecond;
        a.topFeet = a.profile->cruiseFeet;
        a.climbSeconds = a.topFeet / kClimbFeetPerMinute * 60;
        a.descentSeconds = a.topFeet / kDescentFeetPerMinute * 60;
        auto schedule = [&a] {
            a.climbSpeeds = climbSchedule(a.climbSeconds, a.topFeet, a.profile->cruiseKnots);
            a.descentSpeeds = descentSchedule(a.descentSeconds, a.topFeet, a.profile->cruiseKnots);
            return (a.climbSpeeds.milesUntil(a.climbSeconds) + a.descentSpeeds.milesUntil(a.descentSeconds)) * 1.852;
        };
        double phasesKm = schedule();
        if (phasesKm > a.distanceKm) {
            double scale = a.distanceKm / phasesKm;
            a.climbSeconds *= scale;
            a.descentSeconds *= scale;
            a.topFeet *= scale;
            phasesKm = schedule();
        }
        a.cruiseSeconds = std::max(0.0, (a.distanceKm - phasesKm) / cruise);
        a.airborneSeconds = a.climbSeconds + a.cruiseSeconds + a.descentSeconds;
        a.cycleSeconds = 2 * kTaxiSeconds + a.airborneSeconds + kTurnaroundSeconds;
        a.offset = std::floor(random.unit() * a.cycleSeconds);
        a.scheduled = a.airline && random.below(20) == 0;
        // One aircraft in a hundred is instead a ground vehicle driving laps at a major airport.
        if (i % 100 == 99) {
            static const char* const vehicles[] = { "ZVEH", "LEADER", "SERVICE" };
            a.vehicleType = vehicles[random.below(3)];
            a.origin = a.destination = major[random.below(major.size())];
            a.airline = nullptr;
            a.scheduled = false;
            a.registration = "<gnd>";
            a.squawk.clear();
        }
        s.byHex.emplace(a.hex, s.fleet.size());
        if (a.registration != "z.NO-REG" && a.registration != "<gnd>")
            s.byRegistration.emplace(a.registration, s.fleet.size());
        s.fleet.push_back(std::move(a));
    }
    s.seasonalHex = hexOf(static_cast<uint64_t>(kMaxAircraft));
    return simulation;
}

SimPlane TrafficSimulation::planeOf(const Aircraft& a, double time) const
{
    const State& s = *m_state;
    if (a.vehicleType) {
        // Laps of a 600 m circle around the airport reference point at 15 knots.
        const RefAirport& airport = s.airports[a.origin];
        constexpr double radiusKm = 0.6, knots = 15;
        double lap = 2 * M_PI * radiusKm / (knots * kKnotKmPerSecond);
        double angle = 2 * M_PI * std::fmod(time + a.offset, lap) / lap;
        SimPlane p;
        p.hex = a.hex;
        p.type = a.vehicleType;
        p.registration = a.registration;
        p.callsign = a.hex;
        p.latitude = std::round((airport.latitude + radiusKm / 111.2 * std::cos(angle)) * 1e5) / 1e5;
        p.longitude = std::round((airport.longitude
                                     + radiusKm / (111.2 * std::max(0.05, std::cos(airport.latitude * kDegrees)))
                                         * std::sin(angle))
                          * 1e5)
            / 1e5;
        // Driving clockwise on the map: the heading leads the position by a quarter turn.
        p.heading = std::round(std::fmod(angle / kDegrees + 90.0, 360.0));
        if (p.heading == 0)
            p.heading = 360;
        p.speed = knots;
        p.onGround = true;
        p.departureTime = time;
        p.arrivalTime = time + 1;
        p.reportTime = std::floor(time);
        return p;
    }
    double cycles = std::floor((time + a.offset) / a.cycleSeconds);
    double tau = time + a.offset - cycles * a.cycleSeconds;
    bool outbound = std::fmod(cycles, 2.0) == 0;
    const RefAirport& from = s.airports[outbound ? a.origin : a.destination];
    const RefAirport& to = s.airports[outbound ? a.destination : a.origin];

    SimPlane p;
    p.hex = a.hex;
    p.type = a.profile->designator;
    p.origin = from.iata;
    p.originIcao = from.icao;
    p.destination = to.iata;
    p.destinationIcao = to.icao;
    p.registration = a.registration;
    p.squawk = a.squawk;
    p.dataType = a.scheduled ? 1 : 0;
    p.departureTime = time - tau + kTaxiSeconds;
    p.arrivalTime = p.departureTime + a.airborneSeconds;
    if (a.airline) {
        p.airlineIcao = a.airline->icao;
        p.callsign = a.airline->icao + std::to_string(a.flightNumber);
        p.flightNumber = a.airline->iata + std::to_string(a.flightNumber);
    } else {
        p.callsign = a.registration == "z.NO-REG" ? a.hex : a.registration;
        p.callsign.erase(std::remove(p.callsign.begin(), p.callsign.end(), '-'), p.callsign.end());
    }

    double air = a.airborneSeconds;
    double cruiseKnots = a.profile->cruiseKnots;
    // Taxiing runs between the aircraft's stand and the airport's reference point, where it
    // lifts off and touches down; `progress` 0 is at the stand.
    auto taxi = [&](const RefAirport& airport, double progress, bool outbound, double knots) {
        // The stand: 0.3 to 1.8 km from the reference point in a direction of the aircraft's own.
        uint64_t spot = mix(std::stoull(a.hex, nullptr, 16), 0x5354414E44ull);
        double bearing = static_cast<double>(spot % 3600) / 10 * kDegrees;
        double km = 0.3 + static_cast<double>((spot >> 16) % 1000) / 1000 * 1.5;
        double standLatitude = airport.latitude + km / 111.2 * std::cos(bearing);
        double standLongitude = airport.longitude
            + km / (111.2 * std::max(0.05, std::cos(airport.latitude * kDegrees))) * std::sin(bearing);
        p.latitude = standLatitude + (airport.latitude - standLatitude) * progress;
        p.longitude = standLongitude + (airport.longitude - standLongitude) * progress;
        double towardsRunway
            = GreatCircle::initialBearing(standLatitude, standLongitude, airport.latitude, airport.longitude);
        p.heading = outbound ? towardsRunway : std::fmod(towardsRunway + 180, 360);
        p.speed = knots;
        p.onGround = true;
    };
    if (tau < kTaxiSeconds) {
        taxi(from, tau / kTaxiSeconds, true, 15);
    } else if (tau < kTaxiSeconds + air) {
        double t = tau - kTaxiSeconds;
        double vc = cruiseKnots;
        double climb = a.climbSeconds, cruise = a.cruiseSeconds, descent = a.descentSeconds;
        double climbMiles = a.climbSpeeds.milesUntil(climb);
        double flownKm = 0; // the area under the speed schedule up to t
        if (t < climb) {
            p.speed = a.climbSpeeds.knotsAt(t);
            p.altitude = a.topFeet * climbFraction(climb > 0 ? t / climb : 1);
            flownKm = a.climbSpeeds.milesUntil(t) * 1.852;
        } else if (t < climb + cruise) {
            p.speed = vc;
            p.altitude = a.topFeet;
            flownKm = climbMiles * 1.852 + (t - climb) * vc * kKnotKmPerSecond;
        } else {
            double d = std::min(t - climb - cruise, descent);
            p.speed = a.descentSpeeds.knotsAt(d);
            p.altitude = a.topFeet * descentFraction(descent > 0 ? d / descent : 1);
            flownKm = (climbMiles + a.descentSpeeds.milesUntil(d)) * 1.852 + cruise * vc * kKnotKmPerSecond;
        }
        double fraction = a.distanceKm > 0 ? std::clamp(flownKm / a.distanceKm, 0.0, 1.0) : 1.0;
        GreatCircle::interpolate(
            from.latitude, from.longitude, to.latitude, to.longitude, fraction, p.latitude, p.longitude);
        p.heading = GreatCircle::initialBearing(p.latitude, p.longitude, to.latitude, to.longitude);
        p.speed = std::round(p.speed);
        p.altitude = p.altitude >= a.topFeet ? a.topFeet : std::round(p.altitude / 25) * 25;
    } else if (tau < 2 * kTaxiSeconds + air) {
        taxi(to, 1 - (tau - kTaxiSeconds - air) / kTaxiSeconds, false, 12);
    } else {
        taxi(to, 0, false, 0);
        p.parked = true;
    }
    p.heading = std::round(p.heading);
    if (p.heading == 0)
        p.heading = 360;
    p.latitude = std::round(p.latitude * 1e5) / 1e5;
    p.longitude = std::round(p.longitude * 1e5) / 1e5;
    // Reports reach the service a few seconds apart.
    double whole = std::floor(time);
    p.reportTime
        = whole - static_cast<double>(mix(std::stoull(a.hex, nullptr, 16), static_cast<uint64_t>(whole) / 5) % 6);
    return p;
}

std::vector<SimPlane> TrafficSimulation::planesAt(double time) const
{
    const State& s = *m_state;
    std::vector<SimPlane> planes;
    planes.reserve(s.fleet.size() + 1);
    for (const auto& a : s.fleet) {
        if (!a.scheduled)
            planes.push_back(planeOf(a, time));
    }
    for (const auto& a : s.fleet) {
        if (a.scheduled)
            planes.push_back(planeOf(a, time));
    }
    if (s.options.seasonal) {
        // The seasonal visitor circles the globe westwards once a day at 60 degrees north.
        SimPlane p;
        p.hex = s.seasonalHex;
        p.type = "SLEIGH";
        p.registration = "z.NO-REG";
        p.callsign = "HOHOHO";
        p.latitude = 60;
        double degrees = std::fmod(time, 86400.0) / 86400.0 * 360.0;
        p.longitude = 180 - degrees;
        p.altitude = 10000;
        p.heading = 270;
        p.speed = 450;
        p.reportTime = std::floor(time);
        p.squawk = "1225";
        p.dataType = 99;
        planes.push_back(std::move(p));
    }
    return planes;
}

std::optional<SimPlane> TrafficSimulation::planeAt(const std::string& hex, double time) const
{
    auto found = m_state->byHex.find(hex);
    if (found != m_state->byHex.end())
        return planeOf(m_state->fleet[found->second], time);
    if (m_state->options.seasonal && hex == m_state->seasonalHex) {
        auto planes = planesAt(time);
        return planes.back();
    }
    return std::nullopt;
}

std::optional<SimPlane> TrafficSimulation::planeWithRegistration(const std::string& registration, double time) const
{
    auto found = m_state->byRegistration.find(registration);
    if (found == m_state->byRegistration.end())
        return std::nullopt;
    return planeOf(m_state->fleet[found->second], time);
}

std::vector<std::array<double, 3>> TrafficSimulation::pathOf(const std::string& hex, double until) const
{
    std::vector<std::array<double, 3>> points;
    auto found = m_state->byHex.find(hex);
    if (found == m_state->byHex.end())
        return points;
    const Aircraft& a = m_state->fleet[found->second];
    if (a.vehicleType)
        return points;
    SimPlane now = planeOf(a, until);
    if (until < now.departureTime || now.speed == 0)
        return points;
    double end = std::min(until, now.arrivalTime);
    for (double t = now.departureTime; t < end; t += 60) {
        SimPlane p = planeOf(a, t);
        points.push_back({ p.latitude, p.longitude, p.altitude });
    }
    SimPlane last = planeOf(a, end);
    points.push_back({ last.latitude, last.longitude, last.altitude });
    return points;
}
