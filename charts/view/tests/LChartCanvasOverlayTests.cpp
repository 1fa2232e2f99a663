#include "charts/view/LChartCanvasOverlay.h"

#include "charts/LChartAngler.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartPieSeries.h"
#include "charts/view/LChartBoxGestureRecogniser.h"
#include "charts/view/LChartCrosshair.h"
#include "charts/view/LChartPinchPanGestureRecogniser.h"
#include "charts/view/tests/GestureChartFixture.h"
#include "uikit/UILongPressGestureRecognizer.h"
#include "uikit/UIPanGestureRecognizer.h"
#include "uikit/UITapGestureRecognizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using Points = std::vector<std::vector<std::pair<double, double>>>;

const Points kLine = { { { 0, 0 }, { 25, 50 }, { 50, 100 }, { 75, 30 }, { 100, 60 } } };

class LChartCanvasOverlayTest : public GestureChartTest {
protected:
    // The line chart with both axes showing 20 to 60.
    Ref<LatticeChart> showZoomedLine()
    {
        auto chart = showChart(kLine);
        setRange(chart->xAxis(), 20, 60);
        setRange(chart->yAxis(), 20, 60);
        return chart;
    }
    CGPoint plotCentre() const
    {
        CGRect plot = plotArea();
        return CGPointMake(CGRectGetMidX(plot), CGRectGetMidY(plot));
    }
};

double span(LChartAxis* axis)
{
    return axis->axisRangeInternal()->max() - axis->axisRangeInternal()->min();
}

} // namespace

TEST_F(LChartCanvasOverlayTest, AOneFingerPanMovesTheAxesThenCoastsAndFinishesOnce)
{
    auto chart = showZoomedLine();
    LChartAxis* x = chart->xAxis();
    LChartAxis* y = chart->yAxis();
    CGPoint centre = plotCentre();
    {
        TouchSynthesis::Finger finger(inWindow(centre));
        // 10 points per 0.02 s: the first move begins the pan, the other seven move the axes.
        finger.moveBy(-80, 0, 8, 0.02);
        EXPECT_TRUE(chart->pinchOrPanInProgress());
        EXPECT_NEAR(x->axisRangeInternal()->min(), 20 + x->scaleDataValueForPixelValue(70), 1e-6);
        EXPECT_NEAR(span(x), 40, 1e-6);
        EXPECT_NEAR(y->axisRangeInternal()->min(), 20, 1e-9);
        finger.lift();
    }
    EXPECT_FALSE(chart->pinchOrPanInProgress());
    double atLift = x->axisRangeInternal()->min();
    EXPECT_TRUE(x->isMomentumPanning());
    EXPECT_FALSE(recorder.has("finish pan"));
    settle(3);
    EXPECT_GT(x->axisRangeInternal()->min(), atLift);
    EXPECT_FALSE(x->isMomentumPanning());
    EXPECT_EQ(recorder.collapsed(), (std::vector<std::string> { "start pan", "pan", "pan (momentum)", "finish pan" }));
}

TEST_F(LChartCanvasOverlayTest, ALevelPinchZoomsTheXAxesAboutTheCentreAndCoasts)
{
    auto chart = showZoomedLine();
    LChartAxis* x = chart->xAxis();
    LChartAxis* y = chart->yAxis();
    CGPoint centre = plotCentre();
    double centreValue = x->mapDataValueForPixelValue(centre.x);
    {
        TouchSynthesis::TwoFingers fingers(
            inWindow(CGPointMake(centre.x - 40, centre.y)), inWindow(CGPointMake(centre.x + 40, centre.y)));
        // 80 -> 100 begins the gesture; 100 -> 160 zooms x by 1.6 in all.
        fingers.spread(80, 4, 0.02);
        EXPECT_NEAR(span(x), 40 / 1.6, 1e-3);
        EXPECT_NEAR(x->mapDataValueForPixelValue(centre.x), centreValue, 1e-3);
        // Level fingers leave y alone.
        EXPECT_NEAR(span(y), 40, 1e-9);
        fingers.lift();
    }
    // Fingers lifted together do not coast as a pan, but the zoom carries on.
    EXPECT_EQ(recorder.count("finish pan"), 1u);
    EXPECT_FALSE(recorder.has("finish zoom"));
    settle(3);
    EXPECT_LT(span(x), 40 / 1.6);
    EXPECT_NEAR(span(y), 40, 1e-9);
    EXPECT_EQ(recorder.collapsed(),
        (std::vector<std::string> {
            "start pan", "start zoom", "zoom", "finish pan", "zoom (momentum)", "finish zoom" }));
}

