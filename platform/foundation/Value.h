#pragma once

#include "foundation/FoundationForward.h"

#include <concepts>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

// The data an Objective-C `id` holds: nil, NSNull, numbers (keeping the kind they were made
// from), strings, data, dates, arrays, dictionaries, classes and objects.
//
// Arrays, dictionaries and data share their storage when a Value is copied, as references do on
// the platform. Containers made with `mutableArray()`/`mutableDictionary()` (or `mutableCopy()`)
// can be changed through any Value that shares them; changing an immutable one raises
// "NSInternalInconsistencyException". Dictionaries keep insertion order.
//
// Any thread, as long as a mutable container is not changed on one thread while read on another.
class Value {
public:
    enum class Kind : uint8_t {
        Nil,
        Null,
        Bool,
        Int, // NSInteger / int
        LongLong, // long long, and unsigned long long (isUnsigned() tells values above INT64_MAX)
        Float,
        Double,
        String,
        Data,
        Date,
        Array,
        Dictionary,
        Class,
        Object,
    };

    struct ArrayStorage;
    struct DictionaryStorage;
    using Bytes = std::vector<uint8_t>;

    Value() = default;
    Value(std::nullptr_t) { }
    Value(bool b);
    Value(int32_t i);
    Value(uint32_t i);
    Value(int64_t i);
    Value(uint64_t i);
    Value(long long i)
        : Value(static_cast<int64_t>(i))
    {
    }
    Value(unsigned long long i)
        : Value(static_cast<uint64_t>(i))
    {
    }
    Value(float f);
    Value(double d);
    Value(const char* s);
    Value(std::string_view s);
    Value(const std::string& s);
    Value(std::string&& s);
    Value(Class cls);
    template <typename T>
    Value(const Ref<T>& object)
        : Value(std::static_pointer_cast<NSObject>(object), ObjectTag {})
    {
    }

    // Named constructors.
    static Value null();
    static Value number(double d) { return Value(d); }
    static Value longLong(int64_t i) { return Value(i); }
    static Value data(Bytes bytes);
    static Value data(const void* bytes, size_t length);
    static Value date(double secondsSince1970);
    static Value array(std::vector<Value> elements = {});
    static Value mutableArray(std::vector<Value> elements = {});
    static Value dictionary(std::vector<std::pair<Value, Value>> entries = {});
    static Value mutableDictionary(std::vector<std::pair<Value, Value>> entries = {});
    static Value object(Ref<NSObject> object);

    Kind kind() const { return m_kind; }
    bool isNil() const { return m_kind == Kind::Nil; }
    bool isNull() const { return m_kind == Kind::Null; }
    // True for nil and NSNull alike.
    bool isNilOrNull() const { return m_kind == Kind::Nil || m_kind == Kind::Null; }
    bool isNumber() const;
    bool isString() const { return m_kind == Kind::String; }
    bool isData() const { return m_kind == Kind::Data; }
    bool isDate() const { return m_kind == Kind::Date; }
    bool isArray() const { return m_kind == Kind::Array; }
    bool isDictionary() const { return m_kind == Kind::Dictionary; }
    bool isClass() const { return m_kind == Kind::Class; }
    bool isObject() const { return m_kind == Kind::Object; }
    bool isMutable() const;
    // A LongLong made from an unsigned value above INT64_MAX.
    bool isUnsigned() const { return m_unsigned; }
    explicit operator bool() const { return m_kind != Kind::Nil; }

    // Number readings, with the platform's conversions: strings parse as NSString's
    // intValue/doubleValue/boolValue do; nil, NSNull and non-numbers read as 0.
    bool boolValue() const;
    int32_t intValue() const;
    int32_t integerValue() const { return intValue(); }
    uint32_t unsignedIntValue() const;
    int64_t longLongValue() const;
    uint64_t unsignedLongLongValue() const;
    float floatValue() const;
    double doubleValue() const;

    // String, or "" when not a string. stringValue() also converts numbers (description).
    const std::string& string() const;
    std::string stringValue() const;
    const Bytes& bytes() const;
    double dateValue() const;
    Class classValue() const;
    Ref<NSObject> objectValue() const;
    // The object without taking a reference, for a caller that keeps this Value alive while it
    // uses the object (a key read on every element of a large set); nullptr for non-objects.
    NSObject* objectPointer() const;
    template <typename T> Ref<T> objectAs() const { return std::dynamic_pointer_cast<T>(objectValue()); }

