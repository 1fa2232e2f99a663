// Key-value observing for NSObject.
//
// One process-wide registry, guarded by one mutex, holds every observation. An observation of
// the key path "a.b.c" on object R is made of links: (R, "a"), (R.a, "b"), (R.a.b, "c"), plus,
// for each link, links for the key paths its key depends on
// (keyPathsForValuesAffectingValueForKey), followed the same way. A will/did change of any
// link's key on its object notifies the observation's observer with the root and the full key
// path, and rebuilds the links, so a dotted path follows the objects currently along it.
//
// willChangeValueForKey records the observations concerned and their old values on a
// per-thread stack; the matching didChangeValueForKey (the most recent one for the same object
// and key, so pairs may nest) takes the record off and notifies. Every call out of the registry
// (observers, getters, dependent-key queries) happens with the mutex released.

#include "foundation/NSObject.h"

#include "foundation/KeyValueObservingInternal.h"
#include "foundation/NSException.h"
#include "foundation/Value.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <optional>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

struct Observation {
    Weak<NSObject> observer;
    const NSObject* observerId { nullptr };
    Weak<NSObject> root;
    const NSObject* rootId { nullptr };
    std::string keyPath;
    uint32_t options { 0 };
    void* context { nullptr };
    bool simple { true }; // a plain key with no dependent keys: links never need rebuilding

    // Guarded by the registry mutex.
    bool removed { false };
    std::vector<std::pair<const NSObject*, std::string>> links;
};

using ObservationRef = std::shared_ptr<Observation>;

struct Link {
    std::string key;
    ObservationRef observation;
};

struct Registry {
    std::mutex lock;
    std::unordered_map<const NSObject*, std::vector<Link>> linksByObject;
    std::unordered_map<const NSObject*, std::vector<ObservationRef>> byRoot; // registration order
    std::unordered_map<const NSObject*, std::vector<ObservationRef>> byObserver;
};

Registry& registry()
{
    static Registry* s_registry = new Registry; // never destroyed: objects may die at exit
    return *s_registry;
}

// A change announced by willChangeValueForKey and not yet completed.
struct PendingChange {
    const NSObject* object;
    std::string key;
    std::vector<std::pair<ObservationRef, Value>> observations; // with the old value when asked for
};

thread_local std::vector<PendingChange> t_pending;

template <typename T> void eraseValue(std::vector<T>& list, const T& value)
{
    list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

// Drops the links of `observation` from the registry. Registry mutex held.
void unlinkLocked(Registry& r, const ObservationRef& observation)
{
    for (const auto& [object, key] : observation->links) {
        auto it = r.linksByObject.find(object);
        if (it == r.linksByObject.end())
            continue;
        auto& list = it->second;
        list.erase(
            std::remove_if(list.begin(), list.end(), [&](const Link& l) { return l.observation == observation; }),
            list.end());
        if (list.empty())
            r.linksByObject.erase(it);
    }
    observation->links.clear();
}

// Ends an observation. Registry mutex held.
void detachLocked(Registry& r, const ObservationRef& observation)
{
    if (observation->removed)
        return;
    observation->removed = true;
    unlinkLocked(r, observation);
    if (auto it = r.byRoot.find(observation->rootId); it != r.byRoot.end()) {
        eraseValue(it->second, observation);
        if (it->second.empty())
            r.byRoot.erase(it);
    }
    if (auto it = r.byObserver.find(observation->observerId); it != r.byObserver.end()) {
        eraseValue(it->second, observation);
        if (it->second.empty())
            r.byObserver.erase(it);
    }
}

struct CollectedLink {
    Ref<NSObject> object; // keeps the object alive until the link is in the registry
    std::string key;
};

// Follows `path` from `object`, adding a link for each step and for each dependent key path.
// Calls out (getters, dependent-key queries), so no lock may be held.
void collectLinks(const Ref<NSObject>& object, const std::string& path,
    std::set<std::pair<const NSObject*, std::string>>& visited, std::vector<CollectedLink>& out)
{
    auto dot = path.find('.');
    std::string key = dot == std::string::npos ? path : path.substr(0, dot);
    if (!visited.insert({ object.get(), key }).second)
        return; // a dependency cycle, or a key reached twice
    out.push_back({ object, key });
    for (const auto& affecting : object->keyPathsForValuesAffectingValueForKey(key))
        collectLinks(object, affecting, visited, out);
    if (dot == std::string::npos || key.empty() || key[0] == '@')
        return;
    Value inner;
    try {
        inner = object->valueForKey(key);
    } catch (const NSException&) {
        return; // the rest of the path cannot be reached yet
    }
    if (inner.isObject())
        collectLinks(inner.objectValue(), path.substr(dot + 1), visited, out);
}

void setObservedFlag(NSObject* object);

// Rebuilds the links of an observation from the objects now along its path.
void relink(const ObservationRef& observation, const Ref<NSObject>& root)
{
    std::vector<CollectedLink> collected;
    std::set<std::pair<const NSObject*, std::string>> visited;
    collectLinks(root, observation->keyPath, visited, collected);

    auto& r = registry();
    std::lock_guard lock(r.lock);
    if (observation->removed)
        return;
    unlinkLocked(r, observation);
    for (const auto& link : collected) {
        r.linksByObject[link.object.get()].push_back({ link.key, observation });
        observation->links.emplace_back(link.object.get(), link.key);
        setObservedFlag(link.object.get());
    }
}

Value valueOrNull(const Value& v)
{
    return v.isNil() ? Value::null() : v;
}

// Reads the observed value; a path that cannot be read (an unknown key along it) reads as nil,
// so a notification never fails because an intermediate object lacks a key.
Value currentValue(const ObservationRef& observation, const Ref<NSObject>& root)
{
    try {
        return root->valueForKeyPath(observation->keyPath);
    } catch (const NSException&) {
        return {};
    }
}

// The observations linked to (object, key), in registration order, each once.
std::vector<ObservationRef> observationsFor(const NSObject* object, const std::string& key)
{
    auto& r = registry();
    std::vector<ObservationRef> result;
    std::lock_guard lock(r.lock);
    auto it = r.linksByObject.find(object);
    if (it == r.linksByObject.end())
        return result;
    for (const auto& link : it->second) {
        if (link.key == key && std::find(result.begin(), result.end(), link.observation) == result.end())
            result.push_back(link.observation);
    }
    return result;
}

bool isRemoved(const ObservationRef& observation)
{
    auto& r = registry();
    std::lock_guard lock(r.lock);
    return observation->removed;
}

void detach(const ObservationRef& observation)
{
    auto& r = registry();
    std::lock_guard lock(r.lock);
    detachLocked(r, observation);
}

// Calls the observer, or ends the observation when the observer or the root has died.
void deliver(const ObservationRef& observation, const Ref<NSObject>& root, const Value& change)
{
    auto observer = observation->observer.lock();
    if (!observer) {
        detach(observation);
        return;
    }
    observer->observeValueForKeyPath(observation->keyPath, root, change, observation->context);
}

} // namespace

