#pragma once

#include "foundation/NSObject.h"
#include "net/NetForward.h"

#include <list>
#include <mutex>
#include <string>

// Keeps responses to GET requests, keyed by absolute URL, within memory and disk capacities
// (bytes). The least recently used entries go first when a capacity is exceeded; an entry larger
// than 5% of the capacity it would live in is not kept. Entries allowed on disk count toward
// both figures, memory-only entries toward memory only. Loads consult the shared cache; see
// isFresh for what may be served without going to the network. Any thread.
class NSURLCache : public NSObject {
    VX_OBJECT(NSURLCache, NSObject)
public:
    explicit NSURLCache(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<NSURLCache> sharedURLCache();
    static void setSharedURLCache(const Ref<NSURLCache>& cache);
    static Ref<NSURLCache> initWithMemoryCapacityDiskCapacityDiskPath(
        uint32_t memoryCapacity, uint32_t diskCapacity, const std::string& path);

    Ref<NSCachedURLResponse> cachedResponseForRequest(const Ref<NSURLRequest>& request);
    void storeCachedResponseForRequest(const Ref<NSCachedURLResponse>& cached, const Ref<NSURLRequest>& request);
    void removeCachedResponseForRequest(const Ref<NSURLRequest>& request);
    void removeAllCachedResponses();

    uint32_t memoryCapacity() const;
    uint32_t diskCapacity() const;
    void setMemoryCapacity(uint32_t capacity);
    void setDiskCapacity(uint32_t capacity);
    uint32_t currentMemoryUsage() const;
    uint32_t currentDiskUsage() const;

    // Whether a cached response may answer a request under the default policy now: it is an
    // HTTP 200 whose "Cache-Control: max-age" (or "Expires") has not run out on the process clock.
    static bool isFresh(const Ref<NSCachedURLResponse>& cached);
    // Whether a response may be stored at all ("no-store" and non-200 answers may not).
    static bool isStorable(const Ref<NSURLResponse>& response);

private:
    struct Entry {
        std::string key;
        Ref<NSCachedURLResponse> cached;
        uint32_t size;
        bool onDisk;
    };
    void trimLocked();

    mutable std::mutex m_lock;
    uint32_t m_memoryCapacity { 512 * 1024 };
    uint32_t m_diskCapacity { 10 * 1024 * 1024 };
    std::list<Entry> m_entries; // most recently used first
};
