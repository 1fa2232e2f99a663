#pragma once

#include "foundation/Value.h"
#include "sdk/HBRFeedbackComposeViewController.h"
#include "uikit/UIActivity.h"

#include <optional>
#include <string>
#include <vector>

class UIImage;
class UIViewController;

// A share-sheet entry that opens the feedback compose screen with the shared texts and links as
// the start of the message. Main thread only.
class HBRFeedbackActivity : public UIActivity, public HBRFeedbackComposeViewControllerDelegate {
    VX_OBJECT(HBRFeedbackActivity, UIActivity)
public:
    explicit HBRFeedbackActivity(Passkey key)
        : UIActivity(key)
    {
    }
    static Ref<HBRFeedbackActivity> init() { return make<HBRFeedbackActivity>(); }

    std::string activityType() const override { return "UIActivityTypePostToHarborSDKFeedback"; }
    std::string activityTitle() const override;
    Ref<UIImage> activityImage() const override;
    bool canPerformWithActivityItems(const std::vector<Value>& items) const override;
    void prepareWithActivityItems(const std::vector<Value>& items) override;
    // The compose screen in its navigation controller, made on the first request.
    Ref<UIViewController> activityViewController() const override;

    bool feedbackComposeViewControllerDidFinishWithResult(
        HBRFeedbackComposeViewController&, HBRFeedbackComposeOutcome outcome) override;

    void setCustomActivityTitle(std::optional<std::string> title) { m_customActivityTitle = std::move(title); }
    void setCustomActivityImage(Ref<UIImage> image) { m_customActivityImage = std::move(image); }
    const std::vector<Value>& items() const { return m_items; }

private:
    std::optional<std::string> m_customActivityTitle;
    Ref<UIImage> m_customActivityImage;
    std::vector<Value> m_items;
    mutable Ref<UIViewController> m_activityViewController;
};
