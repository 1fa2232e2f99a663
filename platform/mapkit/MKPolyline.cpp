#include "mapkit/MKPolyline.h"

Ref<MKPolyline> MKPolyline::polylineWithPoints(std::vector<MKMapPoint> points)
{
    return make<MKPolyline>(std::move(points));
}

Ref<MKPolyline> MKPolyline::polylineWithCoordinates(const std::vector<CLLocationCoordinate2D>& coordinates)
{
    return make<MKPolyline>(mapPointsForCoordinates(coordinates));
}

VX_REGISTER_CLASS(MKPolyline);
