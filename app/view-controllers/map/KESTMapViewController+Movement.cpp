// Marker movement between polls (on the display link) and marker redraws.

#include "app/view-controllers/map/KESTMapViewController.h"

#include "app/core/KESTSettingsManager.h"
#include "app/view-controllers/map-markers/KESTPlaneAnnotationView.h"
#include "app/view-controllers/map/KESTMapAnnotation.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "app/view-controllers/map/KESTMapViewControllerInternal.h"
#include "foundation/Dispatch.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSTimer.h"
#include "graphics/CADisplayLink.h"
#include "mapkit/MKMapView.h"
#include "uikit/UIPopoverController.h"

using namespace KESTMapViewControllerInternal;

namespace {

constexpr size_t kMaximumMovingMarkers = 100;
constexpr double kFullMovePassInterval = 1.0;

} // namespace

void KESTMapViewController::startPlaneUpdateTimer()
{
    if (m_displayLink)
        return;
    // The link's target is a token rather than the screen, so a running link never keeps a
    // screen alive; the screen's destructor invalidates it.
    m_displayLink = CADisplayLink::displayLinkWithTargetSelector(
        NSObject::init(), [weak = Weak<KESTMapViewController>(protectedSelf())](const Ref<CADisplayLink>&) {
            if (auto screen = weak.lock())
                screen->movePlanes();
        });
    m_displayLink->setFrameInterval(2);
    m_displayLink->setPaused(!m_mapIsVisible);
    m_displayLink->addToRunLoopForMode(NSRunLoop::mainRunLoop(), NSRunLoopCommonModes);
}

void KESTMapViewController::stopPlaneUpdateTimer()
{
    if (m_displayLink)
        m_displayLink->invalidate();
    m_displayLink = nullptr;
    if (m_planeupdateTimer)
        m_planeupdateTimer->invalidate();
    m_planeupdateTimer = nullptr;
}

void KESTMapViewController::movePlanes()
{
    if (!KESTSettingsManager::sharedInstance()->movePlanes() || m_mapIsMoving)
        return;
    auto facade = mapController();
    auto markers = facade->customAnnotations();
    if (markers.size() > kMaximumMovingMarkers)
        return;
    KESTLiveDataManager::sharedInstance()->cacheDeviceUTCTimestamp();
    double timestamp = m_displayLink ? m_displayLink->timestamp() : 0;
    if (timestamp - m_lastMovePlaneUpdate > kFullMovePassInterval) {
        auto inView = backingAnnotationsInRect(facade->visibleMapRectWithPadding(0));
        auto around = backingAnnotationsInRect(facade->visibleMapRectWithPadding(static_cast<float>(kDeltaPadding)));
        for (const auto& annotation : around) {
            if (annotation->addedAsAnnotation())
                annotation->updateLocationImmediately();
        }
        for (const auto& annotation : around) {
            if (!annotation->addedAsAnnotation())
                annotation->updateLocationLazily();
        }
        if (static_cast<int32_t>(inView.size()) != m_lastVisiblePlaneCount)
            updateAnnotationVisibility();
        m_lastVisiblePlaneCount = static_cast<int32_t>(inView.size());
        m_lastMovePlaneUpdate = timestamp;
        if (m_mapViewPOC && m_mapViewPOC->isPopoverVisible() && m_activePlaneDetailVC) {
            if (m_selectedMarker)
                presentPopoverForViewControllerAnchoredToAnnotationAnimated(
                    m_mapViewPOC->contentViewController(), m_selectedMarker, false);
            else
                m_mapViewPOC->dismissPopoverAnimated(true);
        }
        return;
    }
    for (const auto& marker : markers)
        marker->updateLocationImmediately();
}

void KESTMapViewController::updateAnnotationLocations()
{
    auto facade = mapController();
    auto around = backingAnnotationsInRect(facade->visibleMapRectWithPadding(static_cast<float>(kDeltaPadding)));
    KESTLiveDataManager::sharedInstance()->cacheDeviceUTCTimestamp();
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_HIGH, 0), [around = std::move(around)] {
        for (const auto& annotation : around)
            annotation->updateLocationLazily();
        // The views are touched on the main queue only, in the same order.
        dispatch_async(dispatch_get_main_queue(), [around] {
            auto map = KESTMapController::sharedInstance()->appleMapView();
            if (!map)
                return;
            for (const auto& annotation : around) {
                if (!annotation->requiresRedraw())
                    continue;
                auto view = map->viewForAnnotation(KESTMapAnnotation::forAnnotation(annotation));
                if (auto planeView = std::dynamic_pointer_cast<KESTPlaneAnnotationView>(view))
                    planeView->setNeedsDisplay();
            }
        });
    });
}

void KESTMapViewController::redrawVisibleMarkers()
{
    auto map = mapController()->appleMapView();
    if (!map)
        return;
    for (const auto& annotation : map->annotations()) {
        if (!KESTMapAnnotation::annotationOf(annotation))
            continue;
        if (auto view = map->viewForAnnotation(annotation))
            view->setNeedsDisplay();
    }
}

void KESTMapViewController::updateMarkerRotation()
{
    auto facade = mapController();
    double bearing = facade->mapBearing();
    if (facade->previousMapBearing() != bearing)
        redrawVisibleMarkers();
    facade->setPreviousMapBearing(bearing);
}
