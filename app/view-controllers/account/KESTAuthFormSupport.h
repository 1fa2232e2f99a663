#pragma once

#include "foundation/Value.h"

#include <functional>
#include <string>

class NSError;
class UITextField;
class UIView;
class VNHTTPRequestOperation;

// What the account form screens share: Return moving through the form, the stored account's
// credentials sent along with a new sign-in, the progress overlay and the reading of a failure
// reply. Main thread only.
namespace KESTAuthFormSupport {

using Submit = std::function<void()>;

// The view tagged one after the field in the field's parent becomes first responder; without
// one the field resigns and the form is submitted. Always answers NO.
bool textFieldShouldReturn(const Ref<UITextField>& textField, const Submit& submit);
// Adds "tmp_email" and "tmp_password" of the stored account when there is one whose password the
// keychain gives up.
void addStoredCredentials(Value& parameters);
// The reply's "response" text when the failed request's body is a JSON object carrying one, else
// the fallback.
std::string failureMessage(const Ref<VNHTTPRequestOperation>& operation, const std::string& fallback);
// The localized text of the key.
std::string localized(const std::string& key);
// Shows an alert with one cancel button.
void showAlert(const std::string& title, const std::string& message, const std::string& button);

} // namespace KESTAuthFormSupport