TEST_F(LChartCanvasOverlayTest, PanningFurtherPastALimitMovesAThirdAsFar)
{
    auto chart = showZoomedLine();
    LChartAxis* x = chart->xAxis();
    double lowest = x->maxRange()->min();
    x->setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
        Value(lowest - 4), Value(lowest + 36), false, true);
    ASSERT_TRUE(x->beyondAxisLimits());
    ASSERT_TRUE(x->beyondAxisMinLimit());
    double before = x->axisRangeInternal()->min();
    {
        TouchSynthesis::Finger finger(inWindow(plotCentre()));
        // The first 10 points begin the pan; the next 30 drag further out.
        finger.moveBy(40, 0, 4, 0.02);
        EXPECT_NEAR(x->axisRangeInternal()->min(), before - x->scaleDataValueForPixelValue(30) / 3, 1e-6);
        finger.lift();
    }
    // Released past its limit, the axis springs back instead of coasting.
    EXPECT_FALSE(x->isMomentumPanning());
    finishRangeAnimations();
    EXPECT_NEAR(x->axisRangeInternal()->min(), lowest, 1e-6);
}

TEST_F(LChartCanvasOverlayTest, ABoxDraggedPastThePlotAreaIsMovedBackInsideAndZoomedTo)
{
    auto chart = showChart(kLine);
    chart->setGesturePanType(2);
    ASSERT_TRUE(overlay().zoomBoxView());
    EXPECT_EQ(overlay().activePanGestureRecognizer(), overlay().boxGesture());
    LChartAxis* x = chart->xAxis();
    LChartAxis* y = chart->yAxis();
    setRange(x, 0, 100);
    setRange(y, 0, 100);
    CGRect plot = plotArea();
    double right = x->mapDataValueForPixelValue(CGRectGetMaxX(plot));
    CGPoint from = CGPointMake(CGRectGetMaxX(plot) - 50, plot.origin.y + 20);
    {
        TouchSynthesis::Finger finger(inWindow(from));
        finger.moveTo(inWindow(CGPointMake(CGRectGetMaxX(plot) + 30, plot.origin.y + 80)), 3);
        // The box keeps its 80 x 60 but ends at the plot area's right edge.
        CGRect shown = overlay().zoomBoxView()->frame();
        EXPECT_FALSE(overlay().zoomBoxView()->isHidden());
        EXPECT_NEAR(shown.origin.x, CGRectGetMaxX(plot) - 80, 1e-6);
        EXPECT_NEAR(shown.size.width, 80, 1e-6);
        EXPECT_NEAR(shown.size.height, 60, 1e-6);
        EXPECT_FALSE(overlay().zoomBoxLine(0)->isHidden());
        finger.lift();
    }
    EXPECT_TRUE(overlay().zoomBoxView()->isHidden());
    EXPECT_NEAR(x->axisRangeInternal()->max(), right, 1e-3);
    EXPECT_NEAR(span(x), 100 * 80 / plot.size.width, 1e-3);
    EXPECT_NEAR(span(y), 100 * 60 / plot.size.height, 1e-3);
    EXPECT_EQ(recorder.events, (std::vector<std::string> { "box zoom" }));

    // Back to pinch and pan: the zoom box goes.
    chart->setGesturePanType(1);
    EXPECT_FALSE(overlay().zoomBoxView());
    EXPECT_EQ(overlay().activePanGestureRecognizer(), overlay().pinchAndPanGesture());
}

