#pragma once

#include "uikit/UIBarItem.h"

#include <functional>
#include <optional>
#include <vector>

class UIButton;
class UIView;

enum UIBarButtonItemStyle : int32_t {
    UIBarButtonItemStylePlain = 0,
    UIBarButtonItemStyleBordered = 1,
    UIBarButtonItemStyleDone = 2,
};

enum UIBarButtonSystemItem : int32_t {
    UIBarButtonSystemItemDone = 0,
    UIBarButtonSystemItemCancel = 1,
    UIBarButtonSystemItemEdit = 2,
    UIBarButtonSystemItemSave = 3,
    UIBarButtonSystemItemAdd = 4,
    UIBarButtonSystemItemFlexibleSpace = 5,
    UIBarButtonSystemItemFixedSpace = 6,
    UIBarButtonSystemItemCompose = 7,
    UIBarButtonSystemItemReply = 8,
    UIBarButtonSystemItemAction = 9,
    UIBarButtonSystemItemOrganize = 10,
    UIBarButtonSystemItemBookmarks = 11,
    UIBarButtonSystemItemSearch = 12,
    UIBarButtonSystemItemRefresh = 13,
    UIBarButtonSystemItemStop = 14,
    UIBarButtonSystemItemCamera = 15,
    UIBarButtonSystemItemTrash = 16,
    UIBarButtonSystemItemPlay = 17,
    UIBarButtonSystemItemPause = 18,
    UIBarButtonSystemItemRewind = 19,
    UIBarButtonSystemItemFastForward = 20,
    UIBarButtonSystemItemUndo = 21,
    UIBarButtonSystemItemRedo = 22,
    UIBarButtonSystemItemPageCurl = 23,
};

// A button on a navigation bar or toolbar: a title, an image, a system item, a custom view, or
// a fixed or flexible space. Its action runs with the item as sender when the user taps it
// (userTap) and it is enabled; the target is held weakly, and an item whose target has gone
// does nothing. Main thread only.
class UIBarButtonItem : public UIBarItem {
    VX_OBJECT(UIBarButtonItem, UIBarItem)
public:
    using Action = std::function<void(const Ref<UIBarButtonItem>& sender)>;
    explicit UIBarButtonItem(Passkey key)
        : UIBarItem(key)
    {
    }

    static Ref<UIBarButtonItem> initWithTitleStyleTargetAction(
        const std::string& title, UIBarButtonItemStyle style, const Ref<NSObject>& target, Action action);
    static Ref<UIBarButtonItem> initWithImageStyleTargetAction(
        const Ref<UIImage>& image, UIBarButtonItemStyle style, const Ref<NSObject>& target, Action action);
    static Ref<UIBarButtonItem> initWithBarButtonSystemItemTargetAction(
        UIBarButtonSystemItem item, const Ref<NSObject>& target, Action action);
    static Ref<UIBarButtonItem> initWithCustomView(const Ref<UIView>& view);

    UIBarButtonItemStyle style() const { return m_style; }
    void setStyle(UIBarButtonItemStyle style) { m_style = style; }
    // The system item the item was made with, if any.
    std::optional<UIBarButtonSystemItem> systemItem() const { return m_systemItem; }
    bool isFlexibleSpace() const { return m_systemItem == UIBarButtonSystemItemFlexibleSpace; }
    bool isFixedSpace() const { return m_systemItem == UIBarButtonSystemItemFixedSpace; }
    // 0: sized to fit.
    CGFloat width() const { return m_width; }
    void setWidth(CGFloat width) { m_width = width; }
    const Ref<UIView>& customView() const { return m_customView; }
    void setCustomView(const Ref<UIView>& view) { m_customView = view; }
    Ref<NSObject> target() const { return m_target.lock(); }
    void setTargetAction(const Ref<NSObject>& target, Action action);
    bool hasAction() const { return bool(m_action); }

    // The user tapping the item: runs the action when enabled. Returns whether it ran.
    bool userTap();

    void setTitle(const std::string& title) override;
    void setImage(const Ref<UIImage>& image) override;
    void setEnabled(bool enabled) override;

    // For bars: the view that shows the item (its custom view, or a new button that taps the
    // item and follows its title, image and enabled state); nullptr for spaces.
    Ref<UIView> makeBarView();
    // For bars: the width the item takes (its width when set, else its custom view's, else its
    // title's or image's plus padding, at least 44 points); 0 for a flexible space.
    CGFloat fittingWidth() const;
    // The text a button for the item shows: the title, or the system item's own word.
    std::string displayTitle() const;

private:
    void updateButtons();

    UIBarButtonItemStyle m_style { UIBarButtonItemStylePlain };
    std::optional<UIBarButtonSystemItem> m_systemItem;
    CGFloat m_width { 0 };
    Ref<UIView> m_customView;
    Weak<NSObject> m_target;
    bool m_hasTarget { false };
    Action m_action;
    std::vector<Weak<UIButton>> m_buttons;
};
