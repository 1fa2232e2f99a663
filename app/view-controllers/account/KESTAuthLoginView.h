#pragma once

#include "app/core/KESTAuthManager.h"
#include "app/view-controllers/common/KESTBaseViewController.h"
#include "uikit/UITextField.h"

class UIButton;
class UILabel;

// The login form: e-mail and password sent as "login" (with the stored account's credentials
// when there is one); success stores the credentials, calls the completion callback and closes
// the account flow; failure shows the service's text and forgets the stored account. As the
// root of its navigation controller it has a "Close" button that calls the failure callback
// once the screen has gone. Main thread only.
class KESTAuthLoginView : public KESTBaseViewController, public UITextFieldDelegate {
    VX_OBJECT(KESTAuthLoginView, KESTBaseViewController)
public:
    using Callback = KESTAuthManager::Callback;

    explicit KESTAuthLoginView(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    static Ref<KESTAuthLoginView> initWithCompletionBlockFailureBlock(Callback completion, Callback failure);

    void viewDidLoad() override;
    // The account screens stay upright.
    bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) const
    {
        return orientation == UIInterfaceOrientationPortrait;
    }
    void viewWillAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;

    void pressedLoginButton(const Ref<NSObject>& sender);
    void pressedForgottenPassword(const Ref<NSObject>& sender);
    void close();
    bool textFieldShouldReturn(const Ref<UITextField>& textField) override;

    const Callback& completionCallback() const { return m_completionCallback; }
    void setCompletionCallback(Callback callback) { m_completionCallback = std::move(callback); }
    const Callback& failureCallback() const { return m_failureCallback; }
    void setFailureCallback(Callback callback) { m_failureCallback = std::move(callback); }
    const Callback& exitCallback() const { return m_exitCallback; }
    void setExitCallback(Callback callback) { m_exitCallback = std::move(callback); }

    Ref<UILabel> loginLabel, loginDescriptionLabel;
    Ref<UIButton> loginButton, forgottenPasswordButton;
    Ref<UITextField> emailTextField, passwordTextField;

private:
    Callback m_completionCallback, m_failureCallback, m_exitCallback;
};
