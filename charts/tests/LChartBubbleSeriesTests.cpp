#include "charts/LChartBubbleSeries.h"

#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartiOS7Theme.h"
#include "charts/tests/InternalPointFixtures.h"
#include "charts/tests/RecordingDrawer.h"
#include "foundation/Value.h"
#include "graphics/UIColor.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(LChartBubbleSeries, ScalesTheLargestBubbleToTheDiameterAndRefusesBadSettings)
{
    auto series = LChartBubbleSeries::init();
    series->addDataPoint(markerPoint(0, 1, false, M_PI * 4));
    series->addDataPoint(markerPoint(1, 2, false, M_PI));
    EXPECT_DOUBLE_EQ(series->largestBubbleDiameterWithScaling(false), 4);
    RecordingDrawer drawer; // a 200 x 100 plot area: the largest bubble is 50 across
    series->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
    EXPECT_DOUBLE_EQ(series->autoScale().doubleValue(), 12.5);
    EXPECT_DOUBLE_EQ(series->radiusForDataPoint(*markerPoint(0, 0, false, M_PI * 4)), 25);

    series->setScale(Value(-1));
    EXPECT_TRUE(series->scale().isNil());
    series->setBiggestBubbleDiameterForAutoScaling(Value(-3));
    EXPECT_TRUE(series->biggestBubbleDiameterForAutoScaling().isNil());
    series->setScale(Value(2));
    EXPECT_TRUE(series->autoScaleForBubblesConstrainedByDiameter(50).isNil());
    EXPECT_EQ(series->stringForKeyWithDataPoint("Area", nullptr), "Bubble Value: ");

    // Bubbles without area: no scale instead of a division by zero.
    auto empty = LChartBubbleSeries::init();
    empty->addDataPoint(markerPoint(0, 1));
    EXPECT_TRUE(empty->autoScaleForBubblesConstrainedByDiameter(50).isNil());
    EXPECT_EQ(empty->radiusForDataPoint(*markerPoint(0, 1)), 0);
}
