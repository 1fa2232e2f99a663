#pragma once

// Private to the NSString files: code-point walking, range checks, ICU conversions and the
// folding and search that comparison, replacing and folding share. Never include from a
// public header.

#include "foundation/NSRange.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unicode/unistr.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>
#include <vector>

namespace NSStringInternal {

inline constexpr char32_t kReplacement = 0xFFFD;

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

inline void appendUTF16(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        out += static_cast<char16_t>(U16_LEAD(c));
        out += static_cast<char16_t>(U16_TRAIL(c));
    }
}

// Strict UTF-8 check: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUTF8(std::string_view s);

// Raises "NSRangeException" when `range` does not fit a string of `length` UTF-16 units.
void checkRange(NSRange range, size_t length);

inline icu::UnicodeString toICU(std::string_view s)
{
    return icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size())));
}

inline std::u16string_view view(const icu::UnicodeString& s)
{
    return std::u16string_view(reinterpret_cast<const char16_t*>(s.getBuffer()), static_cast<size_t>(s.length()));
}

inline std::string fromICU(const icu::UnicodeString& s)
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

enum class IndexMap : bool { Skip, Keep };

// Folds `s` as the comparison `options` ask (NSCaseInsensitiveSearch,
// NSDiacriticInsensitiveSearch); with IndexMap::Skip the index map stays empty.
Folded fold(std::u16string_view s, uint32_t options, IndexMap map = IndexMap::Keep);

inline NSRange notFound()
{
    return NSRange { static_cast<NSUInteger>(NSNotFound), 0 };
}

// Searches the UTF-16 text `text` (offset `base` in the whole string) for `needle`.
NSRange search(std::u16string_view text, NSUInteger base, std::string_view needle, uint32_t options);

} // namespace NSStringInternal
