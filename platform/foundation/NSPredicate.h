#pragma once

#include "foundation/FormatArg.h"
#include "foundation/FoundationForward.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A condition on a value, parsed from a format string and evaluated through key-value coding
// on objects, dictionaries or any other Value. Immutable once made; any thread.
//
// The format language:
//   comparisons     = == != <> < <= =< > >= => BEGINSWITH ENDSWITH CONTAINS LIKE MATCHES IN
//                   BETWEEN, and "isKindOfClass:"; string operators take [c] (case-insensitive),
//                   [d] (diacritic-insensitive) or [cd]
//   compounds       AND && OR || NOT ! and parentheses; AND binds tighter than OR
//   aggregates      ANY (or SOME), ALL, NONE before a comparison whose left side is a collection
//   constants       TRUEPREDICATE FALSEPREDICATE, YES NO TRUE FALSE nil NULL, numbers,
//                   '...' and "..." strings (with \ escapes), {a, b} lists,
//                   CAST("Name", "Class") and CAST(seconds, "NSDate")
//   key paths       name, a.b, SELF, SELF.a, @count and the other collection operators;
//                   #name escapes a reserved word
//   substitution    %@ (any value; nil allowed), %K (a key path), %d %i %u %ld %lld %lu %llu
//                   (integers), %f %lf %g %e (doubles), %s (C string), %% (a percent sign)
//
// Nil (and NSNull) equals only nil: "x == 0" and "x == NO" are false when x is nil, and ordering
// comparisons with nil are false. Comparing values that have no order between them (a string
// with a number, say) raises "NSInvalidArgumentException" while evaluating, as do string
// operators on non-strings and MATCHES with a pattern that does not compile; an unknown key
// raises "NSUnknownKeyException".
class NSPredicate : public NSObject {
    VX_OBJECT(NSPredicate, NSObject)

public:
    struct Node;
    using Block = std::function<bool(const Value& object, const Value& bindings)>;

    NSPredicate(Passkey, std::shared_ptr<const Node> root);

    // Parses the format with its arguments. A format that does not parse, or lacks an
    // argument, raises "NSInvalidArgumentException" with the reason
    // "Unable to parse the format string \"<format>\"".
    template <typename... Args>
    static Ref<NSPredicate> predicateWithFormat(std::string_view format, const Args&... args)
    {
        const FormatArg list[] = { argument(args)..., FormatArg(0) };
        return predicateWithFormatArguments(format, list, sizeof...(Args));
    }
    static Ref<NSPredicate> predicateWithFormatArguments(std::string_view format, const FormatArg* args, size_t count);
    // Substitutes the elements of an array, in order.
    static Ref<NSPredicate> predicateWithFormatArgumentArray(std::string_view format, const Value& arguments);

    static Ref<NSPredicate> predicateWithValue(bool value);
    static Ref<NSPredicate> predicateWithBlock(Block block);
    static Ref<NSPredicate> andPredicateWithSubpredicates(const std::vector<Ref<NSPredicate>>& subpredicates);
    static Ref<NSPredicate> orPredicateWithSubpredicates(const std::vector<Ref<NSPredicate>>& subpredicates);
    static Ref<NSPredicate> notPredicateWithSubpredicate(const Ref<NSPredicate>& subpredicate);

    bool evaluateWithObject(const Value& object) const;
    bool evaluateWithObjectSubstitutionVariables(const Value& object, const Value& bindings) const;

    // The predicate as a format string that parses back to the same predicate (for constants
    // that have a literal form; objects print their description).
    std::string predicateFormat() const;
    std::string description() const override { return predicateFormat(); }

    const std::shared_ptr<const Node>& root() const { return m_root; }

private:
    // Classes pass as class values, everything else as FormatArg takes it.
    static FormatArg argument(Class cls) { return FormatArg(Value(cls)); }
    template <typename T> static FormatArg argument(const T& value) { return FormatArg(value); }

    std::shared_ptr<const Node> m_root;
};

// The elements of `array` that the predicate accepts, in order. A nil predicate raises
// "NSInvalidArgumentException"; a non-array answers an empty array.
Value filteredArrayUsingPredicate(const Value& array, const Ref<NSPredicate>& predicate);
std::vector<Value> filteredArrayUsingPredicate(const std::vector<Value>& array, const Ref<NSPredicate>& predicate);
