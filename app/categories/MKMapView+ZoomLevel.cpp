#include "app/categories/MKMapView+ZoomLevel.h"

#include "mapkit/MKMapView.h"

#include <algorithm>
#include <cmath>

namespace MKMapView_ZoomLevel {

namespace {

constexpr double kOffset = 268435456.0;
constexpr double kRadius = 85445659.44705395;
constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kLn2 = 0.6931471805599453;
constexpr double kReferenceLevel = 20;
constexpr double kPixelSpaceSide = 536870912.0;
constexpr double kEquatorLength = 40075160.0;

double nearest(double x)
{
    return std::round(x);
}

CGSize boundsSize(const Ref<MKMapView>& mapView)
{
    if (!mapView)
        return { 0, 0 };
    return mapView->bounds().size;
}

// 2^(20 - level): levels above 20 give fractions.
double scaleForLevel(uint32_t level)
{
    return std::ldexp(1.0, static_cast<int>(kReferenceLevel) - static_cast<int>(std::min<uint32_t>(level, 1000)));
}

} // namespace

double originXForLongitude(double longitude)
{
    return nearest(longitude * kRadius * kPi / 180.0 + kOffset);
}

double originYForLatitude(double latitude)
{
    if (latitude == 90.0)
        return 0;
    if (latitude == -90.0)
        return kPixelSpaceSide;
    // The sine and the logarithm are taken in single precision.
    float s = std::sin(static_cast<float>(latitude * kPi / 180.0));
    float q = std::log((1.0f + s) / (1.0f - s));
    return nearest(kOffset + static_cast<double>(q) * (-kRadius) * 0.5);
}

double longitudeForOriginX(double x)
{
    return (nearest(x) - kOffset) / kRadius * 180.0 / kPi;
}

double latitudeForOriginY(double y)
{
    return (kHalfPi - 2.0 * std::atan(std::exp((nearest(y) - kOffset) / kRadius))) * 180.0 / kPi;
}

double realWorldDistanceOfMapView(const Ref<MKMapView>& mapView)
{
    if (!mapView)
        return 0;
    MKCoordinateRegion region = mapView->region();
    double d = std::cos(region.center.latitude * kPi / 180.0) * kEquatorLength;
    d = static_cast<double>(static_cast<float>(d));
    return nearest(region.span.longitudeDelta * d / 360.0);
}

uint32_t zoomLevel(const Ref<MKMapView>& mapView)
{
    if (!mapView)
        return 0;
    MKCoordinateRegion region = mapView->region();
    double cx = originXForLongitude(region.center.longitude);
    double lx = originXForLongitude(region.center.longitude - region.span.longitudeDelta * 0.5);
    double w = (cx - lx) * 2;
    double v = boundsSize(mapView).width;
    double level = kReferenceLevel + std::log(w / v) / (-kLn2);
    // Truncation towards zero; a negative level, or none at all (no width), is 0, and a map
    // showing no span at all stays at a representable level.
    if (!(level > 0))
        return 0;
    if (level >= 4294967295.0)
        return UINT32_MAX;
    return static_cast<uint32_t>(level);
}

void setCenterCoordinateZoomLevelAnimated(
    const Ref<MKMapView>& mapView, CLLocationCoordinate2D center, uint32_t level, bool animated)
{
    if (!mapView)
        return;
    uint32_t z = std::min(level, kHighestZoomLevel);
    MKCoordinateSpan span = coordinateSpanWithMapViewCenterCoordinateAndZoomLevel(mapView, center, z);
    mapView->setRegionAnimated(MKCoordinateRegionMake(center, span), animated);
}

MKCoordinateSpan coordinateSpanWithMapViewCenterCoordinateAndZoomLevel(
    const Ref<MKMapView>& mapView, CLLocationCoordinate2D center, uint32_t level)
{
    double cx = originXForLongitude(center.longitude);
    double cy = originYForLatitude(center.latitude);
    double scale = scaleForLevel(level);
    CGSize size = boundsSize(mapView);
    double sw = static_cast<double>(size.width) * scale;
    double sh = static_cast<double>(size.height) * scale;

    double left = cx - sw * 0.5;
    double longitudeDelta = longitudeForOriginX(left + sw) - longitudeForOriginX(left);
    double top = cy - sh * 0.5;
    double latitudeDelta = -(latitudeForOriginY(top + sh) - latitudeForOriginY(top));
    return MKCoordinateSpanMake(latitudeDelta, longitudeDelta);
}

MKCoordinateRegion coordinateRegionWithMapViewCenterCoordinateAndZoomLevel(
    const Ref<MKMapView>& mapView, CLLocationCoordinate2D center, uint32_t level)
{
    double latitude = std::clamp(center.latitude, -90.0, 90.0);
    double longitude = std::fmod(center.longitude, 180.0);

    double cx = originXForLongitude(longitude);
    double cy = originYForLatitude(latitude);
    double scale = scaleForLevel(level);
    CGSize size = boundsSize(mapView);
    double sw = static_cast<double>(size.width) * scale;
    double sh = static_cast<double>(size.height) * scale;

    double left = cx - sw * 0.5;
    double longitudeDelta = longitudeForOriginX(left + sw) - longitudeForOriginX(left);

    double top = cy - sh * 0.5;
    double bottom = cy + sh * 0.5;
    bool adjusted = false;
    if (top > kPixelSpaceSide) {
        top = cy - sh;
        bottom = kPixelSpaceSide;
        adjusted = true;
    }
    double latitudeDelta = -(latitudeForOriginY(bottom) - latitudeForOriginY(top));

    CLLocationCoordinate2D regionCenter { latitude, longitude };
    if (adjusted)
        regionCenter.latitude = latitudeForOriginY((bottom + top) * 0.5);
    return MKCoordinateRegionMake(regionCenter, MKCoordinateSpanMake(latitudeDelta, longitudeDelta));
}

} // namespace MKMapView_ZoomLevel
