#include "foundation/NSDate.h"

#include "foundation/NSException.h"
#include "testing/FixedClock.h"

#include <gtest/gtest.h>

TEST(NSDate, DescriptionIsUtcWithWholeSeconds)
{
    struct Case {
        double seconds;
        const char* text;
    } cases[] = {
        { 0, "1970-01-01 00:00:00 +0000" },
        { 1394348400.999, "2014-03-09 07:00:00 +0000" },
        { -0.5, "1969-12-31 23:59:59 +0000" },
        { 951782400, "2000-02-29 00:00:00 +0000" },
        { 4102444799, "2099-12-31 23:59:59 +0000" },
        { NSTimeIntervalSince1970, "2001-01-01 00:00:00 +0000" },
        { 64092211200, "4001-01-01 00:00:00 +0000" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(NSDate::dateWithTimeIntervalSince1970(c.seconds)->description(), c.text);
    }
    EXPECT_EQ(NSDate::distantFuture()->description(), "4001-01-01 00:00:00 +0000");
}

TEST(NSDate, IntervalsComparisonsAndNow)
{
    PinnedTime pinned("en_US", "UTC", 1000000000.0);
    auto now = NSDate::date();
    EXPECT_EQ(now->timeIntervalSince1970(), 1000000000.0);
    EXPECT_EQ(now->timeIntervalSinceReferenceDate(), 1000000000.0 - 978307200.0);
    EXPECT_EQ(NSDate::dateWithTimeIntervalSinceReferenceDate(0)->timeIntervalSince1970(), 978307200.0);
    auto later = NSDate::dateWithTimeIntervalSinceNow(90.25);
    EXPECT_EQ(later->timeIntervalSinceDate(now), 90.25);
    EXPECT_EQ(later->timeIntervalSinceNow(), 90.25);
    EXPECT_EQ(now->compare(later), NSOrderedAscending);
    EXPECT_EQ(later->compare(now), NSOrderedDescending);
    EXPECT_EQ(now->compare(NSDate::dateWithTimeIntervalSince1970(1000000000.0)), NSOrderedSame);
    EXPECT_EQ(now->earlierDate(later), now);
    EXPECT_EQ(now->laterDate(later), later);
    EXPECT_EQ(now->laterDate(nullptr), now);
    EXPECT_TRUE(now->isEqual(NSDate::dateWithTimeIntervalSince1970(1000000000.0).get()));
    EXPECT_FALSE(now->isEqualToDate(later));
    EXPECT_LT(NSDate::distantPast()->compare(now), 0);
    EXPECT_EQ(NSDate::distantPast()->timeIntervalSinceReferenceDate(), -63114076800.0);
    EXPECT_EQ(NSDate::distantFuture()->timeIntervalSinceReferenceDate(), 63113904000.0);
    // A nil date is refused rather than compared as if it were some instant.
    EXPECT_THROW(now->compare(nullptr), NSException);
    EXPECT_THROW(now->timeIntervalSinceDate(nullptr), NSException);
    EXPECT_EQ(NSDate::dateWithTimeIntervalSinceDate(5, nullptr), nullptr);
}

TEST(NSDate, ConvertsToAndFromValue)
{
    auto date = NSDate::dateWithTimeIntervalSince1970(1394348400.5);
    Value value = date->toValue();
    ASSERT_TRUE(value.isDate());
    EXPECT_EQ(value.dateValue(), 1394348400.5);
    EXPECT_TRUE(NSDate::fromValue(value)->isEqualToDate(date));
    EXPECT_EQ(NSDate::fromValue(Value(date)), date);
    EXPECT_EQ(NSDate::fromValue(Value(12)), nullptr);
    EXPECT_EQ(NSDate::fromValue(Value()), nullptr);
    EXPECT_EQ(date->valueForKey("timeIntervalSince1970").doubleValue(), 1394348400.5);
}
