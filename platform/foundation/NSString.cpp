#include "foundation/NSString.h"

#include "foundation/NSCharacterSet.h"
#include "foundation/NSException.h"

#include <unicode/brkiter.h>
#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/translit.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <cctype>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

namespace NSString {

void appendUTF8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Calls f(codePoint, byteOffset, byteLength) for each code point; invalid bytes read as U+FFFD.
template <typename F> void forEachCodePoint(std::string_view s, F&& f)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
    int32_t length = static_cast<int32_t>(s.size());
    int32_t i = 0;
    while (i < length) {
        int32_t start = i;
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c < 0)
            c = kReplacement;
        f(static_cast<char32_t>(c), static_cast<size_t>(start), static_cast<size_t>(i - start));
    }
}

void appendUTF16(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        out += static_cast<char16_t>(U16_LEAD(c));
        out += static_cast<char16_t>(U16_TRAIL(c));
    }
}

// Strict UTF-8 check: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUTF8(std::string_view s)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
    int32_t length = static_cast<int32_t>(s.size());
    int32_t i = 0;
    while (i < length) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c < 0)
            return false;
    }
    return true;
}

[[noreturn]] void raiseRange(NSRange range, NSUInteger length)
{
    NSException::raise(NSRangeException,
        "Range " + NSStringFromRange(range) + " out of bounds; string length " + std::to_string(length));
}

void checkRange(NSRange range, size_t length)
{
    if (range.location > length || range.length > length - range.location)
        raiseRange(range, static_cast<NSUInteger>(length));
}

icu::UnicodeString toICU(std::string_view s)
{
    return icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size())));
}

std::u16string_view view(const icu::UnicodeString& s)
{
    return std::u16string_view(reinterpret_cast<const char16_t*>(s.getBuffer()), static_cast<size_t>(s.length()));
}

std::string fromICU(const icu::UnicodeString& s)
{
    std::string out;
    s.toUTF8String(out);
    return out;
}

// A string folded for comparison or search, with, for each folded unit, the UTF-16 range of the
// original code point that produced it.
struct Folded {
    std::u16string text;
    std::vector<uint32_t> start;
    std::vector<uint32_t> end;
};

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

enum class IndexMap : bool { Skip, Keep };

Folded fold(std::u16string_view s, uint32_t options, IndexMap map = IndexMap::Keep)
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

NSRange notFound()
{
    return NSRange { static_cast<NSUInteger>(NSNotFound), 0 };
}

// Searches the UTF-16 text `text` (offset `base` in the whole string) for `needle`.
NSRange search(std::u16string_view text, NSUInteger base, std::string_view needle, uint32_t options)
{
    if (needle.empty() || text.empty())
        return notFound();
    Folded hay = fold(text, options);
    Folded pin = fold(toUTF16(needle), options);
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

size_t skipBlanks(std::string_view s)
{
    size_t i = 0;
    while (
        i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' || s[i] == '\v' || s[i] == '\f'))
        ++i;
    return i;
}

} // namespace

// MARK: UTF-16 view

std::u16string toUTF16(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    forEachCodePoint(s, [&](char32_t c, size_t, size_t) { appendUTF16(out, c); });
    return out;
}

std::string fromUTF16(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        UChar32 c;
        U16_NEXT(s.data(), i, s.size(), c);
        appendUTF8(out, U_IS_SURROGATE(c) ? kReplacement : static_cast<char32_t>(c));
    }
    return out;
}

NSUInteger length(std::string_view s)
{
    size_t n = 0;
    forEachCodePoint(s, [&](char32_t c, size_t, size_t) { n += c > 0xFFFF ? 2 : 1; });
    return static_cast<NSUInteger>(n);
}

char16_t characterAtIndex(std::string_view s, NSUInteger index)
{
    // An index inside a leading ASCII run is a byte index.
    size_t ascii = 0;
    while (ascii <= index && ascii < s.size() && static_cast<unsigned char>(s[ascii]) < 0x80)
        ++ascii;
    if (index < ascii)
        return static_cast<char16_t>(s[index]);
    std::u16string u = toUTF16(s);
    if (index >= u.size())
        NSException::raise(NSRangeException,
            "Index " + std::to_string(index) + " out of bounds; string length " + std::to_string(u.size()));
    return u[index];
}

