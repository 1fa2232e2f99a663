#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGContext.h"
#include "graphics/CGGeometry.h"
#include "mapkit/MKGeometry.h"
#include "mapkit/MKOverlay.h"

#include <functional>
#include <mutex>

// Draws one overlay. Its own coordinate space ("renderer points") is map points measured from the
// overlay's bounding rect origin. drawMapRect is called with a context whose user space is
// renderer points, already clipped to the map rect, at `zoomScale` screen points per map point.
// Any thread: maps call canDrawMapRect/drawMapRect from rendering threads, several at a time.
class MKOverlayRenderer : public NSObject {
    VX_OBJECT(MKOverlayRenderer, NSObject)
public:
    MKOverlayRenderer(Passkey, Ref<MKOverlay> overlay);
    static Ref<MKOverlayRenderer> initWithOverlay(Ref<MKOverlay> overlay);

    const Ref<MKOverlay>& overlay() const { return m_overlay; }
    CGFloat alpha() const;
    void setAlpha(CGFloat alpha);
    CGFloat contentScaleFactor() const;
    void setContentScaleFactor(CGFloat scale);

    CGPoint pointForMapPoint(MKMapPoint point) const;
    MKMapPoint mapPointForPoint(CGPoint point) const;
    CGRect rectForMapRect(MKMapRect rect) const;
    MKMapRect mapRectForRect(CGRect rect) const;

    // Whether drawMapRect can draw now; false asks the map to call again after setNeedsDisplay.
    virtual bool canDrawMapRect(MKMapRect mapRect, MKZoomScale zoomScale);
    virtual void drawMapRect(MKMapRect mapRect, MKZoomScale zoomScale, const CGContextRef& context);

    // Asks the map to redraw the overlay (all of it, or a rect at one or every zoom scale).
    void setNeedsDisplay();
    void setNeedsDisplayInMapRect(MKMapRect mapRect);
    void setNeedsDisplayInMapRect(MKMapRect mapRect, MKZoomScale zoomScale);

    // The seam the map uses to hear redraw requests: (rect, zoom scale or 0 for every scale).
    using DisplayHandler = std::function<void(MKMapRect, MKZoomScale)>;
    void setDisplayHandler(DisplayHandler handler);

    // Draws the part of the overlay inside `mapRect` into a context whose user space has the
    // map rect's origin at (0, 0) and `zoomScale` units per map point (a map tile), with the
    // renderer's alpha. Does nothing when canDrawMapRect says no. Returns whether it drew.
    bool drawMapRectIntoTileContext(MKMapRect mapRect, MKZoomScale zoomScale, const CGContextRef& context);

private:
    Ref<MKOverlay> m_overlay;
    MKMapPoint m_origin;
    mutable std::mutex m_lock;
    CGFloat m_alpha { 1 };
    CGFloat m_contentScaleFactor { 1 };
    DisplayHandler m_displayHandler;
};
