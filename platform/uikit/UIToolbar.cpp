#include "UIToolbar.h"

#include "NSString+Drawing.h"
#include "UIButton.h"
#include "UIFont.h"

#include <algorithm>

VX_REGISTER_CLASS(UIToolbar);

namespace {
constexpr CGFloat kEdgeMargin = 12;
constexpr CGFloat kItemGap = 8;
constexpr CGFloat kMinimumItemWidth = 44;
constexpr CGFloat kTitlePadding = 16;
} // namespace

void UIToolbar::setItemsAnimated(std::vector<Ref<UIBarButtonItem>> items, bool)
{
    for (auto& view : m_itemViews) {
        if (view)
            view->removeFromSuperview();
    }
    m_itemViews.clear();
    items.erase(std::remove(items.begin(), items.end(), nullptr), items.end());
    m_items = std::move(items);
    for (const auto& item : m_items) {
        Ref<UIView> view;
        if (item->customView()) {
            view = item->customView();
        } else if (!item->isFlexibleSpace() && !item->isFixedSpace()) {
            auto button = UIButton::buttonWithType(UIButtonTypeSystem);
            button->setTitleForState(item->title(), UIControlStateNormal);
            button->setEnabled(item->isEnabled());
            Weak<UIBarButtonItem> weak = item;
            button->addTargetActionForControlEvents(
                nullptr, "tap",
                [weak](const Ref<UIControl>&, const Ref<UIEvent>&) {
                    if (auto strong = weak.lock())
                        strong->userTap();
                },
                UIControlEventTouchUpInside);
            view = button;
        }
        if (view)
            addSubview(view);
        m_itemViews.push_back(view);
    }
    setNeedsLayout();
}

void UIToolbar::layoutSubviews()
{
    CGRect b = bounds();
    auto font = UIFont::systemFontOfSize(17);
    std::vector<CGFloat> widths;
    CGFloat used = 0;
    int flexible = 0;
    for (size_t i = 0; i < m_items.size(); ++i) {
        const auto& item = m_items[i];
        CGFloat w = 0;
        if (item->isFlexibleSpace()) {
            ++flexible;
        } else if (item->isFixedSpace()) {
            w = item->width();
        } else if (item->customView()) {
            w = item->width() > 0 ? item->width() : item->customView()->bounds().size.width;
        } else if (item->width() > 0) {
            w = item->width();
        } else {
            w = std::max(kMinimumItemWidth, NSString_Drawing::sizeWithFont(item->title(), font).width + kTitlePadding);
        }
        widths.push_back(w);
        used += w;
    }
    int gaps = 0;
    for (size_t i = 0; i + 1 < m_items.size(); ++i) {
        // Spaces stand in for the gap beside them.
        if (!m_items[i]->isFlexibleSpace() && !m_items[i]->isFixedSpace() && !m_items[i + 1]->isFlexibleSpace()
            && !m_items[i + 1]->isFixedSpace())
            ++gaps;
    }
    CGFloat spare = std::max<CGFloat>(0, b.size.width - 2 * kEdgeMargin - used - gaps * kItemGap);
    CGFloat x = kEdgeMargin;
    for (size_t i = 0; i < m_items.size(); ++i) {
        CGFloat w = m_items[i]->isFlexibleSpace() ? spare / flexible : widths[i];
        if (auto& view = m_itemViews[i]) {
            CGFloat h = m_items[i]->customView() ? std::min(view->bounds().size.height, b.size.height) : b.size.height;
            view->setFrame(CGRectMake(x, (b.size.height - h) / 2, w, h));
        }
        x += w;
        if (i + 1 < m_items.size() && !m_items[i]->isFlexibleSpace() && !m_items[i]->isFixedSpace()
            && !m_items[i + 1]->isFlexibleSpace() && !m_items[i + 1]->isFixedSpace())
            x += kItemGap;
    }
}

CGRect UIToolbar::frameForItem(const Ref<UIBarButtonItem>& item)
{
    layoutIfNeeded();
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i] == item && m_itemViews[i])
            return m_itemViews[i]->frame();
    }
    return CGRectZero;
}

CGSize UIToolbar::sizeThatFits(CGSize size) const
{
    return CGSizeMake(size.width, 44);
}
