#pragma once

#include "uikit/UIView.h"

#include <string>
#include <vector>

class UIActionSheet;

// What an action sheet tells its delegate. All optional.
class UIActionSheetDelegate {
public:
    virtual ~UIActionSheetDelegate() = default;
    virtual void actionSheetClickedButtonAtIndex(const Ref<UIActionSheet>&, int32_t) { }
    virtual void actionSheetCancel(const Ref<UIActionSheet>&) { }
    virtual void willPresentActionSheet(const Ref<UIActionSheet>&) { }
    virtual void didPresentActionSheet(const Ref<UIActionSheet>&) { }
    virtual void actionSheetWillDismissWithButtonIndex(const Ref<UIActionSheet>&, int32_t) { }
    virtual void actionSheetDidDismissWithButtonIndex(const Ref<UIActionSheet>&, int32_t) { }
};

// A list of choices. Buttons are numbered destructive first, then the others, then cancel.
// Headless: showing records it among the visible sheets (front-most last) with where it was
// shown from; a test chooses a button (tapButtonAtIndex) or touches outside (tapOutside, which
// chooses the cancel index as a tablet does). The delegate hears clicked, will dismiss, then
// did dismiss when the animation ends. A visible sheet keeps itself alive. Main thread only.
class UIActionSheet : public UIView {
    VX_OBJECT(UIActionSheet, UIView)
public:
    explicit UIActionSheet(Passkey key)
        : UIView(key)
    {
    }
    static Ref<UIActionSheet> initWithTitle(const std::string& title, UIActionSheetDelegate* delegate,
        Weak<NSObject> delegateOwner, const std::string& cancelButtonTitle, const std::string& destructiveButtonTitle,
        const std::vector<std::string>& otherButtonTitles);

    const std::string& title() const { return m_title; }
    void setDelegate(UIActionSheetDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = delegate;
        m_delegateOwner = std::move(owner);
    }
    UIActionSheetDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }

    int32_t addButtonWithTitle(const std::string& title);
    std::string buttonTitleAtIndex(int32_t index) const;
    int32_t numberOfButtons() const { return static_cast<int32_t>(m_buttons.size()); }
    int32_t cancelButtonIndex() const { return m_cancelButtonIndex; }
    void setCancelButtonIndex(int32_t index) { m_cancelButtonIndex = index; }
    int32_t destructiveButtonIndex() const { return m_destructiveButtonIndex; }
    void setDestructiveButtonIndex(int32_t index) { m_destructiveButtonIndex = index; }
    int32_t firstOtherButtonIndex() const;

    void showInView(const Ref<UIView>& view);
    void showFromRectInViewAnimated(CGRect rect, const Ref<UIView>& view, bool animated);
    bool isVisible() const { return m_visible; }
    // The view and rectangle it was shown from.
    Ref<UIView> shownFromView() const { return m_fromView.lock(); }
    CGRect shownFromRect() const { return m_fromRect; }
    void dismissWithClickedButtonIndexAnimated(int32_t index, bool animated);

    // The host's side.
    static std::vector<Ref<UIActionSheet>> visibleActionSheets();
    void tapButtonAtIndex(int32_t index);
    void tapOutside() { tapButtonAtIndex(m_cancelButtonIndex); }
    static void resetForTesting();

private:
    void present(bool animated);
    void dismiss(int32_t index, bool animated);

    std::string m_title;
    std::vector<std::string> m_buttons;
    int32_t m_cancelButtonIndex { -1 };
    int32_t m_destructiveButtonIndex { -1 };
    bool m_visible { false };
    Weak<UIView> m_fromView;
    CGRect m_fromRect {};
    UIActionSheetDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
};
