#include "charts/view/LChartCrosshair.h"

#include "charts/LChartAxis.h"
#include "charts/LChartBandSeries.h"
#include "charts/LChartColumnSeries.h"
#include "charts/LChartCrosshairStyle.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartLineSeries.h"
#include "charts/LChartMultiYDataPoint.h"
#include "charts/LChartTheme.h"
#include "charts/gl/LChartGLView.h"
#include "charts/tests/ChartTestSupport.h"
#include "charts/view/LChartCanvas.h"
#include "charts/view/LChartCrosshairMultiValueTooltip.h"
#include "charts/view/LChartCrosshairTooltip.h"
#include "charts/view/LatticeChart.h"
#include "gles/SoftwareRendering.h"
#include "graphics/CGContext.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "testing/GoldenImage.h"
#include "testing/HostedWindow.h"
#include "testing/LogCapture.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UILabel.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// One series of points (x, y), or of bands (x, high, low) when the series is a band series.
class CrosshairSource final : public LChartDatasource {
public:
    struct Series {
        std::function<Ref<LChartLoadableSeries>()> make;
        std::vector<std::vector<double>> points;
        // Category names that stand for the x values, when given.
        std::vector<std::string> names {};
    };
    std::vector<Series> series;

    int32_t numberOfSeriesInSChart(LChartLoaderHost&) override { return static_cast<int32_t>(series.size()); }
    Ref<LChartLoadableSeries> sChartSeriesAtIndex(LChartLoaderHost&, int32_t index) override
    {
        return series[index].make();
    }
    int32_t sChartNumberOfDataPointsForSeriesAtIndex(LChartLoaderHost&, int32_t index) override
    {
        return static_cast<int32_t>(series[index].points.size());
    }
    Ref<LChartData> sChartDataPointAtIndexForSeriesAtIndex(LChartLoaderHost&, int32_t index, int32_t which) override
    {
        const auto& values = series[which].points[index];
        const auto& names = series[which].names;
        Value x = names.empty() ? Value(values[0]) : Value(names[index]);
        if (values.size() == 3) {
            auto band = LChartMultiYDataPoint::init();
            band->setXValue(x);
            band->setYValues(Value::dictionary({ { "High", Value(values[1]) }, { "Low", Value(values[2]) } }));
            return band;
        }
        auto point = LChartDataPoint::init();
        point->setXValue(x);
        point->setYValue(Value(values[1]));
        return point;
    }
};

// Whether a logged message starts with the text (chart logs add the source after it).
bool logged(const LogCapture& log, const std::string& text)
{
    for (const auto& message : log.messages())
        if (message.rfind(text, 0) == 0)
            return true;
    return false;
}

// What the crosshair strokes when it draws, one text per stroke.
std::vector<std::string> strokes(LChartCrosshair& crosshair)
{
    auto context = CGContextCreateRecording(CGSizeMake(400, 300));
    UIGraphicsPushContext(context);
    crosshair.drawRect(crosshair.bounds());
    UIGraphicsPopContext();
    return CGContextGetRecordedOperations(context);
}

// The far ends of the two lines in a recorded stroke: the vertical line's y, the horizontal
// line's x.
std::pair<float, float> lineEnds(const std::string& stroke)
{
    float x0, y0, x1, vertical, x2, y2, horizontal, y3;
    EXPECT_EQ(std::sscanf(stroke.c_str(), "stroke M %f %f L %f %f M %f %f L %f %f", &x0, &y0, &x1, &vertical, &x2, &y2,
                  &horizontal, &y3),
        8)
        << stroke;
    return { vertical, horizontal };
}

class LChartCrosshairTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        preferSoftwareRendering();
        m_host = std::make_unique<HostedWindow>(HostedWindow::Window::Key, CGSizeMake(400, 300));
    }
    void TearDown() override { m_host.reset(); }
    // A chart over the whole window on number axes, laid out and drawn.
    Ref<LatticeChart> show(std::vector<CrosshairSource::Series> series, int32_t xAxisType = 0)
    {
        source.series = std::move(series);
        auto chart
            = LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 400, 300), xAxisType, 0);
        m_host->root()->view()->addSubview(chart);
        chart->setDatasource(&source);
        chart->setNeedsLayout();
        m_host->settle(0);
        return chart;
    }
    static CrosshairSource::Series line(std::vector<std::vector<double>> points)
    {
        return { [] { return LChartLineSeries::init(); }, std::move(points) };
    }
    static CrosshairSource::Series columns(std::vector<std::vector<double>> points)
    {
        return { [] { return LChartColumnSeries::init(); }, std::move(points) };
    }
    // Moves the crosshair onto the series' point as the overlay would: pixels from the axes,
    // displayed values as they are.
    static void track(LatticeChart& chart, const Ref<LChartSeries>& series, double x, double y, bool inside = true)
    {
        auto crosshair = chart.crosshair();
        auto [xAxis, yAxis] = chart.axesForSeries(series.get());
        if (inside)
            crosshair->crosshairMovedInsideRange();
        else
            crosshair->crosshairMovedOutOfRange();
        crosshair->moveToPositionAndDisplayDataPointFromSeriesAndSeriesDataPoint(
            { xAxis->mapPixelValueForDataValueUsingSeries(x, nullptr),
                yAxis->mapPixelValueForDataValueUsingSeries(y, nullptr) },
            { x, y }, series, nullptr);
    }
    std::unique_ptr<HostedWindow> m_host;
    CrosshairSource source;
};

} // namespace

TEST(LChartCrosshair, StartsHiddenWithItsDefaultsAndNeedsAChart)
{
    HostedWindow host;
    auto chart = LatticeChart::initWithFrame(CGRectMake(10, 20, 300, 200));
    auto crosshair = LChartCrosshair::initWithChart(chart.get());
    EXPECT_TRUE(crosshair->isHidden());
    EXPECT_TRUE(CGRectEqualToRect(crosshair->frame(), chart->frame()));
    EXPECT_EQ(crosshair->chart(), chart);
    EXPECT_TRUE(crosshair->enableCrosshairLines());
    EXPECT_FALSE(crosshair->enableCrosshairLinesSet());
    EXPECT_TRUE(crosshair->interpolatePoints());
    EXPECT_FALSE(crosshair->animationEnabled());
    EXPECT_EQ(crosshair->outOfRangeBehavior(), 1);
    EXPECT_EQ(crosshair->mode(), LChartCrosshair::Tracking);
    EXPECT_EQ(crosshair->animationOptions(), 0x20000u);
    EXPECT_FLOAT_EQ(crosshair->animationDuration(), 0.2f);
    EXPECT_EQ(crosshair->animationDelay(), 0);
    ASSERT_TRUE(crosshair->tooltip());
    EXPECT_EQ(crosshair->tooltip()->superview(), crosshair);
    EXPECT_FALSE(crosshair->crosshairShouldKeepTracking());

    // A new tooltip replaces the old one in the view.
    auto old = crosshair->tooltip();
    crosshair->setTooltip(LChartCrosshairMultiValueTooltip::init());
    EXPECT_FALSE(old->superview());
    EXPECT_EQ(crosshair->tooltip()->superview(), crosshair);

    LogCapture log;
    auto deprecated = LChartCrosshair::initWithFrameUsingChart(CGRectMake(0, 0, 1, 1), chart.get());
    EXPECT_TRUE(CGRectEqualToRect(deprecated->frame(), chart->frame()));
    EXPECT_TRUE(logged(log, "Deprecated method initWithFrame:usingChart: called"));

    // A negative inset is refused and logged; the old one stays.
    auto tooltip = LChartCrosshairTooltip::init();
    EXPECT_EQ(tooltip->inset(), 7);
    tooltip->setInset(-1);
    EXPECT_EQ(tooltip->inset(), 7);
    EXPECT_TRUE(logged(log, "Attempt to set `inset` to -1.000000 invalid. `inset` of 7.000000 will be used instead."));
    tooltip->setInset(3);
    EXPECT_EQ(tooltip->inset(), 3);

    FatalErrorsThrow fatal;
    EXPECT_THROW(LChartCrosshair::init(), ChartFatalError);
}

