#include "charts/LChartDateFrequency.h"

#include "charts/tests/ChartTestSupport.h"
#include "testing/LogCapture.h"

#include <gtest/gtest.h>

TEST(LChartDateFrequency, OneUnitWithItsMeasureInSeconds)
{
    struct Case {
        Ref<LChartDateFrequency> frequency;
        int32_t denomination;
        double seconds;
    } cases[] = {
        { LChartDateFrequency::initWithSecond(30), 0, 30 },
        { LChartDateFrequency::initWithMinute(5), 1, 300 },
        { LChartDateFrequency::initWithHour(2), 2, 7200 },
        { LChartDateFrequency::initWithDay(1), 3, 86400 },
        { LChartDateFrequency::initWithWeek(1), 4, 604800 },
        { LChartDateFrequency::initWithMonth(3), 5, 3 * 2419200.0 },
        { LChartDateFrequency::initWithYear(10), 6, 315360000 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frequency->description());
        EXPECT_EQ(c.frequency->denomination(), c.denomination);
        EXPECT_EQ(c.frequency->toSeconds(), c.seconds);
        auto copy = c.frequency->copy();
        EXPECT_TRUE(copy->isEqual(c.frequency.get()));
        EXPECT_NE(copy, c.frequency);
    }
    auto month = LChartDateFrequency::initWithMonth(3);
    EXPECT_EQ(month->description(), "LChartDateFrequency = { Y=0, M=3, W=0, D=0, h=0, m=0, s=0 }");
    EXPECT_EQ(month->getNegativeDateComponents()->month(), -3);
    EXPECT_EQ(month->dateComponents()->month(), 3);
    month->setDay(2);
    EXPECT_EQ(month->month(), 0);
    EXPECT_EQ(month->denomination(), 3);
    EXPECT_FALSE(month->isEqual(LChartDateFrequency::initWithDay(3).get()));
    EXPECT_FALSE(month->isEqual(nullptr));
}

TEST(LChartDateFrequency, RefusesEmptyCounts)
{
    LogCapture log;
    auto frequency = LChartDateFrequency::initWithHour(0);
    EXPECT_EQ(frequency->hour(), 1);
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_EQ(
        log.messages()[0].rfind("Attempt to set hour of LChartDateFrequency object to negative or zero - a default "
                                "of 1 has been set.",
            0),
        0u);
    FatalErrorsThrow fatal;
    EXPECT_THROW(LChartDateFrequency::init(), ChartFatalError);
    frequency->setDenomination(9);
    EXPECT_THROW(frequency->toSeconds(), ChartFatalError);
    EXPECT_THROW(frequency->copy(), ChartFatalError);
}
