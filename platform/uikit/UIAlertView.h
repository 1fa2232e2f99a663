#pragma once

#include "uikit/UIView.h"

#include <string>
#include <vector>

class UIAlertView;
class UITextField;

enum UIAlertViewStyle : int32_t {
    UIAlertViewStyleDefault = 0,
    UIAlertViewStyleSecureTextInput = 1,
    UIAlertViewStylePlainTextInput = 2,
    UIAlertViewStyleLoginAndPasswordInput = 3,
};

// What an alert tells its delegate. All optional.
class UIAlertViewDelegate {
public:
    virtual ~UIAlertViewDelegate() = default;
    virtual void alertViewClickedButtonAtIndex(const Ref<UIAlertView>&, int32_t) { }
    virtual void alertViewCancel(const Ref<UIAlertView>&) { }
    virtual void willPresentAlertView(const Ref<UIAlertView>&) { }
    virtual void didPresentAlertView(const Ref<UIAlertView>&) { }
    virtual void alertViewWillDismissWithButtonIndex(const Ref<UIAlertView>&, int32_t) { }
    virtual void alertViewDidDismissWithButtonIndex(const Ref<UIAlertView>&, int32_t) { }
};

// A modal alert. Headless: showing it records it among the visible alerts (front-most last),
// and a test chooses a button with tapButtonAtIndex, which tells the delegate as a user's tap
// would: clicked, will dismiss, then did dismiss when the dismissal animation ends. Buttons are
// numbered cancel first (when there is one), then the others in order. A visible alert keeps
// itself alive. Main thread only.
class UIAlertView : public UIView {
    VX_OBJECT(UIAlertView, UIView)
public:
    explicit UIAlertView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<UIAlertView> initWithTitle(const std::string& title, const std::string& message,
        UIAlertViewDelegate* delegate, Weak<NSObject> delegateOwner, const std::string& cancelButtonTitle,
        const std::vector<std::string>& otherButtonTitles);

    const std::string& title() const { return m_title; }
    void setTitle(std::string title) { m_title = std::move(title); }
    const std::string& message() const { return m_message; }
    void setMessage(std::string message) { m_message = std::move(message); }
    UIAlertViewStyle alertViewStyle() const { return m_style; }
    void setAlertViewStyle(UIAlertViewStyle style) { m_style = style; }
    void setDelegate(UIAlertViewDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = delegate;
        m_delegateOwner = std::move(owner);
    }
    UIAlertViewDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }

    // The alert's text fields: one for the plain-text and secure styles, two (login, password)
    // for the login style; nullptr at an index the style has none at. Made on first request.
    Ref<UITextField> textFieldAtIndex(int32_t index);

    int32_t addButtonWithTitle(const std::string& title);
    std::string buttonTitleAtIndex(int32_t index) const;
    int32_t numberOfButtons() const { return static_cast<int32_t>(m_buttons.size()); }
    int32_t cancelButtonIndex() const { return m_cancelButtonIndex; }
    void setCancelButtonIndex(int32_t index) { m_cancelButtonIndex = index; }
    int32_t firstOtherButtonIndex() const;

    void show();
    bool isVisible() const { return m_visible; }
    // Dismissal in code: will and did dismiss, without the clicked call.
    void dismissWithClickedButtonIndexAnimated(int32_t index, bool animated);

    // The host's side: the visible alerts, and a user's tap on a button.
    static std::vector<Ref<UIAlertView>> visibleAlerts();
    void tapButtonAtIndex(int32_t index);
    // Takes every visible alert away as the system would, telling each delegate alertViewCancel.
    static void resetForTesting();

private:
    void dismiss(int32_t index, bool animated);

    std::string m_title;
    std::string m_message;
    std::vector<std::string> m_buttons;
    int32_t m_cancelButtonIndex { -1 };
    UIAlertViewStyle m_style { UIAlertViewStyleDefault };
    bool m_visible { false };
    UIAlertViewDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
    std::vector<Ref<UITextField>> m_textFields;
};
