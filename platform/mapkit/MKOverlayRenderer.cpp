#include "mapkit/MKOverlayRenderer.h"

#include "foundation/Value.h"

MKOverlayRenderer::MKOverlayRenderer(Passkey key, Ref<MKOverlay> overlay)
    : NSObject(key)
    , m_overlay(std::move(overlay))
{
    MKMapRect bounds = m_overlay ? m_overlay->boundingMapRect() : MKMapRectNull;
    m_origin = MKMapRectIsNull(bounds) ? MKMapPoint {} : bounds.origin;
}

Ref<MKOverlayRenderer> MKOverlayRenderer::initWithOverlay(Ref<MKOverlay> overlay)
{
    return make<MKOverlayRenderer>(std::move(overlay));
}

CGFloat MKOverlayRenderer::alpha() const
{
    std::lock_guard guard(m_lock);
    return m_alpha;
}

void MKOverlayRenderer::setAlpha(CGFloat alpha)
{
    {
        std::lock_guard guard(m_lock);
        m_alpha = alpha;
    }
    setNeedsDisplay();
}

CGFloat MKOverlayRenderer::contentScaleFactor() const
{
    std::lock_guard guard(m_lock);
    return m_contentScaleFactor;
}

void MKOverlayRenderer::setContentScaleFactor(CGFloat scale)
{
    std::lock_guard guard(m_lock);
    m_contentScaleFactor = scale;
}

CGPoint MKOverlayRenderer::pointForMapPoint(MKMapPoint p) const
{
    return CGPointMake(static_cast<CGFloat>(p.x - m_origin.x), static_cast<CGFloat>(p.y - m_origin.y));
}

MKMapPoint MKOverlayRenderer::mapPointForPoint(CGPoint p) const
{
    return { p.x + m_origin.x, p.y + m_origin.y };
}

CGRect MKOverlayRenderer::rectForMapRect(MKMapRect r) const
{
    if (MKMapRectIsNull(r))
        return CGRectNull;
    auto origin = pointForMapPoint(r.origin);
    return CGRectMake(origin.x, origin.y, static_cast<CGFloat>(r.size.width), static_cast<CGFloat>(r.size.height));
}

MKMapRect MKOverlayRenderer::mapRectForRect(CGRect r) const
{
    if (CGRectIsNull(r))
        return MKMapRectNull;
    auto origin = mapPointForPoint(r.origin);
    return { origin, { r.size.width, r.size.height } };
}

bool MKOverlayRenderer::canDrawMapRect(MKMapRect, MKZoomScale)
{
    return true;
}

void MKOverlayRenderer::drawMapRect(MKMapRect, MKZoomScale, const CGContextRef&) { }

void MKOverlayRenderer::setNeedsDisplay()
{
    setNeedsDisplayInMapRect(m_overlay ? m_overlay->boundingMapRect() : MKMapRectWorld, 0);
}

void MKOverlayRenderer::setNeedsDisplayInMapRect(MKMapRect mapRect)
{
    setNeedsDisplayInMapRect(mapRect, 0);
}

void MKOverlayRenderer::setNeedsDisplayInMapRect(MKMapRect mapRect, MKZoomScale zoomScale)
{
    DisplayHandler handler;
    {
        std::lock_guard guard(m_lock);
        handler = m_displayHandler;
    }
    if (handler)
        handler(mapRect, zoomScale);
}

void MKOverlayRenderer::setDisplayHandler(DisplayHandler handler)
{
    std::lock_guard guard(m_lock);
    m_displayHandler = std::move(handler);
}

bool MKOverlayRenderer::drawMapRectIntoTileContext(
    MKMapRect mapRect, MKZoomScale zoomScale, const CGContextRef& context)
{
    if (!context || MKMapRectIsEmpty(mapRect) || !(zoomScale > 0))
        return false;
    if (m_overlay && !m_overlay->intersectsMapRect(mapRect))
        return false;
    if (!canDrawMapRect(mapRect, zoomScale))
        return false;
    CGContextSaveGState(context);
    CGContextScaleCTM(context, static_cast<CGFloat>(zoomScale), static_cast<CGFloat>(zoomScale));
    CGContextTranslateCTM(context, static_cast<CGFloat>(m_origin.x - mapRect.origin.x),
        static_cast<CGFloat>(m_origin.y - mapRect.origin.y));
    CGContextClipToRect(context, rectForMapRect(mapRect));
    // The alpha applies to the overlay as a whole, so where its fill and stroke overlap they
    // do not show through each other.
    CGFloat opacity = alpha();
    if (opacity < 1) {
        CGContextSetAlpha(context, opacity);
        CGContextBeginTransparencyLayer(context, Value());
    }
    drawMapRect(mapRect, zoomScale, context);
    if (opacity < 1)
        CGContextEndTransparencyLayer(context);
    CGContextRestoreGState(context);
    return true;
}

VX_REGISTER_CLASS(MKOverlayRenderer);
