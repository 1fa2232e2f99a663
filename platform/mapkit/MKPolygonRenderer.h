#pragma once

#include "mapkit/MKOverlayPathRenderer.h"
#include "mapkit/MKPolygon.h"

// Fills and strokes a polygon; its interior polygons are holes. Any thread.
class MKPolygonRenderer : public MKOverlayPathRenderer {
    VX_OBJECT(MKPolygonRenderer, MKOverlayPathRenderer)
public:
    MKPolygonRenderer(Passkey key, Ref<MKPolygon> polygon);
    static Ref<MKPolygonRenderer> initWithPolygon(Ref<MKPolygon> polygon);

    const Ref<MKPolygon>& polygon() const { return m_polygon; }
    void createPath() override;

private:
    Ref<MKPolygon> m_polygon;
};
