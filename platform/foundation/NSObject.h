#pragma once

#include "foundation/FoundationForward.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

// A class in the class registry: its name, its superclass and, for classes that can be made by
// name (application delegates, cell classes, layout roots), a factory.
struct ClassInfo {
    const char* name;
    Class superclass;
};

// Root of the object model. Objects live in Ref (shared_ptr); copying is not allowed.
// Any thread: KVC and KVO may be used from any thread; observers are called on the thread that
// makes the change.
class NSObject : public std::enable_shared_from_this<NSObject> {
protected:
    // Only subclasses can name the passkey, so only their factories can construct.
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    explicit NSObject(Passkey);
    virtual ~NSObject();
    NSObject(const NSObject&) = delete;
    NSObject& operator=(const NSObject&) = delete;

    static Ref<NSObject> init();

    // Class registry.
    static Class classObject();
    virtual Class objectClass() const { return classObject(); }
    std::string className() const;
    bool isKindOfClass(Class cls) const;
    bool isMemberOfClass(Class cls) const { return objectClass() == cls; }
    static bool classIsSubclassOf(Class cls, Class ancestor);

    // Identity and printing. The default is identity equality and "<ClassName: 0x...>".
    virtual std::string description() const;
    virtual bool isEqual(const NSObject* other) const { return other == this; }
    virtual size_t hash() const { return reinterpret_cast<size_t>(this); }

    // Key-value coding. Subclasses answer their own keys and pass the rest to their superclass;
    // the root answers "self" and "class"; an unknown key reaches valueForUndefinedKey, which
    // raises "NSUnknownKeyException".
    virtual Value valueForKey(const std::string& key);
    virtual void setValueForKey(const Value& value, const std::string& key);
    virtual Value valueForUndefinedKey(const std::string& key);
    virtual void setValueForUndefinedKey(const Value& value, const std::string& key);
    // Setting nil for a scalar key calls this; the default raises "NSInvalidArgumentException".
    virtual void setNilValueForKey(const std::string& key);
    // Dotted paths through objects, dictionaries and arrays, with the collection operators
    // ("@count", "@sum.x", "@unionOfArrays.self" ...) on arrays; see KeyValueCoding.h.
    Value valueForKeyPath(const std::string& keyPath);
    void setValueForKeyPath(const Value& value, const std::string& keyPath);

    // Key-value observing. Observers are held weakly; an observer that is destroyed stops
    // receiving, and every observation of an object ends when the object is destroyed.
    // The change dictionary has "kind" (1, setting), "new" and "old" (when asked for; nil is
    // NSNull) and, for the notification sent before a change, "notificationIsPrior" = YES.
    // A dotted key path ("a.b") follows the object held at "a": when "a" changes, observation
    // moves to the new inner object. Notifications arrive on the thread that makes the change,
    // in registration order, after each didChangeValueForKey; no lock is held while calling out.
    // Adding a nil observer does nothing. Removal takes the most recent matching registration;
    // removing an observation that does not exist raises "NSRangeException". The default
    // observeValueForKeyPath ignores the notification.
    enum Options : uint32_t {
        NSKeyValueObservingOptionNew = 0x01,
        NSKeyValueObservingOptionOld = 0x02,
        NSKeyValueObservingOptionInitial = 0x04,
        NSKeyValueObservingOptionPrior = 0x08,
    };
    void addObserver(const Ref<NSObject>& observer, const std::string& keyPath, uint32_t options, void* context);
    void removeObserver(const Ref<NSObject>& observer, const std::string& keyPath);
    void removeObserver(const Ref<NSObject>& observer, const std::string& keyPath, void* context);
    virtual void observeValueForKeyPath(
        const std::string& keyPath, const Ref<NSObject>& object, const Value& change, void* context);
    void willChangeValueForKey(const std::string& key);
    void didChangeValueForKey(const std::string& key);
    // Keys whose change also changes `key` (the platform's keyPathsForValuesAffecting<Key>).
    virtual std::set<std::string> keyPathsForValuesAffectingValueForKey(const std::string& key) const;
    // True when someone observes a key path rooted at this object.
    bool hasObservers() const;

