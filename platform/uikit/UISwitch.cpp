#include "UISwitch.h"

VX_REGISTER_CLASS(UISwitch);

Ref<UISwitch> UISwitch::initWithFrame(CGRect frame)
{
    return makeView<UISwitch>(frame);
}

void UISwitch::setFrame(CGRect frame)
{
    // The switch keeps its own size wherever it is put.
    UIControl::setFrame(CGRectMake(frame.origin.x, frame.origin.y, 51, 31));
}

void UISwitch::setOnAnimated(bool on, bool)
{
    m_on = on;
    setNeedsDisplay();
}

void UISwitch::endTrackingWithTouchWithEvent(const Ref<UITouch>& touch, const Ref<UIEvent>& event)
{
    UIControl::endTrackingWithTouchWithEvent(touch, event);
    if (!isTouchInside())
        return;
    m_on = !m_on;
    setNeedsDisplay();
    sendActions(UIControlEventValueChanged, event);
}
