#pragma once

#include "foundation/FormatArg.h"
#include "foundation/FoundationForward.h"
#include "foundation/NSRange.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class NSCharacterSet;

// Options of comparison and search (bit flags, combinable).
enum NSStringCompareOptions : uint32_t {
    NSCaseInsensitiveSearch = 1,
    NSLiteralSearch = 2,
    NSBackwardsSearch = 4,
    NSAnchoredSearch = 8,
    NSNumericSearch = 64,
    NSDiacriticInsensitiveSearch = 128,
};

// Text encodings with the platform's numbers.
enum NSStringEncoding : uint32_t {
    NSASCIIStringEncoding = 1,
    NSJapaneseEUCStringEncoding = 3,
    NSUTF8StringEncoding = 4,
    NSISOLatin1StringEncoding = 5,
    NSShiftJISStringEncoding = 8,
    NSISOLatin2StringEncoding = 9,
    NSUnicodeStringEncoding = 10, // UTF-16; a byte-order mark chooses the order, else big-endian
    NSUTF16StringEncoding = 10,
    NSWindowsCP1251StringEncoding = 11,
    NSWindowsCP1252StringEncoding = 12,
    NSWindowsCP1253StringEncoding = 13,
    NSWindowsCP1254StringEncoding = 14,
    NSWindowsCP1250StringEncoding = 15,
    NSISO2022JPStringEncoding = 21,
    NSMacOSRomanStringEncoding = 30,
    NSUTF16BigEndianStringEncoding = 0x90000100,
    NSUTF16LittleEndianStringEncoding = 0x94000100,
    NSUTF32StringEncoding = 0x8c000100,
    NSUTF32BigEndianStringEncoding = 0x98000100,
    NSUTF32LittleEndianStringEncoding = 0x9c000100,
};

