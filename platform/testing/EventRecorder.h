#pragma once

#include <mutex>
#include <string>
#include <vector>

// Collects what happened, in the order it happened, from any thread: delegate calls,
// notifications, completion blocks. Tests compare entries() or take() against the sequence
// they expect.
class EventRecorder {
public:
    void add(std::string entry)
    {
        std::lock_guard lock(m_lock);
        m_entries.push_back(std::move(entry));
    }
    // Everything recorded so far.
    std::vector<std::string> entries() const
    {
        std::lock_guard lock(m_lock);
        return m_entries;
    }
    // Everything recorded so far; the recorder starts again empty.
    std::vector<std::string> take()
    {
        std::lock_guard lock(m_lock);
        auto result = std::move(m_entries);
        m_entries.clear();
        return result;
    }
    bool empty() const
    {
        std::lock_guard lock(m_lock);
        return m_entries.empty();
    }
    size_t size() const
    {
        std::lock_guard lock(m_lock);
        return m_entries.size();
    }
    std::string last() const
    {
        std::lock_guard lock(m_lock);
        return m_entries.empty() ? std::string() : m_entries.back();
    }
    void clear()
    {
        std::lock_guard lock(m_lock);
        m_entries.clear();
    }

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_entries;
};
