// MKMapView: region, camera and moves of the map, and conversions between map and view.
#include "mapkit/MKMapView.h"

#include "foundation/Clock.h"
#include "foundation/NSException.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSTimer.h"
#include "foundation/ThreadChecks.h"
#include "mapkit/MKMapViewInternal.h"

#include <algorithm>
#include <cmath>

using MKMapViewInternal::radians;

namespace {

// The camera sees the view's height over a 30 degree field of view.
const double kCameraHalfFieldTangent = std::tan(15.0 * M_PI / 180.0);
// The closest zoom: two screen points per map point.
const double kMaximumZoomScale = 2.0;

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
    assertIsMainThread();
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
    assertIsMainThread();
    if (!CLLocationCoordinate2DIsValid(center))
        NSException::raise(NSInvalidArgumentException, "invalid coordinate");
    auto target = state();
    target.center = MKMapPointForCoordinate(center);
    moveTo(target, animated);
}

void MKMapView::setVisibleMapRectAnimated(MKMapRect rect, bool animated)
{
    assertIsMainThread();
    setVisibleMapRectEdgePaddingAnimated(rect, UIEdgeInsetsZero, animated);
}

void MKMapView::setVisibleMapRectEdgePaddingAnimated(MKMapRect rect, UIEdgeInsets padding, bool animated)
{
    assertIsMainThread();
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
    assertIsMainThread();
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
