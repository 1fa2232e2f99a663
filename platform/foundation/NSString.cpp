// NSString: UTF-8 and UTF-16 conversion, lengths, substrings and composed-character ranges.
#include "foundation/NSString.h"

#include "foundation/NSException.h"
#include "foundation/NSStringInternal.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>

#include <algorithm>
#include <memory>

namespace NSStringInternal {

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

namespace {

[[noreturn]] void raiseRange(NSRange range, NSUInteger length)
{
    NSException::raise(NSRangeException,
        "Range " + NSStringFromRange(range) + " out of bounds; string length " + std::to_string(length));
}

} // namespace

void checkRange(NSRange range, size_t length)
{
    if (range.location > length || range.length > length - range.location)
        raiseRange(range, static_cast<NSUInteger>(length));
}

} // namespace NSStringInternal

namespace NSString {

using namespace NSStringInternal;

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

} // namespace NSString
