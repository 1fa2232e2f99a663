#include "charts/LChartAxis.h"

#include "charts/LChartAxisStyle.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartNumberAxis.h"
#include "charts/LChartNumberRange.h"
#include "charts/LChartTitle.h"
#include "charts/tests/ChartAxisFixtures.h"
#include "charts/tests/ChartTestSupport.h"
#include "testing/Drain.h"
#include "testing/LogCapture.h"
#include "testing/VirtualClock.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

Ref<LChartRange> range(double min, double max)
{
    return LChartNumberRange::initWithMinimumAndMaximum(Value(min), Value(max));
}

void expectRange(const Ref<LChartRange>& r, double min, double max)
{
    ASSERT_TRUE(r);
    EXPECT_DOUBLE_EQ(r->min(), min);
    EXPECT_DOUBLE_EQ(r->max(), max);
}

Ref<LChartInternalDataPoint> point(double x, double y)
{
    auto p = LChartInternalDataPoint::init();
    p->setXValue(Value(x));
    p->setYValue(Value(y));
    return p;
}

} // namespace

TEST(LChartAxis, NewAxesStartWithUnitRanges)
{
    auto axis = LChartNumberAxis::init();
    expectRange(axis->axisRangeInternal(), 0, 1);
    expectRange(axis->defaultRangeInternal(), 0, 1);
    expectRange(axis->maxRange(), 0, 1);
    // Without valid data the data range comes from the empty drawing extent, widened.
    expectRange(axis->dataRangeInternal(), -0.5, 0.5);
    EXPECT_EQ(axis->zoom(), 1.0);
    EXPECT_EQ(axis->width().doubleValue(), 30.0);
    EXPECT_FALSE(axis->userSetWidth());
    EXPECT_EQ(axis->axisKey().rfind("LChartNumberAxis at 0x", 0), 0u);
    EXPECT_NE(axis->axisKey().find("axisRange = { 0.000000, 1.000000 }"), std::string::npos);
}

TEST(LChartAxis, GenericAxesAndBadRangesAreFatal)
{
    LogCapture log;
    FatalErrorsThrow fatal;
    auto generic = LChartAxis::init();
    EXPECT_THROW(generic->axisRange(), ChartFatalError);
    auto axis = LChartNumberAxis::init();
    EXPECT_THROW(axis->setRangeInternalWithMinimumAndMaximum(Value("a"), Value(1)), ChartFatalError);
    EXPECT_THROW(axis->setRangeInternalWithMinimumAndMaximum(Value(0), Value(INFINITY)), ChartFatalError);
    EXPECT_THROW(axis->setWidth(Value(NAN)), ChartFatalError);
    ASSERT_EQ(log.messages().size(), 4u);
    EXPECT_EQ(log.messages()[0].rfind("A generic LChartAxis has been created, use a subclass instead\nFrom: ", 0), 0u);
    EXPECT_EQ(log.messages()[1].rfind(" Range minimum and maximum must be of type NSNumber\nFrom: ", 0), 0u);
    EXPECT_EQ(log.messages()[2].rfind("Range minimum and maximum can't be infinite nor nans\nFrom: ", 0), 0u);
}

TEST(LChartAxis, EmptySpansAreIgnoredWithALogLine)
{
    LogCapture log;
    auto axis = LChartNumberAxis::init();
    EXPECT_FALSE(axis->setRangeInternalWithMinimumAndMaximum(Value(5), Value(5)));
    EXPECT_FALSE(axis->setRangeInternalWithMinimumAndMaximum(Value(6), Value(5)));
    ASSERT_EQ(log.messages().size(), 2u);
    EXPECT_EQ(log.messages()[0].rfind("Ignoring range with 0.000000 span\nFrom: ", 0), 0u);
    EXPECT_EQ(log.messages()[1].rfind("Ignoring range with -1.000000 span\nFrom: ", 0), 0u);
    expectRange(axis->axisRangeInternal(), 0, 1);
}

TEST(LChartAxis, VisibleRangesAreClampedToTheirLimits)
{
    struct Case {
        const char* name;
        bool allowMax;
        bool allowDefault;
        double currentMin, currentMax;
        double min, max;
        bool bounce;
        double expectMin, expectMax;
    } cases[] = {
        { "inside the maximum range", false, true, 0, 1, 90, 130, false, 60, 100 },
        { "wider than the limits", false, true, 0, 1, -50, 200, false, 0, 100 },
        { "bouncing a quarter span out", false, true, 60, 100, 90, 130, true, 70, 110 },
        { "both panning flags allow anything", true, true, 0, 1, -50, 200, false, -50, 200 },
        { "the default range wins", true, false, 0, 1, 90, 130, false, 60, 100 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto axis = LChartNumberAxis::init();
        axis->setAnimationEnabled(false);
        axis->setDefaultRange(range(0, 100));
        expectRange(axis->maxRange(), 0, 100);
        axis->setAllowPanningOutOfMaxRange(true);
        axis->setRangeInternalWithMinimumAndMaximum(Value(c.currentMin), Value(c.currentMax));
        axis->setAllowPanningOutOfMaxRange(c.allowMax);
        axis->setAllowPanningOutOfDefaultRange(c.allowDefault);
        axis->setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
            Value(c.min), Value(c.max), false, c.bounce);
        expectRange(axis->axisRangeInternal(), c.expectMin, c.expectMax);
        EXPECT_DOUBLE_EQ(axis->zoom(), 100.0 / (c.expectMax - c.expectMin));
    }
}