struct KeyValueObservingFlags {
    static void setObserved(NSObject* object) { object->m_kvoObserved.store(true, std::memory_order_release); }
    static void setObserving(NSObject* object) { object->m_kvoObserving.store(true, std::memory_order_release); }
    static bool isObserved(const NSObject* object) { return object->m_kvoObserved.load(std::memory_order_acquire); }
};

namespace {
void setObservedFlag(NSObject* object)
{
    KeyValueObservingFlags::setObserved(object);
}
} // namespace

void NSObject::addObserver(const Ref<NSObject>& observer, const std::string& keyPath, uint32_t options, void* context)
{
    if (!observer || keyPath.empty())
        return;
    auto root = weak_from_this().lock();
    if (!root)
        return; // an object outside a Ref (being built or destroyed) cannot be observed

    auto observation = std::make_shared<Observation>();
    observation->observer = observer;
    observation->observerId = observer.get();
    observation->root = root;
    observation->rootId = this;
    observation->keyPath = keyPath;
    observation->options = options;
    observation->context = context;

    std::vector<CollectedLink> collected;
    std::set<std::pair<const NSObject*, std::string>> visited;
    collectLinks(root, keyPath, visited, collected);
    observation->simple = collected.size() == 1 && keyPath.find('.') == std::string::npos;

    {
        auto& r = registry();
        std::lock_guard lock(r.lock);
        r.byRoot[this].push_back(observation);
        r.byObserver[observer.get()].push_back(observation);
        for (const auto& link : collected) {
            r.linksByObject[link.object.get()].push_back({ link.key, observation });
            observation->links.emplace_back(link.object.get(), link.key);
            KeyValueObservingFlags::setObserved(link.object.get());
        }
        KeyValueObservingFlags::setObserved(this);
        KeyValueObservingFlags::setObserving(observer.get());
    }

    if (options & NSKeyValueObservingOptionInitial) {
        Value change = Value::mutableDictionary({ { Value(NSKeyValueChangeKindKey), Value(NSKeyValueChangeSetting) } });
        if (options & NSKeyValueObservingOptionNew)
            change.setObjectForKey(valueOrNull(currentValue(observation, root)), Value(NSKeyValueChangeNewKey));
        deliver(observation, root, change);
    }
}

namespace {

std::string addressOf(const void* pointer)
{
    char text[32];
    std::snprintf(text, sizeof text, "%p", pointer);
    return text;
}

} // namespace

