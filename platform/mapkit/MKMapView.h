#pragma once

#include "graphics/UIGeometry.h"
#include "mapkit/MKAnnotationContainerView.h"
#include "mapkit/MKAnnotationIndex.h"
#include "mapkit/MKAnnotationView.h"
#include "mapkit/MKCalloutView.h"
#include "mapkit/MKGeometry.h"
#include "mapkit/MKMapCamera.h"
#include "mapkit/MKMapType.h"
#include "mapkit/MKMapViewDelegate.h"
#include "mapkit/MKOverlay.h"
#include "mapkit/MKUserLocation.h"
#include "uikit/UIView.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CLLocationManager;
class MKOverlayRenderer;
class NSTimer;
class MKOverlayView;
class UIGestureRecognizer;
class UIPanGestureRecognizer;
class UIPinchGestureRecognizer;
class UIRotationGestureRecognizer;
class UITapGestureRecognizer;

// How long an animated move of the map takes, in seconds.
inline constexpr double kMKMapAnimationDuration = 0.4;

enum MKOverlayLevel : int32_t {
    MKOverlayLevelAboveRoads = 0,
    MKOverlayLevelAboveLabels = 1,
};

// A map on screen. What it shows is a centre map point and a zoom scale (screen points per map
// point), turned by the camera heading; the visible map rect always has the view's aspect, so a
// region or map rect that is set is widened in one direction to fit. With a zero frame the map
// still keeps annotations and answers annotationsInMapRect (through a spatial index) but asks for
// no views.
//
// Annotation views live in an MKAnnotationContainerView covering the map; they are made (through
// the delegate, else a pin) in the layout pass for the annotations in view, and go to a reuse
// queue by identifier when their annotation leaves the view or the map. They stack by their
// layers' zPosition, then in the order they were put on the map; the open callout lies over all
// of them. The map draws the base map and then each overlay's renderer, in level order and add
// order within a level, under the annotation views. Pan moves the map, pinch zooms and twisting
// two fingers turns it, keeping what is under the fingers under them; double tap zooms in on the
// tapped point (while the map follows the user, pinching and double taps zoom about the middle).
// They go through the same region path as code; a gesture is one move for the delegate, from
// when the first finger gesture begins to when the last one ends. The zoom, scroll and rotate
// flags switch them off.
//
// Every change of region, centre, visible rect or camera is one move: the delegate hears
// regionWillChangeAnimated before it and regionDidChangeAnimated once after it, with the same
// flag. An animated move (on a map with a size, while view animations are enabled) runs for
// kMKMapAnimationDuration on the process clock, easing in and out (a move made inside a view
// animation block, animated or not, takes that block's duration, delay and curve instead, and
// the block's completion waits for it); while it runs, the region,
// camera, conversions and annotation views follow what is on screen, and did-change comes at the
// end. A newer move interrupts it where it stands: the interrupted move gets its did-change
// first, then the newer one starts with its own will-change. Asking again for the place an
// animation is already heading to changes nothing. Main thread only.
class MKMapView : public UIView {
    VX_OBJECT(MKMapView, UIView)
public:
    explicit MKMapView(Passkey key);
    ~MKMapView() override;
    static Ref<MKMapView> initWithFrame(CGRect frame);
    static Ref<MKMapView> init() { return initWithFrame(CGRectZero); }

    Weak<MKMapViewDelegate> delegate() const { return m_delegate; }
    void setDelegate(const Ref<MKMapViewDelegate>& delegate) { m_delegate = delegate; }

    MKMapType mapType() const { return m_mapType; }
    void setMapType(MKMapType type);