TEST_F(LChartCanvasOverlayTest, ADoubleTapZoomsInTwofoldAboutTheTapOrResetsTheZoom)
{
    struct Case {
        bool resets;
        double minimum, maximum;
        const char* event;
    };
    for (const Case& c : { Case { false, 15, 65, "finish zoom" }, Case { true, -1, -1, "reset zoom" } }) {
        SCOPED_TRACE(c.event);
        recorder.events.clear();
        auto chart = showChart(kLine);
        chart->setGestureDoubleTapResetsZoom(c.resets);
        EXPECT_TRUE(chart->gestureDoubleTapEnabled());
        LChartAxis* x = chart->xAxis();
        Ref<LChartRange> defaults = x->defaultRangeInternal();
        // Zoomed in, so that a reset changes the range.
        setRange(x, c.resets ? 20 : 0, c.resets ? 60 : 100);
        setRange(chart->yAxis(), 0, 100);
        CGRect plot = plotArea();
        TouchSynthesis::doubleTap(inWindow(CGPointMake(pixelOf(x, 40), CGRectGetMidY(plot))));
        settle(0);
        if (c.resets) {
            EXPECT_NEAR(x->axisRangeInternal()->min(), defaults->min(), 1e-6);
            EXPECT_NEAR(x->axisRangeInternal()->max(), defaults->max(), 1e-6);
        } else {
            EXPECT_NEAR(x->axisRangeInternal()->min(), c.minimum, 1e-6);
            EXPECT_NEAR(x->axisRangeInternal()->max(), c.maximum, 1e-6);
        }
        EXPECT_EQ(recorder.events, (std::vector<std::string> { c.event }));
        chart->removeFromSuperview();
    }
}

TEST_F(LChartCanvasOverlayTest, RecognisersSuitTheChartKindSeriesAndSwitches)
{
    auto chart = showChart(kLine);
    LChartCanvasOverlay& o = overlay();
    EXPECT_TRUE(o.pinchAndPanGesture()->isEnabled());
    EXPECT_FALSE(o.boxGesture()->isEnabled());
    EXPECT_TRUE(o.doubleTapGesture()->isEnabled());
    EXPECT_FALSE(o.singleTapGesture()->isEnabled());
    EXPECT_FALSE(o.longPressGesture()->isEnabled());
    EXPECT_FALSE(o.radialTapGesture()->isEnabled());
    EXPECT_FALSE(o.radialRotationGesture()->isEnabled());
    chart->setGestureDoubleTapEnabled(false);
    EXPECT_FALSE(o.doubleTapGesture()->isEnabled());
    chart->series().front()->setCrosshairEnabled(true);
    o.enableAppropriateGestureRecognisers();
    EXPECT_TRUE(o.longPressGesture()->isEnabled());
    EXPECT_TRUE(o.singleTapGesture()->isEnabled());
    chart->setGesturePanType(0);
    EXPECT_FALSE(o.pinchAndPanGesture()->isEnabled());
    EXPECT_EQ(o.activePanGestureRecognizer(), nullptr);
    chart->removeFromSuperview();

    // A pie chart turns and selects slices; none of the cartesian gestures apply.
    auto pie = showRadialChart({ { { 0, 1 }, { 1, 2 } } }, [](int32_t) { return LChartPieSeries::init(); });
    pie->series().front()->setSelectionMode(1);
    pie->series().front()->setCrosshairEnabled(true);
    LChartCanvasOverlay& radial = overlay();
    radial.enableAppropriateGestureRecognisers();
    EXPECT_FALSE(radial.pinchAndPanGesture()->isEnabled());
    EXPECT_FALSE(radial.boxGesture()->isEnabled());
    EXPECT_FALSE(radial.doubleTapGesture()->isEnabled());
    EXPECT_FALSE(radial.singleTapGesture()->isEnabled());
    EXPECT_FALSE(radial.longPressGesture()->isEnabled());
    EXPECT_TRUE(radial.radialTapGesture()->isEnabled());
    EXPECT_TRUE(radial.radialRotationGesture()->isEnabled());
    pie->setRadialRotationEnabled(false);
    EXPECT_FALSE(radial.radialRotationGesture()->isEnabled());
}