// The most recent matching registration goes first; no match raises "NSRangeException".
void NSObject::removeObservation(
    const Ref<NSObject>& observer, const std::string& keyPath, std::optional<void*> context)
{
    ObservationRef found;
    {
        auto& r = registry();
        std::lock_guard lock(r.lock);
        if (auto it = r.byRoot.find(this); it != r.byRoot.end()) {
            auto& list = it->second;
            for (auto o = list.rbegin(); o != list.rend(); ++o) {
                if ((*o)->observerId == observer.get() && (*o)->keyPath == keyPath
                    && (!context || (*o)->context == *context)) {
                    found = *o;
                    break;
                }
            }
        }
        if (found)
            detachLocked(r, found);
    }
    if (!found) {
        NSException::raise(NSRangeException,
            "Cannot remove an observer <" + (observer ? observer->className() : std::string("nil")) + " "
                + addressOf(observer.get()) + "> for the key path \"" + keyPath + "\" from <" + className() + " "
                + addressOf(this) + "> because it is not registered as an observer.");
    }
}

void NSObject::removeObserver(const Ref<NSObject>& observer, const std::string& keyPath)
{
    removeObservation(observer, keyPath, std::nullopt);
}

void NSObject::removeObserver(const Ref<NSObject>& observer, const std::string& keyPath, void* context)
{
    removeObservation(observer, keyPath, context);
}

void NSObject::observeValueForKeyPath(const std::string&, const Ref<NSObject>&, const Value&, void*) { }

void NSObject::willChangeValueForKey(const std::string& key)
{
    if (!KeyValueObservingFlags::isObserved(this))
        return;
    auto observations = observationsFor(this, key);
    if (observations.empty())
        return;

    PendingChange pending { this, key, {} };
    std::vector<std::pair<ObservationRef, Ref<NSObject>>> prior;
    for (auto& observation : observations) {
        auto root = observation->root.lock();
        if (!root)
            continue;
        Value old;
        if (observation->options & NSKeyValueObservingOptionOld)
            old = currentValue(observation, root);
        if (observation->options & NSKeyValueObservingOptionPrior)
            prior.emplace_back(observation, root);
        pending.observations.emplace_back(observation, std::move(old));
    }
    // Recorded before the prior notifications go out, so an observer that makes a nested
    // change during one still pairs its own will/did correctly.
    t_pending.push_back(pending);

    for (auto& [observation, root] : prior) {
        if (isRemoved(observation))
            continue;
        Value change = Value::mutableDictionary({ { Value(NSKeyValueChangeKindKey), Value(NSKeyValueChangeSetting) } });
        if (observation->options & NSKeyValueObservingOptionOld) {
            for (const auto& [o, old] : pending.observations) {
                if (o == observation)
                    change.setObjectForKey(valueOrNull(old), Value(NSKeyValueChangeOldKey));
            }
        }
        change.setObjectForKey(Value(true), Value(NSKeyValueChangeNotificationIsPriorKey));
        deliver(observation, root, change);
    }
}

void NSObject::didChangeValueForKey(const std::string& key)
{
    if (t_pending.empty())
        return;
    auto it = std::find_if(
        t_pending.rbegin(), t_pending.rend(), [&](const PendingChange& p) { return p.object == this && p.key == key; });
    if (it == t_pending.rend())
        return; // no matching willChangeValueForKey (or nobody was observing then)
    PendingChange pending = std::move(*it);
    t_pending.erase(std::next(it).base());

    for (auto& [observation, old] : pending.observations) {
        if (isRemoved(observation))
            continue;
        auto root = observation->root.lock();
        if (!root)
            continue;
        if (!observation->simple)
            relink(observation, root);
        Value change = Value::mutableDictionary({ { Value(NSKeyValueChangeKindKey), Value(NSKeyValueChangeSetting) } });
        if (observation->options & NSKeyValueObservingOptionNew)
            change.setObjectForKey(valueOrNull(currentValue(observation, root)), Value(NSKeyValueChangeNewKey));
        if (observation->options & NSKeyValueObservingOptionOld)
            change.setObjectForKey(valueOrNull(old), Value(NSKeyValueChangeOldKey));
        deliver(observation, root, change);
    }
}

std::set<std::string> NSObject::keyPathsForValuesAffectingValueForKey(const std::string&) const
{
    return {};
}

bool NSObject::hasObservers() const
{
    if (!KeyValueObservingFlags::isObserved(this))
        return false;
    auto& r = registry();
    std::lock_guard lock(r.lock);
    auto it = r.byRoot.find(this);
    return it != r.byRoot.end() && !it->second.empty();
}

void KeyValueObserving::forgetObject(const NSObject* object)
{
    std::vector<ObservationRef> ended; // released after the mutex
    auto& r = registry();
    std::lock_guard lock(r.lock);
    if (auto it = r.byRoot.find(object); it != r.byRoot.end())
        ended.insert(ended.end(), it->second.begin(), it->second.end());
    if (auto it = r.byObserver.find(object); it != r.byObserver.end())
        ended.insert(ended.end(), it->second.begin(), it->second.end());
    for (const auto& observation : ended)
        detachLocked(r, observation);
    // Links of other observations that passed through the object; they are rebuilt when the
    // object that held it changes.
    r.linksByObject.erase(object);
}
