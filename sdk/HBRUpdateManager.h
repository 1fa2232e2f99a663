#pragma once

#include "sdk/HBRHarborBaseManager.h"
#include "sdk/HBRHarborManagerDelegate.h"
#include "sdk/HBRHarborSDK.h"

// The beta update component: finds newer builds of a build not installed from the store.
// Main thread only.
class HBRUpdateManager : public HBRHarborBaseManager {
    VX_OBJECT(HBRUpdateManager, HBRHarborBaseManager)
public:
    explicit HBRUpdateManager(Passkey key)
        : HBRHarborBaseManager(key)
    {
    }
    HBRUpdateManagerDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(HBRUpdateManagerDelegate* delegate, Weak<NSObject> owner) { m_delegate = { delegate, owner }; }
    bool isUpdateManagerDisabled() const { return m_disableUpdateManager; }
    void setDisableUpdateManager(bool value) { m_disableUpdateManager = value; }
    void startManager() override;
    bool isStarted() const { return m_started; }

private:
    HBRDelegateRef<HBRUpdateManagerDelegate> m_delegate;
    bool m_disableUpdateManager { false };
    bool m_started { false };
};
