#include "app/view-controllers/detail/KESTFlightGraphViewController.h"

#include "app/tests/AppTestSupport.h"
#include "charts/LChartAxisStyle.h"
#include "charts/LChartCategoryAxis.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartLineSeries.h"
#include "charts/LChartMajorGridlineStyle.h"
#include "charts/LChartMultiYDataPoint.h"
#include "charts/LChartNumberAxis.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartRange.h"
#include "charts/LChartSeriesGroup.h"
#include "charts/LChartSeriesStyle.h"
#include "charts/LChartTickMark.h"
#include "charts/LChartTickStyle.h"
#include "charts/LChartTitle.h"
#include "charts/LChartTitleStyle.h"
#include "charts/gl/LChartGLView.h"
#include "charts/view/LChartCanvas.h"
#include "charts/view/LChartLegend.h"
#include "charts/view/LatticeChart.h"
#include "gles/SoftwareRendering.h"
#include "graphics/UIColor.h"
#include "testing/HostedWindow.h"
#include "testing/TouchSynthesis.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// `count` samples of a short flight: "prikey" 100 + i, altitude i * 1000, speed 200 + i.
Value flightRows(int count)
{
    Value rows = Value::mutableArray();
    for (int i = 0; i < count; ++i)
        rows.addObject(Value::dictionary({ { Value("prikey"), Value(100 + i) }, { Value("altitude"), Value(i * 1000) },
            { Value("speed"), Value(200 + i) } }));
    return rows.copy();
}

Value keys(const std::vector<std::string>& titles)
{
    Value list = Value::mutableArray();
    for (const auto& title : titles)
        list.addObject(Value(title));
    return list.copy();
}

const Ref<UIColor> kPurple = UIColor::colorWithRedGreenBlueAlpha(186 / 255.0f, 10 / 255.0f, 224 / 255.0f, 1);
const Ref<UIColor> kGreen = UIColor::colorWithRedGreenBlueAlpha(8 / 255.0f, 196 / 255.0f, 8 / 255.0f, 1);

// The screen pushed onto a navigation controller in a key window, laid out, with its chart loaded.
class KESTFlightGraphViewControllerTest : public ::testing::Test {
protected:
    void SetUp() override { preferSoftwareRendering(); }

    Ref<KESTFlightGraphViewController> show(const Value& rows, const Value& titles)
    {
        auto screen = KESTFlightGraphViewController::initWithChartDataAndKeys(rows, titles);
        m_navigation = UINavigationController::initWithRootViewController(screen);
        m_host.window()->setRootViewController(m_navigation);
        m_host.settle(0.1);
        return screen;
    }

    AppTestScope m_app;
    HostedWindow m_host { HostedWindow::Window::Key, CGSizeMake(600, 400) };
    Ref<UINavigationController> m_navigation;
};

} // namespace

