#include "foundation/Value.h"

#include "foundation/NSException.h"
#include "foundation/NSObject.h"
#include "foundation/NSString.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <unordered_map>

struct Value::ArrayStorage {
    std::vector<Value> elements;
    bool isMutable { false };
};

struct Value::DictionaryStorage {
    std::vector<std::pair<Value, Value>> entries;
    std::unordered_map<Value, size_t, ValueHash, ValueEqual> index;
    bool isMutable { false };

    void rebuildIndex()
    {
        index.clear();
        for (size_t i = 0; i < entries.size(); ++i)
            index[entries[i].first] = i;
    }
};

namespace {

struct DataStorage {
    Value::Bytes bytes;
};

const Value& nilValue()
{
    static const Value s_nil;
    return s_nil;
}

const std::string& emptyString()
{
    static const std::string s_empty;
    return s_empty;
}

[[noreturn]] void raiseImmutable(const char* what)
{
    NSException::raise(NSInternalInconsistencyException, std::string("attempt to mutate an immutable ") + what);
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

size_t Value::count() const
{
    if (m_kind == Kind::Array)
        return static_cast<ArrayStorage*>(m_storage.get())->elements.size();
    if (m_kind == Kind::Dictionary)
        return static_cast<DictionaryStorage*>(m_storage.get())->entries.size();
    return 0;
}

const std::vector<Value>& Value::elements() const
{
    static const std::vector<Value> s_empty;
    if (m_kind != Kind::Array)
        return s_empty;
    return static_cast<ArrayStorage*>(m_storage.get())->elements;
}

const Value& Value::operator[](size_t index) const
{
    const auto& e = elements();
    if (index >= e.size()) {
        NSException::raise(NSRangeException,
            "index " + std::to_string(index) + " beyond bounds"
                + (e.empty() ? std::string(" for empty array") : " [0 .. " + std::to_string(e.size() - 1) + "]"));
    }
    return e[index];
}

namespace {
Value::ArrayStorage& mutableArrayStorage(const Value& v, const std::shared_ptr<void>& storage)
{
    if (v.kind() != Value::Kind::Array)
        raiseImmutable("object (not an array)");
    auto* s = static_cast<Value::ArrayStorage*>(storage.get());
    if (!v.isMutable())
        raiseImmutable("array");
    return *s;
}
} // namespace

void Value::addObject(const Value& v)
{
    if (v.isNil())
        NSException::raise(NSInvalidArgumentException, "*** -[__NSArrayM insertObject:atIndex:]: object cannot be nil");
    mutableArrayStorage(*this, m_storage).elements.push_back(v);
}

void Value::insertObjectAtIndex(const Value& v, size_t index)
{
    auto& s = mutableArrayStorage(*this, m_storage);
    if (v.isNil())
        NSException::raise(NSInvalidArgumentException, "*** -[__NSArrayM insertObject:atIndex:]: object cannot be nil");
    if (index > s.elements.size())
        NSException::raise(NSRangeException, "index " + std::to_string(index) + " beyond bounds");
    s.elements.insert(s.elements.begin() + static_cast<ptrdiff_t>(index), v);
}

void Value::removeObjectAtIndex(size_t index)
{
    auto& s = mutableArrayStorage(*this, m_storage);
    if (index >= s.elements.size())
        NSException::raise(NSRangeException, "index " + std::to_string(index) + " beyond bounds");
    s.elements.erase(s.elements.begin() + static_cast<ptrdiff_t>(index));
}

void Value::replaceObjectAtIndex(size_t index, const Value& v)
{
    auto& s = mutableArrayStorage(*this, m_storage);
    if (index >= s.elements.size())
        NSException::raise(NSRangeException, "index " + std::to_string(index) + " beyond bounds");
    if (v.isNil())
        NSException::raise(NSInvalidArgumentException, "object cannot be nil");
    s.elements[index] = v;
}

void Value::removeAllObjects()
{
    if (m_kind == Kind::Dictionary) {
        if (!isMutable())
            raiseImmutable("dictionary");
        auto* s = static_cast<DictionaryStorage*>(m_storage.get());
        s->entries.clear();
        s->index.clear();
        return;
    }
    mutableArrayStorage(*this, m_storage).elements.clear();
}

bool Value::containsObject(const Value& v) const
{
    return indexOfObject(v) != static_cast<size_t>(NSNotFound);
}

size_t Value::indexOfObject(const Value& v) const
{
    const auto& e = elements();
    for (size_t i = 0; i < e.size(); ++i) {
        if (e[i].isEqual(v))
            return i;
    }
    return static_cast<size_t>(NSNotFound);
}

const Value& Value::objectForKey(const Value& key) const
{
    if (m_kind != Kind::Dictionary)
        return nilValue();
    auto* s = static_cast<DictionaryStorage*>(m_storage.get());
    auto it = s->index.find(key);
    if (it == s->index.end())
        return nilValue();
    return s->entries[it->second].second;
}

const Value& Value::operator[](std::string_view key) const
{
    if (m_kind != Kind::Dictionary)
        return nilValue();
    auto* s = static_cast<DictionaryStorage*>(m_storage.get());
    auto it = s->index.find(key);
    if (it == s->index.end())
        return nilValue();
    return s->entries[it->second].second;
}

void Value::setObjectForKey(const Value& object, const Value& key)
{
    if (object.isNil()) {
        removeObjectForKey(key);
        return;
    }
    if (m_kind != Kind::Dictionary || !isMutable())
        raiseImmutable("dictionary");
    if (key.isNil())
        NSException::raise(NSInvalidArgumentException, "*** setObjectForKey: key cannot be nil");
    auto* s = static_cast<DictionaryStorage*>(m_storage.get());
    auto it = s->index.find(key);
    if (it != s->index.end()) {
        s->entries[it->second].second = object;
        return;
    }
    // Keys are copied, as the platform copies dictionary keys.
    Value storedKey = key.copy();
    s->index.emplace(storedKey, s->entries.size());
    s->entries.emplace_back(storedKey, object);
}

void Value::removeObjectForKey(const Value& key)
{
    if (m_kind != Kind::Dictionary || !isMutable())
        raiseImmutable("dictionary");
    auto* s = static_cast<DictionaryStorage*>(m_storage.get());
    auto it = s->index.find(key);
    if (it == s->index.end())
        return;
    s->entries.erase(s->entries.begin() + static_cast<ptrdiff_t>(it->second));
    s->rebuildIndex();
}

std::vector<Value> Value::allKeys() const
{
    std::vector<Value> keys;
    for (const auto& entry : entries())
        keys.push_back(entry.first);
    return keys;
}

std::vector<Value> Value::allValues() const
{
    std::vector<Value> values;
    for (const auto& entry : entries())
        values.push_back(entry.second);
    return values;
}

const std::vector<std::pair<Value, Value>>& Value::entries() const
{
    static const std::vector<std::pair<Value, Value>> s_empty;
    if (m_kind != Kind::Dictionary)
        return s_empty;
    return static_cast<DictionaryStorage*>(m_storage.get())->entries;
}

Value Value::copy() const
{
    if (m_kind == Kind::Array && isMutable())
        return array(elements());
    if (m_kind == Kind::Dictionary && isMutable())
        return dictionary(entries());
    return *this;
}

Value Value::mutableCopy() const
{
    if (m_kind == Kind::Array)
        return mutableArray(elements());
    if (m_kind == Kind::Dictionary)
        return mutableDictionary(entries());
    if (m_kind == Kind::Nil)
        return {};
    return *this;
}

namespace {
bool isIntegral(Value::Kind k)
{
    return k == Value::Kind::Bool || k == Value::Kind::Int || k == Value::Kind::LongLong;
}
} // namespace

bool Value::isEqual(const Value& other) const
{
    if (isNumber() && other.isNumber()) {
        if (isIntegral(m_kind) && isIntegral(other.m_kind))
            return m_unsigned == other.m_unsigned && longLongValue() == other.longLongValue();
        return doubleValue() == other.doubleValue();
    }
    if (m_kind != other.m_kind)
        return false;
    switch (m_kind) {
    case Kind::Nil:
    case Kind::Null:
        return true;
    case Kind::String:
        return string() == other.string();
    case Kind::Data:
        return bytes() == other.bytes();
    case Kind::Date:
        return m_double == other.m_double;
    case Kind::Class:
        return m_class == other.m_class;
    case Kind::Array: {
        if (m_storage == other.m_storage)
            return true;
        const auto& a = elements();
        const auto& b = other.elements();
        if (a.size() != b.size())
            return false;
        for (size_t i = 0; i < a.size(); ++i) {
            if (!a[i].isEqual(b[i]))
                return false;
        }
        return true;
    }
    case Kind::Dictionary: {
        if (m_storage == other.m_storage)
            return true;
        if (count() != other.count())
            return false;
        for (const auto& [key, object] : entries()) {
            if (!other.objectForKey(key).isEqual(object))
                return false;
        }
        return true;
    }
    case Kind::Object: {
        auto a = objectValue();
        auto b = other.objectValue();
        return a == b || a->isEqual(b.get());
    }
    default:
        return false;
    }
}

size_t Value::hash() const
{
    if (isNumber()) {
        // Equal numbers of different kinds must hash alike: whole values in int64 range hash
        // as integers, everything else as the double it compares by.
        if (isIntegral(m_kind) && !m_unsigned)
            return std::hash<int64_t>()(longLongValue());
        double d = doubleValue();
        if (d == std::floor(d) && d >= -9.2233720368547758e18 && d < 9.2233720368547758e18)
            return std::hash<int64_t>()(static_cast<int64_t>(d));
        if (d == 0)
            return std::hash<int64_t>()(0);
        return std::hash<double>()(d);
    }
    switch (m_kind) {
    case Kind::String:
        return std::hash<std::string_view>()(string()); // as ValueHash hashes string views
    case Kind::Data:
        return std::hash<std::string_view>()(
            std::string_view(reinterpret_cast<const char*>(bytes().data()), bytes().size()));
    case Kind::Date:
        return std::hash<double>()(m_double);
    case Kind::Class:
        return std::hash<const void*>()(m_class);
    case Kind::Array:
    case Kind::Dictionary:
        return count();
    case Kind::Object:
        return objectValue()->hash();
    default:
        return 0;
    }
}

bool Value::isIdenticalTo(const Value& other) const
{
    if (m_kind != other.m_kind)
        return false;
    if (m_storage || other.m_storage)
        return m_storage == other.m_storage;
    return isEqual(other);
}

namespace {

// Writes shortest round-trip digits the way "%.17g" lays them out: plain notation for decimal
// exponents from -5 to 16 (so whole values up to 1e17 print without a fraction or exponent),
// scientific with a signed two-digit exponent otherwise.
std::string formatShortest(const char* first, const char* last, bool negative)
{
    // `first..last` is the scientific shortest form without sign: "d[.ddd]e[+-]xx".
    std::string_view sci(first, static_cast<size_t>(last - first));
    size_t e = sci.find('e');
    std::string digits(sci.substr(0, e));
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    int exponent = std::atoi(std::string(sci.substr(e + 1)).c_str());
    std::string out = negative ? "-" : "";
    if (exponent < -5 || exponent > 16) {
        out += digits[0];
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        char buf[16];
        std::snprintf(buf, sizeof buf, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        return out + buf;
    }
    if (exponent < 0)
        return out + "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    size_t intDigits = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= intDigits)
        return out + digits + std::string(intDigits - digits.size(), '0');
    return out + digits.substr(0, intDigits) + "." + digits.substr(intDigits);
}

template <typename F> std::string formatReal(F d)
{
    if (std::isnan(d))
        return "nan";
    if (std::isinf(d))
        return d > 0 ? "inf" : "-inf";
    if (d == 0)
        return std::signbit(d) ? "-0" : "0";
    char buf[64];
    auto result = std::to_chars(buf, buf + sizeof buf, std::fabs(d), std::chars_format::scientific);
    return formatShortest(buf, result.ptr, d < 0);
}

// Strings print bare in containers only when made of ASCII letters, digits, "_" and "$";
// anything else is quoted, with quotes, backslashes and control characters escaped and
// non-ASCII characters written as "\Uxxxx" UTF-16 units.
bool needsQuotes(const std::string& s)
{
    if (s.empty())
        return true;
    for (unsigned char c : s) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$';
        if (!plain)
            return true;
    }
    return false;
}

void appendUnicodeEscape(std::string& out, uint32_t unit)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "\\U%04x", unit);
    out += buf;
}

std::string quoted(const std::string& s)
{
    std::string out = "\"";
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        switch (c) {
        case '"':
            out += "\\\"";
            continue;
        case '\\':
            out += "\\\\";
            continue;
        case '\n':
            out += "\\n";
            continue;
        case '\t':
            out += "\\t";
            continue;
        case '\r':
            out += "\\r";
            continue;
        default:
            break;
        }
        if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", c);
            out += buf;
            continue;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        // Decode one UTF-8 sequence; a malformed byte is shown as its own unit.
        uint32_t cp = c;
        size_t extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        bool ok = extra > 0 && i + extra < s.size();
        if (ok) {
            cp = c & (0x3F >> extra);
            for (size_t k = 1; k <= extra; ++k) {
                unsigned char cc = static_cast<unsigned char>(s[i + k]);
                if ((cc & 0xC0) != 0x80) {
                    ok = false;
                    break;
                }
                cp = (cp << 6) | (cc & 0x3F);
            }
        }
        if (!ok) {
            appendUnicodeEscape(out, c);
            continue;
        }
        i += extra;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            appendUnicodeEscape(out, 0xD800 + (cp >> 10));
            appendUnicodeEscape(out, 0xDC00 + (cp & 0x3FF));
        } else {
            appendUnicodeEscape(out, cp);
        }
    }
    return out + "\"";
}

