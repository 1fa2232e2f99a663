#include "servicesim/ServiceSimulator.h"

#include "refdata/ReferenceData.h"
#include "servicesim/TrafficSimulation.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <httplib.h>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>

using nlohmann::json;

namespace {

constexpr double kStart = 1765370000;

// A simulator on a free loopback port with a fixed clock, and a client for it.
class ServiceSimulatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ServiceSimulator::Options options;
        options.seed = 11;
        options.aircraft = 600;
        options.fixedTime = kStart;
        options.versionUuids = { { "armv7", "3F2504E0-4F89-11D3-9A0C-0305E82C3301" } };
        options.sleeper = [this](double seconds) { m_slept.push_back(seconds); };
        std::string error;
        m_simulator = ServiceSimulator::create(options, &error);
        ASSERT_TRUE(m_simulator) << error;
        ASSERT_TRUE(m_simulator->start(0));
        m_client = std::make_unique<httplib::Client>("127.0.0.1", m_simulator->port());
    }

    httplib::Result get(const std::string& target) { return m_client->Get(target.c_str()); }

    json getJson(const std::string& target, int status = 200)
    {
        auto result = get(target);
        EXPECT_TRUE(result) << target;
        if (!result)
            return nullptr;
        EXPECT_EQ(result->status, status) << target << ": " << result->body;
        EXPECT_EQ(result->get_header_value("Content-Type"), "application/json") << target;
        return json::parse(result->body, nullptr, false);
    }

    json fullPoll(const std::string& routeType = "ICAO", const std::string& faa = "0")
    {
        return getJson("/APPAPIv2/planeUpdate.php?routetype=" + routeType + "&FAA=" + faa + "&ts=0&background=0");
    }

    std::unique_ptr<ServiceSimulator> m_simulator;
    std::unique_ptr<httplib::Client> m_client;
    std::vector<double> m_slept;
};

// Checks one 13-field plane record as the client decodes it.
void expectPlaneRecord(const std::string& hex, const json& info, size_t codeLength)
{
    SCOPED_TRACE(hex + " " + info.dump());
    ASSERT_TRUE(std::regex_match(hex, std::regex("[0-9A-F]{6}")));
    ASSERT_TRUE(info.is_array());
    ASSERT_EQ(info.size(), 13u);
    for (int text : { 0, 1, 2, 3, 10, 12 })
        ASSERT_TRUE(info[text].is_string()) << "element " << text;
    for (int number : { 4, 5, 6, 7, 8, 9 })
        ASSERT_TRUE(info[number].is_number()) << "element " << number;
    ASSERT_TRUE(info[11].is_number_integer());
    std::string route = info[1];
    if (info[2] == "<gnd>") {
        EXPECT_EQ(route, ""); // ground vehicles have no route
        return;
    }
    ASSERT_EQ(route.size(), 2 * codeLength + 1);
    EXPECT_EQ(route[codeLength], '-');
    EXPECT_LE(info[9].get<double>(), kStart);
}

} // namespace

TEST_F(ServiceSimulatorTest, FullAndDeltaPollsAnswerPlaneRecordsWithTheServiceTime)
{
    auto result = get("/APPAPIv2/planeUpdate.php?routetype=IATA&FAA=1&ts=0&background=0");
    ASSERT_TRUE(result);
    ASSERT_EQ(result->status, 200);
    EXPECT_DOUBLE_EQ(std::stod(result->get_header_value("X-VX-S-TIME")), kStart);
    EXPECT_EQ(result->get_header_value("Cache-Control"), "no-store");
    auto withScheduled = json::parse(result->body)["planes"];
    // Every aircraft of the fleet but those parked with their transponders off.
    std::string error;
    auto data = ReferenceData::load(VX_SOURCE_DIR "/resources/data", &error);
    ASSERT_TRUE(data) << error;
    auto traffic = TrafficSimulation::create(*data, { 11, 600, false, {} });
    ASSERT_TRUE(traffic);
    size_t transmitting = 0, parked = 0;
    for (const auto& plane : traffic->planesAt(kStart)) {
        transmitting += !plane.parked;
        parked += plane.parked;
    }
    EXPECT_GT(parked, 0u);
    EXPECT_EQ(withScheduled.size(), transmitting);
    EXPECT_EQ(withScheduled.size() + parked, 600u);

    auto live = fullPoll("ICAO", "0")["planes"];
    int scheduled = 0;
    for (auto& [hex, info] : withScheduled.items()) {
        expectPlaneRecord(hex, info, 3);
        if (info[11] == 1) {
            ++scheduled;
            EXPECT_FALSE(live.contains(hex)) << "scheduled entries only with FAA=1";
        } else {
            ASSERT_TRUE(live.contains(hex));
            expectPlaneRecord(hex, live[hex], 4);
            EXPECT_EQ(live[hex][3], info[3]);
        }
    }
    EXPECT_GT(scheduled, 0);
    EXPECT_EQ(live.size() + scheduled, withScheduled.size());
    // Aircraft on the ground in the feed are taxiing (or ground vehicles driving): none stands.
    for (auto& [hex, info] : withScheduled.items()) {
        if (info[6] == 0) {
            EXPECT_GT(info[8].get<double>(), 0) << hex << " stands still on the ground";
        }
    }

    // Delta polls list exactly the planes inside the box, also across the antimeridian, where
    // the box may be written either way.
    struct Box {
        const char* bounds;
        double north, south, west, east; // east may be below west when the box crosses 180
    };
    const Box boxes[] = {
        { "60,35,30,-15", 60, 35, -15, 30 },
        { "70,-50,-170,150", 70, -50, 150, -170 },
        { "70,-50,190,150", 70, -50, 150, -170 },
        { "10.5,-10.25,20.75,-20", 10.5, -10.25, -20, 20.75 },
    };
    for (const auto& box : boxes) {
        SCOPED_TRACE(box.bounds);
        auto delta = getJson(std::string("/APPAPIv2/planeUpdate.php?routetype=ICAO&FAA=0&ts=1765369990&bounds=")
            + box.bounds + "&background=1")["planes"];
        size_t expected = 0;
        for (auto& [hex, info] : live.items()) {
            double lat = info[4], lon = info[5];
            bool inLon
                = box.west <= box.east ? (lon >= box.west && lon <= box.east) : (lon >= box.west || lon <= box.east);
            bool inside = lat <= box.north && lat >= box.south && inLon;
            expected += inside;
            EXPECT_EQ(delta.contains(hex), inside) << hex << " at " << lat << "," << lon;
        }
        EXPECT_EQ(delta.size(), expected);
        EXPECT_GT(expected, 0u);
    }

    // The clock moves only when told to, and the planes with it.
    m_simulator->advanceTime(120);
    auto moved = get("/APPAPIv2/planeUpdate.php?routetype=ICAO&FAA=0&ts=0&background=0");
    ASSERT_TRUE(moved);
    EXPECT_DOUBLE_EQ(std::stod(moved->get_header_value("X-VX-S-TIME")), kStart + 120);
    EXPECT_NE(json::parse(moved->body)["planes"], live);
}

