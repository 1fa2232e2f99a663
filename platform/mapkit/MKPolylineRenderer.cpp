#include "mapkit/MKPolylineRenderer.h"

MKPolylineRenderer::MKPolylineRenderer(Passkey key, Ref<MKPolyline> polyline)
    : MKOverlayPathRenderer(key, polyline)
    , m_polyline(std::move(polyline))
{
}

Ref<MKPolylineRenderer> MKPolylineRenderer::initWithPolyline(Ref<MKPolyline> polyline)
{
    if (!polyline)
        return nullptr;
    return make<MKPolylineRenderer>(std::move(polyline));
}

void MKPolylineRenderer::createPath()
{
    const auto& points = m_polyline->points();
    if (points.size() < 2) {
        setPath(nullptr);
        return;
    }
    auto path = CGPathCreateMutable();
    auto first = pointForMapPoint(points[0]);
    CGPathMoveToPoint(path, nullptr, first.x, first.y);
    for (size_t i = 1; i < points.size(); ++i) {
        auto p = pointForMapPoint(points[i]);
        CGPathAddLineToPoint(path, nullptr, p.x, p.y);
    }
    setPath(path);
}

void MKPolylineRenderer::drawMapRect(MKMapRect, MKZoomScale zoomScale, const CGContextRef& context)
{
    strokePath(path(), context, zoomScale);
}

VX_REGISTER_CLASS(MKPolylineRenderer);