    // Region and visible rect.
    MKCoordinateRegion region() const;
    void setRegion(MKCoordinateRegion region) { setRegionAnimated(region, false); }
    void setRegionAnimated(MKCoordinateRegion region, bool animated);
    MKCoordinateRegion regionThatFits(MKCoordinateRegion region) const;
    CLLocationCoordinate2D centerCoordinate() const;
    void setCenterCoordinate(CLLocationCoordinate2D center) { setCenterCoordinateAnimated(center, false); }
    void setCenterCoordinateAnimated(CLLocationCoordinate2D center, bool animated);
    // The map rect behind the view's bounds (its bounding rect when the camera is turned).
    MKMapRect visibleMapRect() const;
    void setVisibleMapRect(MKMapRect rect) { setVisibleMapRectAnimated(rect, false); }
    void setVisibleMapRectAnimated(MKMapRect rect, bool animated);
    void setVisibleMapRectEdgePaddingAnimated(MKMapRect rect, UIEdgeInsets padding, bool animated);
    MKMapRect mapRectThatFits(MKMapRect rect) const { return mapRectThatFitsEdgePadding(rect, {}); }
    // The rect the map would show (as visibleMapRect answers it) so that `rect` fits whole in the
    // view less the padding (in points), at the camera's heading, keeping the view's aspect.
    MKMapRect mapRectThatFitsEdgePadding(MKMapRect rect, UIEdgeInsets padding) const;
    // Screen points per map point (0 with a zero frame).
    MKZoomScale zoomScale() const;

    // Camera.
    Ref<MKMapCamera> camera() const;
    void setCamera(const Ref<MKMapCamera>& camera) { setCameraAnimated(camera, false); }
    void setCameraAnimated(const Ref<MKMapCamera>& camera, bool animated);

    bool isZoomEnabled() const { return m_zoomEnabled; }
    void setZoomEnabled(bool enabled) { m_zoomEnabled = enabled; }
    bool isScrollEnabled() const { return m_scrollEnabled; }
    void setScrollEnabled(bool enabled) { m_scrollEnabled = enabled; }
    bool isRotateEnabled() const { return m_rotateEnabled; }
    void setRotateEnabled(bool enabled) { m_rotateEnabled = enabled; }
    bool isPitchEnabled() const { return m_pitchEnabled; }
    void setPitchEnabled(bool enabled) { m_pitchEnabled = enabled; }
    bool showsPointsOfInterest() const { return m_showsPointsOfInterest; }
    void setShowsPointsOfInterest(bool shows) { m_showsPointsOfInterest = shows; }
    bool showsBuildings() const { return m_showsBuildings; }
    void setShowsBuildings(bool shows) { m_showsBuildings = shows; }

    // Conversions between coordinates or map points and points in another view (nil: the window).
    CGPoint convertCoordinateToPointToView(CLLocationCoordinate2D coordinate, const Ref<UIView>& view) const;
    CLLocationCoordinate2D convertPointToCoordinateFromView(CGPoint point, const Ref<UIView>& view) const;
    CGRect convertRegionToRectToView(MKCoordinateRegion region, const Ref<UIView>& view) const;
    MKCoordinateRegion convertRectToRegionFromView(CGRect rect, const Ref<UIView>& view) const;

    // User location.
    bool showsUserLocation() const { return m_showsUserLocation; }
    void setShowsUserLocation(bool shows);
    const Ref<MKUserLocation>& userLocation() const { return m_userLocation; }
    bool isUserLocationVisible() const;
    MKUserTrackingMode userTrackingMode() const { return m_trackingMode; }
    void setUserTrackingMode(MKUserTrackingMode mode) { setUserTrackingModeAnimated(mode, false); }
    void setUserTrackingModeAnimated(MKUserTrackingMode mode, bool animated);

    // Annotations. Adding one already on the map, or nil, does nothing.
    void addAnnotation(const Ref<MKAnnotation>& annotation);
    void addAnnotations(const std::vector<Ref<MKAnnotation>>& annotations);
    void removeAnnotation(const Ref<MKAnnotation>& annotation);
    void removeAnnotations(const std::vector<Ref<MKAnnotation>>& annotations);
    // In add order, the user location (when shown) first.
    std::vector<Ref<MKAnnotation>> annotations() const;
    std::vector<Ref<MKAnnotation>> annotationsInMapRect(MKMapRect rect) const;
    // Sets the visible rect to show every given annotation.
    void showAnnotationsAnimated(const std::vector<Ref<MKAnnotation>>& annotations, bool animated);

    Ref<MKAnnotationView> viewForAnnotation(const Ref<MKAnnotation>& annotation) const;
    Ref<MKAnnotationView> dequeueReusableAnnotationViewWithIdentifier(const std::string& identifier);
    const Ref<MKAnnotationContainerView>& annotationContainerView() const { return m_container; }

