#include "charts/LChartLegendSymbol.h"

#include "charts/LChartBandSeries.h"
#include "charts/LChartBandSeriesStyle.h"
#include "charts/LChartBarSeries.h"
#include "charts/LChartBubbleSeries.h"
#include "charts/LChartCandlestickSeries.h"
#include "charts/LChartColumnSeries.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartDonutSeries.h"
#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartLegendItem.h"
#include "charts/LChartLegendSymbolBandSeries.h"
#include "charts/LChartLegendSymbolBarSeries.h"
#include "charts/LChartLegendSymbolBlock.h"
#include "charts/LChartLegendSymbolBlockSplit.h"
#include "charts/LChartLegendSymbolCandlestickSeries.h"
#include "charts/LChartLegendSymbolColumnSeries.h"
#include "charts/LChartLegendSymbolDonutSeries.h"
#include "charts/LChartLegendSymbolLineSeries.h"
#include "charts/LChartLegendSymbolOHLCSeries.h"
#include "charts/LChartLegendSymbolPieSeries.h"
#include "charts/LChartLegendSymbolPointSeries.h"
#include "charts/LChartLegendSymbolScatterSeries.h"
#include "charts/LChartLineSeries.h"
#include "charts/LChartOHLCSeries.h"
#include "charts/LChartPieSeries.h"
#include "charts/LChartPointSeries.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartScatterSeries.h"
#include "charts/LChartStepLineSeries.h"
#include "charts/tests/RecordedDrawing.h"
#include "graphics/UIColor.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// What the view draws into a recording context of its size, one operation a line.

std::vector<std::string> matching(const std::vector<std::string>& lines, const std::string& prefix)
{
    std::vector<std::string> found;
    for (const auto& line : lines)
        if (line.rfind(prefix, 0) == 0)
            found.push_back(line);
    return found;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}

Ref<UIColor> rgb(CGFloat r, CGFloat g, CGFloat b)
{
    return UIColor::colorWithRedGreenBlueAlpha(r, g, b, 1);
}

} // namespace

// A legend item that answers only for the title and the series symbol.
class TitleAndSymbolItem final : public NSObject, public LChartLegendItem {
    VX_OBJECT(TitleAndSymbolItem, NSObject)
public:
    explicit TitleAndSymbolItem(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<TitleAndSymbolItem> init() { return make<TitleAndSymbolItem>(); }
    std::optional<std::string> titleForSeriesInLegend() override { return "Supplied"; }
    std::optional<Ref<UIView>> symbolForSeriesInLegend() override { return symbol; }
    Ref<UIView> symbol = UIView::init();
};

TEST(LChartLegendSymbol, TheLineSymbolKeepsItsLineAndMarkerWithinTheHeight)
{
    auto series = LChartLineSeries::init();
    const auto& style = series->style();
    style->setLineWidth(Value(25));
    style->setLineColor(rgb(1, 0, 0));
    auto symbol = LChartLegendSymbolLineSeries::initWithSeries(*series);
    symbol->setFrame(CGRectMake(0, 0, 24, 30));
    // Without fill and points only the line is drawn, 20 wide (two thirds of 30) through the middle.
    EXPECT_EQ(joined(recordedDrawing(*symbol)), "stroke M 0 15.5 L 24 15.5 width 20 rgba(1, 0, 0, 1)\n");

    // The style object the symbol kept shows its later changes: the fill below the line and a
    // marker no larger than half the height.
    style->setShowFill(true);
    style->setAreaColor(rgb(0, 0, 1));
    style->pointStyle()->setShowPoints(true);
    style->pointStyle()->setRadius(Value(40));
    style->pointStyle()->setColor(rgb(0, 1, 0));
    style->setLineWidth(Value(6));
    symbol->setFrame(CGRectMake(0, 0, 24, 20));
    auto lines = recordedDrawing(*symbol);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "fill M 0 13.5 L 24 13.5 L 24 24 L 0 24 Z rgba(0, 0, 1, 1)");
    EXPECT_EQ(lines[2], "radialGradient {12.5, 10.5} 0 {12.5, 10.5} 10 options 0");

    // A style set on the series afterwards is not the symbol's.
    series->setStyle(LChartLineSeriesStyle::init());
    EXPECT_EQ(symbol->style(), style);
}

