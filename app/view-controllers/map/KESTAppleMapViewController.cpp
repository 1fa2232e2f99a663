#include "app/view-controllers/map/KESTAppleMapViewController.h"

#include "app/categories/MKMapView+ZoomLevel.h"
#include "app/core/KESTAirport.h"
#include "app/core/KESTChartManager.h"
#include "app/core/KESTChartObject.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTVolcano.h"
#include "app/core/KESTVolcanoManager.h"
#include "app/overlays/KESTAppleMapsTileOverlay.h"
#include "app/overlays/KESTAppleMapsTileRenderer.h"
#include "app/overlays/KESTFlightPathOverlay.h"
#include "app/overlays/KESTFlightPathOverlayRenderer.h"
#include "app/view-controllers/map-markers/KESTAirportAnnotationView.h"
#include "app/view-controllers/map-markers/KESTPlaneAnnotationView.h"
#include "app/view-controllers/map-markers/KESTSantaAnnotationView.h"
#include "app/view-controllers/map-markers/KESTVolcanoAnnotationView.h"
#include "app/view-controllers/map/KESTMapAnnotation.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "foundation/Dispatch.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSOperationQueue.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"
#include "mapkit/MKMapView.h"
#include "mapkit/MKPolygon.h"
#include "mapkit/MKPolygonRenderer.h"
#include "mapkit/MKUserLocation.h"
#include "uikit/UIButton.h"
#include "uikit/UITapGestureRecognizer.h"

VX_REGISTER_CLASS(KESTAppleMapViewController);

namespace {

constexpr int32_t kSantaDataType = 99;

template <typename View>
Ref<MKAnnotationView> dequeueOrMake(
    const Ref<MKMapView>& map, const Ref<MKAnnotation>& annotation, const std::string& identifier)
{
    auto view = std::dynamic_pointer_cast<View>(map->dequeueReusableAnnotationViewWithIdentifier(identifier));
    if (!view)
        view = View::initWithAnnotation(annotation, identifier);
    // The marker views' own setter redraws for the new annotation.
    if constexpr (requires { view->setAnnotation(annotation); })
        view->setAnnotation(annotation);
    return view;
}

} // namespace

void KESTAppleMapViewController::loadView()
{
    auto container = UIView::initWithFrame(CGRectZero);
    container->setAutoresizingMask(UIViewAutoresizing(18));
    m_mapView = MKMapView::initWithFrame(CGRectZero);
    m_mapView->setAutoresizingMask(UIViewAutoresizing(18));
    m_mapView->setDelegate(std::static_pointer_cast<MKMapViewDelegate>(self<KESTAppleMapViewController>()));
    m_mapView->setRotateEnabled(true);
    container->addSubview(m_mapView);
    if (mapLabelView())
        container->addSubview(mapLabelView());
    setView(container);
}

void KESTAppleMapViewController::viewDidLoad()
{
    auto self = this->self<KESTAppleMapViewController>();
    mapController()->setControllerWithMapView(self, m_mapView);

    Weak<KESTAppleMapViewController> weak = self;
    m_tapGestureRecognizer = UITapGestureRecognizer::init();
    m_tapGestureRecognizer->addTargetAction(
        self, "tapGestureHandler:", [weak](const Ref<UIGestureRecognizer>& recognizer) {
            if (auto screen = weak.lock())
                screen->tapGestureHandler(recognizer);
        });
    m_tapGestureRecognizer->setCancelsTouchesInView(false);
    m_mapView->addGestureRecognizer(m_tapGestureRecognizer);

    auto center = NSNotificationCenter::defaultCenter();
    m_flightPathUpdateNotifier = center->addObserverForName(std::string(KESTFlightPathUpdatedNotification), nullptr,
        NSOperationQueue::mainQueue(), [weak](const Ref<NSNotification>&) {
            if (auto screen = weak.lock())
                screen->flightPathUpdated();
        });
    m_volcanoUpdateNotifier = center->addObserverForName(std::string(KESTVolcanoOverlayChangeNotification), nullptr,
        NSOperationQueue::mainQueue(), [weak](const Ref<NSNotification>&) {
            if (auto screen = weak.lock())
                screen->volcanoOverlayChanged();
        });

    KESTMapViewController::viewDidLoad();
}

