// Value: equality, hashing, identity and the sort order of compareValues.
#include "foundation/Value.h"

#include "foundation/NSObject.h"

#include <cmath>
#include <functional>

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
