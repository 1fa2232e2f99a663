#include "charts/LChartNumberAxis.h"

#include "charts/LChartAxisStyle.h"
#include "charts/LChartNumberRange.h"
#include "charts/LChartTickLabelFormatter.h"
#include "charts/LChartTickMark.h"
#include "charts/tests/ChartAxisFixtures.h"
#include "foundation/NSNumberFormatter.h"
#include "testing/LogCapture.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// A chart whose delegate names a fixed longest label.
class LabelChart : public FakeAxisChart {
public:
    std::optional<std::string> label;
    std::optional<std::string> longestLabelStringOnAxis(const LChartAxis&) const override { return label; }
};

Ref<LChartNumberAxis> axisOver(LabelChart& chart, double min, double max)
{
    auto axis = LChartNumberAxis::init();
    axis->setAnimationEnabled(false);
    axis->setAllowPanningOutOfMaxRange(true);
    axis->setChart(&chart);
    axis->setRangeInternalWithMinimumAndMaximum(Value(min), Value(max));
    axis->style()->majorTickStyle()->setLabelFont(UIFont::systemFontOfSize(12));
    return axis;
}

} // namespace

// Hand-worked tick choices: with room for every label the first candidate above span ÷ 20
// wins; with no room the ladder climbs until no label is left inside the span.
TEST(LChartNumberAxis, ChoosesTickFrequenciesOnTheOneFiveTenLadder)
{
    struct Case {
        double min, max;
        bool room;
        double major, minor;
    } cases[] = {
        { 0, 100, true, 10, 5 },
        { -50, 50, true, 10, 5 }, // across zero: only the span counts
        { 0, 7, true, 0.5, 0.1 },
        { 1, 1.02, true, 0.005, 0.001 },
        { 0, 1e8, true, 1e7, 5e6 },
        { 0, 100, false, 500, 100 },
        { 0, 7, false, 10, 5 },
        { -3e-6, 4e-6, false, 1e-5, 5e-6 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.min) + ".." + std::to_string(c.max) + (c.room ? " with room" : " without"));
        LabelChart chart;
        chart.label = "0000";
        chart.drawer.frameRect.size = c.room ? CGSize { 100000, 100000 } : CGSize { 0, 0 };
        auto axis = axisOver(chart, c.min, c.max);
        CGSize size {};
        axis->updateInternalTickFrequencies(&size);
        EXPECT_NEAR(axis->internalMajorTickFrequency().doubleValue(), c.major, c.major * 1e-9);
        EXPECT_NEAR(axis->internalMinorTickFrequency().doubleValue(), c.minor, c.minor * 1e-9);
        EXPECT_GT(size.width, 0);
        EXPECT_EQ(axis->largestLabelWidth(), static_cast<float>(size.width));
        axis->setChart(nullptr);
    }
}

TEST(LChartNumberAxis, FirstTicksAlternateStripesAndSnapToZero)
{
    LabelChart chart;
    chart.label = "";
    auto axis = axisOver(chart, 3, 103);
    axis->updateInternalTickFrequencies(nullptr);
    ASSERT_EQ(axis->internalMajorTickFrequency().doubleValue(), 10);
    EXPECT_EQ(axis->firstMajorTick().doubleValue(), 10);
    EXPECT_EQ(axis->firstMinorTick().doubleValue(), 5);
    for (double v : { 10.0, 30.0, -10.0 })
        EXPECT_TRUE(axis->isOverAlternate(v)) << v;
    for (double v : { 0.0, 20.0, -20.0 })
        EXPECT_FALSE(axis->isOverAlternate(v)) << v;

    // Major 0.05 needs two decimal places; a step landing just below zero gives exactly 0.
    axis->setRangeInternalWithMinimumAndMaximum(Value(0), Value(0.7));
    axis->updateInternalTickFrequencies(nullptr);
    ASSERT_NEAR(axis->internalMajorTickFrequency().doubleValue(), 0.05, 1e-12);
    EXPECT_EQ(axis->requiredPrecision(), 2);
    EXPECT_EQ(axis->incrementTickMarkValueIsMajor(-0.05 - 1e-11, true), 0.0);
    EXPECT_LT(axis->incrementTickMarkValueIsMajor(-0.06, true), 0.0);
    axis->setChart(nullptr);

    struct Case {
        double value, places;
    } precision[] = { { 1, 0 }, { 0, 0 }, { -3, 0 }, { 0.5, 1 }, { 0.05, 2 }, { 0.25, 1 }, { 250, 0 } };
    for (const auto& c : precision)
        EXPECT_EQ(LChartNumberAxis::calcPrecision(c.value), c.places) << c.value;
}

