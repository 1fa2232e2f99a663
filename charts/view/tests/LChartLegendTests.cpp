#include "charts/view/LChartLegend.h"

#include "charts/LChartDataPoint.h"
#include "charts/LChartLegendStyle.h"
#include "charts/LChartLegendSymbolBlock.h"
#include "charts/LChartLegendSymbolPieSeries.h"
#include "charts/LChartLineSeries.h"
#include "charts/LChartPieSeries.h"
#include "charts/LChartSeriesStyle.h"
#include "charts/LChartTheme.h"
#include "charts/LChartTitle.h"
#include "charts/gl/LChartGLView.h"
#include "charts/tests/ChartTestSupport.h"
#include "charts/view/LChartCanvas.h"
#include "charts/view/LatticeChart.h"
#include "gles/SoftwareRendering.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "testing/GoldenImage.h"
#include "testing/HostedWindow.h"
#include "testing/LogCapture.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UILabel.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

// Series of the given titles, each with a few points: line series, or pie series whose slices
// are named by the titles of `slices`.
class TitledSeriesSource final : public LChartDatasource {
public:
    std::vector<std::string> titles;
    std::vector<std::string> slices;
    bool pies { false };

    int32_t numberOfSeriesInSChart(LChartLoaderHost&) override { return static_cast<int32_t>(titles.size()); }
    Ref<LChartLoadableSeries> sChartSeriesAtIndex(LChartLoaderHost&, int32_t index) override
    {
        Ref<LChartSeries> series;
        if (pies)
            series = LChartPieSeries::init();
        else
            series = LChartLineSeries::init();
        series->setTitle(titles[index]);
        return std::dynamic_pointer_cast<LChartLoadableSeries>(series);
    }
    int32_t sChartNumberOfDataPointsForSeriesAtIndex(LChartLoaderHost&, int32_t) override
    {
        return pies ? static_cast<int32_t>(slices.size()) : 3;
    }
    Ref<LChartData> sChartDataPointAtIndexForSeriesAtIndex(LChartLoaderHost&, int32_t index, int32_t series) override
    {
        auto point = LChartDataPoint::init();
        point->setXValue(pies ? Value(slices[index]) : Value(index));
        point->setYValue(Value(1 + index + series));
        return point;
    }
};

// A label that always measures 50 x 20.
class FixedSizeLabel final : public UILabel {
    VX_OBJECT(FixedSizeLabel, UILabel)
public:
    explicit FixedSizeLabel(Passkey key)
        : UILabel(key)
    {
    }
    static Ref<FixedSizeLabel> init() { return makeView<FixedSizeLabel>(CGRectZero); }
    CGSize sizeThatFits(CGSize) const override { return CGSizeMake(50, 20); }
};

class LChartLegendTest : public ::testing::Test {
protected:
    void SetUp() override { preferSoftwareRendering(); }

    // A 600 x 400 chart in the window, laid out with the source's series, and its legend shown
    // with plain settings: paddings of 5, no border, symbols before the text, fixed row heights.
    Ref<LChartLegend> showLegend()
    {
        m_chart = LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 600, 400), 0, 0);
        m_host.root()->view()->addSubview(m_chart);
        m_chart->setDatasource(&m_source);
        m_host.settle(0);
        const auto& legend = m_chart->legend();
        const auto& style = legend->style();
        style->setHorizontalPadding(Value(5));
        style->setVerticalPadding(Value(5));
        style->setBorderWidth(Value(0));
        style->setShowSymbols(true);
        style->setSymbolAlignment(0);
        legend->setAutosizeLabels(false);
        legend->setHidden(false);
        legend->reload();
        return legend;
    }
    static std::vector<std::string> texts(const LChartLegend& legend)
    {
        std::vector<std::string> list;
        for (const auto& label : legend.labels())
            list.push_back(label->text());
        return list;
    }

    HostedWindow m_host { HostedWindow::Window::Key, CGSizeMake(600, 400) };
    TitledSeriesSource m_source;
    Ref<LatticeChart> m_chart;
};

