#include "foundation/NSCharacterSet.h"
#include "foundation/NSException.h"
#include "foundation/NSString.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace NSString;

namespace {
constexpr NSUInteger kNotFound = static_cast<NSUInteger>(NSNotFound);
// "a", U+1F600 (two UTF-16 units), "e" + combining acute, "b".
const std::string kMixed = "a\xF0\x9F\x98\x80"
                           "e\xCC\x81"
                           "b";
} // namespace

TEST(NSString, LengthsAndRangesCountUTF16Units)
{
    EXPECT_EQ(length(""), 0u);
    EXPECT_EQ(length("Zürich"), 6u);
    EXPECT_EQ(length(kMixed), 6u);
    EXPECT_EQ(characterAtIndex(kMixed, 1), 0xD83D);
    EXPECT_EQ(characterAtIndex(kMixed, 4), 0x0301);
    EXPECT_EQ(characterAtIndex(kMixed, 0), u'a');
    EXPECT_EQ(characterAtIndex("ab", 1), u'b');
    EXPECT_EQ(substringWithRange(kMixed, NSMakeRange(1, 2)), "\xF0\x9F\x98\x80");
    EXPECT_EQ(substringFromIndex(kMixed, 3),
        "e\xCC\x81"
        "b");
    EXPECT_EQ(substringToIndex(kMixed, 3), "a\xF0\x9F\x98\x80");
    // Half a surrogate pair cannot stand alone in UTF-8: it reads as U+FFFD.
    EXPECT_EQ(substringWithRange(kMixed, NSMakeRange(1, 1)), "\xEF\xBF\xBD");
    EXPECT_THROW(substringWithRange(kMixed, NSMakeRange(5, 2)), NSException);
    EXPECT_THROW(substringFromIndex("abc", 4), NSException);
    EXPECT_THROW(characterAtIndex("abc", 3), NSException);

    struct Case {
        NSUInteger index;
        NSRange composed;
    };
    for (const Case& c : std::vector<Case> {
             { 0, { 0, 1 } }, { 1, { 1, 2 } }, { 2, { 1, 2 } }, { 3, { 3, 2 } }, { 4, { 3, 2 } }, { 5, { 5, 1 } } }) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(rangeOfComposedCharacterSequenceAtIndex(kMixed, c.index), c.composed);
    }
    EXPECT_EQ(rangeOfComposedCharacterSequencesForRange(kMixed, NSMakeRange(2, 2)), NSMakeRange(1, 4));
    EXPECT_EQ(NSIntersectionRange(NSMakeRange(2, 5), NSMakeRange(4, 10)), NSMakeRange(4, 3));
    EXPECT_EQ(NSUnionRange(NSMakeRange(2, 1), NSMakeRange(6, 2)), NSMakeRange(2, 6));
    EXPECT_EQ(NSStringFromRange(NSMakeRange(3, 4)), "{3, 4}");
}

