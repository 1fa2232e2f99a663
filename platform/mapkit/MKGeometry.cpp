#include "mapkit/MKGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr double kEarthRadius = 6378137.0; // WGS84 equatorial radius, the projection's sphere
constexpr double kRadians = M_PI / 180.0;
constexpr double kMetersPerDegree = 2 * M_PI * kEarthRadius / 360.0;

double latitudeForY(double y)
{
    double n = M_PI * (1 - 2 * y / kMKMapWorldSide);
    return std::atan(std::sinh(n)) / kRadians;
}

} // namespace

const MKMapRect MKMapRectNull { { std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity() },
    { 0, 0 } };

bool MKMapPointEqualToPoint(MKMapPoint a, MKMapPoint b)
{
    return a.x == b.x && a.y == b.y;
}
bool MKMapSizeEqualToSize(MKMapSize a, MKMapSize b)
{
    return a.width == b.width && a.height == b.height;
}
bool MKMapRectEqualToRect(MKMapRect a, MKMapRect b)
{
    return MKMapPointEqualToPoint(a.origin, b.origin) && MKMapSizeEqualToSize(a.size, b.size);
}

bool MKMapRectIsNull(MKMapRect r)
{
    return std::isinf(r.origin.x) || std::isinf(r.origin.y);
}
bool MKMapRectIsEmpty(MKMapRect r)
{
    return MKMapRectIsNull(r) || r.size.width <= 0 || r.size.height <= 0;
}

MKMapPoint MKMapPointForCoordinate(CLLocationCoordinate2D c)
{
    double longitude = c.longitude;
    if (longitude < -180 || longitude > 180)
        longitude = std::remainder(longitude, 360.0);
    double x = (longitude + 180.0) / 360.0 * kMKMapWorldSide;
    double latitude = std::clamp(c.latitude, -89.999999, 89.999999);
    double s = std::sin(latitude * kRadians);
    double y = (0.5 - std::log((1 + s) / (1 - s)) / (4 * M_PI)) * kMKMapWorldSide;
    return { x, std::clamp(y, 0.0, kMKMapWorldSide) };
}

CLLocationCoordinate2D MKCoordinateForMapPoint(MKMapPoint p)
{
    return { latitudeForY(p.y), p.x / kMKMapWorldSide * 360.0 - 180.0 };
}

bool MKMapRectContainsPoint(MKMapRect r, MKMapPoint p)
{
    if (MKMapRectIsNull(r))
        return false;
    return p.x >= MKMapRectGetMinX(r) && p.x < MKMapRectGetMaxX(r) && p.y >= MKMapRectGetMinY(r)
        && p.y < MKMapRectGetMaxY(r);
}

bool MKMapRectContainsRect(MKMapRect outer, MKMapRect inner)
{
    if (MKMapRectIsNull(outer) || MKMapRectIsNull(inner))
        return false;
    return MKMapRectGetMinX(inner) >= MKMapRectGetMinX(outer) && MKMapRectGetMaxX(inner) <= MKMapRectGetMaxX(outer)
        && MKMapRectGetMinY(inner) >= MKMapRectGetMinY(outer) && MKMapRectGetMaxY(inner) <= MKMapRectGetMaxY(outer);
}

bool MKMapRectIntersectsRect(MKMapRect a, MKMapRect b)
{
    if (MKMapRectIsNull(a) || MKMapRectIsNull(b))
        return false;
    return MKMapRectGetMinX(a) < MKMapRectGetMaxX(b) && MKMapRectGetMinX(b) < MKMapRectGetMaxX(a)
        && MKMapRectGetMinY(a) < MKMapRectGetMaxY(b) && MKMapRectGetMinY(b) < MKMapRectGetMaxY(a);
}

