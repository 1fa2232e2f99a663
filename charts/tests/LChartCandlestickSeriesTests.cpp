#include "charts/LChartCandlestickSeries.h"

#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/tests/ChartTestSupport.h"
#include "charts/tests/InternalPointFixtures.h"
#include "charts/tests/RecordingDrawer.h"
#include "foundation/Value.h"
#include "graphics/UIColor.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

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

namespace {

Ref<LChartCandlestickSeriesStyle> candleStyle(const Ref<LChartOHLCSeriesStyle>& style)
{
    return std::static_pointer_cast<LChartCandlestickSeriesStyle>(style);
}

} // namespace

TEST(LChartCandlestickSeries, BuffersEachCandleTopDownInTheColoursOfItsDirectionAndStyle)
{
    const auto rising = RecordingDrawer::rgba(UIColor::greenColor().get());
    const auto falling = RecordingDrawer::rgba(UIColor::redColor().get());
    const auto selectedRising = RecordingDrawer::rgba(UIColor::cyanColor().get());
    const auto selectedFalling = RecordingDrawer::rgba(UIColor::blueColor().get());
    struct Case {
        const char* name;
        double open, high, low, close;
        bool pointSelected, seriesSelected;
        int32_t selectionMode;
        std::vector<float> data; // position, high, body top, body bottom, low
        std::array<CGFloat, 4> colour;
    };
    const Case cases[] = {
        { "rising: the close is the body's top", 8, 15, 5, 12, false, false, 0, { 1, 15, 12, 8, 5 }, rising },
        { "falling: the open is the body's top", 12, 15, 5, 8, false, false, 0, { 1, 15, 12, 8, 5 }, falling },
        { "flat: drawn as rising", 10, 15, 5, 10, false, false, 0, { 1, 15, 10, 10, 5 }, rising },
        { "no wicks: high and low on the body", 8, 12, 8, 12, false, false, 0, { 1, 12, 12, 8, 8 }, rising },
        { "wicks far beyond a falling body", 12, 30, -4, 8, false, false, 0, { 1, 30, 12, 8, -4 }, falling },
        { "a falling candle of a selected series", 12, 15, 5, 8, false, true, 0, { 1, 15, 12, 8, 5 }, selectedFalling },
        { "a rising candle of a selected series", 8, 15, 5, 12, false, true, 0, { 1, 15, 12, 8, 5 }, selectedRising },
        { "single-point selection: a selected candle of an unselected series", 12, 15, 5, 8, true, false, 2,
            { 1, 15, 12, 8, 5 }, selectedFalling },
        { "single-point selection: an unselected candle of a selected series", 12, 15, 5, 8, false, true, 2,
            { 1, 15, 12, 8, 5 }, falling },
        { "otherwise a selected candle goes by its series", 12, 15, 5, 8, true, false, 0, { 1, 15, 12, 8, 5 },
            falling },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto series = LChartCandlestickSeries::init();
        series->style()->setRisingColor(UIColor::greenColor());
        series->style()->setFallingColor(UIColor::redColor());
        series->selectedStyle()->setRisingColor(UIColor::cyanColor());
        series->selectedStyle()->setFallingColor(UIColor::blueColor());
        series->setSelectionMode(c.selectionMode);
        series->setSelected(c.seriesSelected);
        auto point = pricePoint(1, c.open, c.high, c.low, c.close);
        point->setSelected(c.pointSelected);
        series->addDataPoint(point);
        RecordingDrawer drawer;
        series->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
        ASSERT_EQ(drawer.calls.size(), 1u);
        EXPECT_EQ(drawer.calls[0].data, c.data);
        ASSERT_EQ(drawer.calls[0].colours.size(), 1u);
        EXPECT_EQ(drawer.calls[0].colours[0], c.colour);
    }
}

TEST(LChartCandlestickSeries, OutlinesAndSticksFollowTheSelectedStyleOnlyWhileTheSeriesIsSelected)
{
    const auto white = RecordingDrawer::rgba(UIColor::whiteColor().get());
    const auto grey = RecordingDrawer::rgba(UIColor::grayColor().get());
    const auto blue = RecordingDrawer::rgba(UIColor::blueColor().get());
    struct Case {
        const char* name;
        bool seriesSelected;
        Value normalOutlineWidth;
        CGFloat screenScale;
        std::array<CGFloat, 4> outline, stick;
        std::vector<float> widths; // candle, outline, stick
    };
    // The selected style names an outline colour, an outline width of 0 and a stick width.
    const Case cases[] = {
        { "an unselected series takes the normal style", false, Value(2), 1, white, grey, { 0.5f, 2, 3 } },
        { "a selected series falls back where the selected style has no colour or a width of 0", true, Value(2), 1,
            blue, grey, { 0.5f, 2, 5 } },
        { "a negative outline width draws no outline width", false, Value(-1), 1, white, grey, { 0.5f, 0, 3 } },
        { "line widths scale with the screen, the candle width does not", false, Value(2), 2, white, grey,
            { 0.5f, 4, 6 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedScreenScale scale(c.screenScale);
        auto series = LChartCandlestickSeries::init();
        series->setSeriesWidth(Value(0.5f));
        auto normal = candleStyle(series->style());
        normal->setOutlineColor(UIColor::whiteColor());
        normal->setStickColor(UIColor::grayColor());
        normal->setOutlineWidth(c.normalOutlineWidth);
        normal->setStickWidth(Value(3));
        auto selected = candleStyle(series->selectedStyle());
        selected->setOutlineColor(UIColor::blueColor());
        selected->setOutlineWidth(Value(0));
        selected->setStickWidth(Value(5));
        series->setSelected(c.seriesSelected);
        series->addDataPoint(pricePoint(1, 8, 15, 5, 12));
        RecordingDrawer drawer;
        series->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
        ASSERT_EQ(drawer.calls.size(), 1u);
        EXPECT_EQ(drawer.calls[0].lineColours, (std::vector<std::array<CGFloat, 4>> { c.outline, c.stick }));
        EXPECT_EQ(drawer.calls[0].scalars, c.widths);
    }
}