    // Selection (one annotation at a time; the last one set wins).
    std::vector<Ref<MKAnnotation>> selectedAnnotations() const;
    void setSelectedAnnotations(const std::vector<Ref<MKAnnotation>>& annotations);
    void selectAnnotationAnimated(const Ref<MKAnnotation>& annotation, bool animated);
    void deselectAnnotationAnimated(const Ref<MKAnnotation>& annotation, bool animated);
    // The open callout, if any.
    const Ref<MKCalloutView>& calloutView() const { return m_callout; }

    // Overlays.
    void addOverlay(const Ref<MKOverlay>& overlay) { addOverlayLevel(overlay, MKOverlayLevelAboveLabels); }
    void addOverlayLevel(const Ref<MKOverlay>& overlay, MKOverlayLevel level);
    void addOverlays(const std::vector<Ref<MKOverlay>>& overlays);
    void removeOverlay(const Ref<MKOverlay>& overlay);
    void removeOverlays(const std::vector<Ref<MKOverlay>>& overlays);
    // In drawing order: level by level, add order within a level.
    std::vector<Ref<MKOverlay>> overlays() const;
    std::vector<Ref<MKOverlay>> overlaysInLevel(MKOverlayLevel level) const;
    // The renderer (or older overlay view) the map has for an overlay, asked for on first need.
    Ref<MKOverlayRenderer> rendererForOverlay(const Ref<MKOverlay>& overlay) const;
    Ref<MKOverlayView> viewForOverlay(const Ref<MKOverlay>& overlay) const;

    // UIView.
    // A new size keeps the centre and the zoom scale (setFrame comes through here too).
    void setBounds(CGRect bounds) override;
    void layoutSubviews() override;
    void drawRect(CGRect rect) override;

    void observeValueForKeyPath(
        const std::string& keyPath, const Ref<NSObject>& object, const Value& change, void* context) override;

    // Used by annotation views and the container.
    void annotationViewTapped(const Ref<MKAnnotationView>& view);
    void emptySpotTapped();
    // Tells the delegate; a view back at None is put on its annotation's point again.
    void annotationViewDragStateChanged(
        const Ref<MKAnnotationView>& view, MKAnnotationViewDragState state, MKAnnotationViewDragState old);
    // Moves the view's annotation to the point under the view (when the annotation can move).
    void annotationViewDropped(const Ref<MKAnnotationView>& view);
    // Used by the location manager adapter.
    void userLocationUpdated(const Ref<CLLocation>& location);

private:
    struct OverlayEntry {
        Ref<MKOverlay> overlay;
        MKOverlayLevel level;
        Ref<MKOverlayRenderer> renderer;
        Ref<MKOverlayView> view;
        bool asked { false };
    };
    class LocationAdapter;
    class GestureGate;
    // What the map shows: the map point at the middle of the view, the size in map points the
    // unturned view covers, the camera's heading and pitch in degrees.
    struct ViewState {
        MKMapPoint center;
        MKMapSize size;
        double heading { 0 };
        double pitch { 0 };
        bool sameAs(const ViewState& other) const
        {
            return MKMapPointEqualToPoint(center, other.center) && MKMapSizeEqualToSize(size, other.size)
                && heading == other.heading && pitch == other.pitch;
        }
    };
    struct Motion {
        ViewState from;
        ViewState to;
        double start { 0 }; // when the map starts moving (after any delay)
        double duration { kMKMapAnimationDuration };
        UIViewAnimationCurve curve { UIViewAnimationCurveEaseInOut };
        // Tells the view animation block the move was made in that it has ended.
        std::function<void(bool finished)> blockEnded;
    };

