#include "charts/LChartOHLCSeries.h"

#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/tests/InternalPointFixtures.h"
#include "charts/tests/RecordingDrawer.h"
#include "foundation/Value.h"
#include "graphics/UIColor.h"

#include <gtest/gtest.h>

TEST(LChartOHLCSeries, BuffersPricesWithRisingAndFallingColours)
{
    auto series = LChartOHLCSeries::init();
    series->style()->setRisingColor(UIColor::colorWithRedGreenBlueAlpha(0, 1, 0, 1));
    series->style()->setFallingColor(UIColor::colorWithRedGreenBlueAlpha(1, 0, 0, 1));
    series->addDataPoint(pricePoint(1, 10, 14, 6, 10));
    series->addDataPoint(pricePoint(2, 12, 15, 7, 8));
    RecordingDrawer drawer;
    series->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
    ASSERT_EQ(drawer.calls.size(), 1u);
    EXPECT_EQ(drawer.calls[0].primitive, "drawOHLCPoints");
    EXPECT_EQ(drawer.calls[0].data, (std::vector<float> { 1, 14, 10, 10, 6, 2, 15, 12, 8, 7 }));
    EXPECT_EQ(series->orderedKeysForDataValues(), (std::vector<std::string> { "Open", "High", "Low", "Close" }));
}
