#pragma once

#include <mutex>
#include <utility>

// Reading and writing a field under the mutex that guards it. Internal to the networking
// library: the classes whose fields are read across threads use these for their accessors.

template <typename T> T readLocked(std::mutex& lock, const T& member)
{
    std::lock_guard guard(lock);
    return member;
}

template <typename T> void writeLocked(std::mutex& lock, T& member, T value)
{
    std::lock_guard guard(lock);
    member = std::move(value);
}
