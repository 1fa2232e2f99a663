// The services other than flight data: logos and photos, chart products and tiles, accounts
// and the analytics collector.
#include "servicesim/ServiceSimulatorImpl.h"

#include "servicesim/SimImages.h"
#include "servicesim/SimPictures.h"

#include <algorithm>
#include <cmath>

using nlohmann::json;
using SimText::param;

namespace {

// A chart product: a name, a zoom range and the area its tiles cover.
struct ChartProduct {
    const char* name;
    const char* description;
    int minZoom, maxZoom;
    double west, south, east, north;
};
const ChartProduct kCharts[] = {
    { "sigmet-europe", "Significant weather, Europe", 3, 9, -25.0, 34.0, 45.0, 72.0 },
    { "jetstream-na", "Jet stream, North America", 2, 8, -170.0, 15.0, -50.0, 75.0 },
    { "radar-uk", "Rain radar, United Kingdom", 5, 10, -11.0, 49.5, 2.5, 61.0 },
};

double tileLongitude(int x, int z)
{
    return x / std::pow(2.0, z) * 360.0 - 180.0;
}

double tileLatitude(int y, int z)
{
    double n = M_PI - 2.0 * M_PI * y / std::pow(2.0, z);
    return 180.0 / M_PI * std::atan(std::sinh(n));
}

} // namespace

SimPictures::AircraftLook ServiceSimulator::Impl::lookOfType(const std::string& type) const
{
    SimPictures::AircraftLook look;
    auto known = std::find_if(data.aircraftTypes.begin(), data.aircraftTypes.end(),
        [&](const RefAircraftType& candidate) { return candidate.designator == type; });
    if (known == data.aircraftTypes.end())
        return look;
    if (known->description.rfind('H', 0) == 0)
        look.shape = SimPictures::AircraftShape::Helicopter;
    else if (known->engineCount() == 1)
        look.shape = SimPictures::AircraftShape::LightAircraft;
    look.engines = known->engineCount() >= 4 ? 4 : 2;
    return look;
}

SimPictures::AircraftLook ServiceSimulator::Impl::photographedAircraft(const std::string& photoId) const
{
    std::string registration = photoId.substr(0, photoId.rfind('-'));
    if (auto plane = traffic->planeWithRegistration(registration, 0)) {
        SimPictures::AircraftLook look = lookOfType(plane->type);
        look.airlineCode = plane->airlineIcao;
        look.registration = registration;
        return look;
    }
    uint32_t hash = 2166136261u;
    for (unsigned char c : registration)
        hash = (hash ^ c) * 16777619u;
    SimPictures::AircraftLook look;
    for (size_t i = 0; i < data.airlines.size() && look.airlineCode.empty(); ++i)
        look.airlineCode = data.airlines[(hash + i) % data.airlines.size()].icao;
    look.registration = registration;
    return look;
}

