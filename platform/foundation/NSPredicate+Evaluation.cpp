// NSPredicate: evaluation of the parsed tree (operands, comparisons, compounds, aggregates).
#include "foundation/NSPredicate.h"

#include "foundation/KeyValueCoding.h"
#include "foundation/NSException.h"
#include "foundation/NSPredicateInternal.h"
#include "foundation/NSPredicateText.h"

#include <optional>

namespace NSPredicateInternal {

Value Expression::evaluate(const Value& object) const
{
    Value storage;
    const Value& value = evaluate(object, storage);
    return &value == &storage ? std::move(storage) : value;
}

const Value& Expression::evaluate(const Value& object, Value& storage) const
{
    switch (kind) {
    case Kind::Constant:
        return constant;
    case Kind::Self:
        return object;
    case Kind::KeyPath:
        storage = singleKey ? valueForKeyOfValue(object, keyPath) : valueForKeyPathOfValue(object, keyPath);
        return storage;
    case Kind::List: {
        std::vector<Value> values;
        values.reserve(items.size());
        for (const auto& item : items) {
            Value v = item.evaluate(object);
            values.push_back(v.isNil() ? Value::null() : std::move(v));
        }
        storage = Value::array(std::move(values));
        return storage;
    }
    }
    return storage;
}

void Expression::prepare()
{
    // A path of one key reads as that key on the object (a nil object answering nil either
    // way); "@" keys may be collection operators, which only the path walk applies.
    singleKey
        = kind == Kind::KeyPath && !keyPath.empty() && keyPath[0] != '@' && keyPath.find('.') == std::string::npos;
    for (auto& item : items)
        item.prepare();
}

} // namespace NSPredicateInternal

