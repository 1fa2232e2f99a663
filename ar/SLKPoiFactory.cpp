#include "ar/SLKPoiFactory.h"

#include "ar/SLKController.h"
#include "ar/SLKPoiLabel.h"
#include "ar/SNRDeviceAttitude.h"
#include "ar/SNRSensorManager.h"
#include "foundation/NSBundle.h"
#include "foundation/NSDataFile.h"
#include "foundation/NSString.h"
#include "location/CLLocation.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace {

Ref<SLKObjectDelegate> makeLabel(const std::string& title, const Ref<CLLocation>& location)
{
    return SLKPoiLabel::initWithTitleAtLocation(title, location);
}

SLKPoiFactory::Maker s_maker = makeLabel;

std::vector<std::string> splitCSVLine(const std::string& line)
{
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.push_back(std::move(field));
            field.clear();
        } else {
            field += c;
        }
    }
    fields.push_back(std::move(field));
    return fields;
}

std::vector<SLKPoiFactory::City> loadCities()
{
    std::vector<SLKPoiFactory::City> cities;
    auto path = NSBundle::mainBundle()->pathForResource("ar_cities", "csv", "data");
    if (!path)
        return cities;
    std::ifstream file(*path);
    std::string line;
    std::getline(file, line); // header
    while (std::getline(file, line)) {
        auto fields = splitCSVLine(line);
        if (fields.size() < 5)
            continue;
        cities.push_back({ fields[0], static_cast<int32_t>(std::atol(fields[1].c_str())), fields[2],
            static_cast<float>(std::atof(fields[3].c_str())), static_cast<float>(std::atof(fields[4].c_str())) });
    }
    return cities;
}

Ref<SNRDeviceAttitude> attitude()
{
    return SNRSensorManager::sharedSensorManager()->deviceAttitude();
}

} // namespace

void SLKPoiFactory::setPoiClass(Maker maker)
{
    s_maker = maker ? std::move(maker) : Maker(makeLabel);
}

void SLKPoiFactory::resetForTesting()
{
    s_maker = makeLabel;
}

const std::vector<SLKPoiFactory::City>& SLKPoiFactory::cities()
{
    static const std::vector<City> table = loadCities();
    return table;
}

void SLKPoiFactory::create(const std::string& title, double latitude, double longitude)
{
    // A refused object (a label without a title) registers nothing.
    if (auto object = s_maker(title, CLLocation::initWithLatitudeLongitude(latitude, longitude)))
        SLKController::sharedARController()->addObject(object);
}

void SLKPoiFactory::createAtHeadingWithDistance(float bearing, float distance)
{
    auto device = attitude();
    auto c = SNRDestinationCoordinate(device->locationLatitude(), device->locationLongitude(), distance, bearing);
    create(NSString::stringWithFormat("%d", SLKController::sharedARController()->numberOfObjects()), c.latitude,
        c.longitude);
}

void SLKPoiFactory::createAroundUser(int32_t count)
{
    createAroundUserAtDistanceIntervalsInRows(36, 500, count / 10);
}

void SLKPoiFactory::createAroundUserAtDistanceIntervalsInRows(double angleStep, double interval, int32_t rows)
{
    for (int32_t i = 1; i <= rows; ++i)
        createAroundUserAndOffsetAngleAtDistance(angleStep, i * angleStep / 3, i * interval);
}

void SLKPoiFactory::createAroundUserAndOffsetAngleAtDistance(double angleStep, double offset, double distance)
{
    if (!(angleStep > 0))
        return;
    auto device = attitude();
    double latitude = device->locationLatitude();
    double longitude = device->locationLongitude();
    for (float a = 0; a < 360; a += static_cast<float>(angleStep)) {
        auto c = SNRDestinationCoordinate(latitude, longitude, distance, offset + a);
        create(NSString::stringWithFormat("Test Label %d", SLKController::sharedARController()->numberOfObjects()),
            c.latitude, c.longitude);
    }
}

void SLKPoiFactory::createRandom(int32_t count)
{
    auto device = attitude();
    double latitude = device->locationLatitude();
    double longitude = device->locationLongitude();
    for (int32_t i = 1; i <= count; ++i) {
        float bearing = SNRRandomFloat(360);
        float distance = SNRRandomFloatInRange(200, 200000);
        auto c = SNRDestinationCoordinate(latitude, longitude, distance, bearing);
        create(NSString::stringWithFormat("Test Label %d", i), c.latitude, c.longitude);
    }
}

void SLKPoiFactory::createCitiesAroundUser(int32_t count)
{
    auto device = attitude()->location();
    // Keyed by the single-precision distance: two cities at the same distance share an entry,
    // the later one in the table winning.
    std::map<float, const City*> byDistance;
    for (const auto& city : cities()) {
        auto location = CLLocation::initWithLatitudeLongitude(city.latitude, city.longitude);
        float distance = device ? static_cast<float>(location->distanceFromLocation(device)) : 0;
        byDistance[distance] = &city;
    }
    int32_t made = 0;
    for (auto& [distance, city] : byDistance) {
        if (made++ >= count)
            break;
        create(city->name, city->latitude, city->longitude);
    }
}
