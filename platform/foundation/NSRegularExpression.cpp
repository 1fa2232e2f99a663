#include "foundation/NSRegularExpression.h"

#include "foundation/NSError.h"
#include "foundation/NSException.h"
#include "foundation/NSString.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>

VX_REGISTER_CLASS(NSRegularExpression);

struct NSRegularExpression::Compiled {
    std::unique_ptr<icu::RegexPattern> pattern;
};

NSRegularExpression::NSRegularExpression(
    Passkey key, std::string pattern, uint32_t options, std::unique_ptr<Compiled> compiled)
    : NSObject(key)
    , m_pattern(std::move(pattern))
    , m_options(options)
    , m_compiled(std::move(compiled))
{
}

NSRegularExpression::~NSRegularExpression() = default;

Ref<NSRegularExpression> NSRegularExpression::regularExpressionWithPattern(
    std::string_view pattern, uint32_t options, Ref<NSError>* error)
{
    uint32_t flags = 0;
    if (options & NSRegularExpressionCaseInsensitive)
        flags |= UREGEX_CASE_INSENSITIVE;
    if (options & NSRegularExpressionAllowCommentsAndWhitespace)
        flags |= UREGEX_COMMENTS;
    if (options & NSRegularExpressionIgnoreMetacharacters)
        flags |= UREGEX_LITERAL;
    if (options & NSRegularExpressionDotMatchesLineSeparators)
        flags |= UREGEX_DOTALL;
    if (options & NSRegularExpressionAnchorsMatchLines)
        flags |= UREGEX_MULTILINE;
    if (options & NSRegularExpressionUseUnixLineSeparators)
        flags |= UREGEX_UNIX_LINES;
    if (options & NSRegularExpressionUseUnicodeWordBoundaries)
        flags |= UREGEX_UWORD;
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    auto compiled = std::make_unique<Compiled>();
    icu::UnicodeString text
        = icu::UnicodeString::fromUTF8(icu::StringPiece(pattern.data(), static_cast<int32_t>(pattern.size())));
    compiled->pattern.reset(icu::RegexPattern::compile(text, flags, parseError, status));
    if (U_FAILURE(status) || !compiled->pattern) {
        if (error) {
            *error = NSError::errorWithDomain(NSCocoaErrorDomain, 2048,
                Value::dictionary({ { Value("NSInvalidValue"), Value(std::string(pattern)) } }));
        }
        return nullptr;
    }
    if (error)
        *error = nullptr;
    return make<NSRegularExpression>(std::string(pattern), options, std::move(compiled));
}

size_t NSRegularExpression::numberOfCaptureGroups() const
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(m_compiled->pattern->matcher(status));
    return U_FAILURE(status) ? 0 : static_cast<size_t>(matcher->groupCount());
}

std::vector<NSTextCheckingResult> NSRegularExpression::match(
    std::string_view s, uint32_t matchingOptions, std::optional<NSRange> range, size_t limit) const
{
    std::vector<NSTextCheckingResult> results;
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size())));
    NSRange bounds = range.value_or(NSMakeRange(0, static_cast<NSUInteger>(text.length())));
    if (bounds.location > static_cast<uint32_t>(text.length())
        || bounds.length > static_cast<uint32_t>(text.length()) - bounds.location)
        NSException::raise(NSRangeException,
            "Range " + NSStringFromRange(bounds) + " out of bounds; string length " + std::to_string(text.length()));
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(m_compiled->pattern->matcher(text, status));
    if (U_FAILURE(status))
        return results;
    matcher->region(static_cast<int32_t>(bounds.location), static_cast<int32_t>(NSMaxRange(bounds)), status);
    matcher->useAnchoringBounds(true);
    int32_t groups = matcher->groupCount();
    int32_t anchorAt = static_cast<int32_t>(bounds.location);
    while (results.size() < limit) {
        status = U_ZERO_ERROR;
        bool found = (matchingOptions & NSMatchingAnchored) ? matcher->lookingAt(status) : matcher->find(status);
        if (U_FAILURE(status) || !found)
            break;
        NSTextCheckingResult result;
        for (int32_t g = 0; g <= groups; ++g) {
            int32_t start = matcher->start(g, status);
            int32_t end = matcher->end(g, status);
            if (U_FAILURE(status) || start < 0)
                result.ranges.push_back(NSMakeRange(static_cast<NSUInteger>(NSNotFound), 0));
            else
                result.ranges.push_back(
                    NSMakeRange(static_cast<NSUInteger>(start), static_cast<NSUInteger>(end - start)));
        }
        if ((matchingOptions & NSMatchingAnchored) && static_cast<int32_t>(result.ranges[0].location) != anchorAt)
            break;
        results.push_back(std::move(result));
        if (matchingOptions & NSMatchingAnchored) {
            // Anchored matches must follow each other without a gap.
            int32_t end = static_cast<int32_t>(NSMaxRange(results.back().ranges[0]));
            if (end == anchorAt || end >= static_cast<int32_t>(NSMaxRange(bounds)))
                break;
            anchorAt = end;
            matcher->region(end, static_cast<int32_t>(NSMaxRange(bounds)), status);
        }
    }
    return results;
}

