// Selection of a marker, its flight path, following it, and the detail popover anchored to it.

#include "app/view-controllers/map/KESTMapViewController.h"

#include "app/core/KESTAirport.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTSettingsManager.h"
#include "app/view-controllers/airport/KESTAirportViewController.h"
#include "app/view-controllers/detail/KESTDetailViewController.h"
#include "app/view-controllers/map/KESTMapAnnotation.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "app/view-controllers/map/KESTMapViewControllerInternal.h"
#include "mapkit/MKMapView.h"
#include "uikit/UINavigationController.h"

using namespace KESTMapViewControllerInternal;

namespace {

constexpr CGFloat kPopoverWidth = 320;
constexpr CGFloat kPopoverHeight = 568;

} // namespace

void KESTMapViewController::selectAnnotationMakeVisible(const Ref<KESTPlane>& plane, bool makeVisible)
{
    selectAnnotationMakeVisible(std::static_pointer_cast<KESTAnnotation>(plane), makeVisible);
}

void KESTMapViewController::selectAnnotationMakeVisible(const Ref<KESTAnnotation>& annotation, bool makeVisible)
{
    if (m_selectedMarker)
        deselectAnnotation(m_selectedMarker);
    m_selectedMarker = annotation;
    if (!annotation)
        return;
    auto facade = mapController();
    if (makeVisible) {
        annotation->updateLocationImmediately();
        if (!annotation->addedAsAnnotation())
            facade->addAnnotation(annotation);
        if (auto map = facade->appleMapView()) {
            KESTLocation location = annotation->coordinate();
            CLLocationCoordinate2D coordinate { location.latitude, location.longitude };
            map->setRegionAnimated(MKCoordinateRegionMake(coordinate, MKCoordinateSpanMake(1.0, 1.0)), false);
            map->setCenterCoordinate(coordinate);
            map->setSelectedAnnotations({ KESTMapAnnotation::forAnnotation(annotation) });
        }
    }
    if (KESTSettingsManager::sharedInstance()->showFlightPaths()) {
        if (auto plane = std::dynamic_pointer_cast<KESTPlane>(annotation))
            plane->updateFlightPath();
    }
}

void KESTMapViewController::deselectAnnotation(const Ref<KESTAnnotation>&)
{
    destroyActiveFlightPath();
    m_selectedMarker = nullptr;
}

void KESTMapViewController::destroyActiveFlightPath()
{
    if (!m_activeFlightPath)
        return;
    if (auto map = mapController()->appleMapView())
        map->removeOverlay(m_activeFlightPath);
    m_activeFlightPath = nullptr;
}

void KESTMapViewController::selectedPlaneStep()
{
    auto plane = std::dynamic_pointer_cast<KESTPlane>(m_selectedMarker);
    if (!plane)
        return;
    plane->updateTitleAndSubtitle();
    plane->updateFlightPath();
    // Setting the texts again makes an open callout show them.
    KESTMapAnnotation::forAnnotation(plane)->textsDidChange();
    if (KESTSettingsManager::sharedInstance()->followPlane()) {
        KESTLocation location = plane->coordinate();
        mapController()->setCenterCoordinateAnimated({ location.latitude, location.longitude }, true);
    }
}

void KESTMapViewController::showDetailScreenForAnnotation(const Ref<KESTAnnotation>& annotation)
{
    if (auto airport = std::dynamic_pointer_cast<KESTAirport>(annotation)) {
        auto board = KESTAirportViewController::initWithAirport(airport);
        board->setDelegate(std::static_pointer_cast<KESTSearchDelegate>(protectedSelf()));
        presentPopoverForViewControllerAnchoredToAnnotationAnimated(
            UINavigationController::initWithRootViewController(board), annotation, true);
        return;
    }
    auto plane = std::dynamic_pointer_cast<KESTPlane>(annotation);
    if (!plane)
        return;
    auto detail = KESTDetailViewController::initWithPlane(plane);
    detail->setManagedObjectContext(m_managedObjectContext);
    detail->setMapSnapshot(mapController()->mapSnapshot());
    auto navigation = UINavigationController::initWithRootViewController(detail);
    presentPopoverForViewControllerAnchoredToAnnotationAnimated(navigation, annotation, true);
    m_activePlaneDetailVC = detail;
}

void KESTMapViewController::presentPopoverForViewControllerAnchoredToAnnotationAnimated(
    const Ref<UIViewController>& content, const Ref<KESTAnnotation>& annotation, bool animated)
{
    auto map = mapController()->appleMapView();
    if (!map || !annotation)
        return;
    KESTLocation location = annotation->coordinate();
    CGPoint point = map->convertCoordinateToPointToView({ location.latitude, location.longitude }, map);
    CGRect anchor = CGRectMake(point.x - 20, point.y - 20, 40, 40);
    UIPopoverArrowDirection arrow = point.x + kPopoverWidth < map->bounds().size.width - 15
        ? UIPopoverArrowDirectionLeft
        : UIPopoverArrowDirectionRight;
    // A popover closed in code is still stored with its old screen (its delegate was not told).
    // New content gets a new popover: the old one is let go as if the user had closed it, which
    // cleans up its detail screen. Only re-presenting the popover's own content moves it.
    if (m_mapViewPOC && content != m_mapViewPOC->contentViewController()) {
        auto old = m_mapViewPOC;
        if (old->isPopoverVisible())
            old->dismissPopoverAnimated(false);
        popoverControllerDidDismissPopover(old);
    }
    if (!m_mapViewPOC) {
        m_mapViewPOC = UIPopoverController::initWithContentViewController(content);
        m_mapViewPOC->setPopoverContentSize(CGSizeMake(kPopoverWidth, kPopoverHeight));
        m_mapViewPOC->setDelegate(this, protectedSelf());
    }
    m_mapViewPOC->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(anchor, map, arrow, animated);
}

void KESTMapViewController::dismissMapPopover()
{
    if (m_mapViewPOC)
        m_mapViewPOC->dismissPopoverAnimated(true);
}

void KESTMapViewController::popoverControllerDidDismissPopover(const Ref<UIPopoverController>& popover)
{
    if (popover && popover == m_mapViewPOC) {
        m_mapViewPOC = nullptr;
        if (m_activePlaneDetailVC) {
            m_activePlaneDetailVC->cleanup();
            m_activePlaneDetailVC = nullptr;
        }
    } else if (popover && popover == m_poc) {
        m_poc = nullptr;
        updateUI();
    }
}
