// The live feed's updates turned into the sets of markers to index and to take off the map.

#include "app/view-controllers/map/KESTMapViewController.h"

#include "app/core/KESTPlane.h"
#include "app/view-controllers/map/KESTMapAnnotation.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "app/view-controllers/map/KESTMapViewControllerInternal.h"
#include "foundation/Dispatch.h"
#include "foundation/NSNotification.h"
#include "mapkit/MKMapView.h"

using namespace KESTMapViewControllerInternal;

void KESTMapViewController::handleLiveDataUpdate(const Ref<NSNotification>& note)
{
    Value info = note ? note->userInfo() : Value();
    bool delta = info["delta"].boolValue();
    auto facade = mapController();
    bool accept = !delta || facade->zoomLevel() > 4;

    auto shown = KESTMapAnnotation::annotationsOf(facade->annotations());
    auto indexed = KESTMapAnnotation::annotationsOf(facade->backingMapView()->annotations());

    Weak<KESTMapViewController> weak = protectedSelf();
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0),
        [weak, delta, accept, shown = std::move(shown), indexed = std::move(indexed)] {
            auto sets = std::make_shared<LiveDataSets>();
            if (accept)
                *sets = computeLiveDataSets(KESTLiveDataManager::sharedInstance()->planeArray(), indexed, shown, delta);
            dispatch_async(dispatch_get_main_queue(), [weak, delta, accept, sets] {
                auto screen = weak.lock();
                if (!screen)
                    return;
                auto facade = screen->mapController();
                if (delta)
                    screen->m_lastDeltaMapRect = facade->visibleMapRectWithPadding(static_cast<float>(kDeltaPadding));
                if (accept) {
                    screen->m_livePlaneCount = sets->planeCount;
                    if (!delta) {
                        facade->removeAnnotations(sets->staleShown);
                        facade->backingMapView()->removeAnnotations(
                            KESTMapAnnotation::mapAnnotationsFor(sets->staleIndexed));
                    }
                    facade->backingMapView()->addAnnotations(KESTMapAnnotation::mapAnnotationsFor(sets->added));
                    screen->updateAnnotationLocations();
                    screen->updateAnnotationVisibility();
                    if (screen->m_mapWithinZoomThreshold)
                        screen->redrawVisibleMarkers();
                }
                screen->selectedPlaneStep();
            });
        });
}

KESTMapViewController::LiveDataSets KESTMapViewController::computeLiveDataSets(
    const std::vector<Ref<KESTPlane>>& planes, const std::vector<Ref<KESTAnnotation>>& indexed,
    const std::vector<Ref<KESTAnnotation>>& shown, bool delta)
{
    LiveDataSets sets;
    sets.planeCount = static_cast<int64_t>(planes.size());
    AnnotationSet indexedSet = setOf(indexed);
    AnnotationSet planeSet;
    planeSet.reserve(planes.size());
    for (const auto& plane : planes) {
        planeSet.insert(plane.get());
        if (!indexedSet.count(plane.get()))
            sets.added.push_back(plane);
    }
    if (delta)
        return sets;
    for (const auto& annotation : indexed) {
        if (isPlane(annotation) && !planeSet.count(annotation.get()))
            sets.staleIndexed.push_back(annotation);
    }
    for (const auto& annotation : shown) {
        if (isPlane(annotation) && !planeSet.count(annotation.get()))
            sets.staleShown.push_back(annotation);
    }
    return sets;
}