TEST(NSString, CompareHonoursOptions)
{
    struct Case {
        const char* a;
        const char* b;
        uint32_t options;
        NSComparisonResult expected;
    };
    const std::vector<Case> cases = {
        { "Zebra", "apple", 0, NSOrderedAscending }, // code units: capitals first
        { "abc", "abd", 0, NSOrderedAscending },
        { "ab", "abc", 0, NSOrderedAscending },
        { "same", "same", 0, NSOrderedSame },
        { "\xEF\xBC\xA1", "\xF0\x9F\x98\x80", 0, NSOrderedDescending }, // U+FF21 above a surrogate pair
        { "Zebra", "apple", NSCaseInsensitiveSearch, NSOrderedDescending },
        { "HELLO", "hello", NSCaseInsensitiveSearch, NSOrderedSame },
        { "Straße", "STRASSE", NSCaseInsensitiveSearch, NSOrderedSame },
        { "Zürich", "Zurich", 0, NSOrderedDescending },
        { "Zürich", "Zurich", NSDiacriticInsensitiveSearch, NSOrderedSame },
        { "Zu\xCC\x88rich", "ZURICH", NSDiacriticInsensitiveSearch | NSCaseInsensitiveSearch, NSOrderedSame },
        { "1.10", "1.9", 0, NSOrderedAscending },
        { "1.10", "1.9", NSNumericSearch, NSOrderedDescending },
        { "1.0", "1.0.0", NSNumericSearch, NSOrderedAscending },
        { "file007", "file7", NSNumericSearch, NSOrderedSame },
        { "2.1", "2.0.5", NSNumericSearch, NSOrderedDescending },
        { "1.0a2", "1.0b1", NSNumericSearch, NSOrderedAscending },
        { "3.5", "3.5", NSNumericSearch, NSOrderedSame },
        { "v2b", "V10A", NSNumericSearch | NSCaseInsensitiveSearch, NSOrderedAscending },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b + " options " + std::to_string(c.options));
        EXPECT_EQ(compare(c.a, c.b, c.options), c.expected);
        EXPECT_EQ(compare(c.b, c.a, c.options), static_cast<NSComparisonResult>(-c.expected));
    }
    EXPECT_EQ(caseInsensitiveCompare("abc", "ABD"), NSOrderedAscending);
    EXPECT_EQ(localizedCaseInsensitiveCompare("apple", "Banana"), NSOrderedAscending);
    EXPECT_EQ(localizedCaseInsensitiveCompare("éclair", "ezra"), NSOrderedAscending);
    EXPECT_EQ(compare("xxHELLOyy", "hello", NSCaseInsensitiveSearch, NSMakeRange(2, 5)), NSOrderedSame);

    struct Prefix {
        const char* text;
        const char* prefix;
        bool matches;
    };
    for (const auto& p :
        std::vector<Prefix> { { "Zürich", "zur", true }, { "Zürich", "ZÜRICH", true }, { "Zürich", "zurichs", false },
            { "Zu\xCC\x88rich", "zur", false }, { "Bern", "ber", true }, { "Bern", "bar", false }, { "", "", true } }) {
        SCOPED_TRACE(std::string(p.text) + " / " + p.prefix);
        EXPECT_EQ(hasPrefixIgnoringCaseAndDiacritics(p.text, p.prefix), p.matches);
    }
    EXPECT_TRUE(hasPrefix("KEST", "KE"));
    EXPECT_FALSE(hasPrefix("KEST", ""));
    EXPECT_TRUE(hasSuffix("photo.jpg", ".jpg"));
    EXPECT_FALSE(hasSuffix("jpg", "photo.jpg"));
}

TEST(NSString, SearchReportsUTF16Ranges)
{
    struct Case {
        const char* hay;
        const char* needle;
        uint32_t options;
        NSRange expected;
    };
    const std::vector<Case> cases = {
        { "hello world", "o", 0, { 4, 1 } },
        { "hello world", "o", NSBackwardsSearch, { 7, 1 } },
        { "hello world", "hello", NSAnchoredSearch, { 0, 5 } },
        { "hello world", "world", NSAnchoredSearch, { kNotFound, 0 } },
        { "hello world", "world", NSAnchoredSearch | NSBackwardsSearch, { 6, 5 } },
        { "\xF0\x9F\x98\x80 Köln", "KÖLN", NSCaseInsensitiveSearch, { 3, 4 } },
        { "Go to Ko\xCC\x88ln", "koln", NSCaseInsensitiveSearch | NSDiacriticInsensitiveSearch, { 6, 5 } },
        { "STRASSE", "ß", NSCaseInsensitiveSearch, { 4, 2 } },
        { "abc", "", 0, { kNotFound, 0 } },
        { "", "a", 0, { kNotFound, 0 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.hay) + " / " + c.needle);
        EXPECT_EQ(rangeOfString(c.hay, c.needle, c.options), c.expected);
    }
    EXPECT_EQ(rangeOfString("abcabc", "abc", 0, NSMakeRange(1, 5)), NSMakeRange(3, 3));
    EXPECT_EQ(rangeOfCharacterFromSet("abc 123", NSCharacterSet::decimalDigitCharacterSet()), NSMakeRange(4, 1));
    EXPECT_EQ(rangeOfCharacterFromSet("abc 123", NSCharacterSet::decimalDigitCharacterSet(), NSBackwardsSearch),
        NSMakeRange(6, 1));
    EXPECT_TRUE(containsString("flight KE12", "KE1"));
}

