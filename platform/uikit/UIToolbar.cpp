#include "uikit/UIToolbar.h"

#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UIButton.h"

#include <algorithm>

VX_REGISTER_CLASS(UIToolbar);

namespace {
constexpr CGFloat kEdgeMargin = 12;
constexpr CGFloat kItemGap = 8;
} // namespace

Ref<UIToolbar> UIToolbar::initWithFrame(CGRect frame)
{
    auto toolbar = makeView<UIToolbar>(frame);
    toolbar->setBackgroundColor(UIColor::colorWithWhiteAlpha(0.97f, 1));
    return toolbar;
}

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
        Ref<UIView> view = item->makeBarView();
        if (view)
            addSubview(view);
        m_itemViews.push_back(view);
    }
    setNeedsLayout();
}

void UIToolbar::layoutSubviews()
{
    CGRect b = bounds();
    std::vector<CGFloat> widths;
    CGFloat used = 0;
    int flexible = 0;
    for (size_t i = 0; i < m_items.size(); ++i) {
        const auto& item = m_items[i];
        CGFloat w = item->fittingWidth();
        if (item->isFlexibleSpace())
            ++flexible;
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
