#include "app/view-controllers/map/KESTMapPlaneServices.h"

#include "app/core/KESTPlaneMarkerManager.h"
#include "graphics/UIImage.h"

namespace {

std::atomic<double> s_mapBearing { 0 };

} // namespace

KESTMapPlaneServices::KESTMapPlaneServices(std::shared_ptr<KESTPlaneServices> previous)
    : m_previous(previous ? std::move(previous) : std::make_shared<KESTPlaneServices>())
{
}

void KESTMapPlaneServices::installOverCurrent()
{
    auto current = KESTPlaneServices::shared();
    if (std::dynamic_pointer_cast<KESTMapPlaneServices>(current))
        return;
    KESTPlaneServices::install(std::make_shared<KESTMapPlaneServices>(current));
}

void KESTMapPlaneServices::setMapBearing(double bearing)
{
    s_mapBearing = bearing;
}

double KESTMapPlaneServices::deviceUTCTime() const
{
    return m_previous->deviceUTCTime();
}
double KESTMapPlaneServices::serverTime() const
{
    return m_previous->serverTime();
}
double KESTMapPlaneServices::mapBearing() const
{
    return s_mapBearing;
}

void KESTMapPlaneServices::performFlightPathFetch(const std::string& adshex, const Value& timestamp)
{
    m_previous->performFlightPathFetch(adshex, timestamp);
}

std::optional<std::string> KESTMapPlaneServices::fullLookupFamily(const std::string& typeDesignator) const
{
    return KESTPlaneMarkerManager::sharedInstance()->fullLookupFamily(typeDesignator);
}

std::optional<std::string> KESTMapPlaneServices::partialLookupFamily(const std::string& prefix) const
{
    return KESTPlaneMarkerManager::sharedInstance()->partialLookupFamily(prefix);
}

Ref<UIImage> KESTMapPlaneServices::rotatedImageNamed(
    const std::string& family, int32_t rotation, const std::optional<std::string>& colour) const
{
    return KESTPlaneMarkerManager::sharedInstance()->rotatedImageNamedRotationColour(family, rotation, colour);
}
