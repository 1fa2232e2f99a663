#pragma once

#include "app/core/KESTAnnotation.h"
#include "app/core/KESTMapBounds.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "mapkit/MKGeometry.h"

#include <cstdint>
#include <vector>

class KESTMapViewController;
class MKAnnotation;
class MKMapView;
class NSPredicate;
class UIImage;
class UIView;

// The one object through which the application reaches the main map. It holds the map view on
// screen and the map screen that shows it (both weakly), and owns a hidden backing map view that
// indexes every airport and live plane so the marker budget and the movement code can ask what
// lies in a map rect without the shown map holding it all. It keeps each annotation's on-map
// flag true exactly while the annotation is on the shown map, answers geometry questions and
// forwards commands to the shown map. Main thread only (the first sharedInstance call is safe
// from any thread).
class KESTMapController : public NSObject {
    VX_OBJECT(KESTMapController, NSObject)
public:
    explicit KESTMapController(Passkey);
    static Ref<KESTMapController> sharedInstance();
    // Test-only: drops the shared instance so the next call makes a fresh one.
    static void resetSharedInstanceForTesting();

    // Registration by a map screen: clears every backing annotation's on-map flag, then stores
    // the view and the screen.
    void setControllerWithMapView(const Ref<KESTMapViewController>& controller, const Ref<UIView>& mapView);
    // -1 without a view, 0 for a MapKit map view, 1 for any other view.
    void setMapView(const Ref<UIView>& mapView);
    Ref<UIView> mapView() const { return m_mapView.lock(); }
    // The registered view when it is a MapKit map view, else nullptr.
    Ref<MKMapView> appleMapView() const;
    Ref<KESTMapViewController> mapViewController() const { return m_mapViewController.lock(); }
    void setMapViewController(const Ref<KESTMapViewController>& controller) { m_mapViewController = controller; }
    int32_t mapProvider() const { return m_mapProvider; }
    void setMapProvider(int32_t provider) { m_mapProvider = provider; }
    bool isAppleMap() const { return m_mapProvider == 0; }
    bool isGoogleMap() const { return m_mapProvider == 1; }
    double previousMapBearing() const { return m_previousMapBearing; }
    void setPreviousMapBearing(double bearing) { m_previousMapBearing = bearing; }
    bool shouldZoomToUserLocationWhenLocated() const { return m_shouldZoomToUserLocationWhenLocated; }
    void setShouldZoomToUserLocationWhenLocated(bool value) { m_shouldZoomToUserLocationWhenLocated = value; }

    // The hidden index of every airport and live plane; made again when unset.
    Ref<MKMapView> backingMapView();
    void setBackingMapView(const Ref<MKMapView>& mapView) { m_backingMapView = mapView; }
    // "addedAsAnnotation == YES", made on first use.
    Ref<NSPredicate> activeMarkerPredicate();
    void setActiveMarkerPredicate(const Ref<NSPredicate>& predicate) { m_activeMarkerPredicate = predicate; }

    // The shown map's annotations. Adding stamps the feed's device clock, brings each position
    // up to date and sets the on-map flags even when no map is registered.
    void addAnnotations(const std::vector<Ref<KESTAnnotation>>& annotations);
    // The annotation, or nullptr when no MapKit map view is registered.
    Ref<KESTAnnotation> addAnnotation(const Ref<KESTAnnotation>& annotation);
    void removeAnnotations(const std::vector<Ref<KESTAnnotation>>& annotations);
    void removeAnnotation(const Ref<KESTAnnotation>& annotation);
    // Every annotation of the shown map (MapKit's user location included when shown).
    std::vector<Ref<MKAnnotation>> annotations() const;
    // Only the application's own markers on the shown map.
    std::vector<Ref<KESTAnnotation>> customAnnotations() const;
    std::vector<Ref<MKAnnotation>> annotationsInMapRect(MKMapRect rect) const;

    // Geometry of the shown map; zero values without one.
    MKMapRect visibleMapRectWithPadding(float padding) const;
    KESTMapBounds currentMapBounds(double padding) const;
    CLLocationCoordinate2D centerCoordinate() const;
    double mapBearing() const;
    uint32_t zoomLevel() const;

    // Commands to the shown map.
    void setCenterCoordinateAnimated(CLLocationCoordinate2D center, bool animated);
    void setCenterCoordinate(CLLocationCoordinate2D center) { setCenterCoordinateAnimated(center, false); }
    void setMapRegion(MKCoordinateRegion region);
    // Has no effect on a MapKit map.
    void setZoom(float zoom);
    // 0 standard, 1 satellite, 2 hybrid; other values leave the map as it is.
    void setMapType(int32_t mapType);
    void toggleUserLocation();
    void setShowUserLocation(bool show);
    // An opaque image of the shown map at the screen's scale; nullptr without a map or size.
    Ref<UIImage> mapSnapshot();

private:
    Weak<UIView> m_mapView;
    Weak<KESTMapViewController> m_mapViewController;
    int32_t m_mapProvider { -1 };
    Ref<MKMapView> m_backingMapView;
    Ref<NSPredicate> m_activeMarkerPredicate;
    double m_previousMapBearing { 0 };
    bool m_shouldZoomToUserLocationWhenLocated { false };
};