// Strings are std::string in UTF-8. These functions give them the platform's NSString
// semantics: lengths and ranges in UTF-16 code units, comparison options, number parsing,
// escaping, transforms and the checked "%@" formatter. Invalid UTF-8 in an argument reads as
// U+FFFD. Functions that take a range raise "NSRangeException" when it does not fit, as the
// platform does. Any thread.
namespace NSString {

// printf-style formatting with "%@". Each conversion is checked against its argument; a
// mismatch or a missing argument logs "Format error: ..." and keeps the conversion's own text
// in place of the value, so a bad format never reads the wrong thing.
std::string formatWithArgs(std::string_view format, const FormatArg* args, size_t count);

template <typename... Args> std::string stringWithFormat(std::string_view format, const Args&... args)
{
    const FormatArg list[] = { FormatArg(args)..., FormatArg(0) };
    return formatWithArgs(format, list, sizeof...(Args));
}

// UTF-16 view.
std::u16string toUTF16(std::string_view s);
std::string fromUTF16(std::u16string_view s);
NSUInteger length(std::string_view s);
char16_t characterAtIndex(std::string_view s, NSUInteger index);
std::string substringWithRange(std::string_view s, NSRange range);
std::string substringFromIndex(std::string_view s, NSUInteger index);
std::string substringToIndex(std::string_view s, NSUInteger index);
// The range of the user-perceived character (grapheme cluster) holding `index`.
NSRange rangeOfComposedCharacterSequenceAtIndex(std::string_view s, NSUInteger index);
// `range` widened to whole user-perceived characters.
NSRange rangeOfComposedCharacterSequencesForRange(std::string_view s, NSRange range);

// Comparison. With no options the order is that of UTF-16 code units. `range` limits the part
// of `s` that takes part.
NSComparisonResult compare(std::string_view s, std::string_view other, uint32_t options = 0);
NSComparisonResult compare(std::string_view s, std::string_view other, uint32_t options, NSRange range);
NSComparisonResult caseInsensitiveCompare(std::string_view s, std::string_view other);
// Case-insensitive, in the order of the process's current (ICU default) locale.
NSComparisonResult localizedCaseInsensitiveCompare(std::string_view s, std::string_view other);
bool isEqualToString(std::string_view s, std::string_view other);
bool hasPrefix(std::string_view s, std::string_view prefix);
bool hasSuffix(std::string_view s, std::string_view suffix);
// True when the first length(prefix) UTF-16 units of `s` equal `prefix` ignoring case and
// diacritics ("zur" matches "Zürich").
bool hasPrefixIgnoringCaseAndDiacritics(std::string_view s, std::string_view prefix);

// Search. Not found (or an empty needle) answers {NSNotFound, 0}.
NSRange rangeOfString(std::string_view s, std::string_view needle, uint32_t options = 0);
NSRange rangeOfString(std::string_view s, std::string_view needle, uint32_t options, NSRange range);
NSRange rangeOfCharacterFromSet(std::string_view s, const NSCharacterSet& set, uint32_t options = 0);
bool containsString(std::string_view s, std::string_view needle);

// Splitting keeps empty parts ("a,,b" gives "a", "", "b"; "" gives one empty part).
std::vector<std::string> componentsSeparatedByString(std::string_view s, std::string_view separator);
std::vector<std::string> componentsSeparatedByCharactersInSet(std::string_view s, const NSCharacterSet& set);
std::string componentsJoinedByString(const std::vector<std::string>& parts, std::string_view separator);
std::string stringByTrimmingCharactersInSet(std::string_view s, const NSCharacterSet& set);
// Literal replacement of every occurrence; NSCaseInsensitiveSearch and a range are honoured.
std::string stringByReplacingOccurrencesOfString(
    std::string_view s, std::string_view target, std::string_view replacement, uint32_t options = 0);
std::string stringByReplacingOccurrencesOfString(
    std::string_view s, std::string_view target, std::string_view replacement, uint32_t options, NSRange range);
std::string stringByReplacingCharactersInRange(std::string_view s, NSRange range, std::string_view replacement);
std::string stringByPaddingToLength(
    std::string_view s, NSUInteger newLength, std::string_view pad, NSUInteger padIndex);

// Case mapping (locale-independent, full Unicode mappings: "ß" uppercases to "SS").
std::string uppercaseString(std::string_view s);
std::string lowercaseString(std::string_view s);
// First character of each word (separated by whitespace and newlines) upper case, the rest lower.
std::string capitalizedString(std::string_view s);

// Appends one Unicode scalar value to a UTF-8 string.
void appendUTF8(std::string& out, char32_t c);

// Number readings with the platform's rules: leading blanks skipped, then an optional sign and
// digits; anything else ends the number; no digits reads as 0; overflow clamps.
int32_t intValue(std::string_view s);
int32_t integerValue(std::string_view s);
int64_t longLongValue(std::string_view s);
double doubleValue(std::string_view s);
float floatValue(std::string_view s);
// Leading blanks, an optional sign and zeros skipped; then Y, y, T, t or 1-9 is true.
bool boolValue(std::string_view s);

// Percent escaping of the UTF-8 bytes, upper-case hexadecimal. Characters that may not stand in
// a URL (anything outside the RFC 2396 unreserved and reserved marks and "#") are always escaped,
// plus every character of `legalToEscape`, except those in `leaveUnescaped`.
std::string stringByAddingPercentEscapes(
    std::string_view s, std::string_view leaveUnescaped, std::string_view legalToEscape);
// The same over the bytes of another encoding; nullopt when the text cannot be encoded in it.
std::optional<std::string> stringByAddingPercentEscapes(
    std::string_view s, std::string_view leaveUnescaped, std::string_view legalToEscape, NSStringEncoding encoding);
// Only characters that may not stand in a URL are escaped ("&", "=", "/", "?" stay).
std::string stringByAddingPercentEscapesUsingEncoding(std::string_view s);
// A URL argument: everything except A-Z a-z 0-9 "-" "_" "." "~" is escaped.
std::string stringByEscapingForURLArgument(std::string_view s);
// Additionally escapes every character of "!*'();:@&=+$,/?%#[]".
std::string stringByURLEncoding(std::string_view s);
// Escapes every character not in `allowed`.
std::string stringByAddingPercentEncodingWithAllowedCharacters(std::string_view s, const NSCharacterSet& allowed);
// Decodes "%XX" escapes as UTF-8. "+" stays "+". A malformed escape or bytes that are not
// UTF-8 answer nullopt.
std::optional<std::string> stringByReplacingPercentEscapes(std::string_view s);
std::optional<std::string> stringByRemovingPercentEncoding(std::string_view s);

// ICU transforms such as "Any-Latin; Latin-ASCII; [:^ASCII:] Remove". nullopt for an unknown
// transform.
std::optional<std::string> stringByApplyingTransform(
    std::string_view s, std::string_view transform, bool reverse = false);
// Strips diacritics (and folds case when asked) the way comparison options do.
std::string stringByFoldingWithOptions(std::string_view s, uint32_t options);

// Paths ("/" separated).
std::string lastPathComponent(std::string_view path);
std::string pathExtension(std::string_view path);
std::vector<std::string> pathComponents(std::string_view path);
std::string stringByAppendingPathComponent(std::string_view path, std::string_view component);
std::string stringByAppendingPathExtension(std::string_view path, std::string_view extension);
std::string stringByDeletingLastPathComponent(std::string_view path);
std::string stringByDeletingPathExtension(std::string_view path);
bool isAbsolutePath(std::string_view path);
// Replaces a leading `home` directory with "~".
std::string stringByAbbreviatingWithTildeInPath(std::string_view path, std::string_view home);
// Replaces a leading "~" with `home`.
std::string stringByExpandingTildeInPath(std::string_view path, std::string_view home);
// Expands "~", removes "." and empty components, resolves ".." in absolute paths and drops a
// trailing "/".
std::string stringByStandardizingPath(std::string_view path, std::string_view home);

// Encodings. IANA names are answered in lower case ("utf-8"); lookup ignores case.
std::optional<NSStringEncoding> encodingFromIANACharsetName(std::string_view name);
std::optional<std::string> IANACharsetNameFromEncoding(NSStringEncoding encoding);
// Decodes bytes; nullopt when they are not valid in the encoding.
std::optional<std::string> stringWithBytes(const void* bytes, size_t length, NSStringEncoding encoding);
std::optional<std::string> stringWithData(const std::vector<uint8_t>& data, NSStringEncoding encoding);
// Encodes; nullopt when a character cannot be represented.
std::optional<std::vector<uint8_t>> dataUsingEncoding(std::string_view s, NSStringEncoding encoding);

} // namespace NSString
