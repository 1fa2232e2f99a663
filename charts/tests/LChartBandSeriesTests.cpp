#include "charts/LChartBandSeries.h"

#include "charts/LChartBandSeriesStyle.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartSeriesStyle.h"
#include "charts/tests/RecordingDrawer.h"
#include "foundation/Value.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

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

TEST(LChartBandSeries, CountsEveryCrossingOfItsLinesInABin)
{
    struct Case {
        const char* name;
        std::vector<std::array<double, 3>> points; // x, high, low
        float crossings;
    };
    const Case cases[] = {
        { "never crossing", { { 0, 5, 1 }, { 1, 6, 2 }, { 2, 7, 3 } }, 0 },
        { "touching counts as above", { { 0, 5, 1 }, { 1, 3, 3 }, { 2, 7, 3 } }, 0 },
        { "crossing three times", { { 0, 5, 1 }, { 1, 1, 5 }, { 2, 5, 1 }, { 3, 5, 1 }, { 4, 0, 2 } }, 3 },
        { "starting inverted", { { 0, 1, 5 }, { 1, 1, 5 }, { 2, 9, 5 } }, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto band = LChartBandSeries::init();
        band->setNumberOfDataPointsInBin(100);
        for (const auto& [x, high, low] : c.points)
            band->addDataPoint(bandPoint(x, high, low));
        RecordingDrawer drawer;
        band->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
        ASSERT_FALSE(drawer.calls.empty());
        ASSERT_EQ(drawer.calls[0].primitive, "drawBandSeriesFill");
        EXPECT_EQ(drawer.calls[0].scalars, std::vector<float> { c.crossings });
    }
}

TEST(LChartBandSeries, ASelectedBandTakesEachMarkerValueFromTheSelectedStyleOrElseTheNormalOne)
{
    auto band = LChartBandSeries::init();
    band->addDataPoint(bandPoint(0, 5, 1));
    band->addDataPoint(bandPoint(1, 4, 2));
    auto markers = LChartPointStyle::init();
    markers->setShowPoints(true);
    markers->setColor(UIColor::redColor());
    markers->setColorBelowBaseline(UIColor::blueColor());
    markers->setRadius(Value(4.0f));
    band->style()->setPointStyle(markers);
    // The selected style names a colour only.
    auto selectedMarkers = LChartPointStyle::init();
    selectedMarkers->setColor(UIColor::greenColor());
    band->selectedStyle()->setPointStyle(selectedMarkers);

    // Unselected markers: low ends in the below colour, high ends in the colour.
    auto markerCalls = [&](bool selected) {
        band->setSelected(selected);
        band->invalidateAllBins();
        RecordingDrawer drawer;
        band->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
        std::vector<RecordingDrawer::Call> calls;
        for (const auto& call : drawer.calls)
            if (call.primitive == "drawDataPoints")
                calls.push_back(call);
        return calls;
    };
    auto normal = markerCalls(false);
    ASSERT_EQ(normal.size(), 4u);
    const auto red = RecordingDrawer::rgba(UIColor::redColor().get());
    const auto blue = RecordingDrawer::rgba(UIColor::blueColor().get());
    const auto green = RecordingDrawer::rgba(UIColor::greenColor().get());
    EXPECT_EQ(normal[0].colours[0], blue);
    EXPECT_EQ(normal[1].colours[0], red);
    float radius = normal[0].scalars[0];
    EXPECT_GT(radius, 0);

    auto selected = markerCalls(true);
    ASSERT_EQ(selected.size(), 4u);
    EXPECT_EQ(selected[0].colours[0], blue); // no below colour in the selected style
    EXPECT_EQ(selected[1].colours[0], green);
    EXPECT_FLOAT_EQ(selected[0].scalars[0], radius); // no radius in the selected style
    EXPECT_FLOAT_EQ(selected[1].scalars[0], radius);
}
