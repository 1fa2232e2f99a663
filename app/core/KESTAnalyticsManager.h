#pragma once

#include "foundation/NSObject.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

// The application's analytics facade: one per process. startAnalytics starts the analytics client
// (Tally) with the application key and the collector's address; screens and actions record named
// events through logEventWithNameWithCount, which the client aggregates and sends in batches.
// The facade also remembers the most recent calls it passed on, so that callers can be checked.
// Main thread only.
class KESTAnalyticsManager : public NSObject {
    VX_OBJECT(KESTAnalyticsManager, NSObject)
public:
    explicit KESTAnalyticsManager(Passkey);

    static constexpr const char* kApplicationKey = "5d02b7e94c1a83f6e0d9b2c47a15e8f3906cd41b";

    // The one facade, made on first use.
    static Ref<KESTAnalyticsManager> sharedInstance();
    // Test-only: the next sharedInstance() is a new facade; the client and its queue start anew.
    static void resetSharedInstanceForTesting();

    // The collector's base URL: scheme and host, without a path or a trailing slash.
    static std::string collectorBaseURL();
    // Replaces it (a final "/" is dropped); empty returns to the built-in address.
    static void setCollectorBaseURL(std::string url);

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
    // The most recent events passed on (at most kRecentEventLimit), oldest first.
    std::vector<Event> recordedEvents() const;
    // How many of those have that name.
    size_t eventCount(const std::string& name) const;
    static constexpr size_t kRecentEventLimit = 256;

private:
    mutable std::mutex m_lock;
    bool m_started { false };
    std::deque<Event> m_events;
};
