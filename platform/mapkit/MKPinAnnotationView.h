#pragma once

#include "mapkit/MKAnnotationView.h"

enum MKPinAnnotationColor : uint32_t {
    MKPinAnnotationColorRed = 0,
    MKPinAnnotationColorGreen = 1,
    MKPinAnnotationColorPurple = 2,
};

// The map's default annotation view: a drawn pin whose point is the annotation's.
class MKPinAnnotationView : public MKAnnotationView {
    VX_OBJECT(MKPinAnnotationView, MKAnnotationView)
public:
    explicit MKPinAnnotationView(Passkey key)
        : MKAnnotationView(key)
    {
    }
    static Ref<MKPinAnnotationView> initWithAnnotation(
        const Ref<MKAnnotation>& annotation, std::optional<std::string> reuseIdentifier);

    MKPinAnnotationColor pinColor() const { return m_pinColor; }
    void setPinColor(MKPinAnnotationColor color);
    bool animatesDrop() const { return m_animatesDrop; }
    void setAnimatesDrop(bool animates) { m_animatesDrop = animates; }

    void drawRect(CGRect rect) override;

private:
    MKPinAnnotationColor m_pinColor { MKPinAnnotationColorRed };
    bool m_animatesDrop { false };
};