TEST(NSString, SplittingKeepsEmptyPartsAndTrimmingUsesSets)
{
    struct Split {
        const char* text;
        const char* separator;
        std::vector<std::string> parts;
    };
    for (const auto& c : std::vector<Split> { { "a,,b", ",", { "a", "", "b" } }, { ",a,", ",", { "", "a", "" } },
             { "", ",", { "" } }, { "abc", "", { "abc" } }, { "KEST::LHR::JFK", "::", { "KEST", "LHR", "JFK" } } }) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(componentsSeparatedByString(c.text, c.separator), c.parts);
        EXPECT_EQ(componentsJoinedByString(c.parts, c.separator), c.text);
    }
    EXPECT_EQ(componentsSeparatedByCharactersInSet("a b\tc\u00A0d", NSCharacterSet::whitespaceCharacterSet()),
        (std::vector<std::string> { "a", "b", "c", "d" }));
    EXPECT_EQ(componentsSeparatedByCharactersInSet("x--y", NSCharacterSet::characterSetWithCharactersInString("-")),
        (std::vector<std::string> { "x", "", "y" }));

    struct Trim {
        const char* text;
        NSCharacterSet set;
        const char* expected;
    };
    for (const auto& c : std::vector<Trim> {
             { "  padded \t", NSCharacterSet::whitespaceCharacterSet(), "padded" },
             { "\n line \r\n", NSCharacterSet::whitespaceCharacterSet(), "\n line \r\n" },
             { "\n line \r\n", NSCharacterSet::whitespaceAndNewlineCharacterSet(), "line" },
             { "\u3000wide\u3000", NSCharacterSet::whitespaceCharacterSet(), "wide" },
             { "   ", NSCharacterSet::whitespaceCharacterSet(), "" },
             { "xxaxx", NSCharacterSet::characterSetWithCharactersInString("x"), "a" },
             { "12ab34", NSCharacterSet::decimalDigitCharacterSet(), "ab" },
         }) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(stringByTrimmingCharactersInSet(c.text, c.set), c.expected);
    }

    NSCharacterSet letters = NSCharacterSet::letterCharacterSet();
    EXPECT_TRUE(letters.characterIsMember(U'ü'));
    EXPECT_FALSE(letters.characterIsMember(U'1'));
    EXPECT_TRUE(letters.invertedSet().characterIsMember(U'1'));
    EXPECT_TRUE(NSCharacterSet::alphanumericCharacterSet().characterIsMember(U'\x0663')); // Arabic-Indic three
    EXPECT_TRUE(NSCharacterSet::punctuationCharacterSet().characterIsMember(U'!'));
    EXPECT_TRUE(NSCharacterSet::characterSetWithCharactersInString("\xF0\x9F\x98\x80").characterIsMember(U'\x1F600'));
    EXPECT_FALSE(NSCharacterSet::URLQueryAllowedCharacterSet().characterIsMember(U'#'));
    EXPECT_TRUE(NSCharacterSet::URLQueryAllowedCharacterSet().characterIsMember(U'?'));
}

TEST(NSString, ReplacingAndCaseMapping)
{
    EXPECT_EQ(stringByReplacingOccurrencesOfString("a-b-c", "-", "+"), "a+b+c");
    EXPECT_EQ(stringByReplacingOccurrencesOfString("aaa", "aa", "b"), "ba");
    EXPECT_EQ(stringByReplacingOccurrencesOfString("Ab ab AB", "ab", "x", NSCaseInsensitiveSearch), "x x x");
    EXPECT_EQ(stringByReplacingOccurrencesOfString("ab ab ab", "ab", "x", 0, NSMakeRange(1, 7)), "ab x x");
    EXPECT_EQ(stringByReplacingOccurrencesOfString("abc", "", "x"), "abc");
    EXPECT_EQ(stringByReplacingCharactersInRange(kMixed, NSMakeRange(1, 2), "-"),
        "a-e\xCC\x81"
        "b");
    EXPECT_EQ(stringByPaddingToLength("ab", 5, "xy", 1), "abyxy");
    EXPECT_EQ(stringByPaddingToLength("abcdef", 3, " ", 0), "abc");
    EXPECT_EQ(uppercaseString("straße"), "STRASSE");
    EXPECT_EQ(lowercaseString("ÄBC"), "äbc");
    EXPECT_EQ(capitalizedString("hello wORLD\tnew\nline"), "Hello World\tNew\nLine");
}

