#pragma once

#include "mapkit/MKAnnotation.h"
#include "mapkit/MKGeometry.h"

// An annotation that covers an area of the map and is drawn by an overlay renderer. A mixin,
// like MKAnnotation. Overlays are read from renderer threads, so their geometry must not change
// once they are on a map.
class MKOverlay : public virtual MKAnnotation {
public:
    // The area the overlay covers, in map points.
    virtual MKMapRect boundingMapRect() const = 0;
    // Optional; the default tests the bounding rect.
    virtual bool intersectsMapRect(MKMapRect rect) const { return MKMapRectIntersectsRect(boundingMapRect(), rect); }
    // Optional; true when the overlay hides the base map under it.
    virtual bool canReplaceMapContent() const { return false; }
};
