#include "app/core/KESTAnalyticsManager.h"

#include "app/core/analytics/ConnectionQueue.h"
#include "app/core/analytics/Tally.h"
#include "app/core/analytics/Tally_SharedUDID.h"
#include "foundation/ThreadChecks.h"

#include <algorithm>

VX_REGISTER_CLASS(KESTAnalyticsManager);

namespace {

// Like every service address of the application, the collector defaults to the simulated
// services on this machine; the program is pointed at the real one when it starts.
constexpr const char* kDefaultCollector = "http://127.0.0.1:8080";

std::mutex& instanceLock()
{
    static std::mutex s_lock;
    return s_lock;
}

Ref<KESTAnalyticsManager>& instanceSlot()
{
    static Ref<KESTAnalyticsManager> s_instance;
    return s_instance;
}

std::string& collectorSlot()
{
    static std::string s_url;
    return s_url;
}

} // namespace

KESTAnalyticsManager::KESTAnalyticsManager(Passkey key)
    : NSObject(key)
{
}

Ref<KESTAnalyticsManager> KESTAnalyticsManager::sharedInstance()
{
    std::lock_guard guard(instanceLock());
    auto& slot = instanceSlot();
    if (!slot)
        slot = make<KESTAnalyticsManager>();
    return slot;
}

void KESTAnalyticsManager::resetSharedInstanceForTesting()
{
    {
        std::lock_guard guard(instanceLock());
        instanceSlot() = nullptr;
    }
    Tally::resetSharedInstanceForTesting();
    ConnectionQueue::resetSharedInstanceForTesting();
    Tally_SharedUDID::resetCacheForTesting();
}

std::string KESTAnalyticsManager::collectorBaseURL()
{
    return collectorSlot().empty() ? std::string(kDefaultCollector) : collectorSlot();
}

void KESTAnalyticsManager::setCollectorBaseURL(std::string url)
{
    while (!url.empty() && url.back() == '/')
        url.pop_back();
    collectorSlot() = std::move(url);
}

void KESTAnalyticsManager::startAnalytics()
{
    assertIsMainThread();
    {
        std::lock_guard guard(m_lock);
        if (m_started)
            return;
        m_started = true;
    }
    Tally::sharedInstance()->startWithHost(kApplicationKey, collectorBaseURL());
}

bool KESTAnalyticsManager::isStarted() const
{
    std::lock_guard guard(m_lock);
    return m_started;
}

void KESTAnalyticsManager::logEventWithNameWithCount(const std::string& name, int32_t count)
{
    assertIsMainThread();
    {
        std::lock_guard guard(m_lock);
        m_events.push_back({ name, count });
        if (m_events.size() > kRecentEventLimit)
            m_events.pop_front();
    }
    Tally::sharedInstance()->recordEventCount(name, count);
}

std::vector<KESTAnalyticsManager::Event> KESTAnalyticsManager::recordedEvents() const
{
    std::lock_guard guard(m_lock);
    return { m_events.begin(), m_events.end() };
}

size_t KESTAnalyticsManager::eventCount(const std::string& name) const
{
    std::lock_guard guard(m_lock);
    return std::count_if(m_events.begin(), m_events.end(), [&](const Event& e) { return e.name == name; });
}