TEST(NSString, NumberReadingsFollowThePlatformRules)
{
    struct Case {
        const char* text;
        int32_t intValue;
        int64_t longLong;
        double doubleValue;
        bool boolValue;
    };
    const std::vector<Case> cases = {
        { "42", 42, 42, 42, true },
        { "  -17abc", -17, -17, -17, true },
        { "\t+8", 8, 8, 8, true },
        { "abc", 0, 0, 0, false },
        { "", 0, 0, 0, false },
        { "3.99", 3, 3, 3.99, true },
        { "1e3", 1, 1, 1000, true },
        { ".5", 0, 0, 0.5, false },
        { "-0.25e-2x", 0, 0, -0.0025, false },
        { "99999999999", INT32_MAX, 99999999999LL, 99999999999.0, true },
        { "-99999999999", INT32_MIN, -99999999999LL, -99999999999.0, true },
        { "99999999999999999999", INT32_MAX, INT64_MAX, 1e20, true },
        { "0x1A", 0, 0, 0, false },
        { "inf", 0, 0, 0, false },
        { "YES", 0, 0, 0, true },
        { "yes", 0, 0, 0, true },
        { "true", 0, 0, 0, true },
        { "NO", 0, 0, 0, false },
        { "  0009", 9, 9, 9, true },
        { "-0", 0, 0, 0, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(intValue(c.text), c.intValue);
        EXPECT_EQ(integerValue(c.text), c.intValue);
        EXPECT_EQ(longLongValue(c.text), c.longLong);
        EXPECT_DOUBLE_EQ(doubleValue(c.text), c.doubleValue);
        EXPECT_FLOAT_EQ(floatValue(c.text), static_cast<float>(c.doubleValue));
        EXPECT_EQ(boolValue(c.text), c.boolValue);
    }
}

TEST(NSString, EachEscapingVariant)
{
    const std::string text = "a b&c=d/e?f#g+h:i@j!k*l'm(n)o;p$q,r%s[t]u\"v~w-x_y.zü";
    struct Case {
        const char* name;
        std::string produced;
        const char* expected;
    };
    const std::vector<Case> cases = {
        { "legal characters stay", stringByAddingPercentEscapesUsingEncoding(text),
            "a%20b&c=d/e?f#g+h:i@j!k*l'm(n)o;p$q,r%25s%5Bt%5Du%22v~w-x_y.z%C3%BC" },
        { "query value: nothing exempt", stringByAddingPercentEscapes(text, "", ":/?&=;+!@#$()',*"),
            "a%20b%26c%3Dd%2Fe%3Ff%23g%2Bh%3Ai%40j%21k%2Al%27m%28n%29o%3Bp%24q%2Cr%25s%5Bt%5Du%22v~w-x_y.z%C3%BC" },
        { "query key keeps brackets", stringByAddingPercentEscapes("a[b].c d", "[].", ":/?&=;+!@#$()',*"),
            "a[b].c%20d" },
        { "leave-unescaped wins", stringByAddingPercentEscapes("a/b?c", "?/", "/?"), "a/b?c" },
        { "URL argument", stringByEscapingForURLArgument(text),
            "a%20b%26c%3Dd%2Fe%3Ff%23g%2Bh%3Ai%40j%21k%2Al%27m%28n%29o%3Bp%24q%2Cr%25s%5Bt%5Du%22v~w-x_y.z%C3%BC" },
        { "kit encoding", stringByURLEncoding(text),
            "a%20b%26c%3Dd%2Fe%3Ff%23g%2Bh%3Ai%40j%21k%2Al%27m%28n%29o%3Bp%24q%2Cr%25s%5Bt%5Du%22v~w-x_y.z%C3%BC" },
        { "allowed set",
            stringByAddingPercentEncodingWithAllowedCharacters(
                "a b/c?d#", NSCharacterSet::URLQueryAllowedCharacterSet()),
            "a%20b/c?d%23" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.produced, c.expected);
    }
    EXPECT_EQ(stringByAddingPercentEscapes("ü &", "", "&", NSISOLatin1StringEncoding), "%FC%20%26");
    EXPECT_EQ(stringByAddingPercentEscapes("€", "", "", NSISOLatin1StringEncoding), std::nullopt);

    struct Decode {
        const char* text;
        std::optional<std::string> expected;
    };
    for (const auto& d : std::vector<Decode> {
             { "a%20b+c", "a b+c" }, { "%C3%BC%e2%82%ac", "ü€" }, { "plain", "plain" }, { "", "" },
             { "100%", std::nullopt }, { "%4", std::nullopt }, { "%zz", std::nullopt }, { "%C3", std::nullopt },
             { "%FF%FE", std::nullopt }, { "%ED%A0%80", std::nullopt }, // an encoded surrogate
         }) {
        SCOPED_TRACE(d.text);
        EXPECT_EQ(stringByReplacingPercentEscapes(d.text), d.expected);
    }
    EXPECT_EQ(stringByReplacingPercentEscapes(stringByEscapingForURLArgument(text)), text);
}

TEST(NSString, TransformsAndFolding)
{
    const char* ascii = "Any-Latin; Latin-ASCII; [:^ASCII:] Remove";
    struct Case {
        const char* text;
        const char* expected;
    };
    for (const auto& c : std::vector<Case> { { "Zürich", "Zurich" }, { "Ærøskøbing", "AEroskobing" },
             { "Москва", "Moskva" }, { "東京", "dong jing" }, { "a\xF0\x9F\x98\x80z", "az" }, { "plain", "plain" } }) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(stringByApplyingTransform(c.text, ascii), c.expected);
    }
    EXPECT_EQ(stringByApplyingTransform("x", "No-Such-Transform"), std::nullopt);
    EXPECT_EQ(stringByFoldingWithOptions("Ärger", NSCaseInsensitiveSearch | NSDiacriticInsensitiveSearch), "arger");
}

