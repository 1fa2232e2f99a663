#pragma once

#include "foundation/NSObject.h"

#include <atomic>
#include <string>

// How the crash manager sends pending crash reports.
enum HBRCrashManagerStatus : int32_t {
    HBRCrashManagerStatusDisabled = 0, // looks for no pending report
    HBRCrashManagerStatusAlwaysAsk = 1, // asks the user first
    HBRCrashManagerStatusAutoSend = 2, // sends without asking
};

// The kit's crash report sender. The status survives launches in the user defaults under
// "HBRCrashManagerStatus". Main thread only.
class HBRCrashManager : public NSObject {
    VX_OBJECT(HBRCrashManager, NSObject)
public:
    explicit HBRCrashManager(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<HBRCrashManager> initWithAppIdentifierIsAppStoreEnvironment(
        const std::string& appIdentifier, bool isAppStoreEnvironment);

    const std::string& appIdentifier() const { return m_appIdentifier; }
    bool isAppStoreEnvironment() const { return m_appStoreEnvironment; }

    int32_t crashManagerStatus() const { return m_status; }
    // Stores the mode and writes it to the user defaults.
    void setCrashManagerStatus(int32_t status);

    // Starts crash reporting: with a status other than disabled, pending reports are handled as
    // the status allows.
    void startManager();
    bool isStarted() const { return m_started; }

private:
    std::string m_appIdentifier;
    bool m_appStoreEnvironment { false };
    std::atomic<int32_t> m_status { HBRCrashManagerStatusAlwaysAsk };
    bool m_started { false };
};
