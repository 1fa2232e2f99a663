// Value: construction, kind tests, scalar readings and the platform classes values report.
#include "foundation/Value.h"

#include "foundation/NSObject.h"
#include "foundation/NSString.h"
#include "foundation/ValueInternal.h"

#include <cmath>

namespace {

struct DataStorage {
    Value::Bytes bytes;
};

const std::string& emptyString()
{
    static const std::string s_empty;
    return s_empty;
}

} // namespace

// Values are copied everywhere: a tag, a scalar and one shared pointer, nothing more.
static_assert(sizeof(Value) <= 32);

Value::Value(bool b)
    : m_kind(Kind::Bool)
{
    m_bool = b;
}
Value::Value(int32_t i)
    : m_kind(Kind::Int)
{
    m_int = i;
}
Value::Value(uint32_t i)
    : m_kind(i <= INT32_MAX ? Kind::Int : Kind::LongLong)
{
    m_int = i;
}
Value::Value(int64_t i)
    : m_kind(Kind::LongLong)
{
    m_int = i;
}
Value::Value(uint64_t i)
    : m_kind(Kind::LongLong)
    , m_unsigned(i > static_cast<uint64_t>(INT64_MAX))
{
    m_int = static_cast<int64_t>(i);
}
Value::Value(float f)
    : m_kind(Kind::Float)
{
    m_float = f;
}
Value::Value(double d)
    : m_kind(Kind::Double)
{
    m_double = d;
}
Value::Value(const char* s)
    : Value(std::string(s ? s : ""))
{
}
Value::Value(std::string_view s)
    : Value(std::string(s))
{
}
Value::Value(const std::string& s)
    : Value(std::string(s))
{
}
Value::Value(std::string&& s)
    : m_kind(Kind::String)
    , m_storage(std::make_shared<std::string>(std::move(s)))
{
}
Value::Value(Class cls)
    : m_kind(cls ? Kind::Class : Kind::Nil)
{
    m_class = cls;
}
Value::Value(Ref<NSObject> object, ObjectTag)
    : m_kind(object ? Kind::Object : Kind::Nil)
    , m_storage(std::move(object))
{
}

Value Value::null()
{
    Value v;
    v.m_kind = Kind::Null;
    return v;
}

Value Value::data(Bytes bytes)
{
    Value v;
    v.m_kind = Kind::Data;
    v.m_storage = std::make_shared<DataStorage>(DataStorage { std::move(bytes) });
    return v;
}

Value Value::data(const void* bytes, size_t length)
{
    auto p = static_cast<const uint8_t*>(bytes);
    return data(Bytes(p, p + length));
}

Value Value::date(double secondsSince1970)
{
    Value v;
    v.m_kind = Kind::Date;
    v.m_double = secondsSince1970;
    return v;
}

Value Value::array(std::vector<Value> elements)
{
    Value v;
    v.m_kind = Kind::Array;
    v.m_storage = std::make_shared<ArrayStorage>(ArrayStorage { std::move(elements), false });
    return v;
}

Value Value::mutableArray(std::vector<Value> elements)
{
    Value v = array(std::move(elements));
    static_cast<ArrayStorage*>(v.m_storage.get())->isMutable = true;
    return v;
}

Value Value::dictionary(std::vector<std::pair<Value, Value>> entries)
{
    Value v;
    v.m_kind = Kind::Dictionary;
    auto storage = std::make_shared<DictionaryStorage>();
    storage->entries.reserve(entries.size());
    storage->index.reserve(entries.size());
    // Later duplicates replace earlier ones in place, as a literal with repeated keys does.
    for (auto& [key, object] : entries) {
        auto [it, added] = storage->index.try_emplace(key, storage->entries.size());
        if (added)
            storage->entries.emplace_back(std::move(key), std::move(object));
        else
            storage->entries[it->second].second = std::move(object);
    }
    v.m_storage = std::move(storage);
    return v;
}

Value Value::mutableDictionary(std::vector<std::pair<Value, Value>> entries)
{
    Value v = dictionary(std::move(entries));
    static_cast<DictionaryStorage*>(v.m_storage.get())->isMutable = true;
    return v;
}

Value Value::object(Ref<NSObject> object)
{
    return Value(std::move(object), ObjectTag {});
}

bool Value::isNumber() const
{
    switch (m_kind) {
    case Kind::Bool:
    case Kind::Int:
    case Kind::LongLong:
    case Kind::Float:
    case Kind::Double:
        return true;
    default:
        return false;
    }
}

bool Value::isMutable() const
{
    if (m_kind == Kind::Array)
        return static_cast<ArrayStorage*>(m_storage.get())->isMutable;
    if (m_kind == Kind::Dictionary)
        return static_cast<DictionaryStorage*>(m_storage.get())->isMutable;
    return false;
}

bool Value::boolValue() const
{
    switch (m_kind) {
    case Kind::Bool:
        return m_bool;
    case Kind::Int:
    case Kind::LongLong:
        return m_int != 0;
    case Kind::Float:
        return m_float != 0;
    case Kind::Double:
        return m_double != 0;
    case Kind::String:
        return NSString::boolValue(string());
    default:
        return false;
    }
}

