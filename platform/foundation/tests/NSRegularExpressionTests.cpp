#include "foundation/NSError.h"
#include "foundation/NSRegularExpression.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
constexpr NSUInteger kNotFound = static_cast<NSUInteger>(NSNotFound);

// The address check pattern the feedback screens use (430 characters, ICU syntax).
const char* kEmailPattern
    = R"RE((?:[a-z0-9!#$%\&'*+/=?\^_`{|}~-]+(?:\.[a-z0-9!#$%\&'*+/=?\^_`{|}~-]+)*|"(?:[\x01-\x08\x0b\x0c\x0e-\x1f\x21\x23-\x5b\x5d-\x7f]|\\[\x01-\x09\x0b\x0c\x0e-\x7f])*")@(?:(?:[a-z0-9](?:[a-z0-9-]*[a-z0-9])?\.)+[a-z0-9](?:[a-z0-9-]*[a-z0-9])?|\[(?:(?:25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?)\.){3}(?:25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?|[a-z0-9-]*[a-z0-9]:(?:[\x01-\x08\x0b\x0c\x0e-\x1f\x21-\x5a\x53-\x7f]|\\[\x01-\x09\x0b\x0c\x0e-\x7f])+)\]))RE";
} // namespace

TEST(NSRegularExpression, MatchesInUTF16Ranges)
{
    Ref<NSError> error;
    auto airline = NSRegularExpression::regularExpressionWithPattern(
        "[A-Z]{2,3}+", NSRegularExpression::NSRegularExpressionCaseInsensitive, &error);
    ASSERT_TRUE(airline);
    EXPECT_FALSE(error);

    struct Case {
        const char* text;
        size_t count;
        NSRange first;
    };
    for (const auto& c : std::vector<Case> {
             { "ba123", 1, { 0, 2 } }, { "klm", 1, { 0, 3 } },
             { "\xF0\x9F\x98\x80 dlh 400 ab", 2, { 3, 3 } }, // after a two-unit emoji
             { "a1b2", 0, { kNotFound, 0 } }, { "abcdefg", 2, { 0, 3 } }, // "abc", "def"; "g" alone cannot match
         }) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(airline->numberOfMatchesInString(c.text), c.count);
        EXPECT_EQ(airline->rangeOfFirstMatchInString(c.text), c.first);
    }
    // Possessive quantifiers give nothing back: "[a-z]{2,3}+c" cannot match "abc".
    auto possessive = NSRegularExpression::regularExpressionWithPattern("^[a-z]{2,3}+c");
    ASSERT_TRUE(possessive);
    EXPECT_EQ(possessive->numberOfMatchesInString("abc"), 0u);

    auto groups = NSRegularExpression::regularExpressionWithPattern("(\\w+)@(\\w+)?x?");
    ASSERT_TRUE(groups);
    EXPECT_EQ(groups->numberOfCaptureGroups(), 2u);
    auto match = groups->firstMatchInString("mail: ü@x");
    ASSERT_TRUE(match);
    EXPECT_EQ(match->range(), NSMakeRange(6, 3));
    EXPECT_EQ(match->rangeAtIndex(1), NSMakeRange(6, 1));
    EXPECT_EQ(match->rangeAtIndex(2), NSMakeRange(8, 1));
    EXPECT_EQ(groups->firstMatchInString("a@", 0)->rangeAtIndex(2), NSMakeRange(kNotFound, 0));
    EXPECT_EQ(groups->matchesInString("a@b c@d", 0, NSMakeRange(3, 4)).size(), 1u);
    EXPECT_FALSE(groups->firstMatchInString("x a@b", NSRegularExpression::NSMatchingAnchored));

    auto swap = NSRegularExpression::regularExpressionWithPattern("(\\d+)-(\\d+)");
    EXPECT_EQ(swap->stringByReplacingMatchesInString("1-2 and 30-40", "$2-$1 \\$"), "2-1 $ and 40-30 $");
}

TEST(NSRegularExpression, InvalidPatternGivesNilAndAnError)
{
    for (const char* bad : { "(", "[a-", "a{2,1}", "*x" }) {
        SCOPED_TRACE(bad);
        Ref<NSError> error;
        EXPECT_FALSE(NSRegularExpression::regularExpressionWithPattern(bad, 0, &error));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->domain(), "NSCocoaErrorDomain");
        EXPECT_EQ(error->code(), 2048);
    }
    EXPECT_FALSE(NSRegularExpression::regularExpressionWithPattern("("));
}

TEST(NSRegularExpression, TheLongAddressPatternCompilesAndChecks)
{
    EXPECT_EQ(std::string(kEmailPattern).size(), 430u);
    auto email = NSRegularExpression::regularExpressionWithPattern(
        kEmailPattern, NSRegularExpression::NSRegularExpressionCaseInsensitive);
    ASSERT_TRUE(email);
    struct Case {
        const char* text;
        bool whole;
    };
    for (const auto& c : std::vector<Case> { { "pilot@example.com", true }, { "First.Last@Sub.Example.org", true },
             { "\"odd(name)\"@example.com", true }, { "\"odd name\"@example.com", false }, { "x@[192.168.0.1]", true },
             { "no-at-sign", false }, { "a@b", false } }) {
        SCOPED_TRACE(c.text);
        NSRange r = email->rangeOfFirstMatchInString(c.text);
        bool whole = r.location == 0 && r.length == std::string(c.text).size();
        EXPECT_EQ(whole, c.whole);
    }
    EXPECT_EQ(NSRegularExpression::escapedPatternForString("a.b*c"), "a\\.b\\*c");
}
