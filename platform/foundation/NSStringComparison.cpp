// NSString: comparison with options (case, diacritics, numeric, locale) and searching.
#include "foundation/NSString.h"

#include "foundation/NSCharacterSet.h"
#include "foundation/NSStringInternal.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>

#include <cstring>
#include <memory>

namespace NSStringInternal {

namespace {

const icu::Normalizer2* nfd()
{
    // Fetched once under the language's own once-guard, so every thread sees the normalizer
    // ICU built fully (its internal once-guard is invisible to the race checker).
    static const icu::Normalizer2* s_nfd = [] {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* n = icu::Normalizer2::getNFDInstance(status);
        return U_FAILURE(status) ? nullptr : n;
    }();
    return s_nfd;
}

// Folds one code point: diacritics removed (decompose, drop non-spacing marks) and case folded,
// as `options` asks.
void foldCodePoint(char32_t c, uint32_t options, std::u16string& out)
{
    // ASCII has no diacritics and folds to lower case: the common case, without ICU.
    if (c < 0x80) {
        bool upper = c >= 'A' && c <= 'Z';
        out += static_cast<char16_t>((options & NSCaseInsensitiveSearch) && upper ? c + ('a' - 'A') : c);
        return;
    }
    std::u16string piece;
    if (options & NSDiacriticInsensitiveSearch) {
        icu::UnicodeString decomposed;
        const icu::Normalizer2* n = nfd();
        UErrorCode status = U_ZERO_ERROR;
        if (n)
            decomposed = n->normalize(icu::UnicodeString(static_cast<UChar32>(c)), status);
        if (!n || U_FAILURE(status))
            decomposed = icu::UnicodeString(static_cast<UChar32>(c));
        for (int32_t i = 0; i < decomposed.length();) {
            UChar32 d = decomposed.char32At(i);
            i += U16_LENGTH(d);
            if (u_charType(d) != U_NON_SPACING_MARK)
                appendUTF16(piece, static_cast<char32_t>(d));
        }
    } else {
        appendUTF16(piece, c);
    }
    if (options & NSCaseInsensitiveSearch) {
        icu::UnicodeString folded(piece.data(), static_cast<int32_t>(piece.size()));
        folded.foldCase();
        out.append(view(folded));
    } else {
        out += piece;
    }
}

} // namespace

Folded fold(std::u16string_view s, uint32_t options, IndexMap map)
{
    Folded f;
    f.text.reserve(s.size());
    bool identity = !(options & (NSCaseInsensitiveSearch | NSDiacriticInsensitiveSearch));
    for (size_t i = 0; i < s.size();) {
        UChar32 c;
        size_t at = i;
        U16_NEXT(s.data(), i, s.size(), c);
        size_t before = f.text.size();
        if (identity)
            f.text.append(s.substr(at, i - at));
        else
            foldCodePoint(static_cast<char32_t>(c), options, f.text);
        if (map == IndexMap::Skip)
            continue;
        for (size_t k = before; k < f.text.size(); ++k) {
            f.start.push_back(static_cast<uint32_t>(at));
            f.end.push_back(static_cast<uint32_t>(i));
        }
        // A code point that folded to nothing (a combining mark) belongs to the one before it.
        if (f.text.size() == before && !f.end.empty())
            f.end.back() = static_cast<uint32_t>(i);
    }
    return f;
}

// Searches the UTF-16 text `text` (offset `base` in the whole string) for `needle`.
NSRange search(std::u16string_view text, NSUInteger base, std::string_view needle, uint32_t options)
{
    if (needle.empty() || text.empty())
        return notFound();
    Folded hay = fold(text, options);
    Folded pin = fold(NSString::toUTF16(needle), options);
    std::u16string_view h(hay.text), n(pin.text);
    if (n.empty() || n.size() > h.size())
        return notFound();
    size_t at = std::u16string_view::npos;
    bool backwards = options & NSBackwardsSearch;
    if (options & NSAnchoredSearch) {
        if (backwards) {
            if (h.substr(h.size() - n.size()) == n)
                at = h.size() - n.size();
        } else if (h.substr(0, n.size()) == n) {
            at = 0;
        }
    } else {
        at = backwards ? h.rfind(n) : h.find(n);
    }
    // A match must begin and end on whole code points of the original.
    while (at != std::u16string_view::npos) {
        bool startsClean = at == 0 || hay.start[at] != hay.start[at - 1];
        size_t last = at + n.size() - 1;
        bool endsClean = last + 1 == h.size() || hay.start[last + 1] != hay.start[last];
        if (startsClean && endsClean)
            return NSRange { base + hay.start[at], hay.end[last] - hay.start[at] };
        if (options & NSAnchoredSearch)
            break;
        if (backwards) {
            if (at == 0)
                break;
            at = h.rfind(n, at - 1);
        } else {
            at = h.find(n, at + 1);
        }
    }
    return notFound();
}

} // namespace NSStringInternal

