#include "charts/LChartBubbleSeries.h"

#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartiOS7Theme.h"
#include "charts/tests/RecordingDrawer.h"
#include "foundation/Value.h"
#include "graphics/UIColor.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Ref<LChartInternalDataPoint> point(double x, double y, bool selected = false, double area = 0)
{
    auto p = LChartInternalDataPoint::init();
    p->setXValue(Value(x));
    p->setYValue(Value(y));
    p->setXCoord(x);
    p->setYCoord(y);
    p->setSelected(selected);
    if (area > 0)
        p->setValues(Value::dictionary({ { Value("Area"), Value(area) } }));
    return p;
}

} // namespace

TEST(LChartBubbleSeries, ScalesTheLargestBubbleToTheDiameterAndRefusesBadSettings)
{
    auto series = LChartBubbleSeries::init();
    series->addDataPoint(point(0, 1, false, M_PI * 4));
    series->addDataPoint(point(1, 2, false, M_PI));
    EXPECT_DOUBLE_EQ(series->largestBubbleDiameterWithScaling(false), 4);
    RecordingDrawer drawer; // a 200 x 100 plot area: the largest bubble is 50 across
    series->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
    EXPECT_DOUBLE_EQ(series->autoScale().doubleValue(), 12.5);
    EXPECT_DOUBLE_EQ(series->radiusForDataPoint(*point(0, 0, false, M_PI * 4)), 25);

    series->setScale(Value(-1));
    EXPECT_TRUE(series->scale().isNil());
    series->setBiggestBubbleDiameterForAutoScaling(Value(-3));
    EXPECT_TRUE(series->biggestBubbleDiameterForAutoScaling().isNil());
    series->setScale(Value(2));
    EXPECT_TRUE(series->autoScaleForBubblesConstrainedByDiameter(50).isNil());
    EXPECT_EQ(series->stringForKeyWithDataPoint("Area", nullptr), "Bubble Value: ");

    // Bubbles without area: no scale instead of a division by zero.
    auto empty = LChartBubbleSeries::init();
    empty->addDataPoint(point(0, 1));
    EXPECT_TRUE(empty->autoScaleForBubblesConstrainedByDiameter(50).isNil());
    EXPECT_EQ(empty->radiusForDataPoint(*point(0, 1)), 0);
}
