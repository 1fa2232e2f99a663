#include "mapkit/MKPolygonRenderer.h"

MKPolygonRenderer::MKPolygonRenderer(Passkey key, Ref<MKPolygon> polygon)
    : MKOverlayPathRenderer(key, polygon)
    , m_polygon(std::move(polygon))
{
}

Ref<MKPolygonRenderer> MKPolygonRenderer::initWithPolygon(Ref<MKPolygon> polygon)
{
    if (!polygon)
        return nullptr;
    return make<MKPolygonRenderer>(std::move(polygon));
}

void MKPolygonRenderer::createPath()
{
    auto path = CGPathCreateMutable();
    auto addRing = [&](const MKPolygon& ring) {
        const auto& points = ring.points();
        if (points.size() < 3)
            return;
        auto first = pointForMapPoint(points[0]);
        CGPathMoveToPoint(path, nullptr, first.x, first.y);
        for (size_t i = 1; i < points.size(); ++i) {
            auto p = pointForMapPoint(points[i]);
            CGPathAddLineToPoint(path, nullptr, p.x, p.y);
        }
        CGPathCloseSubpath(path);
    };
    addRing(*m_polygon);
    for (auto& interior : m_polygon->interiorPolygons())
        addRing(*interior);
    setPath(CGPathIsEmpty(path) ? nullptr : CGPathRef(path));
}

VX_REGISTER_CLASS(MKPolygonRenderer);
