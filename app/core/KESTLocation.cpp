#include "app/core/KESTLocation.h"

double KESTLocation::distanceFromLocation(const KESTLocation& other) const
{
    auto from = CLLocation::initWithLatitudeLongitude(latitude, longitude);
    auto to = CLLocation::initWithLatitudeLongitude(other.latitude, other.longitude);
    return from->distanceFromLocation(to);
}
