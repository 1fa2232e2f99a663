#include "mapkit/MKMapView.h"

#include "foundation/Clock.h"
#include "foundation/Dispatch.h"
#include "foundation/NSError.h"
#include "foundation/NSException.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSTimer.h"
#include "graphics/CGContext.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"
#include "location/CLHeading.h"
#include "location/CLLocationManager.h"
#include "location/CLLocationManagerDelegate.h"
#include "mapkit/BaseMapRenderer.h"
#include "mapkit/MKAnnotationContainerView.h"
#include "mapkit/MKCalloutView.h"
#include "mapkit/MKOverlayRenderer.h"
#include "mapkit/MKOverlayView.h"
#include "mapkit/MKPinAnnotationView.h"
#include "mapkit/MKTileOverlay.h"
#include "mapkit/MKURLSessionTileLoader.h"
#include "uikit/UIControl.h"
#include "uikit/UIPanGestureRecognizer.h"
#include "uikit/UIPinchGestureRecognizer.h"
#include "uikit/UIRotationGestureRecognizer.h"
#include "uikit/UITapGestureRecognizer.h"
#include "uikit/UITouch.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace {

const char* const kCoordinateKey = "coordinate";
// The camera sees the view's height over a 30 degree field of view.
const double kCameraHalfFieldTangent = std::tan(15.0 * M_PI / 180.0);
// The closest zoom: two screen points per map point.
const double kMaximumZoomScale = 2.0;

double radians(double degrees)
{
    return degrees * M_PI / 180.0;
}

double wrapX(double x)
{
    x = std::fmod(x, kMKMapWorldSide);
    return x < 0 ? x + kMKMapWorldSide : x;
}

// The shortest signed east-west distance from a to b, across the 180th meridian if shorter.
double wrappedDelta(double a, double b)
{
    double d = std::fmod(b - a, kMKMapWorldSide);
    if (d > kMKMapWorldSide / 2)
        d -= kMKMapWorldSide;
    else if (d < -kMKMapWorldSide / 2)
        d += kMKMapWorldSide;
    return d;
}

bool regionIsValid(MKCoordinateRegion region)
{
    return std::isfinite(region.center.latitude) && std::isfinite(region.center.longitude)
        && std::abs(region.center.latitude) <= 90 && std::abs(region.center.longitude) <= 180
        && std::isfinite(region.span.latitudeDelta) && std::isfinite(region.span.longitudeDelta)
        && region.span.latitudeDelta >= 0 && region.span.longitudeDelta >= 0;
}

// The east-west shifts (whole worlds) that bring a copy of `bounds` into `visible`: 0 for a rect
// in the same world, -world for the copy one world east of it, and so on.
std::vector<double> worldShifts(MKMapRect bounds, MKMapRect visible)
{
    if (MKMapRectIsNull(bounds) || !std::isfinite(bounds.origin.x) || !std::isfinite(bounds.size.width))
        return { 0 };
    double first = std::floor((MKMapRectGetMinX(visible) - MKMapRectGetMaxX(bounds)) / kMKMapWorldSide);
    double last = std::ceil((MKMapRectGetMaxX(visible) - MKMapRectGetMinX(bounds)) / kMKMapWorldSide);
    std::vector<double> shifts;
    for (double k = std::max(first, -4.0); k <= std::min(last, 4.0); ++k) {
        auto moved = MKMapRectOffset(visible, -k * kMKMapWorldSide, 0);
        if (MKMapRectIntersectsRect(bounds, moved))
            shifts.push_back(-k * kMKMapWorldSide);
    }
    return shifts;
}

Ref<NSObject> objectOf(const Ref<MKAnnotation>& annotation)
{
    return std::dynamic_pointer_cast<NSObject>(annotation);
}

} // namespace

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

// Keeps the map's own gestures off touches that drag an annotation view, and lets dragging,
// pinching and twisting the map go on together.
class MKMapView::GestureGate : public UIGestureRecognizerDelegate {
public:
    explicit GestureGate(Weak<MKMapView> map)
        : m_map(std::move(map))
    {
    }
    bool gestureRecognizerShouldReceiveTouch(const Ref<UIGestureRecognizer>&, const Ref<UITouch>& touch) override
    {
        for (auto view = touch ? touch->view() : nullptr; view; view = view->superview())
            if (auto annotationView = std::dynamic_pointer_cast<MKAnnotationView>(view))
                return !annotationView->canBeDragged();
        return true;
    }
    bool gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
        const Ref<UIGestureRecognizer>& a, const Ref<UIGestureRecognizer>& b) override
    {
        auto map = m_map.lock();
        if (!map)
            return false;
        auto moves = [&](const Ref<UIGestureRecognizer>& r) {
            return r == map->m_pan || r == map->m_pinch || r == map->m_rotation;
        };
        return moves(a) && moves(b);
    }

private:
    Weak<MKMapView> m_map;
};

MKMapView::MKMapView(Passkey key)
    : UIView(key)
{
}

MKMapView::~MKMapView()
{
    if (m_motionTimer)
        m_motionTimer->invalidate();
    // A view animation block waiting on the move hears that it did not finish.
    if (m_motion && m_motion->blockEnded)
        m_motion->blockEnded(false);
    if (m_locationManager) {
        m_locationManager->stopUpdatingLocation();
        m_locationManager->stopUpdatingHeading();
    }
    for (auto& entry : m_overlays)
        if (entry.renderer)
            entry.renderer->setDisplayHandler(nullptr);
}

