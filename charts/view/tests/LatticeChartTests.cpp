#include "charts/view/LatticeChart.h"

#include "charts/LChartAxis.h"
#include "charts/LChartAxisStyle.h"
#include "charts/LChartDarkTheme.h"
#include "charts/LChartDataPoint.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartLineSeries.h"
#include "charts/LChartNumberAxis.h"
#include "charts/LChartPieSeries.h"
#include "charts/LChartRange.h"
#include "charts/LChartSeriesGroup.h"
#include "charts/LChartStyle.h"
#include "charts/LChartTickMark.h"
#include "charts/LChartTickStyle.h"
#include "charts/LChartTitle.h"
#include "charts/LatticeCharts.h"
#include "charts/gl/LChartGLView.h"
#include "charts/tests/ChartTestSupport.h"
#include "charts/view/LChartCanvas.h"
#include "charts/view/LChartCanvasOverlay.h"
#include "charts/view/LChartDelegate.h"
#include "charts/view/LChartGradientView.h"
#include "charts/view/LChartLegend.h"
#include "charts/view/LChartThreadWarnings.h"
#include "charts/view/tests/ChartViewTestSupport.h"
#include "gles/SoftwareRendering.h"
#include "graphics/CALayer.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"
#include "testing/Drain.h"
#include "testing/GoldenImage.h"
#include "testing/HostedWindow.h"
#include "testing/LogCapture.h"
#include "uikit/UIActivityIndicatorView.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIGestureRecognizer.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

class LatticeChartTest : public ChartViewTest { };

} // namespace

TEST_F(LatticeChartTest, LoadsOnceGroupsTheSeriesAndFitsTheAxesToTheData)
{
    source.data = { { { 0, 1 }, { 5, 4 }, { 10, 2 } }, { { 2, -3 }, { 8, 6 } } };
    auto chart = show(LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 400, 300), 0, 0));
    EXPECT_EQ(source.loads, 1);
    ASSERT_EQ(chart->series().size(), 2u);
    ASSERT_EQ(chart->seriesGroups().size(), 1u);
    const auto& group = chart->seriesGroups().front();
    EXPECT_EQ(group->groupedSeries().size(), 2u);
    // The group holds the chart's real axes, not the stubs the data was loaded against.
    EXPECT_EQ(group->xAxis().get(), chart->xAxis());
    EXPECT_EQ(group->yAxis().get(), chart->yAxis());
    auto x = chart->xAxis()->dataRange();
    auto y = chart->yAxis()->dataRange();
    ASSERT_TRUE(x && y);
    EXPECT_DOUBLE_EQ(x->min(), 0);
    EXPECT_DOUBLE_EQ(x->max(), 10);
    EXPECT_DOUBLE_EQ(y->min(), -3);
    EXPECT_DOUBLE_EQ(y->max(), 6);

    // The canvas leaves room for the axes, the ticks reach the overlay and a frame was drawn.
    const auto& canvas = chart->canvas();
    CGRect plot = canvas->newGlFrame();
    EXPECT_GT(plot.origin.x, 0);
    EXPECT_LT(plot.size.height, 300);
    EXPECT_FALSE(canvas->overlay()->subviews().empty());
    EXPECT_GE(canvas->framesDrawn(), 1);
    EXPECT_FALSE(canvas->reloadedData());

    // Another layout pass with nothing new loads nothing.
    int32_t frames = canvas->framesDrawn();
    chart->setNeedsLayout();
    m_host->settle(0);
    EXPECT_EQ(source.loads, 1);
    EXPECT_GE(canvas->framesDrawn(), frames);

    // A reload without a layout pass loads nothing; the next pass does.
    chart->reloadData();
    EXPECT_EQ(source.loads, 1);
    chart->setNeedsLayout();
    m_host->settle(0);
    EXPECT_EQ(source.loads, 2);
}

TEST_F(LatticeChartTest, AChartWithNoAxesAndNoDataIsLeftUndrawn)
{
    FatalErrorsThrow fatal;
    source.data = { {} };
    auto chart = show(LatticeChart::initWithFrame(CGRectMake(0, 0, 300, 200)));
    EXPECT_EQ(source.loads, 1);
    EXPECT_EQ(chart->xAxis(), nullptr);
    EXPECT_EQ(chart->yAxis(), nullptr);
    EXPECT_TRUE(chart->seriesGroups().empty());
    EXPECT_EQ(chart->canvas()->framesDrawn(), 0);

    // Once data arrives the chart makes number axes from it and draws.
    source.data = { { { 1, 2 }, { 3, 4 } } };
    chart->reloadData();
    chart->setNeedsLayout();
    m_host->settle(0);
    ASSERT_NE(chart->xAxis(), nullptr);
    ASSERT_NE(chart->yAxis(), nullptr);
    EXPECT_TRUE(chart->xAxis()->isKindOfClass(LChartNumberAxis::classObject()));
    // The series is read again against the new axes, grouped and drawn.
    EXPECT_EQ(source.loads, 3);
    ASSERT_EQ(chart->seriesGroups().size(), 1u);
    EXPECT_EQ(chart->seriesGroups().front()->xAxis().get(), chart->xAxis());
    auto y = chart->yAxis()->dataRange();
    ASSERT_TRUE(y);
    EXPECT_DOUBLE_EQ(y->max(), 4);
    EXPECT_GE(chart->canvas()->framesDrawn(), 1);
}