void KESTAppleMapViewController::updateUI()
{
    KESTMapViewController::updateUI();
    Weak<KESTAppleMapViewController> weak = self<KESTAppleMapViewController>();
    KESTChartManager::sharedInstance()->getChartsWithSuccess(
        [weak] {
            if (auto screen = weak.lock())
                screen->chartsUpdated();
        },
        [](const Ref<NSError>& error) { NSLog("%@", error ? error->description() : std::string()); });
}

void KESTAppleMapViewController::chartsUpdated()
{
    std::vector<Ref<MKOverlay>> old;
    for (const auto& overlay : m_mapView->overlays()) {
        if (std::dynamic_pointer_cast<KESTAppleMapsTileOverlay>(overlay))
            old.push_back(overlay);
    }
    // Walked from the last chart to the first, so the first active chart ends up on top.
    std::vector<Ref<MKOverlay>> active;
    const auto& charts = KESTChartManager::sharedInstance()->charts();
    for (auto it = charts.rbegin(); it != charts.rend(); ++it) {
        if ((*it)->active() && (*it)->overlay())
            active.push_back((*it)->overlay());
    }
    if (!old.empty())
        m_mapView->removeOverlays(old);
    if (!active.empty())
        m_mapView->addOverlays(active);
    if (active.empty())
        return;
    Weak<KESTAppleMapViewController> weak = self<KESTAppleMapViewController>();
    dispatch_async(dispatch_get_main_queue(), [weak] {
        auto screen = weak.lock();
        if (screen && screen->mapLabelView())
            screen->mapLabelView()->setMessage(NSBundle::mainBundle()->localizedStringForKey(
                "Chart data is degraded and is not suitable for navigation", "", ""));
    });
}

void KESTAppleMapViewController::cleanup()
{
    KESTMapViewController::cleanup();
    if (m_tapGestureRecognizer && m_mapView)
        m_mapView->removeGestureRecognizer(m_tapGestureRecognizer);
}

void KESTAppleMapViewController::tapGestureHandler(const Ref<UIGestureRecognizer>& recognizer)
{
    if (!recognizer)
        return;
    CGPoint point = recognizer->locationInView(nullptr);
    auto hit = view()->hitTest(point, nullptr);
    Class containerClass = NSClassFromString("MKAnnotationContainerView");
    if (hit && containerClass && hit->isKindOfClass(containerClass) && !selectedMarker())
        toggleToolbarVisibility();
}

void KESTAppleMapViewController::flightPathUpdated()
{
    if (activeFlightPath())
        m_mapView->removeOverlay(activeFlightPath());
    auto [locations, altitudes] = KESTLiveDataManager::sharedInstance()->flightPathArray();
    auto overlay = KESTFlightPathOverlay::initWithLocationsAndAltitudes(std::move(locations), std::move(altitudes));
    setActiveFlightPath(overlay);
    m_mapView->addOverlay(overlay);
}

void KESTAppleMapViewController::volcanoOverlayChanged()
{
    std::vector<Ref<MKOverlay>> polygons;
    for (const auto& overlay : m_mapView->overlays()) {
        if (std::dynamic_pointer_cast<MKPolygon>(overlay))
            polygons.push_back(overlay);
    }
    m_mapView->removeOverlays(polygons);
    for (const auto& polygon : KESTVolcanoManager::sharedInstance()->polyArray())
        m_mapView->addOverlay(polygon);
}

