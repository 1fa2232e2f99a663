#include "app/core/KESTAnnotation.h"

#include <algorithm>
#include <cmath>

KESTAnnotation::KESTAnnotation(Passkey key)
    : NSObject(key)
{
}

KESTMapPoint KESTAnnotation::mapPointForCoordinate(const KESTLocation& coordinate)
{
    // The map's own projection, so annotations sit where the map draws them.
    return MKMapPointForCoordinate(coordinate);
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
