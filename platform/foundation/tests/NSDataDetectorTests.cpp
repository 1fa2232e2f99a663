#include "foundation/NSDataDetector.h"

#include <gtest/gtest.h>

namespace {

TEST(NSDataDetector, FindsEachKindWithItsValue)
{
    auto all = NSDataDetector::dataDetectorWithTypes(
        NSTextCheckingTypeLink | NSTextCheckingTypePhoneNumber | NSTextCheckingTypeDate | NSTextCheckingTypeAddress);
    ASSERT_TRUE(all);
    const struct {
        const char* text;
        uint64_t type;
        const char* value; // the URL, number or time zone
        NSUInteger location, length;
    } cases[] = {
        { "See https://air.example/a?b=1.", NSTextCheckingTypeLink, "https://air.example/a?b=1", 4, 25 },
        { "(www.air.example)", NSTextCheckingTypeLink, "http://www.air.example", 1, 15 },
        { "Mail ops@air.example now", NSTextCheckingTypeLink, "mailto:ops@air.example", 5, 15 },
        { "Call +44 20 7946 0958", NSTextCheckingTypePhoneNumber, "+44 20 7946 0958", 5, 16 },
        { "On 2014-05-06T10:00+02:00 we fly", NSTextCheckingTypeDate, "GMT+0200", 3, 22 },
        { "Meet at 10 Downing Street, London", NSTextCheckingTypeAddress, "", 8, 25 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto found = all->matchesInStringOptionsRange(c.text, 0, { 0, 1000 });
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].resultType, c.type);
        EXPECT_EQ(found[0].range().location, c.location);
        EXPECT_EQ(found[0].range().length, c.length);
        std::string value = c.type == NSTextCheckingTypeLink ? found[0].URL
            : c.type == NSTextCheckingTypePhoneNumber        ? found[0].phoneNumber
                                                             : found[0].timeZone;
        EXPECT_EQ(value, c.value);
    }
    // The date is the instant in UTC.
    auto date = all->matchesInStringOptionsRange("2014-05-06T10:00+02:00", 0, { 0, 100 });
    ASSERT_EQ(date.size(), 1u);
    EXPECT_EQ(*date[0].date, 1399363200.0);
}

TEST(NSDataDetector, ShortNumbersAndUnaskedKindsAreNotFound)
{
    auto links = NSDataDetector::dataDetectorWithTypes(NSTextCheckingTypeLink);
    EXPECT_TRUE(links->matchesInStringOptionsRange("Call 555 1234 or +44 20 7946 0958", 0, { 0, 100 }).empty());
    auto phones = NSDataDetector::dataDetectorWithTypes(NSTextCheckingTypePhoneNumber);
    EXPECT_TRUE(phones->matchesInStringOptionsRange("Gate 12-34 at 5", 0, { 0, 100 }).empty());
    Ref<NSError> error;
    EXPECT_FALSE(NSDataDetector::dataDetectorWithTypes(1, &error));
    EXPECT_TRUE(error);
}

// Dates written with other decimal digits (Arabic-Indic, full-width, in the zone too) are read
// digit by digit; nothing the detector matched may make it throw.
TEST(NSDataDetector, ReadsDatesWrittenWithAnyDecimalDigits)
{
    auto dates = NSDataDetector::dataDetectorWithTypes(NSTextCheckingTypeDate);
    const struct {
        const char* text;
        double date;
    } cases[] = {
        { "\u0661\u0661\u0661\u0661-11-11", -27080352000.0 },
        { "\uFF12\uFF10\uFF11\uFF14-\uFF10\uFF15-\uFF10\uFF16", 1399334400.0 },
        { "2014-05-06T10:00+\uFF10\uFF12:\uFF10\uFF10", 1399363200.0 },
        { "2014-05-06T\u0661\u0660:00:00Z", 1399370400.0 },
        { "\u09E8\u09E6\u09E7\u09EA-05-06", 1399334400.0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<NSTextCheckingResult> found;
        ASSERT_NO_THROW(found = dates->matchesInStringOptionsRange(c.text, 0, { 0, 1000 }));
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(*found[0].date, c.date);
    }
    auto all = NSDataDetector::dataDetectorWithTypes(
        NSTextCheckingTypeLink | NSTextCheckingTypePhoneNumber | NSTextCheckingTypeDate | NSTextCheckingTypeAddress);
    for (const char* text : { "\U0001D7D8\U0001D7D9\U0001D7DA\U0001D7DB-\U0001D7D8\U0001D7D9-\U0001D7DA\U0001D7DB",
             "2014-05-06T10:00-\u0661\u0662\u0663\u0664", "9999-99-99T99:99:99+99:99", "0000-00-00" }) {
        SCOPED_TRACE(text);
        EXPECT_NO_THROW(all->matchesInStringOptionsRange(text, 0, { 0, 1000 }));
    }
}

} // namespace
