#pragma once

#include "uikit/UIControl.h"

// An on/off switch of fixed size (51 x 31). A touch that lifts inside flips it and sends
// value-changed; setting it in code sends nothing. Main thread only.
class UISwitch : public UIControl {
    VX_OBJECT(UISwitch, UIControl)
public:
    explicit UISwitch(Passkey key)
        : UIControl(key)
    {
    }
    static Ref<UISwitch> initWithFrame(CGRect frame);
    static Ref<UISwitch> init() { return initWithFrame(CGRectZero); }

    bool isOn() const { return m_on; }
    void setOn(bool on) { setOnAnimated(on, false); }
    void setOnAnimated(bool on, bool animated);
    const Ref<UIColor>& onTintColor() const { return m_onTintColor; }
    void setOnTintColor(const Ref<UIColor>& color)
    {
        m_onTintColor = color;
        setNeedsDisplay();
    }
    const Ref<UIColor>& thumbTintColor() const { return m_thumbTintColor; }
    void setThumbTintColor(const Ref<UIColor>& color)
    {
        m_thumbTintColor = color;
        setNeedsDisplay();
    }

    void setFrame(CGRect frame) override;
    CGSize sizeThatFits(CGSize) const override { return CGSizeMake(51, 31); }
    // A rounded track, filled with the on tint when on, and a round thumb at the end it is set to.
    void drawRect(CGRect rect) override;
    void endTrackingWithTouchWithEvent(const Ref<UITouch>& touch, const Ref<UIEvent>& event) override;

private:
    Ref<UIColor> m_onTintColor;
    Ref<UIColor> m_thumbTintColor;
    bool m_on { false };
};