TEST_F(LatticeChartTest, ABackgroundLoadOnAChartWithNoAxesMakesThemGroupsTheSeriesAndDraws)
{
    source.data = { { { 1, 2 }, { 3, 4 } } };
    auto chart = LatticeChart::initWithFrame(CGRectMake(0, 0, 300, 200));
    chart->setLoadDataInBackground(true);
    show(chart);
    drainAll();
    m_host->settle(0);
    ASSERT_NE(chart->xAxis(), nullptr);
    ASSERT_NE(chart->yAxis(), nullptr);
    ASSERT_EQ(chart->seriesGroups().size(), 1u);
    EXPECT_EQ(chart->seriesGroups().front()->xAxis().get(), chart->xAxis());
    EXPECT_EQ(chart->seriesGroups().front()->yAxis().get(), chart->yAxis());
    EXPECT_DOUBLE_EQ(chart->yAxis()->dataRange()->max(), 4);
    EXPECT_EQ(chart->loadingQueueSize(), 0);
    EXPECT_GE(chart->canvas()->framesDrawn(), 1);
}

TEST_F(LatticeChartTest, ALogarithmicAxisLoadsItsDataInItsOwnBase)
{
    for (bool background : { false, true }) {
        SCOPED_TRACE(background ? "loaded in the background" : "loaded in the layout pass");
        // Base 2: 2 is 1 and 1024 is 10 inside the axis (base 10 would give 0.30103 and 3.0103).
        source.data = { { { 0, 2 }, { 1, 1024 } } };
        auto chart = LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 400, 300), 0, 3);
        auto axis = std::dynamic_pointer_cast<LChartLogarithmicAxis>(chart->yAxes().front());
        ASSERT_TRUE(axis);
        axis->setBase(Value(2));
        chart->setLoadDataInBackground(background);
        show(chart);
        drainAll();
        m_host->settle(0);
        auto range = chart->yAxis()->dataRangeInternal();
        ASSERT_TRUE(range);
        EXPECT_NEAR(range->min(), 1, 1e-6);
        EXPECT_NEAR(range->max(), 10, 1e-6);
        const auto& points = chart->series().front()->dataSeries()->dataPoints();
        ASSERT_EQ(points.size(), 2u);
        EXPECT_NEAR(points[1]->yCoord(), 10, 1e-6);
        chart->removeFromSuperview();
    }
}

TEST_F(LatticeChartTest, NonFiniteValuesStayOutOfTheRangesAndTheDrawing)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    // Each case with the x range a load of its finite points alone gives; y is 2 to 5 in all.
    struct Case {
        const char* name;
        std::vector<std::pair<double, double>> points;
        double xMin;
        double xMax;
    };
    const Case cases[] = {
        { "NaN as the first y value", { { 0, nan }, { 1, 2 }, { 2, 5 } }, 1, 2 },
        { "NaN in the middle", { { 0, 2 }, { 1, nan }, { 2, 5 } }, 0, 2 },
        { "infinities", { { 0, -inf }, { 1, 2 }, { 2, 5 }, { 3, inf } }, 1, 2 },
        { "NaN as the first x value", { { nan, 3 }, { 0, 2 }, { 2, 5 } }, 0, 2 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        source.data = { c.points };
        auto chart
            = show(LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 400, 300), 0, 0));
        auto y = chart->yAxis()->dataRange();
        auto x = chart->xAxis()->dataRange();
        ASSERT_TRUE(x && y);
        EXPECT_DOUBLE_EQ(y->min(), 2);
        EXPECT_DOUBLE_EQ(y->max(), 5);
        EXPECT_DOUBLE_EQ(x->min(), c.xMin);
        EXPECT_DOUBLE_EQ(x->max(), c.xMax);
        // Nothing that is not finite reaches the drawing.
        for (const auto& point : chart->series().front()->dataSeries()->dataPoints()) {
            EXPECT_TRUE(std::isfinite(point->xCoord()));
            EXPECT_TRUE(std::isfinite(point->yCoord()));
        }
        auto visible = chart->yAxis()->axisRange();
        ASSERT_TRUE(visible);
        EXPECT_LE(visible->min(), 2);
        EXPECT_GE(visible->max(), 5);
        chart->removeFromSuperview();
    }
}

TEST_F(LatticeChartTest, ALineSeriesOnANumberAxisPairMatchesItsGolden)
{
    source.data = { { { 0, 2 }, { 2, 6 }, { 4, 3 }, { 6, 8 }, { 8, 5 }, { 10, 9 } } };
    auto chart = show(LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(20, 20, 360, 260), 0, 0));
    m_host->settle(0);
    auto snapshot = UIApplicationHost::renderKeyWindow();
    ASSERT_TRUE(snapshot && snapshot->CGImage());
    EXPECT_TRUE(GoldenImage::matches(snapshot->CGImage(), std::string(VX_TEST_DIR "/golden/chart-line.png"), 8, 0.01));
}

