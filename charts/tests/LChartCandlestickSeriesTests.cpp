#include "charts/LChartCandlestickSeries.h"

#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/tests/InternalPointFixtures.h"
#include "charts/tests/RecordingDrawer.h"
#include "foundation/Value.h"
#include "graphics/UIColor.h"

#include <gtest/gtest.h>

TEST(LChartCandlestickSeries, BuffersBodyTopBeforeBodyBottomWhicheverWayThePriceWent)
{
    auto series = LChartCandlestickSeries::init();
    series->addDataPoint(pricePoint(1, 12, 15, 7, 8));
    series->addDataPoint(pricePoint(2, 8, 15, 7, 12));
    RecordingDrawer drawer;
    series->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
    ASSERT_EQ(drawer.calls.size(), 1u);
    EXPECT_EQ(drawer.calls[0].primitive, "drawCandlesticks");
    EXPECT_EQ(drawer.calls[0].data, (std::vector<float> { 1, 15, 12, 8, 7, 2, 15, 12, 8, 7 }));

    // An empty bin draws nothing and takes no slots.
    auto empty = LChartCandlestickSeries::init();
    RecordingDrawer none;
    empty->drawWithDrawerWithGLBaselineAndGLTranslation(none, 0, {});
    EXPECT_TRUE(none.calls.empty());
}
