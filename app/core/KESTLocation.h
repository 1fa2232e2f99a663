#pragma once

// A position on the earth in degrees, with the distance between two positions on the WGS84
// ellipsoid. The application's own small stand-in for a location object where it only needs
// coordinates and distances.
struct KESTLocation {
    double latitude { 0 };
    double longitude { 0 };

    // Metres along the ellipsoid between the two positions (0 for the same position).
    double distanceFromLocation(const KESTLocation& other) const;

    bool operator==(const KESTLocation&) const = default;
};