// The data source, asked directly: one line series per key, every series with one point per
// row; series 0 plots "speed" in purple, the others "altitude" (series 1 green, later ones
// purple), each titled with its key.
TEST_F(KESTFlightGraphViewControllerTest, OffersOneSeriesPerKeyWithEveryRowAsAPoint)
{
    struct Case {
        std::vector<std::string> titles;
        int rows;
    };
    for (const auto& c : { Case { { "Altitude", "Speed" }, 50 }, Case { { "Altitude", "Speed", "Third" }, 3 },
             Case { { "Only" }, 4 }, Case { {}, 5 }, Case { { "Altitude", "Speed" }, 0 } }) {
        SCOPED_TRACE(std::to_string(c.titles.size()) + " keys, " + std::to_string(c.rows) + " rows");
        auto screen = KESTFlightGraphViewController::initWithChartDataAndKeys(flightRows(c.rows), keys(c.titles));
        EXPECT_EQ(screen->title(), "Chart");
        auto chart = LatticeChart::initWithFrame(CGRectMake(0, 0, 300, 200));
        ASSERT_EQ(screen->numberOfSeriesInSChart(*chart), static_cast<int32_t>(c.titles.size()));
        for (int32_t s = 0; s < static_cast<int32_t>(c.titles.size()); ++s) {
            SCOPED_TRACE("series " + std::to_string(s));
            auto series = std::dynamic_pointer_cast<LChartLineSeries>(screen->sChartSeriesAtIndex(*chart, s));
            ASSERT_TRUE(series);
            EXPECT_EQ(series->title(), c.titles[s]);
            const auto& color = s == 1 ? kGreen : kPurple;
            EXPECT_TRUE(series->style()->lineColor()->isEqual(color.get()));
            ASSERT_TRUE(series->style()->pointStyle());
            EXPECT_TRUE(series->style()->pointStyle()->showPoints());
            EXPECT_TRUE(series->style()->pointStyle()->color()->isEqual(color.get()));
            ASSERT_EQ(screen->sChartNumberOfDataPointsForSeriesAtIndex(*chart, s), c.rows);
            const char* key = s == 0 ? "speed" : "altitude";
            for (int32_t i = 0; i < c.rows; ++i) {
                auto point = std::dynamic_pointer_cast<LChartMultiYDataPoint>(
                    screen->sChartDataPointAtIndexForSeriesAtIndex(*chart, i, s));
                ASSERT_TRUE(point);
                EXPECT_EQ(point->xValue().intValue(), 100 + i);
                ASSERT_EQ(point->yValues().count(), 1u);
                double expected = s == 0 ? 200 + i : i * 1000;
                EXPECT_EQ(point->yValues().objectForKey(key).doubleValue(), expected);
                EXPECT_EQ(point->sChartYValue().doubleValue(), expected);
            }
        }
    }
    // No keys array at all: no series.
    auto bare = KESTFlightGraphViewController::initWithChartDataAndKeys(flightRows(2), Value());
    auto chart = LatticeChart::initWithFrame(CGRectMake(0, 0, 300, 200));
    EXPECT_EQ(bare->numberOfSeriesInSChart(*chart), 0);
}

// A row without one of its values gives a point without that y value; nothing fails.
TEST_F(KESTFlightGraphViewControllerTest, ARowWithoutAValueGivesAPointWithoutIt)
{
    Value rows = Value::array({ Value::dictionary({ { Value("prikey"), Value(1) }, { Value("speed"), Value(300) } }) });
    auto screen = KESTFlightGraphViewController::initWithChartDataAndKeys(rows, keys({ "Altitude", "Speed" }));
    auto chart = LatticeChart::initWithFrame(CGRectMake(0, 0, 300, 200));
    auto point = std::dynamic_pointer_cast<LChartMultiYDataPoint>(
        screen->sChartDataPointAtIndexForSeriesAtIndex(*chart, 0, 1));
    ASSERT_TRUE(point);
    EXPECT_EQ(point->yValues().count(), 0u);
}