TEST_F(LChartCanvasOverlayTest, ACancelledPanClearsItsProgressWithoutFinishing)
{
    auto chart = showZoomedLine();
    TouchSynthesis::Finger finger(inWindow(plotCentre()));
    finger.moveBy(-40, 0, 4, 0.02);
    EXPECT_TRUE(chart->pinchOrPanInProgress());
    finger.cancel();
    EXPECT_FALSE(chart->pinchOrPanInProgress());
    settle(1);
    EXPECT_EQ(recorder.collapsed(), (std::vector<std::string> { "start pan", "pan" }));
}

namespace {

// Two level lines, one low and one high.
const Points kTwoLevels = { { { 0, 20 }, { 50, 20 }, { 100, 20 } }, { { 0, 80 }, { 50, 80 }, { 100, 80 } } };

} // namespace

TEST_F(LChartCanvasOverlayTest, TapsSelectOneSeriesAtATime)
{
    auto chart = showChart(kTwoLevels);
    for (const auto& series : chart->series())
        series->setSelectionMode(1);
    overlay().enableAppropriateGestureRecognisers();
    setRange(chart->xAxis(), 0, 100);
    setRange(chart->yAxis(), 0, 100);
    const auto& low = chart->series()[0];
    const auto& high = chart->series()[1];
    auto tapAt = [&](double x, double y) {
        TouchSynthesis::tap(inWindow(CGPointMake(pixelOf(chart->xAxis(), x), pixelOf(chart->yAxis(), y))));
        // The single tap waits for the double tap to fail.
        settle(0.5);
    };
    struct Step {
        double y;
        bool low, high;
    };
    // Select the low line, then the high one (the low one lets go), then tap the high one off.
    for (const Step& step : { Step { 22, true, false }, Step { 78, false, true }, Step { 79, false, false } }) {
        SCOPED_TRACE(step.y);
        tapAt(50, step.y);
        EXPECT_EQ(low->selected(), step.low);
        EXPECT_EQ(high->selected(), step.high);
    }
    // The taps reached the tap recogniser, not the pan.
    EXPECT_EQ(recorder.events, (std::vector<std::string>(3, "series selection")));

    // Series that toggle flip on every tap, leaving others as they are.
    low->setToggleSelection(true);
    high->setToggleSelection(true);
    tapAt(50, 22);
    tapAt(50, 78);
    EXPECT_TRUE(low->selected());
    EXPECT_TRUE(high->selected());
}

TEST_F(LChartCanvasOverlayTest, TapsSelectOnePointOfASeriesAtATime)
{
    auto chart = showChart(kTwoLevels);
    const auto& low = chart->series()[0];
    low->setSelectionMode(2);
    overlay().enableAppropriateGestureRecognisers();
    setRange(chart->xAxis(), 0, 100);
    setRange(chart->yAxis(), 0, 100);
    const auto& points = low->dataSeries()->dataPoints();
    auto tapAt = [&](double x) {
        TouchSynthesis::tap(inWindow(CGPointMake(pixelOf(chart->xAxis(), x), pixelOf(chart->yAxis(), 21))));
        settle(0.5);
    };
    tapAt(1);
    EXPECT_TRUE(points[0]->selected());
    tapAt(49);
    EXPECT_FALSE(points[0]->selected());
    EXPECT_TRUE(points[1]->selected());
    tapAt(51);
    EXPECT_FALSE(points[1]->selected());
    EXPECT_EQ(recorder.events, (std::vector<std::string>(3, "point selection")));
}

