#include "uikit/UISwitch.h"

#include "graphics/UIColor.h"
#include "uikit/UIKitDrawing.h"

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

void UISwitch::drawRect(CGRect)
{
    CGRect track = CGRectMake(0, 0, 51, 31);
    if (m_on) {
        auto on = m_onTintColor ? m_onTintColor : UIColor::colorWithRedGreenBlueAlpha(0.3f, 0.85f, 0.39f, 1);
        UIKitDrawing::fillRoundedRect(track, 15.5f, isEnabled() ? on : on->colorWithAlphaComponent(0.5f));
    } else {
        UIKitDrawing::fillRoundedRect(track, 15.5f, UIColor::whiteColor());
        UIKitDrawing::strokeRoundedRect(track, 15.5f, 1.5f, UIColor::colorWithWhiteAlpha(0.9f, 1));
    }
    CGRect thumb = CGRectMake(m_on ? 22 : 2, 2, 27, 27);
    UIKitDrawing::fillEllipse(thumb, m_thumbTintColor ? m_thumbTintColor : UIColor::whiteColor());
    UIKitDrawing::strokeRoundedRect(thumb, 13.5f, 0.5f, UIColor::colorWithWhiteAlpha(0.7f, 1));
}
