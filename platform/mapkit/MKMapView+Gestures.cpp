// MKMapView: the user's gestures on the map, and the user's location.
#include "mapkit/MKMapView.h"

#include "foundation/NSError.h"
#include "foundation/NSException.h"
#include "foundation/ThreadChecks.h"
#include "location/CLHeading.h"
#include "location/CLLocationManager.h"
#include "location/CLLocationManagerDelegate.h"
#include "mapkit/MKMapViewInternal.h"
#include "uikit/UIPanGestureRecognizer.h"
#include "uikit/UIPinchGestureRecognizer.h"
#include "uikit/UIRotationGestureRecognizer.h"
#include "uikit/UITapGestureRecognizer.h"
#include "uikit/UITouch.h"

#include <algorithm>
#include <cmath>

using MKMapViewInternal::radians;

// Hears the map's location manager and passes fixes and headings on to the map.
class MKMapView::LocationAdapter : public CLLocationManagerDelegate {
public:
    explicit LocationAdapter(const Ref<MKMapView>& map)
        : m_map(map)
    {
    }
    void locationManagerDidUpdateLocations(
        const Ref<CLLocationManager>&, const std::vector<Ref<CLLocation>>& locations) override
    {
        auto map = m_map.lock();
        if (map && !locations.empty())
            map->userLocationUpdated(locations.back());
    }
    void locationManagerDidUpdateHeading(const Ref<CLLocationManager>&, const Ref<CLHeading>& heading) override
    {
        auto map = m_map.lock();
        if (!map || !heading)
            return;
        map->m_userLocation->setHeading(heading);
        if (map->m_trackingMode == MKUserTrackingModeFollowWithHeading) {
            auto target = map->state();
            target.heading = heading->trueHeading();
            map->moveTo(target, true);
        }
    }
    void locationManagerDidFailWithError(const Ref<CLLocationManager>&, const Ref<NSError>& error) override
    {
        auto map = m_map.lock();
        if (!map)
            return;
        if (auto delegate = map->liveDelegate())
            delegate->mapViewDidFailToLocateUserWithError(map, error);
    }

private:
    Weak<MKMapView> m_map;
};

MKMapView::GestureGate::GestureGate(Weak<MKMapView> map)
    : m_map(std::move(map))
{
}

bool MKMapView::GestureGate::gestureRecognizerShouldReceiveTouch(
    const Ref<UIGestureRecognizer>&, const Ref<UITouch>& touch)
{
    for (auto view = touch ? touch->view() : nullptr; view; view = view->superview())
        if (auto annotationView = std::dynamic_pointer_cast<MKAnnotationView>(view))
            return !annotationView->canBeDragged();
    return true;
}

bool MKMapView::GestureGate::gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
    const Ref<UIGestureRecognizer>& a, const Ref<UIGestureRecognizer>& b)
{
    auto map = m_map.lock();
    if (!map)
        return false;
    auto moves = [&](const Ref<UIGestureRecognizer>& r) {
        return r == map->m_pan || r == map->m_pinch || r == map->m_rotation;
    };
    return moves(a) && moves(b);
}

// User location.

void MKMapView::setShowsUserLocation(bool shows)
{
    assertIsMainThread();
    if (shows == m_showsUserLocation)
        return;
    m_showsUserLocation = shows;
    auto map = self();
    auto delegate = liveDelegate();
    if (shows) {
        if (!m_userLocation)
            m_userLocation = MKUserLocation::init();
        m_annotations.insert(m_annotations.begin(), m_userLocation);
        m_index->addAnnotation(m_userLocation);
        if (!m_locationManager) {
            m_locationManager = CLLocationManager::init();
            m_locationAdapter = std::make_shared<LocationAdapter>(map);
            m_locationManager->setDelegate(m_locationAdapter);
        }
        if (delegate)
            delegate->mapViewWillStartLocatingUser(map);
        m_userLocation->setUpdating(true);
        m_locationManager->startUpdatingLocation();
        m_locationManager->startUpdatingHeading();
        setNeedsLayout();
    } else {
        m_locationManager->stopUpdatingLocation();
        m_locationManager->stopUpdatingHeading();
        m_userLocation->setUpdating(false);
        if (m_selected == m_userLocation)
            deselectAnnotationAnimated(m_userLocation, false);
        recycle(m_userLocation);
        std::erase(m_annotations, std::static_pointer_cast<MKAnnotation>(m_userLocation));
        m_index->removeAnnotation(m_userLocation);
        m_userLocation->setLocation(nullptr);
        if (m_trackingMode != MKUserTrackingModeNone)
            setUserTrackingModeAnimated(MKUserTrackingModeNone, false);
        if (delegate)
            delegate->mapViewDidStopLocatingUser(map);
    }
}

