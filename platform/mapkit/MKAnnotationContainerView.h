#pragma once

#include "uikit/UIView.h"

class MKMapView;

// The layer between the map and its annotation views. It covers the map, so a touch on an empty
// spot of the map lands on it (a tap there clears the selection).
class MKAnnotationContainerView : public UIView {
    VX_OBJECT(MKAnnotationContainerView, UIView)
public:
    explicit MKAnnotationContainerView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<MKAnnotationContainerView> initWithFrame(CGRect frame)
    {
        return makeView<MKAnnotationContainerView>(frame);
    }

    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void setMapView(const Ref<MKMapView>& map) { m_map = map; }

private:
    Weak<MKMapView> m_map;
};
