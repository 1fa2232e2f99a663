#include "charts/LChartPointSeries.h"

#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartiOS7Theme.h"
#include "charts/tests/InternalPointFixtures.h"
#include "charts/tests/RecordingDrawer.h"
#include "foundation/Value.h"
#include "graphics/UIColor.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(LChartPointSeries, DrawsUnselectedThenSelectedMarkersFromOneSlotCounter)
{
    auto series = LChartPointSeries::init();
    series->applyStylesFromThemeAtStyleIndexPreservingSetValues(*LChartiOS7Theme::init(), 0, false);
    series->style()->pointStyle()->setShowPoints(true);
    series->addDataPoint(markerPoint(0, 1));
    series->addDataPoint(markerPoint(1, 2, true));
    series->addDataPoint(markerPoint(2, 3));
    RecordingDrawer drawer;
    series->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
    ASSERT_EQ(drawer.calls.size(), 2u);
    EXPECT_EQ(drawer.calls[0].data, (std::vector<float> { 0, 1, 2, 3 }));
    EXPECT_EQ(drawer.calls[1].data, (std::vector<float> { 1, 2 }));
    EXPECT_EQ(drawer.calls[0].slots[0], 0);
    EXPECT_EQ(drawer.calls[1].slots[0], 1);
    EXPECT_EQ(series->nextAvailableRenderDataIndices().at("Points"), 2);
}
