#include "uikit/UIStepper.h"

#include "foundation/NSException.h"
#include "graphics/UIColor.h"
#include "uikit/UIKitDrawing.h"
#include "uikit/UITouch.h"

#include <algorithm>
#include <cmath>

VX_REGISTER_CLASS(UIStepper);

Ref<UIStepper> UIStepper::initWithFrame(CGRect frame)
{
    return makeView<UIStepper>(frame);
}

void UIStepper::setFrame(CGRect frame)
{
    UIControl::setFrame(CGRectMake(frame.origin.x, frame.origin.y, 94, 29));
}

void UIStepper::setValue(double value)
{
    m_value = std::clamp(value, m_minimum, m_maximum);
}

void UIStepper::setMinimumValue(double minimum)
{
    if (minimum >= m_maximum)
        NSException::raise(NSInvalidArgumentException, "minimumValue must be less than maximumValue");
    m_minimum = minimum;
    m_value = std::max(m_value, m_minimum);
}

void UIStepper::setMaximumValue(double maximum)
{
    if (maximum <= m_minimum)
        NSException::raise(NSInvalidArgumentException, "maximumValue must be greater than minimumValue");
    m_maximum = maximum;
    m_value = std::min(m_value, m_maximum);
}

void UIStepper::setStepValue(double step)
{
    if (!(step > 0))
        NSException::raise(NSInvalidArgumentException, "stepValue must be greater than 0");
    m_step = step;
}

void UIStepper::step(int direction, const Ref<UIEvent>& event)
{
    double next = m_value + direction * m_step;
    if (next > m_maximum)
        next = m_wraps ? m_minimum : m_maximum;
    else if (next < m_minimum)
        next = m_wraps ? m_maximum : m_minimum;
    if (next == m_value)
        return;
    m_value = next;
    setNeedsDisplay();
    sendActions(UIControlEventValueChanged, event);
}

void UIStepper::endTrackingWithTouchWithEvent(const Ref<UITouch>& touch, const Ref<UIEvent>& event)
{
    UIControl::endTrackingWithTouchWithEvent(touch, event);
    if (!touch || !isTouchInside())
        return;
    CGPoint point = touch->locationInView(std::static_pointer_cast<UIView>(shared_from_this()));
    step(point.x < bounds().size.width / 2 ? -1 : 1, event);
}

void UIStepper::drawRect(CGRect)
{
    CGRect b = bounds();
    auto tint = tintColor() ? tintColor() : UIColor::blueColor();
    auto faded = tint->colorWithAlphaComponent(0.3f);
    auto frameColor = isEnabled() ? tint : faded;
    UIKitDrawing::strokeRoundedRect(b, 4, 1, frameColor);
    CGFloat mid = std::round(b.size.width / 2);
    UIKitDrawing::strokeLine(CGPointMake(mid, 0), CGPointMake(mid, b.size.height), 1, frameColor);
    bool canDecrease = isEnabled() && (m_wraps || m_value > m_minimum);
    bool canIncrease = isEnabled() && (m_wraps || m_value < m_maximum);
    CGFloat cy = b.size.height / 2;
    CGFloat left = mid / 2, right = mid + mid / 2;
    UIKitDrawing::strokeLine(CGPointMake(left - 6, cy), CGPointMake(left + 6, cy), 1.5f, canDecrease ? tint : faded);
    auto plus = canIncrease ? tint : faded;
    UIKitDrawing::strokeLine(CGPointMake(right - 6, cy), CGPointMake(right + 6, cy), 1.5f, plus);
    UIKitDrawing::strokeLine(CGPointMake(right, cy - 6), CGPointMake(right, cy + 6), 1.5f, plus);
}
