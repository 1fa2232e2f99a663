#pragma once

// Private to NSPredicate's own files: the parsed tree that parsing builds, evaluation walks and
// formatting prints. Never include from a public header.

#include "foundation/Locked.h"
#include "foundation/NSPredicate.h"
#include "foundation/NSPredicateText.h"
#include "foundation/Value.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace NSPredicateInternal {

// An operand: a constant, a key path evaluated on the object, or a list of operands.
struct Expression {
    enum class Kind : uint8_t { Constant, KeyPath, Self, List };
    Kind kind { Kind::Constant };
    Value constant;
    std::string keyPath;
    std::vector<Expression> items;
    // Set by prepare() when the key path is one plain key (no "." and no leading "@"), which
    // is read with a single key step instead of walking a path.
    bool singleKey { false };

    Value evaluate(const Value& object) const;
    // The operand's value: the constant or the object itself in place, anything else made in
    // `storage`. The reference lives as long as the expression, `object` and `storage`.
    const Value& evaluate(const Value& object, Value& storage) const;
    // Works out once, after parsing, what evaluation would otherwise work out every time.
    void prepare();
};

enum class Operator : uint8_t {
    Equal,
    NotEqual,
    Less,
    LessOrEqual,
    Greater,
    GreaterOrEqual,
    BeginsWith,
    EndsWith,
    Contains,
    Like,
    Matches,
    In,
    Between,
    IsKindOfClass,
};

// The operator as the format language writes it ("==", "BEGINSWITH", "isKindOfClass:").
const char* operatorName(Operator op);
// Words that cannot stand as a key without a "#" in front.
const std::set<std::string>& reservedWords();
// ASCII upper case, for matching keywords in any case.
std::string upper(std::string_view s);

} // namespace NSPredicateInternal

struct NSPredicate::Node {
    enum class Kind : uint8_t { True, False, And, Or, Not, Comparison, Block };
    Kind kind { Kind::True };
    std::vector<std::shared_ptr<const Node>> children;
    NSPredicateInternal::Expression left;
    NSPredicateInternal::Expression right;
    NSPredicateInternal::Operator op { NSPredicateInternal::Operator::Equal };
    uint8_t folding { PredicateText::FoldNone };
    enum class Aggregate : uint8_t { None, Any, All, NoneOf };
    Aggregate aggregate { Aggregate::None }; // ANY/SOME, ALL, NONE: the left side is a collection
    Block block;
    // MATCHES compiles its pattern once per distinct pattern text.
    mutable Locked<std::shared_ptr<const PredicateText::Regex>> regex;
    // A constant text on the right, folded as the comparison folds (when it folds): made once
    // by prepare(), read by every evaluation.
    std::optional<std::string> foldedRight;

    bool evaluate(const Value& object, const Value& bindings) const;
    bool compare(const Value& l, const Value& r) const;
    // Prepares a parsed comparison's operands for evaluation; the node is not changed after.
    void prepare();
    std::string format() const;
};