    // Associated objects, keyed by address. Setting a nil Value removes the association.
    void setAssociatedObject(const void* key, const Value& value);
    Value associatedObject(const void* key) const;

    template <typename T> Ref<T> self() { return std::static_pointer_cast<T>(shared_from_this()); }

    struct Internals;

protected:
    template <typename T, typename... Args> static Ref<T> make(Args&&... args)
    {
        return std::make_shared<T>(Passkey {}, std::forward<Args>(args)...);
    }

    // Stores a property and tells observers of `key`: will-change, store, did-change, always
    // (an object nobody observes pays only a flag test). The value is stored even when it
    // equals the old one, and observers are told then too, as for any setter. A KVC-compliant
    // property is then one line in each place:
    //   void setTitle(std::string t) { setValueNotifying("title", m_title, std::move(t)); }
    //   Value valueForKey(const std::string& key) override
    //   { if (key == "title") return m_title; return Super::valueForKey(key); }
    template <typename T, typename U> void setValueNotifying(const std::string& key, T& member, U&& value)
    {
        willChangeValueForKey(key);
        member = std::forward<U>(value);
        didChangeValueForKey(key);
    }

private:
    friend struct KeyValueObservingFlags;
    void removeObservation(const Ref<NSObject>& observer, const std::string& keyPath, std::optional<void*> context);
    mutable std::unique_ptr<Internals> m_internals;
    // Set once a key path observation touches this object (as observed object, as a link of a
    // dotted or dependent path, or as observer), so destruction knows to clean up.
    std::atomic<bool> m_kvoObserved { false };
    std::atomic<bool> m_kvoObserving { false };
    Internals& internals() const;
};

// Keys and values of the change dictionary handed to observeValueForKeyPath.
inline constexpr const char* NSKeyValueChangeKindKey = "kind";
inline constexpr const char* NSKeyValueChangeNewKey = "new";
inline constexpr const char* NSKeyValueChangeOldKey = "old";
inline constexpr const char* NSKeyValueChangeNotificationIsPriorKey = "notificationIsPrior";
inline constexpr int32_t NSKeyValueChangeSetting = 1;

// Registers a class by name so NSClassFromString finds it, with an optional factory used by
// code that creates objects by class name.
using ClassFactory = std::function<Ref<NSObject>()>;
bool registerClass(Class cls, ClassFactory factory = nullptr);
Class NSClassFromString(std::string_view name);
std::string NSStringFromClass(Class cls);
// Makes an object of a class registered with a factory; nullptr when there is none.
Ref<NSObject> createObjectOfClass(Class cls);

// Declares a class in the registry. Use inside the class body:
//   class KESTPlane : public NSObject { VX_OBJECT(KESTPlane, NSObject) ... };
#define VX_OBJECT(Name, Super)                                                                                         \
public:                                                                                                                \
    static Class classObject()                                                                                         \
    {                                                                                                                  \
        static const ClassInfo s_info { #Name, Super::classObject() };                                                 \
        return &s_info;                                                                                                \
    }                                                                                                                  \
    Class objectClass() const override                                                                                 \
    {                                                                                                                  \
        return classObject();                                                                                          \
    }                                                                                                                  \
                                                                                                                       \
private:

// In a .cpp: makes the class findable by name (and creatable with Name::init()).
#define VX_REGISTER_CLASS(Name) static const bool s_vxRegistered_##Name = ::registerClass(Name::classObject(), nullptr)
#define VX_REGISTER_CREATABLE_CLASS(Name)                                                                              \
    static const bool s_vxRegistered_##Name                                                                            \
        = ::registerClass(Name::classObject(), []() -> Ref<NSObject> { return Name::init(); })