TEST(LChartNumberAxis, LabelsFollowThePrecisionUnlessTheUserChoseDigits)
{
    LabelChart chart;
    chart.drawer.frameRect.size = { 100000, 100000 };
    auto axis = axisOver(chart, 0, 0.7);
    axis->updateInternalTickFrequencies(nullptr);
    EXPECT_EQ(axis->stringForValue(1234.5), "1,234.50");
    auto formatter = std::dynamic_pointer_cast<NSNumberFormatter>(axis->labelFormatter()->formatter());
    formatter->setMaximumFractionDigits(1);
    axis->setRangeInternalWithMinimumAndMaximum(Value(0), Value(0.07));
    axis->updateInternalTickFrequencies(nullptr);
    EXPECT_EQ(axis->requiredPrecision(), 3);
    EXPECT_EQ(formatter->maximumFractionDigits(), 1u);
    EXPECT_LE(formatter->minimumFractionDigits(), 1u);

    axis->setLabelFormatString("v=%.1f");
    EXPECT_EQ(axis->stringForValue(2.25), "v=2.2");
    axis->setLabelFormatter(nullptr);
    axis->setLabelFormatString("");
    EXPECT_EQ(axis->stringForValue(2.25), "2.250");
    axis->setChart(nullptr);
}

TEST(LChartNumberAxis, RefusesBadFrequenciesAndZoomLimits)
{
    LogCapture log;
    auto axis = LChartNumberAxis::init();
    axis->setMajorTickFrequency(Value(0));
    axis->setMajorTickFrequency(Value());
    axis->setMinorTickFrequency(Value("ten"));
    EXPECT_TRUE(axis->majorTickFrequency().isNil());
    EXPECT_TRUE(axis->minorTickFrequency().isNil());
    axis->setMajorTickFrequency(Value(5));
    axis->setMajorTickFrequency(Value());
    EXPECT_EQ(axis->majorTickFrequency().intValue(), 5);

    axis->setZoomInLimit(1e13);
    axis->setZoomOutLimit(1);
    ASSERT_EQ(log.messages().size(), 4u);
    EXPECT_EQ(log.messages()[0].rfind("Tick Frequencies must be greater than zero\nFrom: ", 0), 0u);
    EXPECT_EQ(log.messages()[1].rfind("Tick Frequencies for Number Axes must be of type: NSNumber\nFrom: ", 0), 0u);
    EXPECT_EQ(log.messages()[2].rfind("Invalid Zoom In Limit. Must be between 1 and 10^13.\nFrom: ", 0), 0u);
    EXPECT_EQ(log.messages()[3].rfind("Invalid Zoom Out Limit. Must be between 0 and 1.\nFrom: ", 0), 0u);
    EXPECT_EQ(axis->zoomInLimit(), 1e9);

    // A zoom-in limit of 1: never narrower than the maximum range.
    axis->setZoomInLimit(1);
    axis->setAnimationEnabled(false);
    axis->setAllowPanningOutOfMaxRange(true);
    axis->setDefaultRange(LChartNumberRange::initWithMinimumAndMaximum(Value(0), Value(100)));
    axis->setRangeInternalWithMinimumAndMaximum(Value(0), Value(100));
    EXPECT_FALSE(axis->setZoom(2));
    EXPECT_EQ(axis->axisRangeInternal()->max(), 100);
    axis->setZoomOutLimit(0.5);
    EXPECT_FALSE(axis->setZoom(0.25));
    EXPECT_TRUE(axis->setZoom(0.75));
}

TEST(LChartLogarithmicAxis, MapsDecadesToWholeNumbers)
{
    LogCapture log;
    auto axis = LChartLogarithmicAxis::init();
    EXPECT_EQ(axis->base().intValue(), 10);
    EXPECT_DOUBLE_EQ(axis->transformValueToInternal(Value(1000)).doubleValue(), 3);
    EXPECT_DOUBLE_EQ(axis->transformValueToExternal(Value(3)).doubleValue(), 1000);
    EXPECT_EQ(axis->transformValueToInternal(Value(-5)).doubleValue(), 0);
    EXPECT_EQ(axis->defaultBaseline(), 1.0);
    EXPECT_TRUE(axis->transformValueToInternal(Value("x")).isNil());
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_EQ(log.messages()[0].rfind("Data for a Logarithmic Axis must be of type 'NSNumber'\nFrom: ", 0), 0u);
    axis->setBase(Value(1));
    EXPECT_EQ(axis->transformValueToInternal(Value(1000)).doubleValue(), 0);

    // Ticks fall at half decades over 1..1e7 (7 internal units).
    auto decades = LChartLogarithmicAxis::init();
    LabelChart chart;
    chart.label = "";
    decades->setChart(&chart);
    decades->setAnimationEnabled(false);
    decades->setAllowPanningOutOfMaxRange(true);
    decades->setRangeWithMinimumAndMaximum(Value(1), Value(1e7));
    decades->updateInternalTickFrequencies(nullptr);
    EXPECT_DOUBLE_EQ(decades->internalMajorTickFrequency().doubleValue(), 0.5);
    decades->setChart(nullptr);
}

