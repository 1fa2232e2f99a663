#include "charts/LChartDateTimeAxis.h"

#include "charts/LChartAxisStyle.h"
#include "charts/LChartDateRange.h"
#include "charts/LChartTickLabelFormatter.h"
#include "charts/LChartTickMark.h"
#include "charts/tests/ChartAxisFixtures.h"
#include "charts/tests/ChartTestSupport.h"
#include "foundation/NSCalendar.h"
#include "foundation/NSDateFormatter.h"
#include "foundation/NSTimeZone.h"
#include "testing/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr double kDay = 86400;
// 2014-01-01 00:00:00 UTC.
constexpr double kNewYear2014 = 1388534400;

class LabelChart : public FakeAxisChart {
public:
    std::optional<std::string> longestLabelStringOnAxis(const LChartAxis&) const override { return "00:00:00"; }
};

Ref<LChartDateTimeAxis> axisOver(LabelChart& chart, double start, double span)
{
    auto axis = LChartDateTimeAxis::init();
    axis->setChart(&chart);
    axis->setAnimationEnabled(false);
    axis->setAllowPanningOutOfMaxRange(true);
    axis->style()->majorTickStyle()->setLabelFont(UIFont::systemFontOfSize(12));
    axis->setRefDate(start);
    axis->setRangeInternalWithMinimumAndMaximum(Value(0.0), Value(span));
    return axis;
}

} // namespace

