#pragma once

#include "uikit/UIView.h"

// One value of a spark line and where it is drawn; a record only, never shown. Main thread only.
class KESTSparkLinePoint : public UIView {
    VX_OBJECT(KESTSparkLinePoint, UIView)
public:
    explicit KESTSparkLinePoint(Passkey key)
        : UIView(key)
    {
    }
    static Ref<KESTSparkLinePoint> initWithValue(float value);

    float value() const { return m_value; }
    void setValue(float value) { m_value = value; }
    CGPoint position() const { return m_position; }
    void setPosition(CGPoint position) { m_position = position; }

private:
    float m_value { 0 };
    CGPoint m_position { 0, 0 };
};
