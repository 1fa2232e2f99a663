#include "charts/LChartAxisStyle.h"

#include "charts/LChartStyle.h"
#include "testing/LogCapture.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.rfind(prefix, 0) == 0;
}

} // namespace

TEST(LChartAxisStyle, PaddingsAreValidatedAndDeprecatedNamesForward)
{
    LogCapture log;
    auto style = LChartAxisStyle::init();
    struct Case {
        std::function<void(LChartAxisStyle&, const Value&)> set;
        Value given;
        Value storedSeries; // interSeriesPadding afterwards
        std::vector<std::string> messages;
    } cases[] = {
        { &LChartAxisStyle::setInterSeriesPadding, Value(1.0), Value(0),
            { "interSeriesPadding must be less than 1 and greater than, or 0" } },
        { &LChartAxisStyle::setInterSeriesPadding, Value(0.999), Value(0.999), {} },
        { &LChartAxisStyle::setInterSeriesPadding, Value(-0.01), Value(0),
            { "interSeriesPadding must be less than 1 and greater than, or 0" } },
        { &LChartAxisStyle::setInterSeriesPadding, Value(), Value(), {} },
        { &LChartAxisStyle::setInterBarPadding, Value(0.3), Value(0.3),
            { "Using deprecated variable interBarPadding - use interSeriesPadding instead!" } },
        { &LChartAxisStyle::setInterBarPadding, Value(1.5), Value(0),
            { "Using deprecated variable interBarPadding - use interSeriesPadding instead!",
                "interSeriesPadding must be less than 1 and greater than, or 0" } },
        { &LChartAxisStyle::setInterBarPadding, Value(), Value(0), // nil leaves the padding alone
            { "Using deprecated variable interBarPadding - use interSeriesPadding instead!" } },
        { &LChartAxisStyle::setInterColumnPadding, Value(0.2), Value(0.2),
            { "Using deprecated variable interColumnPadding - use interSeriesPadding instead!" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given.description());
        log.clear();
        c.set(*style, c.given);
        EXPECT_EQ(style->interSeriesPadding(), c.storedSeries);
        ASSERT_EQ(log.messages().size(), c.messages.size());
        for (size_t i = 0; i < c.messages.size(); ++i)
            EXPECT_TRUE(startsWith(log.messages()[i], c.messages[i] + "\nFrom: ")) << log.messages()[i];
    }
    EXPECT_EQ(style->interBarPadding(), Value());
    log.clear();
    style->setInterBarSetPadding(Value(0.5));
    EXPECT_EQ(style->interSeriesSetPadding().doubleValue(), 0.5);
    EXPECT_EQ(style->interBarSetPadding().doubleValue(), 0.5);
}

// Each row: how a field of a style is set by the user and by the theme, and what supplementing
// and copying must leave.
TEST(LChartAxisStyle, SupplementKeepsUserValuesAndCopiesFollowEachClassRule)
{
    auto red = UIColor::redColor();
    auto blue = UIColor::blueColor();

    // Tick style: flag rule and object rule; the gap of a new style is never replaced.
    auto tick = LChartTickStyle::init();
    tick->setShowTicks(false);
    auto themeTick = LChartTickStyle::init();
    themeTick->setShowTicks(true);
    themeTick->setShowLabels(true);
    themeTick->setTickLabelOrientation(2);
    themeTick->setTickGap(Value(9.0));
    themeTick->setLineColor(blue);
    tick->supplementStyleFromStyle(*themeTick);
    EXPECT_FALSE(tick->showTicks());
    EXPECT_TRUE(tick->showTicksSet());
    EXPECT_TRUE(tick->showLabels());
    EXPECT_FALSE(tick->showLabelsSet());
    EXPECT_EQ(tick->tickLabelOrientation(), 2);
    EXPECT_FALSE(tick->tickLabelOrientationSet());
    EXPECT_EQ(tick->tickGap().doubleValue(), static_cast<double>(5.0f));
    EXPECT_EQ(tick->lineColor(), blue);
    // A second theme replaces what the first supplied.
    auto secondTheme = LChartTickStyle::init();
    secondTheme->setShowLabels(false);
    tick->supplementStyleFromStyle(*secondTheme);
    EXPECT_FALSE(tick->showLabels());

    auto tickCopy = tick->copy();
    EXPECT_FALSE(tickCopy->showTicksSet());
    EXPECT_EQ(tickCopy->tickLabelOrientation(), 0); // the second theme replaced it too
    EXPECT_EQ(tickCopy->lineColor(), blue);

    // Axis style: own objects kept, sub-styles supplemented.
    auto axis = LChartAxisStyle::init();
    axis->setLineColor(red);
    auto themeAxis = LChartAxisStyle::init();
    themeAxis->setLineColor(blue);
    themeAxis->setLineWidth(Value(2.0f));
    themeAxis->setInterSeriesPadding(Value(0.25));
    themeAxis->majorTickStyle()->setLabelColor(blue);
    themeAxis->majorGridLineStyle()->setShowMajorGridLines(true);
    themeAxis->titleStyle()->setTextAlign(1);
    axis->supplementStyleFromStyle(*themeAxis);
    EXPECT_EQ(axis->lineColor(), red);
    EXPECT_EQ(axis->lineWidth().doubleValue(), static_cast<double>(2.0f));
    EXPECT_EQ(axis->interSeriesPadding().doubleValue(), 0.25);
    EXPECT_EQ(axis->majorTickStyle()->labelColor(), blue);
    EXPECT_TRUE(axis->majorGridLineStyle()->showMajorGridLines());
    EXPECT_FALSE(axis->majorGridLineStyle()->showMajorGridLinesSet());
    EXPECT_EQ(axis->titleStyle()->textAlign(), 1);

    auto axisCopy = axis->copy();
    EXPECT_NE(axisCopy->majorTickStyle(), axis->majorTickStyle());
    EXPECT_NE(axisCopy->titleStyle(), axis->titleStyle());
    EXPECT_EQ(axisCopy->majorTickStyle()->labelColor(), blue);
    EXPECT_EQ(axisCopy->lineColor(), red);

    // Gridlines: a missing dash pattern becomes 10, 10; copies raise both flags.
    auto grid = LChartMajorGridlineStyle::init();
    EXPECT_TRUE(grid->dashStyle().isNil());
    auto gridCopy = grid->copy();
    EXPECT_EQ(gridCopy->dashStyle(), Value::array({ Value(10.0), Value(10.0) }));
    EXPECT_TRUE(gridCopy->showMajorGridLinesSet());
    EXPECT_TRUE(gridCopy->dashedMajorGridLinesSet());

    // Stripes: the copy's flag is down.
    auto stripes = LChartGridStripeStyle::init();
    stripes->setShowGridStripes(true);
    stripes->setStripeColor(red);
    auto stripesCopy = stripes->copy();
    EXPECT_TRUE(stripesCopy->showGridStripes());
    EXPECT_FALSE(stripesCopy->showGridStripesSet());
    EXPECT_EQ(stripesCopy->stripeColor(), red);

    // Axis titles: zero counts as unset; copies keep their class.
    auto title = LChartAxisTitleStyle::init();
    title->setTextAlign(0);
    title->setTitleOrientation(3);
    auto themeTitle = LChartAxisTitleStyle::init();
    themeTitle->setTextAlign(2);
    themeTitle->setTitleOrientation(1);
    themeTitle->setMinimumFontSize(8);
    title->supplementStyleFromStyle(*themeTitle);
    EXPECT_EQ(title->textAlign(), 2);
    EXPECT_EQ(title->titleOrientation(), 3);
    EXPECT_EQ(title->minimumFontSize(), 8);
    Ref<LChartTitleStyle> asBase = title;
    auto titleCopy = asBase->copy();
    EXPECT_TRUE(titleCopy->isMemberOfClass(LChartAxisTitleStyle::classObject()));
    EXPECT_EQ(std::static_pointer_cast<LChartAxisTitleStyle>(titleCopy)->titleOrientation(), 3);

    auto main = LChartMainTitleStyle::init();
    main->setOverlapChartTitle(true);
    main->setTitleCentresOn(1);
    main->setFont(UIFont::systemFontOfSize(12));
    auto mainCopy = main->copy();
    EXPECT_TRUE(mainCopy->overlapChartTitle());
    EXPECT_EQ(mainCopy->titleCentresOn(), 1);
    EXPECT_EQ(mainCopy->font(), main->font());

    auto chart = LChartStyle::init();
    chart->setBorderWidth(Value(3));
    chart->setCanvasBackgroundColor(red);
    auto chartCopy = chart->copy();
    EXPECT_EQ(chartCopy->borderWidth().intValue(), 3);
    EXPECT_EQ(chartCopy->canvasBackgroundColor(), red);
    EXPECT_EQ(chartCopy->backgroundColor(), nullptr);
}
