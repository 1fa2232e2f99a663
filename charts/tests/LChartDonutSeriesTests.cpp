#include "charts/LChartDonutSeries.h"

#include "charts/LChartDataSeries.h"
#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartPieSeries.h"
#include "charts/tests/ChartSeriesFixtures.h"
#include "charts/tests/RecordingDrawer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Ref<LChartInternalDataPoint> slice(double value)
{
    auto p = LChartInternalDataPoint::init();
    p->setXValue(Value("slice"));
    p->setYValue(Value(value));
    return p;
}

} // namespace

TEST(LChartDonutSeries, SlicesSweepTheirShareAndBadValuesDrawNothing)
{
    auto handler = std::make_shared<RecordingErrorHandler>();
    auto donut = LChartDonutSeries::init(handler);
    donut->setInnerRadius(20);
    donut->setOuterRadius(40);
    for (double value : { 1.0, -1.0, 3.0 })
        donut->dataSeries()->dataPoints().push_back(slice(value));
    RecordingDrawer drawer;
    donut->drawWithDrawer(drawer);
    ASSERT_EQ(drawer.calls.size(), 3u);
    const auto& points = donut->dataSeries()->dataPoints();
    EXPECT_NEAR(points[0]->yCoord() - points[0]->xCoord(), M_PI / 2, 1e-6);
    // The negative slice is reported and drawn with no sweep.
    EXPECT_EQ(points[1]->yCoord() - points[1]->xCoord(), 0);
    EXPECT_NEAR(points[2]->yCoord(), 2 * M_PI, 1e-5);
    EXPECT_EQ(handler->errors, std::vector<std::string> { "Datapoint.yValue must be positive." });
    EXPECT_EQ(donut->donutCenter().x, 100.5); // the middle of the 200 x 100 surface

    // A ring whose values add up to nothing draws no slice (no NaN angles).
    auto empty = LChartPieSeries::init(handler);
    empty->dataSeries()->dataPoints().push_back(slice(0));
    RecordingDrawer none;
    empty->drawWithDrawer(none);
    empty->updateWithDrawer(none);
    EXPECT_TRUE(none.calls.empty());
}

TEST(LChartDonutSeries, ProtrusionFollowsTheSelectionStatusAndAShortStatusListReadsAsZero)
{
    auto donut = LChartDonutSeries::init();
    donut->style()->setProtrusion(0);
    donut->selectedStyle()->setProtrusion(10);
    for (double value : { 1.0, 1.0 })
        donut->dataSeries()->dataPoints().push_back(slice(value));
    EXPECT_EQ(donut->datapointProtrusion(1), 0);
    donut->setSelectedStatusAtIndex(0, 1);
    EXPECT_NEAR(donut->datapointProtrusion(0), 10, 1e-3);
    donut->dataSeries()->dataPoints()[1]->setSelected(true);
    donut->resetSelectedStatus();
    EXPECT_EQ(donut->selectedStatus(), (std::vector<float> { 0, 1 }));
}