Ref<MKMapView> MKMapView::initWithFrame(CGRect frame)
{
    auto map = makeView<MKMapView>(frame);
    map->setup();
    return map;
}

Ref<MKMapView> MKMapView::self() const
{
    return std::static_pointer_cast<MKMapView>(std::const_pointer_cast<NSObject>(shared_from_this()));
}

void MKMapView::setup()
{
    m_index = MKAnnotationIndex::init();
    m_container = MKAnnotationContainerView::initWithFrame(bounds());
    m_container->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    m_container->setMapView(self());
    addSubview(m_container);
    setClipsToBounds(true);
    setOpaque(true);
    m_size = fittedSize(m_size);
    installGestures();
    if (!MKTileOverlay::hasDefaultTileLoader())
        MKInstallURLSessionTileLoader();
}

CGSize MKMapView::boundsSize() const
{
    return bounds().size;
}

MKMapSize MKMapView::fittedSize(MKMapSize size) const
{
    CGSize view = boundsSize();
    if (!(size.width > 0) || !std::isfinite(size.width))
        size.width = size.height > 0 && std::isfinite(size.height) ? size.height : kMKMapWorldSide;
    if (!(size.height > 0) || !std::isfinite(size.height))
        size.height = size.width;
    if (view.width > 0 && view.height > 0) {
        // Widen the short direction to the view's aspect, then keep within the world and the
        // closest zoom.
        double aspect = double(view.width) / double(view.height);
        if (size.width / size.height < aspect)
            size.width = size.height * aspect;
        else
            size.height = size.width / aspect;
        double shrink = std::min({ 1.0, kMKMapWorldSide / size.width, kMKMapWorldSide / size.height });
        size.width *= shrink;
        size.height *= shrink;
        double minimumWidth = view.width / kMaximumZoomScale;
        if (size.width < minimumWidth) {
            size.height *= minimumWidth / size.width;
            size.width = minimumWidth;
        }
    } else {
        size.width = std::min(size.width, kMKMapWorldSide);
        size.height = std::min(size.height, kMKMapWorldSide);
    }
    return size;
}

MKMapView::ViewState MKMapView::normalized(ViewState state) const
{
    state.size = fittedSize(state.size);
    state.center.x = wrapX(state.center.x);
    state.center.y = state.size.height < kMKMapWorldSide
        ? std::clamp(state.center.y, state.size.height / 2, kMKMapWorldSide - state.size.height / 2)
        : kMKMapWorldSide / 2;
    state.heading = std::isfinite(state.heading) ? std::fmod(std::fmod(state.heading, 360.0) + 360.0, 360.0) : 0;
    if (!std::isfinite(state.pitch))
        state.pitch = 0;
    return state;
}

namespace {

// The share of the way covered at time t (0 to 1) under each curve; ease in and out is slow at
// both ends and fastest in the middle.
double eased(double t, UIViewAnimationCurve curve)
{
    switch (curve) {
    case UIViewAnimationCurveEaseIn:
        return 1 - std::cos(M_PI_2 * t);
    case UIViewAnimationCurveEaseOut:
        return std::sin(M_PI_2 * t);
    case UIViewAnimationCurveLinear:
        return t;
    default:
        return 0.5 - 0.5 * std::cos(M_PI * t);
    }
}

} // namespace

void MKMapView::moveTo(ViewState target, bool animated)
{
    if (!std::isfinite(target.center.x) || !std::isfinite(target.center.y))
        return;
    target = normalized(target);
    CGSize view = boundsSize();
    // Inside a view animation block the move takes the block's timing, asked for or not.
    auto blockTiming = UIView::currentAnimationTiming();
    animated = (animated || blockTiming) && view.width > 0 && view.height > 0 && UIView::areAnimationsEnabled();
    if (!m_gestures.empty()) {
        // Inside the user's gesture, which told the delegate when it began and tells it when it
        // ends: every move shows at once.
        if (!target.sameAs(state()))
            show(target);
        return;
    }
    if (m_motion) {
        if (animated && m_motion->to.sameAs(target))
            return; // already on its way there
        endMotion(MotionEnd::WhereItStands);
    }
    if (target.sameAs(state()))
        return;

    auto map = self();
    if (auto delegate = liveDelegate())
        delegate->mapViewRegionWillChangeAnimated(map, animated);
    if (!animated) {
        show(target);
        if (auto delegate = liveDelegate())
            delegate->mapViewRegionDidChangeAnimated(map, false);
        return;
    }
    if (m_motion)
        endMotion(MotionEnd::WhereItStands); // the delegate started a move of its own
    m_motion = Motion {};
    m_motion->from = state();
    m_motion->to = target;
    m_motion->start = Clock::mediaTime();
    if (blockTiming) {
        m_motion->start += std::max(0.0, blockTiming->delay);
        m_motion->duration = blockTiming->duration;
        m_motion->curve = blockTiming->curve;
        m_motion->blockEnded = UIView::joinCurrentAnimation();
    }
    Weak<MKMapView> weakMap = map;
    m_motionTimer = NSTimer::timerWithTimeIntervalRepeatsBlock(1.0 / 60, true, [weakMap](const Ref<NSTimer>&) {
        if (auto strong = weakMap.lock())
            strong->stepMotion();
    });
    NSRunLoop::mainRunLoop()->addTimerForMode(m_motionTimer, NSRunLoopCommonModes);
}

