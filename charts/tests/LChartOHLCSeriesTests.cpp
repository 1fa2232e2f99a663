#include "charts/LChartOHLCSeries.h"

#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/tests/InternalPointFixtures.h"
#include "charts/tests/RecordingDrawer.h"
#include "foundation/Value.h"
#include "graphics/UIColor.h"

#include <gtest/gtest.h>

#include <array>

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

TEST(LChartOHLCSeries, ColoursEachPointByWhetherItClosedBelowItsOpen)
{
    const auto rising = RecordingDrawer::rgba(UIColor::greenColor().get());
    const auto falling = RecordingDrawer::rgba(UIColor::redColor().get());
    const auto selectedFalling = RecordingDrawer::rgba(UIColor::blueColor().get());
    struct Case {
        const char* name;
        double open, close;
        bool pointSelected;
        bool seriesSelected;
        std::array<CGFloat, 4> colour;
    };
    const Case cases[] = {
        { "rising", 10, 12, false, false, rising },
        { "falling", 12, 10, false, false, falling },
        { "unchanged counts as rising", 10, 10, false, false, rising },
        { "a falling point of a selected series takes the selected style", 12, 10, false, true, selectedFalling },
        // Outside the single-point selection mode a point goes by the series' selection.
        { "a selected point of an unselected series keeps the normal style", 12, 10, true, false, falling },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto series = LChartOHLCSeries::init();
        series->style()->setRisingColor(UIColor::greenColor());
        series->style()->setFallingColor(UIColor::redColor());
        series->selectedStyle()->setFallingColor(UIColor::blueColor());
        auto point = pricePoint(1, c.open, 20, 5, c.close);
        point->setSelected(c.pointSelected);
        series->setSelected(c.seriesSelected);
        series->addDataPoint(point);
        RecordingDrawer drawer;
        series->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
        ASSERT_EQ(drawer.calls.size(), 1u);
        // x, high, open, close, low
        EXPECT_EQ(drawer.calls[0].data, (std::vector<float> { 1, 20, float(c.open), float(c.close), 5 }));
        ASSERT_EQ(drawer.calls[0].colours.size(), 1u);
        EXPECT_EQ(drawer.calls[0].colours[0], c.colour);
    }
}
