#pragma once

#include "net/NSURLConnection.h"
#include "sdk/HBRAppVersionMetaInfo.h"
#include "sdk/HBRHarborBaseManager.h"
#include "sdk/HBRHarborManagerDelegate.h"
#include "sdk/HBRHarborSDK.h"
#include "uikit/UIAlertView.h"

#include <optional>
#include <string>
#include <vector>

class UIViewController;

// The beta update component of a build not installed from the store: asks the service for the
// version list on its check rules, decides whether a newer build exists (by version string, by
// upload id and by the running executable's UUID), reminds the user, hands the platform the
// over-the-air install link and counts how long each build is used. Publishes "checkInProgress",
// "updateAvailable" and "appVersions" for observation. Main thread only.
class HBRUpdateManager : public HBRHarborBaseManager, public NSURLConnectionDelegate, public UIAlertViewDelegate {
    VX_OBJECT(HBRUpdateManager, HBRHarborBaseManager)
public:
    explicit HBRUpdateManager(Passkey key)
        : HBRHarborBaseManager(key)
    {
    }
    ~HBRUpdateManager() override;

    enum UpdateSetting : uint32_t { CheckStartup = 0, CheckDaily = 1, CheckManually = 2 };

    HBRUpdateManagerDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(HBRUpdateManagerDelegate* delegate, Weak<NSObject> owner);
    bool isUpdateManagerDisabled() const { return m_disableUpdateManager; }
    void setDisableUpdateManager(bool value) { m_disableUpdateManager = value; }
    uint32_t updateSetting() const { return m_updateSetting; }
    void setUpdateSetting(uint32_t value) { m_updateSetting = value; }
    bool isCheckForUpdateOnLaunch() const { return m_checkForUpdateOnLaunch; }
    void setCheckForUpdateOnLaunch(bool value) { m_checkForUpdateOnLaunch = value; }
    bool alwaysShowUpdateReminder() const { return m_alwaysShowUpdateReminder; }
    void setAlwaysShowUpdateReminder(bool value) { m_alwaysShowUpdateReminder = value; }
    bool isShowingDirectInstallOption() const { return m_showDirectInstallOption; }
    void setShowDirectInstallOption(bool value) { m_showDirectInstallOption = value; }
    bool checkForTracker() const { return m_checkForTracker; }
    void setCheckForTracker(bool value) { m_checkForTracker = value; }

    void startManager() override;
    bool isStarted() const { return m_started; }
    void checkForUpdate();
    void checkForUpdateShowFeedback(bool feedback);
    void showUpdateView();
    // A new update screen; in a store build, after the warning line, a plain kit screen.
    Ref<class HBRHarborBaseViewController> harborViewController(bool modal);
    void showCheckForUpdateAlert();
    bool initiateAppDownload();
    bool hasNewerMandatoryVersion() const;
    Ref<HBRAppVersionMetaInfo> newestAppVersion() const;
    void reportError(const Ref<NSError>& error) override;
    // Whether an automatic check is due by the update setting.
    bool checkForUpdateIsDue() const;

    const std::vector<Ref<HBRAppVersionMetaInfo>>& appVersions() const { return m_appVersions; }
    // A non-empty list is stored; an empty one becomes the one-record placeholder list.
    void setAppVersions(const std::vector<Ref<HBRAppVersionMetaInfo>>& versions);
    const std::string& currentAppVersion() const { return m_currentAppVersion; }
    const std::string& uuid() const { return m_uuid; }
    bool isUpdateAvailable() const { return m_updateAvailable; }
    bool isCheckInProgress() const { return m_checkInProgress; }
    double lastCheck() const { return m_lastCheck; }
    void setLastCheck(double secondsSince1970);
    const std::optional<std::string>& companyName() const { return m_companyName; }
    const Value& trackerConfig() const { return m_trackerConfig; }
    const std::optional<std::string>& versionUUID() const { return m_versionUUID; }
    const std::optional<int64_t>& versionID() const { return m_versionID; }
    bool isFirstStartAfterInstall() const { return m_firstStartAfterInstall; }
    bool sendUsageData() const { return m_sendUsageData; }
    double currentAppVersionUsageTime() const { return m_currentAppVersionUsageTime; }
    const Ref<UIViewController>& currentHarborViewController() const { return m_currentHarborViewController; }
    void setCurrentHarborViewController(Ref<UIViewController> screen)
    {
        m_currentHarborViewController = std::move(screen);
    }
    bool isUpdateAlertShowing() const { return m_updateAlertShowing; }

    Value valueForKey(const std::string& key) override;

    // Test seam: the running executable's UUID used from now on by new managers ("" reads it).
    static void setExecutableUUIDForTesting(std::string uuid);

    // NSURLConnectionDelegate (main run loop).
    std::optional<Ref<NSURLRequest>> connectionWillSendRequestRedirectResponse(
        const Ref<NSURLConnection>&, const Ref<NSURLRequest>&, const Ref<NSURLResponse>&) override;
    void connectionDidReceiveResponse(const Ref<NSURLConnection>&, const Ref<NSURLResponse>& response) override;
    void connectionDidReceiveData(const Ref<NSURLConnection>&, const Value& data) override;
    void connectionDidFailWithError(const Ref<NSURLConnection>&, const Ref<NSError>& error) override;
    void connectionDidFinishLoading(const Ref<NSURLConnection>&) override;
    // UIAlertViewDelegate: the reminder alert.
    void alertViewDidDismissWithButtonIndex(const Ref<UIAlertView>& alert, int32_t buttonIndex) override;

protected:
    void init() override;

private:
    void setCheckInProgress(bool value);
    void setUpdateAvailable(bool value);
    void loadAppCache();
    void saveAppCache();
    void checkUpdateAvailable();
    void loadAppVersionUsageData();
    void storeUsageTimeOfCurrentVersion(double seconds);
    void startUsage();
    void stopUsage();
    void registerObservers();
    void unregisterObservers();
    std::string currentUsageString() const;
    std::string installationDateString() const;
    void finishConnection();
    Ref<NSError> updateError(int32_t code, const std::string& description) const;

    HBRDelegateRef<HBRUpdateManagerDelegate> m_delegate;
    uint32_t m_updateSetting { CheckStartup };
    bool m_checkForUpdateOnLaunch { true };
    bool m_alwaysShowUpdateReminder { true };
    bool m_showDirectInstallOption { false };
    bool m_disableUpdateManager { false };
    bool m_checkForTracker { false };
    bool m_started { false };
    std::string m_currentAppVersion;
    std::string m_uuid;
    std::vector<Ref<HBRAppVersionMetaInfo>> m_appVersions;
    bool m_updateAvailable { false };
    bool m_checkInProgress { false };
    double m_lastCheck { 0 };
    std::optional<std::string> m_companyName;
    Value m_trackerConfig;
    std::optional<std::string> m_versionUUID;
    std::optional<int64_t> m_versionID;
    bool m_firstStartAfterInstall { false };
    Ref<UIViewController> m_currentHarborViewController;
    bool m_showFeedback { false };
    bool m_updateAlertShowing { false };
    bool m_didEnterBackgroundState { false };
    bool m_sendUsageData { true };
    double m_currentAppVersionUsageTime { 0 };
    double m_usageStartTimestamp { 0 };
    Value::Bytes m_receivedData;
    Ref<NSURLConnection> m_urlConnection;
    std::string m_updateDir, m_usageDataFile;
    Ref<NSObject> m_enterBackgroundObserver, m_becomeActiveObserver, m_networkObserver, m_terminateObserver,
        m_resignActiveObserver;
};
