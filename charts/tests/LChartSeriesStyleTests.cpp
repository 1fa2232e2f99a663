#include "charts/LChartSeriesStyle.h"

#include "charts/LChartBandSeriesStyle.h"
#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartPointSeriesStyle.h"
#include "testing/LogCapture.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

std::string firstLine(const LogCapture& log)
{
    auto messages = log.messages();
    if (messages.empty())
        return "";
    return messages.back().substr(0, messages.back().find('\n'));
}

} // namespace

// Each row: a validating setter, the value given, whether it is kept, and the message.
TEST(LChartSeriesStyle, ValidatingSettersRefuseWithTheirMessages)
{
    LogCapture log;
    auto line = LChartLineSeriesStyle::init();
    auto band = LChartBandSeriesStyle::init();
    auto donut = LChartDonutSeriesStyle::init();
    auto point = LChartPointStyle::init();
    auto bubble = LChartBubblePointStyle::init();
    struct Case {
        const char* name;
        std::function<void()> set;
        std::function<Value()> read;
        Value expected;
        const char* message;
    } cases[] = {
        { "line width 0", [&] { line->setLineWidth(Value(0)); }, [&] { return line->lineWidth(); }, Value(),
            "Line series must have a line width greater than 0.f" },
        { "line width 0.5", [&] { line->setLineWidth(Value(0.5)); }, [&] { return line->lineWidth(); }, Value(0.5),
            "" },
        { "line width nil", [&] { line->setLineWidth(Value()); }, [&] { return line->lineWidth(); }, Value(), "" },
        { "band width 0.5", [&] { band->setLineWidth(Value(0.5)); }, [&] { return band->lineWidth(); }, Value(),
            "Band series can't have a line width less than one pixel" },
        { "band width 1", [&] { band->setLineWidth(Value(1)); }, [&] { return band->lineWidth(); }, Value(1), "" },
        { "inner radius without radius", [&] { point->setInnerRadius(Value(0)); }, [&] { return point->innerRadius(); },
            Value(), "LChartPointStyle: inner radius can't be greater than radius" },
        { "radius 0", [&] { point->setRadius(Value(0)); }, [&] { return point->radius(); }, Value(),
            "LChartPointStyle: radius must be greater than zero" },
        { "bubble radius 0", [&] { bubble->setRadius(Value(0)); }, [&] { return bubble->radius(); }, Value(),
            "LChartPointStyle: radius must be greater than zero" },
        { "radius 5", [&] { point->setRadius(Value(5)); }, [&] { return point->radius(); }, Value(5), "" },
        { "inner radius 5", [&] { point->setInnerRadius(Value(5)); }, [&] { return point->innerRadius(); }, Value(),
            "LChartPointStyle: inner radius can't be greater than radius" },
        { "inner radius 4.9", [&] { point->setInnerRadius(Value(4.9)); }, [&] { return point->innerRadius(); },
            Value(4.9), "" },
        { "inner radius -1", [&] { point->setInnerRadius(Value(-1)); }, [&] { return point->innerRadius(); },
            Value(4.9), "LChartPointStyle: inner radius can't be less than zero" },
        { "inner radius nil", [&] { point->setInnerRadius(Value()); }, [&] { return point->innerRadius(); }, Value(),
            "" },
        { "crust 0.5", [&] { donut->setCrustThickness(Value(0.5)); }, [&] { return donut->crustThickness(); }, Value(),
            "Donut series can't have a crust thickness less than one pixel" },
        { "protrusion -2", [&] { donut->setProtrusion(-2); }, [&] { return Value(donut->protrusion()); }, Value(0.0f),
            "Donut series can't have a negative protrusion" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        c.set();
        EXPECT_EQ(c.read(), c.expected);
        EXPECT_EQ(firstLine(log), c.message);
    }
    EXPECT_FALSE(donut->protrusionSet());
    donut->setProtrusion(0);
    EXPECT_TRUE(donut->protrusionSet());
}

TEST(LChartSeriesStyle, NewStylesShowWhatTheirSeriesShow)
{
    auto points = LChartPointSeriesStyle::init();
    EXPECT_TRUE(points->pointStyle()->showPoints());
    EXPECT_TRUE(points->selectedPointStyle()->showPointsSet());
    EXPECT_TRUE(points->pointStyle()->isMemberOfClass(LChartBasePointStyle::classObject()));
    EXPECT_TRUE(LChartScatterSeriesStyle::init()->pointStyle()->isMemberOfClass(LChartPointStyle::classObject()));
    EXPECT_TRUE(LChartBubbleSeriesStyle::init()->pointStyle()->isMemberOfClass(LChartBubblePointStyle::classObject()));

    auto line = LChartLineSeriesStyle::init();
    EXPECT_FALSE(line->pointStyle()->showPoints());
    EXPECT_FALSE(line->pointStyle()->showPointsSet());
    EXPECT_EQ(line->lineCrosshairTraceStyle(), 0);
    EXPECT_FALSE(LChartBandSeriesStyle::init()->pointStyle()->showPoints());

    auto bars = LChartColumnSeriesStyle::init();
    EXPECT_TRUE(bars->showArea());
    EXPECT_TRUE(bars->showAreaWithGradient());
    EXPECT_FALSE(bars->showAreaWasSet());
    EXPECT_EQ(LChartPieSeriesStyle::init()->chartEffect(), -1);
}

TEST(LChartSeriesStyle, SupplementChainsKeepUserValues)
{
    auto red = UIColor::redColor();
    auto blue = UIColor::blueColor();
    auto green = UIColor::greenColor();
    auto yellow = UIColor::yellowColor();

    // Line: markers decided by the theme unless the user chose; own colours kept.
    auto line = LChartLineSeriesStyle::init();
    line->setLineColor(red);
    auto themeLine = LChartLineSeriesStyle::init();
    themeLine->setLineColor(blue);
    themeLine->setLineWidth(Value(2));
    themeLine->setAreaLineWidth(Value(9));
    themeLine->setShowFill(true);
    themeLine->setUseSeriesSymbols(true);
    themeLine->pointStyle()->setShowPoints(true);
    themeLine->pointStyle()->setRadius(Value(4));
    std::static_pointer_cast<LChartPointStyle>(themeLine->pointStyle())->setInnerRadius(Value(2));
    line->supplementStyleFromStyle(*themeLine);
    EXPECT_EQ(line->lineColor(), red);
    EXPECT_EQ(line->lineWidth().intValue(), 2);
    EXPECT_TRUE(line->areaLineWidth().isNil());
    EXPECT_TRUE(line->showFill());
    EXPECT_FALSE(line->showFillSet());
    EXPECT_TRUE(line->useSeriesSymbols());
    EXPECT_TRUE(line->pointStyle()->showPoints());
    EXPECT_FALSE(line->pointStyle()->showPointsSet());
    EXPECT_EQ(std::static_pointer_cast<LChartPointStyle>(line->pointStyle())->innerRadius().intValue(), 2);

    // Bars: flags down, so a theme turns the fill off.
    auto bars = LChartBarSeriesStyle::init();
    auto themeBars = LChartBarSeriesStyle::init();
    themeBars->setShowArea(false);
    bars->supplementStyleFromStyle(*themeBars);
    EXPECT_FALSE(bars->showArea());

    // Donuts: the theme's colours continue the user's list.
    auto donut = LChartDonutSeriesStyle::init();
    donut->setFlavourColors({ red });
    auto themeDonut = LChartDonutSeriesStyle::init();
    themeDonut->setFlavourColors({ blue, green, yellow });
    donut->supplementStyleFromStyle(*themeDonut);
    EXPECT_EQ(donut->flavourColors(), (std::vector<Ref<UIColor>> { red, green, yellow }));
    EXPECT_EQ(donut->flavourColorAtIndex(7), green);
    auto own = LChartDonutSeriesStyle::init();
    own->setFlavourColors({ red, red, red, red });
    own->supplementStyleFromStyle(*themeDonut);
    EXPECT_EQ(own->flavourColors().size(), 4u);
    EXPECT_EQ(LChartDonutSeriesStyle::init()->crustColorAtIndex(3), nullptr);

    // Candlesticks never take trunk widths; bands never take the legend-symbol choice.
    auto candles = LChartCandlestickSeriesStyle::init();
    auto themeCandles = LChartCandlestickSeriesStyle::init();
    themeCandles->setTrunkWidth(Value(3));
    themeCandles->setStickColor(blue);
    candles->supplementStyleFromStyle(*themeCandles);
    EXPECT_TRUE(candles->trunkWidth().isNil());
    EXPECT_EQ(candles->stickColor(), blue);
    auto band = LChartBandSeriesStyle::init();
    auto themeBand = LChartBandSeriesStyle::init();
    themeBand->setUseSeriesSymbols(true);
    themeBand->setLineColorHigh(green);
    band->supplementStyleFromStyle(*themeBand);
    EXPECT_FALSE(band->useSeriesSymbols());
    EXPECT_EQ(band->lineColorHigh(), green);
}
