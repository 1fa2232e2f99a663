#include "app/core/analytics/ConnectionQueue.h"

#include "app/core/KESTURLEscaping.h"
#include "app/core/analytics/DeviceInfo.h"
#include "foundation/Clock.h"
#include "foundation/NSLog.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSString.h"
#include "foundation/ThreadChecks.h"
#include "net/NSURL.h"
#include "net/NSURLAuthenticationChallenge.h"
#include "net/NSURLRequest.h"

VX_REGISTER_CLASS(ConnectionQueue);

namespace {
Ref<ConnectionQueue>& instanceSlot()
{
    static Ref<ConnectionQueue> s_instance;
    return s_instance;
}
} // namespace

Ref<ConnectionQueue> ConnectionQueue::sharedInstance()
{
    auto& slot = instanceSlot();
    if (!slot)
        slot = make<ConnectionQueue>();
    return slot;
}

void ConnectionQueue::resetSharedInstanceForTesting()
{
    if (auto& slot = instanceSlot()) {
        if (slot->m_connection)
            slot->m_connection->cancel();
        slot->m_connection = nullptr;
    }
    instanceSlot() = nullptr;
}

std::string ConnectionQueue::prefix() const
{
    return NSString::stringWithFormat("app_key=%@&device_id=%@&timestamp=%ld", m_appKey,
        KESTURLEscaping::escapedValue(DeviceInfo::udid()), long(Clock::wallTime()));
}

void ConnectionQueue::enqueue(std::string query)
{
    assertIsMainThread();
    m_queue.push_back(std::move(query));
    // The head may be in flight; it is never the one dropped.
    size_t keep = m_connection ? 1 : 0;
    while (m_queue.size() > maximumLength()) {
        m_queue.erase(m_queue.begin() + keep);
        NSLog("Analytics queue full: dropped the oldest unsent report");
    }
    tick();
}

void ConnectionQueue::beginSession()
{
    enqueue(prefix() + "&sdk_version=1.0&begin_session=1&metrics=" + DeviceInfo::metrics());
}

void ConnectionQueue::updateSessionWithDuration(int32_t duration)
{
    enqueue(prefix() + NSString::stringWithFormat("&session_duration=%d", duration));
}

void ConnectionQueue::endSessionWithDuration(int32_t duration)
{
    enqueue(prefix() + NSString::stringWithFormat("&end_session=1&session_duration=%d", duration));
}

void ConnectionQueue::recordEvents(const std::string& events)
{
    enqueue(prefix() + "&events=" + events);
}

void ConnectionQueue::tick()
{
    assertIsMainThread();
    // Nothing goes out before the client has said where the collector is.
    if (m_connection || m_bgTask != UIBackgroundTaskInvalid || m_queue.empty() || m_appHost.empty())
        return;
    if (auto application = UIApplication::sharedApplication()) {
        Weak<ConnectionQueue> weak = self<ConnectionQueue>();
        m_bgTask = application->beginBackgroundTaskWithExpirationHandler([weak] {
            auto queue = weak.lock();
            if (!queue)
                return;
            // The request itself goes on; only the task ends.
            queue->endBackgroundTask();
        });
    }
    auto url = NSURL::URLWithString(NSString::stringWithFormat("%@/i?%@", m_appHost, m_queue.front()));
    if (!url) {
        // A report that cannot form a URL would block every later one.
        NSLog("Analytics report dropped: no URL can be made of it");
        endBackgroundTask();
        m_queue.pop_front();
        tick();
        return;
    }
    auto connection = NSURLConnection::initWithRequestDelegateStartImmediately(
        NSURLRequest::requestWithURL(url), self<ConnectionQueue>(), false);
    if (!connection) {
        endBackgroundTask();
        return;
    }
    m_connection = connection;
    connection->scheduleInRunLoopForMode(NSRunLoop::mainRunLoop(), NSDefaultRunLoopMode);
    connection->start();
}

void ConnectionQueue::endBackgroundTask()
{
    if (m_bgTask == UIBackgroundTaskInvalid)
        return;
    if (auto application = UIApplication::sharedApplication())
        application->endBackgroundTask(m_bgTask);
    m_bgTask = UIBackgroundTaskInvalid;
}

void ConnectionQueue::connectionDidFinishLoading(const Ref<NSURLConnection>& connection)
{
    if (connection != m_connection)
        return;
    endBackgroundTask();
    m_connection = nullptr;
    if (!m_queue.empty())
        m_queue.pop_front();
    tick();
}

void ConnectionQueue::connectionDidFailWithError(const Ref<NSURLConnection>& connection, const Ref<NSError>&)
{
    if (connection != m_connection)
        return;
    endBackgroundTask();
    m_connection = nullptr;
}

bool ConnectionQueue::connectionWillSendRequestForAuthenticationChallenge(
    const Ref<NSURLConnection>&, const Ref<NSURLAuthenticationChallenge>& challenge)
{
    // The collector's certificate is judged by the default trust evaluation: a rejected one fails
    // the request, which then stays queued.
    challenge->sender()->performDefaultHandlingForAuthenticationChallenge(challenge);
    return true;
}
