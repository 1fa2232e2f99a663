#include "location/CLGeocoder.h"

#include "foundation/Dispatch.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSLocale.h"
#include "foundation/NSString.h"
#include "location/CLError.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>

namespace {

std::mutex s_dataLock;
std::string s_dataPath;
std::shared_ptr<const std::vector<GeocoderPlace>> s_places;

std::string trimmed(std::string_view text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return std::string(text.substr(begin, end - begin));
}

// Case and diacritics folded, so "sao paulo" finds "São Paulo".
std::string folded(std::string_view text)
{
    return NSString::stringByFoldingWithOptions(text, NSCaseInsensitiveSearch | NSDiacriticInsensitiveSearch);
}

// Splits one CSV line; fields may be double-quoted with "" for a quote.
std::vector<std::string> csvFields(const std::string& line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    return fields;
}

std::shared_ptr<const std::vector<GeocoderPlace>> load(const std::string& path)
{
    auto places = std::make_shared<std::vector<GeocoderPlace>>();
    std::ifstream file(path);
    std::string line;
    if (!file || !std::getline(file, line))
        return places;
    while (std::getline(file, line)) {
        auto fields = csvFields(line);
        if (fields.size() < 5)
            continue;
        GeocoderPlace place;
        place.name = trimmed(fields[0]);
        place.countryCode = trimmed(fields[1]);
        place.searchName = folded(place.name);
        try {
            place.latitude = std::stod(fields[2]);
            place.longitude = std::stod(fields[3]);
            place.population = std::stoll(fields[4]);
        } catch (const std::exception&) {
            continue; // a malformed row is skipped, not fatal
        }
        if (place.name.empty() || !CLLocationCoordinate2DIsValid({ place.latitude, place.longitude }))
            continue;
        places->push_back(std::move(place));
    }
    return places;
}

std::string countryName(const std::string& code)
{
    auto name = NSLocale::currentLocale()->displayNameForKeyValue(NSLocaleCountryCode, code);
    return name.isString() ? name.string() : code;
}

} // namespace

CLGeocoder::CLGeocoder(Passkey key)
    : NSObject(key)
{
}

Ref<CLGeocoder> CLGeocoder::init()
{
    return make<CLGeocoder>();
}

void CLGeocoder::setPlaceDataPath(const std::string& path)
{
    std::lock_guard guard(s_dataLock);
    s_dataPath = path;
    s_places = nullptr;
}

std::shared_ptr<const std::vector<GeocoderPlace>> CLGeocoder::places()
{
    std::lock_guard guard(s_dataLock);
    if (!s_places) {
        std::string path = s_dataPath;
        if (path.empty())
            path = NSBundle::mainBundle()->pathForResource("cities", "csv", "data").value_or("");
        s_places = load(path);
    }
    return s_places;
}

std::vector<GeocoderPlace> CLGeocoder::search(const std::string& address, size_t limit)
{
    std::vector<std::string> parts;
    std::stringstream stream(address);
    for (std::string part; std::getline(stream, part, ',');) {
        if (auto text = trimmed(part); !text.empty())
            parts.push_back(folded(text));
    }
    if (parts.empty())
        return {};
    auto data = places();
    auto best = [limit](std::vector<GeocoderPlace> found) {
        std::stable_sort(found.begin(), found.end(), [](auto& a, auto& b) { return a.population > b.population; });
        if (found.size() > limit)
            found.resize(limit);
        return found;
    };

    // A name that itself holds commas ("Washington, D.C.") matches the whole text first.
    if (parts.size() > 1) {
        std::vector<GeocoderPlace> whole;
        auto text = folded(trimmed(address));
        for (auto& place : *data) {
            if (place.searchName == text)
                whole.push_back(place);
        }
        if (!whole.empty())
            return best(std::move(whole));
    }

    // The words after the first comma name a country, by ISO code or by name.
    const std::string& city = parts.front();
    std::set<std::string> countryCodes;
    bool countryGiven = parts.size() > 1;
    if (countryGiven) {
        std::map<std::string, std::string> names; // code -> folded country name
        for (auto& place : *data) {
            if (!names.count(place.countryCode))
                names[place.countryCode] = folded(countryName(place.countryCode));
        }
        for (size_t i = 1; i < parts.size(); ++i) {
            for (auto& [code, name] : names) {
                if (parts[i] == folded(code) || parts[i] == name)
                    countryCodes.insert(code);
            }
        }
    }

    std::vector<GeocoderPlace> exact, prefix;
    for (auto& place : *data) {
        const auto& name = place.searchName;
        if (name.size() < city.size() || name.compare(0, city.size(), city) != 0)
            continue;
        if (countryGiven && !countryCodes.count(place.countryCode))
            continue;
        (name.size() == city.size() ? exact : prefix).push_back(place);
    }
    return best(exact.empty() ? std::move(prefix) : std::move(exact));
}

void CLGeocoder::geocodeAddressString(const std::string& address, CompletionHandler completionHandler)
{
    if (m_pending)
        cancelGeocode();
    uint64_t request = m_nextRequest++;
    m_pending = request;
    m_handler = std::move(completionHandler);
    // The request keeps the geocoder alive until it has answered, so no handler is lost.
    auto protectedThis = self<CLGeocoder>();
    dispatch_async(dispatch_get_global_queue(0, 0), [protectedThis, address, request]() mutable {
        auto found = search(address);
        dispatch_async(dispatch_get_main_queue(),
            [protectedThis = std::move(protectedThis), request, found = std::move(found)]() mutable {
                protectedThis->finish(request, std::move(found));
            });
    });
}

void CLGeocoder::finish(uint64_t request, std::vector<GeocoderPlace> found)
{
    if (request != m_pending)
        return; // cancelled; its handler has been answered already
    auto handler = std::move(m_handler);
    m_handler = nullptr;
    m_pending = 0;
    if (!handler)
        return;
    auto protectedThis = self<CLGeocoder>();
    if (found.empty()) {
        handler({}, NSError::errorWithDomain(kCLErrorDomain, kCLErrorGeocodeFoundNoResult));
        return;
    }
    std::vector<Ref<CLPlacemark>> placemarks;
    for (auto& place : found) {
        auto location = CLLocation::initWithCoordinate({ place.latitude, place.longitude }, 0, 100, -1, nullptr);
        placemarks.push_back(CLPlacemark::initWithName(
            place.name, place.name, countryName(place.countryCode), place.countryCode, location));
    }
    handler(placemarks, nullptr);
}

void CLGeocoder::cancelGeocode()
{
    if (!m_pending)
        return;
    m_pending = 0;
    auto handler = std::move(m_handler);
    m_handler = nullptr;
    if (!handler)
        return;
    // The cancelled request still gets its one answer, later on the main queue as any other.
    dispatch_async(dispatch_get_main_queue(), [handler = std::move(handler)] {
        handler({}, NSError::errorWithDomain(kCLErrorDomain, kCLErrorGeocodeCanceled));
    });
}

VX_REGISTER_CLASS(CLGeocoder);