TEST_F(LChartCanvasOverlayTest, TheNearestSeriesIsTheEarlierOnATie)
{
    auto chart = showChart({ kTwoLevels[0], kTwoLevels[0], kTwoLevels[1] });
    setRange(chart->xAxis(), 0, 100);
    setRange(chart->yAxis(), 0, 100);
    CGPoint point = CGPointMake(pixelOf(chart->xAxis(), 50), pixelOf(chart->yAxis(), 30));
    LChartSeriesDistanceInfo info = overlay().closestSeriesToPixelPointSeriesConstraints(point, 2);
    EXPECT_EQ(info.series, chart->series()[0]);
    // No series selects, so under the selection constraint nothing is found.
    info = overlay().closestSeriesToPixelPointSeriesConstraints(point, 1);
    EXPECT_FALSE(info.series);
    EXPECT_EQ(info.distance, std::numeric_limits<double>::max());
}

TEST_F(LChartCanvasOverlayTest, ALongPressPlacesTheCrosshairOnTheNearestSeriesAndAPanMovesItAlong)
{
    auto chart = showChart(kTwoLevels);
    for (const auto& series : chart->series())
        series->setCrosshairEnabled(true);
    overlay().enableAppropriateGestureRecognisers();
    LChartAxis* x = chart->xAxis();
    LChartAxis* y = chart->yAxis();
    setRange(x, 0, 100);
    setRange(y, 0, 100);
    const auto& crosshair = chart->crosshair();
    crosshair->setAnimationEnabled(false);
    ASSERT_TRUE(crosshair->isHidden());
    TouchSynthesis::longPressAndDrag(
        inWindow(CGPointMake(pixelOf(x, 30), pixelOf(y, 70))), inWindow(CGPointMake(pixelOf(x, 60), pixelOf(y, 40))));
    // It took the high line, and kept to it while the finger went nearer the low one.
    EXPECT_FALSE(crosshair->isHidden());
    EXPECT_EQ(crosshair->trackingSeries(), chart->series()[1]);
    EXPECT_NEAR(recorder.crosshairValues.first, 60, 0.5);
    EXPECT_NEAR(recorder.crosshairValues.second, 80, 1e-6);
    EXPECT_FALSE(recorder.has("start pan"));

    // While it tracks, one finger moves the crosshair, not the axes.
    {
        TouchSynthesis::Finger finger(inWindow(CGPointMake(pixelOf(x, 60), pixelOf(y, 50))));
        finger.moveTo(inWindow(CGPointMake(pixelOf(x, 20), pixelOf(y, 50))), 4, 0.02);
    }
    EXPECT_NEAR(recorder.crosshairValues.first, 20, 0.5);
    EXPECT_NEAR(x->axisRangeInternal()->min(), 0, 1e-9);
    EXPECT_FALSE(recorder.has("finish pan"));

    // A redraw after the axis moves re-places it at its point; moved off the plot area it is out
    // of range, hides (the default behaviour) and says nothing.
    size_t moves = recorder.count("crosshair moved");
    double centre = crosshair->crosshairCentre().x;
    setRange(x, 10, 100);
    chart->redrawChartIncludePlotArea(false);
    EXPECT_TRUE(crosshair->inRange());
    EXPECT_EQ(recorder.count("crosshair moved"), moves + 1);
    EXPECT_LT(crosshair->crosshairCentre().x, centre);
    setRange(x, 50, 100);
    chart->redrawChartIncludePlotArea(false);
    EXPECT_FALSE(crosshair->inRange());
    EXPECT_TRUE(crosshair->isHidden());
    EXPECT_EQ(recorder.count("crosshair moved"), moves + 1);
    setRange(x, 0, 100);

    // A tap removes it.
    crosshair->showCrosshair();
    TouchSynthesis::tap(inWindow(CGPointMake(pixelOf(x, 20), pixelOf(y, 50))));
    settle(0.5);
    EXPECT_TRUE(crosshair->isHidden());
    EXPECT_FALSE(crosshair->trackingSeries());
}

