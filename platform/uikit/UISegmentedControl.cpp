#include "UISegmentedControl.h"

#include "UIImage.h"
#include "UITouch.h"

#include <algorithm>

VX_REGISTER_CLASS(UISegmentedControl);

Ref<UISegmentedControl> UISegmentedControl::initWithItems(const std::vector<std::string>& titles)
{
    auto control = makeView<UISegmentedControl>(CGRectMake(0, 0, std::max<CGFloat>(1, 70.0f * titles.size()), 29));
    for (const auto& title : titles)
        control->m_segments.push_back({ title, nullptr, 0, true });
    return control;
}

std::string UISegmentedControl::titleForSegmentAtIndex(int32_t index) const
{
    return index >= 0 && index < numberOfSegments() ? m_segments[index].title : std::string();
}

void UISegmentedControl::setTitleForSegmentAtIndex(const std::string& title, int32_t index)
{
    if (index >= 0 && index < numberOfSegments()) {
        m_segments[index].title = title;
        m_segments[index].image = nullptr;
        setNeedsDisplay();
    }
}

Ref<UIImage> UISegmentedControl::imageForSegmentAtIndex(int32_t index) const
{
    return index >= 0 && index < numberOfSegments() ? m_segments[index].image : nullptr;
}

void UISegmentedControl::setImageForSegmentAtIndex(const Ref<UIImage>& image, int32_t index)
{
    if (index >= 0 && index < numberOfSegments()) {
        m_segments[index].image = image;
        m_segments[index].title.clear();
        setNeedsDisplay();
    }
}

void UISegmentedControl::insertSegmentWithTitleAtIndexAnimated(const std::string& title, int32_t index, bool)
{
    index = std::clamp(index, 0, numberOfSegments());
    m_segments.insert(m_segments.begin() + index, Segment { title, nullptr, 0, true });
    // The selected segment keeps its selection.
    if (m_selected >= index)
        ++m_selected;
    setNeedsDisplay();
}

void UISegmentedControl::removeSegmentAtIndexAnimated(int32_t index, bool)
{
    if (index < 0 || index >= numberOfSegments())
        return;
    m_segments.erase(m_segments.begin() + index);
    if (m_selected == index)
        m_selected = UISegmentedControlNoSegment;
    else if (m_selected > index)
        --m_selected;
    setNeedsDisplay();
}

void UISegmentedControl::removeAllSegments()
{
    m_segments.clear();
    m_selected = UISegmentedControlNoSegment;
    setNeedsDisplay();
}

bool UISegmentedControl::isEnabledForSegmentAtIndex(int32_t index) const
{
    return index >= 0 && index < numberOfSegments() && m_segments[index].enabled;
}

void UISegmentedControl::setEnabledForSegmentAtIndex(bool enabled, int32_t index)
{
    if (index >= 0 && index < numberOfSegments())
        m_segments[index].enabled = enabled;
}

CGFloat UISegmentedControl::widthForSegmentAtIndex(int32_t index) const
{
    return index >= 0 && index < numberOfSegments() ? m_segments[index].width : 0;
}

void UISegmentedControl::setWidthForSegmentAtIndex(CGFloat width, int32_t index)
{
    if (index >= 0 && index < numberOfSegments())
        m_segments[index].width = std::max<CGFloat>(0, width);
}

void UISegmentedControl::setSelectedSegmentIndex(int32_t index)
{
    if (index < UISegmentedControlNoSegment || index >= numberOfSegments())
        return;
    m_selected = index;
    setNeedsDisplay();
}

int32_t UISegmentedControl::segmentIndexAtPoint(CGPoint point) const
{
    CGRect b = bounds();
    if (m_segments.empty() || point.x < 0 || point.y < 0 || point.x >= b.size.width || point.y >= b.size.height)
        return UISegmentedControlNoSegment;
    CGFloat fixed = 0;
    int32_t shared = 0;
    for (const auto& segment : m_segments) {
        fixed += segment.width;
        shared += segment.width == 0;
    }
    CGFloat share = shared ? std::max<CGFloat>(0, b.size.width - fixed) / shared : 0;
    CGFloat x = 0;
    for (int32_t i = 0; i < numberOfSegments(); ++i) {
        x += m_segments[i].width > 0 ? m_segments[i].width : share;
        if (point.x < x)
            return i;
    }
    return numberOfSegments() - 1;
}

void UISegmentedControl::endTrackingWithTouchWithEvent(const Ref<UITouch>& touch, const Ref<UIEvent>& event)
{
    UIControl::endTrackingWithTouchWithEvent(touch, event);
    if (!touch)
        return;
    int32_t index = segmentIndexAtPoint(touch->locationInView(std::static_pointer_cast<UIView>(shared_from_this())));
    if (index == UISegmentedControlNoSegment || !m_segments[index].enabled)
        return;
    if (m_momentary) {
        // The action reads the touched segment; nothing stays selected afterwards.
        m_selected = index;
        sendActions(UIControlEventValueChanged, event);
        m_selected = UISegmentedControlNoSegment;
        return;
    }
    if (index == m_selected)
        return;
    m_selected = index;
    setNeedsDisplay();
    sendActions(UIControlEventValueChanged, event);
}
