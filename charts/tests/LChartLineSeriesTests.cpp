#include "charts/LChartLineSeries.h"

#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartLightTheme.h"
#include "charts/LChartOrderedDictionary.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartSeriesDataBin.h"
#include "charts/LChartStepLineSeries.h"
#include "charts/tests/RecordingDrawer.h"
#include "graphics/UIColor.h"

#include <gtest/gtest.h>

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