void MKMapView::show(const ViewState& state)
{
    m_center = state.center;
    m_size = state.size;
    m_heading = state.heading;
    m_pitch = state.pitch;
    setNeedsDisplay();
    updateAnnotationViews();
}

void MKMapView::stepMotion()
{
    if (!m_motion)
        return;
    double elapsed = Clock::mediaTime() - m_motion->start;
    if (elapsed < 0)
        return; // still in the block's delay
    // Frames come every 1/60 s from the start; the one due at the end may come a hair early.
    if (!(elapsed < m_motion->duration - 1e-6)) {
        endMotion(MotionEnd::AtTarget);
        return;
    }
    double p = eased(std::max(elapsed / m_motion->duration, 0.0), m_motion->curve);
    const auto& from = m_motion->from;
    const auto& to = m_motion->to;
    ViewState now;
    // The shorter way east or west, and the zoom at an even pace (the size changes by the same
    // factor every frame).
    now.center.x = wrapX(from.center.x + wrappedDelta(from.center.x, to.center.x) * p);
    now.size.width = from.size.width * std::pow(to.size.width / from.size.width, p);
    now.size.height = from.size.height * std::pow(to.size.height / from.size.height, p);
    now.center.y = from.center.y + (to.center.y - from.center.y) * p;
    if (now.size.height < kMKMapWorldSide)
        now.center.y = std::clamp(now.center.y, now.size.height / 2, kMKMapWorldSide - now.size.height / 2);
    double turn = std::remainder(to.heading - from.heading, 360.0);
    now.heading = std::fmod(from.heading + turn * p + 360.0, 360.0);
    now.pitch = from.pitch + (to.pitch - from.pitch) * p;
    show(now);
}

void MKMapView::endMotion(MotionEnd end)
{
    if (!m_motion)
        return;
    auto target = m_motion->to;
    auto blockEnded = std::move(m_motion->blockEnded);
    m_motion.reset();
    if (m_motionTimer) {
        m_motionTimer->invalidate();
        m_motionTimer = nullptr;
    }
    if (end == MotionEnd::AtTarget)
        show(target);
    if (auto delegate = liveDelegate())
        delegate->mapViewRegionDidChangeAnimated(self(), true);
    if (blockEnded)
        blockEnded(end == MotionEnd::AtTarget);
}

void MKMapView::setMapType(MKMapType type)
{
    if (type > MKMapTypeHybrid)
        NSException::raise(NSInvalidArgumentException, "unknown map type");
    m_mapType = type;
    setNeedsDisplay();
}

MKMapRect MKMapView::boundingRect(const ViewState& state)
{
    double c = std::abs(std::cos(radians(state.heading))), s = std::abs(std::sin(radians(state.heading)));
    double width = state.size.width * c + state.size.height * s;
    double height = state.size.width * s + state.size.height * c;
    return MKMapRectMake(state.center.x - width / 2, state.center.y - height / 2, width, height);
}

MKMapRect MKMapView::visibleMapRect() const
{
    return boundingRect(state());
}

MKZoomScale MKMapView::zoomScale() const
{
    CGSize view = boundsSize();
    return view.width > 0 && m_size.width > 0 ? view.width / m_size.width : 0;
}

MKCoordinateRegion MKMapView::region() const
{
    auto region = MKCoordinateRegionForMapRect(visibleMapRect());
    region.center = MKCoordinateForMapPoint(m_center);
    return region;
}

CLLocationCoordinate2D MKMapView::centerCoordinate() const
{
    return MKCoordinateForMapPoint(m_center);
}

void MKMapView::setRegionAnimated(MKCoordinateRegion region, bool animated)
{
    if (!regionIsValid(region))
        NSException::raise(NSInvalidArgumentException, "invalid region");
    auto target = state();
    target.center = MKMapPointForCoordinate(region.center);
    target.size = fitting(MKMapRectForCoordinateRegion(region), UIEdgeInsetsZero, m_heading).size;
    moveTo(target, animated);
}

MKCoordinateRegion MKMapView::regionThatFits(MKCoordinateRegion region) const
{
    if (!regionIsValid(region))
        return region;
    auto shown = state();
    shown.center = MKMapPointForCoordinate(region.center);
    shown.size = fittedSize(fitting(MKMapRectForCoordinateRegion(region), UIEdgeInsetsZero, m_heading).size);
    auto fitted = MKCoordinateRegionForMapRect(boundingRect(shown));
    fitted.center = region.center;
    return fitted;
}

void MKMapView::setCenterCoordinateAnimated(CLLocationCoordinate2D center, bool animated)
{
    if (!CLLocationCoordinate2DIsValid(center))
        NSException::raise(NSInvalidArgumentException, "invalid coordinate");
    auto target = state();
    target.center = MKMapPointForCoordinate(center);
    moveTo(target, animated);
}

void MKMapView::setVisibleMapRectAnimated(MKMapRect rect, bool animated)
{
    setVisibleMapRectEdgePaddingAnimated(rect, UIEdgeInsetsZero, animated);
}

void MKMapView::setVisibleMapRectEdgePaddingAnimated(MKMapRect rect, UIEdgeInsets padding, bool animated)
{
    if (MKMapRectIsNull(rect) || !std::isfinite(rect.origin.x) || !std::isfinite(rect.origin.y))
        return;
    auto fitted = fitting(rect, padding, m_heading);
    auto target = state();
    target.center = fitted.center;
    target.size = fitted.size;
    moveTo(target, animated);
}