TEST(NSString, PathHelpers)
{
    struct Case {
        const char* path;
        const char* last;
        const char* extension;
        const char* withoutLast;
        const char* withoutExtension;
    };
    for (const auto& c : std::vector<Case> {
             { "/tmp/scratch.tiff", "scratch.tiff", "tiff", "/tmp", "/tmp/scratch" },
             { "/tmp/lock/", "lock", "", "/tmp", "/tmp/lock" },
             { "/tmp/", "tmp", "", "/", "/tmp" },
             { "scratch", "scratch", "", "", "scratch" },
             { "/", "/", "", "/", "/" },
             { "", "", "", "", "" },
             { "a/b.tar.gz", "b.tar.gz", "gz", "a", "a/b.tar" },
             { "/x/.hidden", ".hidden", "", "/x", "/x/.hidden" },
         }) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(lastPathComponent(c.path), c.last);
        EXPECT_EQ(pathExtension(c.path), c.extension);
        EXPECT_EQ(stringByDeletingLastPathComponent(c.path), c.withoutLast);
        EXPECT_EQ(stringByDeletingPathExtension(c.path), c.withoutExtension);
    }
    EXPECT_EQ(stringByAppendingPathComponent("/tmp", "scratch"), "/tmp/scratch");
    EXPECT_EQ(stringByAppendingPathComponent("/tmp/", "/scratch/"), "/tmp/scratch");
    EXPECT_EQ(stringByAppendingPathComponent("/", "tmp"), "/tmp");
    EXPECT_EQ(stringByAppendingPathComponent("", "tmp"), "tmp");
    EXPECT_EQ(stringByAppendingPathExtension("/tmp/a", "txt"), "/tmp/a.txt");
    EXPECT_EQ(pathComponents("/tmp/a/"), (std::vector<std::string> { "/", "tmp", "a", "/" }));

    const char* home = "/home/user";
    EXPECT_EQ(stringByAbbreviatingWithTildeInPath("/home/user/Documents/x", home), "~/Documents/x");
    EXPECT_EQ(stringByAbbreviatingWithTildeInPath("/home/user", home), "~");
    EXPECT_EQ(stringByAbbreviatingWithTildeInPath("/home/username", home), "/home/username");
    EXPECT_EQ(stringByExpandingTildeInPath("~/a", home), "/home/user/a");
    EXPECT_EQ(stringByExpandingTildeInPath("~other/a", home), "~other/a");
    EXPECT_EQ(stringByStandardizingPath("~/a/./b//../c/", home), "/home/user/a/c");
    EXPECT_EQ(stringByStandardizingPath("/../a", home), "/a");
    EXPECT_EQ(stringByStandardizingPath("a/../b", home), "a/../b");
}

