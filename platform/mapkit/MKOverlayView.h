#pragma once

#include "graphics/CGContext.h"
#include "mapkit/MKOverlay.h"
#include "uikit/UIView.h"

// The older way of drawing an overlay: a view the map asks for when its delegate gives no
// renderer. It draws like a renderer (map points from the overlay's bounding rect origin, at a
// zoom scale); the map calls drawMapRect for the visible part. Main thread only.
class MKOverlayView : public UIView {
    VX_OBJECT(MKOverlayView, UIView)
public:
    explicit MKOverlayView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<MKOverlayView> initWithOverlay(const Ref<MKOverlay>& overlay);

    const Ref<MKOverlay>& overlay() const { return m_overlay; }
    virtual bool canDrawMapRect(MKMapRect, MKZoomScale) { return true; }
    // Called with a context whose user space is map points from the overlay's bounding origin.
    virtual void drawMapRect(MKMapRect, MKZoomScale, const CGContextRef&) { }

protected:
    template <typename T> static Ref<T> makeOverlayView(const Ref<MKOverlay>& overlay)
    {
        auto view = makeView<T>(CGRectZero);
        view->m_overlay = overlay;
        return view;
    }

private:
    Ref<MKOverlay> m_overlay;
};