void expectRect(CGRect actual, CGRect expected)
{
    EXPECT_TRUE(CGRectEqualToRect(actual, expected))
        << NSStringFromCGRect(actual) << " is not " << NSStringFromCGRect(expected);
}

} // namespace

TEST_F(LChartLegendTest, ANewLegendHasItsDefaultsAndItsSettersKeepTheirRules)
{
    {
        FatalErrorsThrow fatal;
        EXPECT_THROW(LChartLegend::init(), ChartFatalError);
    }
    auto legend = LChartLegend::initWithChart(nullptr);
    EXPECT_FLOAT_EQ(legend->symbolWidth().floatValue(), 24);
    EXPECT_EQ(legend->maxSeriesPerLine(), 4);
    EXPECT_FALSE(legend->maxSeriesPerLineSet());
    EXPECT_TRUE(legend->autosizeLabels());
    EXPECT_FALSE(legend->doShowTitle());
    EXPECT_FALSE(legend->userSetFrame());
    EXPECT_TRUE(legend->clipsToBounds());

    // The middle of the top and bottom edges make the legend horizontal, every other place vertical.
    for (int32_t position = 0; position <= 8; ++position) {
        SCOPED_TRACE(position);
        legend->setPosition(position);
        EXPECT_EQ(legend->orientation(), position == 3 || position == 7 ? 1 : 0);
    }

    LogCapture log;
    legend->setMaxSeriesPerLine(0);
    EXPECT_EQ(legend->maxSeriesPerLine(), 1);
    EXPECT_TRUE(legend->maxSeriesPerLineSet());
    legend->setFixedWidthRatio(Value(0.5));
    EXPECT_DOUBLE_EQ(legend->fixedWidthRatio().doubleValue(), 0.5);
    legend->setFixedWidthRatio(Value(1.5));
    EXPECT_TRUE(legend->fixedWidthRatio().isNilOrNull());
    auto messages = log.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Legend must have at least 1 series per line.");
    EXPECT_EQ(messages[1].rfind("LChartLegend: setFixedWidthRatio: 1.500000 is not in the range 0.0 - 1.0", 0), 0u);

    legend->setTitle(" \t ");
    EXPECT_FALSE(legend->doShowTitle());
    legend->setTitle("Flights");
    EXPECT_TRUE(legend->doShowTitle());
    EXPECT_EQ(legend->title(), "Flights");
}

TEST_F(LChartLegendTest, EntriesFillLinesOfTheirWidthAndTheLegendSizesItself)
{
    m_source.titles = { "Speed", "Altitude", "Heading" };
    auto legend = showLegend();
    // A vertical legend takes a quarter of the 600-point chart: one 24-point symbol and a
    // 111-point label per line (150 less three paddings and the symbol), lines 20 high.
    ASSERT_EQ(legend->labels().size(), 3u);
    ASSERT_EQ(legend->symbols().size(), 3u);
    expectRect(legend->labels()[0]->frame(), CGRectMake(34, 5, 111, 20));
    expectRect(legend->symbols()[0]->frame(), CGRectMake(5, 5, 24, 20));
    expectRect(legend->labels()[1]->frame(), CGRectMake(34, 30, 111, 20));
    expectRect(legend->labels()[2]->frame(), CGRectMake(34, 55, 111, 20));
    EXPECT_EQ(texts(*legend), (std::vector<std::string> { "Speed", "Altitude", "Heading" }));
    EXPECT_EQ(legend->frame().size.width, 150);
    EXPECT_EQ(legend->frame().size.height, 80);
    EXPECT_FALSE(legend->userSetFrame());

    // Two entries per line once the maximum is set, even in a vertical legend.
    legend->setMaxSeriesPerLine(2);
    legend->reload();
    expectRect(legend->labels()[0]->frame(), CGRectMake(34, 5, 38.5, 20));
    expectRect(legend->labels()[1]->frame(), CGRectMake(106.5, 5, 38.5, 20));
    expectRect(legend->symbols()[1]->frame(), CGRectMake(77.5, 5, 24, 20));
    expectRect(legend->labels()[2]->frame(), CGRectMake(34, 30, 38.5, 20));
    EXPECT_EQ(legend->frame().size.width, 150);
    EXPECT_EQ(legend->frame().size.height, 55);

    // Without symbols the label is still narrowed by the symbol width, and entries step by the
    // label width and one padding.
    legend->setShowSymbols(false);
    legend->reload();
    EXPECT_TRUE(legend->symbols().empty());
    expectRect(legend->labels()[0]->frame(), CGRectMake(5, 5, 43.5, 20));
    expectRect(legend->labels()[1]->frame(), CGRectMake(53.5, 5, 43.5, 20));

    // Symbols after the text, in a legend half the chart's width.
    legend->setShowSymbols(true);
    legend->style()->setSymbolAlignment(1);
    legend->setFixedWidthRatio(Value(0.5));
    legend->reload();
    expectRect(legend->labels()[0]->frame(), CGRectMake(5, 5, 113.5, 20));
    expectRect(legend->symbols()[0]->frame(), CGRectMake(123.5, 5, 24, 20));
    expectRect(legend->labels()[1]->frame(), CGRectMake(152.5, 5, 113.5, 20));
    EXPECT_EQ(legend->frame().size.width, 300);
}