TEST(NSString, EncodingsDecodeStrictly)
{
    EXPECT_EQ(encodingFromIANACharsetName("UTF-8"), NSUTF8StringEncoding);
    EXPECT_EQ(encodingFromIANACharsetName("iso-8859-1"), NSISOLatin1StringEncoding);
    EXPECT_EQ(encodingFromIANACharsetName("Shift_JIS"), NSShiftJISStringEncoding);
    EXPECT_EQ(encodingFromIANACharsetName("klingon"), std::nullopt);
    EXPECT_EQ(IANACharsetNameFromEncoding(NSUTF8StringEncoding), "utf-8");
    EXPECT_EQ(IANACharsetNameFromEncoding(NSUTF16LittleEndianStringEncoding), "utf-16le");

    using Bytes = std::vector<uint8_t>;
    struct Case {
        const char* name;
        Bytes bytes;
        NSStringEncoding encoding;
        std::optional<std::string> expected;
    };
    const std::vector<Case> cases = {
        { "UTF-8", { 'a', 0xC3, 0xBC }, NSUTF8StringEncoding, "aü" },
        { "UTF-8 truncated", { 'a', 0xC3 }, NSUTF8StringEncoding, std::nullopt },
        { "UTF-8 overlong", { 0xC0, 0xAF }, NSUTF8StringEncoding, std::nullopt },
        { "ASCII", { 'o', 'k' }, NSASCIIStringEncoding, "ok" },
        { "ASCII high bit", { 'o', 0x80 }, NSASCIIStringEncoding, std::nullopt },
        { "Latin-1", { 0x5A, 0xFC }, NSISOLatin1StringEncoding, "Zü" },
        { "UTF-16 BOM little-endian", { 0xFF, 0xFE, 'h', 0, 'i', 0 }, NSUTF16StringEncoding, "hi" },
        { "UTF-16 without BOM is big-endian", { 0, 'h', 0, 'i' }, NSUTF16StringEncoding, "hi" },
        { "UTF-16 odd length", { 0, 'h', 0 }, NSUTF16StringEncoding, std::nullopt },
        { "UTF-16 lone surrogate", { 0xD8, 0x3D, 0, 'x' }, NSUTF16BigEndianStringEncoding, std::nullopt },
        { "UTF-16LE pair", { 0x3D, 0xD8, 0x00, 0xDE }, NSUTF16LittleEndianStringEncoding, "\xF0\x9F\x98\x80" },
        { "Windows-1252", { 0x80 }, NSWindowsCP1252StringEncoding, "€" },
        { "Shift_JIS", { 0x93, 0x8C }, NSShiftJISStringEncoding, "東" },
        { "UTF-32BE", { 0, 1, 0xF6, 0 }, NSUTF32BigEndianStringEncoding, "\xF0\x9F\x98\x80" },
        { "UTF-32BE beyond Unicode", { 0, 0x11, 0, 0 }, NSUTF32BigEndianStringEncoding, std::nullopt },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(stringWithData(c.bytes, c.encoding), c.expected);
        if (c.expected && c.encoding != NSUTF16StringEncoding) {
            EXPECT_EQ(dataUsingEncoding(*c.expected, c.encoding), c.bytes);
        }
    }
    EXPECT_EQ(dataUsingEncoding("ü", NSASCIIStringEncoding), std::nullopt);
    EXPECT_EQ(dataUsingEncoding("€", NSISOLatin1StringEncoding), std::nullopt);
    EXPECT_EQ(dataUsingEncoding("a", NSUTF16StringEncoding), (Bytes { 0xFF, 0xFE, 'a', 0 }));
}
