#include "charts/LChartScatterSeries.h"

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

TEST(LChartScatterSeries, DrawsOuterMarkersThenInnerDiscs)
{
    auto series = LChartScatterSeries::init();
    series->addDataPoint(point(0, 1));
    RecordingDrawer drawer;
    series->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
    EXPECT_EQ(drawer.calls.size(), 4u);
    EXPECT_EQ(series->nextAvailableRenderDataIndices().at("Points"), 4);
    EXPECT_FALSE(series->isDrawingOuterPoints());
}