TEST_F(ServiceSimulatorTest, RejectsMalformedPollsWithAJsonError)
{
    const char* targets[] = {
        "/APPAPIv2/planeUpdate.php?FAA=0&ts=0&background=0",
        "/APPAPIv2/planeUpdate.php?routetype=XX&FAA=0&ts=0&background=0",
        "/APPAPIv2/planeUpdate.php?routetype=ICAO&FAA=2&ts=0&background=0",
        "/APPAPIv2/planeUpdate.php?routetype=ICAO&FAA=0&ts=soon&background=0",
        "/APPAPIv2/planeUpdate.php?routetype=ICAO&FAA=0&ts=0&bounds=1,2,3&background=0",
        "/APPAPIv2/planeUpdate.php?routetype=ICAO&FAA=0&ts=0&bounds=10,20,3,4&background=0",
        "/APPAPIv2/planeUpdate.php?routetype=ICAO&FAA=0&ts=0&bounds=a,b,c,d&background=0",
        "/APPAPIv2/planeFlightPath.php",
        "/APPAPIv2/planeFlightPath.php?adshex=ABCDEF&tmestamp=later",
        "/APPAPIv2/getHistoryForPlane.php?querytype=3",
    };
    for (const char* target : targets) {
        SCOPED_TRACE(target);
        auto answer = getJson(target, 400);
        EXPECT_TRUE(answer.contains("response"));
    }
}

TEST_F(ServiceSimulatorTest, FaultsChangeStatusBodyHeaderAndTiming)
{
    const std::string poll = "/APPAPIv2/planeUpdate.php?routetype=ICAO&FAA=0&ts=0&background=0";
    struct Case {
        const char* fault;
        int status;
        std::function<void(const httplib::Response&)> check;
    };
    const Case cases[] = {
        { "/APPAPIv2/planeUpdate.php:status=500,body=empty", 500, [](auto& r) { EXPECT_TRUE(r.body.empty()); } },
        { "/APPAPIv2/planeUpdate.php:status=204,body=empty", 204, [](auto& r) { EXPECT_TRUE(r.body.empty()); } },
        { "/APPAPIv2/planeUpdate.php:status=304,body=empty", 304, [](auto& r) { EXPECT_TRUE(r.body.empty()); } },
        { "/APPAPIv2/planeUpdate.php:body=empty", 200, [](auto& r) { EXPECT_TRUE(r.body.empty()); } },
        { "/APPAPIv2/planeUpdate.php:body=malformed", 200,
            [](auto& r) { EXPECT_TRUE(json::parse(r.body, nullptr, false).is_discarded()); } },
        { "/APPAPIv2/planeUpdate.php:body=truncated", 200,
            [](auto& r) { EXPECT_TRUE(json::parse(r.body, nullptr, false).is_discarded()); } },
        { "/APPAPIv2/planeUpdate.php:body=planes-array", 200,
            [](auto& r) { EXPECT_TRUE(json::parse(r.body)["planes"].is_array()); } },
        { "/APPAPIv2/planeUpdate.php:no-time-header", 200,
            [](auto& r) {
                EXPECT_FALSE(r.has_header("X-VX-S-TIME"));
                EXPECT_FALSE(json::parse(r.body)["planes"].empty());
            } },
        { "/APPAPIv2/planeUpdate.php:body=null-items", 200,
            [](auto& r) {
                auto planes = json::parse(r.body)["planes"];
                ASSERT_FALSE(planes.empty());
                size_t fields = 0, nulls = 0;
                for (const auto& [hex, info] : planes.items()) {
                    fields += info.size();
                    nulls += std::count_if(info.begin(), info.end(), [](const json& f) { return f.is_null(); });
                }
                EXPECT_EQ(fields, 13 * planes.size());
                EXPECT_EQ(nulls, fields);
            } },
        { "/APPAPIv2/planeUpdate.php:status=404,body=error-object", 404,
            [](auto& r) { EXPECT_EQ(json::parse(r.body)["response"], "Simulated failure"); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        auto fault = SimFault::parse(c.fault);
        ASSERT_TRUE(fault);
        fault->times = 1;
        m_simulator->addFault(*fault);
        auto faulty = get(poll);
        ASSERT_TRUE(faulty);
        EXPECT_EQ(faulty->status, c.status);
        c.check(*faulty);
        // Spent after one request: the next answer is regular again.
        auto regular = get(poll);
        ASSERT_TRUE(regular);
        EXPECT_EQ(regular->status, 200);
        EXPECT_TRUE(regular->has_header("X-VX-S-TIME"));
    }

    // A fault on another path leaves this one alone; a delay goes through the sleeper.
    m_simulator->addFault(*SimFault::parse("/APPAPIv2/vaa.php:status=503"));
    m_simulator->addFault(*SimFault::parse("/APPAPIv2/planeUpdate.php:delay=2.5,times=2"));
    EXPECT_EQ(get(poll)->status, 200);
    EXPECT_EQ(get(poll)->status, 200);
    EXPECT_EQ(get(poll)->status, 200);
    EXPECT_EQ(m_slept, (std::vector<double> { 2.5, 2.5 }));
    EXPECT_EQ(get("/APPAPIv2/vaa.php")->status, 503);
    m_simulator->clearFaults();
    EXPECT_EQ(get("/APPAPIv2/vaa.php")->status, 200);

    // The same faults can be set over HTTP by a client in another process.
    auto posted = m_client->Post(
        "/_sim/faults", "/APPAPIv2/vaa.php:body=null-items\n/v1/getLogo.php:status=500\n", "text/plain");
    ASSERT_TRUE(posted);
    EXPECT_EQ(posted->status, 200);
    EXPECT_EQ(get("/v1/getLogo.php?airlineCode=BAW")->status, 500);
    auto nulled = getJson("/APPAPIv2/vaa.php");
    EXPECT_TRUE(nulled["ETNA-1"][0]["lat"].is_null());
    auto refused = m_client->Post("/_sim/faults", "/x:status=99\n", "text/plain");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 400);
}

// Replies are compressed for a client that accepts it, brotli before gzip, and decode to the
// reply a client without compression gets.
TEST_F(ServiceSimulatorTest, CompressesRepliesForClientsThatAcceptIt)
{
    const std::string poll = "/APPAPIv2/planeUpdate.php?routetype=ICAO&FAA=0&ts=0&background=0";
    httplib::Client plain("127.0.0.1", m_simulator->port());
    plain.set_decompress(false);
    auto identity = plain.Get(poll.c_str(), { { "Accept-Encoding", "identity" } });
    ASSERT_TRUE(identity);
    EXPECT_FALSE(identity->has_header("Content-Encoding"));
    ASSERT_FALSE(json::parse(identity->body)["planes"].empty());

    const std::pair<const char*, const char*> cases[] = {
        { "br", "br" },
        { "gzip, deflate, br", "br" },
        { "gzip, deflate", "gzip" },
        { "deflate", "" },
    };
    for (const auto& [accepted, encoding] : cases) {
        SCOPED_TRACE(accepted);
        auto raw = plain.Get(poll.c_str(), { { "Accept-Encoding", accepted } });
        ASSERT_TRUE(raw);
        EXPECT_EQ(raw->get_header_value("Content-Encoding"), encoding);
        if (*encoding) {
            EXPECT_LT(raw->body.size(), identity->body.size() * 3 / 4);
        }
        // A client that decodes what it accepts reads the same answer.
        httplib::Client decoding("127.0.0.1", m_simulator->port());
        auto decoded = decoding.Get(poll.c_str(), { { "Accept-Encoding", accepted } });
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->body, identity->body);
    }
    // The record shows what the client sent.
    auto recorded = m_simulator->requestsForPath("/APPAPIv2/planeUpdate.php").back().headers;
    auto encoding = recorded.find("Accept-Encoding");
    ASSERT_NE(encoding, recorded.end());
    EXPECT_EQ(encoding->second, "deflate");
}