TEST(LChartAxis, RangeAnimationEasesOutOverTheMediaClock)
{
    ScopedVirtualClock clock;
    FakeAxisChart chart;
    auto axis = LChartNumberAxis::init();
    axis->setChart(&chart);
    axis->setAllowPanningOutOfMaxRange(true);
    axis->setRangeInternalWithMinimumAndMaximum(Value(0), Value(10));
    EXPECT_TRUE(axis->setRangeInternalWithMinimumAndMaximumWithAnimation(Value(10), Value(20), true));
    EXPECT_TRUE(axis->animatingRange());
    // The first step acts as if one frame had passed.
    double firstMin = axis->axisRangeInternal()->min();
    EXPECT_GT(firstMin, 0);
    EXPECT_LT(firstMin, 10);

    double previous = firstMin;
    int steps = 0;
    while (axis->animatingRange() && steps < 200) {
        clock.clock().moveWithoutDraining(1.0 / 60);
        runOnePass();
        EXPECT_GE(axis->axisRangeInternal()->min(), previous);
        previous = axis->axisRangeInternal()->min();
        ++steps;
    }
    EXPECT_FALSE(axis->animatingRange());
    EXPECT_GE(steps, 55);
    EXPECT_LE(steps, 58);
    expectRange(axis->axisRangeInternal(), 10, 20);
    EXPECT_FALSE(runOnePass());
    EXPECT_GT(chart.redraws, 50);
    EXPECT_EQ(chart.zoomingCalls, steps);
    axis->setChart(nullptr);
}

TEST(LChartAxis, StopAnimationsCancelsOnlyThatAxis)
{
    ScopedVirtualClock clock;
    auto moving = LChartNumberAxis::init();
    auto other = LChartNumberAxis::init();
    for (const auto& axis : { moving, other }) {
        axis->setAllowPanningOutOfMaxRange(true);
        axis->setRangeInternalWithMinimumAndMaximumWithAnimation(Value(5), Value(6), true);
    }
    moving->stopAnimations();
    clock.clock().moveWithoutDraining(1.0);
    runOnePass();
    EXPECT_NE(moving->axisRangeInternal()->min(), 5.0);
    expectRange(other->axisRangeInternal(), 5, 6);
    EXPECT_FALSE(runOnePass());
}

TEST(LChartAxis, DefaultAndDataRangesTakePaddingAndWidening)
{
    auto user = LChartNumberAxis::init();
    user->setRangePaddingLow(Value(1));
    user->setRangePaddingHigh(Value(2));
    user->setDefaultRange(range(0, 10));
    expectRange(user->defaultRangeInternal(), 0, 10);

    auto computed = LChartNumberAxis::init();
    computed->setRangePaddingLow(Value(1));
    computed->setRangePaddingHigh(Value(2));
    computed->setDefaultRangeInternal(range(0, 10));
    expectRange(computed->defaultRangeInternal(), -1, 12);

    LogCapture log;
    computed->setRangePaddingLow(Value("x"));
    EXPECT_EQ(computed->rangePaddingLow().intValue(), 1);
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_EQ(log.messages()[0].rfind("Range padding for must be of type: NSNumber\nFrom: ", 0), 0u);

    FakeAxisSeries series;
    computed->mapCoordinatesForDataPointInSeries(*point(7, 0), series);
    computed->updateGlRange();
    computed->refreshDataRange();
    expectRange(computed->dataRangeInternal(), 6.5, 7.5);
    EXPECT_FALSE(computed->dataRangeValid());
}