void ServiceSimulator::Impl::addOtherServiceRoutes()
{
    // Airline logos: the airline's code on its colours; thumbnails are smaller.
    route("GET", "/v1/getLogo.php", [this](const httplib::Request& request) {
        std::string code = param(request, "airlineCode");
        bool known = !code.empty()
            && std::any_of(data.airlines.begin(), data.airlines.end(),
                [&](const RefAirline& airline) { return airline.icao == code || airline.iata == code; });
        if (!known)
            return SimReply::error(404, "No logo");
        bool thumb = param(request, "requestThumb") == "1";
        int width = thumb ? 60 : 200, height = thumb ? 20 : 60;
        return SimReply::image(pictures.get(std::string("logo/").append(code).append(thumb ? "/thumb" : ""),
                                   [&] { return SimImages::png(SimPictures::airlineLogo(code, width, height)); }),
            "image/png");
    });
    // A side view of a type in an airline's colours.
    route("GET", "/v1/getImage.php", [this](const httplib::Request& request) {
        std::string code = param(request, "airlineCode");
        std::string type = param(request, "aircraftType");
        if (type.empty())
            return SimReply::error(404, "No image");
        SimPictures::AircraftLook look = lookOfType(type);
        look.airlineCode = code;
        return SimReply::image(pictures.get(std::string("side/").append(code).append("/").append(type),
                                   [&] { return SimImages::png(SimPictures::aircraftSideView(look, 300, 100)); }),
            "image/png");
    });

    // The icons of the maker's other applications, as the applications list names them.
    route("GET", R"(/appicons/([A-Za-z0-9]+)\.png)", [this](const httplib::Request& request) {
        std::string code = request.matches[1];
        // An unknown application is remembered as an empty picture.
        std::string icon = pictures.get(std::string("icon/").append(code), [&] {
            auto drawn = SimPictures::appIcon(code, kAppIconSize);
            return drawn ? SimImages::png(*drawn) : std::string();
        });
        if (icon.empty())
            return SimReply::error(404, "No icon");
        return SimReply::image(std::move(icon), "image/png");
    });

    // Photo search by registration, and the photos themselves.
    route("GET", "/searchPhotos.php", [this](const httplib::Request& request) {
        std::string text = param(request, "querytext");
        json list = json::array();
        if (text.empty() || text == "z.NO-REG")
            return SimReply::json(list);
        for (int i = 0; i < 3; ++i) {
            std::string id = text + "-" + std::to_string(i + 1);
            list.push_back({ { "id", id }, { "filename", "photos/" + id + ".jpg" },
                { "author", "Simulated Spotter " + std::to_string(i + 1) },
                { "NINGURL", baseUrl() + "photos/" + id + ".jpg" } });
        }
        return SimReply::json(list);
    });
    // A photo "<registration>-<n>" shows that aircraft in its operator's colours; one of an
    // unknown registration gets an airline chosen by the registration.
    auto photo = [this](int width, int height) {
        return [this, width, height](const httplib::Request& request) {
            std::string id = request.matches.size() > 1 ? std::string(request.matches[1]) : "photo";
            std::string key = std::string("photo/").append(id).append("/").append(std::to_string(width));
            return SimReply::image(pictures.get(key,
                                       [&] {
                                           return SimImages::jpeg(
                                               SimPictures::aircraftPhoto(id, photographedAircraft(id), width, height));
                                       }),
                "image/jpeg");
        };
    };
    route("GET", R"(/640thumbs/([^/]+)\.jpg)", photo(640, 427));
    route("GET", R"(/photos/([^/]+)\.jpg)", photo(1024, 683));

    // Chart products and their tiles; tiles outside a product's area or zoom range are 404.
    route("GET", "/charts/products", [this](const httplib::Request&) {
        json list = json::array();
        for (const auto& chart : kCharts) {
            char bounds[96];
            std::snprintf(bounds, sizeof bounds, "%g,%g,%g,%g", chart.west, chart.south, chart.east, chart.north);
            list.push_back({ { "product_url", baseUrl() + "charts/tiles/" + chart.name + "/" },
                { "product_description", chart.description },
                { "product_metadata",
                    { { "minzoom", chart.minZoom }, { "maxzoom", chart.maxZoom }, { "bounds", bounds } } } });
        }
        return SimReply::json(list);
    });
    route("GET", R"(/charts/tiles/([a-z0-9-]+)/(\d+)/(\d+)/(\d+)\.png)", [](const httplib::Request& request) {
        std::string name = request.matches[1];
        int z = std::stoi(request.matches[2]), x = std::stoi(request.matches[3]), y = std::stoi(request.matches[4]);
        const ChartProduct* chart = nullptr;
        for (const auto& candidate : kCharts) {
            if (name == candidate.name)
                chart = &candidate;
        }
        int tiles = z < 31 ? 1 << z : 0;
        if (!chart || z < chart->minZoom || z > chart->maxZoom || x >= tiles || y >= tiles)
            return SimReply::error(404, "No tile");
        double west = tileLongitude(x, z), east = tileLongitude(x + 1, z);
        double north = tileLatitude(y, z), south = tileLatitude(y + 1, z);
        if (east <= chart->west || west >= chart->east || north <= chart->south || south >= chart->north)
            return SimReply::error(404, "No tile");
        uint32_t colour = (SimImages::colourFor(name) & 0xFFFFFF00u) | 0x80u;
        return SimReply::image(SimImages::png(256, 256,
                                   [&](int px, int py) {
                                       bool band = ((px + py + x * 256 + y * 256) / 32) % 3 == 0;
                                       return band ? colour : 0x00000000u;
                                   }),
            "image/png");
    });

    // Accounts: create, login and request_reset over form fields; failures answer 400 with a
    // {"response"} text.
    route("POST", "/auth/api/v1.php", [this](const httplib::Request& request) {
        std::string action = param(request, "action");
        std::string email = param(request, "email");
        std::string password = param(request, "password");
        if (email.empty() || email.find('@') == std::string::npos)
            return SimReply::error(400, "Please enter a valid email address");
        std::lock_guard lock(mutex);
        auto account = accounts.find(email);
        if (action == "create") {
            if (password.size() < 6)
                return SimReply::error(400, "Passwords must be at least 6 characters");
            if (account != accounts.end())
                return SimReply::error(400, "An account with this email address already exists");
            accounts[email] = password;
            return SimReply::json({ { "response", "Account created" }, { "email", email } });
        }
        if (action == "login") {
            if (account == accounts.end() || account->second != password)
                return SimReply::error(400, "Incorrect email address or password");
            return SimReply::json({ { "response", "Logged in" }, { "email", email } });
        }
        if (action == "request_reset") {
            if (account == accounts.end())
                return SimReply::error(400, "No account uses this email address");
            return SimReply::json({ { "response", "A reset link has been sent" } });
        }
        return SimReply::error(400, "Unknown action");
    });

    // Analytics collector: every request counts as delivered.
    route("GET", "/i", [](const httplib::Request&) { return SimReply::json({ { "result", "Success" } }); });
    route("POST", "/i", [](const httplib::Request&) { return SimReply::json({ { "result", "Success" } }); });
}
