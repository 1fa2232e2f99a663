#pragma once

#include "sdk/HBRHarborBaseManager.h"
#include "sdk/HBRHarborManagerDelegate.h"
#include "sdk/HBRHarborSDK.h"

// The feedback component: one message thread of this installation with the service.
// Main thread only.
class HBRFeedbackManager : public HBRHarborBaseManager {
    VX_OBJECT(HBRFeedbackManager, HBRHarborBaseManager)
public:
    explicit HBRFeedbackManager(Passkey key)
        : HBRHarborBaseManager(key)
    {
    }
    HBRFeedbackManagerDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(HBRFeedbackManagerDelegate* delegate, Weak<NSObject> owner) { m_delegate = { delegate, owner }; }
    bool isFeedbackManagerDisabled() const { return m_disableFeedbackManager; }
    void setDisableFeedbackManager(bool value) { m_disableFeedbackManager = value; }
    void startManager() override;
    bool isStarted() const { return m_started; }

private:
    HBRDelegateRef<HBRFeedbackManagerDelegate> m_delegate;
    bool m_disableFeedbackManager { false };
    bool m_started { false };
};
