#include "mapkit/MKPolygon.h"

MKPolygon::MKPolygon(Passkey key, std::vector<MKMapPoint> points, std::vector<Ref<MKPolygon>> interiorPolygons)
    : MKMultiPoint(key, std::move(points))
    , m_interiorPolygons(std::move(interiorPolygons))
{
    std::erase(m_interiorPolygons, nullptr);
}

Ref<MKPolygon> MKPolygon::polygonWithPoints(
    std::vector<MKMapPoint> points, std::vector<Ref<MKPolygon>> interiorPolygons)
{
    return make<MKPolygon>(std::move(points), std::move(interiorPolygons));
}

Ref<MKPolygon> MKPolygon::polygonWithCoordinates(
    const std::vector<CLLocationCoordinate2D>& coordinates, std::vector<Ref<MKPolygon>> interiorPolygons)
{
    return make<MKPolygon>(mapPointsForCoordinates(coordinates), std::move(interiorPolygons));
}

VX_REGISTER_CLASS(MKPolygon);