MKMapView::ViewState MKMapView::fitting(MKMapRect rect, UIEdgeInsets padding, double heading) const
{
    ViewState fitted = state();
    fitted.heading = heading;
    fitted.center = MKMapPointMake(MKMapRectGetMidX(rect), MKMapRectGetMidY(rect));
    fitted.size = rect.size;
    CGSize view = boundsSize();
    if (!(view.width > 0 && view.height > 0))
        return fitted;
    double availableWidth = view.width - padding.left - padding.right;
    double availableHeight = view.height - padding.top - padding.bottom;
    if (!(availableWidth > 0 && availableHeight > 0))
        availableWidth = view.width, availableHeight = view.height, padding = UIEdgeInsetsZero;
    // Turned by the heading, the rect covers its bounding box on screen.
    double a = radians(heading);
    double c = std::abs(std::cos(a)), s = std::abs(std::sin(a));
    double w = std::max(rect.size.width, 0.0), h = std::max(rect.size.height, 0.0);
    double onScreenWidth = w * c + h * s, onScreenHeight = w * s + h * c;
    double scale = kMaximumZoomScale;
    if (onScreenWidth > 0)
        scale = std::min(scale, availableWidth / onScreenWidth);
    if (onScreenHeight > 0)
        scale = std::min(scale, availableHeight / onScreenHeight);
    // The unturned view never covers more than the world.
    scale = std::max(scale, std::max(view.width, view.height) / kMKMapWorldSide);
    // The rect's middle lands at the middle of the padded area: that spot lies (dx, dy) points
    // from the view's middle, which is turned back into map directions.
    double dx = (padding.left + availableWidth / 2 - view.width / 2) / scale;
    double dy = (padding.top + availableHeight / 2 - view.height / 2) / scale;
    fitted.center.x -= dx * std::cos(a) - dy * std::sin(a);
    fitted.center.y -= dx * std::sin(a) + dy * std::cos(a);
    fitted.size = { view.width / scale, view.height / scale };
    return fitted;
}

MKMapRect MKMapView::mapRectThatFitsEdgePadding(MKMapRect rect, UIEdgeInsets padding) const
{
    CGSize view = boundsSize();
    if (MKMapRectIsNull(rect) || !(view.width > 0 && view.height > 0) || !std::isfinite(rect.origin.x)
        || !std::isfinite(rect.origin.y))
        return rect;
    return boundingRect(fitting(rect, padding, m_heading));
}

Ref<MKMapCamera> MKMapView::camera() const
{
    auto camera = MKMapCamera::camera();
    auto center = centerCoordinate();
    camera->setCenterCoordinate(center);
    camera->setHeading(m_heading);
    camera->setPitch(m_pitch);
    double metres = m_size.height * MKMetersPerMapPointAtLatitude(center.latitude);
    camera->setAltitude(metres / (2 * kCameraHalfFieldTangent));
    return camera;
}

void MKMapView::setCameraAnimated(const Ref<MKMapCamera>& camera, bool animated)
{
    if (!camera || !CLLocationCoordinate2DIsValid(camera->centerCoordinate()))
        return;
    auto center = camera->centerCoordinate();
    MKMapSize size = m_size;
    if (camera->altitude() > 0 && std::isfinite(camera->altitude())) {
        double metres = camera->altitude() * 2 * kCameraHalfFieldTangent;
        size.height = metres / MKMetersPerMapPointAtLatitude(center.latitude);
        size.width = 0; // taken from the height and the view's aspect
        CGSize view = boundsSize();
        size.width = view.height > 0 ? size.height * view.width / view.height : size.height;
    }
    auto target = state();
    target.center = MKMapPointForCoordinate(center);
    target.size = size;
    // The rotate and pitch switches gate only the user's gestures; code sets any camera.
    target.heading = camera->heading();
    target.pitch = camera->pitch();
    moveTo(target, animated);
}

MKMapPoint MKMapView::mapPointForViewPoint(CGPoint point) const
{
    double scale = zoomScale();
    if (scale <= 0)
        return m_center;
    CGSize view = boundsSize();
    double dx = (point.x - view.width / 2) / scale, dy = (point.y - view.height / 2) / scale;
    double a = radians(m_heading);
    // The inverse of the turn in viewPointForMapPoint.
    return MKMapPointMake(
        m_center.x + dx * std::cos(a) - dy * std::sin(a), m_center.y + dx * std::sin(a) + dy * std::cos(a));
}

CGPoint MKMapView::viewPointForMapPoint(MKMapPoint point) const
{
    double scale = zoomScale();
    CGSize view = boundsSize();
    double dx = wrappedDelta(m_center.x, point.x), dy = point.y - m_center.y;
    // A camera heading h puts that compass direction at the top: the map turns by -h.
    double a = radians(-m_heading);
    double rx = dx * std::cos(a) - dy * std::sin(a), ry = dx * std::sin(a) + dy * std::cos(a);
    return CGPointMake(view.width / 2 + rx * scale, view.height / 2 + ry * scale);
}

CGPoint MKMapView::convertCoordinateToPointToView(CLLocationCoordinate2D coordinate, const Ref<UIView>& view) const
{
    return convertPointToView(viewPointForMapPoint(MKMapPointForCoordinate(coordinate)), view);
}

CLLocationCoordinate2D MKMapView::convertPointToCoordinateFromView(CGPoint point, const Ref<UIView>& view) const
{
    return MKCoordinateForMapPoint(mapPointForViewPoint(convertPointFromView(point, view)));
}