MKMapRect MKMapRectIntersection(MKMapRect a, MKMapRect b)
{
    if (MKMapRectIsNull(a) || MKMapRectIsNull(b))
        return MKMapRectNull;
    double minX = std::max(MKMapRectGetMinX(a), MKMapRectGetMinX(b));
    double minY = std::max(MKMapRectGetMinY(a), MKMapRectGetMinY(b));
    double maxX = std::min(MKMapRectGetMaxX(a), MKMapRectGetMaxX(b));
    double maxY = std::min(MKMapRectGetMaxY(a), MKMapRectGetMaxY(b));
    if (maxX < minX || maxY < minY)
        return MKMapRectNull;
    return MKMapRectMake(minX, minY, maxX - minX, maxY - minY);
}

MKMapRect MKMapRectUnion(MKMapRect a, MKMapRect b)
{
    if (MKMapRectIsNull(a))
        return b;
    if (MKMapRectIsNull(b))
        return a;
    double minX = std::min(MKMapRectGetMinX(a), MKMapRectGetMinX(b));
    double minY = std::min(MKMapRectGetMinY(a), MKMapRectGetMinY(b));
    double maxX = std::max(MKMapRectGetMaxX(a), MKMapRectGetMaxX(b));
    double maxY = std::max(MKMapRectGetMaxY(a), MKMapRectGetMaxY(b));
    return MKMapRectMake(minX, minY, maxX - minX, maxY - minY);
}

MKMapRect MKMapRectInset(MKMapRect r, double dx, double dy)
{
    if (MKMapRectIsNull(r))
        return r;
    MKMapRect result = MKMapRectMake(r.origin.x + dx, r.origin.y + dy, r.size.width - 2 * dx, r.size.height - 2 * dy);
    if (result.size.width < 0 || result.size.height < 0)
        return MKMapRectNull;
    return result;
}

MKMapRect MKMapRectOffset(MKMapRect r, double dx, double dy)
{
    if (MKMapRectIsNull(r))
        return r;
    return MKMapRectMake(r.origin.x + dx, r.origin.y + dy, r.size.width, r.size.height);
}

void MKMapRectDivide(MKMapRect r, MKMapRect* slice, MKMapRect* remainder, double amount, int edge)
{
    MKMapRect s = MKMapRectNull, rest = MKMapRectNull;
    if (!MKMapRectIsNull(r)) {
        amount = std::max(0.0, amount);
        bool horizontal = edge == 0 || edge == 2; // min x, max x
        double length = horizontal ? r.size.width : r.size.height;
        amount = std::min(amount, length);
        s = r;
        rest = r;
        switch (edge) {
        case 0:
            s.size.width = amount;
            rest.origin.x += amount;
            rest.size.width -= amount;
            break;
        case 1:
            s.size.height = amount;
            rest.origin.y += amount;
            rest.size.height -= amount;
            break;
        case 2:
            s.origin.x = MKMapRectGetMaxX(r) - amount;
            s.size.width = amount;
            rest.size.width -= amount;
            break;
        default:
            s.origin.y = MKMapRectGetMaxY(r) - amount;
            s.size.height = amount;
            rest.size.height -= amount;
            break;
        }
    }
    if (slice)
        *slice = s;
    if (remainder)
        *remainder = rest;
}

bool MKMapRectSpans180thMeridian(MKMapRect r)
{
    if (MKMapRectIsNull(r) || r.size.width <= 0)
        return false;
    return MKMapRectGetMaxX(r) > kMKMapWorldSide || MKMapRectGetMinX(r) < 0;
}

MKMapRect MKMapRectRemainder(MKMapRect r)
{
    if (!MKMapRectSpans180thMeridian(r))
        return MKMapRectNull;
    if (MKMapRectGetMaxX(r) > kMKMapWorldSide) {
        auto east
            = MKMapRectIntersection(r, MKMapRectMake(kMKMapWorldSide, r.origin.y, kMKMapWorldSide, r.size.height));
        return MKMapRectOffset(east, -kMKMapWorldSide, 0);
    }
    auto west = MKMapRectIntersection(r, MKMapRectMake(-kMKMapWorldSide, r.origin.y, kMKMapWorldSide, r.size.height));
    return MKMapRectOffset(west, kMKMapWorldSide, 0);
}

