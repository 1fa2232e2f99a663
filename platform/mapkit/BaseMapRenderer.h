#pragma once

#include "graphics/CGContext.h"
#include "mapkit/MKGeometry.h"
#include "mapkit/MKMapType.h"

// Draws the base map (sea, then land from the bundled outlines) for a map rect at a zoom scale,
// in the look of a map type. The context's user space is a tile: the map rect's origin at (0, 0)
// and `zoomScale` units per map point, y growing south. The detailed outlines are used once the
// world is more than 2048 points wide on screen. Rects past the world's edges show the world
// repeated. Any thread.
namespace BaseMapRenderer {

void drawMapRect(MKMapType type, MKMapRect mapRect, MKZoomScale zoomScale, const CGContextRef& context);

struct Palette {
    float sea[3];
    float land[3];
    float coast[4]; // alpha 0: no coastline
    float grid[4]; // alpha 0: no latitude/longitude lines
};
Palette paletteFor(MKMapType type);

} // namespace BaseMapRenderer