// Frames between the extremes: the ladder stops at the first frequency whose labels fit, n
// labels of width L needing n × L × 1.2 (the label size scaler) of the frame's width. Over 0 to
// 100 the rungs are 10 (10 labels), 50 (2), 100 (1) and 500 (none).
TEST(LChartNumberAxis, ClimbsTheLadderJustFarEnoughForTheLabelsToFit)
{
    float width = 0;
    {
        LabelChart chart;
        chart.label = "0000";
        chart.drawer.frameRect.size = { 100000, 100 };
        auto axis = axisOver(chart, 0, 100);
        axis->updateInternalTickFrequencies(nullptr);
        width = axis->largestLabelWidth();
        axis->setChart(nullptr);
    }
    ASSERT_GT(width, 0);
    struct Case {
        const char* name;
        double frame;
        double major;
    };
    const Case cases[] = {
        { "room for ten labels", 12.0 * width + 0.5, 10 },
        { "a point short of ten", 12.0 * width - 1, 50 },
        { "room for two", 2.4 * width + 0.5, 50 },
        { "a point short of two", 2.4 * width - 1, 100 },
        { "a point short of one", 1.2 * width - 1, 500 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LabelChart chart;
        chart.label = "0000";
        chart.drawer.frameRect.size = { static_cast<CGFloat>(c.frame), 100 };
        auto axis = axisOver(chart, 0, 100);
        axis->updateInternalTickFrequencies(nullptr);
        EXPECT_DOUBLE_EQ(axis->internalMajorTickFrequency().doubleValue(), c.major);
        axis->setChart(nullptr);
    }
}

// Hand-worked choices over decades: the ladder runs in internal units (decades), so ticks
// fall on whole and half decades whatever the data values.
TEST(LChartLogarithmicAxis, ChoosesTicksInDecades)
{
    struct Case {
        double min, max;
        double major, minor;
        std::vector<double> firstMajors;
    } cases[] = {
        { 1, 10, 0.1, 0.05, { 0, 0.1, 0.2 } }, // one decade: span ÷ 20 = 0.05 is not above 5p
        { 1e-3, 1e3, 0.5, 0.1, { -3, -2.5, -2 } }, // across 1 (internal 0)
        { 1, 1e7, 0.5, 0.1, { 0, 0.5, 1 } },
        { 1e-10, 1e10, 5, 1, { -10, -5, 0 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.min) + ".." + std::to_string(c.max));
        LabelChart chart;
        chart.label = "0";
        chart.drawer.frameRect = { { 0, 0 }, { 100000, 100000 } };
        chart.yAxesSpace = 1000;
        auto axis = LChartLogarithmicAxis::init();
        axis->setChart(&chart);
        axis->setAnimationEnabled(false);
        axis->setAllowPanningOutOfMaxRange(true);
        axis->setRangeWithMinimumAndMaximum(Value(c.min), Value(c.max));
        auto tick = axis->style()->majorTickStyle();
        tick->setLabelFont(UIFont::systemFontOfSize(12));
        tick->setShowTicks(true);
        tick->setShowLabels(true);
        axis->drawTickMarksWithGLFrameUsingAxisDrawerNeedToRedrawLabels(chart.drawer.frameRect, &chart.drawer, false);
        EXPECT_NEAR(axis->internalMajorTickFrequency().doubleValue(), c.major, c.major * 1e-9);
        EXPECT_NEAR(axis->internalMinorTickFrequency().doubleValue(), c.minor, c.minor * 1e-9);
        ASSERT_GE(axis->tickMarks().size(), c.firstMajors.size());
        for (size_t i = 0; i < c.firstMajors.size(); ++i)
            EXPECT_NEAR(axis->tickMarks()[i]->value(), c.firstMajors[i], 1e-9) << i;
        axis->setChart(nullptr);
    }
}