CGRect MKMapView::convertRegionToRectToView(MKCoordinateRegion region, const Ref<UIView>& view) const
{
    auto rect = MKMapRectForCoordinateRegion(region);
    auto a = viewPointForMapPoint(rect.origin);
    auto b = viewPointForMapPoint(MKMapPointMake(MKMapRectGetMaxX(rect), MKMapRectGetMaxY(rect)));
    auto local = CGRectMake(std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y));
    return convertRectToView(local, view);
}

MKCoordinateRegion MKMapView::convertRectToRegionFromView(CGRect rect, const Ref<UIView>& view) const
{
    auto local = convertRectFromView(rect, view);
    auto a = mapPointForViewPoint(local.origin);
    auto b = mapPointForViewPoint(CGPointMake(local.origin.x + local.size.width, local.origin.y + local.size.height));
    return MKCoordinateRegionForMapRect(
        MKMapRectMake(std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y)));
}

// Annotations.

void MKMapView::addAnnotation(const Ref<MKAnnotation>& annotation)
{
    addAnnotations({ annotation });
}

void MKMapView::addAnnotations(const std::vector<Ref<MKAnnotation>>& annotations)
{
    bool added = false;
    for (const auto& annotation : annotations) {
        if (!annotation || m_index->containsAnnotation(annotation.get()))
            continue;
        m_annotations.push_back(annotation);
        m_index->addAnnotation(annotation);
        added = true;
    }
    if (added)
        setNeedsLayout();
}

void MKMapView::removeAnnotation(const Ref<MKAnnotation>& annotation)
{
    removeAnnotations({ annotation });
}

void MKMapView::removeAnnotations(const std::vector<Ref<MKAnnotation>>& annotations)
{
    std::unordered_set<const MKAnnotation*> gone;
    for (const auto& annotation : annotations) {
        if (!annotation || !m_index->containsAnnotation(annotation.get()) || annotation == m_userLocation)
            continue;
        if (annotation == m_selected)
            deselectAnnotationAnimated(annotation, false);
        recycle(annotation);
        gone.insert(annotation.get());
    }
    if (gone.empty())
        return;
    std::vector<Ref<MKAnnotation>> removed;
    std::erase_if(m_annotations, [&](const Ref<MKAnnotation>& a) {
        if (!gone.count(a.get()))
            return false;
        removed.push_back(a);
        return true;
    });
    m_index->removeAnnotations(removed);
}

std::vector<Ref<MKAnnotation>> MKMapView::annotations() const
{
    return m_annotations;
}

std::vector<Ref<MKAnnotation>> MKMapView::annotationsInMapRect(MKMapRect rect) const
{
    auto found = m_index->annotationsInMapRect(rect);
    // The user location is nowhere until its first fix.
    if (m_userLocation && !m_userLocation->location())
        std::erase(found, std::static_pointer_cast<MKAnnotation>(m_userLocation));
    return found;
}

void MKMapView::showAnnotationsAnimated(const std::vector<Ref<MKAnnotation>>& annotations, bool animated)
{
    MKMapRect rect = MKMapRectNull;
    for (const auto& annotation : annotations) {
        if (!annotation || !CLLocationCoordinate2DIsValid(annotation->coordinate()))
            continue;
        auto point = MKMapPointForCoordinate(annotation->coordinate());
        rect = MKMapRectUnion(rect, MKMapRectMake(point.x, point.y, 0, 0));
    }
    if (MKMapRectIsNull(rect))
        return;
    // Room around the outermost annotations for their views.
    setVisibleMapRectEdgePaddingAnimated(rect, UIEdgeInsetsMake(40, 20, 20, 20), animated);
}

Ref<MKAnnotationView> MKMapView::viewForAnnotation(const Ref<MKAnnotation>& annotation) const
{
    auto it = annotation ? m_views.find(annotation.get()) : m_views.end();
    return it == m_views.end() ? nullptr : it->second;
}

Ref<MKAnnotationView> MKMapView::dequeueReusableAnnotationViewWithIdentifier(const std::string& identifier)
{
    auto it = m_reuseQueue.find(identifier);
    if (it == m_reuseQueue.end() || it->second.empty())
        return nullptr;
    auto view = it->second.back();
    it->second.pop_back();
    view->prepareForReuse();
    return view;
}

Ref<MKAnnotationView> MKMapView::makeViewFor(const Ref<MKAnnotation>& annotation)
{
    auto map = self();
    Ref<MKAnnotationView> view;
    if (auto delegate = liveDelegate())
        view = delegate->mapViewViewForAnnotation(map, annotation);
    if (!view) {
        if (annotation == m_userLocation) {
            view = MKAnnotationView::initWithAnnotation(annotation, std::nullopt);
            view->setBounds(CGRectMake(0, 0, 16, 16));
            view->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(0.1, 0.45, 0.95, 1));
            view->layer()->setCornerRadius(8);
            view->setCanShowCallout(true);
        } else {
            auto pin = dequeueReusableAnnotationViewWithIdentifier("MKPinAnnotationView");
            if (!pin)
                pin = MKPinAnnotationView::initWithAnnotation(annotation, std::string("MKPinAnnotationView"));
            pin->setCanShowCallout(true);
            view = pin;
        }
    }
    view->setAnnotation(annotation);
    view->setMapView(map);
    m_views[annotation.get()] = view;
    m_container->addSubview(view);
    if (auto object = objectOf(annotation))
        object->addObserver(map, kCoordinateKey, 0, nullptr);
    return view;
}

