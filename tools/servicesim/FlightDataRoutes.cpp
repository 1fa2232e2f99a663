// The flight-data service: live planes, paths, metadata, schedules, ash areas, history, airport
// boards, searches, the push-alert store, the message poll and the app list.
#include "servicesim/ServiceSimulatorImpl.h"

#include "servicesim/SimImages.h"
#include "servicesim/SimPictures.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

using nlohmann::json;
using SimText::param;

namespace {

// Numbers that are whole go out without a fraction, as the real feed writes them.
json numberValue(double value)
{
    if (value == std::floor(value) && std::abs(value) < 1e15)
        return static_cast<int64_t>(value);
    return value;
}

// The recorded samples of the plane's current leg, take-off to touchdown: the climb, the cruise
// and the descent as the simulation flies them, at most about 90 samples a minute or more apart.
// A leg's graph depends only on the leg, so every request during the flight gets the same one.
// Keys are zero-padded, so their text order is the samples' order; "prikey" counts from 0.
json legProfile(const TrafficSimulation& traffic, const SimPlane& plane)
{
    constexpr double kMostSamples = 90;
    json graph = json::object();
    double airborne = plane.arrivalTime - plane.departureTime;
    // Ground vehicles and the seasonal entry fly no leg.
    if (plane.origin.empty() || plane.origin == plane.destination || !(airborne > 0))
        return graph;
    double step = std::max(60.0, std::ceil(airborne / kMostSamples / 60) * 60);
    int count = static_cast<int>(std::ceil(airborne / step));
    for (int sample = 0; sample <= count; ++sample) {
        // Just inside the leg at both ends: lifting off and touching down.
        double at
            = std::clamp(plane.departureTime + sample * step, plane.departureTime + 0.05, plane.arrivalTime - 0.05);
        auto then = traffic.planeAt(plane.hex, at);
        if (!then)
            break;
        char key[16];
        std::snprintf(key, sizeof key, "%05d", sample);
        graph[key] = { { "prikey", sample }, { "altitude", numberValue(then->altitude) },
            { "speed", numberValue(then->speed) } };
    }
    return graph;
}

// Writers of the plane table straight into the answer's text: at the largest traffic a full
// answer holds 100,000 records, and building them as JSON values first took longer than a
// second. A record is [type, route, registration, callsign, latitude, longitude, altitude,
// heading, speed, report time, squawk, data type, flight number]; whole numbers go out without a
// fraction (numberValue), the position always as a fraction.

// The text's characters as a JSON string holds them, without the quotes.
void appendEscaped(std::string& out, std::string_view text)
{
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
}

void appendText(std::string& out, std::string_view text)
{
    out += '"';
    appendEscaped(out, text);
    out += '"';
}

// A double as JSON writes it: the shortest text that reads back the same, with a fraction when
// whole ("51.0"); null when not finite.
void appendDouble(std::string& out, double value)
{
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char text[32];
    auto end = std::to_chars(text, text + sizeof text, value).ptr;
    std::string_view written(text, size_t(end - text));
    out += written;
    if (written.find_first_of(".e") == std::string_view::npos)
        out += ".0";
}

void appendInteger(std::string& out, int64_t value)
{
    char text[24];
    auto end = std::to_chars(text, text + sizeof text, value).ptr;
    out.append(text, size_t(end - text));
}

// numberValue() as text.
void appendNumber(std::string& out, double value)
{
    if (value == std::floor(value) && std::abs(value) < 1e15)
        appendInteger(out, static_cast<int64_t>(value));
    else
        appendDouble(out, value);
}

void appendPlaneInfo(std::string& out, const SimPlane& plane, bool iata)
{
    out += '[';
    appendText(out, plane.type);
    out += ',';
    // The route: "ORIGIN-DESTINATION" in the asked-for codes; "" for vehicles.
    out += '"';
    if (!plane.origin.empty()) {
        appendEscaped(out, iata ? plane.origin : plane.originIcao);
        out += '-';
        appendEscaped(out, iata ? plane.destination : plane.destinationIcao);
    }
    out += '"';
    out += ',';
    appendText(out, plane.registration);
    out += ',';
    appendText(out, plane.callsign);
    out += ',';
    appendDouble(out, plane.latitude);
    out += ',';
    appendDouble(out, plane.longitude);
    for (double value : { plane.altitude, plane.heading, plane.speed, plane.reportTime }) {
        out += ',';
        appendNumber(out, value);
    }
    out += ',';
    appendText(out, plane.squawk);
    out += ',';
    appendInteger(out, plane.dataType);
    out += ',';
    appendText(out, plane.flightNumber);
    out += ']';
}

// Bounds "N,S,E,W" as plain decimal texts; longitudes may run past ±180 near the antimeridian.
struct Bounds {
    double north, south, east, west;

