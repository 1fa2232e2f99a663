#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>

// Encoded pictures by a key naming what they show, so a picture asked for again (a logo for
// every plane of an airline on the map, a photo opened again) is drawn once. Holds at most
// `capacity` pictures and forgets the oldest first. Any thread.
class SimImageCache {
public:
    explicit SimImageCache(size_t capacity);

    // The picture under `key`, drawn by `draw` when absent. Two threads asking for the same
    // absent key may both draw it; pictures are deterministic, so either answer is the same.
    std::string get(const std::string& key, const std::function<std::string()>& draw);

    size_t size() const;

private:
    size_t m_capacity;
    mutable std::mutex m_mutex;
    std::map<std::string, std::string> m_pictures;
    std::deque<std::string> m_order; // keys, oldest first
};