std::vector<NSTextCheckingResult> NSRegularExpression::matchesInString(
    std::string_view s, uint32_t matchingOptions) const
{
    return match(s, matchingOptions, std::nullopt, SIZE_MAX);
}

std::vector<NSTextCheckingResult> NSRegularExpression::matchesInString(
    std::string_view s, uint32_t matchingOptions, NSRange range) const
{
    return match(s, matchingOptions, range, SIZE_MAX);
}

std::optional<NSTextCheckingResult> NSRegularExpression::firstMatchInString(
    std::string_view s, uint32_t matchingOptions) const
{
    auto results = match(s, matchingOptions, std::nullopt, 1);
    if (results.empty())
        return std::nullopt;
    return results.front();
}

std::optional<NSTextCheckingResult> NSRegularExpression::firstMatchInString(
    std::string_view s, uint32_t matchingOptions, NSRange range) const
{
    auto results = match(s, matchingOptions, range, 1);
    if (results.empty())
        return std::nullopt;
    return results.front();
}

size_t NSRegularExpression::numberOfMatchesInString(std::string_view s, uint32_t matchingOptions) const
{
    return match(s, matchingOptions, std::nullopt, SIZE_MAX).size();
}

NSRange NSRegularExpression::rangeOfFirstMatchInString(std::string_view s, uint32_t matchingOptions) const
{
    auto first = firstMatchInString(s, matchingOptions);
    return first ? first->range() : NSMakeRange(static_cast<NSUInteger>(NSNotFound), 0);
}

std::string NSRegularExpression::stringByReplacingMatchesInString(
    std::string_view s, std::string_view templ, uint32_t matchingOptions) const
{
    std::u16string text = NSString::toUTF16(s);
    std::u16string out;
    size_t position = 0;
    for (const auto& result : match(s, matchingOptions, std::nullopt, SIZE_MAX)) {
        NSRange whole = result.range();
        out.append(text, position, whole.location - position);
        for (size_t i = 0; i < templ.size(); ++i) {
            char c = templ[i];
            if (c == '\\' && i + 1 < templ.size()) {
                out += NSString::toUTF16(templ.substr(++i, 1));
            } else if (c == '$' && i + 1 < templ.size() && templ[i + 1] >= '0' && templ[i + 1] <= '9') {
                size_t group = static_cast<size_t>(templ[++i] - '0');
                // Take more digits while they still name a group.
                while (i + 1 < templ.size() && templ[i + 1] >= '0' && templ[i + 1] <= '9'
                    && group * 10 + static_cast<size_t>(templ[i + 1] - '0') < result.numberOfRanges())
                    group = group * 10 + static_cast<size_t>(templ[++i] - '0');
                NSRange r = result.rangeAtIndex(group);
                if (r.location != static_cast<NSUInteger>(NSNotFound))
                    out.append(text, r.location, r.length);
            } else {
                size_t start = i;
                while (i + 1 < templ.size() && templ[i + 1] != '\\' && templ[i + 1] != '$')
                    ++i;
                out += NSString::toUTF16(templ.substr(start, i - start + 1));
            }
        }
        position = NSMaxRange(whole);
    }
    out.append(text, position, text.size() - position);
    return NSString::fromUTF16(out);
}

std::string NSRegularExpression::escapedPatternForString(std::string_view s)
{
    std::string out;
    for (char c : s) {
        if (std::string_view("\\*?+[(){}^$|./").find(c) != std::string_view::npos)
            out += '\\';
        out += c;
    }
    return out;
}