TEST_F(LChartLegendTest, BlankTitlesAreNumberedAndSymbolsFollowTheStyle)
{
    m_source.titles = { "Speed", " " };
    auto legend = showLegend();
    EXPECT_EQ(texts(*legend), (std::vector<std::string> { "Speed", "Series 2" }));
    // Line series styles ask for blocks unless they want the series' own symbol.
    ASSERT_EQ(legend->symbols().size(), 2u);
    EXPECT_TRUE(legend->symbols()[0]->isMemberOfClass(LChartLegendSymbolBlock::classObject()));
    legend->style()->setSymbolCornerRadius(Value(4));
    m_chart->series()[0]->baseStyle()->setUseSeriesSymbols(true);
    legend->reload();
    EXPECT_EQ(legend->symbols()[0]->className(), "LChartLegendSymbolLineSeries");
    EXPECT_EQ(legend->symbols()[0]->layer()->cornerRadius(), 4);
    EXPECT_TRUE(legend->symbols()[0]->clipsToBounds());
}

TEST_F(LChartLegendTest, ARadialChartListsTheSlicesOfItsFirstShownSeries)
{
    m_source.pies = true;
    m_source.titles = { "Inner", "Outer" };
    m_source.slices = { "Climb", "", "Descent" };
    auto legend = showLegend();
    ASSERT_TRUE(m_chart->isRadial());
    EXPECT_EQ(texts(*legend), (std::vector<std::string> { "Climb", "Slice 1", "Descent" }));
    ASSERT_EQ(legend->symbols().size(), 3u);
    EXPECT_TRUE(legend->symbols()[2]->isMemberOfClass(LChartLegendSymbolPieSeries::classObject()));

    // With the first series left out, the second one's slices are listed.
    m_chart->series()[0]->setShowInLegend(false);
    legend->reload();
    EXPECT_EQ(legend->labels().size(), 3u);

    // A radial chart whose shown series has no points, and a chart with no series, give an
    // empty legend.
    m_source.slices.clear();
    m_chart->reloadData();
    m_chart->setNeedsLayout();
    m_host.settle(0);
    legend->reload();
    expectRect(legend->frame(), CGRectZero);
}

TEST_F(LChartLegendTest, AChartWithoutSeriesHasAnEmptyLegend)
{
    auto legend = showLegend();
    expectRect(legend->frame(), CGRectZero);
}

