#pragma once

// What the files of MKMapView share. Only MKMapView's own sources include this header.

#include "mapkit/MKMapView.h"
#include "uikit/UIGestureRecognizer.h"

#include <cmath>

namespace MKMapViewInternal {

inline double radians(double degrees)
{
    return degrees * M_PI / 180.0;
}

} // namespace MKMapViewInternal

// Keeps the map's own gestures off touches that drag an annotation view, and lets dragging,
// pinching and twisting the map go on together.
class MKMapView::GestureGate : public UIGestureRecognizerDelegate {
public:
    explicit GestureGate(Weak<MKMapView> map);
    bool gestureRecognizerShouldReceiveTouch(const Ref<UIGestureRecognizer>&, const Ref<UITouch>& touch) override;
    bool gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
        const Ref<UIGestureRecognizer>& a, const Ref<UIGestureRecognizer>& b) override;

private:
    Weak<MKMapView> m_map;
};