void MKMapView::recycle(const Ref<MKAnnotation>& annotation)
{
    auto it = m_views.find(annotation.get());
    if (it == m_views.end())
        return;
    auto view = it->second;
    m_views.erase(it);
    if (auto object = objectOf(annotation))
        object->removeObserver(self(), kCoordinateKey);
    view->removeFromSuperview();
    view->setSelected(false);
    if (view->reuseIdentifier())
        m_reuseQueue[*view->reuseIdentifier()].push_back(view);
}

void MKMapView::placeAnnotationView(const Ref<MKAnnotationView>& view)
{
    const auto& annotation = view->annotation();
    if (!annotation)
        return;
    // A view being dragged stays under the finger.
    auto drag = view->dragState();
    if (drag == MKAnnotationViewDragStateStarting || drag == MKAnnotationViewDragStateDragging)
        return;
    auto point = viewPointForMapPoint(MKMapPointForCoordinate(annotation->coordinate()));
    auto offset = view->centerOffset();
    view->setCenter(CGPointMake(point.x + offset.x, point.y + offset.y));
    if (m_callout && m_callout->annotationView() == view)
        m_callout->refresh();
}

void MKMapView::updateAnnotationViews()
{
    CGSize view = boundsSize();
    if (!(view.width > 0 && view.height > 0))
        return; // a map that is not shown asks for no views
    double scale = zoomScale();
    // A margin of 32 points so that views are ready just before they come into view.
    auto area = MKMapRectInset(visibleMapRect(), -32 / scale, -32 / scale);
    auto inView = annotationsInMapRect(area);
    std::unordered_set<const MKAnnotation*> wanted;
    for (const auto& annotation : inView)
        wanted.insert(annotation.get());
    if (m_selected)
        wanted.insert(m_selected.get());
    for (const auto& [key, annotationView] : m_views)
        if (annotationView->dragState() != MKAnnotationViewDragStateNone)
            wanted.insert(key);

    std::vector<Ref<MKAnnotation>> leaving;
    for (const auto& [key, annotationView] : m_views)
        if (!wanted.count(key))
            leaving.push_back(annotationView->annotation());
    for (const auto& annotation : leaving)
        recycle(annotation);

    std::vector<Ref<MKAnnotationView>> added;
    for (const auto& annotation : inView)
        if (!m_views.count(annotation.get()))
            added.push_back(makeViewFor(annotation));
    if (m_selected && !m_views.count(m_selected.get()) && m_index->containsAnnotation(m_selected.get()))
        added.push_back(makeViewFor(m_selected));
    for (const auto& [key, annotationView] : m_views)
        placeAnnotationView(annotationView);
    if (!added.empty())
        if (auto delegate = liveDelegate())
            delegate->mapViewDidAddAnnotationViews(self(), added);

    // A selection made before its view existed takes effect now.
    if (m_selected)
        if (auto selectedView = viewForAnnotation(m_selected); selectedView && !selectedView->isSelected()) {
            selectedView->setSelected(true);
            if (auto delegate = liveDelegate())
                delegate->mapViewDidSelectAnnotationView(self(), selectedView);
            showCallout(selectedView);
        }
}

std::vector<Ref<MKAnnotation>> MKMapView::selectedAnnotations() const
{
    if (m_selected)
        return { m_selected };
    return {};
}

void MKMapView::setSelectedAnnotations(const std::vector<Ref<MKAnnotation>>& annotations)
{
    if (annotations.empty()) {
        if (m_selected)
            deselectAnnotationAnimated(m_selected, false);
        return;
    }
    selectAnnotationAnimated(annotations.back(), false);
}

void MKMapView::selectAnnotationAnimated(const Ref<MKAnnotation>& annotation, bool)
{
    if (!annotation || annotation == m_selected || !m_index->containsAnnotation(annotation.get()))
        return;
    if (m_selected)
        deselectAnnotationAnimated(m_selected, false);
    m_selected = annotation;
    auto view = viewForAnnotation(annotation);
    if (!view) {
        // Made (and selected) in the next layout pass.
        setNeedsLayout();
        return;
    }
    view->setSelected(true);
    if (auto delegate = liveDelegate())
        delegate->mapViewDidSelectAnnotationView(self(), view);
    showCallout(view);
}

void MKMapView::deselectAnnotationAnimated(const Ref<MKAnnotation>& given, bool)
{
    // A copy: callers often pass m_selected itself, which is cleared below.
    Ref<MKAnnotation> annotation = given;
    if (!annotation || annotation != m_selected)
        return;
    closeCallout();
    m_selected = nullptr;
    auto view = viewForAnnotation(annotation);
    if (!view || !view->isSelected())
        return;
    view->setSelected(false);
    if (auto delegate = liveDelegate())
        delegate->mapViewDidDeselectAnnotationView(self(), view);
}

