#pragma once

#include "mapkit/MKMultiPoint.h"
#include "mapkit/MKOverlay.h"

// An open line through its points, as an overlay. Immutable; any thread.
class MKPolyline : public MKMultiPoint, public MKOverlay {
    VX_OBJECT(MKPolyline, MKMultiPoint)
public:
    MKPolyline(Passkey key, std::vector<MKMapPoint> points)
        : MKMultiPoint(key, std::move(points))
    {
    }

    static Ref<MKPolyline> polylineWithPoints(std::vector<MKMapPoint> points);
    static Ref<MKPolyline> polylineWithCoordinates(const std::vector<CLLocationCoordinate2D>& coordinates);

    CLLocationCoordinate2D coordinate() const override { return MKMultiPoint::coordinate(); }
    std::optional<std::string> title() const override { return MKShape::title(); }
    std::optional<std::string> subtitle() const override { return MKShape::subtitle(); }
    MKMapRect boundingMapRect() const override { return pointsBoundingMapRect(); }
};