TEST_F(LatticeChartTest, AnnouncedPointsAreAppendedAndDroppedByTheNextLayoutPassWithoutAReload)
{
    source.data = { { { 0, 1 }, { 1, 2 }, { 2, 3 } } };
    auto chart = show(LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 400, 300), 0, 0));
    const auto& series = chart->series().front();
    int32_t frames = chart->canvas()->framesDrawn();

    source.data[0].push_back({ 3, 10 });
    source.data[0].push_back({ 4, -5 });
    chart->appendNumberOfDataPointsToEndOfSeriesAtIndex(2, 0);
    chart->setNeedsLayout();
    m_host->settle(0);
    EXPECT_EQ(source.loads, 1);
    EXPECT_EQ(chart->series().front(), series);
    const auto& points = series->dataSeries()->dataPoints();
    ASSERT_EQ(points.size(), 5u);
    // The new points are mapped and the axes take in their values.
    EXPECT_DOUBLE_EQ(points.back()->xCoord(), 4);
    EXPECT_DOUBLE_EQ(points.back()->yCoord(), -5);
    EXPECT_FALSE(series->dataToAppendOrRemove());
    auto y = chart->yAxis()->dataRange();
    ASSERT_TRUE(y);
    EXPECT_DOUBLE_EQ(y->min(), -5);
    EXPECT_DOUBLE_EQ(y->max(), 10);
    EXPECT_GT(chart->canvas()->framesDrawn(), frames);

    source.data[0].erase(source.data[0].begin());
    chart->removeNumberOfDataPointsFromStartOfSeriesAtIndex(1, 0);
    chart->setNeedsLayout();
    m_host->settle(0);
    ASSERT_EQ(series->dataSeries()->dataPoints().size(), 4u);
    EXPECT_DOUBLE_EQ(series->dataSeries()->dataPoints().front()->xCoord(), 1);
}

TEST_F(LatticeChartTest, ProgrammingErrorsAreFatal)
{
    FatalErrorsThrow fatal;
    struct Case {
        const char* name;
        std::function<void()> act;
        const char* message;
    };
    const Case cases[] = {
        { "unknown x axis type",
            [] { LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 10, 10), 6, 0); },
            "Axis type not recognised: 6" },
        { "negative x axis type",
            [] { LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 10, 10), -1, 0); },
            "X-Axis type not recognised: -1" },
        { "negative y axis type",
            [] { LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 10, 10), 0, -9); },
            "Y-Axis type not recognised: -9" },
        { "a chart without a frame", [] { LatticeChart::init(); }, "Can't init a LatticeChart without a frame." },
        { "layout without a data source",
            [] {
                auto chart = LatticeChart::initWithFrame(CGRectMake(0, 0, 10, 10));
                chart->layoutSubviews();
            },
            "A datasource has not been set." },
        { "an axis of another chart",
            [] {
                auto first
                    = LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 10, 10), 0, 0);
                auto second = LatticeChart::initWithFrame(CGRectMake(0, 0, 10, 10));
                second->addXAxis(first->xAxes().front());
            },
            "already belongs to another chart" },
        { "an axis the chart already has",
            [] {
                auto chart
                    = LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 10, 10), 0, 0);
                chart->addYAxis(chart->yAxes().front());
            },
            "is already in use as a chart axis. Each chart axis must use a distinct object." },
        { "a nil replacement",
            [] {
                auto chart
                    = LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 10, 10), 0, 0);
                chart->replaceXAxisWithAxis(chart->xAxes().front(), nullptr);
            },
            "with a nil axis" },
        { "replacing an axis the chart lacks",
            [] {
                auto chart
                    = LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 10, 10), 0, 0);
                chart->replaceXAxisWithAxis(LChartNumberAxis::init(), LChartNumberAxis::init());
            },
            "as it is not assigned to the chart" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.act();
            ADD_FAILURE() << "no fatal error";
        } catch (const ChartFatalError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
}

TEST_F(LatticeChartTest, DonutsShareTheRadiusInsideOutAndAPieChartMatchesItsGolden)
{
    source.make = [] { return LChartDonutSeries::init(); };
    source.data = { { { 0, 1 }, { 1, 2 } }, { { 0, 3 }, { 1, 1 } } };
    auto rings = show(LatticeChart::initWithFrame(CGRectMake(0, 0, 200, 100)));
    EXPECT_TRUE(rings->isRadial());
    EXPECT_TRUE(rings->seriesGroups().empty());
    ASSERT_EQ(rings->series().size(), 2u);
    auto inner = std::dynamic_pointer_cast<LChartDonutSeries>(rings->series()[0]);
    auto outer = std::dynamic_pointer_cast<LChartDonutSeries>(rings->series()[1]);
    // R = 50 over two rings: the hole is 10, each ring 18.75 wide less the selected protrusion.
    float protrusion = static_cast<float>(25 * 0.6666667 / 3);
    EXPECT_FLOAT_EQ(inner->innerRadius(), 10);
    EXPECT_FLOAT_EQ(inner->outerRadius(), 28.75f - protrusion);
    EXPECT_FLOAT_EQ(outer->innerRadius(), 28.75f);
    EXPECT_FLOAT_EQ(outer->outerRadius(), 47.5f - protrusion);
    EXPECT_FALSE(inner->innerRadiusSet());
    // Points cannot be appended to or dropped from a radial chart's series.
    {
        LogCapture log;
        rings->appendNumberOfDataPointsToEndOfSeriesAtIndex(1, 0);
        rings->removeNumberOfDataPointsFromStartOfSeriesAtIndex(1, 0);
        EXPECT_FALSE(inner->dataToAppendOrRemove());
        bool appendLogged = false, removeLogged = false;
        for (const auto& message : log.messages()) {
            appendLogged |= message.find("Cannot append data points to a radial chart.  If your data has changed, "
                                         "you should call reloadData instead.")
                != std::string::npos;
            removeLogged |= message.find("Cannot remove data points from a radial chart.") != std::string::npos;
        }
        EXPECT_TRUE(appendLogged);
        EXPECT_TRUE(removeLogged);
    }
    rings->removeFromSuperview();

    source.make = [] { return LChartPieSeries::init(); };
    source.data = { { { 0, 1 }, { 1, 2 }, { 2, 3 } } };
    auto pie = show(LatticeChart::initWithFrame(CGRectMake(20, 20, 300, 200)));
    m_host->settle(0);
    auto snapshot = UIApplicationHost::renderKeyWindow();
    ASSERT_TRUE(snapshot && snapshot->CGImage());
    EXPECT_TRUE(GoldenImage::matches(snapshot->CGImage(), std::string(VX_TEST_DIR "/golden/chart-pie.png"), 8, 0.01));
}