// The screen's chart: inset by 15 points and resized with the screen, a category x axis
// without ticks, labels or grid lines, the altitude axis on the left and the speed axis on the
// right; series 0 on the speed axis, the others on the altitude axis.
TEST_F(KESTFlightGraphViewControllerTest, BuildsAChartOfTwoValueAxesOverACategoryAxis)
{
    // Built inset in the view as it loads.
    auto loaded = KESTFlightGraphViewController::initWithChartDataAndKeys(flightRows(3), keys({ "Altitude" }));
    CGRect bounds = loaded->view()->bounds();
    ASSERT_TRUE(loaded->chart());
    EXPECT_TRUE(CGRectEqualToRect(loaded->chart()->frame(), CGRectInset(bounds, 15, 15)));
    // Every autoresizing flag: margins and size all change with the screen, in proportion.
    loaded->view()->setFrame(CGRectMake(0, 0, bounds.size.width * 2, bounds.size.height / 2));
    CGRect expected = CGRectMake(30, 7.5, (bounds.size.width - 30) * 2, (bounds.size.height - 30) / 2);
    EXPECT_TRUE(CGRectEqualToRect(loaded->chart()->frame(), expected));

    auto screen = show(flightRows(50), keys({ "Altitude", "Speed" }));
    const auto& chart = screen->chart();
    ASSERT_TRUE(chart);
    EXPECT_EQ(chart->superview(), screen->view());
    EXPECT_EQ(chart->autoresizingMask(), 63u);
    EXPECT_EQ(chart->datasource(), screen.get());
    EXPECT_TRUE(chart->backgroundColor()->isEqual(UIColor::whiteColor().get()));
    ASSERT_TRUE(chart->legend());
    EXPECT_TRUE(chart->legend()->isHidden());
    EXPECT_EQ(chart->legend()->placement(), 1);
    EXPECT_EQ(chart->legend()->position(), 3);
    EXPECT_EQ(chart->legend()->maxSeriesPerLine(), 1);

    ASSERT_EQ(chart->xAxes().size(), 1u);
    auto x = std::dynamic_pointer_cast<LChartCategoryAxis>(chart->xAxes().front());
    ASSERT_TRUE(x);
    EXPECT_EQ(x->rangePaddingLow().doubleValue(), 0.25);
    EXPECT_EQ(x->rangePaddingHigh().doubleValue(), 0.25);
    EXPECT_FALSE(x->style()->majorGridLineStyle()->showMajorGridLines());
    EXPECT_FALSE(x->style()->majorTickStyle()->showTicks());
    EXPECT_FALSE(x->style()->majorTickStyle()->showLabels());
    EXPECT_FALSE(x->style()->minorTickStyle()->showTicks());

    ASSERT_EQ(chart->yAxes().size(), 2u);
    const auto& altitude = chart->yAxes().front();
    const auto& speed = chart->yAxes().back();
    EXPECT_EQ(altitude->title(), "Altitude");
    EXPECT_EQ(altitude->axisPosition(), 0);
    EXPECT_EQ(speed->title(), "Speed");
    EXPECT_EQ(speed->axisPosition(), 1);
    for (const auto& axis : { chart->xAxes().front(), altitude, speed }) {
        SCOPED_TRACE(axis->title());
        EXPECT_TRUE(axis->enableGesturePanning() && axis->enableGestureZooming());
        EXPECT_TRUE(axis->enableMomentumPanning() && axis->enableMomentumZooming());
    }
    EXPECT_EQ(screen->sChartYAxisForSeriesAtIndex(*chart, 0), speed);
    EXPECT_EQ(screen->sChartYAxisForSeriesAtIndex(*chart, 1), altitude);
    EXPECT_EQ(screen->sChartYAxisForSeriesAtIndex(*chart, 2), altitude);

    // Loaded in the first layout pass: two series of 50 points, the speed on the right-hand axis
    // and the altitude on the left-hand one, both over the category axis, each axis fitted to
    // its own series.
    ASSERT_EQ(chart->series().size(), 2u);
    for (const auto& series : chart->series())
        EXPECT_EQ(series->dataSeries()->dataPoints().size(), 50u);
    ASSERT_EQ(chart->seriesGroups().size(), 2u);
    for (const auto& group : chart->seriesGroups()) {
        EXPECT_EQ(group->groupedSeries().size(), 1u);
        EXPECT_EQ(group->xAxis(), chart->xAxes().front());
    }
    EXPECT_NE(chart->seriesGroups().front()->yAxis(), chart->seriesGroups().back()->yAxis());
    EXPECT_EQ(speed->ownedSeries().size(), 1u);
    EXPECT_EQ(altitude->ownedSeries().size(), 1u);
    struct Expected {
        Ref<LChartAxis> axis;
        double minimum, maximum;
    };
    for (const auto& e : { Expected { speed, 200, 249 }, Expected { altitude, 0, 49000 } }) {
        SCOPED_TRACE(e.axis->title());
        ASSERT_TRUE(e.axis->defaultRangeInternal());
        EXPECT_LE(e.axis->defaultRangeInternal()->min(), e.minimum);
        EXPECT_GE(e.axis->defaultRangeInternal()->max(), e.maximum);
        EXPECT_LT(
            e.axis->defaultRangeInternal()->max() - e.axis->defaultRangeInternal()->min(), 2 * (e.maximum - e.minimum));
    }
}