int64_t Value::longLongValue() const
{
    switch (m_kind) {
    case Kind::Bool:
        return m_bool ? 1 : 0;
    case Kind::Int:
    case Kind::LongLong:
        return m_int;
    case Kind::Float:
    case Kind::Double: {
        double d = m_kind == Kind::Float ? m_float : m_double;
        if (std::isnan(d))
            return 0;
        if (d >= 9.2233720368547758e18)
            return INT64_MAX;
        if (d <= -9.2233720368547758e18)
            return INT64_MIN;
        return static_cast<int64_t>(d);
    }
    case Kind::String:
        return NSString::longLongValue(string());
    case Kind::Date:
        return static_cast<int64_t>(m_double);
    default:
        return 0;
    }
}

int32_t Value::intValue() const
{
    if (m_kind == Kind::String)
        return NSString::intValue(string());
    // Narrowing keeps the low bits, as a cast of the platform's number would.
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(longLongValue())));
}

uint32_t Value::unsignedIntValue() const
{
    return static_cast<uint32_t>(longLongValue());
}
uint64_t Value::unsignedLongLongValue() const
{
    double d = 0;
    switch (m_kind) {
    case Kind::Float:
        d = m_float;
        break;
    case Kind::Double:
        d = m_double;
        break;
    default:
        return static_cast<uint64_t>(longLongValue());
    }
    // Non-negative reals above INT64_MAX still fit an unsigned 64-bit number.
    if (d >= 9.2233720368547758e18)
        return d >= 1.8446744073709552e19 ? UINT64_MAX : static_cast<uint64_t>(d);
    return static_cast<uint64_t>(longLongValue());
}

double Value::doubleValue() const
{
    switch (m_kind) {
    case Kind::Bool:
        return m_bool ? 1 : 0;
    case Kind::Int:
    case Kind::LongLong:
        return m_unsigned ? static_cast<double>(static_cast<uint64_t>(m_int)) : static_cast<double>(m_int);
    case Kind::Float:
        return m_float;
    case Kind::Double:
    case Kind::Date:
        return m_double;
    case Kind::String:
        return NSString::doubleValue(string());
    default:
        return 0;
    }
}

float Value::floatValue() const
{
    if (m_kind == Kind::Float)
        return m_float;
    return static_cast<float>(doubleValue());
}

const std::string& Value::string() const
{
    if (m_kind != Kind::String)
        return emptyString();
    return *static_cast<std::string*>(m_storage.get());
}

std::string Value::stringValue() const
{
    if (m_kind == Kind::String)
        return string();
    if (isNilOrNull())
        return {};
    return description();
}

const Value::Bytes& Value::bytes() const
{
    static const Bytes s_empty;
    if (m_kind != Kind::Data)
        return s_empty;
    return static_cast<DataStorage*>(m_storage.get())->bytes;
}

double Value::dateValue() const
{
    return m_kind == Kind::Date ? m_double : 0;
}
Class Value::classValue() const
{
    return m_kind == Kind::Class ? m_class : nullptr;
}

Ref<NSObject> Value::objectValue() const
{
    if (m_kind != Kind::Object)
        return nullptr;
    return std::static_pointer_cast<NSObject>(m_storage);
}

NSObject* Value::objectPointer() const
{
    return m_kind == Kind::Object ? static_cast<NSObject*>(m_storage.get()) : nullptr;
}

#define VX_VALUE_CLASS(function, name, super)                                                                          \
    Class Value::function()                                                                                            \
    {                                                                                                                  \
        static const ClassInfo s_info { name, super };                                                                 \
        return &s_info;                                                                                                \
    }

VX_VALUE_CLASS(stringClass, "NSString", NSObject::classObject())
VX_VALUE_CLASS(numberClass, "NSNumber", NSObject::classObject())
VX_VALUE_CLASS(nullClass, "NSNull", NSObject::classObject())
VX_VALUE_CLASS(dataClass, "NSData", NSObject::classObject())
VX_VALUE_CLASS(dateClass, "NSDate", NSObject::classObject())
VX_VALUE_CLASS(arrayClass, "NSArray", NSObject::classObject())
VX_VALUE_CLASS(mutableArrayClass, "NSMutableArray", arrayClass())
VX_VALUE_CLASS(dictionaryClass, "NSDictionary", NSObject::classObject())
VX_VALUE_CLASS(mutableDictionaryClass, "NSMutableDictionary", dictionaryClass())

#undef VX_VALUE_CLASS

namespace {
const bool s_valueClassesRegistered = [] {
    for (Class cls : { Value::stringClass(), Value::numberClass(), Value::nullClass(), Value::dataClass(),
             Value::dateClass(), Value::arrayClass(), Value::mutableArrayClass(), Value::dictionaryClass(),
             Value::mutableDictionaryClass() })
        registerClass(cls);
    return true;
}();
} // namespace

Class Value::valueClass() const
{
    switch (m_kind) {
    case Kind::Nil:
        return nullptr;
    case Kind::Null:
        return nullClass();
    case Kind::Bool:
    case Kind::Int:
    case Kind::LongLong:
    case Kind::Float:
    case Kind::Double:
        return numberClass();
    case Kind::String:
        return stringClass();
    case Kind::Data:
        return dataClass();
    case Kind::Date:
        return dateClass();
    case Kind::Array:
        return isMutable() ? mutableArrayClass() : arrayClass();
    case Kind::Dictionary:
        return isMutable() ? mutableDictionaryClass() : dictionaryClass();
    case Kind::Class:
        return NSObject::classObject();
    case Kind::Object:
        return objectValue()->objectClass();
    }
    return nullptr;
}

bool Value::isKindOfClass(Class cls) const
{
    Class own = valueClass();
    return own && cls && NSObject::classIsSubclassOf(own, cls);
}