TEST_F(LChartCanvasOverlayTest, RadialPointsFindTheirRingAndSlice)
{
    // Three equal slices of a pie.
    auto pie = showRadialChart({ { { 0, 1 }, { 1, 1 }, { 2, 1 } } }, [](int32_t) { return LChartPieSeries::init(); });
    settle(1);
    LChartCanvasOverlay& o = overlay();
    auto* series = dynamic_cast<LChartDonutSeries*>(pie->series().front().get());
    ASSERT_TRUE(series);
    CGPoint centre = o.donutCentre();
    EXPECT_EQ(centre.x, std::floor(o.bounds().size.width / 2) + 0.5);
    // The exact centre of a pie lies on no ring; just off it, on the pie.
    EXPECT_EQ(o.seriesFromRadialPoint(centre), nullptr);
    EXPECT_EQ(o.seriesFromRadialPoint(CGPointMake(centre.x + 1, centre.y)), series);
    EXPECT_EQ(o.seriesFromRadialPoint(CGPointMake(centre.x + series->outerRadius() + 50, centre.y)), nullptr);

    // Turned by a sixth of a turn less a bit, the slice that ends at a third crosses the top.
    const auto& points = series->dataSeries()->dataPoints();
    ASSERT_EQ(points.size(), 3u);
    double r = series->outerRadius() / 2;
    auto sliceAt = [&](double angle) {
        // `angle` counter-clockwise from the top, as the overlay measures it.
        CGPoint p = CGPointMake(centre.x - r * std::sin(angle), centre.y - r * std::cos(angle));
        Ref<LChartInternalDataPoint> slice;
        int32_t index = -1;
        o.radialPointToSliceSliceIndex(p, slice, index);
        return index;
    };
    float last = static_cast<float>(points[2]->xCoord());
    series->setRotation(static_cast<float>(2 * M_PI) - last - 0.3f);
    EXPECT_EQ(sliceAt(0.1), 2);
    EXPECT_EQ(sliceAt(2 * M_PI - 0.1), 2);
    // Outside every ring nothing is written.
    Ref<LChartInternalDataPoint> none;
    int32_t index = 7;
    o.radialPointToSliceSliceIndex(CGPointMake(0, 0), none, index);
    EXPECT_EQ(index, 7);
    EXPECT_FALSE(none);
}

TEST_F(LChartCanvasOverlayTest, TheOverlayFadesOutWhileTheDeviceTurnsAndPanningFollowsTheAxes)
{
    auto chart = showChart(kLine);
    LChartCanvasOverlay& o = overlay();
    o.viewStartRotateWithDuration(0.5);
    settle(0.2);
    EXPECT_EQ(o.alpha(), 0);
    o.viewEndRotateWithDuration(0.5);
    settle(0.2);
    EXPECT_EQ(o.alpha(), 1);

    // Panning switches off with the last axis that pans, unless the crosshair shows.
    chart->xAxis()->setEnableGesturePanning(false);
    EXPECT_TRUE(o.pinchAndPanGesture()->isEnabled());
    chart->yAxis()->setEnableGesturePanning(false);
    EXPECT_FALSE(o.pinchAndPanGesture()->isEnabled());
    chart->crosshair()->showCrosshair();
    chart->axisPanningChanged();
    EXPECT_TRUE(o.pinchAndPanGesture()->isEnabled());
}

namespace {

// A donut of four equal slices that the user may spin.
Ref<LChartLoadableSeries> spinnableDonut(int32_t)
{
    auto donut = LChartDonutSeries::init();
    donut->setGesturePanningEnabled(true);
    return donut;
}

const Points kFourSlices = { { { 0, 1 }, { 1, 1 }, { 2, 1 }, { 3, 1 } } };

} // namespace

