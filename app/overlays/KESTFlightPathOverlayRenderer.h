#pragma once

#include "mapkit/MKOverlayRenderer.h"

class KESTFlightPathOverlay;

// Draws a flight-path overlay as a chain of short segments, each coloured by the altitude at its
// end on a blue-to-red ramp, thinned so that no segment is shorter than a minimum step, and
// skipping segments outside the tile. Any thread, as every renderer.
class KESTFlightPathOverlayRenderer : public MKOverlayRenderer {
    VX_OBJECT(KESTFlightPathOverlayRenderer, MKOverlayRenderer)
public:
    KESTFlightPathOverlayRenderer(Passkey key, Ref<MKOverlay> overlay)
        : MKOverlayRenderer(key, std::move(overlay))
    {
    }
    static Ref<KESTFlightPathOverlayRenderer> initWithOverlay(Ref<KESTFlightPathOverlay> overlay);

    // The colour of a segment ending at this altitude, as red, green, blue, alpha: blue at 0
    // through purple to red at 42000 and above; black outside 0 to 420000.
    struct SegmentColour {
        CGFloat red, green, blue, alpha;
        bool operator==(const SegmentColour&) const = default;
    };
    static SegmentColour colourForAltitude(double altitude);

    // False for an empty track.
    bool canDrawMapRect(MKMapRect mapRect, MKZoomScale zoomScale) override;
    void drawMapRect(MKMapRect mapRect, MKZoomScale zoomScale, const CGContextRef& context) override;

private:
    Ref<KESTFlightPathOverlay> pathOverlay() const;
};
