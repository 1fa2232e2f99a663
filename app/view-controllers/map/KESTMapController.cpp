#include "app/view-controllers/map/KESTMapController.h"

#include "app/categories/MKMapView+ZoomLevel.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/view-controllers/map/KESTMapAnnotation.h"
#include "app/view-controllers/map/KESTMapPlaneServices.h"
#include "foundation/Locked.h"
#include "foundation/NSPredicate.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "mapkit/MKMapView.h"
#include "uikit/UIScreen.h"
#include "uikit/UIView.h"

VX_REGISTER_CLASS(KESTMapController);

namespace {

Locked<Ref<KESTMapController>> s_shared;

} // namespace

KESTMapController::KESTMapController(Passkey key)
    : NSObject(key)
{
}

Ref<KESTMapController> KESTMapController::sharedInstance()
{
    return s_shared.with([](Ref<KESTMapController>& shared) {
        if (shared)
            return shared;
        auto controller = make<KESTMapController>();
        controller->m_backingMapView = MKMapView::initWithFrame(CGRectZero);
        // Every airport is in the index from the start.
        auto airports = KESTLiveDataManager::sharedInstance()->airportArray();
        // Planes draw their markers with the map's images and bearing from now on.
        KESTMapPlaneServices::installOverCurrent();
        std::vector<Ref<KESTAnnotation>> annotations(airports.begin(), airports.end());
        controller->m_backingMapView->addAnnotations(KESTMapAnnotation::mapAnnotationsFor(annotations));
        shared = controller;
        return controller;
    });
}

void KESTMapController::resetSharedInstanceForTesting()
{
    // The old facade goes after the lock is released.
    Ref<KESTMapController> old = s_shared.exchange(nullptr);
}

void KESTMapController::setControllerWithMapView(
    const Ref<KESTMapViewController>& controller, const Ref<UIView>& mapView)
{
    for (const auto& annotation : KESTMapAnnotation::annotationsOf(backingMapView()->annotations()))
        annotation->setAddedAsAnnotationWithRepresentedValue(Value(false));
    setMapView(mapView);
    m_mapViewController = controller;
}

void KESTMapController::setMapView(const Ref<UIView>& mapView)
{
    m_mapView = mapView;
    if (!mapView)
        m_mapProvider = -1;
    else if (std::dynamic_pointer_cast<MKMapView>(mapView))
        m_mapProvider = 0;
    else
        m_mapProvider = 1;
}

Ref<MKMapView> KESTMapController::appleMapView() const
{
    return std::dynamic_pointer_cast<MKMapView>(m_mapView.lock());
}

Ref<MKMapView> KESTMapController::backingMapView()
{
    if (!m_backingMapView)
        m_backingMapView = MKMapView::initWithFrame(CGRectZero);
    return m_backingMapView;
}

Ref<NSPredicate> KESTMapController::activeMarkerPredicate()
{
    if (!m_activeMarkerPredicate)
        m_activeMarkerPredicate = NSPredicate::predicateWithFormat("addedAsAnnotation == YES");
    return m_activeMarkerPredicate;
}

void KESTMapController::addAnnotations(const std::vector<Ref<KESTAnnotation>>& annotations)
{
    KESTLiveDataManager::sharedInstance()->cacheDeviceUTCTimestamp();
    for (const auto& annotation : annotations)
        annotation->updateLocationLazily();
    for (const auto& annotation : annotations)
        annotation->setAddedAsAnnotationWithRepresentedValue(Value(true));
    if (auto map = appleMapView())
        map->addAnnotations(KESTMapAnnotation::mapAnnotationsFor(annotations));
}

Ref<KESTAnnotation> KESTMapController::addAnnotation(const Ref<KESTAnnotation>& annotation)
{
    if (!annotation)
        return nullptr;
    annotation->setAddedAsAnnotationWithRepresentedValue(Value(true));
    annotation->updateLocationLazily();
    auto map = appleMapView();
    if (!map)
        return nullptr;
    map->addAnnotation(KESTMapAnnotation::forAnnotation(annotation));
    return annotation;
}

void KESTMapController::removeAnnotations(const std::vector<Ref<KESTAnnotation>>& annotations)
{
    for (const auto& annotation : annotations)
        annotation->setAddedAsAnnotationWithRepresentedValue(Value(false));
    if (auto map = appleMapView())
        map->removeAnnotations(KESTMapAnnotation::mapAnnotationsFor(annotations));
}

