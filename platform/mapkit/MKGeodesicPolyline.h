#pragma once

#include "mapkit/MKPolyline.h"

// A polyline that follows the great circle between each pair of given coordinates: the line is
// filled in with intermediate points no more than one degree of arc apart. Longitudes are kept
// continuous, so a line crossing the 180th meridian runs past the world's edge (map points
// beyond the world's width) instead of jumping back across the map. Immutable; any thread.
class MKGeodesicPolyline : public MKPolyline {
    VX_OBJECT(MKGeodesicPolyline, MKPolyline)
public:
    MKGeodesicPolyline(Passkey key, std::vector<MKMapPoint> points)
        : MKPolyline(key, std::move(points))
    {
    }

    static Ref<MKGeodesicPolyline> polylineWithCoordinates(const std::vector<CLLocationCoordinate2D>& coordinates);
    static Ref<MKGeodesicPolyline> polylineWithPoints(const std::vector<MKMapPoint>& points);
};
