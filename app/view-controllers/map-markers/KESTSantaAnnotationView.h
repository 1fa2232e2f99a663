#pragma once

#include "mapkit/MKAnnotationView.h"

// The map view of the seasonal marker: a 69-point square that draws its plane's own seasonal
// image, turned to the plane's heading step. It has no label, and it redraws only when the map
// screen redraws every visible marker. Main thread only.
class KESTSantaAnnotationView : public MKAnnotationView {
    VX_OBJECT(KESTSantaAnnotationView, MKAnnotationView)
public:
    explicit KESTSantaAnnotationView(Passkey key)
        : MKAnnotationView(key)
    {
    }
    // Frame (0, 0, 69, 69) and a clear background.
    static Ref<KESTSantaAnnotationView> initWithAnnotation(
        const Ref<MKAnnotation>& annotation, std::optional<std::string> reuseIdentifier);
    static Ref<KESTSantaAnnotationView> initWithFrame(CGRect frame);

    void drawRect(CGRect rect) override;
};
