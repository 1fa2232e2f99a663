#include "uikit/UINavigationItem.h"

#include <algorithm>

VX_REGISTER_CLASS(UINavigationItem);

namespace {
// A list of items never holds nil.
std::vector<Ref<UIBarButtonItem>> withoutNulls(std::vector<Ref<UIBarButtonItem>> items)
{
    items.erase(std::remove(items.begin(), items.end(), nullptr), items.end());
    return items;
}
} // namespace

Ref<UINavigationItem> UINavigationItem::initWithTitle(const std::string& title)
{
    auto item = make<UINavigationItem>();
    item->m_title = title;
    item->m_titleSet = true;
    return item;
}

void UINavigationItem::setLeftBarButtonItems(std::vector<Ref<UIBarButtonItem>> items)
{
    m_leftItems = withoutNulls(std::move(items));
    changed();
}

void UINavigationItem::setRightBarButtonItems(std::vector<Ref<UIBarButtonItem>> items)
{
    m_rightItems = withoutNulls(std::move(items));
    changed();
}
