#pragma once

#include "app/core/KESTAuthManager.h"
#include "app/view-controllers/common/KESTBaseViewController.h"
#include "uikit/UITextField.h"

class UIButton;
class UILabel;

// The new-account form: e-mail and password sent as "create" (with the stored account's
// credentials when there is one); success stores the credentials, thanks the user, calls the
// completion callback and closes the account flow; failure shows the service's text. Main
// thread only.
class KESTAuthCreateAccountView : public KESTBaseViewController, public UITextFieldDelegate {
    VX_OBJECT(KESTAuthCreateAccountView, KESTBaseViewController)
public:
    using Callback = KESTAuthManager::Callback;

    explicit KESTAuthCreateAccountView(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    static Ref<KESTAuthCreateAccountView> initWithCompletionBlockFailureBlock(Callback completion, Callback failure);

    void viewDidLoad() override;
    // The account screens stay upright.
    bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) const
    {
        return orientation == UIInterfaceOrientationPortrait;
    }
    void pressedCreateAccount(const Ref<NSObject>& sender);
    bool textFieldShouldReturn(const Ref<UITextField>& textField) override;

    const Callback& completionCallback() const { return m_completionCallback; }
    void setCompletionCallback(Callback callback) { m_completionCallback = std::move(callback); }
    const Callback& failureCallback() const { return m_failureCallback; }
    void setFailureCallback(Callback callback) { m_failureCallback = std::move(callback); }

    Ref<UILabel> createAccountLabel, createAccountDescriptionLabel;
    Ref<UIButton> createAccountButton;
    Ref<UITextField> emailTextField, passwordTextField;

private:
    Callback m_completionCallback, m_failureCallback;
};