TEST_F(LatticeChartTest, LayoutAndDrawingFromAnotherThreadAreIgnoredAfterOneWarning)
{
    source.data = { { { 0, 1 }, { 1, 2 } } };
    auto chart = LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 200, 100), 0, 0);
    chart->setDatasource(&source);
    // The warnings are once per process: let this test see them again on a repeated run.
    LChartResetThreadWarningsForTesting();
    LogCapture log;
    std::thread([&] {
        for (int i = 0; i < 2; ++i) {
            chart->layoutSubviews();
            chart->canvas()->layoutSubviews();
            chart->canvas()->drawChart(CGRectZero);
        }
    }).join();
    EXPECT_EQ(source.loads, 0);
    EXPECT_EQ(chart->canvas()->framesDrawn(), 0);
    int layoutWarnings = 0, drawWarnings = 0;
    for (const auto& message : log.messages()) {
        layoutWarnings += message.find("Ignoring layoutSubviews message") != std::string::npos;
        drawWarnings += message.find("Ignoring drawChart message") != std::string::npos;
    }
    // The chart's layout, the canvas' layout and drawing each warn once.
    EXPECT_EQ(layoutWarnings, 2);
    EXPECT_EQ(drawWarnings, 1);
}

TEST_F(LatticeChartTest, EachDisplayDrawsOneFrameTimedByTheVirtualClock)
{
    source.data = { { { 0, 1 }, { 1, 2 } } };
    auto chart = show(LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 200, 100), 0, 0));
    const auto& canvas = chart->canvas();
    int32_t frames = canvas->framesDrawn();
    // Nothing moves: no frame is drawn until one is asked for.
    m_host->settle(1);
    EXPECT_EQ(canvas->framesDrawn(), frames);

    // The frame's step is the virtual time since the previous frame.
    m_host->clock().advance(0.25);
    canvas->setNeedsToRenderChart();
    drainAll();
    EXPECT_EQ(canvas->framesDrawn(), frames + 1);
    EXPECT_DOUBLE_EQ(canvas->glView()->stepInTime(), 1.25);
}

TEST_F(LatticeChartTest, TheDelegateHearsOfEachLoadAndEachFrame)
{
    source.data = { { { 0, 1 }, { 1, 2 } } };
    RecordingDelegate delegate;
    auto chart = LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 200, 100), 0, 0);
    chart->setChartDelegate(&delegate);
    show(chart);
    drainAll();
    ASSERT_GE(delegate.events.size(), 4u);
    // A load inside the layout pass shows no indicator; the render pass that follows starts with
    // a full redraw and every drawn frame is reported once.
    EXPECT_EQ(delegate.loads(), (std::vector<std::string> { "will load", "did load" }));
    EXPECT_EQ(delegate.events[2], "render full");
    auto frames = std::count(delegate.events.begin(), delegate.events.end(), "frame");
    EXPECT_EQ(frames, chart->canvas()->framesDrawn());

    // A layout pass with nothing to reload tells of no load.
    delegate.events.clear();
    chart->setNeedsLayout();
    m_host->settle(0);
    EXPECT_TRUE(delegate.loads().empty());
}

TEST_F(LatticeChartTest, BackgroundLoadsQueueInOrderBehindTheIndicator)
{
    source.data = { { { 0, 1 }, { 1, 2 } } };
    RecordingDelegate delegate;
    auto chart = backgroundLoadingChart(delegate);

    // The pass that queues the load returns at once: nothing read, nothing laid out or drawn.
    chart->layoutSubviews();
    EXPECT_EQ(chart->loadingQueueSize(), 1);
    EXPECT_EQ(source.loads, 0);
    EXPECT_TRUE(delegate.events.empty());
    EXPECT_EQ(chart->loadingIndicator()->center().x, chart->canvas()->center().x);

    // A second reload while the first is still queued goes behind it, and so does a reload
    // read on the main thread once background loading is off again.
    chart->reloadData();
    chart->layoutSubviews();
    chart->setLoadDataInBackground(false);
    chart->reloadData();
    chart->layoutSubviews();
    EXPECT_EQ(chart->loadingQueueSize(), 3);
    EXPECT_EQ(source.loads, 0);

    source.data = { { { 0, 1 }, { 1, 2 }, { 2, 5 } } };
    drainAll();
    EXPECT_EQ(source.loads, 3);
    EXPECT_EQ(chart->loadingQueueSize(), 0);
    const std::vector<std::string> shown { "will load (indicator)", "did load (indicator)" };
    std::vector<std::string> expected;
    for (int i = 0; i < 3; ++i)
        expected.insert(expected.end(), shown.begin(), shown.end());
    EXPECT_EQ(delegate.loads(), expected);
    EXPECT_FALSE(chart->loadingIndicator()->superview());
    // The last load's data is the chart's, laid out and drawn by the pass that followed.
    ASSERT_EQ(chart->series().size(), 1u);
    EXPECT_EQ(chart->series().front()->dataSeries()->dataPoints().size(), 3u);
    EXPECT_DOUBLE_EQ(chart->yAxis()->dataRange()->max(), 5);
    EXPECT_GE(chart->canvas()->framesDrawn(), 1);
}

