#include "charts/LChartTheme.h"

#include "charts/LChartBandSeries.h"
#include "charts/LChartBandSeriesStyle.h"
#include "charts/LChartBarSeries.h"
#include "charts/LChartCandlestickSeries.h"
#include "charts/LChartColumnSeries.h"
#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartLightTheme.h"
#include "charts/LChartOHLCSeries.h"
#include "charts/LChartPieSeries.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartScatterSeries.h"
#include "charts/LChartSeriesStyle.h"
#include "graphics/UIColor.h"

#include <functional>

#include <gtest/gtest.h>

TEST(LChartTheme, LooksUpStylesByIndexModuloTheList)
{
    auto theme = LChartTheme::init();
    EXPECT_EQ(theme->lineSeriesStyles().size(), 6u);
    EXPECT_EQ(theme->lineSeriesSelectedStyles().size(), 6u);
    struct Case {
        int32_t index;
        size_t expected;
    } cases[] = { { 0, 0 }, { 6, 0 }, { 7, 1 }, { -1, 3 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(theme->lineSeriesStyleForSeriesAtIndex(c.index, false), theme->lineSeriesStyles()[c.expected]);
        EXPECT_EQ(theme->lineSeriesStyleForSeriesAtIndex(c.index, true), theme->lineSeriesSelectedStyles()[c.expected]);
        EXPECT_EQ(theme->donutSeriesStyleForSeriesAtIndex(c.index, false), theme->donutSeriesStyles()[0]);
    }
    EXPECT_NE(theme->lineSeriesStyleForSeriesAtIndex(2, true), theme->lineSeriesStyleForSeriesAtIndex(2, false));
    EXPECT_EQ(LChartTheme::seriesStyleForSeriesAtIndex<LChartLineSeriesStyle>(3, false, {}, {}), nullptr);
}

TEST(LChartTheme, SelectedStylesAreDerivedAndAltered)
{
    auto theme = LChartTheme::init();
    auto line = theme->lineSeriesStyleForSeriesAtIndex(0, true);
    EXPECT_EQ(line->pointStyle()->color(), theme->paletteColor(LChartTheme::RedLight));
    EXPECT_FALSE(line->pointStyle()->showPoints());
    EXPECT_EQ(line->pointStyle()->radius().floatValue(), 6);
    EXPECT_EQ(line->lineColor(), UIColor::grayColor());
    EXPECT_EQ(line->lineWidth().floatValue(), 4);
    EXPECT_NE(line->pointStyle(), theme->lineSeriesStyles()[0]->pointStyle());

    auto column = theme->columnSeriesStyleForSeriesAtIndex(2, true);
    EXPECT_EQ(column->areaColor(), theme->paletteColor(LChartTheme::BlueLight));
    EXPECT_EQ(column->areaColorGradient(), theme->paletteColor(LChartTheme::BlueDark));
    EXPECT_EQ(column->lineWidth().floatValue(), 4);

    auto scatter = theme->scatterSeriesStyleForSeriesAtIndex(0, true);
    EXPECT_EQ(scatter->pointStyle()->radius().floatValue(), 9);
    EXPECT_EQ(std::static_pointer_cast<LChartPointStyle>(scatter->pointStyle())->innerRadius().floatValue(), 3);
    EXPECT_EQ(theme->ohlcSeriesStyleForSeriesAtIndex(0, true)->trunkWidth().floatValue(), 4.5);
    EXPECT_EQ(theme->ohlcSeriesStyleForSeriesAtIndex(0, true)->armWidth().floatValue(), 4.5);
    EXPECT_EQ(theme->candlestickSeriesStyleForSeriesAtIndex(0, true)->outlineWidth().floatValue(), 2);
    EXPECT_EQ(theme->candlestickSeriesStyleForSeriesAtIndex(0, true)->stickWidth().floatValue(), 4);
    EXPECT_EQ(theme->bandSeriesStyleForSeriesAtIndex(0, true)->lineWidth().floatValue(), 4);
    auto donut = theme->donutSeriesStyleForSeriesAtIndex(0, true);
    EXPECT_EQ(donut->flavourColors(), theme->donutSeriesStyles()[0]->flavourColors());
    EXPECT_EQ(donut->crustThickness().floatValue(), 5);

    // Bubble colours follow the scatter colours as they were made.
    auto bubble = theme->bubbleSeriesStyleForSeriesAtIndex(4, false);
    EXPECT_EQ(bubble->pointStyle()->color(), theme->scatterSeriesStyles()[4]->pointStyle()->color());
    EXPECT_EQ(theme->bubbleSeriesStyleForSeriesAtIndex(4, true)->selectedPointStyle()->color(),
        bubble->selectedPointStyle()->color());

    // Later palette changes reach no style already built.
    auto oldRed = theme->paletteColor(LChartTheme::RedLight);
    theme->setPaletteColor(LChartTheme::RedLight, UIColor::cyanColor());
    EXPECT_EQ(theme->lineSeriesStyles()[0]->lineColor(), oldRed);
}

TEST(LChartTheme, ChartLevelStylesAndCopies)
{
    auto theme = LChartTheme::init();
    EXPECT_EQ(theme->xAxisStyle()->interSeriesPadding().floatValue(), 0.2f);
    EXPECT_EQ(theme->yAxisStyle()->interSeriesPadding().floatValue(), 0.0f);
    EXPECT_EQ(theme->yAxisStyle()->titleStyle()->titleOrientation(), 1);
    EXPECT_FALSE(theme->xAxisStyle()->minorTickStyle()->showLabels());
    EXPECT_EQ(theme->legendStyle()->marginWidth().floatValue(), 5);
    EXPECT_EQ(theme->crosshairStyle()->defaultKeyValuesPerRow().intValue(), 2);
    EXPECT_EQ(theme->boxGestureStyle()->boxLineWidth(), 2);
    EXPECT_EQ(theme->regularFontName, "Futura");

    auto copy = theme->copy();
    EXPECT_TRUE(copy->isMemberOfClass(LChartTheme::classObject()));
    EXPECT_NE(copy->legendStyle(), theme->legendStyle());
    EXPECT_EQ(copy->legendStyle()->marginWidth(), theme->legendStyle()->marginWidth());
    EXPECT_EQ(copy->paletteColor(LChartTheme::BlueDark), theme->paletteColor(LChartTheme::BlueDark));
    copy->legendStyle()->setMarginWidth(Value(9));
    EXPECT_EQ(theme->legendStyle()->marginWidth().floatValue(), 5);
    EXPECT_NE(copy->lineSeriesStyles()[0], theme->lineSeriesStyles()[0]);
}

TEST(LChartTheme, SeriesOfEveryKindSupplementTheirOwnStylesFromTheTheme)
{
    auto theme = LChartLightTheme::init();
    auto red = UIColor::colorWithRedGreenBlueAlpha(1, 0, 0, 1);
    struct Case {
        const char* name;
        Ref<LChartSeries> series;
        // Reads a colour of the series' normal style (and, with a colour given, sets it first).
        std::function<Ref<UIColor>(const Ref<LChartSeriesStyle>&, const Ref<UIColor>&)> colour;
    };
    auto field = [](auto getter, auto setter) {
        return [getter, setter](const Ref<LChartSeriesStyle>& style, const Ref<UIColor>& set) -> Ref<UIColor> {
            if (set)
                setter(style, set);
            return getter(style);
        };
    };
    auto barColumn = field(
        [](const Ref<LChartSeriesStyle>& s) {
            return std::dynamic_pointer_cast<LChartBarColumnSeriesStyle>(s)->areaColor();
        },
        [](const Ref<LChartSeriesStyle>& s, const Ref<UIColor>& c) {
            std::dynamic_pointer_cast<LChartBarColumnSeriesStyle>(s)->setAreaColor(c);
        });
    auto ohlc = field(
        [](const Ref<LChartSeriesStyle>& s) {
            return std::dynamic_pointer_cast<LChartOHLCSeriesStyle>(s)->risingColor();
        },
        [](const Ref<LChartSeriesStyle>& s, const Ref<UIColor>& c) {
            std::dynamic_pointer_cast<LChartOHLCSeriesStyle>(s)->setRisingColor(c);
        });
    const Case cases[] = {
        { "column", LChartColumnSeries::init(), barColumn },
        { "bar", LChartBarSeries::init(), barColumn },
        { "band", LChartBandSeries::init(),
            field(
                [](const Ref<LChartSeriesStyle>& s) {
                    return std::dynamic_pointer_cast<LChartBandSeriesStyle>(s)->lineColorHigh();
                },
                [](const Ref<LChartSeriesStyle>& s, const Ref<UIColor>& c) {
                    std::dynamic_pointer_cast<LChartBandSeriesStyle>(s)->setLineColorHigh(c);
                }) },
        { "scatter", LChartScatterSeries::init(),
            field(
                [](const Ref<LChartSeriesStyle>& s) {
                    return std::dynamic_pointer_cast<LChartPointSeriesStyle>(s)->pointStyle()->color();
                },
                [](const Ref<LChartSeriesStyle>& s, const Ref<UIColor>& c) {
                    std::dynamic_pointer_cast<LChartPointSeriesStyle>(s)->pointStyle()->setColor(c);
                }) },
        { "ohlc", LChartOHLCSeries::init(), ohlc },
        { "candlestick", LChartCandlestickSeries::init(), ohlc },
        { "pie", LChartPieSeries::init(),
            field(
                [](const Ref<LChartSeriesStyle>& s) {
                    return std::dynamic_pointer_cast<LChartDonutSeriesStyle>(s)->labelFontColor();
                },
                [](const Ref<LChartSeriesStyle>& s, const Ref<UIColor>& c) {
                    std::dynamic_pointer_cast<LChartDonutSeriesStyle>(s)->setLabelFontColor(c);
                }) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // An unset colour comes from the theme.
        ASSERT_TRUE(c.series->baseStyle());
        c.series->applyStylesFromThemeAtStyleIndexPreservingSetValues(*theme, 0, true);
        auto themed = c.colour(c.series->themeStyle(*theme, 0, false), nullptr);
        ASSERT_TRUE(themed);
        EXPECT_TRUE(c.colour(c.series->baseStyle(), nullptr));
        // A colour the user set survives a later theme.
        c.colour(c.series->baseStyle(), red);
        c.series->applyStylesFromThemeAtStyleIndexPreservingSetValues(*theme, 1, true);
        EXPECT_EQ(c.colour(c.series->baseStyle(), nullptr), red);
    }
}
