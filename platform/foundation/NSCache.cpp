#include "foundation/NSCache.h"

#include <algorithm>
#include <vector>

namespace {

// Caches that take part in process-wide memory pressure.
struct PressureRegistry {
    std::mutex lock;
    std::vector<Weak<NSObject>> caches;
};

PressureRegistry& pressureRegistry()
{
    static PressureRegistry s_registry;
    return s_registry;
}

} // namespace

NSCache::~NSCache() = default;

Ref<NSCache> NSCache::init()
{
    return make<NSCache>();
}

Value NSCache::objectForKey(const Value& key) const
{
    std::lock_guard lock(m_lock);
    auto it = m_entries.find(key);
    return it == m_entries.end() ? Value() : it->second->object;
}

void NSCache::setObjectForKey(const Value& object, const Value& key)
{
    setObjectForKeyCost(object, key, 0);
}

void NSCache::setObjectForKeyCost(const Value& object, const Value& key, NSUInteger cost)
{
    if (key.isNil())
        return;
    if (object.isNil()) {
        removeObjectForKey(key);
        return;
    }
    registerForPressure();
    std::vector<Value> evicted;
    {
        std::lock_guard lock(m_lock);
        auto it = m_entries.find(key);
        if (it != m_entries.end()) {
            // A replaced object leaves (an equal one is the same value); the entry counts as
            // newly added.
            if (!it->second->object.isEqual(object))
                evicted.push_back(it->second->object);
            m_totalCost -= it->second->cost;
            m_order.erase(it->second);
            m_entries.erase(it);
        }
        m_order.push_back(Entry { key, object, cost });
        m_entries.emplace(key, std::prev(m_order.end()));
        m_totalCost += cost;
        trimLocked(evicted);
    }
    notify(evicted);
}

void NSCache::removeObjectForKey(const Value& key)
{
    std::vector<Value> evicted;
    {
        std::lock_guard lock(m_lock);
        auto it = m_entries.find(key);
        if (it == m_entries.end())
            return;
        evicted.push_back(it->second->object);
        m_totalCost -= it->second->cost;
        m_order.erase(it->second);
        m_entries.erase(it);
    }
    notify(evicted);
}

void NSCache::removeAllObjects()
{
    std::vector<Value> evicted;
    {
        std::lock_guard lock(m_lock);
        for (auto& entry : m_order)
            evicted.push_back(std::move(entry.object));
        m_order.clear();
        m_entries.clear();
        m_totalCost = 0;
    }
    notify(evicted);
}

void NSCache::simulateMemoryPressure()
{
    removeAllObjects();
}

void NSCache::simulateMemoryPressureOnAllCaches()
{
    std::vector<Ref<NSObject>> caches;
    {
        auto& r = pressureRegistry();
        std::lock_guard lock(r.lock);
        for (auto& weak : r.caches) {
            if (auto cache = weak.lock())
                caches.push_back(std::move(cache));
        }
    }
    for (auto& cache : caches)
        static_cast<NSCache&>(*cache).simulateMemoryPressure();
}

void NSCache::registerForPressure()
{
    {
        std::lock_guard lock(m_lock);
        if (m_registered)
            return;
        m_registered = true;
    }
    // Objects live in Refs, so by the first insertion weak_from_this is available.
    auto& r = pressureRegistry();
    std::lock_guard lock(r.lock);
    std::erase_if(r.caches, [](const Weak<NSObject>& weak) { return weak.expired(); });
    r.caches.push_back(weak_from_this());
}

void NSCache::trimLocked(std::vector<Value>& evicted)
{
    auto over = [&] {
        return (m_countLimit && m_order.size() > m_countLimit) || (m_totalCostLimit && m_totalCost > m_totalCostLimit);
    };
    while (!m_order.empty() && over()) {
        Entry& oldest = m_order.front();
        evicted.push_back(oldest.object);
        m_totalCost -= oldest.cost;
        m_entries.erase(oldest.key);
        m_order.pop_front();
    }
}

void NSCache::notify(const std::vector<Value>& evicted)
{
    if (evicted.empty())
        return;
    auto delegate = this->delegate().lock();
    if (!delegate)
        return;
    // Keep this cache alive while the delegate runs, in case it drops the last reference.
    auto protectedThis = weak_from_this().lock();
    for (const auto& object : evicted)
        delegate->cacheWillEvictObject(*this, object);
}

NSUInteger NSCache::countLimit() const
{
    std::lock_guard lock(m_lock);
    return m_countLimit;
}

void NSCache::setCountLimit(NSUInteger limit)
{
    std::vector<Value> evicted;
    {
        std::lock_guard lock(m_lock);
        m_countLimit = limit;
        trimLocked(evicted);
    }
    notify(evicted);
}

NSUInteger NSCache::totalCostLimit() const
{
    std::lock_guard lock(m_lock);
    return m_totalCostLimit;
}

void NSCache::setTotalCostLimit(NSUInteger limit)
{
    std::vector<Value> evicted;
    {
        std::lock_guard lock(m_lock);
        m_totalCostLimit = limit;
        trimLocked(evicted);
    }
    notify(evicted);
}

std::string NSCache::name() const
{
    std::lock_guard lock(m_lock);
    return m_name;
}

void NSCache::setName(std::string name)
{
    std::lock_guard lock(m_lock);
    m_name = std::move(name);
}

Weak<NSCacheDelegate> NSCache::delegate() const
{
    std::lock_guard lock(m_lock);
    return m_delegate;
}

void NSCache::setDelegate(Weak<NSCacheDelegate> delegate)
{
    std::lock_guard lock(m_lock);
    m_delegate = std::move(delegate);
}

NSUInteger NSCache::count() const
{
    std::lock_guard lock(m_lock);
    return static_cast<NSUInteger>(m_order.size());
}

VX_REGISTER_CLASS(NSCache);