std::string substringWithRange(std::string_view s, NSRange range)
{
    std::u16string u = toUTF16(s);
    checkRange(range, u.size());
    return fromUTF16(std::u16string_view(u).substr(range.location, range.length));
}

std::string substringFromIndex(std::string_view s, NSUInteger index)
{
    std::u16string u = toUTF16(s);
    checkRange(NSMakeRange(index, 0), u.size());
    return fromUTF16(std::u16string_view(u).substr(index));
}

std::string substringToIndex(std::string_view s, NSUInteger index)
{
    std::u16string u = toUTF16(s);
    checkRange(NSMakeRange(0, index), u.size());
    return fromUTF16(std::u16string_view(u).substr(0, index));
}

NSRange rangeOfComposedCharacterSequencesForRange(std::string_view s, NSRange range)
{
    icu::UnicodeString text = toICU(s);
    checkRange(range, static_cast<size_t>(text.length()));
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> breaks(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !breaks)
        return range;
    breaks->setText(text);
    // Walk the boundaries: the iterator snaps offsets inside a surrogate pair, so asking it
    // about such an offset directly would answer for the wrong character.
    int32_t start = 0;
    int32_t end = text.length();
    int32_t wantStart = static_cast<int32_t>(range.location);
    int32_t wantEnd = static_cast<int32_t>(NSMaxRange(range));
    bool endFound = false;
    for (int32_t b = breaks->first(); b != icu::BreakIterator::DONE; b = breaks->next()) {
        if (b <= wantStart)
            start = b;
        if (!endFound && b >= wantEnd && (range.length > 0 || b > wantStart)) {
            end = b;
            endFound = true;
        }
    }
    return NSMakeRange(static_cast<NSUInteger>(start), static_cast<NSUInteger>(std::max(end, start) - start));
}

NSRange rangeOfComposedCharacterSequenceAtIndex(std::string_view s, NSUInteger index)
{
    if (index >= length(s))
        NSException::raise(NSRangeException,
            "Index " + std::to_string(index) + " out of bounds; string length " + std::to_string(length(s)));
    return rangeOfComposedCharacterSequencesForRange(s, NSMakeRange(index, 0));
}

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

// MARK: Case

std::string uppercaseString(std::string_view s)
{
    icu::UnicodeString u = toICU(s);
    u.toUpper(icu::Locale::getRoot());
    return fromICU(u);
}

std::string lowercaseString(std::string_view s)
{
    icu::UnicodeString u = toICU(s);
    u.toLower(icu::Locale::getRoot());
    return fromICU(u);
}

std::string capitalizedString(std::string_view s)
{
    NSCharacterSet separators = NSCharacterSet::whitespaceAndNewlineCharacterSet();
    std::string out;
    out.reserve(s.size());
    bool wordStart = true;
    forEachCodePoint(s, [&](char32_t c, size_t, size_t) {
        if (separators.characterIsMember(c)) {
            wordStart = true;
            appendUTF8(out, c);
            return;
        }
        appendUTF8(out,
            static_cast<char32_t>(wordStart ? u_totitle(static_cast<UChar32>(c)) : u_tolower(static_cast<UChar32>(c))));
        wordStart = false;
    });
    return out;
}

// MARK: Numbers

int64_t longLongValue(std::string_view s)
{
    size_t i = skipBlanks(s);
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    unsigned long long value = 0;
    bool overflow = false;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) {
        unsigned digit = static_cast<unsigned>(s[i] - '0');
        if (value > (static_cast<unsigned long long>(LLONG_MAX) + 1 - digit) / 10)
            overflow = true;
        else
            value = value * 10 + digit;
    }
    if (overflow)
        return negative ? LLONG_MIN : LLONG_MAX;
    if (negative)
        return value > static_cast<unsigned long long>(LLONG_MAX) ? LLONG_MIN : -static_cast<long long>(value);
    return value > static_cast<unsigned long long>(LLONG_MAX) ? LLONG_MAX : static_cast<long long>(value);
}

