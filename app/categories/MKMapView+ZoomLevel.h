#pragma once

#include "foundation/NSObject.h"
#include "mapkit/MKGeometry.h"

#include <cstdint>

class MKMapView;

// Integer zoom levels for a map that describes what it shows by a region. Levels live in a
// spherical Mercator pixel space 2^29 units wide whose centre (longitude 0, latitude 0) is at
// (2^28, 2^28), x growing east and y growing south; at level z one point of the map view covers
// 2^(20 - z) units. The pure conversions run on any thread; the ones that touch a map view run on
// the main thread.
namespace MKMapView_ZoomLevel {

inline constexpr uint32_t kHighestZoomLevel = 28;

// Pixel-space x of a longitude and y of a latitude (rounded to whole units), and back.
double originXForLongitude(double longitude);
double originYForLatitude(double latitude);
double longitudeForOriginX(double x);
double latitudeForOriginY(double y);

// Metres covered by the map's longitude span at the latitude of its centre; 0 without a map.
double realWorldDistanceOfMapView(const Ref<MKMapView>& mapView);

// The zoom level the map shows now (0 without a map or for a map with no width).
uint32_t zoomLevel(const Ref<MKMapView>& mapView);
// Shows the coordinate at the level (at most kHighestZoomLevel), through setRegion.
void setCenterCoordinateZoomLevelAnimated(
    const Ref<MKMapView>& mapView, CLLocationCoordinate2D center, uint32_t level, bool animated);
// The span a map of `mapView`'s size shows around the centre at the level.
MKCoordinateSpan coordinateSpanWithMapViewCenterCoordinateAndZoomLevel(
    const Ref<MKMapView>& mapView, CLLocationCoordinate2D center, uint32_t level);
// The same with the latitude clamped to [-90, 90], the longitude reduced modulo 180 and the
// region moved north when its top would lie below the bottom of pixel space.
MKCoordinateRegion coordinateRegionWithMapViewCenterCoordinateAndZoomLevel(
    const Ref<MKMapView>& mapView, CLLocationCoordinate2D center, uint32_t level);

} // namespace MKMapView_ZoomLevel