TEST_F(LChartLegendTest, AutosizingDropsEntriesPerLineUntilTheLegendFitsTheChart)
{
    m_source.titles = { "A", "B", "C", "D" };
    m_chart = LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 300, 200), 0, 0);
    auto legend = LChartLegend::initWithChart(m_chart.get());
    legend->style()->setHorizontalPadding(Value(5));
    legend->style()->setShowSymbols(true);
    legend->style()->setSymbolAlignment(0);
    std::vector<Ref<UILabel>> labels;
    for (int i = 0; i < 4; ++i) {
        auto label = FixedSizeLabel::init();
        legend->addSubview(label);
        labels.push_back(label);
    }
    legend->setLabels(labels);
    // Four 84-point entries come to 346 points, more than the 258 the chart allows (its width less
    // half an entry); three still do (262); two fit.
    LegendLayoutInfo info { 0, 0, 0, 0, 0, 0, 4 };
    legend->autosizeUsingLayoutInfo(&info);
    EXPECT_EQ(info.seriesPerLine, 2);
    EXPECT_FLOAT_EQ(info.entryWidth, 84);
    EXPECT_FLOAT_EQ(info.labelWidth, 50);
    EXPECT_FLOAT_EQ(info.rowHeight, 20);
    EXPECT_FLOAT_EQ(info.labelX, 34);
    EXPECT_FLOAT_EQ(info.symbolX, 5);
    expectRect(labels[1]->frame(), CGRectMake(118, 0, 50, 20));
    expectRect(labels[2]->frame(), CGRectMake(34, 20, 50, 20));
}

TEST_F(LChartLegendTest, AFrameSetByHandKeepsItsSizeAndPlaceAndItsRowsAreFittedIntoIt)
{
    m_source.titles = { "Speed", "Altitude", "Heading" };
    auto legend = showLegend();
    legend->setFrame(CGRectMake(10, 10, 200, 120));
    legend->reload();
    // Three rows share what is left of 120 after four paddings.
    expectRect(legend->frame(), CGRectMake(10, 10, 200, 120));
    EXPECT_NEAR(legend->labels()[1]->frame().origin.y, 5 + 100.0 / 3 + 5, 1e-4);
    EXPECT_NEAR(legend->labels()[0]->frame().size.height, 100.0 / 3, 1e-4);
    // The chart view neither moves it nor makes room for it.
    m_chart->setNeedsLayout();
    m_host.settle(0);
    expectRect(legend->frame(), CGRectMake(10, 10, 200, 120));
    EXPECT_EQ(m_chart->canvas()->frame().size.width, 600);

    // A frame too low for its rows keeps rows of 20 and says so.
    LogCapture log;
    legend->setFrame(CGRectMake(10, 10, 200, 60));
    legend->reload();
    EXPECT_EQ(legend->labels()[0]->frame().size.height, 20);
    auto messages = log.messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_NE(messages[0].find("Specified legend height is too small to fit the number/layout of series."),
        std::string::npos);
    EXPECT_TRUE(legend->userSetFrame());
}

TEST_F(LChartLegendTest, ATitleSitsAboveTheEntriesAndWidensALegendItDoesNotFit)
{
    m_source.titles = { "A" };
    auto legend = showLegend();
    legend->setAutosizeLabels(true);
    legend->setTitle("Speed and altitude of the selected flight");
    legend->reload();
    const auto& title = legend->titleLabel();
    EXPECT_FALSE(title->isHidden());
    CGRect box = legend->frame();
    // The title is wider than the one entry, so the legend takes the title's width and the entry
    // moves to the middle; the entry line starts below the title.
    EXPECT_NEAR(box.size.width, title->frame().size.width + 10 - 5, 1e-3);
    EXPECT_NEAR(title->center().x, box.size.width / 2, 1e-3);
    EXPECT_NEAR(legend->labels()[0]->frame().origin.y, 5 + title->frame().size.height + 5, 1e-3);
    EXPECT_GT(legend->labels()[0]->frame().origin.x, 34);
}

namespace {

// Gives the chart's legend a 100 x 50 frame of its own making at a place, with a margin of 10,
// and lays out the canvas around it.
void placeLegend(LatticeChart& chart, int32_t position, int32_t placement)
{
    const auto& legend = chart.legend();
    legend->style()->setMarginWidth(Value(10));
    legend->setPosition(position);
    legend->setPlacement(placement);
    legend->setFrame(CGRectMake(0, 0, 100, 50));
    legend->setUserSetFrame(false);
    chart.updateCanvasSize();
}

} // namespace

