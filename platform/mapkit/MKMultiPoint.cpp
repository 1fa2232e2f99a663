#include "mapkit/MKMultiPoint.h"

MKMultiPoint::MKMultiPoint(Passkey key, std::vector<MKMapPoint> points)
    : MKShape(key)
    , m_points(std::move(points))
    , m_bounds(MKMapRectNull)
{
    for (auto& p : m_points)
        m_bounds = MKMapRectUnion(m_bounds, MKMapRectMake(p.x, p.y, 0, 0));
}

std::vector<CLLocationCoordinate2D> MKMultiPoint::getCoordinates(uint32_t location, uint32_t length) const
{
    std::vector<CLLocationCoordinate2D> coordinates;
    for (size_t i = location; i < m_points.size() && i - location < length; ++i)
        coordinates.push_back(MKCoordinateForMapPoint(m_points[i]));
    return coordinates;
}

CLLocationCoordinate2D MKMultiPoint::coordinate() const
{
    if (MKMapRectIsNull(m_bounds))
        return kCLLocationCoordinate2DInvalid;
    return MKCoordinateForMapPoint({ MKMapRectGetMidX(m_bounds), MKMapRectGetMidY(m_bounds) });
}

std::vector<MKMapPoint> MKMultiPoint::mapPointsForCoordinates(const std::vector<CLLocationCoordinate2D>& coordinates)
{
    std::vector<MKMapPoint> points;
    points.reserve(coordinates.size());
    for (auto& c : coordinates)
        points.push_back(MKMapPointForCoordinate(c));
    return points;
}

VX_REGISTER_CLASS(MKMultiPoint);
