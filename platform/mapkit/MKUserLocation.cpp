#include "mapkit/MKUserLocation.h"

CLLocationCoordinate2D MKUserLocation::coordinate() const
{
    return m_location ? m_location->coordinate() : kCLLocationCoordinate2DInvalid;
}

void MKUserLocation::setLocation(const Ref<CLLocation>& location)
{
    willChangeValueForKey("location");
    willChangeValueForKey("coordinate");
    m_location = location;
    didChangeValueForKey("coordinate");
    didChangeValueForKey("location");
}

VX_REGISTER_CLASS(MKUserLocation);
