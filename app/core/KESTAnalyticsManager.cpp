#include "app/core/KESTAnalyticsManager.h"

#include <algorithm>

VX_REGISTER_CLASS(KESTAnalyticsManager);

namespace {

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
    std::lock_guard guard(instanceLock());
    instanceSlot() = nullptr;
}

void KESTAnalyticsManager::startAnalytics()
{
    std::lock_guard guard(m_lock);
    m_started = true;
}

bool KESTAnalyticsManager::isStarted() const
{
    std::lock_guard guard(m_lock);
    return m_started;
}

void KESTAnalyticsManager::logEventWithNameWithCount(const std::string& name, int32_t count)
{
    std::lock_guard guard(m_lock);
    m_events.push_back({ name, count });
}

std::vector<KESTAnalyticsManager::Event> KESTAnalyticsManager::recordedEvents() const
{
    std::lock_guard guard(m_lock);
    return m_events;
}

size_t KESTAnalyticsManager::eventCount(const std::string& name) const
{
    std::lock_guard guard(m_lock);
    return std::count_if(m_events.begin(), m_events.end(), [&](const Event& e) { return e.name == name; });
}
