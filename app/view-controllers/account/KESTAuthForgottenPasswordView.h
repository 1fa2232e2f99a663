#pragma once

#include "app/core/KESTAuthManager.h"
#include "app/view-controllers/common/KESTBaseViewController.h"
#include "uikit/UITextField.h"

class UIButton;
class UILabel;

// The forgotten-password form: the e-mail sent as "request_reset"; success says that
// instructions are on their way, calls the completion callback and goes back one screen;
// failure shows the service's text. Main thread only.
class KESTAuthForgottenPasswordView : public KESTBaseViewController, public UITextFieldDelegate {
    VX_OBJECT(KESTAuthForgottenPasswordView, KESTBaseViewController)
public:
    using Callback = KESTAuthManager::Callback;

    explicit KESTAuthForgottenPasswordView(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    static Ref<KESTAuthForgottenPasswordView> initWithCompletionBlockFailureBlock(
        Callback completion, Callback failure);

    void viewDidLoad() override;
    // The account screens stay upright.
    bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) const
    {
        return orientation == UIInterfaceOrientationPortrait;
    }
    void pressedForgottenPassword(const Ref<NSObject>& sender);
    bool textFieldShouldReturn(const Ref<UITextField>& textField) override;

    const Callback& completionCallback() const { return m_completionCallback; }
    void setCompletionCallback(Callback callback) { m_completionCallback = std::move(callback); }
    const Callback& failureCallback() const { return m_failureCallback; }
    void setFailureCallback(Callback callback) { m_failureCallback = std::move(callback); }

    Ref<UILabel> forgottenPasswordLabel, forgottenPasswordDescriptionLabel;
    Ref<UIButton> forgottenPasswordButton;
    Ref<UITextField> emailTextField;

private:
    Callback m_completionCallback, m_failureCallback;
};
