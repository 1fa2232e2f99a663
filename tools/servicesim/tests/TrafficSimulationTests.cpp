#include "servicesim/TrafficSimulation.h"

#include "refdata/ReferenceData.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <set>

namespace {

const ReferenceData& referenceData()
{
    static const ReferenceData data = [] {
        std::string error;
        auto loaded = ReferenceData::load(VX_SOURCE_DIR "/resources/data", &error);
        EXPECT_TRUE(loaded) << error;
        return loaded ? std::move(*loaded) : ReferenceData {};
    }();
    return data;
}

constexpr double kStart = 1765370000; // a fixed moment, so every run sees the same sky

} // namespace

TEST(TrafficSimulation, IsDeterministicPerSeedAndKeepsAddressesUnique)
{
    auto a = TrafficSimulation::create(referenceData(), { 7, 20000, false, {} });
    auto b = TrafficSimulation::create(referenceData(), { 7, 20000, false, {} });
    auto c = TrafficSimulation::create(referenceData(), { 8, 20000, false, {} });
    ASSERT_TRUE(a && b && c);
    auto planesA = a->planesAt(kStart), planesB = b->planesAt(kStart), planesC = c->planesAt(kStart);
    ASSERT_EQ(planesA.size(), 20000u);
    std::set<std::string> addresses;
    size_t differing = 0;
    for (size_t i = 0; i < planesA.size(); ++i) {
        EXPECT_EQ(planesA[i].hex, planesB[i].hex);
        EXPECT_EQ(planesA[i].latitude, planesB[i].latitude);
        EXPECT_EQ(planesA[i].callsign, planesB[i].callsign);
        addresses.insert(planesA[i].hex);
        differing += planesA[i].hex != planesC[i].hex || planesA[i].callsign != planesC[i].callsign;
    }
    EXPECT_EQ(addresses.size(), planesA.size());
    EXPECT_GT(differing, planesA.size() * 9 / 10);
}

// A registration finds the first aircraft of the fleet that carries it; placeholders find none.
TEST(TrafficSimulation, FindsAPlaneByItsRegistration)
{
    auto simulation = TrafficSimulation::create(referenceData(), { 7, 2000, false, {} });
    ASSERT_TRUE(simulation);
    std::set<std::string> seen;
    for (const auto& plane : simulation->planesAt(kStart)) {
        if (plane.registration == "z.NO-REG" || plane.registration == "<gnd>"
            || !seen.insert(plane.registration).second)
            continue;
        SCOPED_TRACE(plane.registration);
        auto found = simulation->planeWithRegistration(plane.registration, kStart);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->hex, plane.hex);
        EXPECT_EQ(found->airlineIcao, plane.airlineIcao);
        EXPECT_EQ(found->type, plane.type);
    }
    EXPECT_GT(seen.size(), 1000u);
    for (const char* placeholder : { "z.NO-REG", "<gnd>", "Q-QQQQ" })
        EXPECT_FALSE(simulation->planeWithRegistration(placeholder, kStart)) << placeholder;
}

TEST(TrafficSimulation, PlanesFollowTheirFlightPhase)
{
    auto simulation = TrafficSimulation::create(referenceData(), { 3, 1500, true, {} });
    ASSERT_TRUE(simulation);
    auto now = simulation->planesAt(kStart);
    auto later = simulation->planesAt(kStart + 60);
    ASSERT_EQ(now.size(), later.size());
    int airborne = 0, grounded = 0, scheduled = 0, seasonal = 0, checkedMotion = 0;
    for (size_t i = 0; i < now.size(); ++i) {
        const SimPlane& p = now[i];
        SCOPED_TRACE(p.hex + " " + p.type + " " + p.callsign);
        ASSERT_EQ(p.hex.size(), 6u);
        ASSERT_LE(std::abs(p.latitude), 90.0);
        ASSERT_LE(std::abs(p.longitude), 180.0);
        ASSERT_GE(p.heading, 1.0);
        ASSERT_LE(p.heading, 360.0);
        ASSERT_LE(p.reportTime, kStart);
        ASSERT_GE(p.reportTime, kStart - 10);
        ASSERT_FALSE(p.registration.empty());
        ASSERT_FALSE(p.callsign.empty());
        ASSERT_TRUE(p.squawk.size() == 4u || (p.squawk.empty() && p.flightNumber.empty()));
        scheduled += p.dataType == 1;
        seasonal += p.dataType == 99;
        if (p.dataType == 99)
            continue;
        ASSERT_TRUE(p.departureTime < p.arrivalTime);
        if (p.onGround) {
            ++grounded;
            EXPECT_EQ(p.altitude, 0);
            EXPECT_LE(p.speed, 15);
            continue;
        }
        ++airborne;
        EXPECT_GT(p.speed, 90);
        EXPECT_LE(p.altitude, 45000);
        // A plane in level flight covers its speed's distance in a minute, along its heading.
        const SimPlane& q = later[i];
        if (!q.onGround && q.altitude == p.altitude && q.speed == p.speed && p.altitude > 0) {
            double km = GreatCircle::distanceKm(p.latitude, p.longitude, q.latitude, q.longitude);
            EXPECT_NEAR(km, p.speed * 1.852 / 60, 0.02 * p.speed * 1.852 / 60) << "moved " << km << " km";
            double bearing = GreatCircle::initialBearing(p.latitude, p.longitude, q.latitude, q.longitude);
            EXPECT_LT(std::abs(std::remainder(bearing - p.heading, 360.0)), 5.0);
            ++checkedMotion;
        }
    }
    EXPECT_GT(airborne, static_cast<int>(now.size()) / 2);
    EXPECT_GT(grounded, 0);
    EXPECT_GT(scheduled, 0);
    EXPECT_EQ(seasonal, 1);
    EXPECT_GT(checkedMotion, 100);
}

