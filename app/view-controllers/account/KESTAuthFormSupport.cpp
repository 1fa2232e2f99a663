#include "app/view-controllers/account/KESTAuthFormSupport.h"

#include "app/core/KESTAuthManager.h"
#include "app/core/KESTKeychainWrapper.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSJSONSerialization.h"
#include "networking/VNHTTPRequestOperation.h"
#include "uikit/UIAlertView.h"
#include "uikit/UITextField.h"

namespace KESTAuthFormSupport {

bool textFieldShouldReturn(const Ref<UITextField>& textField, const Submit& submit)
{
    if (!textField)
        return false;
    Ref<UIView> next;
    if (auto parent = textField->superview())
        next = parent->viewWithTag(textField->tag() + 1);
    if (next) {
        next->becomeFirstResponder();
    } else {
        textField->resignFirstResponder();
        if (submit)
            submit();
    }
    return false;
}

void addStoredCredentials(Value& parameters)
{
    auto auth = KESTAuthManager::sharedInstance();
    if (!auth->hasStoredCredentials())
        return;
    auto email = auth->storedEmail();
    Ref<NSError> error;
    auto password = KESTKeychainWrapper::getPasswordForUsernameAndServiceNameError(
        email, std::string(KESTAuthManager::kKeychainService), &error);
    if (error || !email || !password)
        return;
    parameters.setObjectForKey(*email, "tmp_email");
    parameters.setObjectForKey(*password, "tmp_password");
}

std::string failureMessage(const Ref<VNHTTPRequestOperation>& operation, const std::string& fallback)
{
    Value body = operation ? operation->responseData() : Value();
    if (!body.isData())
        return fallback;
    Ref<NSError> error;
    Value reply = NSJSONSerialization::JSONObjectWithData(body.bytes(), 0, &error);
    if (reply.isDictionary() && reply["response"].isString())
        return reply["response"].stringValue();
    return fallback;
}

std::string localized(const std::string& key)
{
    return NSBundle::mainBundle()->localizedStringForKey(key, "", "");
}

void showAlert(const std::string& title, const std::string& message, const std::string& button)
{
    UIAlertView::initWithTitle(title, message, nullptr, {}, button, {})->show();
}

} // namespace KESTAuthFormSupport
