#pragma once

#include "foundation/NSObject.h"

#include <mutex>
#include <string>
#include <vector>

// The application's analytics facade: one per process. Screens log one event per appearance
// through it. The analytics client behind it (application key, collector address, upload) comes
// with the accounts and settings subsystem; until then started state and events are kept in
// memory so that callers and tests can read what was recorded. Any thread.
class KESTAnalyticsManager : public NSObject {
    VX_OBJECT(KESTAnalyticsManager, NSObject)
public:
    explicit KESTAnalyticsManager(Passkey);

    // The one facade, made on first use.
    static Ref<KESTAnalyticsManager> sharedInstance();
    // Test-only: the next sharedInstance() is a new facade.
    static void resetSharedInstanceForTesting();

    // Starts the analytics client. Calling it again does nothing more.
    void startAnalytics();
    bool isStarted() const;

    // Records one event of that name with that count. Reports no failure.
    void logEventWithNameWithCount(const std::string& name, int32_t count);

    struct Event {
        std::string name;
        int32_t count;
        bool operator==(const Event&) const = default;
    };
    // The events recorded so far, oldest first.
    std::vector<Event> recordedEvents() const;
    // How many events of that name were recorded.
    size_t eventCount(const std::string& name) const;

private:
    mutable std::mutex m_lock;
    bool m_started { false };
    std::vector<Event> m_events;
};
