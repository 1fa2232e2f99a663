#include "UIAlertView+VNNetworking.h"

#include "NSBundle.h"
#include "NSError.h"
#include "NSNotification.h"
#include "NSNotificationCenter.h"
#include "NSOperationQueue.h"
#include "NSString.h"
#include "NSURLSessionTask.h"
#include "VNURLSessionNotifications.h"

#include <memory>

namespace UIAlertView_VNNetworking {

namespace {

std::string localized(const std::string& key)
{
    auto bundle = NSBundle::mainBundle();
    return bundle ? bundle->localizedStringForKey(key, "", "VNNetworking") : key;
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
    auto center = NSNotificationCenter::defaultCenter();
    // The observer removes itself, so the block holds its own registration token.
    auto token = std::make_shared<Ref<NSObject>>();
    std::vector<std::string> others;
    if (otherButtonTitle)
        others.push_back(*otherButtonTitle);
    *token = center->addObserverForName(std::string(VNNetworkingTaskDidCompleteNotification), task,
        NSOperationQueue::mainQueue(),
        [token, delegate, delegateOwner, cancelButtonTitle, others](const Ref<NSNotification>& notification) {
            auto error = notification->userInfo()[VNNetworkingTaskDidCompleteErrorKey].objectAs<NSError>();
            if (error) {
                auto [title, message] = titleAndMessageForError(error);
                UIAlertView::initWithTitle(title, message, delegate, delegateOwner, cancelButtonTitle, others)->show();
            }
            if (auto registration = *token) {
                token->reset();
                NSNotificationCenter::defaultCenter()->removeObserver(registration);
            }
        });
}

} // namespace UIAlertView_VNNetworking
