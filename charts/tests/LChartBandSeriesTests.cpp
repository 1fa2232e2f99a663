#include "charts/LChartBandSeries.h"

#include "charts/LChartBandSeriesStyle.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/tests/RecordingDrawer.h"
#include "foundation/Value.h"

#include <gtest/gtest.h>

namespace {

// A band point mapped along x: position x, keyed y coordinates "High" and "Low".
Ref<LChartInternalDataPoint> bandPoint(double x, double high, double low)
{
    auto p = LChartInternalDataPoint::init();
    p->setXValue(Value(x));
    p->setYValue(Value(high));
    p->setXCoord(x);
    p->setYCoords(Value::dictionary({ { Value("High"), Value(high) }, { Value("Low"), Value(low) } }));
    return p;
}

} // namespace

TEST(LChartBandSeries, EachBinTakesAFillTwoLinesAndFourMarkerSlots)
{
    auto band = LChartBandSeries::init();
    EXPECT_EQ(band->orientation(), 0);
    band->setNumberOfDataPointsInBin(2);
    band->addDataPoint(bandPoint(0, 5, 1));
    band->addDataPoint(bandPoint(2, 1, 5));
    band->addDataPoint(bandPoint(4, 3, 3));
    RecordingDrawer drawer;
    band->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});

    std::vector<std::string> primitives;
    for (const auto& call : drawer.calls)
        primitives.push_back(call.primitive);
    const std::vector<std::string> perBin = { "drawBandSeriesFill", "drawLineStrip", "drawLineStrip", "drawDataPoints",
        "drawDataPoints", "drawDataPoints", "drawDataPoints" };
    ASSERT_EQ(primitives.size(), 2 * perBin.size());
    EXPECT_TRUE(std::equal(perBin.begin(), perBin.end(), primitives.begin()));
    // The fill is handed over even without a fill style; the second bin starts at the first's last point.
    EXPECT_EQ(drawer.calls[0].data, (std::vector<float> { 0, 5, 2, 1 }));
    EXPECT_EQ(drawer.calls[7].data, (std::vector<float> { 2, 1, 4, 3 }));
    EXPECT_EQ(band->nextAvailableRenderDataIndices().at("Triangles"), 2);
    EXPECT_EQ(band->nextAvailableRenderDataIndices().at("Points"), 12);
    EXPECT_EQ(band->nextAvailableRenderDataIndices().at("Lines"), 4);

    // A band whose first point carries keyed x coordinates runs along y.
    auto vertical = LChartBandSeries::init();
    auto p = LChartInternalDataPoint::init();
    p->setXValue(Value(1));
    p->setYValue(Value(0));
    p->setXCoords(Value::dictionary({ { Value("High"), Value(2) }, { Value("Low"), Value(1) } }));
    vertical->addDataPoint(p);
    EXPECT_EQ(vertical->orientation(), 1);
    EXPECT_EQ(vertical->orderedKeysForDataValues(), (std::vector<std::string> { "High", "Low" }));
}