TEST_F(LatticeChartTest, AReloadAskedForWhileABackgroundLoadReadsIsKept)
{
    source.data = { { { 0, 1 }, { 1, 2 } } };
    RecordingDelegate delegate;
    auto chart = backgroundLoadingChart(delegate);
    // The reload is asked for after the queued load has started and before it reads the data
    // source; the load must not clear it, so the pass after its swap-in reloads once more.
    // No indicator, whose showing would itself bring a layout pass during the read.
    chart->setLoadingIndicator(nullptr);
    delegate.onWillLoad = [](LatticeChart& loading) { loading.reloadData(); };
    chart->layoutIfNeeded();
    drainAll();
    EXPECT_EQ(source.loads, 2);
    EXPECT_FALSE(chart->shouldReloadData());
}

TEST_F(LatticeChartTest, AxesAreReplacedAndRemovedWithTheirSeries)
{
    source.data = { { { 0, 1 }, { 4, 9 } } };
    auto chart = LatticeChart::initWithFrame(CGRectMake(0, 0, 300, 200));
    // On a chart without axes, setting one adds it as the primary axis.
    Ref<LChartAxis> x = LChartNumberAxis::init();
    Ref<LChartAxis> y = LChartNumberAxis::init();
    chart->setXAxis(x);
    chart->setYAxis(y);
    EXPECT_EQ(chart->xAxis(), x.get());
    show(chart);
    ASSERT_EQ(y->ownedSeries().size(), 1u);
    const auto series = y->ownedSeries().front();

    // Setting another replaces the primary in place, takes its series and reloads at the next
    // layout pass; the old axis leaves the chart and can join another.
    Ref<LChartAxis> replacement = LChartNumberAxis::init();
    chart->setYAxis(replacement);
    ASSERT_EQ(chart->yAxes().size(), 1u);
    EXPECT_EQ(chart->yAxis(), replacement.get());
    EXPECT_TRUE(replacement->isLinkedToSeries(series));
    EXPECT_EQ(y->chart(), nullptr);
    EXPECT_TRUE(chart->shouldReloadData());
    chart->setNeedsLayout();
    m_host->settle(0);
    EXPECT_EQ(source.loads, 2);
    EXPECT_EQ(chart->seriesGroups().front()->yAxis(), replacement);
    auto other = LatticeChart::initWithFrame(CGRectMake(0, 0, 10, 10));
    other->addYAxis(y);
    EXPECT_EQ(y->chart(), other.get());

    // The only axis of an orientation, or one the chart lacks, is not removed.
    LogCapture log;
    chart->removeYAxis(replacement);
    EXPECT_TRUE(log.contains("Can't remove a primary axis\nFrom: " + chart->description()));
    Ref<LChartAxis> secondary = LChartNumberAxis::init();
    chart->addYAxis(secondary);
    chart->removeYAxis(y);
    EXPECT_EQ(log.messages().back().rfind("Axis not present: ", 0), 0u) << log.messages().back();
    EXPECT_EQ(chart->yAxes().size(), 2u);

    // Removing the primary hands its series and groups to the axis that becomes primary,
    // without a reload, and the plot is mapped on that axis' ranges.
    ASSERT_EQ(replacement->ownedSeries().size(), 1u);
    const auto reloaded = replacement->ownedSeries().front();
    chart->removeYAxis(replacement);
    ASSERT_EQ(chart->yAxes().size(), 1u);
    EXPECT_EQ(chart->yAxis(), secondary.get());
    EXPECT_TRUE(secondary->isLinkedToSeries(reloaded));
    EXPECT_EQ(chart->seriesGroups().front()->yAxis(), secondary);
    EXPECT_EQ(replacement->chart(), nullptr);
    EXPECT_FALSE(chart->shouldReloadData());
    ASSERT_TRUE(secondary->dataRange());
    EXPECT_DOUBLE_EQ(secondary->dataRange()->max(), 9);
    chart->setNeedsLayout();
    m_host->settle(0);
    EXPECT_EQ(source.loads, 2);
}

TEST_F(LatticeChartTest, TheTitleTakesItsRoomAndItsPlaceAlongTheTopEdge)
{
    source.data = { { { 0, 1 }, { 1, 2 } } };
    auto chart = show(LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 400, 300), 0, 0));
    const auto& title = chart->titleLabel();
    // A title of only blanks stays hidden.
    chart->setTitle("   ");
    chart->setOverlapChartTitle(true);
    chart->setNeedsLayout();
    m_host->settle(0);
    EXPECT_TRUE(title->isHidden());

    chart->setTitle("Ground speed");
    chart->setOverlapChartTitle(false);
    chart->setNeedsLayout();
    m_host->settle(0);
    ASSERT_FALSE(title->isHidden());
    CGRect label = title->frame();
    EXPECT_GT(label.size.width, 0);
    EXPECT_GT(label.size.height, 0);
    EXPECT_EQ(label.origin.y, 0);
    // The canvas starts below the title and is that much shorter; overlapping, it takes it all.
    EXPECT_EQ(chart->canvas()->frame().origin.y, label.size.height);
    EXPECT_EQ(chart->canvas()->frame().size.height, 300 - label.size.height);
    chart->setOverlapChartTitle(true);
    chart->setNeedsLayout();
    m_host->settle(0);
    EXPECT_EQ(chart->canvas()->frame().origin.y, 0);
    EXPECT_EQ(chart->canvas()->frame().size.height, 300);

    chart->setBorderThickness(1);
    const double w = label.size.width;
    const double left = chart->spaceRequiredForYAxesNormal() + 1;
    struct Case {
        int32_t position;
        int32_t centresOn;
        double x;
    };
    const Case cases[] = {
        { 1, 0, left },
        { 2, 0, 400 - w - 1 },
        { 0, 0, (400 - w) / 2 },
        { 0, 2, (400 - w) / 2 },
        { 0, 1, CGRectGetMidX(chart->canvas()->glView()->frame()) - w / 2 },
        // Centring on anything else leaves the title where the previous case put it.
        { 0, 3, CGRectGetMidX(chart->canvas()->glView()->frame()) - w / 2 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "position " << c.position << ", centres on " << c.centresOn);
        chart->setTitlePosition(c.position);
        chart->setTitleCentresOn(c.centresOn);
        chart->positionChartTitle();
        EXPECT_NEAR(title->frame().origin.x, c.x, 0.5);
        EXPECT_EQ(chart->subviews().back(), title);
    }
    // A title the user placed stays put.
    title->setFrame(CGRectMake(7, 8, w, label.size.height));
    chart->setTitlePosition(2);
    chart->positionChartTitle();
    EXPECT_EQ(title->frame().origin.x, 7);
}

