#include "uikit/UIActivityViewController.h"

#include <algorithm>

namespace {
const char* const kBuiltInTypes[]
    = { UIActivityTypeMessage, UIActivityTypeMail, UIActivityTypePostToTwitter, UIActivityTypePostToFacebook,
          UIActivityTypePostToWeibo, UIActivityTypeCopyToPasteboard, UIActivityTypePrint, UIActivityTypeAssignToContact,
          UIActivityTypeSaveToCameraRoll, UIActivityTypeAddToReadingList, UIActivityTypeAirDrop };
} // namespace

Ref<UIActivityViewController> UIActivityViewController::initWithActivityItemsApplicationActivities(
    std::vector<Value> items, std::vector<Ref<UIActivity>> activities)
{
    auto controller = makeController<UIActivityViewController>({}, nullptr);
    controller->m_items = std::move(items);
    controller->m_activities = std::move(activities);
    controller->setModalPresentationStyle(UIModalPresentationFormSheet);
    return controller;
}

std::vector<std::string> UIActivityViewController::availableActivityTypes() const
{
    std::vector<std::string> types;
    auto excluded
        = [&](const std::string& t) { return std::find(m_excluded.begin(), m_excluded.end(), t) != m_excluded.end(); };
    for (const char* type : kBuiltInTypes) {
        if (!excluded(type))
            types.emplace_back(type);
    }
    for (const auto& activity : m_activities) {
        if (activity && activity->canPerformWithActivityItems(m_items) && !excluded(activity->activityType()))
            types.push_back(activity->activityType());
    }
    return types;
}

bool UIActivityViewController::chooseActivity(const std::string& activityType)
{
    auto types = availableActivityTypes();
    if (m_finished || std::find(types.begin(), types.end(), activityType) == types.end())
        return false;
    auto it = std::find_if(m_activities.begin(), m_activities.end(),
        [&](const Ref<UIActivity>& a) { return a && a->activityType() == activityType; });
    if (it == m_activities.end()) {
        finish(activityType, true);
        return true;
    }
    Ref<UIActivity> activity = *it;
    Weak<UIActivityViewController> weak = self<UIActivityViewController>();
    activity->setFinishHandlerInternal([weak, activityType](bool completed) {
        if (auto self_ = weak.lock())
            self_->finish(activityType, completed);
    });
    activity->prepareWithActivityItems(m_items);
    // An activity with a controller of its own shows it over the sheet instead of performing;
    // that controller ends the activity itself.
    if (auto controller = activity->activityViewController()) {
        presentViewControllerAnimatedCompletion(controller, true, nullptr);
        return true;
    }
    activity->performActivity();
    return true;
}

void UIActivityViewController::cancel()
{
    if (!m_finished)
        finish({}, false);
}

void UIActivityViewController::finish(const std::string& type, bool completed)
{
    if (m_finished)
        return;
    m_finished = true;
    auto self_ = self<UIActivityViewController>();
    auto report = [self_, type, completed] {
        if (self_->m_completion)
            self_->m_completion(type, completed);
    };
    if (presentingViewController())
        dismissViewControllerAnimatedCompletion(true, report);
    else
        report();
}

VX_REGISTER_CLASS(UIActivityViewController);
