#include "networking/UIAlertView+VNNetworking.h"

#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSString.h"
#include "net/NSURLSessionTask.h"
#include "networking/VNURLConnectionOperation.h"
#include "networking/VNURLSessionNotifications.h"

#include <functional>
#include <memory>

namespace UIAlertView_VNNetworking {

namespace {

std::string localized(const std::string& key)
{
    auto bundle = NSBundle::mainBundle();
    return bundle ? bundle->localizedStringForKey(key, "", "VNNetworking") : key;
}

// Observes the object's next `name` notification on the main operation queue: shows an alert
// when `errorOf` finds an error in it, then stops observing either way.
void showAlertOnceOnFinish(const char* name, const Ref<NSObject>& object,
    std::function<Ref<NSError>(const Ref<NSNotification>&)> errorOf, UIAlertViewDelegate* delegate,
    Weak<NSObject> delegateOwner, const std::string& cancelButtonTitle,
    const std::optional<std::string>& otherButtonTitle)
{
    auto center = NSNotificationCenter::defaultCenter();
    // The observer removes itself, so the block holds its own registration token.
    auto token = std::make_shared<Ref<NSObject>>();
    std::vector<std::string> others;
    if (otherButtonTitle)
        others.push_back(*otherButtonTitle);
    *token = center->addObserverForName(std::string(name), object, NSOperationQueue::mainQueue(),
        [token, errorOf, delegate, delegateOwner, cancelButtonTitle, others](const Ref<NSNotification>& notification) {
            if (auto error = errorOf(notification)) {
                auto [title, message] = titleAndMessageForError(error);
                UIAlertView::initWithTitle(title, message, delegate, delegateOwner, cancelButtonTitle, others)->show();
            }
            if (auto registration = *token) {
                token->reset();
                NSNotificationCenter::defaultCenter()->removeObserver(registration);
            }
        });
}

} // namespace

std::pair<std::string, std::string> titleAndMessageForError(const Ref<NSError>& error)
{
    if (!error)
        return { localized("Error"), std::string() };
    std::string description = error->localizedDescription();
    std::string suggestion = error->localizedRecoverySuggestion();
    std::string reason = error->localizedFailureReason();
    if (!description.empty() && (!suggestion.empty() || !reason.empty()))
        return { description, !suggestion.empty() ? suggestion : reason };
    if (!description.empty())
        return { localized("Error"), description };
    return { localized("Error"),
        NSString::stringWithFormat(localized("%@ Error: %d"), error->domain(), error->code()) };
}

void showAlertViewForTaskWithErrorOnCompletionDelegate(
    const Ref<NSURLSessionTask>& task, UIAlertViewDelegate* delegate, Weak<NSObject> delegateOwner)
{
    showAlertViewForTaskWithErrorOnCompletionDelegateCancelButtonTitleOtherButtonTitles(
        task, delegate, std::move(delegateOwner), localized("Dismiss"), std::nullopt);
}

void showAlertViewForTaskWithErrorOnCompletionDelegateCancelButtonTitleOtherButtonTitles(
    const Ref<NSURLSessionTask>& task, UIAlertViewDelegate* delegate, Weak<NSObject> delegateOwner,
    const std::string& cancelButtonTitle, const std::optional<std::string>& otherButtonTitle)
{
    if (!task)
        return;
    showAlertOnceOnFinish(
        VNNetworkingTaskDidCompleteNotification, task,
        [](const Ref<NSNotification>& notification) {
            return notification->userInfo()[VNNetworkingTaskDidCompleteErrorKey].objectAs<NSError>();
        },
        delegate, std::move(delegateOwner), cancelButtonTitle, otherButtonTitle);
}

void showAlertViewForRequestOperationWithErrorOnCompletionDelegate(
    const Ref<VNURLConnectionOperation>& operation, UIAlertViewDelegate* delegate, Weak<NSObject> delegateOwner)
{
    showAlertViewForRequestOperationWithErrorOnCompletionDelegateCancelButtonTitleOtherButtonTitles(
        operation, delegate, std::move(delegateOwner), localized("Dismiss"), std::nullopt);
}

void showAlertViewForRequestOperationWithErrorOnCompletionDelegateCancelButtonTitleOtherButtonTitles(
    const Ref<VNURLConnectionOperation>& operation, UIAlertViewDelegate* delegate, Weak<NSObject> delegateOwner,
    const std::string& cancelButtonTitle, const std::optional<std::string>& otherButtonTitle)
{
    if (!operation)
        return;
    showAlertOnceOnFinish(
        VNNetworkingOperationDidFinishNotification, operation,
        [](const Ref<NSNotification>& notification) -> Ref<NSError> {
            auto finished = std::dynamic_pointer_cast<VNURLConnectionOperation>(notification->object());
            return finished ? finished->error() : nullptr;
        },
        delegate, std::move(delegateOwner), cancelButtonTitle, otherButtonTitle);
}

} // namespace UIAlertView_VNNetworking