// Hand-worked choices from seconds to centuries: with room the first table row decides (and
// the minor is the ladder's partner); without room the ladder climbs past the span.
TEST(LChartDateTimeAxis, ChoosesCalendarFrequencies)
{
    struct Case {
        const char* name;
        double span;
        bool room;
        const char* major;
        const char* minor;
        const char* format;
    } cases[] = {
        { "a minute", 60, true, "s=1 }", "s=1 }", "HH:mm:ss" },
        { "two hours", 7200, true, "m=1,", "s=30 }", "HH:mm:ss" },
        { "a day", kDay, true, "h=1,", "m=30,", "EEE HH:mm" },
        { "thirty days", 30 * kDay, true, "D=1,", "h=12,", "dd MMM" },
        { "two hundred years", 200 * 365.25 * kDay, true, "Y=5,", "Y=1,", "yyyy" },
        { "a day without room", kDay, false, "D=7,", "D=1,", "dd MMM" },
        { "twenty days without room", 20 * kDay, false, "M=1,", "D=7,", "MMM yy" },
        { "two hundred days without room", 200 * kDay, false, "Y=1,", "M=3,", "yyyy" },
        { "forty years without room", 40 * 365.0 * kDay, false, "Y=50,", "Y=10,", "yyyy" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LabelChart chart;
        chart.drawer.frameRect.size = c.room ? CGSize { 1e7, 1e7 } : CGSize { 0, 0 };
        auto axis = axisOver(chart, kNewYear2014, c.span);
        axis->updateInternalTickFrequencies(nullptr);
        EXPECT_NE(axis->internalMajorFrequency()->description().find(c.major), std::string::npos)
            << axis->internalMajorFrequency()->description();
        EXPECT_NE(axis->internalMinorFrequency()->description().find(c.minor), std::string::npos)
            << axis->internalMinorFrequency()->description();
        axis->updateTickLabelConfiguration();
        EXPECT_EQ(
            std::dynamic_pointer_cast<NSDateFormatter>(axis->labelFormatter()->formatter())->dateFormat(), c.format);
        axis->setChart(nullptr);
    }
}

TEST(LChartDateTimeAxis, StepsByTheCalendarAcrossMonthEndsAndDaylightSaving)
{
    // Twenty days without room for labels climbs to one month.
    LabelChart chart;
    chart.drawer.frameRect.size = { 0, 0 };
    auto axis = LChartDateTimeAxis::init();
    axis->setRefDate(0);
    axis->style()->majorTickStyle()->setLabelFont(UIFont::systemFontOfSize(12));
    axis->setChart(&chart);
    axis->setAnimationEnabled(false);
    axis->setAllowPanningOutOfMaxRange(true);
    axis->setRangeInternalWithMinimumAndMaximum(Value(kNewYear2014), Value(kNewYear2014 + 20 * kDay));
    axis->updateInternalTickFrequencies(nullptr);
    ASSERT_EQ(axis->internalMajorFrequency()->denomination(), LChartDateFrequency::Month);

    auto utc = NSCalendar::calendarWithIdentifier("gregorian");
    utc->setTimeZone(NSTimeZone::timeZoneWithName("UTC"));
    axis->setCal(utc);
    double jan31 = kNewYear2014 + 30 * kDay;
    EXPECT_EQ(axis->incrementTickMarkValueIsMajor(jan31, true), kNewYear2014 + 58 * kDay); // 28 February
    EXPECT_EQ(axis->decrementTickMarkValueIsMajor(kNewYear2014 + 58 * kDay, true), kNewYear2014 + 27 * kDay);

    // A day in New York across the spring change is 23 hours long.
    auto newYork = NSCalendar::calendarWithIdentifier("gregorian");
    newYork->setTimeZone(NSTimeZone::timeZoneWithName("America/New_York"));
    double march8Noon = 1394298000; // 2014-03-08 12:00 EST
    auto daily = LChartDateTimeAxis::init();
    daily->setRefDate(0);
    daily->setCal(newYork);
    daily->setChart(&chart);
    daily->setAnimationEnabled(false);
    daily->setAllowPanningOutOfMaxRange(true);
    daily->setRangeInternalWithMinimumAndMaximum(Value(march8Noon), Value(march8Noon + 30 * kDay));
    chart.drawer.frameRect.size = { 1e7, 1e7 };
    daily->updateInternalTickFrequencies(nullptr);
    ASSERT_EQ(daily->internalMajorFrequency()->denomination(), LChartDateFrequency::Day);
    EXPECT_EQ(daily->incrementTickMarkValueIsMajor(march8Noon, true) - march8Noon, 23 * 3600);
    axis->setChart(nullptr);
    daily->setChart(nullptr);
}

TEST(LChartDateTimeAxis, ReferenceDateAnchorsTicksAndRangesStartAfterTheYear100)
{
    LogCapture log;
    auto axis = LChartDateTimeAxis::init();
    EXPECT_FALSE(axis->refDateInitialised());
    axis->setRefDate(kNewYear2014);
    EXPECT_EQ(axis->anchorPoint().doubleValue(), kNewYear2014);
    EXPECT_EQ(axis->transformValueToInternal(Value::date(kNewYear2014)).doubleValue(), 0);
    EXPECT_EQ(axis->transformValueToExternal(Value(60.0)).doubleValue(), kNewYear2014 + 60);
    axis->setRefDate(kNewYear2014 + 10);
    EXPECT_EQ(axis->anchorPoint().doubleValue(), kNewYear2014 + 10);

    auto early = LChartDateTimeAxis::init();
    early->setAllowPanningOutOfMaxRange(true);
    early->setAnimationEnabled(false);
    EXPECT_FALSE(early->setRangeInternalWithMinimumAndMaximum(Value(-59011459201.0), Value(0.0)));
    EXPECT_TRUE(early->setRangeInternalWithMinimumAndMaximum(Value(-59011459200.0), Value(0.0)));
    EXPECT_TRUE(log.messages().empty());

    early->setMajorTickFrequency(Value(5));
    early->setRangePaddingLow(Value(5));
    ASSERT_EQ(log.messages().size(), 2u);
    EXPECT_EQ(
        log.messages()[0].rfind("Tick Frequencies for Date-Time Axes must be of type: LChartDateFrequency", 0), 0u);
    EXPECT_EQ(log.messages()[1].rfind("Range Paddings for Date-Time Axes must be of type: LChartDateFrequency", 0), 0u);
    early->setRangePaddingLow(Value(LChartDateFrequency::initWithDay(1)));
    auto padded
        = early->rangeFromRangeWithUserPadding(LChartDateRange::initWithMinimumAndMaximum(Value(0.0), Value(10.0)));
    EXPECT_EQ(padded->min(), -kDay);
    EXPECT_TRUE(padded->isMemberOfClass(LChartDateRange::classObject()));

    // A format the user chose is kept and stops the automatic choice.
    early->setLabelFormatString("yyyy-MM-dd");
    early->updateTickLabelConfiguration();
    EXPECT_EQ(
        std::dynamic_pointer_cast<NSDateFormatter>(early->labelFormatter()->formatter())->dateFormat(), "yyyy-MM-dd");
}

TEST(LChartDateTimeAxis, DailyTicksFollowLocalMidnightAcrossTheSpringChange)
{
    LabelChart chart;
    chart.drawer.frameRect = { { 0, 0 }, { 100000, 300 } };
    chart.yAxesSpace = 100;
    auto newYork = NSCalendar::calendarWithIdentifier("gregorian");
    newYork->setTimeZone(NSTimeZone::timeZoneWithName("America/New_York"));
    constexpr double march1 = 1393650000; // 2014-03-01 00:00 EST; clocks go forward on 9 March
    auto axis = axisOver(chart, march1, 20 * kDay);
    axis->setCal(newYork);
    axis->style()->majorTickStyle()->setShowTicks(true);
    axis->style()->majorTickStyle()->setShowLabels(true);
    axis->drawTickMarksWithGLFrameUsingAxisDrawerNeedToRedrawLabels(chart.drawer.frameRect, &chart.drawer, false);
    ASSERT_EQ(axis->internalMajorFrequency()->denomination(), LChartDateFrequency::Day);

    std::vector<double> gaps;
    const auto& ticks = axis->tickMarks();
    ASSERT_GT(ticks.size(), 20u);
    EXPECT_EQ(ticks.front()->value(), 0);
    for (size_t i = 1; i < ticks.size() && ticks[i]->value() <= 20 * kDay; ++i)
        gaps.push_back(ticks[i]->value() - ticks[i - 1]->value());
    EXPECT_EQ(std::count(gaps.begin(), gaps.end(), 23 * 3600.0), 1);
    EXPECT_EQ(std::count(gaps.begin(), gaps.end(), kDay), static_cast<long>(gaps.size()) - 1);
    EXPECT_EQ(gaps[8], 23 * 3600.0); // 9 March to 10 March
    axis->setChart(nullptr);
}

TEST(LChartDateTimeAxis, TakesDatesAndSecondsFromTheDataSource)
{
    LabelChart chart;
    auto axis = axisOver(chart, kNewYear2014, kDay);
    EXPECT_FALSE(axis->manualGenerateTickMarks());
    chart.tickValues = std::vector<Value> { Value::date(kNewYear2014 + 3600), Value(kNewYear2014 + 7200) };
    auto values = axis->manualGenerateTickMarks();
    ASSERT_TRUE(values);
    EXPECT_EQ(*values, (std::vector<double> { 3600, 7200 }));

    chart.tickValues->push_back(Value("noon"));
    LogCapture log;
    FatalErrorsThrow fatal;
    EXPECT_THROW(axis->manualGenerateTickMarks(), ChartFatalError);
    EXPECT_EQ(log.messages().back().rfind("object noon at index 2 for sChart:majorTickValuesForAxis: doesn't respond "
                                          "to doubleValue nor timeIntervalSince1970",
                  0),
        0u);
    axis->setChart(nullptr);
}

TEST(LChartDateTimeAxis, LabelStrideStartsAtTheTickOnTheAnchor)
{
    auto utc = NSCalendar::calendarWithIdentifier("gregorian");
    utc->setTimeZone(NSTimeZone::timeZoneWithName("UTC"));
    struct Case {
        const char* name;
        double rangeStartDays;
        double anchorDays;
        int32_t index;
    } cases[] = {
        { "anchor on the first tick", 0, 0, 0 },
        { "anchor on the second tick", 0, 31, 1 },
        // 31 January steps to 28 February and back to 28 January, so no tick meets the anchor
        // exactly: every second tick from the second one on is labelled rather than none.
        { "anchor that calendar steps cannot retrace", 59, 30, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LabelChart chart;
        chart.drawer.frameRect.size = { 1e7, 1e7 };
        auto axis = axisOver(chart, kNewYear2014, 700 * kDay);
        axis->setCal(utc);
        axis->setRangeInternalWithMinimumAndMaximum(Value(c.rangeStartDays * kDay), Value(700 * kDay));
        axis->updateInternalTickFrequencies(nullptr);
        ASSERT_EQ(axis->internalMajorFrequency()->description().find("M=1,") != std::string::npos, true);
        axis->setAnchorPoint(Value(kNewYear2014 + c.anchorDays * kDay));
        EXPECT_EQ(axis->indexOfFirstLabel(2), c.index);
        axis->setChart(nullptr);
    }
}

TEST(LChartDateTimeAxis, CanCountTheVisibleSpanWithoutItsSkippedTime)
{
    struct Case {
        const char* name;
        double skipFrom, skipTo;
        bool subtract;
        const char* major;
    } cases[] = {
        { "skips ignored", 6 * 3600, 18 * 3600, false, "h=1," },
        { "half the day skipped", 6 * 3600, 18 * 3600, true, "m=30," },
        { "a skip before the range", -2 * kDay, -kDay, true, "h=1," },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LabelChart chart;
        chart.drawer.frameRect.size = { 1e7, 1e7 };
        auto axis = axisOver(chart, kNewYear2014, kDay);
        axis->addSkipFromTo(kNewYear2014 + c.skipFrom, kNewYear2014 + c.skipTo);
        axis->setCalculateMajorTickFrequencyFromDiscontinuousRange(c.subtract);
        axis->updateInternalTickFrequencies(nullptr);
        EXPECT_NE(axis->internalMajorFrequency()->description().find(c.major), std::string::npos)
            << axis->internalMajorFrequency()->description();
        axis->setChart(nullptr);
    }
}