TEST_F(LChartLegendTest, TheCanvasMakesRoomForTheLegendByItsPlacement)
{
    auto legend = showLegend();
    LatticeChart& chart = *m_chart;
    const auto& canvas = chart.canvas();
    legend->setHidden(true);
    chart.updateCanvasSize();
    expectRect(canvas->frame(), CGRectMake(0, 0, 600, 400));

    legend->setHidden(false);
    float xN = chart.spaceRequiredForXAxesNormal();
    float xR = chart.spaceRequiredForXAxesReverse();
    float yN = chart.spaceRequiredForYAxesNormal();
    float yR = chart.spaceRequiredForYAxesReverse();
    auto glHeight = static_cast<float>(canvas->glView()->bounds().size.height);
    struct Case {
        const char* name;
        int32_t position;
        int32_t placement;
        CGRect canvas;
        CGPoint legend;
    };
    // The padded legend is 120 x 70.
    std::vector<Case> cases = {
        { "top right, outside", 0, 0, CGRectMake(0, 0, 480, 400), CGPointMake(490, 10) },
        { "top right, inside", 0, 1, CGRectMake(0, 0, 600, 400), CGPointMake(490 - yR, 10 + xR) },
        { "top right, on the edge", 0, 2, CGRectMake(0, 0, 600 - (60 - yR / 2), 400), CGPointMake(490, 10) },
        { "middle right", 1, 0, CGRectMake(0, 0, 480, 400), CGPointMake(490, glHeight / 2 - 25 + xR) },
        { "bottom right", 2, 0, CGRectMake(0, 0, 480, 400), CGPointMake(490, glHeight - 50 - 10 + xR) },
        { "bottom left", 4, 0, CGRectMake(120, 0, 480, 400), CGPointMake(10, glHeight - 50 - 10) },
        { "bottom left, inside", 4, 1, CGRectMake(0, 0, 600, 400), CGPointMake(10 + yN, glHeight - 60 + xR) },
        { "middle left, on the edge", 5, 2, CGRectMake(60 - yN, 0, 600 - (60 - yN), 400),
            CGPointMake(10, glHeight / 2 - 25) },
        { "top left", 6, 0, CGRectMake(120, 0, 480, 400), CGPointMake(10, 10) },
        { "top middle", 7, 0, CGRectMake(0, 70, 600, 330), CGPointMake(250, 10) },
        { "bottom middle", 3, 0, CGRectMake(0, 0, 600, 330), CGPointMake(250, glHeight + xN + xR + 10) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The GL view follows the canvas, so each case starts from the full canvas.
        legend->setHidden(true);
        chart.updateCanvasSize();
        legend->setHidden(false);
        placeLegend(chart, c.position, c.placement);
        expectRect(canvas->frame(), c.canvas);
        EXPECT_NEAR(legend->frame().origin.x, c.legend.x, 1e-3);
        EXPECT_NEAR(legend->frame().origin.y, c.legend.y, 1e-3);
        EXPECT_EQ(legend->frame().size.width, 100);
        EXPECT_FALSE(legend->userSetFrame());
    }

    // A border only moves the canvas' origin; a legend on the top edge replaces its top inset.
    chart.setBorderThickness(2);
    legend->setHidden(true);
    chart.updateCanvasSize();
    expectRect(canvas->frame(), CGRectMake(2, 2, 600, 400));
    legend->setHidden(false);
    placeLegend(chart, 7, 2);
    expectRect(canvas->frame(), CGRectMake(2, 35, 600, 365));
    chart.setBorderThickness(0);

    // On the bottom edge the legend takes room only where its half reaches past the x axes.
    chart.legend()->style()->setMarginWidth(Value(10));
    for (float over : { -5.0f, 5.0f }) {
        SCOPED_TRACE(over);
        legend->setPosition(3);
        legend->setPlacement(2);
        // A padded half of xN + over.
        legend->setFrame(CGRectMake(0, 0, 100, 2 * (xN + over) - 20));
        legend->setUserSetFrame(false);
        chart.updateCanvasSize();
        EXPECT_NEAR(canvas->frame().size.height, 400 - std::max(0.0f, over), 1e-3);
    }
}

TEST_F(LChartLegendTest, AnUnknownPositionIsLoggedAndTheThemePutsTheLegendBackTopRight)
{
    auto legend = showLegend();
    LogCapture log;
    placeLegend(*m_chart, 9, 0);
    EXPECT_EQ(legend->frame().origin.y, 0);
    auto messages = log.messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().rfind("Invalid legend position: 9", 0), 0u) << messages.back();

    // A legend moved into the plot area comes in front of the canvas.
    legend->setPlacement(1);
    EXPECT_EQ(m_chart->subviews().back(), std::static_pointer_cast<UIView>(legend));

    legend->setPosition(3);
    m_chart->applyThemeToLegend(*m_chart->theme());
    EXPECT_EQ(legend->position(), 0);
    EXPECT_EQ(legend->orientation(), m_chart->theme()->legendStyle()->orientation());
}

