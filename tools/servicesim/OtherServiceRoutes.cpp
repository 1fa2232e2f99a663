// The services other than flight data: logos and photos, chart products and tiles, accounts
// and the analytics collector.
#include "servicesim/ServiceSimulatorImpl.h"

#include "servicesim/SimImages.h"

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

void ServiceSimulator::Impl::addOtherServiceRoutes()
{
    // Airline logos: a banner in the airline's colour; thumbnails are smaller.
    route("GET", "/v1/getLogo.php", [this](const httplib::Request& request) {
        std::string code = param(request, "airlineCode");
        bool known = !code.empty()
            && std::any_of(data.airlines.begin(), data.airlines.end(),
                [&](const RefAirline& airline) { return airline.icao == code || airline.iata == code; });
        if (!known)
            return SimReply::error(404, "No logo");
        bool thumb = param(request, "requestThumb") == "1";
        int width = thumb ? 60 : 200, height = thumb ? 20 : 60;
        uint32_t colour = SimImages::colourFor(code), accent = SimImages::colourFor(code, 7);
        return SimReply::image(
            SimImages::png(
                width, height, [&](int x, int y) { return (y > height * 2 / 3 || x < height / 3) ? accent : colour; }),
            "image/png");
    });
    // A side view of a type in an airline's colours.
    route("GET", "/v1/getImage.php", [](const httplib::Request& request) {
        std::string code = param(request, "airlineCode");
        std::string type = param(request, "aircraftType");
        if (type.empty())
            return SimReply::error(404, "No image");
        uint32_t tail = SimImages::colourFor(code.empty() ? "z" : code);
        return SimReply::image(SimImages::png(300, 100,
                                   [&](int x, int y) {
                                       bool body = y > 40 && y < 60 && x > 20 && x < 280;
                                       bool fin = x > 240 && x < 280 && y > 10 && y <= 40 && (x - 240) > (40 - y);
                                       bool wing = x > 120 && x < 180 && y >= 60 && y < 75;
                                       if (fin)
                                           return tail;
                                       if (body || wing)
                                           return 0xEEEEEEFFu;
                                       return 0x00000000u;
                                   }),
            "image/png");
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
    auto photo = [](int width, int height) {
        return [width, height](const httplib::Request& request) {
            std::string id = request.matches.size() > 1 ? std::string(request.matches[1]) : "photo";
            uint32_t sky = 0x6FA8DCFFu, plane = SimImages::colourFor(id);
            return SimReply::image(
                SimImages::jpeg(width, height,
                    [&](int x, int y) {
                        bool body = y > height * 2 / 5 && y < height / 2 && x > width / 8 && x < width * 7 / 8;
                        bool wing = x > width * 2 / 5 && x < width * 3 / 5 && y >= height / 2 && y < height * 3 / 5;
                        return body || wing ? plane : sky - static_cast<uint32_t>(y * 40 / height) * 0x01010100u;
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
