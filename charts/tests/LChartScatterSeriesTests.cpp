#include "charts/LChartScatterSeries.h"

#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartiOS7Theme.h"
#include "charts/tests/InternalPointFixtures.h"
#include "charts/tests/RecordingDrawer.h"
#include "foundation/Value.h"
#include "graphics/UIColor.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(LChartScatterSeries, DrawsOuterMarkersThenInnerDiscs)
{
    auto series = LChartScatterSeries::init();
    series->addDataPoint(markerPoint(0, 1));
    RecordingDrawer drawer;
    series->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
    EXPECT_EQ(drawer.calls.size(), 4u);
    EXPECT_EQ(series->nextAvailableRenderDataIndices().at("Points"), 4);
    EXPECT_FALSE(series->isDrawingOuterPoints());
}
