#include "uikit/UITableViewIndex.h"

#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "uikit/UITouch.h"

#include <algorithm>
#include <cmath>

VX_REGISTER_CLASS(UITableViewIndex);

void UITableViewIndex::setTitles(std::vector<std::string> titles)
{
    m_titles = std::move(titles);
    setNeedsDisplay();
}

void UITableViewIndex::setColors(Ref<UIColor> text, Ref<UIColor> background, Ref<UIColor> trackingBackground)
{
    m_textColor = std::move(text);
    m_backgroundColor = std::move(background);
    m_trackingBackgroundColor = std::move(trackingBackground);
    setNeedsDisplay();
}

CGFloat UITableViewIndex::entriesTop() const
{
    return std::max<CGFloat>(0, (bounds().size.height - kEntryHeight * CGFloat(m_titles.size())) / 2);
}

int32_t UITableViewIndex::entryAtPoint(CGPoint point) const
{
    if (m_titles.empty())
        return -1;
    auto entry = int32_t(std::floor((point.y - entriesTop()) / kEntryHeight));
    return std::clamp(entry, 0, int32_t(m_titles.size()) - 1);
}

void UITableViewIndex::drawRect(CGRect)
{
    CGRect b = bounds();
    auto background = m_tracking ? m_trackingBackgroundColor : m_backgroundColor;
    if (background) {
        background->setFill();
        UIRectFill(b);
    }
    (m_textColor ? m_textColor : tintColor())->set();
    auto font = UIFont::boldSystemFontOfSize(11);
    CGFloat y = entriesTop();
    for (const auto& title : m_titles) {
        NSString_Drawing::drawInRectWithFont(title, CGRectMake(0, y + 1, b.size.width, kEntryHeight), font,
            NSLineBreakByClipping, NSTextAlignmentCenter);
        y += kEntryHeight;
    }
}

void UITableViewIndex::setTracking(bool tracking)
{
    if (tracking == m_tracking)
        return;
    m_tracking = tracking;
    setNeedsDisplay();
}

void UITableViewIndex::track(const UITouchSet& touches)
{
    if (touches.empty())
        return;
    int32_t entry = entryAtPoint(touches.front()->locationInView(self<UIView>()));
    if (entry < 0 || entry == m_current)
        return;
    m_current = entry;
    if (m_onSelect)
        m_onSelect(entry);
}

void UITableViewIndex::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>&)
{
    m_current = -1;
    setTracking(true);
    track(touches);
}

void UITableViewIndex::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>&)
{
    track(touches);
}

void UITableViewIndex::touchesEnded(const UITouchSet&, const Ref<UIEvent>&)
{
    setTracking(false);
}

void UITableViewIndex::touchesCancelled(const UITouchSet&, const Ref<UIEvent>&)
{
    setTracking(false);
}
