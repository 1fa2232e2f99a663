#pragma once

#include "uikit/UIBarItem.h"

#include <optional>

enum UITabBarSystemItem : int32_t {
    UITabBarSystemItemMore = 0,
    UITabBarSystemItemFavorites = 1,
    UITabBarSystemItemFeatured = 2,
    UITabBarSystemItemTopRated = 3,
    UITabBarSystemItemRecents = 4,
    UITabBarSystemItemContacts = 5,
    UITabBarSystemItemHistory = 6,
    UITabBarSystemItemBookmarks = 7,
    UITabBarSystemItemSearch = 8,
    UITabBarSystemItemDownloads = 9,
    UITabBarSystemItemMostRecent = 10,
    UITabBarSystemItemMostViewed = 11,
};

// A tab of a tab bar: title, image, selected image and an optional badge. Main thread only.
class UITabBarItem : public UIBarItem {
    VX_OBJECT(UITabBarItem, UIBarItem)
public:
    explicit UITabBarItem(Passkey key)
        : UIBarItem(key)
    {
    }
    static Ref<UITabBarItem> initWithTitleImageTag(const std::string& title, const Ref<UIImage>& image, int32_t tag);
    static Ref<UITabBarItem> initWithTitleImageSelectedImage(
        const std::string& title, const Ref<UIImage>& image, const Ref<UIImage>& selected);
    static Ref<UITabBarItem> initWithTabBarSystemItemTag(UITabBarSystemItem systemItem, int32_t tag);

    const Ref<UIImage>& selectedImage() const { return m_selectedImage; }
    void setSelectedImage(const Ref<UIImage>& image) { m_selectedImage = image; }
    // Empty: no badge.
    const std::string& badgeValue() const { return m_badgeValue; }
    void setBadgeValue(const std::string& value) { m_badgeValue = value; }
    std::optional<UITabBarSystemItem> systemItem() const { return m_systemItem; }

private:
    Ref<UIImage> m_selectedImage;
    std::string m_badgeValue;
    std::optional<UITabBarSystemItem> m_systemItem;
};
