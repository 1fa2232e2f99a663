#pragma once

#include "foundation/NSObject.h"
#include "foundation/NSTimer.h"

#include <mutex>

class NSNotification;

// Shows the status bar's network activity indicator while requests are in flight: counts the
// start and finish notifications of operations and tasks, shows the indicator at once when the
// count rises and hides it 0.17 s after the count drops to 0, so back-to-back requests do not
// make it flicker. Does nothing to the indicator until enabled. The count may change on any
// thread; the indicator and the timer are touched on the main thread only.
class VNNetworkActivityIndicatorManager : public NSObject {
    VX_OBJECT(VNNetworkActivityIndicatorManager, NSObject)
public:
    explicit VNNetworkActivityIndicatorManager(Passkey key)
        : NSObject(key)
    {
    }
    ~VNNetworkActivityIndicatorManager() override;

    static Ref<VNNetworkActivityIndicatorManager> sharedManager();
    // A manager observing the default notification center.
    static Ref<VNNetworkActivityIndicatorManager> init();

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isNetworkActivityIndicatorVisible() const { return activityCount() > 0; }
    int32_t activityCount() const;
    void setActivityCount(int32_t count);
    const Ref<NSTimer>& activityIndicatorVisibilityTimer() const { return m_timer; }

    void incrementActivityCount();
    void decrementActivityCount();

    void networkRequestDidStart(const Ref<NSNotification>& notification);
    void networkRequestDidFinish(const Ref<NSNotification>& notification);

    void updateNetworkActivityIndicatorVisibility();
    void updateNetworkActivityIndicatorVisibilityDelayed();

    Value valueForKey(const std::string& key) override;
    std::set<std::string> keyPathsForValuesAffectingValueForKey(const std::string& key) const override;

private:
    void updateDelayedOnMainQueue();

    bool m_enabled { false };
    int32_t m_activityCount { 0 };
    mutable std::recursive_mutex m_lock;
    Ref<NSTimer> m_timer;
};
