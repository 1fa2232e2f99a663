#include "charts/LChartBarColumnSeries.h"

#include "charts/LChartBandSeriesStyle.h"
#include "charts/LChartBarSeries.h"
#include "charts/LChartColumnSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/tests/ChartSeriesFixtures.h"
#include "charts/tests/RecordingDrawer.h"
#include "graphics/UIColor.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

Ref<LChartInternalDataPoint> point(double x, double y)
{
    auto p = LChartInternalDataPoint::init();
    p->setXValue(Value(x));
    p->setYValue(Value(y));
    p->setXCoord(x);
    p->setYCoord(y);
    return p;
}

} // namespace

TEST(LChartBarColumnSeries, FillsAndOutlinesEachBinAndWarnsOfSharedSlots)
{
    auto handler = std::make_shared<RecordingErrorHandler>();
    auto columns = LChartColumnSeries::init(handler);
    EXPECT_EQ(columns->orientation(), 0);
    columns->style()->setShowArea(true);
    columns->style()->setAreaColor(UIColor::colorWithRedGreenBlueAlpha(0, 0, 1, 1));
    columns->style()->setLineColor(UIColor::colorWithRedGreenBlueAlpha(0, 0, 0, 1));
    columns->addDataPoint(point(1, 4));
    columns->addDataPoint(point(1, 2));
    RecordingDrawer drawer;
    columns->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
    ASSERT_EQ(drawer.calls.size(), 2u);
    EXPECT_EQ(drawer.calls[0].primitive, "barColumnFill");
    EXPECT_EQ(drawer.calls[1].primitive, "barColumnLine");
    EXPECT_EQ(drawer.calls[0].data, (std::vector<float> { 1, 4, 1, 2 }));
    ASSERT_EQ(handler->errors.size(), 1u);
    EXPECT_EQ(handler->errors[0],
        "Your bar/column series has multiple data points with the value of 1 on the X axis.  Both have been "
        "displayed, so the smaller values will have been obscured");

    // Bars pick their slot by y; without a line colour there is no outline.
    auto bars = LChartBarSeries::init(handler);
    EXPECT_EQ(bars->orientation(), 1);
    EXPECT_EQ(bars->changedValueOfDataPoint(*point(3, 7)).doubleValue(), 7);
    bars->style()->setShowArea(true);
    bars->addDataPoint(point(5, 1));
    RecordingDrawer barDrawer;
    bars->drawWithDrawerWithGLBaselineAndGLTranslation(barDrawer, 0, {});
    ASSERT_EQ(barDrawer.calls.size(), 1u);
    EXPECT_EQ(barDrawer.calls[0].primitive, "barColumnFill");
    EXPECT_EQ(bars->distanceComparisonModeForPoint(), 2);
}

TEST(LChartBarColumnSeries, ATouchHitsOnlyInsideTheNearestRectangle)
{
    auto columns = LChartColumnSeries::init(std::make_shared<RecordingErrorHandler>());
    columns->addDataPoint(point(1, 4));
    columns->addDataPoint(point(2, -3));
    columns->setSeriesWidth(Value(0.5));
    auto bars = LChartBarSeries::init(std::make_shared<RecordingErrorHandler>());
    bars->addDataPoint(point(4, 1));
    bars->addDataPoint(point(-3, 2));
    bars->setSeriesWidth(Value(0.5));
    FakeHitTestChart chart(0, 10, -5, 5);

    constexpr double kMiss = std::numeric_limits<double>::max();
    const struct {
        LChartBarColumnSeries* series;
        LChartPoint touch;
        double distance;
    } cases[] = {
        // A negative column is hit between its value and the baseline.
        { columns.get(), { 2.1, -1 }, 0 },
        { columns.get(), { 2.1, -3.5 }, kMiss },
        { columns.get(), { 1.3, 2 }, kMiss },
        // Edges count as inside.
        { columns.get(), { 2.25, 0 }, 0 },
        { columns.get(), { 0.75, 4 }, 0 },
        // Bars lie along x, their slot on y.
        { bars.get(), { -1, 2.2 }, 0 },
        { bars.get(), { 3.9, 0.8 }, 0 },
        { bars.get(), { 4.1, 1 }, kMiss },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.touch.x) + ", " + std::to_string(c.touch.y));
        LChartSeriesDistanceInfo info;
        c.series->distanceInfoToPointInChartIsOnlySeries(info, c.touch, chart, false);
        ASSERT_TRUE(info.dataPoint);
        EXPECT_EQ(info.distance, c.distance);
    }
}

TEST(LChartBarColumnSeries, AStackedRectangleIsHitWhereTheStackLiftedIt)
{
    auto columns = LChartColumnSeries::init(std::make_shared<RecordingErrorHandler>());
    auto p = point(1, 3);
    p->setYCoord(8);
    columns->addDataPoint(p);
    columns->setSeriesWidth(Value(1));
    columns->setIsStacked(true);
    FakeHitTestChart chart(0, 10, 0, 10);

    for (bool withBaseline : { false, true }) {
        SCOPED_TRACE(withBaseline);
        if (withBaseline)
            columns->setBaseline(Value(0));
        LChartSeriesDistanceInfo inside;
        columns->distanceInfoToPointInChartIsOnlySeries(inside, { 1, 6 }, chart, true);
        EXPECT_EQ(inside.distance, 0);
        EXPECT_EQ(inside.resolvedPoint.x, 1);
        EXPECT_EQ(inside.resolvedPoint.y, 8);
        LChartSeriesDistanceInfo below;
        columns->distanceInfoToPointInChartIsOnlySeries(below, { 1, 2 }, chart, true);
        EXPECT_EQ(below.distance, std::numeric_limits<double>::max());
    }
}
