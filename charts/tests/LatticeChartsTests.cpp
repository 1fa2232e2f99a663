#include "charts/LatticeCharts.h"

#include "charts/LChartDarkTheme.h"
#include "charts/LChartLightTheme.h"
#include "charts/LChartMidnightTheme.h"
#include "charts/LChartiOS7Theme.h"
#include "uikit/UIDevice.h"

#include <gtest/gtest.h>

namespace {

// Restores the simulated device and the shared settings after each test.
class DeviceScope {
public:
    ~DeviceScope()
    {
        UIDevice::resetForTesting();
        LatticeCharts::resetSharedInstanceForTesting();
    }
};

bool sameColor(const Ref<UIColor>& a, const Ref<UIColor>& b)
{
    return a && b && a->isEqual(b.get());
}

Ref<UIColor> rgba(CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
    return UIColor::colorWithRedGreenBlueAlpha(r, g, b, a);
}

} // namespace

TEST(LatticeCharts, DefaultThemeFollowsTheSystemVersion)
{
    DeviceScope scope;
    struct Case {
        const char* version;
        Class expected;
    } cases[] = {
        { "7.0", LChartiOS7Theme::classObject() },
        { "7.0.4", LChartiOS7Theme::classObject() },
        { "7.1", LChartiOS7Theme::classObject() },
        { "10.0", LChartiOS7Theme::classObject() },
        { "6.1.3", LChartLightTheme::classObject() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        UIDevice::currentDevice()->setSystemVersion(c.version);
        LatticeCharts::resetSharedInstanceForTesting();
        EXPECT_TRUE(LatticeCharts::theme()->isMemberOfClass(c.expected));
        EXPECT_EQ(LatticeCharts::sharedInstance(), LatticeCharts::sharedInstance());
    }
    auto midnight = LChartMidnightTheme::init();
    LatticeCharts::setTheme(midnight);
    EXPECT_EQ(LatticeCharts::theme(), midnight);
    EXPECT_TRUE(LatticeCharts::theme()->copy()->isMemberOfClass(LChartMidnightTheme::classObject()));
}

TEST(LatticeCharts, TheIOS7LookSelectsWithItsOwnColours)
{
    DeviceScope scope;
    UIDevice::currentDevice()->setSystemVersion("7.1");
    auto theme = LChartiOS7Theme::init();
    EXPECT_EQ(theme->regularFontName, "HelveticaNeue");
    auto column = theme->columnSeriesStyleForSeriesAtIndex(1, true);
    EXPECT_EQ(column->areaColor(), theme->colours()[1]);
    EXPECT_EQ(column->areaColorGradient(), theme->selectedColours()[1]);
    EXPECT_TRUE(sameColor(column->lineColor(), UIColor::clearColor()));
    auto line = theme->lineSeriesStyleForSeriesAtIndex(1, true);
    EXPECT_EQ(line->lineColor(), theme->selectedColours()[1]);
    EXPECT_EQ(line->pointStyle()->color(), theme->selectedColours()[1]);
    EXPECT_EQ(line->lineWidth().floatValue(), 0.5f);
    EXPECT_FALSE(theme->lineSeriesStyleForSeriesAtIndex(0, false)->useSeriesSymbols());

    auto donut = theme->donutSeriesStyleForSeriesAtIndex(0, false);
    EXPECT_TRUE(donut->showLabels());
    EXPECT_FALSE(donut->showCrust());
    EXPECT_EQ(donut->labelFontColor(), theme->chartStyle()->backgroundColor());
    EXPECT_EQ(donut->flavourColors(), theme->colours());
    EXPECT_EQ(theme->donutSeriesStyleForSeriesAtIndex(0, true)->flavourColors(), theme->selectedColours());
    EXPECT_EQ(theme->scatterSeriesStyleForSeriesAtIndex(2, true)->pointStyle()->color(), theme->selectedColours()[2]);
}

TEST(LatticeCharts, LightAndDarkLooksSizeTheirTitlesByIdiom)
{
    DeviceScope scope;
    struct Case {
        UIUserInterfaceIdiom idiom;
        float title, axisTitle;
    } cases[] = { { UIUserInterfaceIdiomPad, 24, 18 }, { UIUserInterfaceIdiomPhone, 16, 12 } };
    for (const auto& c : cases) {
        UIDevice::currentDevice()->setUserInterfaceIdiom(c.idiom);
        for (Ref<LChartTheme> theme :
            { Ref<LChartTheme>(LChartLightTheme::init()), Ref<LChartTheme>(LChartDarkTheme::init()) }) {
            SCOPED_TRACE(theme->className());
            EXPECT_EQ(theme->regularFontName, "Nunito-Regular");
            ASSERT_TRUE(theme->chartTitleStyle()->font());
            EXPECT_EQ(theme->chartTitleStyle()->font()->pointSize(), c.title);
            EXPECT_EQ(theme->xAxisStyle()->titleStyle()->font()->pointSize(), c.axisTitle);
            EXPECT_EQ(theme->lineSeriesStyles()[0]->lineWidth().floatValue(), 2);
        }
    }
    auto dark = LChartDarkTheme::init();
    const auto& flavours = dark->donutSeriesStyles()[0]->flavourColors();
    ASSERT_EQ(flavours.size(), 8u);
    EXPECT_TRUE(sameColor(flavours[0], rgba(0.6078, 0.298, 0.5922, 1)));
    EXPECT_TRUE(sameColor(flavours[6], rgba(0.9608, 0.3961, 0.1843, 1)));
    EXPECT_TRUE(sameColor(flavours[7], rgba(0.098, 0.3647, 0.4157, 1)));
}

TEST(LatticeCharts, TheMidnightLookKeepsTheBaseColoursItAlreadyUsed)
{
    auto theme = LChartMidnightTheme::init();
    EXPECT_TRUE(sameColor(theme->ohlcSeriesStyles()[0]->risingColor(), rgba(0.404, 0.705, 0.434, 1)));
    EXPECT_TRUE(sameColor(theme->midnight_greenColorLight(), rgba(0.03, 0.697, 0.3, 1)));
    EXPECT_EQ(theme->regularFontName, "Futura");
    auto donut = theme->donutSeriesStyles()[0];
    EXPECT_EQ(donut->chartEffect(), 3);
    EXPECT_EQ(donut->flavourColors().size(), 6u);
    EXPECT_EQ(donut->flavourColors()[0], theme->midnight_blueColorLight());
    EXPECT_EQ(theme->candlestickSeriesStyles()[0]->stickColor(), nullptr);
    // Selected styles follow the base rules.
    EXPECT_EQ(theme->scatterSeriesStyleForSeriesAtIndex(0, true)->pointStyle()->radius().floatValue(), 7.5f);
}