TEST(SimFault, ParsesItsTextForm)
{
    struct Case {
        const char* text;
        bool valid;
        int status = 0;
        double delay = 0;
        SimFault::Body body = SimFault::Body::Normal;
        bool omitTimeHeader = false;
        int times = -1;
    };
    const Case cases[] = {
        { "/a.php", true },
        { "/a.php:status=500", true, 500 },
        { "/a.php:delay=0.25,body=truncated,times=3", true, 0, 0.25, SimFault::Body::Truncated, false, 3 },
        { "/a.php:no-time-header,status=201", true, 201, 0, SimFault::Body::Normal, true },
        { "/a.php:body=null-items", true, 0, 0, SimFault::Body::NullItems },
        { "a.php", false },
        { "/a.php:status=99", false },
        { "/a.php:status=abc", false },
        { "/a.php:delay=-1", false },
        { "/a.php:times=0", false },
        { "/a.php:body=sideways", false },
        { "/a.php:colour=red", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        auto fault = SimFault::parse(c.text, &error);
        ASSERT_EQ(fault.has_value(), c.valid) << error;
        if (!fault)
            continue;
        EXPECT_EQ(fault->path, "/a.php");
        EXPECT_EQ(fault->status, c.status);
        EXPECT_EQ(fault->delaySeconds, c.delay);
        EXPECT_EQ(fault->body, c.body);
        EXPECT_EQ(fault->omitTimeHeader, c.omitTimeHeader);
        EXPECT_EQ(fault->times, c.times);
    }
}

TEST_F(ServiceSimulatorTest, PathAndMetadataDescribeTheFeedsPlanes)
{
    auto planes = fullPoll("IATA", "0")["planes"];
    std::string hex;
    for (auto& [key, info] : planes.items()) {
        if (info[6].get<double>() > 20000 && !info[12].get<std::string>().empty()) {
            hex = key;
            break;
        }
    }
    ASSERT_FALSE(hex.empty());
    const json& info = planes[hex];

    auto path = getJson("/APPAPIv2/planeFlightPath.php?adshex=" + hex)["path"];
    ASSERT_GE(path.size(), 3u);
    for (const auto& point : path) {
        ASSERT_EQ(point.size(), 3u);
        ASSERT_TRUE(point[0].is_number() && point[1].is_number() && point[2].is_number());
    }
    EXPECT_EQ(path.back()[0], info[4]);
    EXPECT_EQ(path.back()[1], info[5]);
    auto earlier
        = getJson("/APPAPIv2/planeFlightPath.php?adshex=" + hex + "&tmestamp=" + std::to_string(kStart - 600))["path"];
    EXPECT_LT(earlier.size(), path.size());
    EXPECT_EQ(getJson("/APPAPIv2/planeFlightPath.php?adshex=000000")["path"], json::array());

    auto meta = getJson("/APPAPIv2/planeMetaData.php?adshex=" + hex + "&flightno=" + info[12].get<std::string>());
    ASSERT_TRUE(meta["route"].is_array());
    ASSERT_EQ(meta["route"].size(), 84u);
    for (const auto& field : meta["route"])
        ASSERT_TRUE(field.is_string());
    std::string route = info[1];
    EXPECT_EQ(meta["route"][6], route.substr(0, 3));
    EXPECT_EQ(meta["route"][9], route.substr(4, 3));
    EXPECT_TRUE(std::regex_match(meta["route"][12].get<std::string>(), std::regex("[0-2][0-9][0-5][0-9]")));
    EXPECT_TRUE(std::regex_match(meta["route"][13].get<std::string>(), std::regex("[0-2][0-9][0-5][0-9]")));
    EXPECT_EQ(meta["route"][0].get<std::string>() + meta["route"][1].get<std::string>(), info[12]);
    ASSERT_EQ(meta["status"].size(), 4u);
    EXPECT_TRUE(meta["status"][0].is_number_integer());
    for (const char* key : { "ff", "REGON", "rollout", "dd" })
        EXPECT_TRUE(std::regex_match(meta["aircraft"][key].get<std::string>(), std::regex(R"(\d\d-\d\d-\d\d)"))) << key;
    for (auto& [key, value] : meta["aircraft"].items())
        EXPECT_TRUE(value.is_string()) << key;
    EXPECT_EQ(meta["airlineICAO"], info[3].get<std::string>().substr(0, 3));
    ASSERT_FALSE(meta["graph"].empty());
    for (auto& [key, sample] : meta["graph"].items()) {
        EXPECT_TRUE(sample.contains("prikey") && sample.contains("altitude") && sample.contains("speed"));
    }
    EXPECT_EQ(getJson("/APPAPIv2/planeMetaData.php?adshex=000000&flightno="), json::object());
}

// The metadata graph is the whole leg: lift-off, a climb that slows with height, level cruise, a
// descent to touchdown, at 250 knots or less below 10000 feet; the same at any moment of the
// flight.
TEST_F(ServiceSimulatorTest, MetadataGraphProfilesTheLegFromLiftOffToTouchdown)
{
    int checked = 0, sampledClimbs = 0;
    json planes = fullPoll()["planes"];
    for (auto& [hex, info] : planes.items()) {
        // Airliners high in the air, so the leg has room for every phase.
        if (info[6].get<double>() < 30000 || info[12].get<std::string>().empty() || checked == 5)
            continue;
        SCOPED_TRACE(hex);
        std::string target = "/APPAPIv2/planeMetaData.php?adshex=" + hex + "&flightno=" + info[12].get<std::string>();
        json graph = getJson(target)["graph"];
        ASSERT_GE(graph.size(), 20u);
        ASSERT_LE(graph.size(), 92u);
        std::vector<double> altitude, speed;
        int expected = 0;
        for (auto& [key, sample] : graph.items()) { // nlohmann orders keys as text
            ASSERT_EQ(sample["prikey"], expected++) << key;
            altitude.push_back(sample["altitude"].get<double>());
            speed.push_back(sample["speed"].get<double>());
        }
        EXPECT_EQ(altitude.front(), 0);
        EXPECT_EQ(altitude.back(), 0);
        EXPECT_NEAR(speed.front(), 160, 5);
        EXPECT_NEAR(speed.back(), 140, 5);
        double top = *std::max_element(altitude.begin(), altitude.end());
        auto first = std::find(altitude.begin(), altitude.end(), top) - altitude.begin();
        auto last = altitude.rend() - std::find(altitude.rbegin(), altitude.rend(), top) - 1;
        EXPECT_GT(last - first, 2) << "cruises level";
        EXPECT_TRUE(std::is_sorted(altitude.begin(), altitude.begin() + first + 1));
        EXPECT_TRUE(std::is_sorted(altitude.rbegin(), altitude.rend() - last));
        for (auto i = first; i <= last; ++i)
            EXPECT_EQ(altitude[i], top);
        // Below 10000 feet no faster than 250 knots; faster than that at cruise.
        for (size_t i = 0; i < altitude.size(); ++i) {
            if (altitude[i] < 10000) {
                EXPECT_LE(speed[i], 250) << "sample " << i << " at " << altitude[i] << " ft";
            }
        }
        EXPECT_GT(speed[first], 400);
        // The climb slows with height: its first quarter gains much more than its last (on legs
        // short enough for the climb to span a few samples).
        if (auto quarter = first / 4; quarter >= 2) {
            EXPECT_GT(altitude[quarter] - altitude[0], 2 * (altitude[first] - altitude[first - quarter]));
            ++sampledClimbs;
        }

        m_simulator->setTime(kStart + 300);
        EXPECT_EQ(getJson(target)["graph"], graph);
        m_simulator->setTime(kStart);
        ++checked;
    }
    EXPECT_EQ(checked, 5);
    EXPECT_GT(sampledClimbs, 0);
}

// Light aircraft lift off and touch down slower than they cruise.
TEST_F(ServiceSimulatorTest, LightAircraftLiftOffAndLandBelowTheirCruiseSpeed)
{
    int checked = 0;
    json planes = fullPoll()["planes"];
    for (auto& [hex, info] : planes.items()) {
        if (checked == 5)
            break;
        json graph = getJson(
            "/APPAPIv2/planeMetaData.php?adshex=" + hex + "&flightno=" + info[12].get<std::string>())["graph"];
        std::vector<double> speed;
        for (auto& [key, sample] : graph.items())
            speed.push_back(sample["speed"].get<double>());
        if (speed.size() < 3)
            continue;
        double cruise = *std::max_element(speed.begin(), speed.end());
        if (cruise > 200)
            continue;
        SCOPED_TRACE(hex);
        EXPECT_LT(speed.front(), cruise);
        EXPECT_LT(speed.back(), cruise);
        ++checked;
    }
    EXPECT_EQ(checked, 5);
}

TEST_F(ServiceSimulatorTest, EveryOtherServiceAnswersInItsFormat)
{
    auto planes = fullPoll("IATA", "0")["planes"];
    std::string hex, reg, flight, airport, callsign;
    for (auto& [key, info] : planes.items()) {
        if (!info[12].get<std::string>().empty() && info[2] != "z.NO-REG") {
            hex = key;
            reg = info[2];
            flight = info[12];
            callsign = info[3];
            airport = info[1].get<std::string>().substr(0, 3);
            break;
        }
    }
    ASSERT_FALSE(hex.empty());

    struct Case {
        std::string target;
        std::string contentType;
        std::function<void(const std::string& body)> check;
    };
    auto titled = [](const std::string& body) {
        auto list = json::parse(body);
        ASSERT_TRUE(list.is_array());
        ASSERT_FALSE(list.empty());
        for (const auto& item : list)
            EXPECT_TRUE(item["title"].is_string() && item["data"].is_string()) << item.dump();
    };
    auto png = [](const std::string& body) { EXPECT_EQ(body.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)); };
    auto jpeg = [](const std::string& body) { EXPECT_EQ(body.substr(0, 3), std::string("\xFF\xD8\xFF")); };
    const Case cases[] = {
        { "/APPAPIv2/vaa.php", "application/json",
            [](const std::string& body) {
                auto ash = json::parse(body);
                EXPECT_TRUE(ash.contains("position"));
                for (auto& [key, area] : ash.items()) {
                    if (key == "position")
                        continue;
                    ASSERT_TRUE(area.is_array());
                    for (const auto& corner : area)
                        EXPECT_TRUE(corner.contains("lat") && corner.contains("lon"));
                }
            } },
        { "/APPAPI/flightSchedule.php?icao=" + flight.substr(0, 3), "application/json",
            [&](const std::string& body) {
                auto list = json::parse(body);
                ASSERT_GE(list.size(), 2u);
                for (const auto& entry : list) {
                    ASSERT_EQ(entry.size(), 5u);
                    EXPECT_TRUE(entry[0].is_string() && entry[2].is_string() && entry[3].is_string());
                    EXPECT_TRUE(entry[4].is_null() || entry[4].is_string());
                }
                EXPECT_TRUE(list.back()[4].is_string()); // the codeshare names its operating flight
            } },
        { "/APPAPIv2/getManufacturerLogo.php?manufacturer=Boeing", "image/png", png },
        { "/APPAPIv2/getHistoryForPlane.php?querytype=1&adshex=" + hex, "application/json",
            [&](const std::string& body) {
                auto flights = json::parse(body)["flights"];
                ASSERT_GE(flights.size(), 2u);
                for (const auto& entry : flights) {
                    for (const char* key : { "flightno", "flightno_new", "route", "timestamp", "primary_key" })
                        EXPECT_TRUE(entry["flight"][key].is_string()) << key;
                    EXPECT_TRUE(std::regex_match(entry["flight"]["timestamp"].get<std::string>(),
                        std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")));
                }
                // "flightno" is the callsign and "flightno_new" the flight number, as the feed
                // names them for the current leg.
                EXPECT_EQ(flights[0]["flight"]["flightno"], callsign);
                EXPECT_EQ(flights[0]["flight"]["flightno_new"], flight);
                // The second query type answers the track of one of those flights.
                auto track = getJson("/APPAPIv2/getHistoryForPlane.php?querytype=2&flightid="
                    + flights[1]["flight"]["primary_key"].get<std::string>());
                ASSERT_GE(track["locations"]["location"].size(), 2u);
                EXPECT_TRUE(track["locations"]["location"][0]["lat"].is_number());
            } },
        { "/APPAPIv2/airportInfo.php?iata=" + airport, "application/json",
            [&](const std::string& body) {
                auto board = json::parse(body);
                ASSERT_TRUE(board["arr"].is_array() && board["dep"].is_array());
                ASSERT_FALSE(board["dep"].empty());
                for (const char* key : { "fltno", "callsign", "reg", "adshex", "carrierName", "flightStatusV2",
                         "flightETAV2", "legDepApt", "legArrApt", "legDepTrm", "legArrTrm", "legArrTim" })
                    EXPECT_TRUE(board["dep"][0][key].is_string()) << key;
            } },
        { "/APPAPIv2/filterSearch.php?searchText=Luft&searchType=0&codeType=ICAO", "application/json", titled },
        { "/APPAPIv2/filterSearch.php?searchText=B73&searchType=1&codeType=ICAO", "application/json", titled },
        { "/APPAPIv2/filterSearch.php?searchText=LHR&searchType=2&codeType=ICAO", "application/json",
            [](const std::string& body) { EXPECT_EQ(json::parse(body)[0]["data"], "EGLL"); } },
        { "/APPAPIv2/alertSearch.php?searchText=" + flight.substr(0, 2) + "&searchType=3", "application/json", titled },
        { "/APPAPIv2/alertSearch.php?searchText=" + reg.substr(0, 1) + "&searchType=4", "application/json", titled },
        { "/APPAPIv2/kestAppsInfo.php?l=en&d=1", "application/json",
            [](const std::string& body) {
                auto groups = json::parse(body);
                ASSERT_FALSE(groups.empty());
                for (const char* key : { "appName", "description", "appIcon", "appStoreID", "bundleID", "devices" })
                    EXPECT_TRUE(groups[0]["apps"][0].contains(key)) << key;
            } },
        { "/v1/getLogo.php?airlineCode=BAW&requestThumb=1", "image/png", png },
        { "/v1/getImage.php?airlineCode=BAW&aircraftType=B738&skipFuzzy=1", "image/png", png },
        { "/searchPhotos.php?querytext=" + reg, "application/json",
            [&](const std::string& body) {
                auto photos = json::parse(body);
                ASSERT_FALSE(photos.empty());
                for (const char* key : { "id", "filename", "author", "NINGURL" })
                    EXPECT_TRUE(photos[0][key].is_string()) << key;
                auto thumb = get("/640thumbs/" + photos[0]["id"].get<std::string>() + ".jpg");
                ASSERT_TRUE(thumb);
                EXPECT_EQ(thumb->get_header_value("Content-Type"), "image/jpeg");
                auto full = get("/" + photos[0]["filename"].get<std::string>());
                ASSERT_TRUE(full);
                EXPECT_EQ(full->status, 200);
            } },
        { "/photos/G-ABCD-1.jpg", "image/jpeg", jpeg },
        { "/charts/products", "application/json",
            [&](const std::string& body) {
                auto products = json::parse(body);
                ASSERT_FALSE(products.empty());
                for (const auto& product : products) {
                    const auto& meta = product["product_metadata"];
                    ASSERT_TRUE(meta["minzoom"].is_number() && meta["maxzoom"].is_number());
                    double w, s, e, n;
                    ASSERT_EQ(
                        std::sscanf(meta["bounds"].get<std::string>().c_str(), "%lf,%lf,%lf,%lf", &w, &s, &e, &n), 4);
                    std::string base = product["product_url"];
                    ASSERT_EQ(base.rfind(m_simulator->baseUrl(), 0), 0u);
                    std::string tiles = "/" + base.substr(m_simulator->baseUrl().size());
                    // The tile under the area's centre exists; one on the far side of the earth does not.
                    int z = meta["minzoom"];
                    int n2 = 1 << z;
                    int x = static_cast<int>(((w + e) / 2 + 180) / 360 * n2);
                    double latRad = (s + n) / 2 * M_PI / 180;
                    int y = static_cast<int>((1 - std::log(std::tan(latRad) + 1 / std::cos(latRad)) / M_PI) / 2 * n2);
                    auto tile
                        = get(tiles + std::to_string(z) + "/" + std::to_string(x) + "/" + std::to_string(y) + ".png");
                    ASSERT_TRUE(tile);
                    EXPECT_EQ(tile->status, 200) << tiles;
                    EXPECT_EQ(tile->get_header_value("Content-Type"), "image/png");
                    auto outside = get(tiles + std::to_string(z) + "/" + std::to_string((x + n2 / 2) % n2) + "/"
                        + std::to_string(n2 - 1 - y) + ".png");
                    ASSERT_TRUE(outside);
                    EXPECT_EQ(outside->status, 404);
                    auto tooDeep = get(tiles + std::to_string(meta["maxzoom"].get<int>() + 1) + "/0/0.png");
                    EXPECT_EQ(tooDeep->status, 404);
                }
            } },
        { "/i?app_key=abc&device_id=d1&sdk_version=1.0&begin_session=1&metrics=%7B%7D", "application/json",
            [](const std::string&) {} },
        { "/api/2/apps/0123456789abcdef0123456789abcdef?format=json&extended=true", "application/json",
            [](const std::string& body) {
                auto answer = json::parse(body);
                ASSERT_FALSE(answer["versions"].empty());
                EXPECT_EQ(answer["versions"][0]["uuids"]["armv7"], "3F2504E0-4F89-11D3-9A0C-0305E82C3301");
                EXPECT_TRUE(answer.contains("company") && answer.contains("tracker"));
            } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        auto result = get(c.target);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, 200) << result->body.substr(0, 200);
        EXPECT_EQ(result->get_header_value("Content-Type"), c.contentType);
        c.check(result->body);
    }
    EXPECT_EQ(get("/v1/getLogo.php?airlineCode=")->status, 404);
    EXPECT_EQ(get("/v1/getLogo.php?airlineCode=QQ9")->status, 404);
    EXPECT_EQ(get("/api/2/apps/not-an-app?format=json")->status, 404);
}

namespace {

// The pixel size a PNG or baseline JPEG declares; {0, 0} for anything else.
std::pair<int, int> imageSize(const std::string& body)
{
    auto byte = [&](size_t i) { return static_cast<int>(static_cast<unsigned char>(body[i])); };
    if (body.size() > 24 && body.compare(0, 8, std::string("\x89PNG\r\n\x1a\n", 8)) == 0)
        return { byte(16) << 24 | byte(17) << 16 | byte(18) << 8 | byte(19),
            byte(20) << 24 | byte(21) << 16 | byte(22) << 8 | byte(23) };
    for (size_t i = 2; i + 9 < body.size(); ++i) {
        if (byte(i) == 0xFF && byte(i + 1) == 0xC0)
            return { byte(i + 7) << 8 | byte(i + 8), byte(i + 5) << 8 | byte(i + 6) };
    }
    return { 0, 0 };
}

} // namespace

// Logos, side views, photos and the other applications' icons answer at their sizes, and the
// same request answers the same bytes.
TEST_F(ServiceSimulatorTest, PicturesKeepTheirSizesAndAnswerAlike)
{
    struct Case {
        std::string target;
        std::string contentType;
        int width, height;
    };
    std::vector<Case> cases = {
        { "/v1/getLogo.php?airlineCode=BAW", "image/png", 200, 60 },
        { "/v1/getLogo.php?airlineCode=BAW&requestThumb=1", "image/png", 60, 20 },
        { "/v1/getImage.php?airlineCode=BAW&aircraftType=B744&skipFuzzy=1", "image/png", 300, 100 },
        { "/640thumbs/G-ABCD-1.jpg", "image/jpeg", 640, 427 },
        { "/photos/G-ABCD-1.jpg", "image/jpeg", 1024, 683 },
    };
    for (const auto& group : getJson("/APPAPIv2/kestAppsInfo.php?l=en&d=1")) {
        for (const auto& app : group["apps"]) {
            std::string icon = app["appIcon"];
            ASSERT_EQ(icon.rfind(m_simulator->baseUrl(), 0), 0u) << icon;
            cases.push_back({ "/" + icon.substr(m_simulator->baseUrl().size()), "image/png", 57, 57 });
        }
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        auto first = get(c.target);
        ASSERT_TRUE(first);
        ASSERT_EQ(first->status, 200);
        EXPECT_EQ(first->get_header_value("Content-Type"), c.contentType);
        EXPECT_EQ(imageSize(first->body), std::make_pair(c.width, c.height));
        auto again = get(c.target);
        ASSERT_TRUE(again);
        EXPECT_EQ(again->body, first->body);
    }
    EXPECT_EQ(get("/appicons/ZZ.png")->status, 404);
}

// An airport's board lists its flights in the order of the times it shows ("HHMM"), wrapping at
// most once at midnight, on both sides.
TEST(ServiceSimulatorBoards, RunInTheOrderOfTheirTimes)
{
    ServiceSimulator::Options options;
    options.seed = 11;
    options.aircraft = 5000;
    options.fixedTime = kStart;
    std::string error;
    auto simulator = ServiceSimulator::create(options, &error);
    ASSERT_TRUE(simulator) << error;
    ASSERT_TRUE(simulator->start(0));
    httplib::Client client("127.0.0.1", simulator->port());
    auto getJson = [&](const std::string& target) {
        auto result = client.Get(target.c_str());
        return result && result->status == 200 ? json::parse(result->body) : json();
    };

    // The airport of the feed with the most flights both ways.
    std::map<std::string, std::pair<int, int>> routes;
    auto planes = getJson("/APPAPIv2/planeUpdate.php?routetype=IATA&FAA=0&ts=0&background=0")["planes"];
    for (auto& [key, info] : planes.items()) {
        std::string route = info[1];
        if (route.size() == 7 && !info[12].get<std::string>().empty()) {
            ++routes[route.substr(0, 3)].second;
            ++routes[route.substr(4, 3)].first;
        }
    }
    ASSERT_FALSE(routes.empty());
    auto busiest = std::max_element(routes.begin(), routes.end(), [](auto& a, auto& b) {
        return std::min(a.second.first, a.second.second) < std::min(b.second.first, b.second.second);
    });
    auto board = getJson("/APPAPIv2/airportInfo.php?iata=" + busiest->first);
    for (const char* side : { "arr", "dep" }) {
        SCOPED_TRACE(std::string(side) + " at " + busiest->first);
        ASSERT_GE(board[side].size(), 3u);
        int wraps = 0, previous = -1;
        for (const auto& row : board[side]) {
            std::string hhmm = row["legArrTim"];
            ASSERT_EQ(hhmm.size(), 4u);
            int minutes = std::stoi(hhmm.substr(0, 2)) * 60 + std::stoi(hhmm.substr(2, 2));
            if (minutes < previous) {
                EXPECT_GT(previous - minutes, 12 * 60) << hhmm << " after minute " << previous;
                ++wraps;
            }
            previous = minutes;
        }
        EXPECT_LE(wraps, 1);
    }
    simulator->stop();
}

TEST_F(ServiceSimulatorTest, AlertStoreKeepsEachDevicesAlertsAndRecordsRequests)
{
    auto sync = [&](const std::string& token, httplib::MultipartFormDataItems items) {
        items.push_back({ "devicetoken", token, "", "" });
        auto result = m_client->Post("/APNS/sync_user_alerts.php", items);
        EXPECT_TRUE(result);
        EXPECT_EQ(result->status, 200) << result->body;
        return json::parse(result->body)["alerts"];
    };
    json sent = json::array({
        { { "alertUUID", "U1" }, { "alertValue", "BAW" }, { "alertType", 0 }, { "alertMaxLat", 60 },
            { "alertMinLat", 40 }, { "alertMaxLon", 10 }, { "alertMinLon", -10 } },
        { { "alertUUID", "U2" }, { "alertValue", "EGLL" }, { "alertType", 2 }, { "alertMaxLat", nullptr },
            { "alertMinLat", nullptr }, { "alertMaxLon", nullptr }, { "alertMinLon", nullptr } },
    });
    auto stored = sync("tokenA", { { "deviceAlerts", sent.dump(2), "", "" }, { "alertMode", "0", "", "" } });
    ASSERT_EQ(stored.size(), 2u);
    for (const char* key :
        { "alertid", "alertUUID", "alertvalue", "alerttype", "maxlat", "minlat", "maxlon", "minlon" })
        EXPECT_TRUE(stored[0].contains(key)) << key;
    EXPECT_EQ(stored[1]["alertvalue"], "EGLL");
    EXPECT_TRUE(stored[1]["maxlat"].is_null());

    EXPECT_TRUE(sync("tokenB", { { "deviceAlerts", "[]", "", "" }, { "alertMode", "0", "", "" } }).empty());
    auto remaining = sync("tokenA", { { "alertID", stored[0]["alertid"], "", "" }, { "alertMode", "1", "", "" } });
    ASSERT_EQ(remaining.size(), 1u);
    EXPECT_EQ(remaining[0]["alertUUID"], "U2");

    // Registering and moving a device keeps its alerts under the new token.
    auto registered = m_client->Post("/APNS/apns_new_device.php",
        httplib::MultipartFormDataItems { { "cmd", "reg", "", "" }, { "token", "tokenA", "", "" },
            { "name", "com.kestravon.volantrix", "", "" }, { "appversion", "7.0", "", "" },
            { "deviceversion", "7.1", "", "" }, { "debugDevice", "0", "", "" } });
    ASSERT_TRUE(registered);
    EXPECT_EQ(registered->status, 200);
    auto changed = m_client->Post("/APNS/apns_change_device.php",
        httplib::MultipartFormDataItems { { "cmd", "change", "", "" }, { "oldtoken", "tokenA", "", "" },
            { "newtoken", "tokenC", "", "" }, { "name", "com.kestravon.volantrix", "", "" } });
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->status, 200);
    auto moved = sync("tokenC", { { "alertID", "none", "", "" }, { "alertMode", "1", "", "" } });
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0]["alertUUID"], "U2");

    auto recorded = m_simulator->requestsForPath("/APNS/apns_new_device.php");
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].method, "POST");
    ASSERT_EQ(recorded[0].parts.size(), 6u);
    bool sawVersion = false;
    for (const auto& part : recorded[0].parts)
        sawVersion |= part.name == "appversion" && part.content == "7.0";
    EXPECT_TRUE(sawVersion);
    EXPECT_EQ(recorded[0].status, 200);
}