bool MKMapView::isUserLocationVisible() const
{
    return m_showsUserLocation && m_userLocation && m_userLocation->location()
        && MKMapRectContainsPoint(visibleMapRect(), MKMapPointForCoordinate(m_userLocation->coordinate()));
}

void MKMapView::userLocationUpdated(const Ref<CLLocation>& location)
{
    if (!m_showsUserLocation || !location)
        return;
    m_userLocation->setLocation(location);
    if (auto delegate = liveDelegate())
        delegate->mapViewDidUpdateUserLocation(self(), m_userLocation);
    if (m_trackingMode != MKUserTrackingModeNone) {
        auto target = state();
        target.center = MKMapPointForCoordinate(location->coordinate());
        moveTo(target, true);
    }
}

void MKMapView::setUserTrackingModeAnimated(MKUserTrackingMode mode, bool animated)
{
    assertIsMainThread();
    if (mode < MKUserTrackingModeNone || mode > MKUserTrackingModeFollowWithHeading)
        NSException::raise(NSInvalidArgumentException, "unknown user tracking mode");
    if (mode == m_trackingMode)
        return;
    if (mode != MKUserTrackingModeNone && !m_showsUserLocation)
        setShowsUserLocation(true);
    auto previous = m_trackingMode;
    m_trackingMode = mode;
    if (auto delegate = liveDelegate())
        delegate->mapViewDidChangeUserTrackingModeAnimated(self(), mode, animated);
    auto target = state();
    if (mode != MKUserTrackingModeNone && m_userLocation && m_userLocation->location())
        target.center = MKMapPointForCoordinate(m_userLocation->coordinate());
    if (previous == MKUserTrackingModeFollowWithHeading)
        target.heading = 0;
    moveTo(target, animated);
}

// Gestures.

void MKMapView::beginGesture(const UIGestureRecognizer* recognizer)
{
    if (std::find(m_gestures.begin(), m_gestures.end(), recognizer) != m_gestures.end())
        return;
    m_gestures.push_back(recognizer);
    if (m_gestures.size() > 1)
        return;
    // The hand takes over from an animation in flight, where it stands.
    endMotion(MotionEnd::WhereItStands);
    if (auto delegate = liveDelegate())
        delegate->mapViewRegionWillChangeAnimated(self(), false);
}

void MKMapView::endGesture(const UIGestureRecognizer* recognizer)
{
    auto it = std::find(m_gestures.begin(), m_gestures.end(), recognizer);
    if (it == m_gestures.end())
        return;
    m_gestures.erase(it);
    if (m_gestures.empty())
        if (auto delegate = liveDelegate())
            delegate->mapViewRegionDidChangeAnimated(self(), false);
}

bool MKMapView::followGesture(const Ref<UIGestureRecognizer>& recognizer, bool enabled)
{
    switch (recognizer->state()) {
    case UIGestureRecognizerStateBegan:
        if (!enabled || zoomScale() <= 0)
            return false;
        beginGesture(recognizer.get());
        return true;
    case UIGestureRecognizerStateChanged:
        return zoomScale() > 0 && std::find(m_gestures.begin(), m_gestures.end(), recognizer.get()) != m_gestures.end();
    case UIGestureRecognizerStateEnded:
    case UIGestureRecognizerStateCancelled:
        endGesture(recognizer.get());
        return false;
    default:
        return false;
    }
}

void MKMapView::followFingers()
{
    // The pan recognizer measures the fingers' movement from where they went down, whether or
    // not it has begun; taking it here (and starting it again from zero) lets a pinch or twist
    // that begins first carry the map along from the first movement on.
    double scale = zoomScale();
    if (!m_scrollEnabled || scale <= 0 || m_trackingMode != MKUserTrackingModeNone)
        return;
    auto self = this->self();
    auto t = m_pan->translationInView(self);
    m_pan->setTranslationInView(CGPointZero, self);
    if (t.x == 0 && t.y == 0)
        return;
    double a = radians(m_heading);
    double dx = (t.x * std::cos(a) - t.y * std::sin(a)) / scale;
    double dy = (t.x * std::sin(a) + t.y * std::cos(a)) / scale;
    auto target = state();
    target.center = MKMapPointMake(m_center.x - dx, m_center.y - dy);
    moveTo(target, false);
}

MKMapView::ViewState MKMapView::keepingPointAt(ViewState target, MKMapPoint point, CGPoint at) const
{
    // With the target's size and heading, put the view's middle where `point` lands at `at`.
    target.size = fittedSize(target.size);
    CGSize view = boundsSize();
    double scale = view.width / target.size.width;
    double dx = (at.x - view.width / 2) / scale, dy = (at.y - view.height / 2) / scale;
    double a = radians(target.heading);
    target.center = MKMapPointMake(
        point.x - (dx * std::cos(a) - dy * std::sin(a)), point.y - (dx * std::sin(a) + dy * std::cos(a)));
    return target;
}

