#pragma once

#include "mapkit/MKMultiPoint.h"
#include "mapkit/MKOverlay.h"

#include <vector>

// A closed shape through its points with optional holes (interior polygons), as an overlay.
// Immutable; any thread.
class MKPolygon : public MKMultiPoint, public MKOverlay {
    VX_OBJECT(MKPolygon, MKMultiPoint)
public:
    MKPolygon(Passkey key, std::vector<MKMapPoint> points, std::vector<Ref<MKPolygon>> interiorPolygons);

    static Ref<MKPolygon> polygonWithPoints(
        std::vector<MKMapPoint> points, std::vector<Ref<MKPolygon>> interiorPolygons = {});
    static Ref<MKPolygon> polygonWithCoordinates(
        const std::vector<CLLocationCoordinate2D>& coordinates, std::vector<Ref<MKPolygon>> interiorPolygons = {});

    const std::vector<Ref<MKPolygon>>& interiorPolygons() const { return m_interiorPolygons; }

    CLLocationCoordinate2D coordinate() const override { return MKMultiPoint::coordinate(); }
    std::optional<std::string> title() const override { return MKShape::title(); }
    std::optional<std::string> subtitle() const override { return MKShape::subtitle(); }
    MKMapRect boundingMapRect() const override { return pointsBoundingMapRect(); }

private:
    std::vector<Ref<MKPolygon>> m_interiorPolygons;
};
