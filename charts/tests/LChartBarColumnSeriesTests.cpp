#include "charts/LChartBarColumnSeries.h"

#include "charts/LChartBandSeriesStyle.h"
#include "charts/LChartBarSeries.h"
#include "charts/LChartColumnSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/tests/ChartSeriesFixtures.h"
#include "charts/tests/RecordingDrawer.h"
#include "graphics/UIColor.h"

#include <gtest/gtest.h>

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
