#pragma once

#include "foundation/NSObject.h"

#include <mutex>
#include <string>

// Mutual exclusion locks. NSLock may not be taken twice by one thread; NSRecursiveLock may,
// and must be unlocked as often as it was locked. Any thread.
class NSLock : public NSObject {
    VX_OBJECT(NSLock, NSObject)

public:
    explicit NSLock(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<NSLock> init();

    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }
    bool tryLock() { return m_mutex.try_lock(); }
    std::string name() const { return m_name; }
    void setName(const std::string& name) { m_name = name; }

private:
    std::mutex m_mutex;
    std::string m_name;
};

class NSRecursiveLock : public NSObject {
    VX_OBJECT(NSRecursiveLock, NSObject)

public:
    explicit NSRecursiveLock(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<NSRecursiveLock> init();

    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }
    bool tryLock() { return m_mutex.try_lock(); }
    std::string name() const { return m_name; }
    void setName(const std::string& name) { m_name = name; }

private:
    std::recursive_mutex m_mutex;
    std::string m_name;
};
