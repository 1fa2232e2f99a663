// NSString: case mapping, ICU transforms and folding.
#include "foundation/NSString.h"

#include "foundation/NSCharacterSet.h"
#include "foundation/NSStringInternal.h"

#include <unicode/locid.h>
#include <unicode/translit.h>
#include <unicode/uchar.h>

#include <map>
#include <memory>
#include <utility>

namespace NSString {

using namespace NSStringInternal;

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

} // namespace NSString