int32_t intValue(std::string_view s)
{
    int64_t v = longLongValue(s);
    if (v > INT32_MAX)
        return INT32_MAX;
    if (v < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

int32_t integerValue(std::string_view s)
{
    return intValue(s);
}

double doubleValue(std::string_view s)
{
    size_t i = skipBlanks(s);
    // Take only the decimal form (sign, digits, point, exponent): hexadecimal floats, "inf" and
    // "nan" read as 0, and the process locale's decimal separator plays no part.
    size_t j = i;
    if (j < s.size() && (s[j] == '+' || s[j] == '-'))
        ++j;
    size_t digits = 0;
    while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
        ++j, ++digits;
    if (j < s.size() && s[j] == '.') {
        ++j;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
            ++j, ++digits;
    }
    if (!digits)
        return 0;
    if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
        size_t k = j + 1;
        if (k < s.size() && (s[k] == '+' || s[k] == '-'))
            ++k;
        if (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) {
            while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k])))
                ++k;
            j = k;
        }
    }
    static locale_t s_cLocale = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    std::string text(s.substr(i, j - i));
    return strtod_l(text.c_str(), nullptr, s_cLocale);
}

float floatValue(std::string_view s)
{
    return static_cast<float>(doubleValue(s));
}

bool boolValue(std::string_view s)
{
    size_t i = skipBlanks(s);
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    while (i < s.size() && s[i] == '0')
        ++i;
    if (i >= s.size())
        return false;
    char c = s[i];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

// MARK: Percent escapes

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// RFC 2396 unreserved and reserved marks, and "#", which may stand in a URL as they are.
bool isLegalURLCharacter(unsigned char c)
{
    return std::isalnum(c) || (c && std::strchr("-_.!~*'();/?:@&=+$,#", c));
}

template <typename Keep> std::string escapeBytes(std::string_view s, Keep&& keep)
{
    std::string out;
    out.reserve(s.size() + s.size() / 2);
    for (unsigned char c : s) {
        if (c < 0x80 && keep(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string stringByAddingPercentEscapes(
    std::string_view s, std::string_view leaveUnescaped, std::string_view legalToEscape)
{
    return escapeBytes(s, [&](unsigned char c) {
        if (leaveUnescaped.find(static_cast<char>(c)) != std::string_view::npos)
            return true;
        return isLegalURLCharacter(c) && legalToEscape.find(static_cast<char>(c)) == std::string_view::npos;
    });
}

std::optional<std::string> stringByAddingPercentEscapes(
    std::string_view s, std::string_view leaveUnescaped, std::string_view legalToEscape, NSStringEncoding encoding)
{
    if (encoding == NSUTF8StringEncoding)
        return stringByAddingPercentEscapes(s, leaveUnescaped, legalToEscape);
    std::optional<std::vector<uint8_t>> bytes = dataUsingEncoding(s, encoding);
    if (!bytes)
        return std::nullopt;
    return stringByAddingPercentEscapes(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), leaveUnescaped, legalToEscape);
}

std::string stringByAddingPercentEscapesUsingEncoding(std::string_view s)
{
    return stringByAddingPercentEscapes(s, {}, {});
}

std::string stringByEscapingForURLArgument(std::string_view s)
{
    return escapeBytes(
        s, [](unsigned char c) { return std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~'; });
}

std::string stringByURLEncoding(std::string_view s)
{
    return stringByAddingPercentEscapes(s, {}, "!*'();:@&=+$,/?%#[]");
}

std::string stringByAddingPercentEncodingWithAllowedCharacters(std::string_view s, const NSCharacterSet& allowed)
{
    return escapeBytes(s, [&](unsigned char c) { return allowed.characterIsMember(c); });
}

std::optional<std::string> stringByReplacingPercentEscapes(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        if (i + 2 >= s.size())
            return std::nullopt;
        int hi = hexValue(s[i + 1]), lo = hexValue(s[i + 2]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out += static_cast<char>(hi << 4 | lo);
        i += 2;
    }
    if (!isValidUTF8(out))
        return std::nullopt;
    return out;
}

std::optional<std::string> stringByRemovingPercentEncoding(std::string_view s)
{
    return stringByReplacingPercentEscapes(s);
}

// MARK: Transforms

std::optional<std::string> stringByApplyingTransform(std::string_view s, std::string_view transform, bool reverse)
{
    // Transliterators are costly to build and not safe to share: cache them per thread.
    thread_local std::map<std::pair<std::string, bool>, std::unique_ptr<icu::Transliterator>> t_cache;
    auto key = std::make_pair(std::string(transform), reverse);
    auto it = t_cache.find(key);
    if (it == t_cache.end()) {
        UErrorCode status = U_ZERO_ERROR;
        UParseError parseError;
        std::unique_ptr<icu::Transliterator> t(icu::Transliterator::createInstance(
            toICU(transform), reverse ? UTRANS_REVERSE : UTRANS_FORWARD, parseError, status));
        if (U_FAILURE(status))
            t.reset();
        it = t_cache.emplace(key, std::move(t)).first;
    }
    if (!it->second)
        return std::nullopt;
    icu::UnicodeString text = toICU(s);
    it->second->transliterate(text);
    return fromICU(text);
}

std::string stringByFoldingWithOptions(std::string_view s, uint32_t options)
{
    return fromUTF16(
        fold(toUTF16(s), options & (NSCaseInsensitiveSearch | NSDiacriticInsensitiveSearch), IndexMap::Skip).text);
}

// MARK: Paths

namespace {

std::string_view trimTrailingSlashes(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return path;
}

// Index of the "." that starts the extension of the last component, or npos.
size_t extensionDot(std::string_view path)
{
    size_t slash = path.rfind('/');
    size_t componentStart = slash == std::string_view::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot <= componentStart || dot + 1 == path.size())
        return std::string_view::npos;
    return dot;
}

} // namespace

std::string lastPathComponent(std::string_view path)
{
    path = trimTrailingSlashes(path);
    if (path == "/")
        return "/";
    size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string pathExtension(std::string_view path)
{
    path = trimTrailingSlashes(path);
    size_t dot = extensionDot(path);
    return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot + 1));
}

std::vector<std::string> pathComponents(std::string_view path)
{
    std::vector<std::string> parts;
    if (path.empty())
        return parts;
    if (path.front() == '/')
        parts.emplace_back("/");
    for (auto& part : componentsSeparatedByString(path, "/")) {
        if (!part.empty())
            parts.push_back(std::move(part));
    }
    if (path.size() > 1 && path.back() == '/')
        parts.emplace_back("/");
    return parts;
}

std::string stringByAppendingPathComponent(std::string_view path, std::string_view component)
{
    while (!component.empty() && component.front() == '/')
        component.remove_prefix(1);
    component = trimTrailingSlashes(component);
    if (component == "/")
        component = {};
    path = trimTrailingSlashes(path);
    if (path.empty())
        return std::string(component);
    if (component.empty())
        return std::string(path);
    std::string out(path);
    if (out.back() != '/')
        out += '/';
    out += component;
    return out;
}

std::string stringByAppendingPathExtension(std::string_view path, std::string_view extension)
{
    std::string out(trimTrailingSlashes(path));
    out += '.';
    out += extension;
    return out;
}

std::string stringByDeletingLastPathComponent(std::string_view path)
{
    path = trimTrailingSlashes(path);
    if (path == "/")
        return "/";
    size_t slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return std::string();
    if (slash == 0)
        return "/";
    return std::string(trimTrailingSlashes(path.substr(0, slash)));
}

std::string stringByDeletingPathExtension(std::string_view path)
{
    path = trimTrailingSlashes(path);
    size_t dot = extensionDot(path);
    return std::string(dot == std::string_view::npos ? path : path.substr(0, dot));
}

bool isAbsolutePath(std::string_view path)
{
    return !path.empty() && (path.front() == '/' || path.front() == '~');
}

std::string stringByAbbreviatingWithTildeInPath(std::string_view path, std::string_view home)
{
    home = trimTrailingSlashes(home);
    if (home.empty() || home == "/")
        return std::string(path);
    std::string_view trimmed = trimTrailingSlashes(path);
    if (trimmed == home)
        return "~";
    if (trimmed.size() > home.size() && trimmed.substr(0, home.size()) == home && trimmed[home.size()] == '/')
        return "~" + std::string(trimmed.substr(home.size()));
    return std::string(path);
}

std::string stringByExpandingTildeInPath(std::string_view path, std::string_view home)
{
    if (path.empty() || path.front() != '~' || (path.size() > 1 && path[1] != '/'))
        return std::string(path);
    return std::string(trimTrailingSlashes(home)) + std::string(trimTrailingSlashes(path.substr(1)));
}

std::string stringByStandardizingPath(std::string_view path, std::string_view home)
{
    std::string expanded = stringByExpandingTildeInPath(path, home);
    if (expanded.empty())
        return expanded;
    bool absolute = expanded.front() == '/';
    std::vector<std::string> kept;
    for (auto& part : componentsSeparatedByString(expanded, "/")) {
        if (part.empty() || part == ".")
            continue;
        if (part == ".." && absolute) {
            if (!kept.empty())
                kept.pop_back();
            continue;
        }
        kept.push_back(std::move(part));
    }
    std::string out = componentsJoinedByString(kept, "/");
    return absolute ? "/" + out : out;
}

// MARK: Encodings

namespace {

struct EncodingName {
    NSStringEncoding encoding;
    const char* name;
    const char* converter; // ICU converter for encodings without a hand-written path
};

// The first entry of each encoding is its IANA name; the rest are accepted aliases.
constexpr EncodingName kEncodingNames[] = {
    { NSUTF8StringEncoding, "utf-8", "UTF-8" },
    { NSASCIIStringEncoding, "us-ascii", "US-ASCII" },
    { NSISOLatin1StringEncoding, "iso-8859-1", "ISO-8859-1" },
    { NSUTF16StringEncoding, "utf-16", "UTF-16" },
    { NSUTF16BigEndianStringEncoding, "utf-16be", "UTF-16BE" },
    { NSUTF16LittleEndianStringEncoding, "utf-16le", "UTF-16LE" },
    { NSUTF32StringEncoding, "utf-32", "UTF-32" },
    { NSUTF32BigEndianStringEncoding, "utf-32be", "UTF-32BE" },
    { NSUTF32LittleEndianStringEncoding, "utf-32le", "UTF-32LE" },
    { NSWindowsCP1250StringEncoding, "windows-1250", "windows-1250" },
    { NSWindowsCP1251StringEncoding, "windows-1251", "windows-1251" },
    { NSWindowsCP1252StringEncoding, "windows-1252", "windows-1252" },
    { NSWindowsCP1253StringEncoding, "windows-1253", "windows-1253" },
    { NSWindowsCP1254StringEncoding, "windows-1254", "windows-1254" },
    { NSISOLatin2StringEncoding, "iso-8859-2", "ISO-8859-2" },
    { NSMacOSRomanStringEncoding, "macintosh", "macintosh" },
    { NSShiftJISStringEncoding, "shift_jis", "Shift_JIS" },
    { NSJapaneseEUCStringEncoding, "euc-jp", "EUC-JP" },
    { NSISO2022JPStringEncoding, "iso-2022-jp", "ISO-2022-JP" },
    { NSUTF8StringEncoding, "utf8", "UTF-8" },
    { NSASCIIStringEncoding, "ascii", "US-ASCII" },
    { NSASCIIStringEncoding, "iso646-us", "US-ASCII" },
    { NSISOLatin1StringEncoding, "latin1", "ISO-8859-1" },
    { NSISOLatin1StringEncoding, "iso_8859-1", "ISO-8859-1" },
    { NSISOLatin1StringEncoding, "iso-latin-1", "ISO-8859-1" },
    { NSISOLatin2StringEncoding, "latin2", "ISO-8859-2" },
    { NSWindowsCP1252StringEncoding, "cp1252", "windows-1252" },
    { NSShiftJISStringEncoding, "sjis", "Shift_JIS" },
    { NSMacOSRomanStringEncoding, "mac", "macintosh" },
};

const EncodingName* encodingEntry(NSStringEncoding encoding)
{
    for (const auto& entry : kEncodingNames) {
        if (entry.encoding == encoding)
            return &entry;
    }
    return nullptr;
}

std::optional<std::string> decodeUTF16(const uint8_t* bytes, size_t length, bool bigEndian)
{
    if (length % 2)
        return std::nullopt;
    std::u16string units(length / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = bigEndian ? static_cast<char16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1])
                             : static_cast<char16_t>(bytes[2 * i + 1] << 8 | bytes[2 * i]);
    for (size_t i = 0; i < units.size();) {
        UChar32 c;
        U16_NEXT(units.data(), i, units.size(), c);
        if (U_IS_SURROGATE(c))
            return std::nullopt;
    }
    return fromUTF16(units);
}

// Conversion through an ICU converter that stops at the first unmappable character.
std::optional<std::string> decodeWithConverter(const char* name, const uint8_t* bytes, size_t length)
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(name, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    icu::UnicodeString text(reinterpret_cast<const char*>(bytes), static_cast<int32_t>(length), converter, status);
    ucnv_close(converter);
    if (U_FAILURE(status))
        return std::nullopt;
    return fromICU(text);
}

std::optional<std::vector<uint8_t>> encodeWithConverter(const char* name, std::string_view s)
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(name, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    icu::UnicodeString text = toICU(s);
    std::vector<uint8_t> out(static_cast<size_t>(text.length()) * 4 + 4);
    int32_t written
        = text.extract(reinterpret_cast<char*>(out.data()), static_cast<int32_t>(out.size()), converter, status);
    ucnv_close(converter);
    if (U_FAILURE(status))
        return std::nullopt;
    out.resize(static_cast<size_t>(written));
    return out;
}

} // namespace

std::optional<NSStringEncoding> encodingFromIANACharsetName(std::string_view name)
{
    std::string lower;
    for (char c : name)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& entry : kEncodingNames) {
        if (lower == entry.name)
            return entry.encoding;
    }
    return std::nullopt;
}

std::optional<std::string> IANACharsetNameFromEncoding(NSStringEncoding encoding)
{
    for (const auto& entry : kEncodingNames) {
        if (entry.encoding == encoding)
            return std::string(entry.name);
    }
    return std::nullopt;
}

std::optional<std::string> stringWithBytes(const void* data, size_t length, NSStringEncoding encoding)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (!bytes && length)
        return std::nullopt;
    switch (encoding) {
    case NSUTF8StringEncoding: {
        std::string_view text(reinterpret_cast<const char*>(bytes), length);
        if (!isValidUTF8(text))
            return std::nullopt;
        return std::string(text);
    }
    case NSASCIIStringEncoding:
        for (size_t i = 0; i < length; ++i) {
            if (bytes[i] >= 0x80)
                return std::nullopt;
        }
        return std::string(reinterpret_cast<const char*>(bytes), length);
    case NSISOLatin1StringEncoding: {
        std::string out;
        out.reserve(length);
        for (size_t i = 0; i < length; ++i)
            appendUTF8(out, bytes[i]);
        return out;
    }
    case NSUTF16StringEncoding:
        if (length >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
            return decodeUTF16(bytes + 2, length - 2, true);
        if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
            return decodeUTF16(bytes + 2, length - 2, false);
        return decodeUTF16(bytes, length, true);
    case NSUTF16BigEndianStringEncoding:
        return decodeUTF16(bytes, length, true);
    case NSUTF16LittleEndianStringEncoding:
        return decodeUTF16(bytes, length, false);
    default:
        if (const EncodingName* entry = encodingEntry(encoding))
            return decodeWithConverter(entry->converter, bytes, length);
        return std::nullopt;
    }
}

std::optional<std::string> stringWithData(const std::vector<uint8_t>& data, NSStringEncoding encoding)
{
    return stringWithBytes(data.data(), data.size(), encoding);
}

std::optional<std::vector<uint8_t>> dataUsingEncoding(std::string_view s, NSStringEncoding encoding)
{
    std::vector<uint8_t> out;
    bool ok = true;
    auto putUnits = [&](bool bigEndian) {
        for (char16_t unit : toUTF16(s)) {
            uint8_t hi = static_cast<uint8_t>(unit >> 8), lo = static_cast<uint8_t>(unit & 0xFF);
            out.push_back(bigEndian ? hi : lo);
            out.push_back(bigEndian ? lo : hi);
        }
    };
    switch (encoding) {
    case NSUTF8StringEncoding:
        forEachCodePoint(s, [&](char32_t c, size_t, size_t) {
            std::string piece;
            appendUTF8(piece, c);
            out.insert(out.end(), piece.begin(), piece.end());
        });
        return out;
    case NSASCIIStringEncoding:
    case NSISOLatin1StringEncoding: {
        char32_t limit = encoding == NSASCIIStringEncoding ? 0x80 : 0x100;
        forEachCodePoint(s, [&](char32_t c, size_t, size_t) {
            if (c >= limit)
                ok = false;
            out.push_back(static_cast<uint8_t>(c));
        });
        if (!ok)
            return std::nullopt;
        return out;
    }
    case NSUTF16StringEncoding:
        // With a byte-order mark, in little-endian order.
        out = { 0xFF, 0xFE };
        putUnits(false);
        return out;
    case NSUTF16BigEndianStringEncoding:
        putUnits(true);
        return out;
    case NSUTF16LittleEndianStringEncoding:
        putUnits(false);
        return out;
    default:
        if (const EncodingName* entry = encodingEntry(encoding))
            return encodeWithConverter(entry->converter, s);
        return std::nullopt;
    }
}

} // namespace NSString
