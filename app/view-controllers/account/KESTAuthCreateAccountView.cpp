#include "app/view-controllers/account/KESTAuthCreateAccountView.h"

#include "app/core/KESTServiceEndpoints.h"
#include "app/view-controllers/account/KESTAuthFormSupport.h"
#include "app/widgets/PHProgressHUD.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"

VX_REGISTER_CLASS(KESTAuthCreateAccountView);

using KESTAuthFormSupport::localized;

Ref<KESTAuthCreateAccountView> KESTAuthCreateAccountView::initWithCompletionBlockFailureBlock(
    Callback completion, Callback failure)
{
    auto controller = makeController<KESTAuthCreateAccountView>("KESTAuthCreateAccountView", nullptr);
    controller->m_completionCallback = std::move(completion);
    controller->m_failureCallback = std::move(failure);
    return controller;
}

void KESTAuthCreateAccountView::viewDidLoad()
{
    KESTBaseViewController::viewDidLoad();
    setTitle(localized("Create Account"));
    if (createAccountLabel)
        createAccountLabel->setText(localized("Create an account"));
    if (createAccountDescriptionLabel)
        createAccountDescriptionLabel->setText(
            localized("Kestravon accounts are free and give access to a number of special features"));
    if (createAccountButton)
        createAccountButton->setTitleForState(localized("Create my free account"), UIControlStateNormal);
}

bool KESTAuthCreateAccountView::textFieldShouldReturn(const Ref<UITextField>& textField)
{
    Weak<KESTAuthCreateAccountView> weak = self<KESTAuthCreateAccountView>();
    return KESTAuthFormSupport::textFieldShouldReturn(textField, [weak] {
        if (auto screen = weak.lock())
            screen->pressedCreateAccount(nullptr);
    });
}

void KESTAuthCreateAccountView::pressedCreateAccount(const Ref<NSObject>&)
{
    std::string email = emailTextField ? emailTextField->text() : std::string();
    std::string password = passwordTextField ? passwordTextField->text() : std::string();
    auto parameters
        = Value::mutableDictionary({ { "action", "create" }, { "email", email }, { "password", password } });
    KESTAuthFormSupport::addStoredCredentials(parameters);
    PHProgressHUD::showHUDAddedToAnimated(view(), true);
    Weak<KESTAuthCreateAccountView> weak = self<KESTAuthCreateAccountView>();
    KESTAuthManager::sharedInstance()->performRequestSuccessFailure(
        parameters.copy(),
        [weak, email, password](const Ref<VNHTTPRequestOperation>&, const Value&) {
            auto self = weak.lock();
            if (!self)
                return;
            KESTAuthManager::sharedInstance()->storeUserCredentials(
                Value::dictionary({ { "email", email }, { "password", password } }));
            PHProgressHUD::hideHUDForViewAnimated(self->view(), true);
            KESTAuthFormSupport::showAlert(localized("Account created"),
                localized("Thank you! Your Kestravon account has been setup successfully. We've logged you in "
                          "automatically."),
                localized("Ok"));
            if (self->m_completionCallback)
                self->m_completionCallback();
            if (auto navigation = self->navigationController())
                navigation->dismissViewControllerAnimatedCompletion(true, nullptr);
        },
        [weak](const Ref<VNHTTPRequestOperation>& operation, const Ref<NSError>&) {
            auto self = weak.lock();
            if (!self)
                return;
            std::string message = KESTAuthFormSupport::failureMessage(operation,
                localized("We were unable to create your Kestravon account. Please try again. If this problem "
                          "persists, contact ")
                    + KESTServiceEndpoints::supportEmail());
            PHProgressHUD::hideHUDForViewAnimated(self->view(), true);
            KESTAuthFormSupport::showAlert(localized("Error"), message, "Ok");
        });
}