// A flight that climbs, cruises at 160 knots and 8,000 ft, and descends: each value axis shows
// the whole of its series, cruise included, and the label of its top tick whole inside the chart.
TEST_F(KESTFlightGraphViewControllerTest, EachValueAxisHoldsItsWholeSeriesAndShowsItsTopLabel)
{
    Value rows = Value::mutableArray();
    for (int i = 0; i < 60; ++i) {
        double climb = std::min(i, 59 - i) / 12.0; // 0 to 1 over the first and last 12 samples
        double share = std::min(climb, 1.0);
        rows.addObject(Value::dictionary(
            { { Value("prikey"), Value(100 + i) }, { Value("altitude"), Value(static_cast<int>(8000 * share)) },
                { Value("speed"), Value(static_cast<int>(60 + 100 * share)) } }));
    }
    auto screen = show(rows.copy(), keys({ "Altitude", "Speed" }));
    const auto& chart = screen->chart();
    ASSERT_TRUE(chart);
    ASSERT_EQ(chart->yAxes().size(), 2u);
    struct Expected {
        Ref<LChartAxis> axis;
        double minimum, maximum;
    };
    for (const auto& e :
        { Expected { chart->yAxes().back(), 60, 160 }, Expected { chart->yAxes().front(), 0, 8000 } }) {
        SCOPED_TRACE(e.axis->title());
        auto visible = e.axis->axisRange();
        ASSERT_TRUE(visible);
        // With room beyond the values, so that the cruise and its markers are not cut at the edge.
        EXPECT_LT(visible->min(), e.minimum);
        EXPECT_GT(visible->max(), e.maximum);
        // The highest tick on the axis has its label, whole inside the chart.
        Ref<LChartTickMark> top;
        for (const auto& tick : e.axis->tickMarks())
            if (tick->isMajor() && tick->tickEnabled() && tick->value() <= e.axis->axisRangeInternal()->max()
                && (!top || tick->value() > top->value()))
                top = tick;
        ASSERT_TRUE(top);
        const auto& label = top->tickLabel();
        ASSERT_TRUE(label && label->superview()) << "no label on the top tick " << top->value();
        CGRect shown = label->convertRectToView(label->bounds(), chart);
        EXPECT_GE(shown.origin.y, 0);
        EXPECT_GE(e.axis->transformValueToExternal(Value(top->value())).doubleValue(), e.maximum - 20);
    }
}

// A double tap on the plot, after the graph was zoomed in on every axis, shows the whole flight
// again.
TEST_F(KESTFlightGraphViewControllerTest, ADoubleTapResetsTheZoomOfEveryAxis)
{
    auto screen = show(flightRows(50), keys({ "Altitude", "Speed" }));
    const auto& chart = screen->chart();
    EXPECT_TRUE(chart->gestureDoubleTapResetsZoom());
    std::vector<LChartAxis*> axes { chart->xAxis() };
    for (LChartAxis* axis : chart->allYAxes())
        axes.push_back(axis);
    for (LChartAxis* axis : axes) {
        const auto& whole = axis->defaultRangeInternal();
        ASSERT_TRUE(whole);
        double quarter = (whole->max() - whole->min()) / 4;
        axis->setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
            Value(whole->min() + quarter), Value(whole->max() - quarter), false, false);
    }
    CGRect plot = chart->canvas()->glView()->frame();
    TouchSynthesis::doubleTap(
        chart->canvas()->overlay()->convertPointToView(CGPointMake(CGRectGetMidX(plot), CGRectGetMidY(plot)), nullptr));
    // The axes animate back, frame by frame.
    for (int frame = 0; frame < 200; ++frame) {
        m_host.clock().moveWithoutDraining(1.0 / 60);
        runOnePass();
    }
    for (LChartAxis* axis : axes) {
        SCOPED_TRACE(axis->title());
        EXPECT_NEAR(axis->axisRangeInternal()->min(), axis->defaultRangeInternal()->min(), 1e-6);
        EXPECT_NEAR(axis->axisRangeInternal()->max(), axis->defaultRangeInternal()->max(), 1e-6);
    }
}
