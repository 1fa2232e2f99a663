#pragma once

// Private to KESTMapViewController's source files: the numbers and small helpers its parts share.
// Never include from a header.

#include "app/core/KESTAnnotation.h"
#include "app/core/KESTPlane.h"
#include "app/view-controllers/map/KESTMapAnnotation.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "mapkit/MKMapView.h"

#include <unordered_set>
#include <vector>

namespace KESTMapViewControllerInternal {

// How far (in points) the live feed's delta area and the movement pass reach beyond the visible
// map.
inline constexpr double kDeltaPadding = 100.0;

using AnnotationSet = std::unordered_set<const KESTAnnotation*>;

inline AnnotationSet setOf(const std::vector<Ref<KESTAnnotation>>& list)
{
    AnnotationSet set;
    set.reserve(list.size());
    for (const auto& annotation : list)
        set.insert(annotation.get());
    return set;
}

// The annotations of the map facade's backing index inside `rect`.
inline std::vector<Ref<KESTAnnotation>> backingAnnotationsInRect(MKMapRect rect)
{
    return KESTMapAnnotation::annotationsOf(
        KESTMapController::sharedInstance()->backingMapView()->annotationsInMapRect(rect));
}

inline bool isPlane(const Ref<KESTAnnotation>& annotation)
{
    return annotation && annotation->isKindOfClass(KESTPlane::classObject());
}

} // namespace KESTMapViewControllerInternal
