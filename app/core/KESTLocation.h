#pragma once

#include "location/CLLocation.h"

// A position on the earth in degrees: the platform's coordinate, with the distance between two
// positions on the WGS84 ellipsoid. Converts to and from CLLocationCoordinate2D freely.
struct KESTLocation : CLLocationCoordinate2D {
    KESTLocation() = default;
    KESTLocation(CLLocationDegrees latitude, CLLocationDegrees longitude)
        : CLLocationCoordinate2D { latitude, longitude }
    {
    }
    KESTLocation(const CLLocationCoordinate2D& coordinate)
        : CLLocationCoordinate2D(coordinate)
    {
    }

    // Metres along the ellipsoid between the two positions (0 for the same position), as the
    // platform's location objects measure it.
    double distanceFromLocation(const KESTLocation& other) const;

    bool operator==(const KESTLocation& other) const
    {
        return latitude == other.latitude && longitude == other.longitude;
    }
};