    // Arrays.
    size_t count() const; // elements of an array or entries of a dictionary; 0 otherwise
    const Value& operator[](size_t index) const; // raises "NSRangeException" when out of range
    // Any integer index (so `v[0]` is not taken for a null key); negative ones are out of range.
    template <std::integral I> const Value& operator[](I index) const
    {
        if constexpr (std::is_signed_v<I>) {
            if (index < 0)
                return (*this)[static_cast<size_t>(SIZE_MAX)];
        }
        return (*this)[static_cast<size_t>(index)];
    }
    const Value& objectAtIndex(size_t index) const { return (*this)[index]; }
    const std::vector<Value>& elements() const; // empty for non-arrays
    void addObject(const Value& v);
    void insertObjectAtIndex(const Value& v, size_t index);
    void removeObjectAtIndex(size_t index);
    void replaceObjectAtIndex(size_t index, const Value& v);
    void removeAllObjects();
    bool containsObject(const Value& v) const;
    size_t indexOfObject(const Value& v) const; // NSNotFound as size_t when absent

    // Dictionaries. objectForKey answers nil for absent keys and for non-dictionaries.
    const Value& objectForKey(const Value& key) const;
    const Value& operator[](std::string_view key) const;
    const Value& operator[](const char* key) const { return (*this)[std::string_view(key)]; }
    void setObjectForKey(const Value& object, const Value& key); // nil object removes
    void removeObjectForKey(const Value& key);
    std::vector<Value> allKeys() const;
    std::vector<Value> allValues() const;
    const std::vector<std::pair<Value, Value>>& entries() const; // insertion order

    // Copies: `copy` answers an immutable container (sharing when already immutable),
    // `mutableCopy` a new mutable one with the same elements.
    Value copy() const;
    Value mutableCopy() const;

    // Equality as isEqual: on the platform: numbers compare by value across kinds (a bool is
    // the number 0 or 1), strings by content, containers element by element, objects by isEqual.
    bool isEqual(const Value& other) const;
    bool operator==(const Value& other) const { return isEqual(other); }
    size_t hash() const;
    // Same storage (pointer identity for containers and objects).
    bool isIdenticalTo(const Value& other) const;

    // The platform's description: integers without ".0", doubles in their shortest round-trip
    // form, strings bare at top level and quoted inside containers where needed.
    std::string description() const;
    // Human-readable name of the kind, for error messages ("NSString", "NSNumber" ...).
    const char* kindName() const;

    // The platform class of the value: NSString, NSNumber, NSArray or NSMutableArray, ... for
    // data, the object's own class for objects, nullptr for nil. Registered by name, so
    // NSClassFromString("NSString") finds them.
    Class valueClass() const;
    // True when the value's class is `cls` or a subclass of it.
    bool isKindOfClass(Class cls) const;
    static Class stringClass();
    static Class numberClass();
    static Class nullClass();
    static Class dataClass();
    static Class dateClass();
    static Class arrayClass();
    static Class mutableArrayClass();
    static Class dictionaryClass();
    static Class mutableDictionaryClass();

private:
    struct ObjectTag { };
    Value(Ref<NSObject> object, ObjectTag);

    Kind m_kind { Kind::Nil };
    bool m_unsigned { false };
    union {
        int64_t m_int = 0;
        bool m_bool;
        float m_float;
        double m_double;
        Class m_class;
    };
    std::shared_ptr<void> m_storage; // string, data, array, dictionary or object
};

// Hash and equality (isEqual) for Value keys. Both also take string views, so maps keyed by
// Value can be searched with a string without making a Value.
struct ValueHash {
    using is_transparent = void;
    size_t operator()(const Value& v) const { return v.hash(); }
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};

struct ValueEqual {
    using is_transparent = void;
    bool operator()(const Value& a, const Value& b) const { return a.isEqual(b); }
    bool operator()(const Value& a, std::string_view b) const { return a.isString() && a.string() == b; }
    bool operator()(std::string_view a, const Value& b) const { return b.isString() && b.string() == a; }
};

// Orders values for sorting: numbers by value, strings by literal comparison, dates by time.
// Answers -1, 0 or 1; values of different families order by kind.
int compareValues(const Value& a, const Value& b);
