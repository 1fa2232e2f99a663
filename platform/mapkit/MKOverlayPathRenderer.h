#pragma once

#include "graphics/CGPath.h"
#include "graphics/UIColor.h"
#include "mapkit/MKOverlayRenderer.h"

#include <vector>

// An overlay renderer that fills and strokes one path in renderer points. Line width and dash
// lengths are in screen points, so lines keep their width at every zoom scale. Nothing is filled
// or stroked while the colour is nil (the default). The path is made once, on first draw, by
// createPath; invalidatePath drops it. Any thread.
class MKOverlayPathRenderer : public MKOverlayRenderer {
    VX_OBJECT(MKOverlayPathRenderer, MKOverlayRenderer)
public:
    MKOverlayPathRenderer(Passkey key, Ref<MKOverlay> overlay)
        : MKOverlayRenderer(key, std::move(overlay))
    {
    }

    Ref<UIColor> fillColor() const;
    void setFillColor(Ref<UIColor> color);
    Ref<UIColor> strokeColor() const;
    void setStrokeColor(Ref<UIColor> color);
    CGFloat lineWidth() const;
    void setLineWidth(CGFloat width);
    CGLineJoin lineJoin() const;
    void setLineJoin(CGLineJoin join);
    CGLineCap lineCap() const;
    void setLineCap(CGLineCap cap);
    CGFloat miterLimit() const;
    void setMiterLimit(CGFloat limit);
    CGFloat lineDashPhase() const;
    void setLineDashPhase(CGFloat phase);
    std::vector<CGFloat> lineDashPattern() const;
    void setLineDashPattern(std::vector<CGFloat> pattern);

    CGPathRef path();
    void setPath(CGPathRef path);
    virtual void createPath() { }
    void invalidatePath();

    // Set the context's stroke or fill state for this renderer at a zoom scale.
    void applyStrokePropertiesToContext(const CGContextRef& context, MKZoomScale zoomScale) const;
    void applyFillPropertiesToContext(const CGContextRef& context, MKZoomScale zoomScale) const;
    void strokePath(const CGPathRef& path, const CGContextRef& context, MKZoomScale zoomScale) const;
    void fillPath(const CGPathRef& path, const CGContextRef& context, MKZoomScale zoomScale) const;

    void drawMapRect(MKMapRect mapRect, MKZoomScale zoomScale, const CGContextRef& context) override;

protected:
    // Fill rule for fillPath: even-odd, so interior rings of polygons are holes.
    virtual CGPathDrawingMode fillMode() const { return kCGPathEOFill; }

private:
    mutable std::mutex m_styleLock;
    Ref<UIColor> m_fillColor;
    Ref<UIColor> m_strokeColor;
    CGFloat m_lineWidth { 0 };
    CGLineJoin m_lineJoin { kCGLineJoinRound };
    CGLineCap m_lineCap { kCGLineCapRound };
    CGFloat m_miterLimit { 10 };
    CGFloat m_lineDashPhase { 0 };
    std::vector<CGFloat> m_lineDashPattern;
    std::recursive_mutex m_pathLock;
    CGPathRef m_path;
    bool m_pathMade { false };
};
