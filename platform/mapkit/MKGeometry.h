#pragma once

#include "location/CLLocation.h"

#include <string>

// Map geometry: a Web Mercator plane of 268435456 x 268435456 map points, x growing east from the
// 180th meridian and y growing south from about 85.0511 degrees north. Plain values; any thread.

using MKZoomScale = double;

struct MKMapPoint {
    double x { 0 };
    double y { 0 };
};

struct MKMapSize {
    double width { 0 };
    double height { 0 };
};

struct MKMapRect {
    MKMapPoint origin;
    MKMapSize size;
};

struct MKCoordinateSpan {
    CLLocationDegrees latitudeDelta { 0 };
    CLLocationDegrees longitudeDelta { 0 };
};

struct MKCoordinateRegion {
    CLLocationCoordinate2D center;
    MKCoordinateSpan span;
};

inline constexpr double kMKMapWorldSide = 268435456.0;
inline constexpr MKMapSize MKMapSizeWorld { kMKMapWorldSide, kMKMapWorldSide };
inline constexpr MKMapRect MKMapRectWorld { { 0, 0 }, { kMKMapWorldSide, kMKMapWorldSide } };
// The empty rect with no position: the identity of union, the result of disjoint intersections.
extern const MKMapRect MKMapRectNull;

inline MKMapPoint MKMapPointMake(double x, double y)
{
    return { x, y };
}
inline MKMapSize MKMapSizeMake(double width, double height)
{
    return { width, height };
}
inline MKMapRect MKMapRectMake(double x, double y, double width, double height)
{
    return { { x, y }, { width, height } };
}
inline MKCoordinateSpan MKCoordinateSpanMake(CLLocationDegrees latitudeDelta, CLLocationDegrees longitudeDelta)
{
    return { latitudeDelta, longitudeDelta };
}
inline MKCoordinateRegion MKCoordinateRegionMake(CLLocationCoordinate2D center, MKCoordinateSpan span)
{
    return { center, span };
}

inline double MKMapRectGetMinX(MKMapRect r)
{
    return r.origin.x;
}
inline double MKMapRectGetMinY(MKMapRect r)
{
    return r.origin.y;
}
inline double MKMapRectGetMidX(MKMapRect r)
{
    return r.origin.x + r.size.width / 2;
}
inline double MKMapRectGetMidY(MKMapRect r)
{
    return r.origin.y + r.size.height / 2;
}
inline double MKMapRectGetMaxX(MKMapRect r)
{
    return r.origin.x + r.size.width;
}
inline double MKMapRectGetMaxY(MKMapRect r)
{
    return r.origin.y + r.size.height;
}
inline double MKMapRectGetWidth(MKMapRect r)
{
    return r.size.width;
}
inline double MKMapRectGetHeight(MKMapRect r)
{
    return r.size.height;
}

bool MKMapPointEqualToPoint(MKMapPoint a, MKMapPoint b);
bool MKMapSizeEqualToSize(MKMapSize a, MKMapSize b);
bool MKMapRectEqualToRect(MKMapRect a, MKMapRect b);
bool MKMapRectIsNull(MKMapRect r);
// Null, or zero (or negative) width or height.
bool MKMapRectIsEmpty(MKMapRect r);

// Latitudes beyond the projection's limit (about ±85.0511) are held at the edge of the world;
// longitudes outside [-180, 180] are wrapped into it first.
MKMapPoint MKMapPointForCoordinate(CLLocationCoordinate2D coordinate);
// Points east or west of the world give longitudes beyond ±180 (the map repeats there).
CLLocationCoordinate2D MKCoordinateForMapPoint(MKMapPoint point);

// Containment is half-open: the min edges belong to a rect, the max edges do not.
bool MKMapRectContainsPoint(MKMapRect rect, MKMapPoint point);
bool MKMapRectContainsRect(MKMapRect outer, MKMapRect inner);
// True when the rects share area (touching edges do not count); false for null rects.
bool MKMapRectIntersectsRect(MKMapRect a, MKMapRect b);
MKMapRect MKMapRectIntersection(MKMapRect a, MKMapRect b);
MKMapRect MKMapRectUnion(MKMapRect a, MKMapRect b);
// Null when the result would have a negative width or height.
MKMapRect MKMapRectInset(MKMapRect rect, double dx, double dy);
MKMapRect MKMapRectOffset(MKMapRect rect, double dx, double dy);
void MKMapRectDivide(MKMapRect rect, MKMapRect* slice, MKMapRect* remainder, double amount, int edge);
// True when the rect reaches past the east (or west) edge of the world.
bool MKMapRectSpans180thMeridian(MKMapRect rect);
// The part of a rect that lies past the world's east (or west) edge, moved back into the world;
// null for a rect that does not span the 180th meridian.
MKMapRect MKMapRectRemainder(MKMapRect rect);

// The region a map rect shows: centre at the rect's middle, latitude delta from its top and
// bottom edges, longitude delta from its width.
MKCoordinateRegion MKCoordinateRegionForMapRect(MKMapRect rect);
// The map rect that covers a region (its corners' map points).
MKMapRect MKMapRectForCoordinateRegion(MKCoordinateRegion region);
// A region centred on `center` spanning the given north-south and east-west distances in metres.
MKCoordinateRegion MKCoordinateRegionMakeWithDistance(
    CLLocationCoordinate2D center, CLLocationDistance latitudinalMeters, CLLocationDistance longitudinalMeters);

double MKMapPointsPerMeterAtLatitude(CLLocationDegrees latitude);
CLLocationDistance MKMetersPerMapPointAtLatitude(CLLocationDegrees latitude);
// Geodesic distance between the coordinates of two map points, in metres.
CLLocationDistance MKMetersBetweenMapPoints(MKMapPoint a, MKMapPoint b);
// Width in map points of a road line drawn at the zoom scale (screen points per map point).
double MKRoadWidthAtZoomScale(MKZoomScale zoomScale);

std::string MKStringFromMapPoint(MKMapPoint point);
std::string MKStringFromMapSize(MKMapSize size);
std::string MKStringFromMapRect(MKMapRect rect);
