#include "app/view-controllers/account/KESTAuthForgottenPasswordView.h"

#include "app/core/KESTServiceEndpoints.h"
#include "app/view-controllers/account/KESTAuthFormSupport.h"
#include "app/widgets/PHProgressHUD.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"

VX_REGISTER_CLASS(KESTAuthForgottenPasswordView);

using KESTAuthFormSupport::localized;

Ref<KESTAuthForgottenPasswordView> KESTAuthForgottenPasswordView::initWithCompletionBlockFailureBlock(
    Callback completion, Callback failure)
{
    auto controller = makeController<KESTAuthForgottenPasswordView>("KESTAuthForgottenPasswordView", nullptr);
    controller->m_completionCallback = std::move(completion);
    controller->m_failureCallback = std::move(failure);
    return controller;
}

void KESTAuthForgottenPasswordView::viewDidLoad()
{
    KESTBaseViewController::viewDidLoad();
    setTitle(localized("Forgotten password"));
    if (forgottenPasswordLabel)
        forgottenPasswordLabel->setText(localized("I've forgotten my password"));
    if (forgottenPasswordDescriptionLabel)
        forgottenPasswordDescriptionLabel->setText(
            localized("Don't worry, these things happen! We can send you instructions on how to reset your password "
                      "to the email address associated with your account."));
    if (forgottenPasswordButton)
        forgottenPasswordButton->setTitleForState(localized("Reset my password"), UIControlStateNormal);
}

bool KESTAuthForgottenPasswordView::textFieldShouldReturn(const Ref<UITextField>& textField)
{
    Weak<KESTAuthForgottenPasswordView> weak = self<KESTAuthForgottenPasswordView>();
    return KESTAuthFormSupport::textFieldShouldReturn(textField, [weak] {
        if (auto screen = weak.lock())
            screen->pressedForgottenPassword(nullptr);
    });
}

void KESTAuthForgottenPasswordView::pressedForgottenPassword(const Ref<NSObject>&)
{
    std::string email = emailTextField ? emailTextField->text() : std::string();
    PHProgressHUD::showHUDAddedToAnimated(view(), true);
    Weak<KESTAuthForgottenPasswordView> weak = self<KESTAuthForgottenPasswordView>();
    KESTAuthManager::sharedInstance()->performRequestSuccessFailure(
        Value::dictionary({ { "action", "request_reset" }, { "email", email } }),
        [weak](const Ref<VNHTTPRequestOperation>&, const Value&) {
            auto self = weak.lock();
            if (!self)
                return;
            PHProgressHUD::hideHUDForViewAnimated(self->view(), true);
            KESTAuthFormSupport::showAlert("Password reset requested",
                localized("We've sent instructions to the email associated with your account"), localized("Ok"));
            if (self->m_completionCallback)
                self->m_completionCallback();
            if (auto navigation = self->navigationController())
                navigation->popViewControllerAnimated(true);
        },
        [weak](const Ref<VNHTTPRequestOperation>& operation, const Ref<NSError>&) {
            auto self = weak.lock();
            if (!self)
                return;
            std::string message = KESTAuthFormSupport::failureMessage(operation,
                localized("We were unable to request a password reset for your Kestravon account. Please try again. "
                          "If this problem persists, contact ")
                    + KESTServiceEndpoints::supportEmail());
            PHProgressHUD::hideHUDForViewAnimated(self->view(), true);
            KESTAuthFormSupport::showAlert(localized("Error"), message, localized("Ok"));
        });
}
