#include "uikit/UITabBarItem.h"

VX_REGISTER_CLASS(UITabBarItem);

Ref<UITabBarItem> UITabBarItem::initWithTitleImageTag(const std::string& title, const Ref<UIImage>& image, int32_t tag)
{
    auto item = make<UITabBarItem>();
    item->setTitle(title);
    item->setImage(image);
    item->setTag(tag);
    return item;
}

Ref<UITabBarItem> UITabBarItem::initWithTitleImageSelectedImage(
    const std::string& title, const Ref<UIImage>& image, const Ref<UIImage>& selected)
{
    auto item = initWithTitleImageTag(title, image, 0);
    item->m_selectedImage = selected;
    return item;
}

Ref<UITabBarItem> UITabBarItem::initWithTabBarSystemItemTag(UITabBarSystemItem systemItem, int32_t tag)
{
    static const char* const s_titles[] = { "More", "Favorites", "Featured", "Top Rated", "Recents", "Contacts",
        "History", "Bookmarks", "Search", "Downloads", "Most Recent", "Most Viewed" };
    auto item = make<UITabBarItem>();
    item->m_systemItem = systemItem;
    if (systemItem >= 0 && systemItem <= UITabBarSystemItemMostViewed)
        item->setTitle(s_titles[systemItem]);
    item->setTag(tag);
    return item;
}
