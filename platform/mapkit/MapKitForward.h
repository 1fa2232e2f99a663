#pragma once

// Forward declarations of the map library's types.
class LandOutlines;
class MKAnnotation;
class MKAnnotationIndex;
class MKGeodesicPolyline;
class MKMultiPoint;
class MKOverlay;
class MKOverlayPathRenderer;
class MKOverlayRenderer;
class MKPointAnnotation;
class MKPolygon;
class MKPolygonRenderer;
class MKPolyline;
class MKPolylineRenderer;
class MKShape;
class MKTileOverlay;
class MKTileOverlayRenderer;
struct MKCoordinateRegion;
struct MKCoordinateSpan;
struct MKMapPoint;
struct MKMapRect;
struct MKMapSize;
struct MKTileOverlayPath;
