#pragma once

#include "mapkit/MKAnnotationView.h"

// The map view of an airport: a 25-point square showing the large symbol for a major airport
// and the small one otherwise, centred (and not clipped when the symbol is larger).
// Main thread only.
class KESTAirportAnnotationView : public MKAnnotationView {
    VX_OBJECT(KESTAirportAnnotationView, MKAnnotationView)
public:
    explicit KESTAirportAnnotationView(Passkey key)
        : MKAnnotationView(key)
    {
    }
    static Ref<KESTAirportAnnotationView> initWithAnnotation(
        const Ref<MKAnnotation>& annotation, std::optional<std::string> reuseIdentifier);

    void prepareForReuse() override;
    // The map's setter, then a redraw (a reused view may switch symbol).
    void setAnnotation(const Ref<MKAnnotation>& annotation);
    void drawRect(CGRect rect) override;
};
