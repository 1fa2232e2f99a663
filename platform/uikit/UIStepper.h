#pragma once

#include "uikit/UIControl.h"

// A minus/plus pair (94 x 29): a touch lifting on the left half steps the value down, on the
// right half up, by stepValue, staying within the limits (or wrapping round when `wraps`);
// value-changed is sent when the value changes. Limits and step that make no sense (minimum
// not below maximum, a step of zero or less) raise NSInvalidArgumentException. Main thread only.
class UIStepper : public UIControl {
    VX_OBJECT(UIStepper, UIControl)
public:
    explicit UIStepper(Passkey key)
        : UIControl(key)
    {
    }
    static Ref<UIStepper> initWithFrame(CGRect frame);

    double value() const { return m_value; }
    // Clamped to the limits.
    void setValue(double value);
    double minimumValue() const { return m_minimum; }
    void setMinimumValue(double minimum);
    double maximumValue() const { return m_maximum; }
    void setMaximumValue(double maximum);
    double stepValue() const { return m_step; }
    void setStepValue(double step);
    bool wraps() const { return m_wraps; }
    void setWraps(bool v) { m_wraps = v; }
    bool isContinuous() const { return m_continuous; }
    void setContinuous(bool v) { m_continuous = v; }
    bool autorepeat() const { return m_autorepeat; }
    void setAutorepeat(bool v) { m_autorepeat = v; }

    void setFrame(CGRect frame) override;
    void endTrackingWithTouchWithEvent(const Ref<UITouch>& touch, const Ref<UIEvent>& event) override;

    // Two bordered halves in the tint colour, a minus and a plus; a half that cannot step (at
    // the limit, without wrapping) is faded.
    void drawRect(CGRect rect) override;

private:
    void step(int direction, const Ref<UIEvent>& event);

    double m_value { 0 };
    double m_minimum { 0 };
    double m_maximum { 100 };
    double m_step { 1 };
    bool m_wraps { false };
    bool m_continuous { true };
    bool m_autorepeat { true };
};