TEST_F(LatticeChartTest, SecondaryAxesStandOffPastThePrimaryWithTheirTitles)
{
    source.data = { { { 0, 1 }, { 1, 2 } } };
    auto chart = LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 400, 300), 0, 0);
    Ref<LChartAxis> left = LChartNumberAxis::init();
    Ref<LChartAxis> right = LChartNumberAxis::init();
    Ref<LChartAxis> farRight = LChartNumberAxis::init();
    right->setAxisPosition(1);
    farRight->setAxisPosition(1);
    for (const auto& axis : { left, right, farRight })
        chart->addYAxis(axis);
    chart->yAxes().front()->setTitle("Altitude");
    right->setTitle("Speed");
    show(chart);

    LChartAxis& primary = *chart->yAxes().front();
    EXPECT_FALSE(primary.titleLabel()->isHidden());
    EXPECT_EQ(primary.titleLabel()->superview().get(), chart.get());
    // A secondary axis on the primary's side starts past the primary; those on the other side
    // start at the plot edge and step outwards by each one's room.
    EXPECT_FLOAT_EQ(left->secondaryAxisOffset(), primary.spaceRequiredToDrawWithTitle(true));
    EXPECT_FLOAT_EQ(right->secondaryAxisOffset(), 0);
    EXPECT_FLOAT_EQ(farRight->secondaryAxisOffset(), -right->spaceRequiredToDrawWithTitle(true));
    EXPECT_GT(right->spaceRequiredToDrawWithTitle(true), right->spaceRequiredToDrawWithTitle(false));

    // The primary's title sits at the chart's left edge, centred on the plot area; the right
    // axis' title at the canvas' right edge.
    CGRect canvas = chart->canvas()->frame();
    CGRect gl = chart->canvas()->glView()->frame();
    CGRect primaryTitle = primary.titleLabel()->frame();
    EXPECT_NEAR(primaryTitle.origin.x, canvas.origin.x, 0.5);
    EXPECT_NEAR(CGRectGetMidY(primaryTitle), CGRectGetMidY(gl), 0.5);
    CGRect rightTitle = right->titleLabel()->frame();
    EXPECT_NEAR(rightTitle.origin.x, CGRectGetMaxX(canvas) - rightTitle.size.width, 0.5);
}

