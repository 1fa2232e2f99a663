#pragma once

#include "uikit/UIBarButtonItem.h"
#include "uikit/UIView.h"

#include <vector>

enum UIBarStyle : int32_t {
    UIBarStyleDefault = 0,
    UIBarStyleBlack = 1,
};

// Where a bar sits in its screen.
enum UIBarPosition : int32_t {
    UIBarPositionAny = 0,
    UIBarPositionBottom = 1,
    UIBarPositionTop = 2,
    UIBarPositionTopAttached = 3,
};

class UIToolbar;

// What a toolbar asks the screen that owns it.
class UIToolbarDelegate {
public:
    virtual ~UIToolbarDelegate() = default;
    virtual UIBarPosition positionForBar(const Ref<UIView>&) { return UIBarPositionAny; }
};

// A bar of button items laid out left to right: custom views at their width, fixed spaces at
// theirs, other items as buttons sized to their title (at least 44 points), and flexible
// spaces sharing what is left equally. Tapping an item's button taps the item. Main thread only.
class UIToolbar : public UIView {
    VX_OBJECT(UIToolbar, UIView)
public:
    explicit UIToolbar(Passkey key)
        : UIView(key)
    {
    }
    // A new toolbar paints the light bar background, so what lies under it stays hidden.
    static Ref<UIToolbar> initWithFrame(CGRect frame);

    const std::vector<Ref<UIBarButtonItem>>& items() const { return m_items; }
    void setItems(std::vector<Ref<UIBarButtonItem>> items) { setItemsAnimated(std::move(items), false); }
    void setItemsAnimated(std::vector<Ref<UIBarButtonItem>> items, bool animated);
    UIBarStyle barStyle() const { return m_barStyle; }
    void setBarStyle(UIBarStyle style) { m_barStyle = style; }
    bool isTranslucent() const { return m_translucent; }
    void setTranslucent(bool v) { m_translucent = v; }
    void setDelegate(UIToolbarDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = delegate;
        m_delegateOwner = std::move(owner);
    }
    UIToolbarDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }
    // The position the delegate gives the bar; any position without one.
    UIBarPosition barPosition() { return delegate() ? delegate()->positionForBar(self<UIView>()) : UIBarPositionAny; }
    // The frame an item takes in the bar after layout; zero for spaces and unknown items.
    CGRect frameForItem(const Ref<UIBarButtonItem>& item);

    void layoutSubviews() override;
    CGSize sizeThatFits(CGSize size) const override;

private:
    std::vector<Ref<UIBarButtonItem>> m_items;
    std::vector<Ref<UIView>> m_itemViews; // parallel to m_items; nullptr for spaces
    UIBarStyle m_barStyle { UIBarStyleDefault };
    bool m_translucent { true };
    UIToolbarDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
};
