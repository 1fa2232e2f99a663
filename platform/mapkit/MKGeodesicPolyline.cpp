#include "mapkit/MKGeodesicPolyline.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kRadians = M_PI / 180.0;

struct Vector3 {
    double x, y, z;
};

Vector3 unitVector(CLLocationCoordinate2D c)
{
    double phi = c.latitude * kRadians, lambda = c.longitude * kRadians;
    return { std::cos(phi) * std::cos(lambda), std::cos(phi) * std::sin(lambda), std::sin(phi) };
}

CLLocationCoordinate2D coordinateOf(Vector3 v)
{
    return { std::atan2(v.z, std::hypot(v.x, v.y)) / kRadians, std::atan2(v.y, v.x) / kRadians };
}

} // namespace

Ref<MKGeodesicPolyline> MKGeodesicPolyline::polylineWithCoordinates(
    const std::vector<CLLocationCoordinate2D>& coordinates)
{
    std::vector<CLLocationCoordinate2D> line;
    for (size_t i = 0; i < coordinates.size(); ++i) {
        if (!CLLocationCoordinate2DIsValid(coordinates[i]))
            continue;
        if (line.empty()) {
            line.push_back(coordinates[i]);
            continue;
        }
        auto from = line.back(), to = coordinates[i];
        auto a = unitVector(from), b = unitVector(to);
        double dot = std::clamp(a.x * b.x + a.y * b.y + a.z * b.z, -1.0, 1.0);
        double angle = std::acos(dot);
        int steps = std::max(1, static_cast<int>(std::ceil(angle / kRadians)));
        double sinAngle = std::sin(angle);
        for (int s = 1; s <= steps; ++s) {
            double t = static_cast<double>(s) / steps;
            CLLocationCoordinate2D c;
            if (s == steps || sinAngle < 1e-12) {
                c = to; // the end point exactly; coincident or antipodal ends have no single great circle
            } else {
                double wa = std::sin((1 - t) * angle) / sinAngle, wb = std::sin(t * angle) / sinAngle;
                c = coordinateOf({ wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z });
            }
            // Keep longitude continuous with the previous point.
            double previous = line.back().longitude;
            c.longitude = previous + std::remainder(c.longitude - previous, 360.0);
            line.push_back(c);
        }
    }
    std::vector<MKMapPoint> points;
    points.reserve(line.size());
    for (auto& c : line) {
        auto p = MKMapPointForCoordinate({ c.latitude, 0 });
        p.x = (c.longitude + 180.0) / 360.0 * kMKMapWorldSide;
        points.push_back(p);
    }
    return make<MKGeodesicPolyline>(std::move(points));
}

Ref<MKGeodesicPolyline> MKGeodesicPolyline::polylineWithPoints(const std::vector<MKMapPoint>& points)
{
    std::vector<CLLocationCoordinate2D> coordinates;
    for (auto& p : points)
        coordinates.push_back(MKCoordinateForMapPoint(p));
    return polylineWithCoordinates(coordinates);
}

VX_REGISTER_CLASS(MKGeodesicPolyline);
