#pragma once

#include "mapkit/MKShape.h"

// A plain annotation at a settable (observable) coordinate.
class MKPointAnnotation : public MKShape {
    VX_OBJECT(MKPointAnnotation, MKShape)
public:
    explicit MKPointAnnotation(Passkey key)
        : MKShape(key)
    {
    }
    static Ref<MKPointAnnotation> init() { return make<MKPointAnnotation>(); }

    CLLocationCoordinate2D coordinate() const override { return m_coordinate; }
    void setCoordinate(CLLocationCoordinate2D coordinate) override
    {
        setValueNotifying("coordinate", m_coordinate, coordinate);
    }

private:
    CLLocationCoordinate2D m_coordinate;
};
