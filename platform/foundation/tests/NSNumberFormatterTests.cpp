#include "foundation/NSNumberFormatter.h"

#include "foundation/NSLocale.h"
#include "testing/FixedClock.h"

#include <functional>
#include <gtest/gtest.h>

TEST(NSNumberFormatter, WritesNumbersWithGroupingFractionsAndRounding)
{
    using Setup = std::function<void(NSNumberFormatter&)>;
    auto decimal = [](Setup more = nullptr) -> Setup {
        return [more](NSNumberFormatter& f) {
            f.setNumberStyle(NSNumberFormatterDecimalStyle);
            if (more)
                more(f);
        };
    };
    auto wholeNumbers = decimal([](NSNumberFormatter& f) { f.setMaximumFractionDigits(0); });
    auto rounding = [&](NSNumberFormatterRoundingMode mode) {
        return decimal([mode](NSNumberFormatter& f) {
            f.setMaximumFractionDigits(0);
            f.setRoundingMode(mode);
        });
    };
    struct Case {
        const char* name;
        const char* locale;
        Setup setup;
        Value number;
        const char* expected;
    } cases[] = {
        { "grouping, half-even up", "en_US", wholeNumbers, Value(1234567.5), "1,234,568" },
        { "grouping, half-even down", "en_US", wholeNumbers, Value(1234566.5), "1,234,566" },
        { "converted speed", "en_US", wholeNumbers, Value(450 * 1.852), "833" },
        { "German grouping", "de_DE", wholeNumbers, Value(1234567), "1.234.567" },
        { "locale without separator change", "en_GB", wholeNumbers, Value(60000), "60,000" },
        { "decimal keeps three fraction digits", "en_US", decimal(), Value(3.14159), "3.142" },
        { "grouping off", "en_US", decimal([](NSNumberFormatter& f) { f.setUsesGroupingSeparator(false); }),
            Value(1234567), "1234567" },
        { "own separators and size", "en_US", decimal([](NSNumberFormatter& f) {
             f.setGroupingSeparator("'");
             f.setGroupingSize(2);
             f.setDecimalSeparator(",");
             f.setMinimumFractionDigits(2);
         }),
            Value(1234567.5), "1'23'45'67,50" },
        { "minimum integer digits", "en_US", decimal([](NSNumberFormatter& f) { f.setMinimumIntegerDigits(3); }),
            Value(7), "007" },
        { "large integers stay exact", "en_US", decimal(), Value(int64_t(9007199254740993)), "9,007,199,254,740,993" },
        { "no style rounds half-even without grouping", "en_US", nullptr, Value(1234.5), "1234" },
        { "no style rounds half-even up", "en_US", nullptr, Value(1235.5), "1236" },
        { "percent", "en_US", [](NSNumberFormatter& f) { f.setNumberStyle(NSNumberFormatterPercentStyle); },
            Value(0.25), "25%" },
        { "currency", "en_US", [](NSNumberFormatter& f) { f.setNumberStyle(NSNumberFormatterCurrencyStyle); },
            Value(1234.5), "$1,234.50" },
        { "half-even", "en_US", rounding(NSNumberFormatterRoundHalfEven), Value(2.5), "2" },
        { "half-up", "en_US", rounding(NSNumberFormatterRoundHalfUp), Value(2.5), "3" },
        { "half-down", "en_US", rounding(NSNumberFormatterRoundHalfDown), Value(2.5), "2" },
        { "floor", "en_US", rounding(NSNumberFormatterRoundFloor), Value(-2.5), "-3" },
        { "ceiling", "en_US", rounding(NSNumberFormatterRoundCeiling), Value(2.1), "3" },
        { "down", "en_US", rounding(NSNumberFormatterRoundDown), Value(-2.7), "-2" },
        { "up", "en_US", rounding(NSNumberFormatterRoundUp), Value(2.1), "3" },
        { "not a number", "en_US", decimal(), Value("12"), "" },
        { "nil", "en_US", decimal(), Value(), "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto f = NSNumberFormatter::init();
        f->setLocale(NSLocale::localeWithLocaleIdentifier(c.locale));
        if (c.setup)
            c.setup(*f);
        EXPECT_EQ(f->stringFromNumber(c.number), c.expected);
    }
}

TEST(NSNumberFormatter, StyleResetsPropertiesAndDefaultsAreReadable)
{
    auto f = NSNumberFormatter::init();
    f->setLocale(NSLocale::localeWithLocaleIdentifier("de_DE"));
    f->setNumberStyle(NSNumberFormatterDecimalStyle);
    EXPECT_TRUE(f->usesGroupingSeparator());
    EXPECT_EQ(f->groupingSeparator(), ".");
    EXPECT_EQ(f->decimalSeparator(), ",");
    EXPECT_EQ(f->groupingSize(), 3u);
    EXPECT_EQ(f->maximumFractionDigits(), 3u);
    EXPECT_EQ(f->roundingMode(), NSNumberFormatterRoundHalfEven);
    f->setMaximumFractionDigits(0);
    f->setMinimumFractionDigits(2); // raises the maximum with it
    EXPECT_EQ(f->maximumFractionDigits(), 2u);
    f->setNumberStyle(NSNumberFormatterDecimalStyle);
    EXPECT_EQ(f->maximumFractionDigits(), 3u);
    EXPECT_EQ(f->minimumFractionDigits(), 0u);
}

TEST(NSNumberFormatter, ReadsWholeTextsOnly)
{
    struct Case {
        const char* locale;
        const char* text;
        Value expected;
    } cases[] = {
        { "en_US", "1,234", Value(1234) },
        { "en_US", "1234.5", Value(1234.5) },
        { "en_US", "-3", Value(-3) },
        { "de_DE", "1.234,5", Value(1234.5) },
        { "en_US", "12abc", Value() },
        { "en_US", "abc", Value() },
        { "en_US", "", Value() },
        { "en_US", "1.2.3", Value() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " \"" + c.text + "\"");
        auto f = NSNumberFormatter::init();
        f->setLocale(NSLocale::localeWithLocaleIdentifier(c.locale));
        f->setNumberStyle(NSNumberFormatterDecimalStyle);
        Value parsed = f->numberFromString(c.text);
        EXPECT_EQ(parsed.isNil(), c.expected.isNil()) << parsed.description();
        if (!c.expected.isNil()) {
            EXPECT_TRUE(parsed.isEqual(c.expected)) << parsed.description();
        }
    }
    auto f = NSNumberFormatter::init();
    f->setNumberStyle(NSNumberFormatterDecimalStyle);
    EXPECT_EQ(f->numberFromString("42").kind(), Value::Kind::Int);
}

TEST(NSNumberFormatter, FollowsTheCurrentLocaleUnlessSet)
{
    PinnedTime pinned("de_DE", "UTC");
    auto f = NSNumberFormatter::init();
    f->setNumberStyle(NSNumberFormatterDecimalStyle);
    f->setMaximumFractionDigits(0);
    EXPECT_EQ(f->stringFromNumber(Value(60000)), "60.000");
    EXPECT_EQ(f->locale()->localeIdentifier(), "de_DE");
}

// Callers store the all-ones count to mean "not chosen yet" and compare it later: it reads back
// verbatim, and formatting keeps the style's own limits meanwhile.
TEST(NSNumberFormatter, FractionDigitCountsReadBackVerbatim)
{
    auto formatter = NSNumberFormatter::init();
    formatter->setLocale(NSLocale::localeWithLocaleIdentifier("en_US_POSIX"));
    formatter->setNumberStyle(NSNumberFormatterDecimalStyle);
    formatter->setMinimumFractionDigits(static_cast<NSUInteger>(-1));
    formatter->setMaximumFractionDigits(static_cast<NSUInteger>(-1));
    EXPECT_EQ(formatter->minimumFractionDigits(), 4294967295u);
    EXPECT_EQ(formatter->maximumFractionDigits(), 4294967295u);
    EXPECT_EQ(formatter->stringFromNumber(Value(1.25)), "1.25");
    formatter->setMinimumFractionDigits(3);
    formatter->setMaximumFractionDigits(3);
    EXPECT_EQ(formatter->minimumFractionDigits(), 3u);
    EXPECT_EQ(formatter->stringFromNumber(Value(1.25)), "1.250");
}
