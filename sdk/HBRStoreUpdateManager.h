#pragma once

#include "sdk/HBRHarborBaseManager.h"

// The store update check: once enabled, looks the application up in the store and announces a
// newer store version. Main thread only.
class HBRStoreUpdateManager : public HBRHarborBaseManager {
    VX_OBJECT(HBRStoreUpdateManager, HBRHarborBaseManager)
public:
    explicit HBRStoreUpdateManager(Passkey key)
        : HBRHarborBaseManager(key)
    {
    }
    bool isStoreUpdateManagerEnabled() const { return m_enableStoreUpdateManager; }
    void setEnableStoreUpdateManager(bool value) { m_enableStoreUpdateManager = value; }
    void startManager() override;

private:
    bool m_enableStoreUpdateManager { false };
};
