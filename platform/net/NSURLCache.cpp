#include "net/NSURLCache.h"

#include "foundation/Clock.h"
#include "foundation/Locked.h"
#include "net/NSCachedURLResponse.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"

#include <cctype>
#include <ctime>

VX_REGISTER_CLASS(NSURLCache);

namespace {

Locked<Ref<NSURLCache>>& s_shared = *new Locked<Ref<NSURLCache>>;

std::string lower(std::string s)
{
    for (auto& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string keyFor(const Ref<NSURLRequest>& request)
{
    if (!request || !request->URL() || request->HTTPMethod() != "GET")
        return "";
    std::string key = request->URL()->absoluteString();
    if (auto hash = key.find('#'); hash != std::string::npos)
        key.erase(hash);
    return key;
}

std::optional<double> maxAge(const std::string& cacheControl)
{
    auto at = cacheControl.find("max-age=");
    if (at == std::string::npos)
        return std::nullopt;
    return std::atof(cacheControl.c_str() + at + 8);
}

std::optional<double> parseHTTPDate(const std::string& text)
{
    struct tm parts = {};
    if (!strptime(text.c_str(), "%a, %d %b %Y %H:%M:%S GMT", &parts))
        return std::nullopt;
    return double(timegm(&parts));
}

} // namespace

Ref<NSURLCache> NSURLCache::sharedURLCache()
{
    return s_shared.with([](Ref<NSURLCache>& shared) {
        if (!shared)
            shared = make<NSURLCache>();
        return shared;
    });
}

void NSURLCache::setSharedURLCache(const Ref<NSURLCache>& cache)
{
    s_shared.set(cache);
}

Ref<NSURLCache> NSURLCache::initWithMemoryCapacityDiskCapacityDiskPath(
    uint32_t memoryCapacity, uint32_t diskCapacity, const std::string&)
{
    auto cache = make<NSURLCache>();
    cache->m_memoryCapacity = memoryCapacity;
    cache->m_diskCapacity = diskCapacity;
    return cache;
}

Ref<NSCachedURLResponse> NSURLCache::cachedResponseForRequest(const Ref<NSURLRequest>& request)
{
    std::string key = keyFor(request);
    if (key.empty())
        return nullptr;
    std::lock_guard lock(m_lock);
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->key == key) {
            m_entries.splice(m_entries.begin(), m_entries, it);
            return m_entries.front().cached;
        }
    }
    return nullptr;
}

void NSURLCache::storeCachedResponseForRequest(const Ref<NSCachedURLResponse>& cached, const Ref<NSURLRequest>& request)
{
    std::string key = keyFor(request);
    if (key.empty() || !cached || cached->storagePolicy() == NSURLCacheStorageNotAllowed)
        return;
    uint32_t size = uint32_t(std::min<size_t>(cached->data().bytes().size() + 512, UINT32_MAX));
    bool onDisk = cached->storagePolicy() == NSURLCacheStorageAllowed;
    std::lock_guard lock(m_lock);
    std::erase_if(m_entries, [&](const Entry& entry) { return entry.key == key; });
    // Too large a share of the cache would push out everything else.
    if (size > m_memoryCapacity / 20 && (!onDisk || size > m_diskCapacity / 20))
        return;
    m_entries.push_front({ key, cached, size, onDisk });
    trimLocked();
}

void NSURLCache::trimLocked()
{
    auto usage = [&](bool disk) {
        uint64_t total = 0;
        for (const auto& entry : m_entries) {
            if (!disk || entry.onDisk)
                total += entry.size;
        }
        return total;
    };
    while (!m_entries.empty()
        && (usage(false) > m_memoryCapacity + uint64_t(m_diskCapacity) || usage(true) > m_diskCapacity))
        m_entries.pop_back();
    // Memory holds the most recent entries up to its capacity; the rest live on disk only.
    uint64_t inMemory = 0;
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (inMemory + it->size <= m_memoryCapacity) {
            inMemory += it->size;
            ++it;
        } else if (it->onDisk) {
            ++it;
        } else {
            it = m_entries.erase(it);
        }
    }
}

void NSURLCache::removeCachedResponseForRequest(const Ref<NSURLRequest>& request)
{
    std::string key = keyFor(request);
    std::lock_guard lock(m_lock);
    std::erase_if(m_entries, [&](const Entry& entry) { return entry.key == key; });
}

void NSURLCache::removeAllCachedResponses()
{
    std::lock_guard lock(m_lock);
    m_entries.clear();
}

uint32_t NSURLCache::memoryCapacity() const
{
    std::lock_guard lock(m_lock);
    return m_memoryCapacity;
}

uint32_t NSURLCache::diskCapacity() const
{
    std::lock_guard lock(m_lock);
    return m_diskCapacity;
}

void NSURLCache::setMemoryCapacity(uint32_t capacity)
{
    std::lock_guard lock(m_lock);
    m_memoryCapacity = capacity;
    trimLocked();
}

void NSURLCache::setDiskCapacity(uint32_t capacity)
{
    std::lock_guard lock(m_lock);
    m_diskCapacity = capacity;
    trimLocked();
}

uint32_t NSURLCache::currentMemoryUsage() const
{
    std::lock_guard lock(m_lock);
    uint64_t total = 0;
    for (const auto& entry : m_entries) {
        if (total + entry.size <= m_memoryCapacity)
            total += entry.size;
    }
    return uint32_t(total);
}

uint32_t NSURLCache::currentDiskUsage() const
{
    std::lock_guard lock(m_lock);
    uint64_t total = 0;
    for (const auto& entry : m_entries) {
        if (entry.onDisk)
            total += entry.size;
    }
    return uint32_t(total);
}

bool NSURLCache::isStorable(const Ref<NSURLResponse>& response)
{
    auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
    if (!http || http->statusCode() != 200)
        return false;
    auto cacheControl = lower(http->headerValue("Cache-Control").value_or(""));
    return cacheControl.find("no-store") == std::string::npos;
}

bool NSURLCache::isFresh(const Ref<NSCachedURLResponse>& cached)
{
    if (!cached)
        return false;
    auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(cached->response());
    if (!http || http->statusCode() != 200)
        return false;
    auto cacheControl = lower(http->headerValue("Cache-Control").value_or(""));
    if (cacheControl.find("no-cache") != std::string::npos)
        return false;
    double age = Clock::wallTime() - cached->storedAt();
    if (auto seconds = maxAge(cacheControl))
        return age < *seconds;
    if (auto expires = http->headerValue("Expires")) {
        auto when = parseHTTPDate(*expires);
        return when && Clock::wallTime() < *when;
    }
    return false;
}
