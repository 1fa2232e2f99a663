#include "foundation/NSPredicateText.h"

#include "foundation/NSException.h"

#include <algorithm>
#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/regex.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <mutex>
#include <vector>

namespace PredicateText {

namespace {

icu::UnicodeString toUnicode(std::string_view text)
{
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

std::string toUTF8(const icu::UnicodeString& text)
{
    std::string out;
    text.toUTF8String(out);
    return out;
}

bool isASCII(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

unsigned char lowered(char c)
{
    return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

std::u32string toUTF32(std::string_view text)
{
    auto u = toUnicode(text);
    std::u32string out(static_cast<size_t>(u.countChar32()), U'\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = u.toUTF32(reinterpret_cast<UChar32*>(out.data()), static_cast<int32_t>(out.size()), status);
    out.resize(U_FAILURE(status) ? 0 : static_cast<size_t>(length));
    return out;
}

} // namespace

std::string fold(std::string_view text, uint8_t folding)
{
    if (folding == FoldNone)
        return std::string(text);
    // ASCII text has no diacritics, and its case folding is plain lower-casing: no detour
    // through UTF-16 for the common case.
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::string out(text);
        if (folding & FoldCase) {
            for (char& c : out) {
                if (c >= 'A' && c <= 'Z')
                    c = static_cast<char>(c - 'A' + 'a');
            }
        }
        return out;
    }
    icu::UnicodeString u = toUnicode(text);
    if (folding & FoldDiacritics) {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
        if (!U_FAILURE(status)) {
            icu::UnicodeString decomposed = nfd->normalize(u, status);
            if (!U_FAILURE(status)) {
                icu::UnicodeString stripped;
                for (int32_t i = 0; i < decomposed.length();) {
                    UChar32 c = decomposed.char32At(i);
                    if (u_charType(c) != U_NON_SPACING_MARK)
                        stripped.append(c);
                    i += U16_LENGTH(c);
                }
                u = stripped;
            }
        }
    }
    if (folding & FoldCase)
        u.foldCase();
    return toUTF8(u);
}

std::string_view foldedView(std::string_view text, uint8_t folding, std::string& storage)
{
    if (folding == FoldNone)
        return text;
    if (isASCII(text)) {
        // ASCII text folds to itself but for its capitals, and those only under case folding,
        // where they are lowered as fold lowers them.
        if (!(folding & FoldCase)
            || std::none_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
            return text;
        storage.assign(text);
        for (char& c : storage)
            c = static_cast<char>(lowered(c));
        return storage;
    }
    storage = fold(text, folding);
    return storage;
}

FoldedText::FoldedText(std::string_view text, uint8_t folding)
{
    if (folding == FoldNone || isASCII(text)) {
        // ASCII text has no diacritics; under case folding it differs from its fold only by
        // capitals, which every comparison below lowers as it reads.
        m_text = text;
        m_lowering = folding & FoldCase;
        return;
    }
    m_folded = fold(text, folding);
    m_text = m_folded;
}

bool FoldedText::same(std::string_view other, size_t at) const
{
    if (!m_lowering)
        return m_text.compare(at, other.size(), other) == 0;
    for (size_t i = 0; i < other.size(); ++i) {
        if (lowered(m_text[at + i]) != static_cast<unsigned char>(other[i]))
            return false;
    }
    return true;
}

bool FoldedText::contains(std::string_view part) const
{
    if (!m_lowering)
        return m_text.find(part) != std::string_view::npos;
    if (part.empty())
        return true;
    if (part.size() > m_text.size())
        return false;
    auto first = static_cast<unsigned char>(part[0]);
    for (size_t at = 0; at + part.size() <= m_text.size(); ++at) {
        if (lowered(m_text[at]) == first && same(part, at))
            return true;
    }
    return false;
}

bool FoldedText::startsWith(std::string_view prefix) const
{
    return prefix.size() <= m_text.size() && same(prefix, 0);
}

bool FoldedText::endsWith(std::string_view suffix) const
{
    return suffix.size() <= m_text.size() && same(suffix, m_text.size() - suffix.size());
}

bool FoldedText::equals(std::string_view other) const
{
    return other.size() == m_text.size() && same(other, 0);
}

int FoldedText::compare(std::string_view other) const
{
    if (!m_lowering) {
        int c = m_text.compare(other);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    size_t common = std::min(m_text.size(), other.size());
    for (size_t i = 0; i < common; ++i) {
        unsigned char a = lowered(m_text[i]), b = static_cast<unsigned char>(other[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    return m_text.size() < other.size() ? -1 : m_text.size() > other.size() ? 1 : 0;
}

std::string_view FoldedText::view(std::string& storage) const
{
    if (!m_lowering)
        return m_text;
    storage.assign(m_text);
    for (char& c : storage)
        c = static_cast<char>(lowered(c));
    return storage;
}

int compare(std::string_view a, std::string_view b, uint8_t folding)
{
    std::string aStorage, bStorage;
    // UTF-8 byte order is code point order.
    int c = foldedView(a, folding, aStorage).compare(foldedView(b, folding, bStorage));
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int localizedCaseInsensitiveCompare(std::string_view a, std::string_view b)
{
    // One collator per thread: ICU collators are not safe to share while comparing.
    thread_local std::unique_ptr<icu::Collator> t_collator;
    thread_local std::string t_localeName;
    std::string localeName = icu::Locale::getDefault().getName();
    if (!t_collator || t_localeName != localeName) {
        // The POSIX locale (a process started with LANG=C) orders by code point, which is not a
        // language's order; it gets the root order, as a device always has a real language.
        bool posix = localeName.find("POSIX") != std::string::npos || localeName == "c" || localeName == "C";
        UErrorCode status = U_ZERO_ERROR;
        t_collator.reset(
            icu::Collator::createInstance(posix ? icu::Locale::getRoot() : icu::Locale::getDefault(), status));
        if (U_FAILURE(status) || !t_collator) {
            t_collator.reset();
            return compare(a, b, FoldCase);
        }
        t_collator->setStrength(icu::Collator::SECONDARY);
        t_localeName = localeName;
    }
    UErrorCode status = U_ZERO_ERROR;
    auto result = t_collator->compareUTF8(icu::StringPiece(a.data(), static_cast<int32_t>(a.size())),
        icu::StringPiece(b.data(), static_cast<int32_t>(b.size())), status);
    if (U_FAILURE(status))
        return compare(a, b, FoldCase);
    return result < 0 ? -1 : result > 0 ? 1 : 0;
}

bool like(std::string_view textUTF8, std::string_view patternUTF8)
{
    std::u32string text = toUTF32(textUTF8);
    std::u32string pattern = toUTF32(patternUTF8);
    // Iterative wildcard matching with backtracking to the last "*": linear in practice,
    // never exponential.
    size_t t = 0, p = 0;
    size_t starP = std::u32string::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == U'*') {
            starP = p++;
            starT = t;
            continue;
        }
        if (p < pattern.size()) {
            char32_t expected = pattern[p];
            bool quoted = expected == U'\\' && p + 1 < pattern.size();
            if (quoted)
                expected = pattern[p + 1];
            if ((!quoted && expected == U'?') || expected == text[t]) {
                p += quoted ? 2 : 1;
                ++t;
                continue;
            }
        }
        if (starP == std::u32string::npos)
            return false;
        p = starP + 1;
        t = ++starT;
    }
    while (p < pattern.size() && pattern[p] == U'*')
        ++p;
    return p == pattern.size();
}

struct Regex::Compiled {
    std::unique_ptr<icu::RegexPattern> pattern;
};

Regex::Regex(std::string_view pattern, bool caseInsensitive)
    : m_pattern(pattern)
    , m_caseInsensitive(caseInsensitive)
    , m_compiled(std::make_unique<Compiled>())
{
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    m_compiled->pattern.reset(icu::RegexPattern::compile(
        toUnicode(pattern), caseInsensitive ? UREGEX_CASE_INSENSITIVE : 0, parseError, status));
    if (U_FAILURE(status) || !m_compiled->pattern) {
        NSException::raise(NSInvalidArgumentException,
            std::string("Can't do regex matching, reason: Can't open pattern ") + u_errorName(status) + " (pattern "
                + m_pattern + ")");
    }
}

Regex::~Regex() = default;

bool Regex::matchesWhole(std::string_view text) const
{
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString input = toUnicode(text);
    std::unique_ptr<icu::RegexMatcher> matcher(m_compiled->pattern->matcher(input, status));
    if (U_FAILURE(status) || !matcher)
        return false;
    bool result = matcher->matches(status);
    return !U_FAILURE(status) && result;
}

} // namespace PredicateText
