#pragma once

#include "uikit/UITwoTouchGestureRecognizer.h"

// Two fingers turning about each other. The rotation, in radians, is how far the line from the
// first touch to the second has turned since they went down, clockwise on the screen positive,
// and keeps counting past a half turn. The gesture begins once it has turned 0.1 radians, changes
// with every move and ends when fewer than two touches remain (it fails when all lift first). The
// velocity is radians per second over the last move. A finger replacing one of the pair
// continues the rotation from where it was. Continuous.
class UIRotationGestureRecognizer : public UITwoTouchGestureRecognizer {
    VX_OBJECT(UIRotationGestureRecognizer, UITwoTouchGestureRecognizer)
public:
    explicit UIRotationGestureRecognizer(Passkey key)
        : UITwoTouchGestureRecognizer(key)
    {
    }
    static Ref<UIRotationGestureRecognizer> init() { return make<UIRotationGestureRecognizer>(); }

    CGFloat rotation() const { return m_rotation; }
    // Later moves turn from this value (handlers often set it back to 0).
    void setRotation(CGFloat rotation) { m_rotation = rotation; }
    CGFloat velocity() const { return m_velocity; }

    void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void reset() override;

private:
    // The angle of the line from the first touch down to the second; nullopt with fewer.
    std::optional<double> angle() const;
    void pairChanged() override;
    void pairRestarted() override;

    CGFloat m_rotation { 0 };
    CGFloat m_velocity { 0 };
    // Turned since the fingers went down, for the threshold (setRotation does not change it).
    double m_turned { 0 };
    double m_lastAngle { 0 };
};
