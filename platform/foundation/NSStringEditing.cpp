// NSString: splitting, joining, trimming, replacing and padding.
#include "foundation/NSString.h"

#include "foundation/NSCharacterSet.h"
#include "foundation/NSException.h"
#include "foundation/NSStringInternal.h"

namespace NSString {

using namespace NSStringInternal;

// MARK: Splitting, joining, trimming, replacing

std::vector<std::string> componentsSeparatedByString(std::string_view s, std::string_view separator)
{
    std::vector<std::string> parts;
    if (separator.empty()) {
        parts.emplace_back(s);
        return parts;
    }
    size_t start = 0;
    while (true) {
        size_t at = s.find(separator, start);
        if (at == std::string_view::npos) {
            parts.emplace_back(s.substr(start));
            return parts;
        }
        parts.emplace_back(s.substr(start, at - start));
        start = at + separator.size();
    }
}

std::vector<std::string> componentsSeparatedByCharactersInSet(std::string_view s, const NSCharacterSet& set)
{
    std::vector<std::string> parts;
    size_t start = 0;
    forEachCodePoint(s, [&](char32_t c, size_t at, size_t len) {
        if (set.characterIsMember(c)) {
            parts.emplace_back(s.substr(start, at - start));
            start = at + len;
        }
    });
    parts.emplace_back(s.substr(start));
    return parts;
}

std::string componentsJoinedByString(const std::vector<std::string>& parts, std::string_view separator)
{
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i)
            out += separator;
        out += parts[i];
    }
    return out;
}

std::string stringByTrimmingCharactersInSet(std::string_view s, const NSCharacterSet& set)
{
    size_t first = s.size(), last = 0;
    bool any = false;
    forEachCodePoint(s, [&](char32_t c, size_t at, size_t len) {
        if (set.characterIsMember(c))
            return;
        if (!any)
            first = at;
        any = true;
        last = at + len;
    });
    return any ? std::string(s.substr(first, last - first)) : std::string();
}

std::string stringByReplacingOccurrencesOfString(
    std::string_view s, std::string_view target, std::string_view replacement, uint32_t options)
{
    if (target.empty())
        return std::string(s);
    if (!(options & (NSCaseInsensitiveSearch | NSDiacriticInsensitiveSearch | NSAnchoredSearch | NSBackwardsSearch))) {
        std::string out;
        size_t start = 0;
        for (size_t at = s.find(target); at != std::string_view::npos; at = s.find(target, start)) {
            out.append(s.substr(start, at - start));
            out.append(replacement);
            start = at + target.size();
        }
        out.append(s.substr(start));
        return out;
    }
    return stringByReplacingOccurrencesOfString(s, target, replacement, options, NSMakeRange(0, length(s)));
}

std::string stringByReplacingOccurrencesOfString(
    std::string_view s, std::string_view target, std::string_view replacement, uint32_t options, NSRange range)
{
    std::u16string u = toUTF16(s);
    checkRange(range, u.size());
    std::u16string rep = toUTF16(replacement);
    std::u16string out(u.substr(0, range.location));
    NSUInteger position = range.location;
    NSUInteger end = NSMaxRange(range);
    uint32_t searchOptions = options & ~static_cast<uint32_t>(NSBackwardsSearch);
    while (position < end) {
        NSRange found
            = search(std::u16string_view(u).substr(position, end - position), position, target, searchOptions);
        if (found.location == static_cast<NSUInteger>(NSNotFound))
            break;
        out.append(u, position, found.location - position);
        out += rep;
        position = NSMaxRange(found);
        if (options & NSAnchoredSearch)
            break;
    }
    out.append(u, position, u.size() - position);
    return fromUTF16(out);
}

std::string stringByReplacingCharactersInRange(std::string_view s, NSRange range, std::string_view replacement)
{
    std::u16string u = toUTF16(s);
    checkRange(range, u.size());
    u.replace(range.location, range.length, toUTF16(replacement));
    return fromUTF16(u);
}

std::string stringByPaddingToLength(std::string_view s, NSUInteger newLength, std::string_view pad, NSUInteger padIndex)
{
    std::u16string u = toUTF16(s);
    if (newLength <= u.size())
        return fromUTF16(std::u16string_view(u).substr(0, newLength));
    std::u16string p = toUTF16(pad);
    if (p.empty() || padIndex >= p.size())
        NSException::raise(NSRangeException, "Pad index out of bounds");
    size_t k = padIndex;
    while (u.size() < newLength) {
        u += p[k];
        k = (k + 1) % p.size();
    }
    return fromUTF16(u);
}

} // namespace NSString