TEST(LChartLegendSymbol, BlocksDrawOnlyTheColoursTheyHave)
{
    struct Case {
        const char* name;
        Ref<UIColor> area;
        Ref<UIColor> outline;
        std::string expected;
    };
    const std::string frame
        = "stroke M 0.5 0.5 L 0.5 19.5 L 29.5 19.5 L 29.5 0.5 L 0.5 0.5 Z width 1 rgba(0, 0, 0, 1)\n";
    std::vector<Case> cases = {
        { "neither", nullptr, nullptr, "" },
        { "outline only", nullptr, rgb(0, 0, 0), frame },
        { "both", rgb(1, 0, 0), rgb(0, 0, 0), "fill M 0 0 L 30 0 L 30 20 L 0 20 Z rgba(1, 0, 0, 1)\n" + frame },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto block = LChartLegendSymbolBlock::initWithAreaColorAndOutlineColor(c.area, c.outline);
        block->setFrame(CGRectMake(0, 0, 30, 20));
        EXPECT_EQ(joined(recordedDrawing(*block)), c.expected);
    }

    // A split block clears itself, then fills the triangle above the diagonal and the one below.
    auto split = LChartLegendSymbolBlockSplit::initWithAreaColorAndLowAreaColorAndOutlineColor(
        rgb(1, 0, 0), rgb(0, 0, 1), nullptr);
    split->setFrame(CGRectMake(0, 0, 30, 20));
    EXPECT_EQ(joined(recordedDrawing(*split)),
        "clear {{0, 0}, {30, 20}}\n"
        "fill M 0 0 L 30 0 L 0 20 Z rgba(1, 0, 0, 1)\n"
        "fill M 30 20 L 0 20 L 30 0 Z rgba(0, 0, 1, 1)\n");
}

TEST(LChartLegendSymbol, FinancialSymbolsDrawTheirBodiesAndTicks)
{
    auto candles = LChartCandlestickSeries::init();
    auto style = std::dynamic_pointer_cast<LChartCandlestickSeriesStyle>(candles->style());
    ASSERT_TRUE(style);
    style->setRisingColor(rgb(0, 1, 0));
    style->setFallingColor(rgb(1, 0, 0));
    style->setStickColor(rgb(0, 0, 0));
    style->setOutlineColor(rgb(0, 0, 1));
    style->setOutlineWidth(Value(4));
    auto candle = LChartLegendSymbolCandlestickSeries::initWithSeries(*candles);
    candle->setFrame(CGRectMake(0, 0, 40, 20));
    // A body 10 wide (half the height) about x 20: rising half above falling half, wicks, and the
    // outline, whose ends overshoot by half its width (2) so that the corner closes.
    EXPECT_EQ(joined(recordedDrawing(*candle)),
        "fill M 15 5 L 25 5 L 25 10 L 15 10 Z rgba(0, 1, 0, 1)\n"
        "fill M 15 10 L 25 10 L 25 15 L 15 15 Z rgba(1, 0, 0, 1)\n"
        "stroke M 20 0 L 20 5 M 20 15 L 20 20 width 2 rgba(0, 0, 0, 1)\n"
        "stroke M 14 5 L 25 5 L 25 15 L 15 15 L 15 4 width 2 rgba(0, 0, 1, 1)\n");

    auto ohlc = LChartOHLCSeries::init();
    ohlc->style()->setRisingColor(rgb(0, 1, 0));
    ohlc->style()->setFallingColor(rgb(1, 0, 0));
    auto bars = LChartLegendSymbolOHLCSeries::initWithSeries(*ohlc);
    bars->setFrame(CGRectMake(0, 0, 40, 20));
    EXPECT_EQ(joined(recordedDrawing(*bars)),
        "stroke M 10 0 L 10 20 M 5 10 L 10 10 M 10 5 L 15 5 width 2 rgba(0, 1, 0, 1)\n"
        "stroke M 30 0 L 30 20 M 25 10 L 30 10 M 30 15 L 35 15 width 2 rgba(1, 0, 0, 1)\n");
}

