#include "app/core/DiskDataCache.h"

#include "app/categories/NSString+DiskDataCacheMD5.h"
#include "foundation/Dispatch.h"
#include "foundation/NSDataFile.h"
#include "foundation/NSFileManager.h"
#include "net/NSURL.h"

#include <mutex>

namespace {

std::mutex s_sharedLock;
Ref<DiskDataCache> s_sharedCache;
std::optional<std::string> s_cacheDirectory;

const dispatch_queue_t& processingQueue()
{
    static dispatch_queue_t queue = dispatch_queue_create("com.diskcache.disk-cache.processing", DISPATCH_QUEUE_SERIAL);
    return queue;
}

const dispatch_queue_t& ioQueue()
{
    static dispatch_queue_t queue = dispatch_queue_create("com.diskcache.disk-cache.io", DISPATCH_QUEUE_SERIAL);
    return queue;
}

} // namespace

Ref<DiskDataCache> DiskDataCache::sharedCache()
{
    std::lock_guard guard(s_sharedLock);
    if (!s_sharedCache)
        s_sharedCache = make<DiskDataCache>();
    return s_sharedCache;
}

void DiskDataCache::resetSharedCacheForTesting()
{
    std::lock_guard guard(s_sharedLock);
    s_sharedCache = nullptr;
    s_cacheDirectory.reset();
}

std::string DiskDataCache::cacheDirectory()
{
    std::lock_guard guard(s_sharedLock);
    if (!s_cacheDirectory) {
        auto fileManager = NSFileManager::defaultManager();
        auto urls = fileManager->URLsForDirectory(NSCachesDirectory, NSUserDomainMask);
        std::string path = (urls.empty() ? std::string() : urls.back()) + "/DiskDataCache";
        if (!fileManager->fileExistsAtPath(path))
            fileManager->createDirectoryAtPath(path, true, Value(), nullptr);
        s_cacheDirectory = path;
    }
    return *s_cacheDirectory;
}

std::string DiskDataCache::keyForURL(const Ref<NSURL>& url)
{
    return url ? url->absoluteString() : std::string();
}

std::string DiskDataCache::pathForKey(const std::string& key)
{
    return cacheDirectory() + "/" + NSString_DiskDataCacheMD5::ec_MD5(key);
}

Value DiskDataCache::dataForKey(const std::optional<std::string>& key)
{
    if (!key)
        return Value();
    Value data = objectForKey(Value(*key));
    if (!data.isNil())
        return data;
    return dataFromDiskForKey(*key);
}

Value DiskDataCache::dataForURL(const Ref<NSURL>& url)
{
    if (!url)
        return Value();
    return dataForKey(keyForURL(url));
}

void DiskDataCache::setDataForKey(const Value& data, const std::optional<std::string>& key)
{
    if (data.isNil() || !key)
        return;
    setObjectForKey(data, Value(*key));
    setDataOnDiskForKey(data, *key);
}

void DiskDataCache::setDataForURL(const Value& data, const Ref<NSURL>& url)
{
    if (!url)
        return;
    setDataForKey(data, keyForURL(url));
}

void DiskDataCache::removeDataForKey(const std::optional<std::string>& key)
{
    if (!key)
        return;
    removeObjectForKey(Value(*key));
    removeDataOnDiskForKey(*key);
}

void DiskDataCache::removeDataForURL(const Ref<NSURL>& url)
{
    if (!url)
        return;
    removeDataForKey(keyForURL(url));
}

Value DiskDataCache::dataFromDiskForKey(const std::string& key)
{
    std::string path = pathForKey(key);
    Value data;
    dispatch_sync(processingQueue(), [&] { data = NSData::dataWithContentsOfFile(path); });
    return data;
}

void DiskDataCache::setDataOnDiskForKey(const Value& data, const std::string& key)
{
    std::string path = pathForKey(key);
    dispatch_async(ioQueue(), [data, path] { NSData::writeToFile(data, path, true); });
}

void DiskDataCache::removeDataOnDiskForKey(const std::string& key)
{
    std::string path = pathForKey(key);
    dispatch_async(ioQueue(), [path] { NSFileManager::defaultManager()->removeItemAtPath(path, nullptr); });
}

void DiskDataCache::emptyCache()
{
    std::string directory = cacheDirectory();
    Value names = NSFileManager::defaultManager()->contentsOfDirectoryAtPath(directory, nullptr);
    for (const auto& name : names.elements()) {
        std::string path = directory + "/" + name.stringValue();
        dispatch_async(ioQueue(), [path] { NSFileManager::defaultManager()->removeItemAtPath(path, nullptr); });
    }
}
