#pragma once

#include "foundation/FoundationForward.h"
#include "foundation/NSObject.h"
#include "foundation/NSRange.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One match: the range of the whole match and of each capture group, in UTF-16 units of the
// searched string. A group that took no part has {NSNotFound, 0}.
struct NSTextCheckingResult {
    std::vector<NSRange> ranges;

    NSRange range() const { return ranges.empty() ? NSRange { static_cast<NSUInteger>(NSNotFound), 0 } : ranges[0]; }
    NSRange rangeAtIndex(size_t index) const
    {
        return index < ranges.size() ? ranges[index] : NSRange { static_cast<NSUInteger>(NSNotFound), 0 };
    }
    size_t numberOfRanges() const { return ranges.size(); }

    // What a data detector found (see NSDataDetector.h); a plain regular-expression match has
    // type 0 and none of these.
    uint64_t resultType { 0 };
    std::string URL; // a link's absolute text
    std::string phoneNumber;
    std::optional<double> date; // seconds since 1970
    std::string timeZone; // a date's time zone name, empty without one
    double duration { 0 };
    std::vector<std::pair<std::string, std::string>> addressComponents;
};

// A compiled regular expression with the platform's (ICU) syntax, possessive quantifiers
// included. Immutable after creation; any thread (each call matches on its own matcher).
class NSRegularExpression : public NSObject {
    VX_OBJECT(NSRegularExpression, NSObject)
public:
    enum Options : uint32_t {
        NSRegularExpressionCaseInsensitive = 1 << 0,
        NSRegularExpressionAllowCommentsAndWhitespace = 1 << 1,
        NSRegularExpressionIgnoreMetacharacters = 1 << 2,
        NSRegularExpressionDotMatchesLineSeparators = 1 << 3,
        NSRegularExpressionAnchorsMatchLines = 1 << 4,
        NSRegularExpressionUseUnixLineSeparators = 1 << 5,
        NSRegularExpressionUseUnicodeWordBoundaries = 1 << 6,
    };
    enum MatchingOptions : uint32_t {
        NSMatchingAnchored = 1 << 2,
    };

    struct Compiled;
    NSRegularExpression(Passkey, std::string pattern, uint32_t options, std::unique_ptr<Compiled> compiled);
    ~NSRegularExpression() override;

    // nullptr and, when `error` is given, an NSError in "NSCocoaErrorDomain" with code 2048 for
    // a pattern that does not compile.
    static Ref<NSRegularExpression> regularExpressionWithPattern(
        std::string_view pattern, uint32_t options = 0, Ref<NSError>* error = nullptr);

    const std::string& pattern() const { return m_pattern; }
    uint32_t options() const { return m_options; }
    size_t numberOfCaptureGroups() const;

    // `range` (UTF-16 units) limits the search; the default is the whole string.
    std::vector<NSTextCheckingResult> matchesInString(std::string_view s, uint32_t matchingOptions = 0) const;
    std::vector<NSTextCheckingResult> matchesInString(
        std::string_view s, uint32_t matchingOptions, NSRange range) const;
    std::optional<NSTextCheckingResult> firstMatchInString(std::string_view s, uint32_t matchingOptions = 0) const;
    std::optional<NSTextCheckingResult> firstMatchInString(
        std::string_view s, uint32_t matchingOptions, NSRange range) const;
    size_t numberOfMatchesInString(std::string_view s, uint32_t matchingOptions = 0) const;
    NSRange rangeOfFirstMatchInString(std::string_view s, uint32_t matchingOptions = 0) const;
    // Replaces every match with `templ`, where "$0".."$9" insert groups and "\" escapes.
    std::string stringByReplacingMatchesInString(
        std::string_view s, std::string_view templ, uint32_t matchingOptions = 0) const;

    // Escapes the metacharacters of a literal text.
    static std::string escapedPatternForString(std::string_view s);

private:
    std::vector<NSTextCheckingResult> match(
        std::string_view s, uint32_t matchingOptions, std::optional<NSRange> range, size_t limit) const;

    std::string m_pattern;
    uint32_t m_options;
    std::unique_ptr<Compiled> m_compiled;
};