TEST_F(LChartCanvasOverlayTest, ATapTogglesThePieSliceUnderIt)
{
    auto pie = showRadialChart(kFourSlices, [](int32_t) { return LChartPieSeries::init(); });
    settle(3);
    auto* series = dynamic_cast<LChartDonutSeries*>(pie->series().front().get());
    ASSERT_TRUE(series);
    const auto& points = series->dataSeries()->dataPoints();
    CGPoint centre = overlay().donutCentre();
    double r = series->outerRadius() / 2;
    // Just right of the top, clockwise on screen: the angle counter-clockwise is nearly a full turn.
    CGPoint point = CGPointMake(centre.x + r * 0.2, centre.y - r);
    Ref<LChartInternalDataPoint> slice;
    int32_t index = -1;
    overlay().radialPointToSliceSliceIndex(point, slice, index);
    ASSERT_GE(index, 0);
    TouchSynthesis::tap(inWindow(point));
    runFrames(3);
    EXPECT_TRUE(points[index]->selected());
    TouchSynthesis::tap(inWindow(point));
    runFrames(3);
    EXPECT_FALSE(points[index]->selected());
    // The centre of a pie hits nothing.
    TouchSynthesis::tap(inWindow(centre));
    runFrames(3);
    for (const auto& p : points)
        EXPECT_FALSE(p->selected());
}

TEST_F(LChartCanvasOverlayTest, APanSpinsADonutWhichCoastsAtACappedSpeed)
{
    auto chart = showRadialChart(kFourSlices, spinnableDonut);
    settle(3);
    auto* series = dynamic_cast<LChartDonutSeries*>(chart->series().front().get());
    ASSERT_TRUE(series);
    CGPoint centre = overlay().donutCentre();
    double r = (series->innerRadius() + series->outerRadius()) / 2;
    auto onRing = [&](double angle) {
        return inWindow(CGPointMake(centre.x + r * std::cos(angle), centre.y + r * std::sin(angle)));
    };
    float before = series->rotation();
    {
        // A quarter turn clockwise on screen in eight steps, then a fast flick (6000, 2000)
        // points per second for the last move.
        TouchSynthesis::Finger finger(onRing(0));
        for (int step = 1; step <= 8; ++step)
            finger.moveTo(onRing(step * M_PI / 16), 1, 0.02);
        // The turn counts from where the pan began, one step in.
        EXPECT_NEAR(LChartAngler::wrapHalfPI(series->rotation() - before), -7 * M_PI / 16, 1e-3);
        finger.moveBy(120, 40, 1, 0.02);
        finger.lift();
    }
    double expected = 3000 / ((overlay().bounds().size.width + overlay().bounds().size.height) * 0.5) * 2 * M_PI;
    EXPECT_NEAR(std::abs(series->rotationVelocity()), expected, 1e-3);
    EXPECT_EQ(recorder.collapsed(), (std::vector<std::string> { "radial start", "radial pan", "radial decelerate" }));

    // A spin with a single step leaves no momentum.
    series->setVelocity(0);
    recorder.events.clear();
    {
        TouchSynthesis::Finger finger(onRing(0));
        finger.moveTo(onRing(M_PI / 4), 1, 0.02);
    }
    EXPECT_EQ(series->rotationVelocity(), 0);
    EXPECT_FALSE(recorder.has("radial decelerate"));

    // A series that does not spin cancels the gesture at once.
    series->setGesturePanningEnabled(false);
    recorder.events.clear();
    float still = series->rotation();
    {
        TouchSynthesis::Finger finger(onRing(0));
        finger.moveTo(onRing(M_PI / 4), 4, 0.02);
    }
    EXPECT_EQ(series->rotation(), still);
    EXPECT_TRUE(recorder.events.empty());
}