namespace NSString {

using namespace NSStringInternal;

namespace {

bool isDigit(char16_t c)
{
    return c >= '0' && c <= '9';
}

NSComparisonResult order(int v)
{
    return v < 0 ? NSOrderedAscending : (v > 0 ? NSOrderedDescending : NSOrderedSame);
}

NSComparisonResult compareUnits(std::u16string_view a, std::u16string_view b, bool numeric)
{
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (numeric && isDigit(a[i]) && isDigit(b[j])) {
            size_t ei = i, ej = j;
            while (ei < a.size() && isDigit(a[ei]))
                ++ei;
            while (ej < b.size() && isDigit(b[ej]))
                ++ej;
            size_t zi = i, zj = j;
            while (zi + 1 < ei && a[zi] == '0')
                ++zi;
            while (zj + 1 < ej && b[zj] == '0')
                ++zj;
            if (ei - zi != ej - zj)
                return (ei - zi) < (ej - zj) ? NSOrderedAscending : NSOrderedDescending;
            int c = a.substr(zi, ei - zi).compare(b.substr(zj, ej - zj));
            if (c != 0)
                return order(c);
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j] ? NSOrderedAscending : NSOrderedDescending;
        ++i;
        ++j;
    }
    if (i < a.size())
        return NSOrderedDescending;
    if (j < b.size())
        return NSOrderedAscending;
    return NSOrderedSame;
}

} // namespace

// MARK: Comparison

NSComparisonResult compare(std::string_view s, std::string_view other, uint32_t options)
{
    uint32_t foldOptions = options & (NSCaseInsensitiveSearch | NSDiacriticInsensitiveSearch);
    if (!foldOptions && !(options & NSNumericSearch)) {
        std::u16string a = toUTF16(s), b = toUTF16(other);
        return order(a.compare(b));
    }
    Folded a = fold(toUTF16(s), foldOptions, IndexMap::Skip);
    Folded b = fold(toUTF16(other), foldOptions, IndexMap::Skip);
    return compareUnits(a.text, b.text, options & NSNumericSearch);
}

NSComparisonResult compare(std::string_view s, std::string_view other, uint32_t options, NSRange range)
{
    return compare(substringWithRange(s, range), other, options);
}

NSComparisonResult caseInsensitiveCompare(std::string_view s, std::string_view other)
{
    return compare(s, other, NSCaseInsensitiveSearch);
}

NSComparisonResult localizedCaseInsensitiveCompare(std::string_view s, std::string_view other)
{
    // Collators are costly to open and not safe to share between threads: one per thread,
    // reopened when the default locale changes.
    thread_local std::unique_ptr<icu::Collator> t_collator;
    thread_local std::string t_locale;
    icu::Locale locale = icu::Locale::getDefault();
    // A process started under the C locale reports "en_US_POSIX", whose collation is plain
    // code-point order; users sort by the language's rules, so use the root order there.
    if (std::strcmp(locale.getVariant(), "POSIX") == 0)
        locale = icu::Locale::getRoot();
    if (!t_collator || t_locale != locale.getName()) {
        UErrorCode status = U_ZERO_ERROR;
        t_collator.reset(icu::Collator::createInstance(locale, status));
        if (U_FAILURE(status))
            t_collator.reset();
        else
            t_collator->setStrength(icu::Collator::SECONDARY);
        t_locale = locale.getName();
    }
    if (!t_collator)
        return caseInsensitiveCompare(s, other);
    UErrorCode status = U_ZERO_ERROR;
    UCollationResult r = t_collator->compareUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size())),
        icu::StringPiece(other.data(), static_cast<int32_t>(other.size())), status);
    if (U_FAILURE(status))
        return caseInsensitiveCompare(s, other);
    return r == UCOL_LESS ? NSOrderedAscending : (r == UCOL_GREATER ? NSOrderedDescending : NSOrderedSame);
}

bool isEqualToString(std::string_view s, std::string_view other)
{
    return s == other;
}

bool hasPrefix(std::string_view s, std::string_view prefix)
{
    return !prefix.empty() && s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

bool hasSuffix(std::string_view s, std::string_view suffix)
{
    return !suffix.empty() && s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool hasPrefixIgnoringCaseAndDiacritics(std::string_view s, std::string_view prefix)
{
    NSUInteger n = length(prefix);
    if (n > length(s))
        return false;
    return compare(s, prefix, NSCaseInsensitiveSearch | NSDiacriticInsensitiveSearch, NSMakeRange(0, n))
        == NSOrderedSame;
}

// MARK: Search

NSRange rangeOfString(std::string_view s, std::string_view needle, uint32_t options)
{
    return search(toUTF16(s), 0, needle, options);
}

NSRange rangeOfString(std::string_view s, std::string_view needle, uint32_t options, NSRange range)
{
    std::u16string u = toUTF16(s);
    checkRange(range, u.size());
    return search(std::u16string_view(u).substr(range.location, range.length), range.location, needle, options);
}

NSRange rangeOfCharacterFromSet(std::string_view s, const NSCharacterSet& set, uint32_t options)
{
    std::u16string u = toUTF16(s);
    NSRange found = notFound();
    for (size_t i = 0; i < u.size();) {
        size_t at = i;
        UChar32 c;
        U16_NEXT(u.data(), i, u.size(), c);
        if (set.characterIsMember(static_cast<char32_t>(c))) {
            found = NSMakeRange(static_cast<NSUInteger>(at), static_cast<NSUInteger>(i - at));
            if (!(options & NSBackwardsSearch))
                return found;
        } else if ((options & NSAnchoredSearch) && !(options & NSBackwardsSearch)) {
            return notFound();
        }
    }
    if ((options & NSAnchoredSearch) && found.location != static_cast<NSUInteger>(NSNotFound)
        && NSMaxRange(found) != u.size())
        return notFound();
    return found;
}

bool containsString(std::string_view s, std::string_view needle)
{
    return !needle.empty() && s.find(needle) != std::string_view::npos;
}

} // namespace NSString
