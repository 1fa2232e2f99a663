#include "servicesim/SimImageCache.h"

SimImageCache::SimImageCache(size_t capacity)
    : m_capacity(capacity)
{
}

std::string SimImageCache::get(const std::string& key, const std::function<std::string()>& draw)
{
    {
        std::lock_guard lock(m_mutex);
        auto found = m_pictures.find(key);
        if (found != m_pictures.end())
            return found->second;
    }
    // Drawn outside the lock, so one slow picture does not hold up the others.
    std::string picture = draw();
    std::lock_guard lock(m_mutex);
    if (m_capacity == 0 || !m_pictures.emplace(key, picture).second)
        return picture;
    m_order.push_back(key);
    while (m_order.size() > m_capacity) {
        m_pictures.erase(m_order.front());
        m_order.pop_front();
    }
    return picture;
}

size_t SimImageCache::size() const
{
    std::lock_guard lock(m_mutex);
    return m_pictures.size();
}
