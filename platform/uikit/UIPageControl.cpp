#include "uikit/UIPageControl.h"

#include "graphics/UIColor.h"
#include "uikit/UIKitDrawing.h"
#include "uikit/UITouch.h"

#include <algorithm>

VX_REGISTER_CLASS(UIPageControl);

void UIPageControl::setNumberOfPages(int32_t pages)
{
    m_pages = std::max(0, pages);
    m_current = std::clamp(m_current, 0, std::max(0, m_pages - 1));
    updateHidden();
    setNeedsDisplay();
}

void UIPageControl::setCurrentPage(int32_t page)
{
    m_current = std::clamp(page, 0, std::max(0, m_pages - 1));
    setNeedsDisplay();
}

void UIPageControl::setHidesForSinglePage(bool v)
{
    m_hidesForSinglePage = v;
    updateHidden();
}

void UIPageControl::updateHidden()
{
    if (m_hidesForSinglePage)
        setHidden(m_pages <= 1);
}

void UIPageControl::endTrackingWithTouchWithEvent(const Ref<UITouch>& touch, const Ref<UIEvent>& event)
{
    UIControl::endTrackingWithTouchWithEvent(touch, event);
    if (!touch || !isTouchInside() || m_pages == 0)
        return;
    CGPoint point = touch->locationInView(std::static_pointer_cast<UIView>(shared_from_this()));
    // Where the current dot sits, the dots being centred in the bounds.
    CGFloat start = (bounds().size.width - sizeForNumberOfPages(m_pages).width) / 2;
    CGFloat dot = start + 16.0f * m_current + 8;
    int32_t next = std::clamp(m_current + (point.x > dot ? 1 : -1), 0, m_pages - 1);
    if (next == m_current)
        return;
    m_current = next;
    setNeedsDisplay();
    sendActions(UIControlEventValueChanged, event);
}

void UIPageControl::drawRect(CGRect)
{
    CGRect b = bounds();
    CGFloat start = (b.size.width - sizeForNumberOfPages(m_pages).width) / 2;
    auto others = m_tint ? m_tint : UIColor::colorWithWhiteAlpha(1, 0.5f);
    auto current = m_currentTint ? m_currentTint : UIColor::whiteColor();
    for (int32_t page = 0; page < m_pages; ++page) {
        CGFloat cx = start + 16.0f * CGFloat(page) + 8;
        UIKitDrawing::fillEllipse(
            CGRectMake(cx - 3.5f, b.size.height / 2 - 3.5f, 7, 7), page == m_current ? current : others);
    }
}