// Aircraft on the ground each have a stand of their own and taxi between it and the runway, so
// a busy airport does not pile its aircraft onto its reference point. Those parked between
// flights are marked so (the feed leaves them out); taxiing ones move.
TEST(TrafficSimulation, AircraftOnTheGroundKeepStandsOfTheirOwn)
{
    const std::array<double, 2> london { 51.47, -0.45 };
    auto simulation = TrafficSimulation::create(referenceData(), { 3, 3000, false, london });
    ASSERT_TRUE(simulation);
    std::map<std::pair<long, long>, int> spots;
    int grounded = 0, parked = 0, taxiing = 0;
    for (const auto& p : simulation->planesAt(kStart)) {
        if (!p.onGround || p.registration == "<gnd>")
            continue;
        ++grounded;
        // Positions to about 10 m.
        ++spots[{ std::lround(p.latitude * 1e4), std::lround(p.longitude * 1e4) }];
        if (p.parked) {
            ++parked;
            EXPECT_EQ(p.speed, 0);
        } else {
            ++taxiing;
            EXPECT_GT(p.speed, 0);
        }
    }
    ASSERT_GT(grounded, 100);
    EXPECT_GT(parked, 0);
    EXPECT_GT(taxiing, 0);
    int crowded = 0;
    for (const auto& [spot, count] : spots)
        crowded = std::max(crowded, count);
    EXPECT_LE(crowded, 2) << "aircraft sharing one spot";
    for (const auto& p : simulation->planesAt(kStart))
        EXPECT_TRUE(!p.parked || p.onGround) << p.hex;
}

TEST(TrafficSimulation, PathRunsFromDepartureToTheCurrentPosition)
{
    auto simulation = TrafficSimulation::create(referenceData(), { 5, 400, false, {} });
    ASSERT_TRUE(simulation);
    int checked = 0;
    for (const auto& plane : simulation->planesAt(kStart)) {
        if (plane.onGround || checked >= 20)
            continue;
        SCOPED_TRACE(plane.hex);
        auto path = simulation->pathOf(plane.hex, kStart);
        ASSERT_GE(path.size(), 2u);
        EXPECT_EQ(path.front()[2], 0); // leaves the ground
        EXPECT_DOUBLE_EQ(path.back()[0], plane.latitude);
        EXPECT_DOUBLE_EQ(path.back()[1], plane.longitude);
        EXPECT_DOUBLE_EQ(path.back()[2], plane.altitude);
        EXPECT_NEAR(static_cast<double>(path.size()), std::ceil((kStart - plane.departureTime) / 60) + 1, 1);
        ++checked;
    }
    EXPECT_EQ(checked, 20);
    EXPECT_TRUE(simulation->pathOf("ZZZZZZ", kStart).empty());
}

TEST(TrafficSimulation, KeepsLocalTrafficAroundTheHotspotAndVariesTheFeedsOddities)
{
    const std::array<double, 2> munich { 48.35, 11.79 };
    auto simulation = TrafficSimulation::create(referenceData(), { 9, 2000, false, munich });
    ASSERT_TRUE(simulation);
    int near = 0, noRegistration = 0, noFlightNumber = 0, noSquawk = 0, vehicles = 0;
    for (double t : { kStart, kStart + 1800, kStart + 7200 }) {
        near = 0;
        for (const auto& p : simulation->planesAt(t)) {
            near += std::abs(p.latitude - munich[0]) <= 1.5 && std::abs(p.longitude - munich[1]) <= 1.5;
            noRegistration += p.registration == "z.NO-REG";
            noFlightNumber += p.flightNumber.empty();
            noSquawk += p.squawk.empty();
            if (p.registration == "<gnd>") {
                ++vehicles;
                EXPECT_TRUE(p.onGround);
                EXPECT_EQ(p.altitude, 0);
                EXPECT_TRUE(p.type == "ZVEH" || p.type == "LEADER" || p.type == "SERVICE") << p.type;
            }
        }
        EXPECT_GE(near, 2000 / 25) << "at " << t;
    }
    EXPECT_GT(noRegistration, 0);
    EXPECT_GT(noFlightNumber, 0);
    EXPECT_GT(noSquawk, 0);
    EXPECT_EQ(vehicles, 3 * 20);
}