TEST(LChartLegendSymbol, EachSeriesKindMakesItsOwnSymbolAndBlock)
{
    struct Case {
        const char* name;
        Ref<LChartSeries> series;
        Class symbol;
        Class block;
    };
    std::vector<Case> cases = {
        { "bar", LChartBarSeries::init(), LChartLegendSymbolBarSeries::classObject(),
            LChartLegendSymbolBlock::classObject() },
        { "column", LChartColumnSeries::init(), LChartLegendSymbolColumnSeries::classObject(),
            LChartLegendSymbolBlock::classObject() },
        { "line", LChartLineSeries::init(), LChartLegendSymbolLineSeries::classObject(),
            LChartLegendSymbolBlock::classObject() },
        { "step line", LChartStepLineSeries::init(), LChartLegendSymbolLineSeries::classObject(),
            LChartLegendSymbolBlock::classObject() },
        { "scatter", LChartScatterSeries::init(), LChartLegendSymbolScatterSeries::classObject(),
            LChartLegendSymbolBlock::classObject() },
        { "point", LChartPointSeries::init(), LChartLegendSymbolPointSeries::classObject(),
            LChartLegendSymbolBlock::classObject() },
        { "bubble", LChartBubbleSeries::init(), LChartLegendSymbolPointSeries::classObject(),
            LChartLegendSymbolBlock::classObject() },
        { "band", LChartBandSeries::init(), LChartLegendSymbolBandSeries::classObject(),
            LChartLegendSymbolBlockSplit::classObject() },
        { "candlestick", LChartCandlestickSeries::init(), LChartLegendSymbolCandlestickSeries::classObject(),
            LChartLegendSymbolBlockSplit::classObject() },
        { "OHLC", LChartOHLCSeries::init(), LChartLegendSymbolOHLCSeries::classObject(),
            LChartLegendSymbolBlockSplit::classObject() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto symbol = c.series->symbolForSeriesInLegend();
        ASSERT_TRUE(symbol);
        EXPECT_TRUE(symbol->isMemberOfClass(c.symbol)) << symbol->className();
        auto block = c.series->blockSymbolForSeriesInLegend();
        ASSERT_TRUE(block);
        EXPECT_TRUE(block->isMemberOfClass(c.block)) << block->className();
        EXPECT_EQ(c.series->symbolForSliceInLegend(0), nullptr);
    }
    // Radial series give slice symbols instead.
    EXPECT_EQ(LChartDonutSeries::init()->symbolForSeriesInLegend(), nullptr);
}

TEST(LChartLegendSymbol, BlocksTakeTheColoursOfTheStyleInForce)
{
    // A bar series: area and line colours, the area left out when the style hides it; while
    // selected, the selected style's colours where it has them.
    auto bar = LChartBarSeries::init();
    bar->style()->setShowArea(true);
    bar->style()->setAreaColor(rgb(1, 0, 0));
    bar->style()->setLineColor(rgb(0, 0, 0));
    auto block = std::dynamic_pointer_cast<LChartLegendSymbolBlock>(bar->blockSymbolForSeriesInLegend());
    ASSERT_TRUE(block);
    EXPECT_EQ(block->areaColor(), bar->style()->areaColor());
    EXPECT_EQ(block->outlineColor(), bar->style()->lineColor());
    bar->selectedStyle()->setShowArea(true);
    bar->selectedStyle()->setAreaColor(rgb(0, 1, 0));
    bar->selectedStyle()->setLineColor(nullptr);
    bar->setSelected(true);
    block = std::dynamic_pointer_cast<LChartLegendSymbolBlock>(bar->blockSymbolForSeriesInLegend());
    EXPECT_EQ(block->areaColor(), bar->selectedStyle()->areaColor());
    EXPECT_EQ(block->outlineColor(), bar->style()->lineColor());
    bar->selectedStyle()->setShowArea(false);
    block = std::dynamic_pointer_cast<LChartLegendSymbolBlock>(bar->blockSymbolForSeriesInLegend());
    EXPECT_EQ(block->areaColor(), nullptr);

    // A line series: the line colour for both unless it shows its fill.
    auto line = LChartLineSeries::init();
    line->style()->setLineColor(rgb(1, 0, 0));
    line->style()->setAreaColor(rgb(0, 0, 1));
    line->style()->setAreaLineColor(rgb(0, 1, 0));
    block = std::dynamic_pointer_cast<LChartLegendSymbolBlock>(line->blockSymbolForSeriesInLegend());
    EXPECT_EQ(block->areaColor(), line->style()->lineColor());
    EXPECT_EQ(block->outlineColor(), line->style()->lineColor());
    line->style()->setShowFill(true);
    block = std::dynamic_pointer_cast<LChartLegendSymbolBlock>(line->blockSymbolForSeriesInLegend());
    EXPECT_EQ(block->areaColor(), line->style()->areaColor());
    EXPECT_EQ(block->outlineColor(), line->style()->areaLineColor());

    // A candlestick series: rising over falling, framed in the stick colour.
    auto candles = LChartCandlestickSeries::init();
    auto style = std::dynamic_pointer_cast<LChartCandlestickSeriesStyle>(candles->style());
    style->setRisingColor(rgb(0, 1, 0));
    style->setFallingColor(rgb(1, 0, 0));
    style->setStickColor(rgb(0, 0, 0));
    auto split = std::dynamic_pointer_cast<LChartLegendSymbolBlockSplit>(candles->blockSymbolForSeriesInLegend());
    ASSERT_TRUE(split);
    EXPECT_EQ(split->areaColor(), style->risingColor());
    EXPECT_EQ(split->lowColor(), style->fallingColor());
    EXPECT_EQ(split->outlineColor(), style->stickColor());
}

TEST(LChartLegendSymbol, ALegendItemAnswersInTheSeriesPlaceWhereItCan)
{
    auto series = LChartLineSeries::init();
    series->setTitle("Own");
    EXPECT_EQ(series->titleForSeriesInLegend(), "Own");
    auto item = TitleAndSymbolItem::init();
    series->setLegendItem(std::static_pointer_cast<LChartLegendItem>(item));
    EXPECT_EQ(series->titleForSeriesInLegend(), "Supplied");
    EXPECT_EQ(series->symbolForSeriesInLegend(), item->symbol);
    // The item does not answer for the block, so the series does.
    auto block = series->blockSymbolForSeriesInLegend();
    ASSERT_TRUE(block);
    EXPECT_TRUE(block->isMemberOfClass(LChartLegendSymbolBlock::classObject()));
    // An item that has gone (it is not retained) leaves the series to answer.
    item.reset();
    EXPECT_EQ(series->titleForSeriesInLegend(), "Own");
}

TEST(LChartLegendSymbol, SliceSymbolsDrawTheirSliceThroughTheSeries)
{
    auto donut = LChartDonutSeries::init();
    auto pie = LChartPieSeries::init();
    for (const auto& series : { Ref<LChartDonutSeries>(donut), Ref<LChartDonutSeries>(pie) }) {
        for (const Value& name : { Value("North"), Value(42) }) {
            auto point = LChartInternalDataPoint::init();
            point->setXValue(name);
            point->setYValue(Value(1));
            series->dataSeries()->dataPoints().push_back(point);
        }
        series->style()->setShowFlavour(true);
        series->style()->mutableFlavourColors() = { rgb(1, 0, 0), rgb(0, 0, 1) };
        series->style()->setShowCrust(false);
        series->style()->setChartEffect(0);
    }
    EXPECT_EQ(donut->titleForSliceInLegend(0), "North");
    EXPECT_EQ(donut->titleForSliceInLegend(1), "42");
    EXPECT_EQ(donut->titleForSliceInLegend(2), "");

    auto slice = donut->symbolForSliceInLegend(1);
    ASSERT_TRUE(slice && slice->isMemberOfClass(LChartLegendSymbolDonutSeries::classObject()));
    EXPECT_EQ(std::static_pointer_cast<LChartLegendSymbolDonutSeries>(slice)->sliceIndex(), 1);
    auto wedge = pie->symbolForSliceInLegend(0);
    ASSERT_TRUE(wedge && wedge->isMemberOfClass(LChartLegendSymbolPieSeries::classObject()));

    // A 24 x 18 symbol: a quarter ring about the middle of the bottom edge, from radius 6
    // (a third of the height) to 12, filled in the slice's flavour; the pie's has no hole.
    slice->setFrame(CGRectMake(0, 0, 24, 18));
    auto fills = matching(recordedDrawing(*slice), "fill ");
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_NE(fills[0].find("M 7.757"), std::string::npos) << fills[0]; // 12 - 6 cos(pi/4)
    EXPECT_NE(fills[0].find("rgba(0, 0, 1, 1)"), std::string::npos);
    wedge->setFrame(CGRectMake(0, 0, 24, 18));
    fills = matching(recordedDrawing(*wedge), "fill ");
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rfind("fill M 12 18", 0), 0u) << fills[0];
    EXPECT_NE(fills[0].find("rgba(1, 0, 0, 1)"), std::string::npos);

    // A slice the series does not have draws nothing.
    auto missing = LChartLegendSymbolDonutSeries::initWithSeriesAndSliceIndex(donut, 5);
    missing->setFrame(CGRectMake(0, 0, 24, 18));
    EXPECT_TRUE(recordedDrawing(*missing).empty());
}