void MKMapView::showCallout(const Ref<MKAnnotationView>& view)
{
    closeCallout();
    const auto& annotation = view->annotation();
    if (!view->canShowCallout() || !annotation || annotation->title().value_or("").empty())
        return;
    auto map = self();
    m_callout = MKCalloutView::initForAnnotationView(view);
    m_container->addSubview(m_callout);
    if (auto object = objectOf(annotation)) {
        object->addObserver(map, "title", 0, nullptr);
        object->addObserver(map, "subtitle", 0, nullptr);
    }
    Weak<MKMapView> weakMap = map;
    Weak<MKAnnotationView> weakView = view;
    for (const auto& accessory : { view->leftCalloutAccessoryView(), view->rightCalloutAccessoryView() }) {
        auto control = std::dynamic_pointer_cast<UIControl>(accessory);
        if (!control)
            continue;
        control->removeTargetActionForControlEvents(map, "calloutAccessoryTapped", UIControlEventTouchUpInside);
        control->addTargetActionForControlEvents(
            map, "calloutAccessoryTapped",
            [weakMap, weakView](const Ref<UIControl>& sender, const Ref<UIEvent>&) {
                auto strongMap = weakMap.lock();
                auto strongView = weakView.lock();
                if (!strongMap || !strongView)
                    return;
                if (auto delegate = strongMap->liveDelegate())
                    delegate->mapViewAnnotationViewCalloutAccessoryControlTapped(strongMap, strongView, sender);
            },
            UIControlEventTouchUpInside);
    }
}

void MKMapView::closeCallout()
{
    if (!m_callout)
        return;
    auto callout = m_callout;
    m_callout = nullptr;
    if (auto object = objectOf(callout->annotationView()->annotation())) {
        object->removeObserver(self(), "title");
        object->removeObserver(self(), "subtitle");
    }
    callout->removeFromSuperview();
}

void MKMapView::annotationViewTapped(const Ref<MKAnnotationView>& view)
{
    if (view->annotation() && view->annotation() != m_selected)
        selectAnnotationAnimated(view->annotation(), true);
}

void MKMapView::annotationViewDragStateChanged(
    const Ref<MKAnnotationView>& view, MKAnnotationViewDragState state, MKAnnotationViewDragState old)
{
    auto protectedThis = self();
    if (auto delegate = liveDelegate())
        delegate->mapViewAnnotationViewDidChangeDragStateFromOldState(protectedThis, view, state, old);
    if (state == MKAnnotationViewDragStateNone && viewForAnnotation(view->annotation()) == view)
        placeAnnotationView(view);
}

void MKMapView::annotationViewDropped(const Ref<MKAnnotationView>& view)
{
    const auto& annotation = view->annotation();
    if (!annotation || viewForAnnotation(annotation) != view)
        return;
    auto offset = view->centerOffset();
    auto point = CGPointMake(view->center().x - offset.x, view->center().y - offset.y);
    auto coordinate = convertPointToCoordinateFromView(point, m_container);
    coordinate.longitude = std::remainder(coordinate.longitude, 360.0);
    if (CLLocationCoordinate2DIsValid(coordinate))
        annotation->setCoordinate(coordinate);
}

void MKMapView::emptySpotTapped()
{
    if (m_selected)
        deselectAnnotationAnimated(m_selected, true);
}

void MKMapView::observeValueForKeyPath(const std::string& keyPath, const Ref<NSObject>& object, const Value&, void*)
{
    auto annotation = std::dynamic_pointer_cast<MKAnnotation>(object);
    if (!annotation)
        return;
    if (keyPath == kCoordinateKey) {
        if (auto view = viewForAnnotation(annotation))
            placeAnnotationView(view);
        setNeedsLayout(); // it may have moved out of view, or into it
    } else if (m_callout && m_callout->annotationView()->annotation() == annotation) {
        m_callout->refresh();
    }
}

// Overlays.

MKMapView::OverlayEntry* MKMapView::entryFor(const MKOverlay* overlay) const
{
    for (auto& entry : m_overlays)
        if (entry.overlay.get() == overlay)
            return &entry;
    return nullptr;
}

void MKMapView::askForRenderer(OverlayEntry& entry) const
{
    if (entry.asked)
        return;
    entry.asked = true;
    auto map = self();
    auto delegate = liveDelegate();
    if (!delegate)
        return;
    entry.renderer = delegate->mapViewRendererForOverlay(map, entry.overlay);
    if (!entry.renderer)
        entry.view = delegate->mapViewViewForOverlay(map, entry.overlay);
    if (entry.renderer) {
        // Renderers may ask for a redraw from any thread; the map redraws on the main thread.
        Weak<MKMapView> weakMap = map;
        entry.renderer->setDisplayHandler([weakMap](MKMapRect, MKZoomScale) {
            dispatch_async(dispatch_get_main_queue(), [weakMap] {
                if (auto strong = weakMap.lock())
                    strong->setNeedsDisplay();
            });
        });
    }
}

void MKMapView::addOverlayLevel(const Ref<MKOverlay>& overlay, MKOverlayLevel level)
{
    if (!overlay || entryFor(overlay.get()))
        return;
    level = level == MKOverlayLevelAboveRoads ? MKOverlayLevelAboveRoads : MKOverlayLevelAboveLabels;
    // After every overlay of the same or a lower level.
    auto at
        = std::find_if(m_overlays.begin(), m_overlays.end(), [&](const OverlayEntry& e) { return e.level > level; });
    auto index = at - m_overlays.begin();
    m_overlays.insert(at, OverlayEntry { overlay, level, nullptr, nullptr, false });
    CGSize view = boundsSize();
    if (view.width > 0 && view.height > 0)
        askForRenderer(m_overlays[index]);
    setNeedsDisplay();
}

void MKMapView::addOverlays(const std::vector<Ref<MKOverlay>>& overlays)
{
    for (const auto& overlay : overlays)
        addOverlay(overlay);
}

void MKMapView::removeOverlay(const Ref<MKOverlay>& overlay)
{
    removeOverlays({ overlay });
}

