#include "KESTAnnotation.h"

#include <algorithm>
#include <cmath>

KESTAnnotation::KESTAnnotation(Passkey key)
    : NSObject(key)
{
}

KESTMapPoint KESTAnnotation::mapPointForCoordinate(const KESTLocation& coordinate)
{
    // Spherical Mercator over the map's world square, as the map projects its annotations.
    constexpr double world = 268435456.0;
    double x = (coordinate.longitude + 180.0) / 360.0 * world;
    double sinLatitude = std::sin(coordinate.latitude * M_PI / 180.0);
    sinLatitude = std::clamp(sinLatitude, -0.9999999999, 0.9999999999);
    double y = (0.5 - std::log((1 + sinLatitude) / (1 - sinLatitude)) / (4 * M_PI)) * world;
    return { x, y };
}

void KESTAnnotation::initWithInfo(const Value& info)
{
    m_addedAsAnnotation = false;
    updateInfo(info);
}

KESTLocation KESTAnnotation::coordinate() const
{
    std::lock_guard guard(m_positionLock);
    return m_coordinate;
}

void KESTAnnotation::setCoordinate(const KESTLocation& coordinate)
{
    willChangeValueForKey("coordinate");
    {
        std::lock_guard guard(m_positionLock);
        m_coordinate = coordinate;
    }
    didChangeValueForKey("coordinate");
}

KESTMapPoint KESTAnnotation::mapPoint() const
{
    std::lock_guard guard(m_positionLock);
    return m_mapPoint;
}

void KESTAnnotation::setMapPoint(const KESTMapPoint& point)
{
    std::lock_guard guard(m_positionLock);
    m_mapPoint = point;
}
