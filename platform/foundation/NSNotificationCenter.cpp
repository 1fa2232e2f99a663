#include "foundation/NSNotificationCenter.h"

#include "foundation/NSNotification.h"
#include "foundation/NSOperationQueue.h"

#include <atomic>

struct NSNotificationCenter::Registration {
    // Identity of the selector-style observer, or of the token of a block registration.
    const NSObject* observerKey = nullptr;
    Weak<NSObject> observer; // selector-style only
    Ref<NSObject> token; // block-style only; kept so its address is not reused while registered
    std::optional<std::string> name;
    const NSObject* objectKey = nullptr;
    Weak<NSObject> object;
    Ref<NSOperationQueue> queue;
    Handler handler;
    std::atomic<bool> removed { false };

    bool isBlockStyle() const { return token != nullptr; }
    bool isDead() const { return (!isBlockStyle() && observer.expired()) || (objectKey && object.expired()); }
    bool matches(const NSNotification& note) const
    {
        if (name && *name != note.name())
            return false;
        return !objectKey || (note.object().get() == objectKey && !object.expired());
    }
};

NSNotificationCenter::NSNotificationCenter(Passkey key)
    : NSObject(key)
{
}

NSNotificationCenter::~NSNotificationCenter() = default;

Ref<NSNotificationCenter> NSNotificationCenter::init()
{
    return make<NSNotificationCenter>();
}

Ref<NSNotificationCenter> NSNotificationCenter::defaultCenter()
{
    static Ref<NSNotificationCenter> s_center = init();
    return s_center;
}

void NSNotificationCenter::resetForTesting()
{
    defaultCenter()->removeMatching([](const Registration&) { return true; });
}

void NSNotificationCenter::addObserver(const Ref<NSObject>& observer, Handler selector,
    const std::optional<std::string>& name, const Ref<NSObject>& object)
{
    if (!observer || !selector)
        return;
    auto registration = std::make_shared<Registration>();
    registration->observerKey = observer.get();
    registration->observer = observer;
    registration->name = name;
    registration->objectKey = object.get();
    registration->object = object;
    registration->handler = std::move(selector);
    std::lock_guard guard(m_lock);
    std::erase_if(m_registrations, [](auto& r) { return r->isDead(); });
    m_registrations.push_back(std::move(registration));
}

Ref<NSObject> NSNotificationCenter::addObserverForName(const std::optional<std::string>& name,
    const Ref<NSObject>& object, const Ref<NSOperationQueue>& queue, Handler block)
{
    if (!block)
        return nullptr;
    auto token = NSObject::init();
    auto registration = std::make_shared<Registration>();
    registration->observerKey = token.get();
    registration->token = token;
    registration->name = name;
    registration->objectKey = object.get();
    registration->object = object;
    registration->queue = queue;
    registration->handler = std::move(block);
    std::lock_guard guard(m_lock);
    std::erase_if(m_registrations, [](auto& r) { return r->isDead(); });
    m_registrations.push_back(std::move(registration));
    return token;
}

void NSNotificationCenter::removeMatching(const std::function<bool(const Registration&)>& match)
{
    std::vector<std::shared_ptr<Registration>> removed; // released outside the lock
    {
        std::lock_guard guard(m_lock);
        auto keep = std::stable_partition(
            m_registrations.begin(), m_registrations.end(), [&](auto& r) { return !match(*r) && !r->isDead(); });
        for (auto it = keep; it != m_registrations.end(); ++it) {
            (*it)->removed = true;
            removed.push_back(std::move(*it));
        }
        m_registrations.erase(keep, m_registrations.end());
    }
}

void NSNotificationCenter::removeObserver(const NSObject* observer)
{
    if (!observer)
        return;
    removeMatching([observer](const Registration& r) { return r.observerKey == observer; });
}

void NSNotificationCenter::removeObserver(const Ref<NSObject>& observer)
{
    removeObserver(observer.get());
}

void NSNotificationCenter::removeObserver(
    const Ref<NSObject>& observer, const std::optional<std::string>& name, const Ref<NSObject>& object)
{
    if (!observer)
        return;
    const NSObject* key = observer.get();
    const NSObject* objectKey = object.get();
    removeMatching([&](const Registration& r) {
        return r.observerKey == key && (!name || r.name == name) && (!objectKey || r.objectKey == objectKey);
    });
}

void NSNotificationCenter::postNotification(const Ref<NSNotification>& notification)
{
    if (!notification)
        return;
    std::vector<std::shared_ptr<Registration>> targets;
    {
        std::lock_guard guard(m_lock);
        std::erase_if(m_registrations, [](auto& r) { return r->isDead(); });
        for (auto& registration : m_registrations) {
            if (registration->matches(*notification))
                targets.push_back(registration);
        }
    }
    for (auto& registration : targets) {
        if (registration->removed)
            continue;
        if (registration->isBlockStyle()) {
            if (registration->queue) {
                registration->queue->addOperationWithBlock([registration, notification] {
                    if (!registration->removed)
                        registration->handler(notification);
                });
            } else {
                registration->handler(notification);
            }
            continue;
        }
        // Keep the observer alive for the call; a destroyed observer is skipped.
        if (auto observer = registration->observer.lock())
            registration->handler(notification);
    }
}

void NSNotificationCenter::postNotificationName(const std::string& name, const Ref<NSObject>& object)
{
    postNotification(NSNotification::notificationWithNameObject(name, object));
}

void NSNotificationCenter::postNotificationName(
    const std::string& name, const Ref<NSObject>& object, const Value& userInfo)
{
    postNotification(NSNotification::notificationWithNameObjectUserInfo(name, object, userInfo));
}

VX_REGISTER_CLASS(NSNotificationCenter);