    bool contains(double lat, double lon) const
    {
        if (lat > north || lat < south)
            return false;
        double width = east - west;
        if (width >= 360)
            return true;
        if (width < 0)
            width += 360;
        double offset = std::fmod(lon - west + 720.0, 360.0);
        return offset <= width;
    }

    static std::optional<Bounds> parse(const std::string& text)
    {
        double values[4];
        size_t start = 0;
        for (int i = 0; i < 4; ++i) {
            size_t comma = text.find(',', start);
            if ((i < 3) == (comma == std::string::npos))
                return std::nullopt;
            auto value
                = SimText::number(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
            if (!value)
                return std::nullopt;
            values[i] = *value;
            start = comma + 1;
        }
        if (values[0] < values[1])
            return std::nullopt;
        return Bounds { values[0], values[1], values[2], values[3] };
    }
};

const RefAirport* findAirport(const std::vector<RefAirport>& airports, const std::string& code)
{
    for (const auto& airport : airports) {
        if (airport.iata == code || airport.icao == code)
            return &airport;
    }
    return nullptr;
}

std::string twoDigits(int value)
{
    char text[4];
    std::snprintf(text, sizeof text, "%02d", value % 100);
    return text;
}

std::string durationHHMM(double seconds)
{
    int minutes = static_cast<int>(std::round(seconds / 60));
    return twoDigits(minutes / 60) + twoDigits(minutes % 60);
}

// The 84-field schedule record of the plane's current flight.
json scheduleRecord(const SimPlane& plane, const std::vector<RefAirport>& airports)
{
    std::vector<std::string> f(84);
    const RefAirport* from = findAirport(airports, plane.origin);
    const RefAirport* to = findAirport(airports, plane.destination);
    std::string carrier = plane.flightNumber.substr(0, std::min<size_t>(2, plane.flightNumber.size()));
    f[0] = carrier;
    f[1] = plane.flightNumber.size() > 2 ? plane.flightNumber.substr(2) : "";
    f[6] = plane.origin;
    f[7] = from ? from->city : "";
    f[8] = from ? from->country : "";
    f[9] = plane.destination;
    f[10] = to ? to->city : "";
    f[11] = to ? to->country : "";
    f[12] = SimText::hhmm(plane.departureTime);
    f[13] = SimText::hhmm(plane.arrivalTime);
    double dayDifference = std::floor(plane.arrivalTime / 86400) - std::floor(plane.departureTime / 86400);
    f[14] = dayDifference >= 1 ? std::to_string(static_cast<int>(dayDifference)) : "";
    f[15] = durationHHMM(plane.arrivalTime - plane.departureTime);
    f[16] = "1234567";
    f[17] = "0";
    f[22] = plane.type;
    f[23] = plane.type;
    f[24] = "J";
    f[25] = plane.type.rfind("A38", 0) == 0 ? "525" : plane.type.rfind("B77", 0) == 0 ? "350" : "180";
    f[27] = "J";
    f[28] = "Y";
    f[37] = "BBLL";
    f[39] = from && to && from->country == to->country ? "D" : "I";
    f[40] = SimText::date(plane.departureTime - 90 * 86400, "%d-%m-%y");
    f[41] = SimText::date(plane.departureTime + 90 * 86400, "%d-%m-%y");
    f[42] = plane.origin + plane.destination;
    if (from && to) {
        int km
            = static_cast<int>(GreatCircle::distanceKm(from->latitude, from->longitude, to->latitude, to->longitude));
        f[43] = std::to_string(km);
        f[44] = std::to_string(km);
    }
    // One codeshare partner on every other flight number.
    if (!f[1].empty() && std::stoi(f[1]) % 2 == 0) {
        f[52] = carrier == "ZZ" ? "ZY" : "ZZ";
        f[53] = std::to_string(5000 + std::stoi(f[1]) % 4000);
    }
    f[82] = "1";
    f[83] = std::to_string(1 + plane.hex.back() % 3);
    return f;
}

} // namespace

void ServiceSimulator::Impl::addFlightDataRoutes()
{
    // Live planes: a full answer lists every plane; a delta answer those inside the bounds.
    route("GET", "/APPAPIv2/planeUpdate.php", [this](const httplib::Request& request) {
        std::string routeType = param(request, "routetype");
        std::string faa = param(request, "FAA");
        if (routeType != "IATA" && routeType != "ICAO")
            return SimReply::error(400, "routetype must be IATA or ICAO");
        if (faa != "0" && faa != "1")
            return SimReply::error(400, "FAA must be 0 or 1");
        if (!SimText::number(param(request, "ts")))
            return SimReply::error(400, "ts must be a number");
        std::optional<Bounds> bounds;
        if (request.has_param("bounds")) {
            bounds = Bounds::parse(param(request, "bounds"));
            if (!bounds)
                return SimReply::error(400, "bounds must be four numbers: north,south,east,west");
        }
        double time = now();
        auto all = traffic->planesAt(time);
        // Listed by address, as a JSON object's keys are kept in order.
        std::vector<const SimPlane*> listed;
        listed.reserve(all.size());
        for (const auto& plane : all) {
            // Parked aircraft have their transponders off.
            if (plane.parked || (plane.dataType == 1 && faa != "1"))
                continue;
            if (bounds && !bounds->contains(plane.latitude, plane.longitude))
                continue;
            listed.push_back(&plane);
        }
        std::sort(listed.begin(), listed.end(), [](const SimPlane* a, const SimPlane* b) { return a->hex < b->hex; });
        SimReply reply;
        reply.body.reserve(listed.size() * 112 + 16);
        reply.body = "{\"planes\":{";
        for (size_t index = 0; index < listed.size(); ++index) {
            if (index > 0)
                reply.body += ',';
            appendText(reply.body, listed[index]->hex);
            reply.body += ':';
            appendPlaneInfo(reply.body, *listed[index], routeType == "IATA");
        }
        reply.body += "}}";
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%.2f", time);
        reply.headers = { { "X-VX-S-TIME", stamp }, { "Cache-Control", "no-store" } };
        return reply;
    });

    // The track of one plane's current flight, oldest point first.
    route("GET", "/APPAPIv2/planeFlightPath.php", [this](const httplib::Request& request) {
        std::string hex = param(request, "adshex");
        if (hex.empty())
            return SimReply::error(400, "adshex is required");
        double until = now();
        if (request.has_param("tmestamp")) {
            auto stamp = SimText::number(param(request, "tmestamp"));
            if (!stamp)
                return SimReply::error(400, "tmestamp must be a number");
            until = std::min(until, *stamp);
        }
        json path = json::array();
        for (const auto& point : traffic->pathOf(hex, until))
            path.push_back({ point[0], point[1], numberValue(point[2]) });
        SimReply reply = SimReply::json({ { "path", std::move(path) } });
        reply.headers = { { "Cache-Control", "no-store" } };
        return reply;
    });

    // Airframe facts, schedule record, status and recorded samples of one plane.
    route("GET", "/APPAPIv2/planeMetaData.php", [this](const httplib::Request& request) {
        double time = now();
        auto plane = traffic->planeAt(param(request, "adshex"), time);
        if (!plane)
            return SimReply::json(json::object());
        uint64_t seed = std::stoull(plane->hex, nullptr, 16);
        double built
            = time - (2 + static_cast<double>(seed % 18)) * 365.25 * 86400 - static_cast<double>(seed % 300) * 86400;
        json aircraft = {
            { "country", plane->registration.substr(0, plane->registration.find('-')) },
            { "Operator", plane->airlineIcao.empty() ? "Private" : plane->airlineIcao },
            { "ff", SimText::date(built, "%d-%m-%y") },
            { "rollout", SimText::date(built - 20 * 86400, "%d-%m-%y") },
            { "REGON", SimText::date(built + 30 * 86400, "%d-%m-%y") },
            { "dd", SimText::date(built + 35 * 86400, "%d-%m-%y") },
            { "Con No", std::to_string(1000 + seed % 40000) },
            { "Line No", std::to_string(100 + seed % 9000) },
            { "Series", plane->type + "-" + std::to_string(100 + (seed % 9) * 100) },
            { "base", plane->origin },
        };
        json answer = { { "aircraft", aircraft }, { "airlineICAO", plane->airlineIcao } };
        if (!plane->flightNumber.empty())
            answer["route"] = scheduleRecord(*plane, traffic->airports());
        bool landed = plane->onGround && time > plane->arrivalTime;
        int code = landed ? 0 : static_cast<int>(seed % 4 == 0 ? 1 : 3);
        double late = code == 1 ? 1200 : 0;
        // The current leg counts from 0 on the flight's single leg.
        answer["status"] = { code, landed ? json(nullptr) : json(SimText::hhmm(plane->arrivalTime + late)), 0, 1 };
        answer["graph"] = legProfile(*traffic, *plane);
        return SimReply::json(answer);
    });

    // Volcanic ash areas: a position text plus one list of corners per area; some corners are
    // numeric texts, as the real service sends them.
    route("GET", "/APPAPIv2/vaa.php", [](const httplib::Request&) {
        json answer = { { "position", "Simulated advisory" } };
        answer["ETNA-1"] = json::array({ { { "lat", 37.9 }, { "lon", 14.8 } }, { { "lat", 38.4 }, { "lon", 16.2 } },
            { { "lat", 37.2 }, { "lon", 17.0 } }, { { "lat", 36.9 }, { "lon", 15.1 } } });
        answer["SAKURAJIMA-1"] = json::array({ { { "lat", "31.7" }, { "lon", "130.5" } },
            { { "lat", "32.3" }, { "lon", "131.4" } }, { { "lat", "31.4" }, { "lon", "131.9" } } });
        return SimReply::json(answer);
    });

    // Scheduled flights matching a phrase: [designator, unused, departure, arrival, operating flight or null].
    route("GET", "/APPAPI/flightSchedule.php", [this](const httplib::Request& request) {
        std::string phrase = param(request, "icao");
        json list = json::array();
        if (phrase.size() < 2)
            return SimReply::json(list);
        for (const auto& plane : traffic->planesAt(now())) {
            if (list.size() >= 25)
                break;
            if (plane.flightNumber.empty())
                continue;
            bool byFlight = SimText::startsWithIgnoringCase(plane.flightNumber, phrase);
            bool byCallsign = SimText::startsWithIgnoringCase(plane.callsign, phrase);
            if (byFlight || byCallsign)
                list.push_back({ plane.flightNumber, "", plane.origin, plane.destination, nullptr });
        }
        // A codeshare designator operated by the first match, when there is one.
        if (!list.empty()) {
            const json& first = list.front();
            list.push_back({ "ZZ" + std::to_string(5000 + list.size()), "", first[2], first[3], first[0] });
        }
        return SimReply::json(list);
    });

    route("GET", "/APPAPIv2/getManufacturerLogo.php", [this](const httplib::Request& request) {
        std::string maker = param(request, "manufacturer");
        if (maker.empty())
            return SimReply::error(404, "Unknown manufacturer");
        return SimReply::image(pictures.get(std::string("maker/").append(maker),
                                   [&] { return SimImages::png(SimPictures::manufacturerLogo(maker, 120, 40)); }),
            "image/png");
    });

    // Past flights of an aircraft (querytype 1) and the track of one of them (querytype 2).
    route("GET", "/APPAPIv2/getHistoryForPlane.php", [this](const httplib::Request& request) {
        std::string type = param(request, "querytype");
        double time = now();
        if (type == "1") {
            std::string hex = param(request, "adshex");
            json flights = json::array();
            auto plane = traffic->planeAt(hex, time);
            double at = time;
            for (int leg = 0; plane && leg < 6; ++leg) {
                auto past = traffic->planeAt(hex, at);
                if (!past)
                    break;
                std::string key = hex + "-" + std::to_string(static_cast<int64_t>(past->departureTime));
                flights.push_back({ { "flight",
                    { { "flightno", past->callsign }, { "flightno_new", past->flightNumber },
                        { "route", past->origin + "-" + past->destination },
                        { "timestamp", SimText::date(past->departureTime, "%Y-%m-%d %H:%M:%S") },
                        { "primary_key", key } } } });
                at = past->departureTime - 3600; // into the previous leg's turnaround or flight
            }
            return SimReply::json({ { "flights", flights } });
        }
        if (type == "2") {
            std::string id = param(request, "flightid");
            size_t dash = id.find('-');
            auto departure = dash == std::string::npos ? std::nullopt : SimText::number(id.substr(dash + 1));
            if (!departure)
                return SimReply::error(400, "flightid is not one of this service's keys");
            json locations = json::array();
            auto plane = traffic->planeAt(id.substr(0, dash), *departure + 1);
            if (plane) {
                for (const auto& point : traffic->pathOf(plane->hex, plane->arrivalTime))
                    locations.push_back({ { "lat", point[0] }, { "lon", point[1] } });
            }
            return SimReply::json({ { "locations", { { "location", locations } } } });
        }
        return SimReply::error(400, "querytype must be 1 or 2");
    });

    // Arrivals and departures board of one airport.
    route("GET", "/APPAPIv2/airportInfo.php", [this](const httplib::Request& request) {
        std::string iata = param(request, "iata");
        json arrivals = json::array(), departures = json::array();
        std::map<std::string, std::string> airlineNames;
        for (const auto& airline : data.airlines)
            airlineNames.emplace(airline.icao, airline.name);
        double time = now();
        // A board lists its flights in the order of the time it shows, nearest to now first, as
        // an airport's board does; the fleet's order is no order a traveller would recognise.
        std::vector<SimPlane> flights;
        for (auto& plane : traffic->planesAt(time)) {
            bool arriving = plane.destination == iata, departing = plane.origin == iata;
            if ((arriving || departing) && !plane.flightNumber.empty())
                flights.push_back(std::move(plane));
        }
        std::stable_sort(flights.begin(), flights.end(),
            [](const SimPlane& a, const SimPlane& b) { return a.arrivalTime < b.arrivalTime; });
        for (const auto& plane : flights) {
            bool arriving = plane.destination == iata;
            json& board = arriving ? arrivals : departures;
            if (board.size() >= 40)
                continue;
            bool landed = plane.onGround && time > plane.arrivalTime;
            board.push_back(
                { { "fltno", plane.flightNumber }, { "callsign", plane.callsign }, { "reg", plane.registration },
                    { "adshex", plane.hex }, { "carrierName", airlineNames[plane.airlineIcao] },
                    // Status class as numeric text (0 landed, 1 delayed, 2 scheduled, 3 en route) and the
                    // status text as shown.
                    { "flightStatusV2",
                        std::to_string(landed    ? 0
                                : plane.onGround ? 2
                                                 : (plane.hex.back() % 5 == 0 ? 1 : 3)) },
                    { "flightETAV2",
                        landed               ? "Landed"
                            : plane.onGround ? "Sched."
                                             : (plane.hex.back() % 5 == 0 ? "Delayed" : "En Route") },
                    { "legDepApt", plane.origin }, { "legArrApt", plane.destination }, { "legDepTrm", "1" },
                    { "legArrTrm", "2" }, { "legArrTim", SimText::hhmm(plane.arrivalTime) } });
        }
        return SimReply::json({ { "arr", arrivals }, { "dep", departures } });
    });

    // Suggestions for filters (0 airline, 1 aircraft type, 2 airport) and alerts (also 3 flight
    // number, 4 registration, 5 callsign): [{"title", "data"}].
    auto suggestions = [this](const std::string& text, int type, bool iata) {
        json list = json::array();
        if (text.empty())
            return list;
        auto add = [&](const std::string& title, const std::string& value) {
            if (list.size() < 20)
                list.push_back({ { "title", title }, { "data", value } });
        };
        switch (type) {
        case 0:
            for (const auto& airline : data.airlines) {
                if (!airline.icao.empty()
                    && (SimText::startsWithIgnoringCase(airline.name, text)
                        || SimText::equalsIgnoringCase(airline.icao, text)
                        || SimText::equalsIgnoringCase(airline.iata, text)))
                    add(airline.name + " (" + airline.icao + ")", airline.icao);
            }
            break;
        case 1:
            for (const auto& aircraft : data.aircraftTypes) {
                if (SimText::startsWithIgnoringCase(aircraft.designator, text)
                    || SimText::startsWithIgnoringCase(aircraft.manufacturer + " " + aircraft.model, text))
                    add(aircraft.manufacturer + " " + aircraft.model + " (" + aircraft.designator + ")",
                        aircraft.designator);
            }
            break;
        case 2:
            for (const auto& airport : data.airports) {
                std::string code = iata || airport.icao.empty() ? airport.iata : airport.icao;
                if (SimText::equalsIgnoringCase(airport.iata, text) || SimText::equalsIgnoringCase(airport.icao, text)
                    || SimText::startsWithIgnoringCase(airport.name, text)
                    || SimText::startsWithIgnoringCase(airport.city, text))
                    add(airport.name + " (" + code + ")", code);
            }
            break;
        case 3:
        case 4:
        case 5:
            for (const auto& plane : traffic->planesAt(now())) {
                const std::string& value = type == 3 ? plane.flightNumber
                    : type == 4                      ? plane.registration
                                                     : plane.callsign;
                if (!value.empty() && SimText::startsWithIgnoringCase(value, text))
                    add(value, value);
            }
            break;
        default:
            break;
        }
        return list;
    };
    route("GET", "/APPAPIv2/filterSearch.php", [suggestions](const httplib::Request& request) {
        auto type = SimText::number(param(request, "searchType"));
        if (!type)
            return SimReply::error(400, "searchType must be a number");
        return SimReply::json(
            suggestions(param(request, "searchText"), static_cast<int>(*type), param(request, "codeType") == "IATA"));
    });
    route("GET", "/APPAPIv2/alertSearch.php", [suggestions](const httplib::Request& request) {
        auto type = SimText::number(param(request, "searchType"));
        if (!type)
            return SimReply::error(400, "searchType must be a number");
        return SimReply::json(suggestions(param(request, "searchText"), static_cast<int>(*type), true));
    });

    // Push alerts: a store of alerts per device token. alertMode 0 replaces the device's alerts
    // with "deviceAlerts" (a JSON array or object), 1 deletes "alertID"; both answer the store.
    route("POST", "/APNS/sync_user_alerts.php", [this](const httplib::Request& request) {
        auto field = [&](const char* name) { return SimText::field(request, name); };
        std::string token = field("devicetoken");
        std::string mode = field("alertMode");
        if (token.empty())
            return SimReply::error(400, "devicetoken is required");
        std::lock_guard lock(mutex);
        auto& alerts = alertsByToken[token];
        // A device without alerts of its own sends only its token: it gets the stored list back.
        if (mode.empty() && !SimText::hasField(request, "deviceAlerts"))
            return SimReply::json({ { "alerts", alerts } });
        if (mode == "1") {
            std::string id = field("alertID");
            std::erase_if(alerts, [&](const json& alert) { return alert.value("alertid", "") == id; });
        } else if (mode == "0") {
            auto sent = json::parse(field("deviceAlerts"), nullptr, false);
            if (sent.is_discarded())
                return SimReply::error(400, "deviceAlerts is not JSON");
            if (sent.is_object())
                sent = json::array({ sent });
            if (!sent.is_array())
                return SimReply::error(400, "deviceAlerts must be a list of alerts");
            // Alerts already known by their identifier keep their id across syncs.
            std::map<std::string, std::string> knownIds;
            for (const auto& alert : alerts) {
                if (alert["alertUUID"].is_string())
                    knownIds[alert["alertUUID"].get<std::string>()] = alert.value("alertid", "");
            }
            alerts.clear();
            for (const auto& item : sent) {
                if (!item.is_object())
                    continue;
                auto text = [&](const char* a, const char* b) {
                    const json* value = item.contains(a) ? &item[a] : item.contains(b) ? &item[b] : nullptr;
                    if (!value || value->is_null())
                        return json(nullptr);
                    return value->is_string() ? *value : json(value->dump());
                };
                json uuid = text("alertUUID", "alertuuid");
                auto known = uuid.is_string() ? knownIds.find(uuid.get<std::string>()) : knownIds.end();
                std::string id = known != knownIds.end() ? known->second : std::to_string(nextAlertId++);
                alerts.push_back({ { "alertid", id }, { "alertUUID", uuid },
                    { "alertvalue", text("alertValue", "alertvalue") }, { "alerttype", text("alertType", "alerttype") },
                    { "maxlat", text("alertMaxLat", "maxlat") }, { "minlat", text("alertMinLat", "minlat") },
                    { "maxlon", text("alertMaxLon", "maxlon") }, { "minlon", text("alertMinLon", "minlon") } });
            }
        } else {
            return SimReply::error(400, "alertMode must be 0 or 1");
        }
        return SimReply::json({ { "alerts", alerts } });
    });
    auto deviceRoute = [this](const char* command) {
        return [this, command](const httplib::Request& request) {
            auto field = [&](const char* name) { return SimText::field(request, name); };
            if (field("cmd") != command)
                return SimReply::error(400, std::string("cmd must be ") + command);
            std::lock_guard lock(mutex);
            if (std::string(command) == "reg") {
                if (field("token").empty())
                    return SimReply::error(400, "token is required");
                devices[field("token")] = field("name");
            } else {
                if (field("oldtoken").empty() || field("newtoken").empty())
                    return SimReply::error(400, "oldtoken and newtoken are required");
                devices.erase(field("oldtoken"));
                devices[field("newtoken")] = field("name");
                auto moved = alertsByToken.extract(field("oldtoken"));
                if (!moved.empty()) {
                    moved.key() = field("newtoken");
                    alertsByToken.insert(std::move(moved));
                }
            }
            return SimReply::json({ { "response", "OK" } });
        };
    };
    route("POST", "/APNS/apns_new_device.php", deviceRoute("reg"));
    route("POST", "/APNS/apns_change_device.php", deviceRoute("change"));

    // In-app message poll: nothing new unless the client is older than the current version.
    route("POST", "/APPAPIv2/KESTPoll/kestPOLL.php", [this](const httplib::Request& request) {
        std::string current = param(request, "currentVersion");
        if (!current.empty() && SimText::number(current).value_or(99) < 7.0)
            return SimReply::json(
                { { "version", { { "latestVersion", "7.0" }, { "versionURL", baseUrl() + "app/update" } } } });
        return SimReply::json(json::object());
    });

    // The maker's other applications, in groups; "devices" lists where each runs.
    route("GET", "/APPAPIv2/kestAppsInfo.php", [this](const httplib::Request&) {
        std::string icons = baseUrl() + "appicons/";
        auto app = [&](const char* name, const char* description, const char* icon, const char* id, const char* bundle,
                       json devices) {
            return json { { "appName", name }, { "description", description }, { "appIcon", icons + icon + ".png" },
                { "appStoreID", id }, { "bundleID", bundle }, { "devices", std::move(devices) } };
        };
        json tracking = json::array({
            app("Volantrix", "Live flight tracking", "VX", "100000001", "com.kestravon.volantrix",
                json::array({ "ipad" })),
            app("Volantrix Mini", "Flight tracking for phones", "VM", "100000002", "com.kestravon.volantrix.mini",
                json::array({ "iphone" })),
            app("Volantrix Airports", "Departure and arrival boards of every major airport, updated live", "VA",
                "100000003", "com.kestravon.volantrix.airports", json::array({ "ipad", "iphone" })),
        });
        json tools = json::array({
            app("Runway Weather", "Wind, visibility and the active runway for airfields near you", "RW", "100000004",
                "com.kestravon.runwayweather", json::array({ "ipad", "iphone" })),
            app("Logbook", "A pilot's logbook that adds up your hours by type and role", "LB", "100000005",
                "com.kestravon.logbook", json::array({ "ipad" })),
        });
        return SimReply::json(json::array({ { { "name", "Flight tracking" }, { "apps", tracking } },
            { { "name", "Aviation tools" }, { "apps", tools } } }));
    });
}
