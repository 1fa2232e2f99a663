#include "sdk/HBRFeedbackActivity.h"

#include "graphics/UIImage.h"

#include "net/NSURL.h"
#include "sdk/HBRFeedbackManager.h"
#include "sdk/HBRHarborHelper.h"
#include "sdk/HBRHarborManager.h"
#include "uikit/UINavigationController.h"
#include <algorithm>

VX_REGISTER_CLASS(HBRFeedbackActivity);

namespace {

constexpr const char* HBRLogClassName = "HBRFeedbackActivity";

bool isTextOrLink(const Value& item)
{
    return item.isString() || bool(item.objectAs<NSURL>());
}

} // namespace

std::string HBRFeedbackActivity::activityTitle() const
{
    if (m_customActivityTitle)
        return *m_customActivityTitle;
    std::string name = HBRAppDisplayName(HBRLocalizedString(std::string("HarborFeedbackActivityAppPlaceholder")));
    return NSString::stringWithFormat(HBRLocalizedString(std::string("HarborFeedbackActivityButtonTitle")), name);
}

Ref<UIImage> HBRFeedbackActivity::activityImage() const
{
    if (m_customActivityImage)
        return m_customActivityImage;
    return HBRImageFromResourcesBundle("feedbackActiviy.png", kHBRResourcesBundleName);
}

bool HBRFeedbackActivity::canPerformWithActivityItems(const std::vector<Value>& items) const
{
    auto harbor = HBRHarborManager::existingSharedHarborManager();
    if (harbor && harbor->isFeedbackManagerDisabled())
        return false;
    return std::any_of(items.begin(), items.end(), isTextOrLink);
}

void HBRFeedbackActivity::prepareWithActivityItems(const std::vector<Value>& items)
{
    for (const auto& item : items) {
        if (isTextOrLink(item))
            m_items.push_back(item);
        else
            HBRLog("Unknown item type %@", item.description());
    }
}

Ref<UIViewController> HBRFeedbackActivity::activityViewController() const
{
    if (m_activityViewController)
        return m_activityViewController;
    auto harbor = HBRHarborManager::existingSharedHarborManager();
    auto manager = harbor ? harbor->feedbackManager() : nullptr;
    if (!manager)
        return nullptr;
    auto compose = HBRFeedbackComposeViewController::init();
    auto* self = const_cast<HBRFeedbackActivity*>(this);
    compose->setDelegate(self, self->self<HBRFeedbackActivity>());
    compose->prepareWithItems(m_items);
    auto navigation = manager->customNavigationControllerWithRootViewControllerPresentationStyle(
        compose, UIModalPresentationFormSheet);
    navigation->setModalTransitionStyle(UIModalTransitionStyleCrossDissolve);
    m_activityViewController = navigation;
    return m_activityViewController;
}

bool HBRFeedbackActivity::feedbackComposeViewControllerDidFinishWithResult(
    HBRFeedbackComposeViewController&, HBRFeedbackComposeOutcome outcome)
{
    activityDidFinish(outcome == HBRFeedbackComposeOutcomeSubmitted);
    return true;
}
