#pragma once

#include "foundation/NSObject.h"
#include "sdk/HBRHarborManagerDelegate.h"

#include <optional>
#include <string>

class HBRCrashManager;
class HBRFeedbackManager;
class HBRHarborAppClient;
class HBRStoreUpdateManager;
class HBRUpdateManager;

// The crash, feedback and update kit's one manager. Configured with the beta and live
// application identifiers, it picks the identifier in force, tells store builds apart, makes
// the four components and starts them in order (crash at once, store update after 0.5 s when
// enabled, feedback after 1.0 s, beta update after 0.5 s outside store builds). It owns the
// debug-log switch and the kit's HTTP client. Main thread only.
class HBRHarborManager : public NSObject {
    VX_OBJECT(HBRHarborManager, NSObject)
public:
    explicit HBRHarborManager(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<HBRHarborManager> sharedHarborManager();
    // The shared manager when it exists, without making it.
    static Ref<HBRHarborManager> existingSharedHarborManager();
    // Test-only: the next sharedHarborManager() is a new manager.
    static void resetSharedHarborManagerForTesting();
    // Test-only: decides the store-build rule for managers made from now on (nullopt: from the
    // main bundle's "embedded.mobileprovision").
    static void setAppStoreEnvironmentForTesting(std::optional<bool> appStore);

    // An identifier is valid when it has exactly 32 characters of "0123456789abcdef".
    static bool isValidIdentifier(const std::optional<std::string>& identifier);

    void configureWithBetaIdentifierLiveIdentifierDelegate(const std::string& betaIdentifier,
        const std::string& liveIdentifier, HBRHarborManagerDelegate* delegate, Weak<NSObject> delegateOwner);
    void configureWithIdentifier(const std::string& identifier);
    void configureWithIdentifierDelegate(
        const std::string& identifier, HBRHarborManagerDelegate* delegate, Weak<NSObject> delegateOwner);
    void startManager();
    // Sends the integration ping for the identifier in force (and a remembered invalid live one).
    void testIdentifier();

    const std::optional<std::string>& serverURL() const { return m_serverURL; }
    void setServerURL(const std::optional<std::string>& serverURL);
    HBRHarborManagerDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }
    void setDelegate(HBRHarborManagerDelegate* delegate, Weak<NSObject> delegateOwner);
    bool isCrashManagerDisabled() const { return m_disableCrashManager; }
    void setDisableCrashManager(bool value) { m_disableCrashManager = value; }
    bool isUpdateManagerDisabled() const { return m_disableUpdateManager; }
    void setDisableUpdateManager(bool value);
    bool isStoreUpdateManagerEnabled() const { return m_enableStoreUpdateManager; }
    void setEnableStoreUpdateManager(bool value);
    bool isFeedbackManagerDisabled() const { return m_disableFeedbackManager; }
    void setDisableFeedbackManager(bool value);
    bool isDebugLogEnabled() const { return m_debugLogEnabled; }
    void setDebugLogEnabled(bool value) { m_debugLogEnabled = value; }
    bool isAppStoreEnvironment() const { return m_appStoreEnvironment; }

    const Ref<HBRCrashManager>& crashManager() const { return m_crashManager; }
    const Ref<HBRUpdateManager>& updateManager() const { return m_updateManager; }
    const Ref<HBRStoreUpdateManager>& storeUpdateManager() const { return m_storeUpdateManager; }
    const Ref<HBRFeedbackManager>& feedbackManager() const { return m_feedbackManager; }
    const std::optional<std::string>& installString() const { return m_installString; }
    const std::string& appIdentifier() const { return m_appIdentifier; }
    const std::optional<std::string>& liveIdentifier() const { return m_liveIdentifier; }
    bool isStartManagerInvoked() const { return m_startManagerIsInvoked; }
    Ref<HBRHarborAppClient> harborAppClient();

    static std::string version() { return "3.5.2"; }
    static std::string build() { return "25"; }

    // Whether an integration flow started less than 600 s ago ("yyyy-MM-dd'T'HH:mm:ssZ").
    bool integrationFlowStartedWithTimeString(const std::optional<std::string>& timeString) const;
    void pingServerForIntegrationStartWorkflowWithTimeStringAppIdentifier(
        const std::string& timeString, const std::string& appIdentifier);

private:
    static Ref<HBRHarborManager> makeShared();
    void initializeModules();
    bool isSetUpOnMainThread() const;
    void logInvalidIdentifier(const std::string& name) const;
    void invokeStartUpdateManager();
    void validateStartManagerIsInvoked();
    std::string serverURLOrDefault() const;

    std::string m_appIdentifier;
    std::optional<std::string> m_liveIdentifier;
    bool m_validAppIdentifier { false };
    bool m_startManagerIsInvoked { false };
    bool m_startUpdateManagerIsInvoked { false };
    Ref<HBRHarborAppClient> m_harborAppClient;
    bool m_disableCrashManager { false };
    bool m_disableUpdateManager { false };
    bool m_enableStoreUpdateManager { false };
    bool m_disableFeedbackManager { false };
    bool m_appStoreEnvironment { false };
    bool m_debugLogEnabled { false };
    HBRHarborManagerDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
    std::optional<std::string> m_serverURL;
    Ref<HBRCrashManager> m_crashManager;
    Ref<HBRUpdateManager> m_updateManager;
    Ref<HBRStoreUpdateManager> m_storeUpdateManager;
    Ref<HBRFeedbackManager> m_feedbackManager;
    std::optional<std::string> m_installString;
};