TEST_F(LChartCrosshairTest, MovesOutsideThePlotAreaFollowTheOutOfRangeBehaviour)
{
    auto chart = show({ line({ { 0, 0 }, { 10, 10 } }) });
    const auto& series = chart->series()[0];
    const struct {
        int32_t behaviour;
        bool hiddenOutside;
        bool keepsSeries;
        bool followsOutside;
    } cases[] = { { 1, true, true, false }, { 2, true, false, false }, { 0, false, true, true } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.behaviour);
        auto crosshair = chart->crosshair();
        crosshair->setOutOfRangeBehavior(c.behaviour);
        track(*chart, series, 5, 5);
        EXPECT_FALSE(crosshair->isHidden());
        EXPECT_TRUE(crosshair->inRange());
        CGPoint inside = crosshair->crosshairCentre();

        track(*chart, series, -5, 5, false);
        EXPECT_FALSE(crosshair->inRange());
        EXPECT_EQ(crosshair->isHidden(), c.hiddenOutside);
        EXPECT_EQ(crosshair->trackingSeries() == series, c.keepsSeries);
        EXPECT_EQ(!CGPointEqualToPoint(crosshair->crosshairCentre(), inside), c.followsOutside);
        // Outside the plot area nothing is drawn, even while the crosshair shows.
        EXPECT_TRUE(strokes(*crosshair).empty());

        // The next move inside shows and moves it again.
        track(*chart, series, 8, 8);
        EXPECT_FALSE(crosshair->isHidden());
        EXPECT_FALSE(CGPointEqualToPoint(crosshair->crosshairCentre(), inside));
        EXPECT_EQ(strokes(*crosshair).size(), 2u);
        crosshair->removeCrosshair();
        EXPECT_TRUE(crosshair->isHidden());
        EXPECT_FALSE(crosshair->trackingSeries());
    }
}

TEST_F(LChartCrosshairTest, LinesShowForLineSeriesUnlessFixedAndRunToTheAxes)
{
    auto chart = show({ line({ { 0, 0 }, { 10, 10 } }), columns({ { 2, 4 }, { 6, 8 } }) });
    auto crosshair = chart->crosshair();
    const auto& lineSeries = chart->series()[0];
    const auto& columnSeries = chart->series()[1];
    CGRect plot = chart->canvas()->glView()->UIView::frame();

    // A column series turns the lines off: only the circle is stroked.
    track(*chart, columnSeries, 6, 8);
    EXPECT_FALSE(crosshair->enableCrosshairLines());
    EXPECT_EQ(strokes(*crosshair).size(), 1u);
    track(*chart, lineSeries, 5, 5);
    EXPECT_TRUE(crosshair->enableCrosshairLines());
    auto drawn = strokes(*crosshair);
    ASSERT_EQ(drawn.size(), 2u);
    auto [vertical, horizontal] = lineEnds(drawn[0]);
    EXPECT_FLOAT_EQ(vertical, static_cast<float>(plot.origin.y + plot.size.height));
    EXPECT_FLOAT_EQ(horizontal, static_cast<float>(plot.origin.x));
    EXPECT_NE(drawn[1].find(" C "), std::string::npos);

    // An axis that crosses the plot ends the other line where it crosses, inside the plot.
    chart->yAxis()->setAxisPositionValue(Value(4));
    chart->xAxis()->setAxisPositionValue(Value(100));
    std::tie(vertical, horizontal) = lineEnds(strokes(*crosshair)[0]);
    EXPECT_FLOAT_EQ(vertical, static_cast<float>(plot.origin.y));
    EXPECT_FLOAT_EQ(horizontal, static_cast<float>(chart->xAxis()->mapPixelValueForDataValueUsingSeries(4, nullptr)));
    chart->yAxis()->setAxisPositionValue(Value());
    chart->xAxis()->setAxisPositionValue(Value());

    // Once fixed, the lines stay as set.
    crosshair->setEnableCrosshairLines(false);
    track(*chart, lineSeries, 5, 5);
    EXPECT_FALSE(crosshair->enableCrosshairLines());
    EXPECT_EQ(strokes(*crosshair).size(), 1u);
    crosshair->setEnableCrosshairLines(true);
    track(*chart, columnSeries, 2, 4);
    EXPECT_TRUE(crosshair->enableCrosshairLines());

    // Floating, with no series, the lines run to the plot's bottom and left edges.
    crosshair->removeCrosshair();
    crosshair->setMode(LChartCrosshair::Floating);
    crosshair->moveToFloatingPixelPosition(CGPointMake(100, 50));
    EXPECT_TRUE(crosshair->crosshairShouldKeepTracking());
    std::tie(vertical, horizontal) = lineEnds(strokes(*crosshair)[0]);
    EXPECT_FLOAT_EQ(vertical, static_cast<float>(plot.origin.y + plot.size.height));
    EXPECT_FLOAT_EQ(horizontal, static_cast<float>(plot.origin.x));
    crosshair->moveToFloatingPositionOnXAxisOnYAxis({ 10, 0 }, chart->xAxis(), chart->yAxis());
    EXPECT_FLOAT_EQ(crosshair->crosshairCentre().x,
        static_cast<float>(chart->xAxis()->mapPixelValueForDataValueUsingSeries(10, nullptr)));
}