TEST(LChartAxis, RangesFollowTheMappedDataAndTheSeriesGroups)
{
    FakeAxisChart chart;
    auto axis = LChartNumberAxis::init();
    axis->setChart(&chart);
    FakeAxisSeries series;
    for (double x : { 3.0, -2.0, 8.0 }) {
        auto p = point(x, 0);
        axis->mapCoordinatesForDataPointInSeries(*p, series);
        EXPECT_EQ(p->xCoord(), x);
    }
    axis->updateGlRange();
    axis->updateRanges();
    expectRange(axis->dataRangeInternal(), -2, 8);
    EXPECT_TRUE(axis->dataRangeValid());
    // No series linked: the default range is the data range and so is the maximum range.
    expectRange(axis->defaultRangeInternal(), -2, 8);
    expectRange(axis->maxRange(), -2, 8);

    axis->linkSeries(Ref<LChartAxisSeries>(std::shared_ptr<LChartAxisSeries>(), &series));
    EXPECT_EQ(axis->visibleRangeInternal(), nullptr);
    chart.groupRanges = { range(1, 4), range(-5, 2) };
    expectRange(axis->visibleRangeInternal(), -5, 4);
    axis->setChart(nullptr);
}

TEST(LChartAxis, EnsuringAValueIsVisibleMovesByATenthOfTheSpan)
{
    auto free = LChartNumberAxis::init();
    free->setAnimationEnabled(false);
    free->setAllowPanningOutOfMaxRange(true);
    free->setRangeInternalWithMinimumAndMaximum(Value(0), Value(100));
    EXPECT_TRUE(free->ensureValueIsVisible(99));
    expectRange(free->axisRangeInternal(), 9, 109);
    EXPECT_FALSE(free->ensureValueIsVisible(50));

    auto limited = LChartNumberAxis::init();
    limited->setAnimationEnabled(false);
    limited->setDefaultRange(range(0, 100));
    limited->setRangeInternalWithMinimumAndMaximum(Value(0), Value(100));
    EXPECT_FALSE(limited->ensureValueIsVisible(99));
    expectRange(limited->axisRangeInternal(), 0, 100);
}

TEST(LChartAxis, WidthsFallBackWhenInvalid)
{
    LogCapture log;
    FakeAxisChart chart;
    auto axis = LChartNumberAxis::init();
    axis->setChart(&chart);
    axis->setWidth(Value(1000));
    EXPECT_EQ(axis->width().doubleValue(), 300);
    EXPECT_FALSE(axis->userSetWidth());
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_EQ(
        log.messages()[0].rfind(
            "Defaulting axis width, invalid value given\nWidth Value given:1000\nWidth Value used:300\nFrom: ", 0),
        0u);
    axis->setWidth(Value(40));
    EXPECT_TRUE(axis->userSetWidth());
    EXPECT_EQ(axis->width().doubleValue(), 40);

    axis->style()->majorTickStyle()->setShowTicks(true);
    axis->style()->majorTickStyle()->setLineLength(Value(4));
    axis->setWidth(Value());
    EXPECT_EQ(axis->width().doubleValue(), 9); // gap 5 + length 4
    axis->setChart(nullptr);
}

TEST(LChartAxis, MapsValuesToPixelsAndBack)
{
    LogCapture log;
    FakeAxisChart chart;
    chart.drawer.frameRect = { { 10, 20 }, { 200, 100 } };
    auto x = LChartNumberAxis::init();
    x->setAnimationEnabled(false);
    x->setAllowPanningOutOfMaxRange(true);
    x->setChart(&chart);
    x->setRangeInternalWithMinimumAndMaximum(Value(0), Value(10));
    EXPECT_FLOAT_EQ(x->pixelValueForDataValue(Value(2.5)), 50);
    EXPECT_FLOAT_EQ(x->pixelValueForDataValue(Value(10)), 200);
    EXPECT_DOUBLE_EQ(x->scaleDataValueForPixelValue(50), 2.5);
    EXPECT_DOUBLE_EQ(x->mapDataValueForPixelValue(60), 2.5);
    EXPECT_DOUBLE_EQ(x->dataValueForPixelValue(50).doubleValue(), 2.5);
    EXPECT_DOUBLE_EQ(x->mapPixelValueForDataValueUsingSeries(2.5, nullptr), 60);
    EXPECT_DOUBLE_EQ(x->dataValueFromCoord(3.25).doubleValue(), 3.25);

    auto y = LChartNumberAxis::init();
    y->setAxisOrientation(1);
    y->setAnimationEnabled(false);
    y->setAllowPanningOutOfMaxRange(true);
    y->setChart(&chart);
    y->setRangeInternalWithMinimumAndMaximum(Value(0), Value(10));
    EXPECT_FLOAT_EQ(y->pixelValueForDataValue(Value(0)), 100);
    EXPECT_FLOAT_EQ(y->pixelValueForDataValue(Value(10)), 0);

    chart.hasView = false;
    EXPECT_DOUBLE_EQ(x->dataValueFromCoord(3.25).doubleValue(), 3.25);
    x->setAxisRangeInternal(nullptr);
    EXPECT_EQ(x->pixelValueForDataValue(Value(1)), -1.0f);
    ASSERT_FALSE(log.messages().empty());
    EXPECT_EQ(
        log.messages().back().rfind("Calling pixelValueForDataValue: before an axisRange has been set.\nFrom: ", 0),
        0u);
    x->setChart(nullptr);
    y->setChart(nullptr);
}

