#pragma once

#include "foundation/NSObject.h"
#include "net/NSURLConnection.h"
#include "uikit/UIApplication.h"

#include <deque>
#include <string>

// The analytics request queue: session and event reports become GET requests of the collector's
// "/i" path with everything in the query, sent one at a time and in order. A transport failure
// keeps the report at the head of the queue; it is sent again when anything new is queued.
// Any reply, whatever its status, counts as delivered. The queue keeps at most maximumLength()
// reports: when the collector stays out of reach longer than that, the oldest are dropped (with
// a log line) rather than letting memory grow without end. Main thread only; the connection
// calls back on the main run loop.
class ConnectionQueue : public NSObject, public NSURLConnectionDelegate {
    VX_OBJECT(ConnectionQueue, NSObject)
public:
    explicit ConnectionQueue(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<ConnectionQueue> sharedInstance();
    // Test-only: the next sharedInstance() is a new, empty queue.
    static void resetSharedInstanceForTesting();

    const std::string& appKey() const { return m_appKey; }
    void setAppKey(const std::string& key) { m_appKey = key; }
    // The collector's base URL, without a trailing slash.
    const std::string& appHost() const { return m_appHost; }
    void setAppHost(const std::string& host) { m_appHost = host; }

    void beginSession();
    void updateSessionWithDuration(int32_t duration);
    void endSessionWithDuration(int32_t duration);
    // `events` is already escaped for a URL argument.
    void recordEvents(const std::string& events);
    // Starts the next request unless one is in flight.
    void tick();

    // The query strings waiting, oldest (possibly in flight) first.
    const std::deque<std::string>& queue() const { return m_queue; }
    bool isSending() const { return m_connection != nullptr; }
    static constexpr size_t maximumLength() { return 1000; }

    // NSURLConnectionDelegate (main run loop).
    void connectionDidFinishLoading(const Ref<NSURLConnection>& connection) override;
    void connectionDidFailWithError(const Ref<NSURLConnection>& connection, const Ref<NSError>& error) override;
    bool connectionWillSendRequestForAuthenticationChallenge(
        const Ref<NSURLConnection>& connection, const Ref<NSURLAuthenticationChallenge>& challenge) override;

private:
    void enqueue(std::string query);
    void endBackgroundTask();
    std::string prefix() const;

    std::deque<std::string> m_queue;
    Ref<NSURLConnection> m_connection;
    UIBackgroundTaskIdentifier m_bgTask { UIBackgroundTaskInvalid };
    std::string m_appKey;
    std::string m_appHost;
};