TEST_F(LChartCrosshairTest, AnimatedMovesUseTheCrosshairsTiming)
{
    auto chart = show({ line({ { 0, 0 }, { 10, 10 } }) });
    auto crosshair = chart->crosshair();
    std::optional<UIView::AnimationTiming> timing;
    crosshair->positionWithBlock([&] { timing = UIView::currentAnimationTiming(); });
    EXPECT_FALSE(timing);
    EXPECT_FALSE(crosshair->isHidden());

    crosshair->setAnimationEnabled(true);
    crosshair->setAnimationDelay(0.1f);
    crosshair->positionWithBlock([&] { timing = UIView::currentAnimationTiming(); });
    ASSERT_TRUE(timing);
    EXPECT_FLOAT_EQ(static_cast<float>(timing->duration), 0.2f);
    EXPECT_FLOAT_EQ(static_cast<float>(timing->delay), 0.1f);
    EXPECT_EQ(timing->curve, UIViewAnimationCurveEaseOut);
}

TEST_F(LChartCrosshairTest, ATooltipSitsBesideThePointInsideThePlotArea)
{
    auto chart = show({ line({ { 0, 0 }, { 10, 10 } }) });
    auto canvas = chart->canvas();
    canvas->glView()->setFrame(CGRectMake(50, 40, 200, 150));
    auto tooltip = LChartCrosshairTooltip::init();
    tooltip->setTooltipStyle(chart->theme()->crosshairStyle());
    tooltip->setResolvedDataPointFromSeriesFromChart({ 5, 5 }, chart->series()[0].get(), chart.get());
    EXPECT_EQ(tooltip->label()->text(), "5, 5");

    // The box is the text plus the inset all round, with the label one inset wider each side.
    tooltip->layoutContents();
    CGSize label = tooltip->label()->frame().size;
    CGSize box = tooltip->frame().size;
    EXPECT_TRUE(CGPointEqualToPoint(tooltip->label()->frame().origin, CGPointMake(7, 7)));
    EXPECT_TRUE(CGSizeEqualToSize(box, CGSizeMake(label.width + 14, label.height + 14)));
    const CGFloat w = box.width, h = box.height;
    const CGFloat dx = label.width / 2, dy = label.height;

    const struct {
        LChartPoint at;
        CGPoint origin;
    } cases[] = {
        { { 150, 100 }, { 150 - dx, 100 - dy } },
        // Pushed left to meet the plot's right edge, right to meet its left edge.
        { { 245, 100 }, { 250 - w, 100 - dy } },
        { { 52, 100 }, { 50, 100 - dy } },
        // Up into the room above the plot, but never above the canvas.
        { { 150, 45 }, { 150 - dx, 45 - dy } },
        { { 150, 5 }, { 150 - dx, 0 } },
        { { 150, 188 }, { 150 - dx, 190 - h } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.at.x) + ", " + std::to_string(c.at.y));
        tooltip->setPositionOnCanvas(c.at, canvas.get());
        EXPECT_NEAR(tooltip->frame().origin.x, c.origin.x, 1e-3);
        EXPECT_NEAR(tooltip->frame().origin.y, c.origin.y, 1e-3);
        EXPECT_TRUE(CGSizeEqualToSize(tooltip->frame().size, box));
    }
    EXPECT_EQ(tooltip->layer()->cornerRadius(), 8);
    EXPECT_EQ(tooltip->layer()->borderWidth(), 1);
}

