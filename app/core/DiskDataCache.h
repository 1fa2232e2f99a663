#pragma once

#include "foundation/NSCache.h"
#include "foundation/Value.h"

#include <optional>
#include <string>

class NSURL;

// A two-level cache of data keyed by text (a URL's absolute string): the memory level is the
// cache itself (no limits; emptied under memory pressure), the disk level one file per key in
// "DiskDataCache" of the user's caches directory, named by the key's MD5 digest. Entries never
// expire. File reads run synchronously on one serial queue, writes and removals asynchronously
// on another, so a caller never waits for a write. Any thread.
class DiskDataCache : public NSCache {
    VX_OBJECT(DiskDataCache, NSCache)
public:
    explicit DiskDataCache(Passkey key)
        : NSCache(key)
    {
    }

    static Ref<DiskDataCache> sharedCache();
    // Test-only: drops the shared cache and the remembered directory, so the next use works
    // in the sandbox of the running test.
    static void resetSharedCacheForTesting();

    // The disk level's directory; made when first asked for (failures ignored).
    static std::string cacheDirectory();
    static std::string keyForURL(const Ref<NSURL>& url);
    static std::string pathForKey(const std::string& key);

    // nil when neither level holds the key. Data found on disk is not put back in memory.
    Value dataForKey(const std::optional<std::string>& key);
    Value dataForURL(const Ref<NSURL>& url);
    // Stores in memory, then queues the atomic file write. Nil data or key does nothing.
    void setDataForKey(const Value& data, const std::optional<std::string>& key);
    void setDataForURL(const Value& data, const Ref<NSURL>& url);
    void removeDataForKey(const std::optional<std::string>& key);
    void removeDataForURL(const Ref<NSURL>& url);

    Value dataFromDiskForKey(const std::string& key);
    void setDataOnDiskForKey(const Value& data, const std::string& key);
    void removeDataOnDiskForKey(const std::string& key);
    // Queues the removal of every file of the disk level; the memory level is kept.
    void emptyCache();
};