TEST_F(ServiceSimulatorTest, AccountsAndTheCrashFeedbackAndUpdateServiceKeepState)
{
    auto account = [&](const char* action, const char* email, const char* password) {
        auto result = m_client->Post("/auth/api/v1.php",
            httplib::Params {
                { "action", action }, { "email", email }, { "password", password }, { "uuid", "device-1" } });
        EXPECT_TRUE(result);
        return result ? result->status : 0;
    };
    EXPECT_EQ(account("login", "pilot@example.com", "secret1"), 400);
    EXPECT_EQ(account("create", "pilot@example.com", "secret1"), 200);
    EXPECT_EQ(account("create", "pilot@example.com", "secret1"), 400);
    EXPECT_EQ(account("login", "pilot@example.com", "wrong!!"), 400);
    EXPECT_EQ(account("login", "pilot@example.com", "secret1"), 200);
    EXPECT_EQ(account("request_reset", "pilot@example.com", ""), 200);
    EXPECT_EQ(account("create", "not-an-email", "secret1"), 400);
    auto form = m_simulator->requestsForPath("/auth/api/v1.php");
    ASSERT_FALSE(form.empty());
    EXPECT_EQ(form[0].parameters.find("uuid")->second, "device-1");

    const std::string app = "0123456789abcdef0123456789abcdef";
    auto integration = [&] {
        return m_client
            ->Post(("/api/3/apps/" + app + "/integration").c_str(), httplib::Params { { "sdk", "HarborSDK" } })
            ->status;
    };
    EXPECT_EQ(integration(), 201);
    EXPECT_EQ(integration(), 200);
    EXPECT_EQ(m_client->Post("/api/3/apps/XYZ/integration", httplib::Params {})->status, 400);

    auto crash
        = m_client->Post(("/api/2/apps/" + app + "/crashes?sdk=HarborSDK&sdk_version=3.5.2&feedbackEnabled=no").c_str(),
            httplib::MultipartFormDataItems { { "xml", "<crashes><crash/></crashes>", "crash.xml", "text/xml" } });
    ASSERT_TRUE(crash);
    EXPECT_GE(crash->status, 200);
    EXPECT_LT(crash->status, 400);
    EXPECT_FALSE(crash->body.empty());
    auto crashes = m_simulator->requestsForPath("/api/2/apps/" + app + "/crashes");
    ASSERT_EQ(crashes.size(), 1u);
    ASSERT_EQ(crashes[0].parts.size(), 1u);
    EXPECT_EQ(crashes[0].parts[0].filename, "crash.xml");
    EXPECT_EQ(crashes[0].parts[0].content, "<crashes><crash/></crashes>");
    // The service keeps the documents and hands them back, in process and over HTTP.
    EXPECT_EQ(m_simulator->receivedCrashReports(), std::vector<std::string> { "<crashes><crash/></crashes>" });
    auto kept = getJson("/_sim/harbor/crashes");
    EXPECT_EQ(kept["crashes"], json::array({ "<crashes><crash/></crashes>" }));

    auto first = m_client->Post(("/api/2/apps/" + app + "/feedback").c_str(),
        httplib::MultipartFormDataItems {
            { "text", "Love it", "", "" }, { "name", "Pat", "", "" }, { "email", "pat@example.com", "", "" } });
    ASSERT_TRUE(first);
    EXPECT_EQ(first->status, 201);
    auto thread = json::parse(first->body);
    EXPECT_EQ(thread["status"], "success");
    std::string token = thread["token"];
    std::string threadPath = "/api/2/apps/" + app + "/feedback/" + token;
    auto second
        = m_client->Put(threadPath.c_str(), httplib::MultipartFormDataItems { { "text", "More please", "", "" } });
    ASSERT_TRUE(second);
    EXPECT_EQ(second->status, 200);
    auto read = getJson(threadPath);
    ASSERT_EQ(read["feedback"]["messages"].size(), 2u);
    EXPECT_EQ(read["feedback"]["messages"][1]["text"], "More please");
    EXPECT_EQ(get("/api/2/apps/" + app + "/feedback/00ff")->status, 404);

    // The kit writes its own multipart bodies: boundary "----FOO", a ";" after each name,
    // "Content-Type: text" and no preamble. Its message token comes back on its message.
    std::string body;
    for (auto [name, value] : { std::pair { "oem", "Apple" }, { "os_version", "7.1" }, { "text", "Crashes on launch" },
             { "message_token", "MSG-1" } })
        body += std::string("------FOO\r\nContent-Disposition: form-data; name=\"") + name
            + "\";\r\nContent-Type: text\r\n\r\n" + value + "\r\n";
    body += "------FOO--\r\n";
    auto kit = m_client->Post(("/api/2/apps/" + app + "/feedback?format=json&sdk=HarborSDK&sdk_version=3.5.2").c_str(),
        body, "multipart/form-data; boundary=----FOO");
    ASSERT_TRUE(kit);
    ASSERT_EQ(kit->status, 201) << kit->body;
    auto kitThread = json::parse(kit->body);
    EXPECT_EQ(kitThread["feedback"]["messages"][0]["text"], "Crashes on launch");
    EXPECT_EQ(kitThread["feedback"]["messages"][0]["token"], "MSG-1");
    auto recordedKit = m_simulator->requestsForPath("/api/2/apps/" + app + "/feedback");
    ASSERT_FALSE(recordedKit.empty());
    EXPECT_EQ(recordedKit.back().parts.size(), 4u);
    EXPECT_EQ(recordedKit.back().headers.find("Content-Type")->second, "multipart/form-data; boundary=----FOO");

    // Replies from the developer, injected by a test, show up when the thread is read.
    std::string kitToken = kitThread["token"];
    EXPECT_TRUE(m_simulator->addFeedbackReply(kitToken, "Fixed in 7.1"));
    EXPECT_FALSE(m_simulator->addFeedbackReply("no-such-thread", "Hello"));
    auto replied
        = m_client->Post("/_sim/feedback-reply", httplib::Params { { "token", kitToken }, { "text", "Thanks" } });
    ASSERT_TRUE(replied);
    EXPECT_EQ(replied->status, 200);
    auto kitRead = getJson("/api/2/apps/" + app + "/feedback/" + kitToken + "?format=json");
    ASSERT_EQ(kitRead["feedback"]["messages"].size(), 3u);
    EXPECT_EQ(kitRead["feedback"]["messages"][1]["text"], "Fixed in 7.1");
    EXPECT_EQ(kitRead["feedback"]["messages"][2]["text"], "Thanks");
}