TEST_F(LChartCrosshairTest, AMultiValueTooltipListsTheKeyedValuesInRowsUnderATitle)
{
    const std::string gate = "A long way out from the gate";
    auto chart = show({ { [] { return LChartBandSeries::init(); }, { { 0, 8, 2 }, { 1, 9, 4 } }, { "A", gate } } }, 2);
    const auto& band = chart->series()[0];
    auto [xAxis, yAxis] = chart->axesForSeries(band.get());
    auto internal = band->dataSeries()->dataPoints()[1];
    auto point = LChartInternalDataPoint::getExternalDatapointFromInternalWithXAxisAndYAxis(*internal, xAxis, yAxis);

    auto tooltip = LChartCrosshairMultiValueTooltip::init();
    auto crosshair = chart->crosshair();
    crosshair->setTooltip(tooltip);
    crosshair->crosshairMovedInsideRange();
    crosshair->moveToPositionAndDisplayDataPointFromSeriesAndSeriesDataPoint({ 200, 150 }, { 2, 6.5 }, band, point);

    // A point with several y values is titled by its x alone; its keys come in the series' order.
    EXPECT_EQ(tooltip->label()->text(), gate);
    std::vector<std::string> texts;
    for (const auto& label : tooltip->labels())
        texts.push_back(label->text());
    EXPECT_EQ(texts,
        (std::vector<std::string> { "High: ", yAxis->stringForId(Value(9)), "Low: ", yAxis->stringForId(Value(4)) }));
    EXPECT_EQ(tooltip->labels()[0]->textAlignment(), NSTextAlignmentRight);
    EXPECT_EQ(tooltip->labels()[1]->textAlignment(), NSTextAlignmentLeft);
    // A title wider than the labels' columns together widens every column to its share.
    const float share = static_cast<float>(
                            NSString_Drawing::sizeWithFont(gate, chart->theme()->crosshairStyle()->defaultFont()).width)
        / 4;
    EXPECT_FLOAT_EQ(tooltip->longestLabelTextWidth(), share);
    for (const auto& label : tooltip->labels())
        EXPECT_FLOAT_EQ(static_cast<float>(label->frame().size.width), share);

    // The tooltip is centred on the point.
    CGRect frame = tooltip->frame();
    EXPECT_NEAR(frame.origin.x + frame.size.width / 2, 200, 1e-3);
    EXPECT_NEAR(frame.origin.y + frame.size.height / 2, 150, 1e-3);

    // A plain point reads "<x>, <y>".
    auto plain = LChartDataPoint::init();
    plain->setXValue(Value(0));
    plain->setYValue(Value(5));
    EXPECT_EQ(tooltip->mainLabelStringForDataPointOnSeriesWithXAxisWithYAxis(*plain, *band, xAxis, yAxis),
        "A, " + yAxis->stringForId(Value(5)));
    EXPECT_TRUE(
        tooltip->keyValueDisplayPairsForDataPointOnSeriesWithXAxisWithYAxis(*plain, *band, xAxis, yAxis).empty());
}

