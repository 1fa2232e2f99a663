#pragma once

#include "foundation/NSObject.h"
#include "sdk/HBRHarborManagerDelegate.h"

#include <string>

class HBRCrashManager;

// The crash, feedback and update kit's one manager. Configured with the beta and live
// application identifiers, it picks the identifier of the running build and makes the kit's
// components; startManager starts them. Main thread only.
class HBRHarborManager : public NSObject {
    VX_OBJECT(HBRHarborManager, NSObject)
public:
    explicit HBRHarborManager(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<HBRHarborManager> sharedHarborManager();
    // Test-only: the next sharedHarborManager() is a new manager.
    static void resetSharedHarborManagerForTesting();

    // An identifier is valid when it has exactly 32 characters of "0123456789abcdef".
    static bool isValidIdentifier(const std::string& identifier);

    // Logs an invalid live identifier, picks the live identifier when the delegate asks for it
    // (else the beta one, as for any build outside the store) and, when that is valid, makes
    // the crash manager; an invalid one is logged and leaves the kit inert.
    void configureWithBetaIdentifierLiveIdentifierDelegate(const std::string& betaIdentifier,
        const std::string& liveIdentifier, HBRHarborManagerDelegate* delegate, Weak<NSObject> delegateOwner);
    // Starts the components when the identifier is valid, on the main thread only.
    void startManager();

    const Ref<HBRCrashManager>& crashManager() const { return m_crashManager; }
    const std::string& appIdentifier() const { return m_appIdentifier; }
    bool isAppStoreEnvironment() const { return m_appStoreEnvironment; }
    bool isStartManagerInvoked() const { return m_startManagerIsInvoked; }
    HBRHarborManagerDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }

private:
    static void logInvalidIdentifier(const std::string& name);

    HBRHarborManagerDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
    std::string m_appIdentifier;
    std::string m_liveIdentifier;
    bool m_validAppIdentifier { false };
    bool m_appStoreEnvironment { false };
    bool m_startManagerIsInvoked { false };
    Ref<HBRCrashManager> m_crashManager;
};
