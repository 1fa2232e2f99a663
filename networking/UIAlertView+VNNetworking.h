#pragma once

#include "foundation/NSObject.h"
#include "uikit/UIAlertView.h"

#include <optional>
#include <string>

class NSURLSessionTask;
class VNURLConnectionOperation;

// Shows an alert when a session task or a connection operation finishes with an error. Main
// thread only; the alert is made on the main operation queue when the finish notification
// arrives.
namespace UIAlertView_VNNetworking {

// The alert's title and message for an error: its description with its recovery suggestion
// (or failure reason) when it has one, else "Error" with its description.
std::pair<std::string, std::string> titleAndMessageForError(const Ref<NSError>& error);

// With the cancel button "Dismiss" and no other button.
void showAlertViewForTaskWithErrorOnCompletionDelegate(
    const Ref<NSURLSessionTask>& task, UIAlertViewDelegate* delegate, Weak<NSObject> delegateOwner);
// Watches the task's next finish notification once: shows an alert when it carries an error,
// and stops watching either way.
void showAlertViewForTaskWithErrorOnCompletionDelegateCancelButtonTitleOtherButtonTitles(
    const Ref<NSURLSessionTask>& task, UIAlertViewDelegate* delegate, Weak<NSObject> delegateOwner,
    const std::string& cancelButtonTitle, const std::optional<std::string>& otherButtonTitle);

// With the cancel button "Dismiss" and no other button.
void showAlertViewForRequestOperationWithErrorOnCompletionDelegate(
    const Ref<VNURLConnectionOperation>& operation, UIAlertViewDelegate* delegate, Weak<NSObject> delegateOwner);
// Watches the operation's next finish notification once: shows an alert when the operation
// then has an error, and stops watching either way. Pausing posts that notification too, so a
// paused operation's later failure shows no alert.
void showAlertViewForRequestOperationWithErrorOnCompletionDelegateCancelButtonTitleOtherButtonTitles(
    const Ref<VNURLConnectionOperation>& operation, UIAlertViewDelegate* delegate, Weak<NSObject> delegateOwner,
    const std::string& cancelButtonTitle, const std::optional<std::string>& otherButtonTitle);

} // namespace UIAlertView_VNNetworking