MKCoordinateRegion MKCoordinateRegionForMapRect(MKMapRect r)
{
    if (MKMapRectIsNull(r))
        return { kCLLocationCoordinate2DInvalid, { 0, 0 } };
    double north = latitudeForY(MKMapRectGetMinY(r));
    double south = latitudeForY(MKMapRectGetMaxY(r));
    auto center = MKCoordinateForMapPoint({ MKMapRectGetMidX(r), MKMapRectGetMidY(r) });
    return { center, { north - south, r.size.width / kMKMapWorldSide * 360.0 } };
}

MKMapRect MKMapRectForCoordinateRegion(MKCoordinateRegion region)
{
    double halfLat = region.span.latitudeDelta / 2, halfLon = region.span.longitudeDelta / 2;
    double west = region.center.longitude - halfLon;
    auto topLeft = MKMapPointForCoordinate({ region.center.latitude + halfLat, -180 });
    auto bottomRight = MKMapPointForCoordinate({ region.center.latitude - halfLat, -180 });
    // Longitudes map linearly; keep a region that crosses the 180th meridian in one piece.
    double x = (west + 180.0) / 360.0 * kMKMapWorldSide;
    double width = region.span.longitudeDelta / 360.0 * kMKMapWorldSide;
    return MKMapRectMake(x, topLeft.y, width, bottomRight.y - topLeft.y);
}

MKCoordinateRegion MKCoordinateRegionMakeWithDistance(
    CLLocationCoordinate2D center, CLLocationDistance latitudinalMeters, CLLocationDistance longitudinalMeters)
{
    double latitudeDelta = latitudinalMeters / kMetersPerDegree;
    double cosine = std::cos(center.latitude * kRadians);
    double longitudeDelta = cosine > 1e-9 ? longitudinalMeters / (kMetersPerDegree * cosine) : 360.0;
    return { center, { latitudeDelta, std::min(longitudeDelta, 360.0) } };
}

double MKMapPointsPerMeterAtLatitude(CLLocationDegrees latitude)
{
    double cosine = std::cos(std::clamp(latitude, -89.999999, 89.999999) * kRadians);
    return kMKMapWorldSide / (2 * M_PI * kEarthRadius * cosine);
}

CLLocationDistance MKMetersPerMapPointAtLatitude(CLLocationDegrees latitude)
{
    return 1.0 / MKMapPointsPerMeterAtLatitude(latitude);
}

CLLocationDistance MKMetersBetweenMapPoints(MKMapPoint a, MKMapPoint b)
{
    auto from = MKCoordinateForMapPoint(a), to = MKCoordinateForMapPoint(b);
    from.longitude = std::remainder(from.longitude, 360.0);
    to.longitude = std::remainder(to.longitude, 360.0);
    return CLDistanceBetweenCoordinates(from, to);
}

double MKRoadWidthAtZoomScale(MKZoomScale zoomScale)
{
    if (!(zoomScale > 0))
        return 0;
    // Roads widen on screen as the map zooms in: about 1 point at world scale, 8 at street level.
    double level = 20.0 + std::log2(zoomScale);
    double screenWidth = std::clamp(level / 2.0 - 2.0, 1.0, 10.0);
    return screenWidth / zoomScale;
}

std::string MKStringFromMapPoint(MKMapPoint p)
{
    char buffer[80];
    std::snprintf(buffer, sizeof buffer, "{%.1f, %.1f}", p.x, p.y);
    return buffer;
}

std::string MKStringFromMapSize(MKMapSize s)
{
    char buffer[80];
    std::snprintf(buffer, sizeof buffer, "{%.1f, %.1f}", s.width, s.height);
    return buffer;
}

std::string MKStringFromMapRect(MKMapRect r)
{
    return "{" + MKStringFromMapPoint(r.origin) + ", " + MKStringFromMapSize(r.size) + "}";
}
