#pragma once

#include "foundation/Value.h"
#include "sdk/HBRHarborBaseManager.h"
#include "sdk/HBRHarborSDK.h"
#include "uikit/UIAlertView.h"

#include <optional>
#include <string>

class HBRStoreUpdateManager;
class NSLocale;

// Told when the store offers a newer version. Optional.
class HBRStoreUpdateManagerDelegate {
public:
    virtual ~HBRStoreUpdateManagerDelegate() = default;
    virtual void detectedUpdateFromStoreUpdateManagerNewVersionStoreURL(
        HBRStoreUpdateManager&, const std::string& /*newVersion*/, const std::string& /*storeURL*/)
    {
    }
};

// The store update check of a store build, once enabled: looks the application up in the
// store, compares the store's version with the one current at the first answered check of the
// running build and offers to ignore it, be reminded or open the store page. Main thread only.
class HBRStoreUpdateManager : public HBRHarborBaseManager, public UIAlertViewDelegate {
    VX_OBJECT(HBRStoreUpdateManager, HBRHarborBaseManager)
public:
    explicit HBRStoreUpdateManager(Passkey key)
        : HBRHarborBaseManager(key)
    {
    }
    ~HBRStoreUpdateManager() override;

    // The store's lookup service.
    static constexpr const char* kStoreLookupBaseURL = "https://store-lookup.harborapp.net/";

    bool isStoreUpdateManagerEnabled() const { return m_enableStoreUpdateManager; }
    void setEnableStoreUpdateManager(bool value) { m_enableStoreUpdateManager = value; }
    int32_t updateSetting() const { return m_updateSetting; }
    void setUpdateSetting(int32_t value) { m_updateSetting = value; }
    bool isCheckingForUpdateOnLaunch() const { return m_checkForUpdateOnLaunch; }
    void setCheckForUpdateOnLaunch(bool value) { m_checkForUpdateOnLaunch = value; }
    bool isUpdateUIEnabled() const { return m_updateUIEnabled; }
    void setUpdateUIEnabled(bool value) { m_updateUIEnabled = value; }
    const std::optional<std::string>& countryCode() const { return m_countryCode; }
    void setCountryCode(std::optional<std::string> code) { m_countryCode = std::move(code); }
    HBRStoreUpdateManagerDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(HBRStoreUpdateManagerDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = { delegate, owner };
    }
    // nullptr: the current locale.
    void setCurrentLocale(Ref<NSLocale> locale) { m_currentLocale = std::move(locale); }

    void startManager() override;
    void checkForUpdate() { checkForUpdateManual(true); }
    void checkForUpdateDelayed() { checkForUpdateManual(false); }
    void checkForUpdateManual(bool manual);
    bool processStoreResponseWithString(const std::optional<std::string>& text);
    bool hasNewVersion(const Value& answer);
    std::optional<std::string> lastStoreVersion();
    bool shouldAutoCheckForUpdates() const;
    bool shouldCancelProcessing() const { return !(isAppStoreEnvironment() && m_enableStoreUpdateManager); }
    void showUpdateAlert();
    void reportError(const Ref<NSError>& error) override;

    const std::optional<std::string>& newStoreVersion() const { return m_newStoreVersion; }
    const std::optional<std::string>& appStoreURLString() const { return m_appStoreURLString; }
    double lastCheck() const { return m_lastCheck; }
    void setLastCheck(double secondsSince1970);
    bool isUpdateAvailable() const { return m_updateAvailable; }
    bool isCheckInProgress() const { return m_checkInProgress; }
    bool lastCheckFailed() const { return m_lastCheckFailed; }
    bool isUpdateAlertShowing() const { return m_updateAlertShowing; }

    // UIAlertViewDelegate
    void alertViewDidDismissWithButtonIndex(const Ref<UIAlertView>& alert, int32_t buttonIndex) override;

protected:
    void init() override;

private:
    void didBecomeActiveActions();
    void registerObservers();
    void storeIgnoredVersion();

    bool m_enableStoreUpdateManager { false };
    int32_t m_updateSetting { 1 };
    bool m_checkForUpdateOnLaunch { true };
    bool m_updateUIEnabled { true };
    std::optional<std::string> m_countryCode;
    HBRDelegateRef<HBRStoreUpdateManagerDelegate> m_delegate;
    Ref<NSLocale> m_currentLocale;
    std::optional<std::string> m_newStoreVersion, m_appStoreURLString;
    std::string m_currentUUID;
    double m_lastCheck { 0 };
    bool m_updateAvailable { false };
    bool m_checkInProgress { false };
    bool m_lastCheckFailed { false };
    bool m_updateAlertShowing { false };
    Ref<NSObject> m_becomeActiveObserver, m_networkObserver;
};
