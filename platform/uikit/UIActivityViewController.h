#pragma once

#include "uikit/UIActivity.h"
#include "uikit/UIViewController.h"

// The share sheet. Headless: a test (the user) chooses one of the available activities or
// cancels. A built-in activity completes at once; an application activity is prepared and
// performed and ends when it calls activityDidFinish. The sheet then dismisses itself when it
// was presented and calls the completion handler with the type and whether it completed.
// Main thread only.
class UIActivityViewController : public UIViewController {
    VX_OBJECT(UIActivityViewController, UIViewController)
public:
    explicit UIActivityViewController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<UIActivityViewController> initWithActivityItemsApplicationActivities(
        std::vector<Value> items, std::vector<Ref<UIActivity>> activities);

    const std::vector<Value>& activityItems() const { return m_items; }
    const std::vector<Ref<UIActivity>>& applicationActivities() const { return m_activities; }
    const std::vector<std::string>& excludedActivityTypes() const { return m_excluded; }
    void setExcludedActivityTypes(std::vector<std::string> types) { m_excluded = std::move(types); }
    using CompletionHandler = std::function<void(const std::string& activityType, bool completed)>;
    void setCompletionHandler(CompletionHandler handler) { m_completion = std::move(handler); }

    // The built-in types not excluded, then the application activities that can act on the
    // items, in order.
    std::vector<std::string> availableActivityTypes() const;
    // The host's side: false when the type is not offered.
    bool chooseActivity(const std::string& activityType);
    void cancel();

private:
    void finish(const std::string& type, bool completed);

    std::vector<Value> m_items;
    std::vector<Ref<UIActivity>> m_activities;
    std::vector<std::string> m_excluded;
    CompletionHandler m_completion;
    bool m_finished { false };
};