// `level` is the nesting depth of `v`: containers indent their elements one level deeper, and
// a container inside another starts with its own level's indentation, as the platform prints
// it ("key =     {" and "        (" for nested containers).
std::string describeLeaf(const Value& v)
{
    switch (v.kind()) {
    case Value::Kind::Nil:
        return "(null)";
    case Value::Kind::Null:
        return "<null>";
    case Value::Kind::Bool:
        return v.boolValue() ? "1" : "0";
    case Value::Kind::Int:
    case Value::Kind::LongLong:
        return v.isUnsigned() ? std::to_string(v.unsignedLongLongValue()) : std::to_string(v.longLongValue());
    case Value::Kind::Float:
        return formatReal(v.floatValue());
    case Value::Kind::Double:
        return formatReal(v.doubleValue());
    case Value::Kind::String:
        return v.string();
    case Value::Kind::Data: {
        static const char* hex = "0123456789abcdef";
        std::string out = "<";
        const auto& b = v.bytes();
        for (size_t i = 0; i < b.size(); ++i) {
            if (i && i % 4 == 0)
                out += ' ';
            out += hex[b[i] >> 4];
            out += hex[b[i] & 15];
        }
        return out + ">";
    }
    case Value::Kind::Date: {
        double t = std::floor(v.dateValue());
        time_t secs = static_cast<time_t>(t);
        struct tm tm;
        gmtime_r(&secs, &tm);
        char buf[64];
        std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S +0000", &tm);
        return buf;
    }
    case Value::Kind::Class:
        return v.classValue()->name;
    case Value::Kind::Object:
        return v.objectValue()->description();
    case Value::Kind::Array:
    case Value::Kind::Dictionary:
        break;
    }
    return {};
}

