#pragma once

#include "foundation/Ref.h"
#include "sdk/HBRCrashManagerDelegate.h"

#include <optional>
#include <string>

class HBRHarborBaseManager;
class HBRHarborManager;
class UIViewController;

// Told when the feedback component receives an answer. Optional.
class HBRFeedbackManagerDelegate {
public:
    virtual ~HBRFeedbackManagerDelegate() = default;
    virtual void feedbackManagerDidReceiveNewFeedback(class HBRFeedbackManager&) { }
};

// Asked by the beta update component. Optional; nullopt means "not implemented".
class HBRUpdateManagerDelegate {
public:
    virtual ~HBRUpdateManagerDelegate() = default;
    virtual std::optional<bool> updateManagerShouldSendUsageData(class HBRUpdateManager&) { return std::nullopt; }
};

// What the kit's manager may ask its delegate; every operation is optional and answers nullopt
// when the delegate does not implement it.
class HBRHarborManagerDelegate : public HBRCrashManagerDelegate,
                                 public HBRUpdateManagerDelegate,
                                 public HBRFeedbackManagerDelegate {
public:
    ~HBRHarborManagerDelegate() override = default;
    // Whether the running build should use the live identifier.
    virtual std::optional<bool> shouldUseLiveIdentifierForHarborManager(HBRHarborManager&) { return std::nullopt; }
    // The controller to present kit screens on.
    virtual std::optional<Ref<UIViewController>> viewControllerForHarborManagerComponentManager(
        HBRHarborManager&, HBRHarborBaseManager&)
    {
        return std::nullopt;
    }
    virtual std::optional<std::string> userIDForHarborManagerComponentManager(HBRHarborManager&, HBRHarborBaseManager&)
    {
        return std::nullopt;
    }
    virtual std::optional<std::string> userNameForHarborManagerComponentManager(
        HBRHarborManager&, HBRHarborBaseManager&)
    {
        return std::nullopt;
    }
    virtual std::optional<std::string> userEmailForHarborManagerComponentManager(
        HBRHarborManager&, HBRHarborBaseManager&)
    {
        return std::nullopt;
    }
};
