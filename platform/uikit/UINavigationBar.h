#pragma once

#include "uikit/UINavigationItem.h"
#include "uikit/UIView.h"

#include <functional>
#include <vector>

class UIButton;
class UILabel;

// The bar along the top of a navigation controller: shows its top item's title (or title
// view) in the middle, the item's left items after a back button and its right items at the
// right edge (the first one outermost). The back button shows the previous item's back item
// title, else its title, else "Back", and is left out when the top item hides it or has left
// items that do not supplement it. Items' views take touches like any view. Main thread only.
class UINavigationBar : public UIView {
    VX_OBJECT(UINavigationBar, UIView)
public:
    explicit UINavigationBar(Passkey key)
        : UIView(key)
    {
    }
    static Ref<UINavigationBar> initWithFrame(CGRect frame);

    const std::vector<Ref<UINavigationItem>>& items() const { return m_items; }
    void setItems(std::vector<Ref<UINavigationItem>> items) { setItemsAnimated(std::move(items), false); }
    void setItemsAnimated(std::vector<Ref<UINavigationItem>> items, bool animated);
    Ref<UINavigationItem> topItem() const { return m_items.empty() ? nullptr : m_items.back(); }
    Ref<UINavigationItem> backItem() const { return m_items.size() < 2 ? nullptr : m_items[m_items.size() - 2]; }

    // What runs when the back button is tapped (the navigation controller pops).
    void setBackAction(std::function<void()> action) { m_backAction = std::move(action); }
    // The back button, or nullptr when none is shown.
    const Ref<UIButton>& backButton() const { return m_backButton; }
    // The label showing the top item's title (hidden when the item has a title view).
    const Ref<UILabel>& titleLabel() const { return m_titleLabel; }
    // The frame an item of the top item takes in the bar after layout; zero when not shown.
    CGRect frameForItem(const Ref<UIBarButtonItem>& item);
    // A bar attached to the top of the screen paints its background up under the status bar
    // (`height` points above its frame), so content scrolled under the bars stays hidden there.
    void setStatusBarBackdropHeight(CGFloat height);

    void layoutSubviews() override;
    void didMoveToWindow() override;
    CGSize sizeThatFits(CGSize size) const override;

private:
    // Shows the status bar backdrop only while the bar's top meets the status bar's bottom
    // (a full-screen navigation), not in a popover or sheet.
    void updateStatusBarBackdrop();
    // Makes the views for the top item again.
    void rebuild();

    std::vector<Ref<UINavigationItem>> m_items;
    std::function<void()> m_backAction;
    Ref<UIButton> m_backButton;
    Ref<UILabel> m_titleLabel;
    Ref<UIView> m_titleView;
    Ref<UIView> m_statusBarBackdrop;
    std::vector<std::pair<Ref<UIBarButtonItem>, Ref<UIView>>> m_leftViews;
    std::vector<std::pair<Ref<UIBarButtonItem>, Ref<UIView>>> m_rightViews;
};