TEST_F(LatticeChartTest, TheDataSourceChoosesEachSeriesAxes)
{
    auto chart = LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 300, 200), 0, 0);
    Ref<LChartAxis> right = LChartNumberAxis::init();
    right->setAxisPosition(1);
    chart->addYAxis(right);
    source.data = { { { 0, 1 }, { 1, 2 } }, { { 0, 100 }, { 1, 300 } } };
    // Series 1 goes on the right-hand axis; series 0 gets no answer, which means the primary.
    source.axisFor = [&](int32_t series, int32_t orientation) -> Ref<LChartAxis> {
        return series == 1 && orientation == 1 ? right : nullptr;
    };
    show(chart);
    auto [x0, y0] = chart->axesForSeries(chart->series()[0].get());
    auto [x1, y1] = chart->axesForSeries(chart->series()[1].get());
    EXPECT_EQ(x0, chart->primaryXAxis());
    EXPECT_EQ(x1, chart->primaryXAxis());
    EXPECT_EQ(y0, chart->primaryYAxis());
    EXPECT_EQ(y1, right.get());
    EXPECT_EQ(chart->seriesGroups().size(), 2u);
    EXPECT_DOUBLE_EQ(right->axisRange()->maximum().doubleValue(), 300);
    EXPECT_LT(chart->primaryYAxis()->axisRange()->maximum().doubleValue(), 100);

    // A choice the chart does not hold, or of the wrong orientation, is a programming error.
    FatalErrorsThrow fatal;
    struct Case {
        const char* name;
        Ref<LChartAxis> choice;
        const char* message;
    };
    const Case cases[] = { { "an axis of no chart", LChartNumberAxis::init(), "has not been assigned to this chart" },
        { "an x axis for y", chart->xAxes().front(), "is the wrong orientation" } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        source.axisFor = [&](int32_t, int32_t orientation) { return orientation == 1 ? c.choice : nullptr; };
        chart->reloadData();
        chart->setNeedsLayout();
        try {
            chart->layoutIfNeeded();
            ADD_FAILURE() << "no fatal error";
        } catch (const ChartFatalError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
    source.axisFor = nullptr;
}

TEST_F(LatticeChartTest, AThemeIsKeptAtConstructionAndAppliedToTheChartItsAxesAndTitle)
{
    auto theme = LChartDarkTheme::init();
    theme->chartStyle()->setBorderWidth(Value(3));
    theme->chartStyle()->setBorderColor(UIColor::redColor());
    theme->chartStyle()->setPlotAreaBorderWidth(Value(2));
    theme->chartStyle()->setBackgroundColorGradient(UIColor::blueColor());
    theme->chartStyle()->setLoadingDataIndicatorColor(UIColor::greenColor());
    auto chart = LatticeChart::initWithFrameWithThemeWithPrimaryXAxisTypeWithPrimaryYAxisType(
        CGRectMake(0, 0, 300, 200), theme, 0, 0);
    // Kept, not applied: the library's default look stays until the theme is applied.
    EXPECT_EQ(chart->getTheme(), theme);
    EXPECT_TRUE(chart->backgroundColor()->isEqual(LatticeCharts::theme()->chartStyle()->backgroundColor().get()));

    chart->xAxis()->style()->setLineWidth(Value(7));
    chart->titleLabel()->setTextColor(UIColor::greenColor());
    chart->legend()->setPosition(3);
    chart->applyTheme();
    EXPECT_EQ(chart->legend()->position(), 0);
    const auto& style = theme->chartStyle();
    EXPECT_TRUE(chart->backgroundColor()->isEqual(style->backgroundColor().get()));
    EXPECT_TRUE(chart->plotAreaBackgroundColor()->isEqual(style->plotAreaBackgroundColor().get()));
    EXPECT_FLOAT_EQ(chart->borderThickness(), 3);
    EXPECT_FLOAT_EQ(chart->layer()->borderWidth(), 3);
    EXPECT_TRUE(chart->borderColor()->isEqual(UIColor::redColor().get()));
    EXPECT_FLOAT_EQ(chart->plotAreaBorderThickness(), 2);
    EXPECT_FLOAT_EQ(chart->canvas()->glView()->layer()->borderWidth(), 2);
    auto* spinner = dynamic_cast<UIActivityIndicatorView*>(chart->loadingIndicator().get());
    ASSERT_TRUE(spinner);
    EXPECT_TRUE(spinner->color()->isEqual(UIColor::greenColor().get()));
    // What was set by hand on the axis and the title gives way to the theme.
    EXPECT_TRUE(chart->xAxis()->style()->lineWidth() == theme->xAxisStyle()->lineWidth());
    EXPECT_TRUE(chart->titleLabel()->textColor()->isEqual(theme->chartTitleStyle()->textColor().get()));
    // The gradient lies under everything, from the background colour down to the gradient's.
    ASSERT_TRUE(chart->gradientView());
    EXPECT_EQ(chart->subviews().front(), chart->gradientView());
    auto gradient = std::dynamic_pointer_cast<LChartGradientView>(chart->gradientView());
    ASSERT_TRUE(gradient);
    EXPECT_TRUE(gradient->topColor()->isEqual(style->backgroundColor().get()));
    EXPECT_TRUE(gradient->bottomColor()->isEqual(UIColor::blueColor().get()));
    EXPECT_TRUE(CGRectEqualToRect(chart->gradientView()->frame(), chart->bounds()));

    // A background colour set by hand drops the gradient, in the kept theme too.
    chart->setBackgroundColor(UIColor::whiteColor());
    EXPECT_FALSE(chart->gradientView());
    EXPECT_FALSE(style->backgroundColorGradient());

    // A chart first laid out from no size gives its gradient its new bounds, and resizing the
    // chart leaves the title and legend free to be placed by the layout.
    theme->chartStyle()->setBackgroundColorGradient(UIColor::blueColor());
    auto sized = LatticeChart::initWithFrameWithTheme(CGRectZero, theme);
    sized->applyTheme();
    ASSERT_TRUE(sized->gradientView());
    sized->setFrame(CGRectMake(0, 0, 320, 240));
    EXPECT_TRUE(CGRectEqualToRect(sized->gradientView()->frame(), CGRectMake(0, 0, 320, 240)));
    EXPECT_FALSE(sized->titleLabel()->userSetFrame());
    EXPECT_FALSE(sized->legend()->userSetFrame());

    // The border moves the canvas without shrinking it.
    source.data = { { { 0, 1 }, { 1, 2 } } };
    show(chart);
    EXPECT_TRUE(CGRectEqualToRect(chart->canvas()->frame(), CGRectMake(3, 3, 300, 200)));
}

TEST_F(LatticeChartTest, AxisListsAccessorsAndProgrammaticZoom)
{
    auto bare = LatticeChart::initWithFrame(CGRectMake(0, 0, 100, 100));
    {
        LogCapture log;
        EXPECT_EQ(bare->primaryXAxis(), nullptr);
        EXPECT_EQ(bare->primaryYAxis(), nullptr);
        ASSERT_GE(log.messages().size(), 2u);
        EXPECT_NE(log.messages()[0].find("No primary x-axis to customize."), std::string::npos);
        EXPECT_NE(log.messages()[1].find("No primary y-axis to customize."), std::string::npos);
    }
    EXPECT_TRUE(bare->primaryAxes().empty());
    EXPECT_TRUE(bare->secondaryXAxes().empty());
    EXPECT_TRUE(bare->secondaryAxes().empty());
    EXPECT_TRUE(CGRectEqualToRect(bare->getGLFrame(), bare->canvas()->glView()->frame()));
    EXPECT_EQ(LatticeChart::getInfo(), "Version: 2.5.3, Edition: Premium");
    EXPECT_EQ(bare->description().rfind("LatticeChart at 0x", 0), 0u) << bare->description();

    auto chart = LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(10, 20, 300, 200), 0, 0);
    Ref<LChartAxis> y2 = LChartNumberAxis::init();
    chart->addYAxis(y2);
    auto all = chart->allAxes();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].get(), chart->primaryXAxis());
    EXPECT_EQ(all[2], y2);
    EXPECT_EQ(chart->primaryAxes().size(), 2u);
    EXPECT_EQ(chart->secondaryYAxes(), std::vector<Ref<LChartAxis>> { y2 });
    EXPECT_EQ(chart->secondaryAxes(), std::vector<Ref<LChartAxis>> { y2 });

    source.data = { { { 0, 0 }, { 10, 100 } } };
    show(chart);
    EXPECT_EQ(chart->chartSeries(), chart->series());
    // The plot area in the chart's own coordinates: the GL view's frame moved by the canvas'.
    CGRect gl = chart->getGLFrame();
    CGRect canvas = chart->canvas()->frame();
    CGRect plot = chart->getPlotAreaFrame();
    EXPECT_DOUBLE_EQ(plot.origin.x, canvas.origin.x + gl.origin.x);
    EXPECT_DOUBLE_EQ(plot.origin.y, canvas.origin.y + gl.origin.y);
    EXPECT_DOUBLE_EQ(plot.size.width, gl.size.width);

    // Zooming animates over the clock through a chain of next-pass steps, so the clock moves
    // between single passes (draining would never see the chain end at one instant).
    const auto& series = *chart->series()[0];
    EXPECT_TRUE(chart->pointIsVisibleOnSeries({ 9, 90 }, series));
    chart->zoomToPointWithRange({ 4, 50 }, { 2, 20 });
    for (int pass = 0; pass < 30; ++pass) {
        m_host->clock().moveWithoutDraining(0.1);
        runOnePass();
    }
    auto x = chart->primaryXAxis()->axisRange();
    EXPECT_NEAR(x->minimum().doubleValue(), 3, 1e-6);
    EXPECT_NEAR(x->maximum().doubleValue(), 5, 1e-6);
    auto y = chart->primaryYAxis()->axisRange();
    EXPECT_NEAR(y->minimum().doubleValue(), 40, 1e-6);
    EXPECT_NEAR(y->maximum().doubleValue(), 60, 1e-6);
    // Value text joins the axes' own texts with a comma and one blank.
    std::string expected = chart->primaryXAxis()->stringForValue(4) + ", " + chart->primaryYAxis()->stringForValue(45);
    EXPECT_EQ(chart->stringForXAndY(4, 45), expected);
    EXPECT_EQ(chart->stringForXAndYUsingSeries(4, 45, &series), expected);
    EXPECT_EQ(chart->stringForIdXAndIdYUsingSeries(Value(4), Value(45), series),
        chart->primaryXAxis()->stringForId(Value(4)) + ", " + chart->primaryYAxis()->stringForId(Value(45)));
    EXPECT_TRUE(chart->pointIsVisibleOnSeries({ 4.5, 45 }, series));
    EXPECT_FALSE(chart->pointIsVisibleOnSeries({ 9, 90 }, series));
}