namespace {

using NSPredicateInternal::Operator;

[[noreturn]] void raiseEvaluation(const std::string& reason)
{
    NSException::raise(NSInvalidArgumentException, reason);
}

// `bFolded`, when given, is b's text already folded (a constant folded once after parsing).
std::string_view foldedText(const Value& b, uint8_t folding, const std::string* bFolded, std::string& storage)
{
    return bFolded ? std::string_view(*bFolded) : PredicateText::foldedView(b.string(), folding, storage);
}

bool stringsOrNumbersEqual(const Value& a, const Value& b, uint8_t folding, const std::string* bFolded = nullptr)
{
    if (a.isNilOrNull() || b.isNilOrNull())
        return a.isNilOrNull() && b.isNilOrNull();
    if (a.isString() && b.isString()) {
        std::string bStorage;
        return PredicateText::FoldedText(a.string(), folding).equals(foldedText(b, folding, bFolded, bStorage));
    }
    return a.isEqual(b);
}

// Orders two values for <, <=, >, >= and BETWEEN; nullopt when either is nil.
std::optional<int> order(const Value& a, const Value& b, uint8_t folding, const std::string* bFolded = nullptr)
{
    // Doubles, what key reads of measurements answer, are ordered here as compareValues orders
    // them (unordered NaN counting as equal), without the general dispatch.
    if (a.kind() == Value::Kind::Double && b.kind() == Value::Kind::Double) {
        double x = a.doubleValue(), y = b.doubleValue();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    if (a.isNilOrNull() || b.isNilOrNull())
        return std::nullopt;
    if (a.isString() && b.isString()) {
        std::string bStorage;
        return PredicateText::FoldedText(a.string(), folding).compare(foldedText(b, folding, bFolded, bStorage));
    }
    if ((a.isNumber() && b.isNumber()) || (a.isDate() && b.isDate()))
        return compareValues(a, b);
    raiseEvaluation(std::string("Cannot compare ") + a.kindName() + " with " + b.kindName() + ".");
}

const std::string& requireString(const Value& v, const char* op)
{
    if (!v.isString())
        raiseEvaluation(std::string("Can't do a substring operation (") + op + ") with something that isn't a string ("
            + v.kindName() + ").");
    return v.string();
}

} // namespace

void NSPredicate::Node::prepare()
{
    left.prepare();
    right.prepare();
    if (right.kind == NSPredicateInternal::Expression::Kind::Constant && right.constant.isString()
        && folding != PredicateText::FoldNone)
        foldedRight = PredicateText::fold(right.constant.string(), folding);
}

bool NSPredicate::Node::compare(const Value& l, const Value& r) const
{
    // The folded constant stands for `r` only when `r` is that constant itself.
    const std::string* rFolded = foldedRight && &r == &right.constant ? &*foldedRight : nullptr;
    switch (op) {
    case Operator::Equal:
        return stringsOrNumbersEqual(l, r, folding, rFolded);
    case Operator::NotEqual:
        return !stringsOrNumbersEqual(l, r, folding, rFolded);
    case Operator::Less:
    case Operator::LessOrEqual:
    case Operator::Greater:
    case Operator::GreaterOrEqual: {
        auto c = order(l, r, folding, rFolded);
        if (!c)
            return false;
        switch (op) {
        case Operator::Less:
            return *c < 0;
        case Operator::LessOrEqual:
            return *c <= 0;
        case Operator::Greater:
            return *c > 0;
        default:
            return *c >= 0;
        }
    }
    case Operator::BeginsWith:
    case Operator::EndsWith:
    case Operator::Like: {
        if (l.isNilOrNull() || r.isNilOrNull())
            return false;
        PredicateText::FoldedText text(requireString(l, operatorName(op)), folding);
        requireString(r, operatorName(op));
        std::string lStorage, rStorage;
        std::string_view other = foldedText(r, folding, rFolded, rStorage);
        if (op == Operator::BeginsWith)
            return text.startsWith(other);
        if (op == Operator::EndsWith)
            return text.endsWith(other);
        return PredicateText::like(text.view(lStorage), other);
    }
    case Operator::Contains: {
        if (l.isNilOrNull() || r.isNilOrNull())
            return false;
        if (l.isArray()) {
            for (const auto& e : l.elements()) {
                if (stringsOrNumbersEqual(e, r, folding, rFolded))
                    return true;
            }
            return false;
        }
        PredicateText::FoldedText text(requireString(l, "CONTAINS"), folding);
        requireString(r, "CONTAINS");
        std::string rStorage;
        std::string_view part = foldedText(r, folding, rFolded, rStorage);
        // As with a range search, an empty text is found nowhere.
        return !part.empty() && text.contains(part);
    }
    case Operator::Matches: {
        if (l.isNilOrNull() || r.isNilOrNull())
            return false;
        const std::string& pattern = requireString(r, "MATCHES");
        const std::string& text = requireString(l, "MATCHES");
        bool caseInsensitive = folding & PredicateText::FoldCase;
        std::shared_ptr<const PredicateText::Regex> compiled = regex.get();
        if (!compiled || compiled->pattern() != pattern) {
            compiled = std::make_shared<const PredicateText::Regex>(pattern, caseInsensitive);
            regex.set(compiled);
        }
        return compiled->matchesWhole(
            folding & PredicateText::FoldDiacritics ? PredicateText::fold(text, PredicateText::FoldDiacritics) : text);
    }
    case Operator::In: {
        if (r.isNilOrNull())
            return false;
        if (r.isArray() || r.isDictionary()) {
            for (const auto& e : r.isArray() ? r.elements() : r.allValues()) {
                if (stringsOrNumbersEqual(l, e, folding))
                    return true;
            }
            return false;
        }
        if (r.isString()) {
            if (l.isNilOrNull())
                return false;
            std::string lStorage, rStorage;
            std::string_view text = foldedText(r, folding, rFolded, rStorage);
            return text.find(PredicateText::foldedView(requireString(l, "IN"), folding, lStorage))
                != std::string_view::npos;
        }
        raiseEvaluation(
            std::string("Can't look for value in a ") + r.kindName() + ", which is not a collection or a string.");
    }
    case Operator::Between: {
        if (!r.isArray() || r.count() != 2)
            raiseEvaluation("BETWEEN needs a list of two bounds.");
        auto low = order(l, r[size_t(0)], folding);
        auto high = order(l, r[size_t(1)], folding);
        return low && high && *low >= 0 && *high <= 0;
    }
    case Operator::IsKindOfClass: {
        if (r.isNilOrNull() || !l.isObject())
            return false;
        if (!r.isClass())
            raiseEvaluation(std::string("isKindOfClass: needs a class, not ") + r.kindName() + ".");
        return l.objectValue()->isKindOfClass(r.classValue());
    }
    }
    return false;
}

bool NSPredicate::Node::evaluate(const Value& object, const Value& bindings) const
{
    switch (kind) {
    case Kind::True:
        return true;
    case Kind::False:
        return false;
    case Kind::And:
        for (const auto& child : children) {
            if (!child->evaluate(object, bindings))
                return false;
        }
        return true;
    case Kind::Or:
        for (const auto& child : children) {
            if (child->evaluate(object, bindings))
                return true;
        }
        return false;
    case Kind::Not:
        return !children.front()->evaluate(object, bindings);
    case Kind::Block:
        return block(object, bindings);
    case Kind::Comparison: {
        // Constants and the object itself are compared in place, not copied.
        Value lStorage, rStorage;
        const Value& l = left.evaluate(object, lStorage);
        const Value& r = right.evaluate(object, rStorage);
        if (aggregate == Aggregate::None)
            return compare(l, r);
        if (l.isNilOrNull())
            return aggregate == Aggregate::NoneOf;
        if (!l.isArray() && !l.isDictionary())
            raiseEvaluation("The left hand side for an ALL, ANY or NONE operator must be a collection.");
        for (const auto& element : l.isArray() ? l.elements() : l.allValues()) {
            bool matched = compare(element, r);
            if (aggregate == Aggregate::All && !matched)
                return false;
            if (aggregate != Aggregate::All && matched)
                return aggregate == Aggregate::Any;
        }
        return aggregate != Aggregate::Any;
    }
    }
    return false;
}

bool NSPredicate::evaluateWithObject(const Value& object) const
{
    return m_root->evaluate(object, Value());
}

bool NSPredicate::evaluateWithObjectSubstitutionVariables(const Value& object, const Value& bindings) const
{
    return m_root->evaluate(object, bindings);
}

Value filteredArrayUsingPredicate(const Value& array, const Ref<NSPredicate>& predicate)
{
    return Value::array(filteredArrayUsingPredicate(array.elements(), predicate));
}

std::vector<Value> filteredArrayUsingPredicate(const std::vector<Value>& array, const Ref<NSPredicate>& predicate)
{
    if (!predicate)
        NSException::raise(NSInvalidArgumentException, "filteredArrayUsingPredicate: predicate cannot be nil");
    std::vector<Value> result;
    for (const auto& element : array) {
        if (predicate->evaluateWithObject(element))
            result.push_back(element);
    }
    return result;
}
