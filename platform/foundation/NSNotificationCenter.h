#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// Delivers notifications to observers that registered for a name (or for every name) and a
// sender (or any sender).
//
// Two kinds of registration, as on the platform:
// - selector-style: an observer object, held weakly, and the call to make on it. The center
//   drops the registration once the observer is destroyed. removeObserver(observer) removes
//   only these.
// - block-style: addObserverForName answers a token; the block runs until the token is passed
//   to removeObserver. The center keeps the block (and its captures) until then.
// Delivery is synchronous on the posting thread, in registration order, except for block
// observers given a queue, which get the notification as an operation on that queue. A
// registration removed while a post is being delivered is not called after its removal.
// Any thread.
class NSNotificationCenter : public NSObject {
    VX_OBJECT(NSNotificationCenter, NSObject)

public:
    using Handler = std::function<void(const Ref<NSNotification>&)>;

    explicit NSNotificationCenter(Passkey key);
    ~NSNotificationCenter() override;
    static Ref<NSNotificationCenter> init();
    static Ref<NSNotificationCenter> defaultCenter();
    // Test-only: drops every registration of the default center.
    static void resetForTesting();

    // Selector-style. `selector` must not hold `observer` strongly (the member-function form
    // below cannot). Null name: every name; null object: any sender.
    void addObserver(const Ref<NSObject>& observer, Handler selector, const std::optional<std::string>& name,
        const Ref<NSObject>& object);
    template <typename T>
    void addObserver(const Ref<T>& observer, void (T::*selector)(const Ref<NSNotification>&),
        const std::optional<std::string>& name, const Ref<NSObject>& object)
    {
        Weak<T> weak = observer;
        addObserver(
            observer,
            [weak, selector](const Ref<NSNotification>& note) {
                if (auto target = weak.lock())
                    ((*target).*selector)(note);
            },
            name, object);
    }
    // Block-style; answers the token to remove the registration with.
    Ref<NSObject> addObserverForName(const std::optional<std::string>& name, const Ref<NSObject>& object,
        const Ref<NSOperationQueue>& queue, Handler block);

    // Removes the observer's selector-style registrations, or the registration of a token.
    void removeObserver(const Ref<NSObject>& observer);
    void removeObserver(const NSObject* observer);
    // Removes registrations matching the name (null: any) and sender (null: any).
    void removeObserver(
        const Ref<NSObject>& observer, const std::optional<std::string>& name, const Ref<NSObject>& object);

    void postNotification(const Ref<NSNotification>& notification);
    void postNotificationName(const std::string& name, const Ref<NSObject>& object);
    void postNotificationName(const std::string& name, const Ref<NSObject>& object, const Value& userInfo);

private:
    struct Registration;
    void removeMatching(const std::function<bool(const Registration&)>& match);

    mutable std::mutex m_lock;
    std::vector<std::shared_ptr<Registration>> m_registrations;
};