namespace {

TEST(ServiceSimulatorFeedback, AnswersEachNewThreadOnceWhenAskedTo)
{
    ServiceSimulator::Options options;
    options.aircraft = 10;
    options.feedbackAutoReply = "Thanks! See https://volantrix.example/status";
    std::string error;
    auto simulator = ServiceSimulator::create(options, &error);
    ASSERT_TRUE(simulator) << error;
    ASSERT_TRUE(simulator->start(0));
    httplib::Client client("127.0.0.1", simulator->port());
    const std::string app = "0123456789abcdef0123456789abcdef";
    auto opened = client.Post(
        ("/api/2/apps/" + app + "/feedback").c_str(), httplib::MultipartFormDataItems { { "text", "Hi", "", "" } });
    ASSERT_TRUE(opened);
    ASSERT_EQ(opened->status, 201);
    auto thread = nlohmann::json::parse(opened->body);
    ASSERT_EQ(thread["feedback"]["messages"].size(), 2u);
    EXPECT_EQ(thread["feedback"]["messages"][1]["text"], options.feedbackAutoReply);
    EXPECT_EQ(thread["feedback"]["messages"][1]["name"], "Volantrix Support");
    // Answered at once: stamped no later than the message it answers, never ahead of the clock.
    EXPECT_EQ(thread["feedback"]["messages"][1]["created_at"], thread["feedback"]["messages"][0]["created_at"]);
    std::string token = thread["token"];
    auto later = client.Put(("/api/2/apps/" + app + "/feedback/" + token).c_str(),
        httplib::MultipartFormDataItems { { "text", "More", "", "" } });
    ASSERT_TRUE(later);
    EXPECT_EQ(nlohmann::json::parse(later->body)["feedback"]["messages"].size(), 3u);
    simulator->stop();
}

} // namespace
