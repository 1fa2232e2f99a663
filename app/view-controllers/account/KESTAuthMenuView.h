#pragma once

#include "app/core/KESTAuthManager.h"
#include "app/view-controllers/common/KESTBaseViewController.h"

class UIButton;
class UILabel;

// The account menu ("Kestravon ID"): signed out it offers login, a new account and a forgotten
// password, each pushed onto its navigation controller; signed in with a real account it names
// the account and offers to log out. Closing it calls the failure callback once the menu has
// gone. Main thread only.
class KESTAuthMenuView : public KESTBaseViewController {
    VX_OBJECT(KESTAuthMenuView, KESTBaseViewController)
public:
    using Callback = KESTAuthManager::Callback;

    explicit KESTAuthMenuView(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    static Ref<KESTAuthMenuView> initWithCompletionBlockFailureBlock(Callback completion, Callback failure);

    void viewDidLoad() override;
    // The account screens stay upright.
    bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) const
    {
        return orientation == UIInterfaceOrientationPortrait;
    }
    void viewDidDisappear(bool animated) override;

    void pressedLogin(const Ref<NSObject>& sender);
    void pressedCreateNewAccount(const Ref<NSObject>& sender);
    void pressedForgottenPassword(const Ref<NSObject>& sender);
    void pressedLogout(const Ref<NSObject>& sender);
    void closePress(const Ref<NSObject>& sender) override;

    const Callback& completionCallback() const { return m_completionCallback; }
    void setCompletionCallback(Callback callback) { m_completionCallback = std::move(callback); }
    const Callback& failureCallback() const { return m_failureCallback; }
    void setFailureCallback(Callback callback) { m_failureCallback = std::move(callback); }
    const Callback& exitCallback() const { return m_exitCallback; }
    void setExitCallback(Callback callback) { m_exitCallback = std::move(callback); }

    // Outlets, connected by the layout.
    Ref<UIButton> loginButton, createAccountButton, forgottenPasswordButton, logoutButton;
    Ref<UILabel> loggedInAsLabel;
    Ref<UIView> loggedOutView, loggedInView;

private:
    Callback m_completionCallback, m_failureCallback, m_exitCallback;
};