void MKMapView::removeOverlays(const std::vector<Ref<MKOverlay>>& overlays)
{
    for (const auto& overlay : overlays) {
        auto* entry = overlay ? entryFor(overlay.get()) : nullptr;
        if (!entry)
            continue;
        if (entry->renderer)
            entry->renderer->setDisplayHandler(nullptr);
        m_overlays.erase(m_overlays.begin() + (entry - m_overlays.data()));
    }
    setNeedsDisplay();
}

std::vector<Ref<MKOverlay>> MKMapView::overlays() const
{
    std::vector<Ref<MKOverlay>> result;
    for (const auto& entry : m_overlays)
        result.push_back(entry.overlay);
    return result;
}

std::vector<Ref<MKOverlay>> MKMapView::overlaysInLevel(MKOverlayLevel level) const
{
    std::vector<Ref<MKOverlay>> result;
    for (const auto& entry : m_overlays)
        if (entry.level == level)
            result.push_back(entry.overlay);
    return result;
}

Ref<MKOverlayRenderer> MKMapView::rendererForOverlay(const Ref<MKOverlay>& overlay) const
{
    auto* entry = overlay ? entryFor(overlay.get()) : nullptr;
    if (!entry)
        return nullptr;
    askForRenderer(*entry);
    return entry->renderer;
}

Ref<MKOverlayView> MKMapView::viewForOverlay(const Ref<MKOverlay>& overlay) const
{
    auto* entry = overlay ? entryFor(overlay.get()) : nullptr;
    if (!entry)
        return nullptr;
    askForRenderer(*entry);
    return entry->view;
}

// UIView.

void MKMapView::setBounds(CGRect bounds)
{
    CGSize before = boundsSize();
    if (m_motion && (before.width != bounds.size.width || before.height != bounds.size.height))
        endMotion(MotionEnd::AtTarget); // its target was fitted to the old size
    UIView::setBounds(bounds);
    CGSize after = boundsSize();
    if (before.width != after.width || before.height != after.height) {
        // Keep the zoom scale where there was one; fit the kept rect otherwise.
        MKMapSize size = m_size;
        if (before.width > 0 && after.width > 0)
            size = { after.width * m_size.width / before.width, after.height * m_size.width / before.width };
        m_size = fittedSize(size);
        setNeedsLayout();
        setNeedsDisplay();
    }
}

void MKMapView::layoutSubviews()
{
    UIView::layoutSubviews();
    if (m_container)
        m_container->setFrame(bounds());
    updateAnnotationViews();
}

void MKMapView::drawRect(CGRect)
{
    auto c = UIGraphicsGetCurrentContext();
    CGSize view = boundsSize();
    double scale = zoomScale();
    if (!c || !(view.width > 0 && view.height > 0) || scale <= 0)
        return;
    auto visible = visibleMapRect();
    CGContextSaveGState(c);
    // Turn about the middle of the view so that the camera's heading is at the top, then put
    // the visible rect's origin at (0, 0) with `scale` points per map point.
    CGContextTranslateCTM(c, view.width / 2, view.height / 2);
    CGContextRotateCTM(c, radians(-m_heading));
    CGContextTranslateCTM(c, -visible.size.width * scale / 2, -visible.size.height * scale / 2);

    bool replaced = false;
    for (auto& entry : m_overlays) {
        askForRenderer(entry);
        if (entry.renderer && entry.overlay->canReplaceMapContent())
            replaced = true;
    }
    if (!replaced)
        BaseMapRenderer::drawMapRect(m_mapType, visible, scale, c);
    for (auto& entry : m_overlays) {
        // The world repeats east and west: the overlay is drawn in every copy of the world the
        // visible rect reaches, each copy asked for with the visible rect moved into its world.
        auto bounds = entry.overlay->boundingMapRect();
        for (double shift : worldShifts(bounds, visible)) {
            auto rect = MKMapRectOffset(visible, shift, 0);
            if (!entry.overlay->intersectsMapRect(rect))
                continue;
            CGContextSaveGState(c);
            if (!MKMapRectIsNull(bounds) && bounds.size.width >= kMKMapWorldSide) {
                // An overlay as wide as the world (tiles, for one) may draw whatever it is
                // asked for, wrapping of its own accord: each copy keeps to its own world, so
                // that side by side the copies cover the map once.
                double from = std::max(MKMapRectGetMinX(rect), MKMapRectGetMinX(bounds));
                double to = std::min(MKMapRectGetMaxX(rect), MKMapRectGetMinX(bounds) + kMKMapWorldSide);
                if (!(to > from)) {
                    CGContextRestoreGState(c);
                    continue;
                }
                CGContextClipToRect(
                    c, CGRectMake((from - rect.origin.x) * scale, 0, (to - from) * scale, rect.size.height * scale));
            }
            if (entry.renderer) {
                entry.renderer->drawMapRectIntoTileContext(rect, scale, c);
            } else if (entry.view && entry.view->canDrawMapRect(rect, scale)) {
                CGContextScaleCTM(c, scale, scale);
                CGContextTranslateCTM(c, bounds.origin.x - rect.origin.x, bounds.origin.y - rect.origin.y);
                entry.view->drawMapRect(rect, scale, c);
            }
            CGContextRestoreGState(c);
        }
    }
    CGContextRestoreGState(c);
}

// User location.

void MKMapView::setShowsUserLocation(bool shows)
{
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

VX_REGISTER_CLASS(MKMapView);