void MKMapView::installGestures()
{
    Weak<MKMapView> weakMap = self();
    // One drag, pinch or twist of the fingers is one move for the delegate: will-change when the
    // first of them begins, did-change when the last ends. In between, each step moves the map
    // so that what was under the fingers stays under them.
    m_pan = UIPanGestureRecognizer::init();
    m_pan->addTargetAction(self(), "pan", [weakMap](const Ref<UIGestureRecognizer>& recognizer) {
        auto map = weakMap.lock();
        if (!map)
            return;
        auto pan = std::static_pointer_cast<UIPanGestureRecognizer>(recognizer);
        bool began = pan->state() == UIGestureRecognizerStateBegan;
        if (!map->followGesture(recognizer, map->m_scrollEnabled))
            return;
        // Moving the map by hand stops following the user.
        if (began && map->m_trackingMode != MKUserTrackingModeNone)
            map->setUserTrackingModeAnimated(MKUserTrackingModeNone, true);
        map->followFingers();
    });
    addGestureRecognizer(m_pan);

    m_pinch = UIPinchGestureRecognizer::init();
    m_pinch->addTargetAction(self(), "pinch", [weakMap](const Ref<UIGestureRecognizer>& recognizer) {
        auto map = weakMap.lock();
        if (!map || !map->followGesture(recognizer, map->m_zoomEnabled))
            return;
        auto pinch = std::static_pointer_cast<UIPinchGestureRecognizer>(recognizer);
        map->followFingers();
        double factor = pinch->scale();
        pinch->setScale(1);
        if (!(factor > 0) || !std::isfinite(factor))
            return;
        // About the fingers; about the user while the map follows them.
        CGSize view = map->boundsSize();
        CGPoint at = map->m_trackingMode == MKUserTrackingModeNone ? pinch->locationInView(map)
                                                                   : CGPointMake(view.width / 2, view.height / 2);
        auto target = map->state();
        target.size = { map->m_size.width / factor, map->m_size.height / factor };
        map->moveTo(map->keepingPointAt(target, map->mapPointForViewPoint(at), at), false);
    });
    addGestureRecognizer(m_pinch);

    m_rotation = UIRotationGestureRecognizer::init();
    m_rotation->addTargetAction(self(), "rotate", [weakMap](const Ref<UIGestureRecognizer>& recognizer) {
        auto map = weakMap.lock();
        if (!map)
            return;
        bool began = recognizer->state() == UIGestureRecognizerStateBegan;
        if (!map->followGesture(recognizer, map->m_rotateEnabled))
            return;
        // Turning by hand stops the map turning with the device.
        if (began && map->m_trackingMode == MKUserTrackingModeFollowWithHeading)
            map->setUserTrackingModeAnimated(MKUserTrackingModeFollow, true);
        auto rotation = std::static_pointer_cast<UIRotationGestureRecognizer>(recognizer);
        map->followFingers();
        double turn = rotation->rotation();
        rotation->setRotation(0);
        if (!std::isfinite(turn))
            return;
        // The map turns with the fingers (clockwise on screen is positive), so the compass
        // direction at the top turns the other way.
        CGPoint at = rotation->locationInView(map);
        auto target = map->state();
        target.heading = map->m_heading - turn * 180.0 / M_PI;
        map->moveTo(map->keepingPointAt(target, map->mapPointForViewPoint(at), at), false);
    });
    addGestureRecognizer(m_rotation);

    m_doubleTap = UITapGestureRecognizer::init();
    m_doubleTap->setNumberOfTapsRequired(2);
    m_doubleTap->addTargetAction(self(), "zoomIn", [weakMap](const Ref<UIGestureRecognizer>& recognizer) {
        auto map = weakMap.lock();
        if (!map || !map->m_zoomEnabled || recognizer->state() != UIGestureRecognizerStateEnded)
            return;
        // Zoom in twice over, keeping the tapped point where it is (the middle, while the map
        // follows the user).
        auto target = map->state();
        if (map->m_trackingMode == MKUserTrackingModeNone) {
            auto p = map->mapPointForViewPoint(recognizer->locationInView(map));
            target.center = { p.x + (map->m_center.x - p.x) / 2, p.y + (map->m_center.y - p.y) / 2 };
        }
        target.size = { map->m_size.width / 2, map->m_size.height / 2 };
        map->moveTo(target, true);
    });
    addGestureRecognizer(m_doubleTap);

    m_gestureGate = std::make_unique<GestureGate>(weakMap);
    for (const Ref<UIGestureRecognizer>& recognizer :
        { Ref<UIGestureRecognizer>(m_pan), Ref<UIGestureRecognizer>(m_pinch), Ref<UIGestureRecognizer>(m_rotation),
            Ref<UIGestureRecognizer>(m_doubleTap) })
        recognizer->setDelegate(m_gestureGate.get(), weakMap);
}