    void setup();
    Ref<MKMapView> self() const;
    Ref<MKMapViewDelegate> liveDelegate() const { return m_delegate.lock(); }
    CGSize boundsSize() const;
    MKMapSize fittedSize(MKMapSize size) const;
    ViewState state() const { return { m_center, m_size, m_heading, m_pitch }; }
    // The map rect a state shows: the bounding rect of the view when the camera is turned.
    static MKMapRect boundingRect(const ViewState& state);
    // The state (at `heading`) that shows `rect` whole in the view less the padding, its middle at
    // the middle of the padded area, as close as the rect allows. Padding that leaves no room is
    // ignored. A map without a size shows the rect as given.
    ViewState fitting(MKMapRect rect, UIEdgeInsets padding, double heading) const;
    // Fits the size to the view, wraps the centre east-west and keeps it inside the world.
    ViewState normalized(ViewState state) const;
    // Moves the map, telling the delegate; the one path every region change takes.
    void moveTo(ViewState target, bool animated);
    // Shows a state: redraws and places the annotation views.
    void show(const ViewState& state);
    // One frame of the animated move in flight.
    void stepMotion();
    // Ends the animated move in flight, where it stands or at its target, and tells the delegate.
    enum class MotionEnd { WhereItStands, AtTarget };
    void endMotion(MotionEnd end);
    MKMapPoint mapPointForViewPoint(CGPoint point) const;
    CGPoint viewPointForMapPoint(MKMapPoint point) const;
    void updateAnnotationViews();
    void placeAnnotationView(const Ref<MKAnnotationView>& view);
    Ref<MKAnnotationView> makeViewFor(const Ref<MKAnnotation>& annotation);
    void recycle(const Ref<MKAnnotation>& annotation);
    void showCallout(const Ref<MKAnnotationView>& view);
    void closeCallout();
    OverlayEntry* entryFor(const MKOverlay* overlay) const;
    void askForRenderer(OverlayEntry& entry) const;
    void installGestures();
    // The user's gestures: the first to begin tells the delegate the region will change, the
    // last to end that it did. followGesture answers whether the recognizer's action should
    // move the map now.
    bool followGesture(const Ref<UIGestureRecognizer>& recognizer, bool enabled);
    void beginGesture(const UIGestureRecognizer* recognizer);
    void endGesture(const UIGestureRecognizer* recognizer);
    // Moves the map along with the fingers' movement since the last step (when scrolling is on
    // and the map does not follow the user).
    void followFingers();
    // The target, recentred so that the map point `point` shows at the view point `at`.
    ViewState keepingPointAt(ViewState target, MKMapPoint point, CGPoint at) const;

    Weak<MKMapViewDelegate> m_delegate;
    MKMapType m_mapType { MKMapTypeStandard };
    MKMapPoint m_center { kMKMapWorldSide / 2, kMKMapWorldSide / 2 };
    MKMapSize m_size { kMKMapWorldSide, kMKMapWorldSide };
    double m_heading { 0 };
    double m_pitch { 0 };
    bool m_zoomEnabled { true };
    bool m_scrollEnabled { true };
    bool m_rotateEnabled { true };
    bool m_pitchEnabled { true };
    bool m_showsPointsOfInterest { true };
    bool m_showsBuildings { false };

    std::vector<Ref<MKAnnotation>> m_annotations;
    Ref<MKAnnotationIndex> m_index;
    Ref<MKAnnotationContainerView> m_container;
    std::map<const MKAnnotation*, Ref<MKAnnotationView>> m_views;
    std::map<std::string, std::vector<Ref<MKAnnotationView>>> m_reuseQueue;
    Ref<MKAnnotation> m_selected;
    Ref<MKCalloutView> m_callout;

    mutable std::vector<OverlayEntry> m_overlays;

    bool m_showsUserLocation { false };
    Ref<MKUserLocation> m_userLocation;
    MKUserTrackingMode m_trackingMode { MKUserTrackingModeNone };
    Ref<CLLocationManager> m_locationManager;
    std::shared_ptr<LocationAdapter> m_locationAdapter;

    Ref<UIPanGestureRecognizer> m_pan;
    Ref<UIPinchGestureRecognizer> m_pinch;
    Ref<UIRotationGestureRecognizer> m_rotation;
    Ref<UITapGestureRecognizer> m_doubleTap;
    std::unique_ptr<GestureGate> m_gestureGate;
    // The gestures moving the map now (identity only).
    std::vector<const UIGestureRecognizer*> m_gestures;

    std::optional<Motion> m_motion;
    Ref<NSTimer> m_motionTimer;
};
