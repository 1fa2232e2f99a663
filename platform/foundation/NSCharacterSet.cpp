#include "foundation/NSCharacterSet.h"

#include <unicode/uniset.h>
#include <unicode/unistr.h>

#include <cstdio>
#include <cstdlib>

struct NSCharacterSet::Storage {
    icu::UnicodeSet set;
};

namespace {

std::shared_ptr<const NSCharacterSet::Storage> freeze(icu::UnicodeSet set)
{
    auto storage = std::make_shared<NSCharacterSet::Storage>();
    storage->set = std::move(set);
    storage->set.freeze();
    return storage;
}

icu::UnicodeSet fromPattern(const char* pattern)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeSet set(icu::UnicodeString(pattern, -1, US_INV), status);
    if (U_FAILURE(status)) {
        std::fprintf(stderr, "NSCharacterSet: bad built-in pattern %s\n", pattern);
        std::abort();
    }
    return set;
}

// Unreserved characters (letters, digits, "-._~") plus `extra`.
icu::UnicodeSet fromCharacters(const char* extra)
{
    icu::UnicodeSet set;
    set.add('A', 'Z');
    set.add('a', 'z');
    set.add('0', '9');
    for (const char* c = "-._~"; *c; ++c)
        set.add(static_cast<UChar32>(*c));
    for (const char* c = extra; *c; ++c)
        set.add(static_cast<UChar32>(*c));
    return set;
}

icu::UnicodeSet thawedCopy(const icu::UnicodeSet& set)
{
    std::unique_ptr<icu::UnicodeSet> copy(set.cloneAsThawed());
    return icu::UnicodeSet(*copy);
}

} // namespace

NSCharacterSet::NSCharacterSet(std::shared_ptr<const Storage> storage)
    : m_storage(std::move(storage))
{
}

#define VX_STANDARD_SET(Name, Pattern)                                                                                 \
    NSCharacterSet NSCharacterSet::Name()                                                                              \
    {                                                                                                                  \
        static const NSCharacterSet s_set(freeze(fromPattern(Pattern)));                                               \
        return s_set;                                                                                                  \
    }

VX_STANDARD_SET(whitespaceCharacterSet, "[\\p{Zs}\\u0009]")
VX_STANDARD_SET(whitespaceAndNewlineCharacterSet, "[\\p{Z}\\u0009-\\u000D\\u0085]")
VX_STANDARD_SET(newlineCharacterSet, "[\\u000A-\\u000D\\u0085\\u2028\\u2029]")
VX_STANDARD_SET(decimalDigitCharacterSet, "[\\p{Nd}]")
VX_STANDARD_SET(letterCharacterSet, "[\\p{L}\\p{M}]")
VX_STANDARD_SET(lowercaseLetterCharacterSet, "[\\p{Ll}]")
VX_STANDARD_SET(uppercaseLetterCharacterSet, "[\\p{Lu}\\p{Lt}]")
VX_STANDARD_SET(alphanumericCharacterSet, "[\\p{L}\\p{M}\\p{N}]")
VX_STANDARD_SET(punctuationCharacterSet, "[\\p{P}]")
VX_STANDARD_SET(symbolCharacterSet, "[\\p{S}]")
VX_STANDARD_SET(controlCharacterSet, "[\\p{Cc}\\p{Cf}]")

// The RFC 3986 sets are plain lists of ASCII characters.
#define VX_URL_SET(Name, Extra)                                                                                        \
    NSCharacterSet NSCharacterSet::Name()                                                                              \
    {                                                                                                                  \
        static const NSCharacterSet s_set(freeze(fromCharacters(Extra)));                                              \
        return s_set;                                                                                                  \
    }

VX_URL_SET(URLQueryAllowedCharacterSet, "!$&'()*+,;=:@/?")
VX_URL_SET(URLFragmentAllowedCharacterSet, "!$&'()*+,;=:@/?")
VX_URL_SET(URLPathAllowedCharacterSet, "!$&'()*+,;=:@/")
VX_URL_SET(URLHostAllowedCharacterSet, "!$&'()*+,;=:[]")

#undef VX_URL_SET
#undef VX_STANDARD_SET

NSCharacterSet NSCharacterSet::characterSetWithCharactersInString(std::string_view characters)
{
    icu::UnicodeString text
        = icu::UnicodeString::fromUTF8(icu::StringPiece(characters.data(), static_cast<int32_t>(characters.size())));
    icu::UnicodeSet set;
    set.addAll(text);
    return NSCharacterSet(freeze(std::move(set)));
}

NSCharacterSet NSCharacterSet::characterSetWithRange(char32_t first, char32_t last)
{
    icu::UnicodeSet set;
    if (first <= last && first <= 0x10FFFF)
        set.add(static_cast<UChar32>(first), static_cast<UChar32>(last > 0x10FFFF ? 0x10FFFF : last));
    return NSCharacterSet(freeze(std::move(set)));
}

NSCharacterSet NSCharacterSet::invertedSet() const
{
    icu::UnicodeSet set = thawedCopy(m_storage->set);
    set.complement();
    return NSCharacterSet(freeze(std::move(set)));
}

NSCharacterSet NSCharacterSet::unionWith(const NSCharacterSet& other) const
{
    icu::UnicodeSet set = thawedCopy(m_storage->set);
    set.addAll(other.m_storage->set);
    return NSCharacterSet(freeze(std::move(set)));
}

bool NSCharacterSet::characterIsMember(char32_t character) const
{
    return character <= 0x10FFFF && m_storage->set.contains(static_cast<UChar32>(character));
}
