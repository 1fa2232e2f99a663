#include "uikit/UISegmentedControl.h"

#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "uikit/UIKitDrawing.h"
#include "uikit/UITouch.h"

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
    auto spans = segmentSpans();
    for (int32_t i = 0; i < numberOfSegments(); ++i) {
        if (point.x < spans[size_t(i)].first + spans[size_t(i)].second)
            return i;
    }
    return numberOfSegments() - 1;
}

std::vector<std::pair<CGFloat, CGFloat>> UISegmentedControl::segmentSpans() const
{
    CGFloat fixed = 0;
    int32_t shared = 0;
    for (const auto& segment : m_segments) {
        fixed += segment.width;
        shared += segment.width == 0;
    }
    CGFloat share = shared ? std::max<CGFloat>(0, bounds().size.width - fixed) / CGFloat(shared) : 0;
    std::vector<std::pair<CGFloat, CGFloat>> spans;
    CGFloat x = 0;
    for (const auto& segment : m_segments) {
        CGFloat width = segment.width > 0 ? segment.width : share;
        spans.push_back({ x, width });
        x += width;
    }
    return spans;
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

void UISegmentedControl::drawRect(CGRect)
{
    CGRect b = bounds();
    auto tint = tintColor() ? tintColor() : UIColor::blueColor();
    if (!isEnabled())
        tint = tint->colorWithAlphaComponent(0.4f);
    auto font = UIFont::systemFontOfSize(13);
    auto spans = segmentSpans();
    for (size_t i = 0; i < spans.size(); ++i) {
        auto [x, width] = spans[i];
        CGRect rect = CGRectMake(x, 0, width, b.size.height);
        bool selected = int32_t(i) == m_selected;
        if (selected)
            UIKitDrawing::fillRoundedRect(rect, i == 0 || i + 1 == spans.size() ? 4 : 0, tint);
        if (i > 0)
            UIKitDrawing::strokeLine(CGPointMake(x, 0), CGPointMake(x, b.size.height), 1, tint);
        const Segment& segment = m_segments[i];
        if (segment.image) {
            CGSize size = segment.image->size();
            segment.image->drawInRect(
                CGRectMake(x + (width - size.width) / 2, (b.size.height - size.height) / 2, size.width, size.height));
            continue;
        }
        auto color = selected ? UIColor::whiteColor() : segment.enabled ? tint : UIColor::lightGrayColor();
        color->set();
        CGSize text = NSString_Drawing::sizeWithFont(segment.title, font);
        NSString_Drawing::drawInRectWithFont(segment.title,
            CGRectMake(x + 2, (b.size.height - text.height) / 2, std::max<CGFloat>(0, width - 4), text.height), font,
            NSLineBreakByTruncatingTail, NSTextAlignmentCenter);
    }
    UIKitDrawing::strokeRoundedRect(b, 4, 1, tint);
}