TEST(LChartAxis, BarAndColumnSlots)
{
    auto axis = LChartNumberAxis::init();
    FakeAxisSeries columns;
    columns.barColumn = true;
    for (double x : { 4.0, 1.0, 2.0, 1.0000001, 1.0000004 })
        columns.data->dataPoints().push_back(point(x, 0));
    FakeAxisSeries bars; // orientation 1: ignored on an X axis
    bars.barColumn = true;
    bars.seriesOrientation = 1;
    bars.data->dataPoints().push_back(point(100, 0));
    axis->recalculateBarColumns({ Ref<LChartAxisSeries>(std::shared_ptr<void>(), &columns),
        Ref<LChartAxisSeries>(std::shared_ptr<void>(), &bars) });
    EXPECT_EQ(axis->barColMin().doubleValue(), 1);
    EXPECT_EQ(axis->barColMax().doubleValue(), 4);
    // 1, 1.0000001 and 1.0000004 print alike with "%f" and count as one value.
    EXPECT_DOUBLE_EQ(axis->barColSpacing(), 2 - 1.0000004);
    EXPECT_FALSE(axis->recalculateBarColumnsRequired());

    struct Case {
        double setPadding, padding;
        int32_t slot;
        double expectCentre, expectWidth;
    } cases[] = {
        { 0, 0, 0, 4.75, 0.5 },
        { 0, 0, 1, 5.25, 0.5 },
        { 0.2, 0.5, 0, 4.8, 0.2 },
        { 0.2, 0.5, 1, 5.2, 0.2 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.slot);
        auto slots = LChartNumberAxis::init();
        slots->configureBarColumnsWithMinWithMax(1, Value(0), Value(10));
        slots->style()->setInterSeriesSetPadding(Value(c.setPadding));
        slots->style()->setInterSeriesPadding(Value(c.padding));
        FakeAxisSeries s;
        s.count = 2;
        s.slot = c.slot;
        auto p = point(5, 0);
        slots->mapCoordinatesForBarColumnChartDataPointInSeries(*p, s);
        EXPECT_NEAR(p->xCoord(), c.expectCentre, 1e-12);
        EXPECT_NEAR(s.width.doubleValue(), c.expectWidth, 1e-12);
    }

    auto single = LChartNumberAxis::init();
    single->configureBarColumnsWithMinWithMax(0, Value(7), Value(7));
    FakeAxisSeries s;
    auto p = point(7, 0);
    single->mapCoordinatesForBarColumnChartDataPointInSeries(*p, s);
    EXPECT_EQ(single->barColSpacing(), 1.0);
    EXPECT_EQ(single->glMin(), 6.5f);
    EXPECT_EQ(single->glMax(), 7.5f);
}

TEST(LChartAxis, StubCopiesCarryWhatMappingNeedsAndHandItBack)
{
    auto axis = LChartNumberAxis::init();
    axis->setAxisOrientation(1);
    axis->configureBarColumnsWithMinWithMax(2, Value(1), Value(9));
    auto copy = axis->stubCopyOfAxisForDataLoading();
    EXPECT_TRUE(copy->isMemberOfClass(LChartNumberAxis::classObject()));
    EXPECT_EQ(copy->axisKey(), axis->axisKey());
    EXPECT_EQ(copy->axisOrientation(), 1);
    EXPECT_EQ(copy->style(), axis->style());
    EXPECT_EQ(copy->barColSpacing(), 2);

    FakeAxisSeries series;
    auto p = point(0, 42);
    copy->mapCoordinatesForDataPointInSeries(*p, series);
    axis->reconfigureFromStubbedAxisCopy(*copy);
    expectRange(axis->glRange(), 42, 42);
}

TEST(LChartAxis, TitlesAddTheirHeightToTheSpaceNeeded)
{
    auto axis = LChartNumberAxis::init();
    EXPECT_EQ(axis->spaceRequiredToDrawWithTitle(true), 0);
    axis->setTitle("Altitude");
    EXPECT_EQ(axis->title(), "Altitude");
    float height = static_cast<float>(axis->titleLabel()->frame().size.height);
    EXPECT_GT(height, 0);
    EXPECT_EQ(axis->spaceRequiredToDrawWithTitle(true), height);
    EXPECT_EQ(axis->spaceRequiredToDrawWithTitle(false), 0);
    axis->titleLabel()->setHidden(true);
    EXPECT_EQ(axis->spaceRequiredToDrawWithTitle(true), 0);
}
