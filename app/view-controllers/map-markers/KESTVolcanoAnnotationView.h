#pragma once

#include "mapkit/MKAnnotationView.h"

// The map view of a volcano: a 25-point square showing the "volcano" symbol, centred and not
// clipped. Main thread only.
class KESTVolcanoAnnotationView : public MKAnnotationView {
    VX_OBJECT(KESTVolcanoAnnotationView, MKAnnotationView)
public:
    explicit KESTVolcanoAnnotationView(Passkey key)
        : MKAnnotationView(key)
    {
    }
    static Ref<KESTVolcanoAnnotationView> initWithAnnotation(
        const Ref<MKAnnotation>& annotation, std::optional<std::string> reuseIdentifier);

    void prepareForReuse() override;
    // The map's setter, then a redraw.
    void setAnnotation(const Ref<MKAnnotation>& annotation);
    void drawRect(CGRect rect) override;
};
