#include "charts/LChartLineSeries.h"

#include "charts/LChartDataSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartLightTheme.h"
#include "charts/LChartOrderedDictionary.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartSeriesDataBin.h"
#include "charts/LChartStepLineSeries.h"
#include "charts/tests/ChartSeriesFixtures.h"
#include "charts/tests/ChartTestSupport.h"
#include "charts/tests/RecordingDrawer.h"
#include "graphics/UIColor.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A point whose drawing coordinates equal its values, as an identity mapping gives them.
Ref<LChartInternalDataPoint> point(double x, double y)
{
    auto p = LChartInternalDataPoint::init();
    p->setXValue(Value(x));
    p->setYValue(Value(y));
    p->setXCoord(x);
    p->setYCoord(y);
    return p;
}

template <typename Series> Ref<Series> seriesWith(std::initializer_list<std::pair<double, double>> points)
{
    auto series = Series::init();
    for (auto [x, y] : points)
        series->addDataPoint(point(x, y));
    return series;
}

} // namespace

TEST(LChartLineSeries, VerticesCrossTheBaselineTwiceAndStepLinesTurnCorners)
{
    auto line = seriesWith<LChartLineSeries>({ { 0, 2 }, { 4, -2 } });
    auto bin = line->dataBins().objectAtIndexAs<LChartSeriesDataBin>(0);
    EXPECT_EQ(line->renderDataPointsForDataBin(*bin, 0, 1).points, (std::vector<float> { 0, 2, 2, 0, 2, 0, 4, -2 }));

    auto step = seriesWith<LChartStepLineSeries>({ { 0, 2 }, { 4, -2 } });
    EXPECT_TRUE(step->stepLine());
    EXPECT_EQ(step->renderDataPointsForDataBin(*step->dataBins().objectAtIndexAs<LChartSeriesDataBin>(0), 0, 1).points,
        (std::vector<float> { 0, 2, 4, 2, 4, 0, 4, 0, 4, -2 }));

    // A point on the baseline counts as above it.
    auto touching = seriesWith<LChartLineSeries>({ { 0, 0 }, { 1, 3 } });
    EXPECT_EQ(touching->renderDataPointsForDataBin(*touching->dataBins().objectAtIndexAs<LChartSeriesDataBin>(0), 0, 1)
                  .points.size(),
        4u);
}

TEST(LChartLineSeries, ALaterBinStartsAtThePreviousBinsLastPoint)
{
    auto line = LChartLineSeries::init();
    line->setNumberOfDataPointsInBin(2);
    for (int i = 0; i < 4; ++i)
        line->addDataPoint(point(i, i + 1));
    auto first = line->dataBins().objectAtIndexAs<LChartSeriesDataBin>(0);
    auto second = line->dataBins().objectAtIndexAs<LChartSeriesDataBin>(1);
    EXPECT_EQ(line->renderDataPointsForDataBin(*first, 0, 1).points, (std::vector<float> { 0, 1, 1, 2 }));
    EXPECT_EQ(line->renderDataPointsForDataBin(*second, 0, 1).points, (std::vector<float> { 1, 2, 2, 3, 3, 4 }));
}

TEST(LChartLineSeries, FillOffsetsOnlyGrow)
{
    auto line = LChartLineSeries::init();
    EXPECT_TRUE(line->updateMaxOffsetsFromBaselineWithDataPoints({ point(0, 5), point(1, 8) }, 10));
    EXPECT_FLOAT_EQ(line->maxOffsetAboveBaseline(), 0.01f);
    EXPECT_FLOAT_EQ(line->maxOffsetBelowBaseline(), 5);
    EXPECT_FALSE(line->updateMaxOffsetsFromBaselineWithDataPoints({ point(0, 7) }, 10));
}

