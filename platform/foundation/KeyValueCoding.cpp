#include "foundation/KeyValueCoding.h"

#include "foundation/NSException.h"
#include "foundation/NSObject.h"

#include <string_view>
#include <unordered_set>
#include <vector>

namespace {

[[noreturn]] void raiseUndefinedKey(const Value& target, const std::string& key)
{
    NSException::raise(NSUndefinedKeyException,
        std::string("[<") + target.kindName()
            + "> valueForUndefinedKey:]: this class is not key value coding-compliant for the key " + key + ".");
}

std::pair<std::string, std::string> splitFirst(const std::string& path)
{
    auto dot = path.find('.');
    if (dot == std::string::npos)
        return { path, {} };
    return { path.substr(0, dot), path.substr(dot + 1) };
}

// The values of `argument` for every element of `array`, leaving out nil and NSNull.
std::vector<Value> nonNullValues(const Value& array, const std::string& argument)
{
    std::vector<Value> result;
    for (const auto& element : array.elements()) {
        Value v = argument == "self" ? element : valueForKeyPathOfValue(element, argument);
        if (!v.isNilOrNull())
            result.push_back(std::move(v));
    }
    return result;
}

std::vector<Value> distinct(std::vector<Value> values)
{
    std::vector<Value> result;
    std::unordered_set<Value, ValueHash> seen;
    for (auto& v : values) {
        if (seen.insert(v).second)
            result.push_back(std::move(v));
    }
    return result;
}

Value applyOperator(const Value& array, const std::string& op, const std::string& argument)
{
    if (op == "@count")
        return Value(static_cast<int32_t>(array.count()));

    static const std::unordered_set<std::string> s_known { "@sum", "@avg", "@max", "@min", "@unionOfObjects",
        "@distinctUnionOfObjects", "@unionOfArrays", "@distinctUnionOfArrays" };
    if (!s_known.count(op))
        raiseUndefinedKey(array, op);
    if (argument.empty())
        NSException::raise(
            NSInvalidArgumentException, "The collection operator " + op + " needs a key path to the right of it.");

    if (op == "@sum" || op == "@avg") {
        auto values = nonNullValues(array, argument);
        double sum = 0;
        for (const auto& v : values)
            sum += v.doubleValue();
        if (op == "@avg" && !values.empty())
            sum /= static_cast<double>(values.size());
        return Value(sum);
    }
    if (op == "@max" || op == "@min") {
        auto values = nonNullValues(array, argument);
        Value best;
        for (auto& v : values) {
            int order = best.isNil() ? 0 : compareValues(v, best);
            if (best.isNil() || (op == "@max" ? order > 0 : order < 0))
                best = v;
        }
        return best;
    }
    if (op == "@unionOfObjects")
        return Value::array(nonNullValues(array, argument));
    if (op == "@distinctUnionOfObjects")
        return Value::array(distinct(nonNullValues(array, argument)));

    std::vector<Value> joined;
    for (const auto& element : array.elements()) {
        Value inner = argument == "self" ? element : valueForKeyPathOfValue(element, argument);
        for (const auto& v : inner.elements())
            joined.push_back(v);
    }
    return Value::array(op == "@distinctUnionOfArrays" ? distinct(std::move(joined)) : std::move(joined));
}

} // namespace

Value valueForKeyOfValue(const Value& target, const std::string& key)
{
    if (target.isNilOrNull())
        return target;
    if (key == std::string_view("self"))
        return target;
    switch (target.kind()) {
    case Value::Kind::Object:
        // The target holds the object for the whole call: no reference of our own is taken,
        // which for a filter over many objects saves two atomic updates per key.
        return target.objectPointer()->valueForKey(key);
    case Value::Kind::Dictionary:
        if (key == "@count")
            return Value(static_cast<int32_t>(target.count()));
        return target.objectForKey(Value(key));
    case Value::Kind::Array: {
        std::vector<Value> mapped;
        mapped.reserve(target.count());
        for (const auto& element : target.elements()) {
            Value v = valueForKeyOfValue(element, key);
            mapped.push_back(v.isNil() ? Value::null() : std::move(v));
        }
        return Value::array(std::move(mapped));
    }
    default:
        raiseUndefinedKey(target, key);
    }
}

Value valueForKeyPathOfValue(const Value& target, const std::string& keyPath)
{
    if (target.isNil())
        return {};
    if (target.isArray() && !keyPath.empty() && keyPath[0] == '@') {
        auto [op, rest] = splitFirst(keyPath);
        return applyOperator(target, op, rest);
    }
    auto [first, rest] = splitFirst(keyPath);
    Value v = valueForKeyOfValue(target, first);
    if (rest.empty() || v.isNil())
        return v;
    return valueForKeyPathOfValue(v, rest);
}

void setValueForKeyPathOfValue(const Value& target, const Value& value, const std::string& keyPath)
{
    if (target.isNilOrNull())
        return;
    auto [first, rest] = splitFirst(keyPath);
    if (!rest.empty()) {
        setValueForKeyPathOfValue(valueForKeyOfValue(target, first), value, rest);
        return;
    }
    switch (target.kind()) {
    case Value::Kind::Object:
        target.objectValue()->setValueForKey(value, first);
        return;
    case Value::Kind::Dictionary: {
        // Containers share storage, so storing through a copy changes the target; an immutable
        // dictionary raises, as the platform does.
        Value dictionary = target;
        dictionary.setObjectForKey(value, Value(first));
        return;
    }
    case Value::Kind::Array:
        for (const auto& element : target.elements())
            setValueForKeyPathOfValue(element, value, first);
        return;
    default:
        NSException::raise(NSUndefinedKeyException,
            std::string("[<") + target.kindName()
                + "> setValue:forUndefinedKey:]: this class is not key value coding-compliant for the key " + first
                + ".");
    }
}