TEST(LChartCrosshairMultiValueTooltip, RowsHoldTheStylesPairsAndColumnsTakeTheWidestLabel)
{
    HostedWindow host;
    auto style = LChartCrosshairStyle::init();
    style->setDefaultFont(UIFont::systemFontOfSize(12));
    style->setDefaultKeyValuesPerRow(Value(2));
    auto tooltip = LChartCrosshairMultiValueTooltip::init();
    tooltip->setTooltipStyle(style);
    EXPECT_EQ(tooltip->maxNumberOfLabelsPerTooltipRow(), 4);
    for (const char* text : { "Open: ", "1", "High: ", "22", "Low: ", "333" }) {
        auto label = tooltip->createLabel();
        label->setText(text);
        tooltip->updateLongestLabelWidth(*label);
    }
    const float column = tooltip->longestLabelTextWidth();
    float widest = 0;
    for (const auto& label : tooltip->labels())
        widest = std::max(widest, static_cast<float>(label->frame().size.width));
    EXPECT_FLOAT_EQ(column, widest);
    tooltip->label()->setText("t");
    tooltip->layoutContents();

    // Three pairs at two pairs a row: rows of four and two labels, four columns wide.
    const auto& labels = tooltip->labels();
    const CGFloat top = 7 + tooltip->label()->frame().size.height;
    const CGFloat rowHeight = labels[0]->frame().size.height;
    for (size_t i = 0; i < labels.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(static_cast<float>(labels[i]->frame().origin.x), 7 + static_cast<float>(i % 4) * column);
        EXPECT_FLOAT_EQ(static_cast<float>(labels[i]->frame().origin.y), static_cast<float>(top + (i / 4) * rowHeight));
        EXPECT_FLOAT_EQ(static_cast<float>(labels[i]->frame().size.width), column);
    }
    EXPECT_FLOAT_EQ(static_cast<float>(tooltip->label()->frame().size.width), 4 * column);
    EXPECT_FLOAT_EQ(static_cast<float>(tooltip->frame().size.width), 14 + 4 * column);
    EXPECT_FLOAT_EQ(static_cast<float>(tooltip->frame().size.height), static_cast<float>(top + 2 * rowHeight + 7));

    // A style asking for no pairs per row still puts one pair in a row.
    style->setDefaultKeyValuesPerRow(Value(0));
    EXPECT_EQ(tooltip->maxNumberOfLabelsPerTooltipRow(), 2);
}

TEST_F(LChartCrosshairTest, TheChartKeepsItsCrosshairOverTheCanvasAndDropsItOnReload)
{
    auto chart = show({ line({ { 0, 0 }, { 10, 10 } }) });
    auto crosshair = chart->crosshair();
    EXPECT_EQ(crosshair->superview(), chart->canvas()->overlay());
    EXPECT_EQ(crosshair->style(), chart->theme()->crosshairStyle());
    EXPECT_TRUE(CGRectEqualToRect(crosshair->frame(), chart->canvas()->bounds()));
    chart->setFrame(CGRectMake(0, 0, 300, 200));
    m_host->settle(0);
    EXPECT_TRUE(CGRectEqualToRect(crosshair->frame(), chart->canvas()->bounds()));

    // The one-line text joins the axes' texts; the chart measures touches for its series on
    // its plot area and interpolates while its crosshair does.
    EXPECT_EQ(chart->stringForXAndYUsingSeries(2, 3, chart->series()[0].get()),
        chart->xAxis()->stringForValue(2) + ", " + chart->yAxis()->stringForValue(3));
    EXPECT_EQ(chart->stringForXAndY(2, 3), chart->stringForXAndYUsingSeries(2, 3, nullptr));
    EXPECT_TRUE(CGRectEqualToRect(chart->glFrameForHitTesting(), chart->canvas()->glView()->UIView::frame()));
    LChartSeriesDistanceInfo info;
    chart->series()[0]->distanceInfoToPointInChartIsOnlySeries(info, { 3, 3 }, *chart, false);
    ASSERT_TRUE(info.dataPoint);
    EXPECT_NEAR(info.resolvedPoint.x, 3, 1e-5);
    EXPECT_NEAR(info.resolvedPoint.y, 3, 1e-5);
    crosshair->setInterpolatePoints(false);
    EXPECT_FALSE(chart->crosshairInterpolatesPoints());

    // A replacement takes the theme's style and the old one leaves the overlay.
    auto replacement = LChartCrosshair::initWithChart(chart.get());
    chart->setCrosshair(replacement);
    EXPECT_FALSE(crosshair->superview());
    EXPECT_EQ(replacement->style(), chart->theme()->crosshairStyle());

    track(*chart, chart->series()[0], 5, 5);
    EXPECT_TRUE(replacement->crosshairShouldKeepTracking());
    chart->reloadData();
    chart->setNeedsLayout();
    m_host->settle(0);
    EXPECT_TRUE(replacement->isHidden());
    EXPECT_FALSE(replacement->trackingSeries());
}

