#pragma once

#include "mapkit/MKOverlayPathRenderer.h"
#include "mapkit/MKPolyline.h"

// Strokes a polyline (its fill colour is ignored: a line has no inside). Any thread.
class MKPolylineRenderer : public MKOverlayPathRenderer {
    VX_OBJECT(MKPolylineRenderer, MKOverlayPathRenderer)
public:
    MKPolylineRenderer(Passkey key, Ref<MKPolyline> polyline);
    static Ref<MKPolylineRenderer> initWithPolyline(Ref<MKPolyline> polyline);

    const Ref<MKPolyline>& polyline() const { return m_polyline; }
    void createPath() override;
    void drawMapRect(MKMapRect mapRect, MKZoomScale zoomScale, const CGContextRef& context) override;

private:
    Ref<MKPolyline> m_polyline;
};
