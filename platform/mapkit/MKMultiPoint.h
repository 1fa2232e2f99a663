#pragma once

#include "mapkit/MKGeometry.h"
#include "mapkit/MKShape.h"

#include <vector>

// A shape made of a list of map points (kept as map points; coordinates are derived). The points
// never change after creation; any thread may read them.
class MKMultiPoint : public MKShape {
    VX_OBJECT(MKMultiPoint, MKShape)
public:
    MKMultiPoint(Passkey key, std::vector<MKMapPoint> points);

    const std::vector<MKMapPoint>& points() const { return m_points; }
    uint32_t pointCount() const { return static_cast<uint32_t>(m_points.size()); }
    // Coordinates of the points in [location, location + length), clipped to the points there are.
    std::vector<CLLocationCoordinate2D> getCoordinates(uint32_t location, uint32_t length) const;

    // The bounding rect of the points (null for none), and its middle as the coordinate.
    MKMapRect pointsBoundingMapRect() const { return m_bounds; }
    CLLocationCoordinate2D coordinate() const override;

protected:
    static std::vector<MKMapPoint> mapPointsForCoordinates(const std::vector<CLLocationCoordinate2D>& coordinates);

private:
    std::vector<MKMapPoint> m_points;
    MKMapRect m_bounds;
};
