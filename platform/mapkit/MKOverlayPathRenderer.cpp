#include "mapkit/MKOverlayPathRenderer.h"

Ref<UIColor> MKOverlayPathRenderer::fillColor() const
{
    std::lock_guard guard(m_styleLock);
    return m_fillColor;
}
void MKOverlayPathRenderer::setFillColor(Ref<UIColor> color)
{
    {
        std::lock_guard guard(m_styleLock);
        m_fillColor = std::move(color);
    }
    setNeedsDisplay();
}
Ref<UIColor> MKOverlayPathRenderer::strokeColor() const
{
    std::lock_guard guard(m_styleLock);
    return m_strokeColor;
}
void MKOverlayPathRenderer::setStrokeColor(Ref<UIColor> color)
{
    {
        std::lock_guard guard(m_styleLock);
        m_strokeColor = std::move(color);
    }
    setNeedsDisplay();
}
CGFloat MKOverlayPathRenderer::lineWidth() const
{
    std::lock_guard guard(m_styleLock);
    return m_lineWidth;
}
void MKOverlayPathRenderer::setLineWidth(CGFloat width)
{
    {
        std::lock_guard guard(m_styleLock);
        m_lineWidth = width;
    }
    setNeedsDisplay();
}
CGLineJoin MKOverlayPathRenderer::lineJoin() const
{
    std::lock_guard guard(m_styleLock);
    return m_lineJoin;
}
void MKOverlayPathRenderer::setLineJoin(CGLineJoin join)
{
    {
        std::lock_guard guard(m_styleLock);
        m_lineJoin = join;
    }
    setNeedsDisplay();
}
CGLineCap MKOverlayPathRenderer::lineCap() const
{
    std::lock_guard guard(m_styleLock);
    return m_lineCap;
}
void MKOverlayPathRenderer::setLineCap(CGLineCap cap)
{
    {
        std::lock_guard guard(m_styleLock);
        m_lineCap = cap;
    }
    setNeedsDisplay();
}
CGFloat MKOverlayPathRenderer::miterLimit() const
{
    std::lock_guard guard(m_styleLock);
    return m_miterLimit;
}
void MKOverlayPathRenderer::setMiterLimit(CGFloat limit)
{
    {
        std::lock_guard guard(m_styleLock);
        m_miterLimit = limit;
    }
    setNeedsDisplay();
}
CGFloat MKOverlayPathRenderer::lineDashPhase() const
{
    std::lock_guard guard(m_styleLock);
    return m_lineDashPhase;
}
void MKOverlayPathRenderer::setLineDashPhase(CGFloat phase)
{
    {
        std::lock_guard guard(m_styleLock);
        m_lineDashPhase = phase;
    }
    setNeedsDisplay();
}
std::vector<CGFloat> MKOverlayPathRenderer::lineDashPattern() const
{
    std::lock_guard guard(m_styleLock);
    return m_lineDashPattern;
}
void MKOverlayPathRenderer::setLineDashPattern(std::vector<CGFloat> pattern)
{
    {
        std::lock_guard guard(m_styleLock);
        m_lineDashPattern = std::move(pattern);
    }
    setNeedsDisplay();
}

CGPathRef MKOverlayPathRenderer::path()
{
    std::lock_guard guard(m_pathLock);
    if (!m_pathMade) {
        m_pathMade = true; // before createPath, which may call setPath
        createPath();
    }
    return m_path;
}

void MKOverlayPathRenderer::setPath(CGPathRef path)
{
    std::lock_guard guard(m_pathLock);
    m_path = std::move(path);
    m_pathMade = true;
}

void MKOverlayPathRenderer::invalidatePath()
{
    {
        std::lock_guard guard(m_pathLock);
        m_path = nullptr;
        m_pathMade = false;
    }
    setNeedsDisplay();
}

void MKOverlayPathRenderer::applyStrokePropertiesToContext(const CGContextRef& context, MKZoomScale zoomScale) const
{
    std::lock_guard guard(m_styleLock);
    double toUser = zoomScale > 0 ? 1.0 / zoomScale : 1.0;
    if (m_strokeColor)
        CGContextSetStrokeColorWithColor(context, m_strokeColor->CGColor());
    CGContextSetLineWidth(context, static_cast<CGFloat>(m_lineWidth * toUser));
    CGContextSetLineJoin(context, m_lineJoin);
    CGContextSetLineCap(context, m_lineCap);
    CGContextSetMiterLimit(context, m_miterLimit);
    std::vector<CGFloat> dashes;
    for (auto length : m_lineDashPattern)
        dashes.push_back(static_cast<CGFloat>(length * toUser));
    CGContextSetLineDash(context, static_cast<CGFloat>(m_lineDashPhase * toUser),
        dashes.empty() ? nullptr : dashes.data(), dashes.size());
}

void MKOverlayPathRenderer::applyFillPropertiesToContext(const CGContextRef& context, MKZoomScale) const
{
    std::lock_guard guard(m_styleLock);
    if (m_fillColor)
        CGContextSetFillColorWithColor(context, m_fillColor->CGColor());
}

void MKOverlayPathRenderer::strokePath(const CGPathRef& path, const CGContextRef& context, MKZoomScale zoomScale) const
{
    if (!path || !strokeColor())
        return;
    CGContextSaveGState(context);
    applyStrokePropertiesToContext(context, zoomScale);
    CGContextBeginPath(context);
    CGContextAddPath(context, path);
    CGContextStrokePath(context);
    CGContextRestoreGState(context);
}

void MKOverlayPathRenderer::fillPath(const CGPathRef& path, const CGContextRef& context, MKZoomScale zoomScale) const
{
    if (!path || !fillColor())
        return;
    CGContextSaveGState(context);
    applyFillPropertiesToContext(context, zoomScale);
    CGContextBeginPath(context);
    CGContextAddPath(context, path);
    CGContextDrawPath(context, fillMode());
    CGContextRestoreGState(context);
}

void MKOverlayPathRenderer::drawMapRect(MKMapRect, MKZoomScale zoomScale, const CGContextRef& context)
{
    auto shape = path();
    if (!shape)
        return;
    fillPath(shape, context, zoomScale);
    strokePath(shape, context, zoomScale);
}

VX_REGISTER_CLASS(MKOverlayPathRenderer);
