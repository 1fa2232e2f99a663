#pragma once

#include "uikit/UIBarButtonItem.h"

#include <functional>
#include <string>
#include <vector>

class UIView;

// What a navigation bar shows for one screen: a title or title view, a prompt, the back item
// the next screen will show, and the left and right items. A navigation bar showing the item
// is told of every change. Main thread only.
class UINavigationItem : public NSObject {
    VX_OBJECT(UINavigationItem, NSObject)
public:
    explicit UINavigationItem(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<UINavigationItem> initWithTitle(const std::string& title);

    const std::string& title() const { return m_title; }
    void setTitle(const std::string& title)
    {
        m_titleSet = true;
        m_title = title;
        changed();
    }
    // The owning controller's title, taken until a title is set on the item itself.
    void followControllerTitle(const std::string& title)
    {
        if (m_titleSet)
            return;
        m_title = title;
        changed();
    }
    const Ref<UIView>& titleView() const { return m_titleView; }
    void setTitleView(const Ref<UIView>& view)
    {
        m_titleView = view;
        changed();
    }
    const std::string& prompt() const { return m_prompt; }
    void setPrompt(const std::string& prompt) { m_prompt = prompt; }
    const Ref<UIBarButtonItem>& backBarButtonItem() const { return m_backItem; }
    void setBackBarButtonItem(const Ref<UIBarButtonItem>& item)
    {
        m_backItem = item;
        changed();
    }
    bool hidesBackButton() const { return m_hidesBackButton; }
    void setHidesBackButton(bool hides)
    {
        m_hidesBackButton = hides;
        changed();
    }
    void setHidesBackButtonAnimated(bool hides, bool) { setHidesBackButton(hides); }
    bool leftItemsSupplementBackButton() const { return m_leftItemsSupplementBackButton; }
    void setLeftItemsSupplementBackButton(bool v)
    {
        m_leftItemsSupplementBackButton = v;
        changed();
    }

    // The single-item forms read and write the first of the list.
    Ref<UIBarButtonItem> leftBarButtonItem() const { return m_leftItems.empty() ? nullptr : m_leftItems.front(); }
    void setLeftBarButtonItem(const Ref<UIBarButtonItem>& item)
    {
        setLeftBarButtonItems(item ? std::vector { item } : std::vector<Ref<UIBarButtonItem>> {});
    }
    void setLeftBarButtonItemAnimated(const Ref<UIBarButtonItem>& item, bool) { setLeftBarButtonItem(item); }
    const std::vector<Ref<UIBarButtonItem>>& leftBarButtonItems() const { return m_leftItems; }
    void setLeftBarButtonItems(std::vector<Ref<UIBarButtonItem>> items);
    Ref<UIBarButtonItem> rightBarButtonItem() const { return m_rightItems.empty() ? nullptr : m_rightItems.front(); }
    void setRightBarButtonItem(const Ref<UIBarButtonItem>& item)
    {
        setRightBarButtonItems(item ? std::vector { item } : std::vector<Ref<UIBarButtonItem>> {});
    }
    void setRightBarButtonItemAnimated(const Ref<UIBarButtonItem>& item, bool) { setRightBarButtonItem(item); }
    const std::vector<Ref<UIBarButtonItem>>& rightBarButtonItems() const { return m_rightItems; }
    void setRightBarButtonItems(std::vector<Ref<UIBarButtonItem>> items);

    // For the navigation bar showing the item: called after each change that alters the bar.
    void setChangeHandler(std::function<void()> handler) { m_changeHandler = std::move(handler); }

private:
    void changed()
    {
        if (m_changeHandler)
            m_changeHandler();
    }

    std::string m_title;
    std::string m_prompt;
    Ref<UIView> m_titleView;
    Ref<UIBarButtonItem> m_backItem;
    std::vector<Ref<UIBarButtonItem>> m_leftItems;
    std::vector<Ref<UIBarButtonItem>> m_rightItems;
    bool m_hidesBackButton { false };
    bool m_leftItemsSupplementBackButton { false };
    bool m_titleSet { false };
    std::function<void()> m_changeHandler;
};
