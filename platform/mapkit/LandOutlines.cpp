#include "mapkit/LandOutlines.h"

#include "foundation/NSBundle.h"

#include <cmath>
#include <fstream>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>

namespace {

std::mutex s_lock;
std::string s_directory;
bool s_coarseLoaded = false, s_detailedLoaded = false;
std::shared_ptr<const LandOutlines> s_coarse, s_detailed;

std::string pathFor(const std::string& name)
{
    if (!s_directory.empty())
        return s_directory + "/" + name + ".json";
    return NSBundle::mainBundle()->pathForResource(name, "json", "data").value_or("");
}

} // namespace

std::shared_ptr<const LandOutlines> LandOutlines::loadFromFile(const std::string& path)
{
    std::ifstream file(path);
    if (!file)
        return nullptr;
    auto json = nlohmann::json::parse(file, nullptr, false);
    if (json.is_discarded() || !json.is_object() || !json.contains("polygons") || !json["polygons"].is_array())
        return nullptr;
    auto outlines = std::make_shared<LandOutlines>();
    for (auto& polygonJson : json["polygons"]) {
        if (!polygonJson.is_array())
            continue;
        Polygon polygon { MKMapRectNull, {} };
        for (auto& ringJson : polygonJson) {
            if (!ringJson.is_array())
                continue;
            std::vector<MKMapPoint> ring;
            std::optional<double> previousLongitude;
            for (auto& pair : ringJson) {
                if (!pair.is_array() || pair.size() < 2 || !pair[0].is_number() || !pair[1].is_number())
                    continue;
                double longitude = pair[0].get<double>();
                double latitude = pair[1].get<double>();
                if (!std::isfinite(longitude) || !std::isfinite(latitude))
                    continue;
                // A ring that crosses the 180th meridian (or runs along it, written as -180 on
                // its east side) is kept continuous: each point is taken in whichever world lies
                // nearest the point before it. Otherwise the edge back across the map would draw
                // a sliver of land around the whole world. The drawing repeats rings that reach
                // into the neighbouring world.
                if (previousLongitude) {
                    while (longitude - *previousLongitude > 180)
                        longitude -= 360;
                    while (*previousLongitude - longitude > 180)
                        longitude += 360;
                } else if (longitude >= 180.0) {
                    longitude = 180.0; // the world's east edge, not its west one
                }
                previousLongitude = longitude;
                MKMapPoint p { (longitude + 180.0) / 360.0 * kMKMapWorldSide,
                    MKMapPointForCoordinate({ latitude, 0 }).y };
                ring.push_back(p);
                polygon.bounds = MKMapRectUnion(polygon.bounds, MKMapRectMake(p.x, p.y, 0, 0));
            }
            if (ring.size() >= 3)
                polygon.rings.push_back(std::move(ring));
        }
        if (!polygon.rings.empty())
            outlines->m_polygons.push_back(std::move(polygon));
    }
    return outlines;
}

std::shared_ptr<const LandOutlines> LandOutlines::coarse()
{
    std::lock_guard guard(s_lock);
    if (!s_coarseLoaded) {
        s_coarse = loadFromFile(pathFor("land-110m"));
        s_coarseLoaded = true;
    }
    return s_coarse;
}

std::shared_ptr<const LandOutlines> LandOutlines::detailed()
{
    std::lock_guard guard(s_lock);
    if (!s_detailedLoaded) {
        s_detailed = loadFromFile(pathFor("land-50m"));
        s_detailedLoaded = true;
    }
    return s_detailed;
}

void LandOutlines::setDataDirectory(const std::string& directory)
{
    std::lock_guard guard(s_lock);
    s_directory = directory;
    s_coarseLoaded = s_detailedLoaded = false;
    s_coarse = s_detailed = nullptr;
}
