#pragma once

#include "foundation/NSObject.h"
#include "mapkit/MKAnnotation.h"
#include "mapkit/MKOverlay.h"

#include <vector>

class MKAnnotationView;
class MKMapView;
class MKOverlayRenderer;
class MKOverlayView;
class MKUserLocation;
class NSError;
class UIControl;
enum MKAnnotationViewDragState : uint32_t;

enum MKUserTrackingMode : int32_t {
    MKUserTrackingModeNone = 0,
    MKUserTrackingModeFollow = 1,
    MKUserTrackingModeFollowWithHeading = 2,
};

// Told what a map view does, on the main thread. Every operation is optional. The map holds
// its delegate weakly.
class MKMapViewDelegate {
public:
    virtual ~MKMapViewDelegate() = default;

    virtual void mapViewRegionWillChangeAnimated(const Ref<MKMapView>&, bool) { }
    virtual void mapViewRegionDidChangeAnimated(const Ref<MKMapView>&, bool) { }
    // nil asks the map for its default view (a pin; none for the user location).
    virtual Ref<MKAnnotationView> mapViewViewForAnnotation(const Ref<MKMapView>&, const Ref<MKAnnotation>&)
    {
        return nullptr;
    }
    virtual void mapViewDidAddAnnotationViews(const Ref<MKMapView>&, const std::vector<Ref<MKAnnotationView>>&) { }
    virtual void mapViewDidSelectAnnotationView(const Ref<MKMapView>&, const Ref<MKAnnotationView>&) { }
    virtual void mapViewDidDeselectAnnotationView(const Ref<MKMapView>&, const Ref<MKAnnotationView>&) { }
    // A dragged annotation view changed its drag state (new state, then the old one).
    virtual void mapViewAnnotationViewDidChangeDragStateFromOldState(
        const Ref<MKMapView>&, const Ref<MKAnnotationView>&, MKAnnotationViewDragState, MKAnnotationViewDragState)
    {
    }
    virtual void mapViewAnnotationViewCalloutAccessoryControlTapped(
        const Ref<MKMapView>&, const Ref<MKAnnotationView>&, const Ref<UIControl>&)
    {
    }
    // nil falls back to mapViewViewForOverlay; nil from both leaves the overlay undrawn.
    virtual Ref<MKOverlayRenderer> mapViewRendererForOverlay(const Ref<MKMapView>&, const Ref<MKOverlay>&)
    {
        return nullptr;
    }
    virtual Ref<MKOverlayView> mapViewViewForOverlay(const Ref<MKMapView>&, const Ref<MKOverlay>&) { return nullptr; }
    virtual void mapViewWillStartLocatingUser(const Ref<MKMapView>&) { }
    virtual void mapViewDidStopLocatingUser(const Ref<MKMapView>&) { }
    virtual void mapViewDidUpdateUserLocation(const Ref<MKMapView>&, const Ref<MKUserLocation>&) { }
    virtual void mapViewDidFailToLocateUserWithError(const Ref<MKMapView>&, const Ref<NSError>&) { }
    virtual void mapViewDidChangeUserTrackingModeAnimated(const Ref<MKMapView>&, MKUserTrackingMode, bool) { }
};