TEST_F(LatticeChartTest, TakingAnAxisSwitchesPanningByWhetherAnyAxisPans)
{
    auto chart = LatticeChart::initWithFrame(CGRectMake(0, 0, 300, 200));
    auto pan = [&] {
        auto recogniser = chart->canvasOverlayView()->activePanGestureRecognizer();
        return recogniser && recogniser->isEnabled();
    };
    auto still = LChartNumberAxis::init();
    chart->addXAxis(still);
    EXPECT_FALSE(pan());
    auto panning = LChartNumberAxis::init();
    panning->setEnableGesturePanning(true);
    chart->addYAxis(panning);
    EXPECT_TRUE(pan());
    // Replacing the only panning axis by one that does not pan switches panning off again.
    chart->setYAxis(LChartNumberAxis::init());
    EXPECT_FALSE(pan());
}

TEST_F(LatticeChartTest, TheTickLabelsAtTheEndsOfAYAxisStayInsideTheChart)
{
    for (float lineWidth : { 1.0f, 2.0f }) {
        SCOPED_TRACE(testing::Message() << "tick lines " << lineWidth << " wide");
        source.data = { { { 0, 2 }, { 10, 9 } } };
        auto chart = LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 400, 300), 0, 0);
        chart->yAxis()->style()->majorTickStyle()->setLineWidth(Value(lineWidth));
        show(chart);
        LChartAxis* y = chart->yAxis();
        double top = y->axisRangeInternal()->max();
        Ref<LChartTickMark> tick;
        for (const auto& each : y->tickMarks())
            if (each->isMajor() && each->value() == top)
                tick = each;
        std::string values;
        for (const auto& each : y->tickMarks())
            values += std::to_string(each->value()) + (each->isMajor() ? "M " : " ");
        ASSERT_TRUE(tick) << "no tick at the top of the range " << top << ": " << values;
        const auto& label = tick->tickLabel();
        ASSERT_TRUE(label && label->superview()) << "the top tick has no label";
        CGRect shown = label->convertRectToView(label->bounds(), chart);
        EXPECT_GE(shown.origin.y, 0);
        EXPECT_LE(CGRectGetMaxY(shown), 300);
        chart->removeFromSuperview();
    }
}
