// MKMapView: creation, properties, and the layout and drawing passes.
#include "mapkit/MKMapView.h"

#include "foundation/NSException.h"
#include "foundation/NSTimer.h"
#include "foundation/ThreadChecks.h"
#include "graphics/CGContext.h"
#include "graphics/UIGraphics.h"
#include "location/CLLocationManager.h"
#include "mapkit/BaseMapRenderer.h"
#include "mapkit/MKMapViewInternal.h"
#include "mapkit/MKOverlayRenderer.h"
#include "mapkit/MKOverlayView.h"
#include "mapkit/MKTileOverlay.h"
#include "mapkit/MKURLSessionTileLoader.h"

#include <algorithm>
#include <cmath>

using MKMapViewInternal::radians;

namespace {

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

} // namespace

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

void MKMapView::setMapType(MKMapType type)
{
    assertIsMainThread();
    if (type > MKMapTypeHybrid)
        NSException::raise(NSInvalidArgumentException, "unknown map type");
    m_mapType = type;
    setNeedsDisplay();
}

// UIView.

void MKMapView::setBounds(CGRect bounds)
{
    assertIsMainThread();
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
    assertIsMainThread();
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

VX_REGISTER_CLASS(MKMapView);
