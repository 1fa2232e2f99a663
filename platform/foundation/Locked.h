#pragma once

#include <mutex>
#include <utility>

// One value and the mutex that guards it, for fields read and written from several threads.
// Reads hand out copies; `with` runs a function on the value while the lock is held, for
// changes that read and write in one step. Any thread. Not copyable (it owns its mutex).
template <typename T> class Locked {
public:
    Locked() = default;
    explicit Locked(T value)
        : m_value(std::move(value))
    {
    }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

    T get() const
    {
        std::lock_guard guard(m_mutex);
        return m_value;
    }

    void set(T value)
    {
        std::lock_guard guard(m_mutex);
        m_value = std::move(value);
    }

    // Stores the new value and returns the one it replaced.
    T exchange(T value)
    {
        std::lock_guard guard(m_mutex);
        std::swap(m_value, value);
        return value;
    }

    // Runs `function(value)` under the lock and returns what it returns. The function must not
    // call back into this object.
    template <typename Function> decltype(auto) with(Function&& function)
    {
        std::lock_guard guard(m_mutex);
        return std::forward<Function>(function)(m_value);
    }
    template <typename Function> decltype(auto) with(Function&& function) const
    {
        std::lock_guard guard(m_mutex);
        return std::forward<Function>(function)(std::as_const(m_value));
    }

private:
    mutable std::mutex m_mutex;
    T m_value {};
};