TEST_F(LChartLegendTest, AnOverlappingTitleMovesBelowALegendAtTheTopMiddle)
{
    auto legend = showLegend();
    m_chart->setTitle("Flight");
    m_chart->setOverlapChartTitle(true);
    placeLegend(*m_chart, 7, 0);
    EXPECT_EQ(legend->frame().origin.y, 10);
    EXPECT_EQ(m_chart->titleLabel()->frame().origin.y, 10 + 50 + 10);
    // Moving it does not count as placing it by hand: the title layout takes it back up.
    EXPECT_FALSE(m_chart->titleLabel()->userSetFrame());
    m_chart->positionChartTitle();
    EXPECT_EQ(m_chart->titleLabel()->frame().origin.y, 0);

    // A title that takes room pushes a top-right legend down by its height.
    m_chart->setOverlapChartTitle(false);
    m_chart->titleLabel()->setHidden(false);
    placeLegend(*m_chart, 0, 0);
    EXPECT_NEAR(legend->frame().origin.y, m_chart->titleLabel()->frame().size.height + 10, 1e-3);
}

TEST_F(LChartLegendTest, ALineChartWithALegendMatchesItsGolden)
{
    m_source.titles = { "Speed", "Altitude" };
    m_chart = LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 600, 400), 0, 0);
    m_host.root()->view()->addSubview(m_chart);
    m_chart->setDatasource(&m_source);
    m_chart->legend()->setHidden(false);
    m_chart->legend()->setTitle("Flight");
    m_chart->setNeedsLayout();
    m_host.settle(0);
    ASSERT_EQ(m_chart->legend()->labels().size(), 2u);
    // The legend sits top right beside the plot area.
    CGRect legend = m_chart->legend()->frame();
    EXPECT_GT(legend.size.width, 0);
    EXPECT_LE(m_chart->canvas()->frame().size.width + legend.size.width, 600);
    auto snapshot = UIApplicationHost::renderKeyWindow();
    ASSERT_TRUE(snapshot && snapshot->CGImage());
    EXPECT_TRUE(
        GoldenImage::matches(snapshot->CGImage(), std::string(VX_TEST_DIR "/golden/chart-legend.png"), 8, 0.01));
}

TEST_F(LChartLegendTest, ATitleThatCannotFitItsFrameStopsShrinkingAtTheSmallestFont)
{
    m_source.titles = { "A" };
    auto legend = showLegend();
    // A fixed title frame is three quarters of the legend's width and 20 high; this title cannot
    // fit it at any size, so the font stops shrinking at 1 point instead of looping on.
    legend->style()->setTitleFont(UIFont::systemFontOfSize(30));
    legend->setFixedWidthRatio(Value(0.01));
    legend->setTitle("A title far too long for a legend six points wide");
    legend->reload();
    EXPECT_EQ(legend->style()->titleFont()->pointSize(), 1);

    // A title that fits at a smaller size stops there.
    legend->setFixedWidthRatio(Value(0.5));
    legend->style()->setTitleFont(UIFont::systemFontOfSize(40));
    legend->setTitle("Flight");
    legend->reload();
    CGFloat size = legend->style()->titleFont()->pointSize();
    EXPECT_LT(size, 40);
    EXPECT_GT(size, 1);
    EXPECT_LE(NSString_Drawing::sizeWithFont("Flight", legend->style()->titleFont()).height, 20);
}