Ref<MKAnnotationView> KESTAppleMapViewController::mapViewViewForAnnotation(
    const Ref<MKMapView>& map, const Ref<MKAnnotation>& annotation)
{
    auto own = KESTMapAnnotation::annotationOf(annotation);
    if (!own)
        return nullptr;
    Ref<MKAnnotationView> view;
    if (auto plane = std::dynamic_pointer_cast<KESTPlane>(own)) {
        if (plane->dataType() == kSantaDataType)
            view = dequeueOrMake<KESTSantaAnnotationView>(map, annotation, "KESTSantaAnnotationViewID");
        else
            view = dequeueOrMake<KESTPlaneAnnotationView>(map, annotation, "KESTPlaneAnnotationViewID");
    } else if (std::dynamic_pointer_cast<KESTAirport>(own)) {
        view = dequeueOrMake<KESTAirportAnnotationView>(map, annotation, "KESTAirportAnnotationViewID");
    } else if (std::dynamic_pointer_cast<KESTVolcano>(own)) {
        view = dequeueOrMake<KESTVolcanoAnnotationView>(map, annotation, "KESTVolcanoAnnotationViewID");
    } else {
        return nullptr;
    }
    view->setAnnotation(annotation);
    view->setCanShowCallout(true);
    view->setCalloutOffset(CGPointMake(0, 5));
    auto chevron = UIButton::buttonWithType(UIButtonTypeDetailDisclosure);
    chevron->setImageForState(UIImage::imageNamed("calloutChevron"), UIControlStateNormal);
    CGRect frame = chevron->frame();
    frame.size.width = 8;
    chevron->setFrame(frame);
    view->setRightCalloutAccessoryView(chevron);
    return view;
}

Ref<MKOverlayRenderer> KESTAppleMapViewController::mapViewRendererForOverlay(
    const Ref<MKMapView>&, const Ref<MKOverlay>& overlay)
{
    if (auto path = std::dynamic_pointer_cast<KESTFlightPathOverlay>(overlay))
        return KESTFlightPathOverlayRenderer::initWithOverlay(path);
    if (auto tiles = std::dynamic_pointer_cast<KESTAppleMapsTileOverlay>(overlay))
        return KESTAppleMapsTileRenderer::initWithTileOverlay(tiles);
    if (auto polygon = std::dynamic_pointer_cast<MKPolygon>(overlay)) {
        auto renderer = MKPolygonRenderer::initWithPolygon(polygon);
        renderer->setFillColor(UIColor::grayColor()->colorWithAlphaComponent(0.5));
        renderer->setLineWidth(3.0);
        return renderer;
    }
    return nullptr;
}

void KESTAppleMapViewController::mapViewDidSelectAnnotationView(
    const Ref<MKMapView>&, const Ref<MKAnnotationView>& view)
{
    if (auto own = view ? KESTMapAnnotation::annotationOf(view->annotation()) : nullptr)
        selectAnnotationMakeVisible(own, false);
}

void KESTAppleMapViewController::mapViewDidDeselectAnnotationView(
    const Ref<MKMapView>&, const Ref<MKAnnotationView>& view)
{
    deselectAnnotation(view ? KESTMapAnnotation::annotationOf(view->annotation()) : nullptr);
}

void KESTAppleMapViewController::mapViewAnnotationViewCalloutAccessoryControlTapped(
    const Ref<MKMapView>&, const Ref<MKAnnotationView>& view, const Ref<UIControl>&)
{
    if (auto own = view ? KESTMapAnnotation::annotationOf(view->annotation()) : nullptr)
        showDetailScreenForAnnotation(own);
}

void KESTAppleMapViewController::mapViewDidUpdateUserLocation(
    const Ref<MKMapView>& map, const Ref<MKUserLocation>& location)
{
    auto facade = mapController();
    if (!facade->shouldZoomToUserLocationWhenLocated() || !location)
        return;
    MKMapView_ZoomLevel::setCenterCoordinateZoomLevelAnimated(map, location->coordinate(), 6, true);
    facade->setShouldZoomToUserLocationWhenLocated(false);
}

void KESTAppleMapViewController::mapViewDidChangeUserTrackingModeAnimated(
    const Ref<MKMapView>& map, MKUserTrackingMode mode, bool)
{
    if (mode == MKUserTrackingModeFollowWithHeading && map)
        map->setUserTrackingMode(MKUserTrackingModeNone);
}
