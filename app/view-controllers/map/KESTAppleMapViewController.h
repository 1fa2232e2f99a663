#pragma once

#include "app/core/KESTVolcanoManager.h"
#include "app/view-controllers/map/KESTMapViewController.h"
#include "mapkit/MKMapViewDelegate.h"

class MKMapView;
class UIGestureRecognizer;
class UITapGestureRecognizer;

// The map screen on a MapKit map: owns the map view (registered with the map facade), the
// banner over it and the single-tap recogniser that shows or hides the bars; makes the marker
// views and overlay renderers; and turns the map's delegate calls into the map screen's
// operations. Main thread only.
class KESTAppleMapViewController : public KESTMapViewController, public MKMapViewDelegate {
    VX_OBJECT(KESTAppleMapViewController, KESTMapViewController)
public:
    explicit KESTAppleMapViewController(Passkey key)
        : KESTMapViewController(key)
    {
    }
    static Ref<KESTAppleMapViewController> initWithNibNameBundle(
        const std::string& nibName, const Ref<NSBundle>& bundle)
    {
        return makeMapScreen<KESTAppleMapViewController>(nibName, bundle);
    }

    void loadView() override;
    void viewDidLoad() override;
    void updateUI() override;
    void cleanup() override;
    void tapGestureHandler(const Ref<UIGestureRecognizer>& recognizer);
    // Replaces the flight-path overlay by one made from the feed's current path.
    void flightPathUpdated();
    // Replaces the polygon overlays by the volcanic-ash manager's areas.
    void volcanoOverlayChanged();
    // Puts the active charts' tile overlays on the map (the first active chart on top) and shows
    // the chart warning in the banner when any is active.
    void chartsUpdated();

    const Ref<MKMapView>& mapView() const { return m_mapView; }
    void setMapView(Ref<MKMapView> view) { m_mapView = std::move(view); }
    const Ref<UITapGestureRecognizer>& tapGestureRecognizer() const { return m_tapGestureRecognizer; }

    // Map view delegate.
    Ref<MKAnnotationView> mapViewViewForAnnotation(
        const Ref<MKMapView>& map, const Ref<MKAnnotation>& annotation) override;
    Ref<MKOverlayRenderer> mapViewRendererForOverlay(const Ref<MKMapView>& map, const Ref<MKOverlay>& overlay) override;
    void mapViewRegionWillChangeAnimated(const Ref<MKMapView>&, bool) override { mapWillMove(); }
    void mapViewRegionDidChangeAnimated(const Ref<MKMapView>&, bool) override { mapDidMove(); }
    void mapViewDidSelectAnnotationView(const Ref<MKMapView>& map, const Ref<MKAnnotationView>& view) override;
    void mapViewDidDeselectAnnotationView(const Ref<MKMapView>& map, const Ref<MKAnnotationView>& view) override;
    void mapViewAnnotationViewCalloutAccessoryControlTapped(
        const Ref<MKMapView>& map, const Ref<MKAnnotationView>& view, const Ref<UIControl>& control) override;
    void mapViewDidUpdateUserLocation(const Ref<MKMapView>& map, const Ref<MKUserLocation>& location) override;
    void mapViewDidChangeUserTrackingModeAnimated(
        const Ref<MKMapView>& map, MKUserTrackingMode mode, bool animated) override;

private:
    Ref<UITapGestureRecognizer> m_tapGestureRecognizer;
    Ref<MKMapView> m_mapView;
};