void KESTMapController::removeAnnotation(const Ref<KESTAnnotation>& annotation)
{
    if (!annotation)
        return;
    annotation->setAddedAsAnnotationWithRepresentedValue(Value(false));
    if (auto map = appleMapView())
        map->removeAnnotation(KESTMapAnnotation::forAnnotation(annotation));
}

std::vector<Ref<MKAnnotation>> KESTMapController::annotations() const
{
    if (auto map = appleMapView())
        return map->annotations();
    return {};
}

std::vector<Ref<KESTAnnotation>> KESTMapController::customAnnotations() const
{
    return KESTMapAnnotation::annotationsOf(annotations());
}

std::vector<Ref<MKAnnotation>> KESTMapController::annotationsInMapRect(MKMapRect rect) const
{
    if (auto map = appleMapView())
        return map->annotationsInMapRect(rect);
    return {};
}

MKMapRect KESTMapController::visibleMapRectWithPadding(float padding) const
{
    auto map = appleMapView();
    if (!map)
        return MKMapRectMake(0, 0, 0, 0);
    MKMapRect visible = map->visibleMapRect();
    if (padding > 0)
        return map->mapRectThatFitsEdgePadding(visible, UIEdgeInsets { padding, padding, padding, padding });
    return visible;
}

KESTMapBounds KESTMapController::currentMapBounds(double padding) const
{
    auto map = appleMapView();
    MKCoordinateRegion region {};
    if (map)
        region = map->region();
    if (padding > 0) {
        MKMapRect widened = MKMapRectMake(0, 0, 0, 0);
        if (map) {
            float p = static_cast<float>(padding);
            widened = map->mapRectThatFitsEdgePadding(map->visibleMapRect(), UIEdgeInsets { p, p, p, p });
        }
        region = map ? MKCoordinateRegionForMapRect(widened) : MKCoordinateRegion {};
    }
    return KESTMapBounds {
        .north = region.center.latitude + region.span.latitudeDelta * 0.5,
        .south = region.center.latitude - region.span.latitudeDelta * 0.5,
        .east = region.center.longitude + region.span.longitudeDelta * 0.5,
        .west = region.center.longitude - region.span.longitudeDelta * 0.5,
    };
}

CLLocationCoordinate2D KESTMapController::centerCoordinate() const
{
    if (auto map = appleMapView())
        return map->centerCoordinate();
    return { 0, 0 };
}

double KESTMapController::mapBearing() const
{
    double bearing = 0;
    if (auto map = appleMapView())
        bearing = map->camera()->heading();
    KESTMapPlaneServices::setMapBearing(bearing);
    return bearing;
}

uint32_t KESTMapController::zoomLevel() const
{
    return MKMapView_ZoomLevel::zoomLevel(appleMapView());
}

void KESTMapController::setCenterCoordinateAnimated(CLLocationCoordinate2D center, bool animated)
{
    if (auto map = appleMapView())
        map->setCenterCoordinateAnimated(center, animated);
}

void KESTMapController::setMapRegion(MKCoordinateRegion region)
{
    if (auto map = appleMapView())
        map->setRegion(region);
}

void KESTMapController::setZoom(float) { }

void KESTMapController::setMapType(int32_t mapType)
{
    auto map = appleMapView();
    if (!map)
        return;
    switch (mapType) {
    case 0:
        map->setMapType(MKMapTypeStandard);
        break;
    case 1:
        map->setMapType(MKMapTypeSatellite);
        break;
    case 2:
        map->setMapType(MKMapTypeHybrid);
        break;
    default:
        break;
    }
}

void KESTMapController::toggleUserLocation()
{
    auto map = appleMapView();
    bool show = !(map && map->showsUserLocation());
    m_shouldZoomToUserLocationWhenLocated = show;
    setShowUserLocation(show);
}

void KESTMapController::setShowUserLocation(bool show)
{
    if (auto map = appleMapView())
        map->setShowsUserLocation(show);
}

Ref<UIImage> KESTMapController::mapSnapshot()
{
    auto map = mapView();
    if (!map)
        return nullptr;
    CGSize size = map->bounds().size;
    if (size.width <= 0 || size.height <= 0)
        return nullptr;
    UIGraphicsBeginImageContextWithOptions(size, true, UIScreen::mainScreen()->scale());
    map->drawViewHierarchyInRectAfterScreenUpdates(CGRectMake(0, 0, size.width, size.height), true);
    Ref<UIImage> image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}