TEST_F(LChartCrosshairTest, TheCrosshairAndItsTooltipOverALineChartMatchTheirGolden)
{
    auto chart = show({ line({ { 0, 2 }, { 2, 6 }, { 4, 3 }, { 6, 8 }, { 8, 5 }, { 10, 9 } }) });
    track(*chart, chart->series()[0], 6, 8);
    m_host->settle(0);
    auto snapshot = UIApplicationHost::renderKeyWindow();
    ASSERT_TRUE(snapshot && snapshot->CGImage());
    const auto& image = snapshot->CGImage();

    // The vertical line runs from below the circle down to the plot's bottom edge in the
    // theme's line colour.
    CGPoint c = chart->crosshair()->crosshairCentre();
    CGRect plot = chart->canvas()->glView()->UIView::frame();
    auto probe = [&](CGFloat x, CGFloat y) {
        uint8_t rgba[4];
        image->format().readPremultiplied(
            image->bytes() + static_cast<size_t>(y) * image->bytesPerRow(), static_cast<size_t>(x), rgba);
        return rgba[0] + rgba[1] + rgba[2];
    };
    const CGFloat belowCircle = (c.y + plot.origin.y + plot.size.height) / 2;
    EXPECT_LT(probe(std::floor(c.x), belowCircle), 200);
    EXPECT_GT(probe(std::floor(c.x) + 6, belowCircle), 600);
    EXPECT_TRUE(GoldenImage::matches(image, std::string(VX_TEST_DIR "/golden/chart-crosshair.png"), 8, 0.01));
}

TEST_F(LChartCrosshairTest, SideBySideColumnsAreHitOnlyInTheirOwnSlot)
{
    auto chart = show({ columns({ { 1, 4 }, { 2, 5 }, { 3, 6 } }), columns({ { 1, 3 }, { 2, 2 }, { 3, 1 } }) });
    const auto& left = chart->series()[0];
    const auto& right = chart->series()[1];
    const struct {
        double x;
        bool hitsLeft;
        bool hitsRight;
    } cases[] = { { 1.8, true, false }, { 2.2, false, true }, { 2.0, false, false } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        for (const auto& [series, hits] : { std::pair { left, c.hitsLeft }, std::pair { right, c.hitsRight } }) {
            LChartSeriesDistanceInfo info;
            info.series = series;
            series->distanceInfoToPointInChartIsOnlySeries(info, { c.x, 1.5 }, *chart, false);
            EXPECT_EQ(info.distance == 0, hits);
            // The crosshair would sit on the point's own values.
            ASSERT_TRUE(info.dataPoint);
            EXPECT_EQ(info.resolvedPoint.x, 2);
        }
    }
}