TEST(LChartLineSeries, DrawsEachBinAsAFillAndALineInItsStylesColours)
{
    auto line = seriesWith<LChartLineSeries>({ { 0, 1 }, { 1, 3 }, { 2, 2 } });
    line->applyStylesFromThemeAtStyleIndexPreservingSetValues(*LChartLightTheme::init(), 0, false);
    line->style()->setShowFill(true);
    RecordingDrawer drawer;
    line->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
    // The fill, the line, then the scatter markers: outer and inner, unselected and selected.
    ASSERT_EQ(drawer.calls.size(), 6u);
    EXPECT_EQ(drawer.calls[0].primitive, "horizontalFill");
    EXPECT_EQ(drawer.calls[1].primitive, "drawLineStrip");
    EXPECT_EQ(drawer.calls[5].primitive, "drawDataPoints");
    EXPECT_EQ(line->nextAvailableRenderDataIndices().at("Points"), 5);
    EXPECT_EQ(drawer.calls[1].data.size(), 6u);
    EXPECT_EQ(line->nextAvailableRenderDataIndices().at("Lines"), 1);
    EXPECT_EQ(line->nextAvailableRenderDataIndices().at("Triangles"), 1);
}

TEST(LChartLineSeries, CrosshairInterpolatesAlongTheTraceCoordinate)
{
    auto line = seriesWith<LChartLineSeries>({ { 1, 10 }, { 2, 20 }, { 3, 5 } });
    auto step = seriesWith<LChartStepLineSeries>({ { 1, 10 }, { 2, 20 }, { 3, 5 } });
    const struct {
        LChartLineSeries* series;
        int32_t trace;
        LChartPoint touch;
        LChartPoint expected;
    } cases[] = {
        { line.get(), 0, { 1.5, 0 }, { 1.5, 15 } },
        { step.get(), 0, { 1.5, 0 }, { 1.5, 10 } },
        // Tracing y, the line passes y 12 twice; the crossing nearest the touch in x wins.
        { line.get(), 1, { 2.9, 12 }, { 2 + 8.0 / 15, 12 } },
        { line.get(), 1, { 1.1, 12 }, { 1.2, 12 } },
        // Outside the line's reach the point itself is the answer.
        { line.get(), 0, { 9, 0 }, { 1, 10 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.trace) + " " + std::to_string(c.touch.x));
        c.series->style()->setLineCrosshairTraceStyle(c.trace);
        EXPECT_EQ(c.series->distanceComparisonModeForPoint(), c.trace + 1);
        LChartPoint at = c.series->interpolatePointForCoord(*c.series->dataSeries()->dataPoints()[0], c.touch);
        EXPECT_NEAR(at.x, c.expected.x, 1e-5);
        EXPECT_NEAR(at.y, c.expected.y, 1e-5);
    }

    FatalErrorsThrow fatal;
    line->style()->setLineCrosshairTraceStyle(2);
    EXPECT_THROW(line->distanceComparisonModeForPoint(), ChartFatalError);
}

TEST(LChartLineSeries, NearestPointGoesByDrawingPositionAndTheCrosshairFollowsTheLine)
{
    // Stacking raised the second point's drawing position above its own value.
    auto line = seriesWith<LChartLineSeries>({ { 0, 0 }, { 10, 10 } });
    line->dataSeries()->dataPoints()[1]->setYCoord(50);
    FakeHitTestChart chart(0, 100, 0, 100);

    LChartSeriesDistanceInfo info;
    line->distanceInfoToPointInChartIsOnlySeries(info, { 6, 40 }, chart, false);
    EXPECT_EQ(info.dataPoint, line->dataSeries()->dataPoints()[1]);
    EXPECT_NEAR(info.distance, std::hypot(0.04, 0.1), 1e-12);
    EXPECT_NEAR(info.resolvedPoint.x, 6, 1e-6);
    EXPECT_NEAR(info.resolvedPoint.y, 30, 1e-5);

    // Alone it is measured along x; without interpolation the crosshair sits on the point.
    chart.interpolates = false;
    LChartSeriesDistanceInfo only;
    line->distanceInfoToPointInChartIsOnlySeries(only, { 4, 40 }, chart, true);
    EXPECT_EQ(only.dataPoint, line->dataSeries()->dataPoints()[0]);
    EXPECT_DOUBLE_EQ(only.distance, 0.04);
    EXPECT_EQ(only.resolvedPoint.x, 0);
    EXPECT_EQ(only.resolvedPoint.y, 0);
}
