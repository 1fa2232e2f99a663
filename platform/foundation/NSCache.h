#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <list>
#include <mutex>
#include <string>
#include <unordered_map>

class NSCache;

// Told about each object leaving a cache: evicted for a limit or memory pressure, removed, or
// replaced. Called on the thread that caused it, after the cache's lock is released.
class NSCacheDelegate {
public:
    virtual ~NSCacheDelegate() = default;
    virtual void cacheWillEvictObject(NSCache& cache, const Value& object) = 0;
};

// A thread-safe key-value store that lets go of objects: beyond `countLimit` objects or
// `totalCostLimit` total cost (0 means no limit) it evicts the least recently added first,
// and under memory pressure it empties. Keys compare by isEqual and are not copied. Subclass
// it freely. Any thread.
class NSCache : public NSObject {
    VX_OBJECT(NSCache, NSObject)
public:
    explicit NSCache(Passkey key)
        : NSObject(key)
    {
    }
    ~NSCache() override;

    static Ref<NSCache> init();

    // nil when absent.
    Value objectForKey(const Value& key) const;
    // A nil object removes the entry; a nil key does nothing.
    void setObjectForKey(const Value& object, const Value& key);
    void setObjectForKeyCost(const Value& object, const Value& key, NSUInteger cost);
    void removeObjectForKey(const Value& key);
    void removeAllObjects();

    NSUInteger countLimit() const;
    void setCountLimit(NSUInteger limit);
    NSUInteger totalCostLimit() const;
    void setTotalCostLimit(NSUInteger limit);
    std::string name() const;
    void setName(std::string name);
    Weak<NSCacheDelegate> delegate() const;
    void setDelegate(Weak<NSCacheDelegate> delegate);

    // Entries held now (not a platform call; for tests and diagnostics).
    NSUInteger count() const;

    // Evicts everything, as the system does when memory runs low.
    void simulateMemoryPressure();
    // The same for every cache alive in the process that has held an object.
    static void simulateMemoryPressureOnAllCaches();

private:
    struct Entry {
        Value key;
        Value object;
        NSUInteger cost;
    };
    using Order = std::list<Entry>;

    // Removes entries beyond the limits, oldest first, into `evicted`.
    void trimLocked(std::vector<Value>& evicted);
    void notify(const std::vector<Value>& evicted);
    void registerForPressure();

    mutable std::mutex m_lock;
    Order m_order; // oldest first
    std::unordered_map<Value, Order::iterator, ValueHash> m_entries;
    uint64_t m_totalCost { 0 };
    NSUInteger m_countLimit { 0 };
    NSUInteger m_totalCostLimit { 0 };
    std::string m_name;
    Weak<NSCacheDelegate> m_delegate;
    bool m_registered { false };
};
