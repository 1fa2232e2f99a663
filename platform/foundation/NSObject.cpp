#include "foundation/NSObject.h"

#include "foundation/KeyValueCoding.h"
#include "foundation/KeyValueObservingInternal.h"
#include "foundation/NSException.h"
#include "foundation/NSString.h"
#include "foundation/Value.h"

#include <map>
#include <mutex>
#include <unordered_map>

// Per-object state that most objects never need, made on first use.
struct NSObject::Internals {
    std::mutex lock;
    std::unordered_map<const void*, Value> associations;
};

namespace {

struct Registry {
    std::mutex lock;
    std::map<std::string, std::pair<Class, ClassFactory>, std::less<>> classes;
};

Registry& registry()
{
    static Registry s_registry;
    return s_registry;
}

} // namespace

NSObject::NSObject(Passkey) { }

NSObject::~NSObject()
{
    if (m_kvoObserved.load(std::memory_order_acquire) || m_kvoObserving.load(std::memory_order_acquire))
        KeyValueObserving::forgetObject(this);
}

Ref<NSObject> NSObject::init()
{
    return make<NSObject>();
}

Class NSObject::classObject()
{
    static const ClassInfo s_info { "NSObject", nullptr };
    return &s_info;
}

std::string NSObject::className() const
{
    return objectClass()->name;
}

bool NSObject::classIsSubclassOf(Class cls, Class ancestor)
{
    for (Class c = cls; c; c = c->superclass) {
        if (c == ancestor)
            return true;
    }
    return false;
}

bool NSObject::isKindOfClass(Class cls) const
{
    return classIsSubclassOf(objectClass(), cls);
}

std::string NSObject::description() const
{
    return NSString::stringWithFormat("<%s: %p>", objectClass()->name, static_cast<const void*>(this));
}

NSObject::Internals& NSObject::internals() const
{
    // Made lazily; the first call for an object happens-before sharing it across threads in
    // every use the system makes (associations and observers are set up by the owner).
    static std::mutex s_creation;
    std::lock_guard lock(s_creation);
    if (!m_internals)
        m_internals = std::make_unique<Internals>();
    return *m_internals;
}

Value NSObject::valueForKey(const std::string& key)
{
    if (key == "self")
        return Value(weak_from_this().lock());
    if (key == "class")
        return Value(objectClass());
    return valueForUndefinedKey(key);
}

void NSObject::setValueForKey(const Value& value, const std::string& key)
{
    setValueForUndefinedKey(value, key);
}

Value NSObject::valueForUndefinedKey(const std::string& key)
{
    NSException::raise(NSUndefinedKeyException,
        "[<" + className() + "> valueForUndefinedKey:]: this class is not key value coding-compliant for the key " + key
            + ".");
}

void NSObject::setValueForUndefinedKey(const Value&, const std::string& key)
{
    NSException::raise(NSUndefinedKeyException,
        "[<" + className() + "> setValue:forUndefinedKey:]: this class is not key value coding-compliant for the key "
            + key + ".");
}

void NSObject::setNilValueForKey(const std::string& key)
{
    NSException::raise(NSInvalidArgumentException,
        "[<" + className() + "> setNilValueForKey]: could not set nil as the value for the key " + key + ".");
}

Value NSObject::valueForKeyPath(const std::string& keyPath)
{
    auto self = weak_from_this().lock();
    if (!self) // not owned by a Ref (only during construction or destruction): plain keys only
        return keyPath.find('.') == std::string::npos ? valueForKey(keyPath) : Value();
    return valueForKeyPathOfValue(Value(self), keyPath);
}

void NSObject::setValueForKeyPath(const Value& value, const std::string& keyPath)
{
    auto self = weak_from_this().lock();
    if (!self) {
        if (keyPath.find('.') == std::string::npos)
            setValueForKey(value, keyPath);
        return;
    }
    setValueForKeyPathOfValue(Value(self), value, keyPath);
}

void NSObject::setAssociatedObject(const void* key, const Value& value)
{
    auto& in = internals();
    Value old;
    {
        std::lock_guard lock(in.lock);
        auto it = in.associations.find(key);
        if (it != in.associations.end()) {
            old = std::move(it->second); // released outside the lock
            in.associations.erase(it);
        }
        if (!value.isNil())
            in.associations.emplace(key, value);
    }
}

Value NSObject::associatedObject(const void* key) const
{
    auto& in = internals();
    std::lock_guard lock(in.lock);
    auto it = in.associations.find(key);
    return it == in.associations.end() ? Value() : it->second;
}

bool registerClass(Class cls, ClassFactory factory)
{
    auto& r = registry();
    std::lock_guard lock(r.lock);
    r.classes[cls->name] = { cls, std::move(factory) };
    return true;
}

Class NSClassFromString(std::string_view name)
{
    auto& r = registry();
    std::lock_guard lock(r.lock);
    auto it = r.classes.find(name);
    return it == r.classes.end() ? nullptr : it->second.first;
}

std::string NSStringFromClass(Class cls)
{
    return cls ? cls->name : "";
}

Ref<NSObject> createObjectOfClass(Class cls)
{
    if (!cls)
        return nullptr;
    ClassFactory factory;
    {
        auto& r = registry();
        std::lock_guard lock(r.lock);
        auto it = r.classes.find(cls->name);
        if (it == r.classes.end() || !it->second.second)
            return nullptr;
        factory = it->second.second;
    }
    return factory();
}

VX_REGISTER_CLASS(NSObject);
