#include "app/view-controllers/account/KESTAuthLoginView.h"

#include "app/core/KESTServiceEndpoints.h"
#include "app/view-controllers/account/KESTAuthForgottenPasswordView.h"
#include "app/view-controllers/account/KESTAuthFormSupport.h"
#include "app/widgets/PHProgressHUD.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"

VX_REGISTER_CLASS(KESTAuthLoginView);

using KESTAuthFormSupport::localized;

Ref<KESTAuthLoginView> KESTAuthLoginView::initWithCompletionBlockFailureBlock(Callback completion, Callback failure)
{
    auto controller = makeController<KESTAuthLoginView>("KESTAuthLoginView", nullptr);
    controller->m_completionCallback = std::move(completion);
    controller->m_failureCallback = std::move(failure);
    controller->m_exitCallback = nullptr;
    return controller;
}

void KESTAuthLoginView::viewDidLoad()
{
    KESTBaseViewController::viewDidLoad();
    setTitle(localized("Login"));
    if (loginLabel)
        loginLabel->setText(localized("Login to your account"));
    if (loginDescriptionLabel)
        loginDescriptionLabel->setText(
            localized("If you have any problems, please contact ") + KESTServiceEndpoints::supportEmail());
    if (loginButton)
        loginButton->setTitleForState(localized("Login to my account"), UIControlStateNormal);
    if (forgottenPasswordButton)
        forgottenPasswordButton->setTitleForState(localized("I've forgotten my password"), UIControlStateNormal);
}

void KESTAuthLoginView::viewWillAppear(bool animated)
{
    KESTBaseViewController::viewWillAppear(animated);
    auto navigation = navigationController();
    bool isRoot = !navigation || !navigation->navigationBar() || !navigation->navigationBar()->backItem();
    if (isRoot) {
        Weak<KESTAuthLoginView> weak = self<KESTAuthLoginView>();
        navigationItem()->setLeftBarButtonItem(UIBarButtonItem::initWithTitleStyleTargetAction(
            localized("Close"), UIBarButtonItemStyleBordered, self<NSObject>(), [weak](const Ref<UIBarButtonItem>&) {
                if (auto login = weak.lock())
                    login->close();
            }));
    }
}

void KESTAuthLoginView::viewDidDisappear(bool animated)
{
    KESTBaseViewController::viewDidDisappear(animated);
    if (auto exit = std::move(m_exitCallback)) {
        m_exitCallback = nullptr;
        exit();
    }
}

void KESTAuthLoginView::close()
{
    m_exitCallback = m_failureCallback;
    if (auto navigation = navigationController())
        navigation->dismissViewControllerAnimatedCompletion(true, nullptr);
    else
        dismissViewControllerAnimatedCompletion(true, nullptr);
}

bool KESTAuthLoginView::textFieldShouldReturn(const Ref<UITextField>& textField)
{
    Weak<KESTAuthLoginView> weak = self<KESTAuthLoginView>();
    return KESTAuthFormSupport::textFieldShouldReturn(textField, [weak] {
        if (auto login = weak.lock())
            login->pressedLoginButton(nullptr);
    });
}

void KESTAuthLoginView::pressedLoginButton(const Ref<NSObject>&)
{
    std::string email = emailTextField ? emailTextField->text() : std::string();
    std::string password = passwordTextField ? passwordTextField->text() : std::string();
    auto parameters = Value::mutableDictionary({ { "action", "login" }, { "email", email }, { "password", password } });
    KESTAuthFormSupport::addStoredCredentials(parameters);
    PHProgressHUD::showHUDAddedToAnimated(view(), true);
    Weak<KESTAuthLoginView> weak = self<KESTAuthLoginView>();
    KESTAuthManager::sharedInstance()->performRequestSuccessFailure(
        parameters.copy(),
        [weak, email, password](const Ref<VNHTTPRequestOperation>&, const Value&) {
            auto self = weak.lock();
            if (!self)
                return;
            PHProgressHUD::hideHUDForViewAnimated(self->view(), true);
            KESTAuthManager::sharedInstance()->storeUserCredentials(
                Value::dictionary({ { "email", email }, { "password", password } }));
            if (self->m_completionCallback)
                self->m_completionCallback();
            if (auto navigation = self->navigationController())
                navigation->dismissViewControllerAnimatedCompletion(true, nullptr);
            else
                self->dismissViewControllerAnimatedCompletion(true, nullptr);
        },
        [weak](const Ref<VNHTTPRequestOperation>& operation, const Ref<NSError>&) {
            auto self = weak.lock();
            if (!self)
                return;
            std::string message = KESTAuthFormSupport::failureMessage(operation,
                localized("We were unable to access your Kestravon account. Please try again. If this problem "
                          "persists, contact ")
                    + KESTServiceEndpoints::supportEmail());
            PHProgressHUD::hideHUDForViewAnimated(self->view(), true);
            KESTAuthManager::sharedInstance()->removeStoredCredentials();
            KESTAuthFormSupport::showAlert(localized("Error"), message, localized("Ok"));
        });
}

void KESTAuthLoginView::pressedForgottenPassword(const Ref<NSObject>&)
{
    if (auto navigation = navigationController())
        navigation->pushViewControllerAnimated(
            KESTAuthForgottenPasswordView::initWithCompletionBlockFailureBlock(nullptr, nullptr), true);
}