// `level` is the nesting depth of `v`. Inside a container every element that is not itself a
// container prints its description, quoted when it is not a plain word ("1.5", "<null>").
// Containers indent their elements one level deeper, and a container inside another starts
// with its own level's indentation, as the platform prints it ("key =     {", "        (").
void describe(std::string& out, const Value& v, int level)
{
    auto pad = [&](int n) { out.append(static_cast<size_t>(n) * 4, ' '); };
    switch (v.kind()) {
    case Value::Kind::Array: {
        pad(level);
        out += "(\n";
        const auto& e = v.elements();
        for (size_t i = 0; i < e.size(); ++i) {
            pad(level + 1);
            describe(out, e[i], level + 1);
            out += i + 1 < e.size() ? ",\n" : "\n";
        }
        pad(level);
        out += ')';
        return;
    }
    case Value::Kind::Dictionary: {
        pad(level);
        out += "{\n";
        for (const auto& [key, object] : v.entries()) {
            pad(level + 1);
            describe(out, key, level + 1);
            out += " = ";
            describe(out, object, level + 1);
            out += ";\n";
        }
        pad(level);
        out += '}';
        return;
    }
    default: {
        std::string text = describeLeaf(v);
        out += level > 0 && needsQuotes(text) ? quoted(text) : text;
        return;
    }
    }
}

} // namespace

