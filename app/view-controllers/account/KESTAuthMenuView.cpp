#include "app/view-controllers/account/KESTAuthMenuView.h"

#include "app/view-controllers/account/KESTAuthCreateAccountView.h"
#include "app/view-controllers/account/KESTAuthForgottenPasswordView.h"
#include "app/view-controllers/account/KESTAuthFormSupport.h"
#include "app/view-controllers/account/KESTAuthLoginView.h"
#include "foundation/NSString.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"

VX_REGISTER_CLASS(KESTAuthMenuView);

using KESTAuthFormSupport::localized;

// The account client opens these screens; it learns how to make them when the program starts.
static const bool s_factoriesInstalled = [] {
    KESTAuthManager::setMenuFactory([](KESTAuthManager::Callback completion, KESTAuthManager::Callback failure) {
        return Ref<UIViewController>(
            KESTAuthMenuView::initWithCompletionBlockFailureBlock(std::move(completion), std::move(failure)));
    });
    KESTAuthManager::setLoginFactory([](KESTAuthManager::Callback completion, KESTAuthManager::Callback failure) {
        return Ref<UIViewController>(
            KESTAuthLoginView::initWithCompletionBlockFailureBlock(std::move(completion), std::move(failure)));
    });
    return true;
}();

Ref<KESTAuthMenuView> KESTAuthMenuView::initWithCompletionBlockFailureBlock(Callback completion, Callback failure)
{
    auto controller = makeController<KESTAuthMenuView>("KESTAuthMenuView", nullptr);
    controller->m_completionCallback = std::move(completion);
    controller->m_failureCallback = std::move(failure);
    controller->m_exitCallback = nullptr;
    return controller;
}

void KESTAuthMenuView::viewDidLoad()
{
    KESTBaseViewController::viewDidLoad();
    setTitle(localized("Kestravon ID"));
    Weak<KESTAuthMenuView> weak = self<KESTAuthMenuView>();
    navigationItem()->setLeftBarButtonItem(UIBarButtonItem::initWithTitleStyleTargetAction(
        localized("Close"), UIBarButtonItemStyleBordered, self<NSObject>(), [weak](const Ref<UIBarButtonItem>& item) {
            if (auto menu = weak.lock())
                menu->closePress(item);
        }));
    if (loginButton)
        loginButton->setTitleForState(localized("Login to an existing account"), UIControlStateNormal);
    if (createAccountButton)
        createAccountButton->setTitleForState(localized("Create an account"), UIControlStateNormal);
    if (forgottenPasswordButton)
        forgottenPasswordButton->setTitleForState(localized("I've forgotten my password"), UIControlStateNormal);
    if (logoutButton)
        logoutButton->setTitleForState(localized("Log out"), UIControlStateNormal);
    auto auth = KESTAuthManager::sharedInstance();
    if (auth->hasValidStoredCredentials() && loggedInView) {
        setView(loggedInView);
        if (loggedInAsLabel)
            loggedInAsLabel->setText(
                NSString::stringWithFormat("%@ %@", localized("Logged in as"), auth->storedEmail().value_or("")));
    } else if (loggedOutView) {
        setView(loggedOutView);
    }
}

void KESTAuthMenuView::viewDidDisappear(bool animated)
{
    KESTBaseViewController::viewDidDisappear(animated);
    if (auto exit = std::move(m_exitCallback)) {
        m_exitCallback = nullptr;
        exit();
    }
}

void KESTAuthMenuView::pressedLogin(const Ref<NSObject>&)
{
    if (auto navigation = navigationController())
        navigation->pushViewControllerAnimated(
            KESTAuthLoginView::initWithCompletionBlockFailureBlock(m_completionCallback, m_failureCallback), true);
}

void KESTAuthMenuView::pressedCreateNewAccount(const Ref<NSObject>&)
{
    if (auto navigation = navigationController())
        navigation->pushViewControllerAnimated(
            KESTAuthCreateAccountView::initWithCompletionBlockFailureBlock(m_completionCallback, m_failureCallback),
            true);
}

void KESTAuthMenuView::pressedForgottenPassword(const Ref<NSObject>&)
{
    if (auto navigation = navigationController())
        navigation->pushViewControllerAnimated(
            KESTAuthForgottenPasswordView::initWithCompletionBlockFailureBlock(m_completionCallback, m_failureCallback),
            true);
}

void KESTAuthMenuView::pressedLogout(const Ref<NSObject>&)
{
    KESTAuthManager::sharedInstance()->removeStoredCredentials();
    if (loggedOutView)
        setView(loggedOutView);
}

void KESTAuthMenuView::closePress(const Ref<NSObject>&)
{
    m_exitCallback = m_failureCallback;
    if (auto navigation = navigationController())
        navigation->dismissViewControllerAnimatedCompletion(true, nullptr);
    else
        dismissViewControllerAnimatedCompletion(true, nullptr);
}