std::string Value::description() const
{
    std::string out;
    describe(out, *this, 0);
    return out;
}

const char* Value::kindName() const
{
    switch (m_kind) {
    case Kind::Nil:
        return "nil";
    case Kind::Null:
        return "NSNull";
    case Kind::Bool:
    case Kind::Int:
    case Kind::LongLong:
    case Kind::Float:
    case Kind::Double:
        return "NSNumber";
    case Kind::String:
        return "NSString";
    case Kind::Data:
        return "NSData";
    case Kind::Date:
        return "NSDate";
    case Kind::Array:
        return "NSArray";
    case Kind::Dictionary:
        return "NSDictionary";
    case Kind::Class:
        return "Class";
    case Kind::Object:
        return objectValue()->objectClass()->name;
    }
    return "?";
}

int compareValues(const Value& a, const Value& b)
{
    if (a.isNumber() && b.isNumber()) {
        if (isIntegral(a.kind()) && isIntegral(b.kind())) {
            if (a.isUnsigned() != b.isUnsigned())
                return a.isUnsigned() ? 1 : -1;
            auto x = a.longLongValue(), y = b.longLongValue();
            if (a.isUnsigned()) {
                auto ux = static_cast<uint64_t>(x), uy = static_cast<uint64_t>(y);
                return ux < uy ? -1 : ux > uy ? 1 : 0;
            }
            return x < y ? -1 : x > y ? 1 : 0;
        }
        double x = a.doubleValue(), y = b.doubleValue();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    if (a.isString() && b.isString()) {
        int c = a.string().compare(b.string());
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    if (a.isDate() && b.isDate()) {
        double x = a.dateValue(), y = b.dateValue();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    auto ka = static_cast<int>(a.kind()), kb = static_cast<int>(b.kind());
    return ka < kb ? -1 : ka > kb ? 1 : 0;
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
