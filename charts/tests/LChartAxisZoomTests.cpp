#include "charts/LChartAxis.h"

#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartNumberAxis.h"
#include "charts/LChartNumberRange.h"
#include "charts/tests/ChartAxisFixtures.h"
#include "testing/Drain.h"
#include "testing/LogCapture.h"
#include "testing/VirtualClock.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

class MomentumChart : public FakeAxisChart {
public:
    int zoomFinished { 0 };
    int panFinished { 0 };
    void axisFinishedMomentumZooming(LChartAxis&) override { ++zoomFinished; }
    void axisFinishedMomentumPanning(LChartAxis&) override { ++panFinished; }
    bool animateZoomGesture() const override { return false; }
};

Ref<LChartAxis> freeAxis(double min, double max)
{
    auto axis = LChartNumberAxis::init();
    axis->setAnimationEnabled(false);
    axis->setAllowPanningOutOfMaxRange(true);
    axis->setDefaultRange(LChartNumberRange::initWithMinimumAndMaximum(Value(min), Value(max)));
    axis->setRangeInternalWithMinimumAndMaximum(Value(min), Value(max));
    return axis;
}

void expectVisible(const LChartAxis& axis, double min, double max)
{
    EXPECT_NEAR(axis.axisRangeInternal()->min(), min, 1e-9);
    EXPECT_NEAR(axis.axisRangeInternal()->max(), max, 1e-9);
}

} // namespace

TEST(LChartAxis, ZoomsAboutAFixedPoint)
{
    auto axis = freeAxis(0, 100);
    EXPECT_TRUE(axis->setZoom(2));
    expectVisible(*axis, 25, 75);
    EXPECT_DOUBLE_EQ(axis->zoom(), 2);
    axis->setRangeInternalWithMinimumAndMaximum(Value(0), Value(100));
    double origin = 0;
    axis->setZoomFromPosition(2, &origin);
    expectVisible(*axis, 0, 50);

    LogCapture log;
    for (double bad : { 0.0, -1.0, std::nan("") })
        EXPECT_FALSE(axis->setZoom(bad));
    EXPECT_EQ(log.messages().size(), 3u);
    EXPECT_EQ(log.messages()[0].rfind("Zoom must be greater than 0 and a real number\nFrom: ", 0), 0u);
}

TEST(LChartAxis, ZoomLevelsAndPanning)
{
    MomentumChart chart;
    auto axis = freeAxis(0, 100);
    axis->setChart(&chart);
    EXPECT_TRUE(axis->setZoomLevel(1));
    expectVisible(*axis, 25, 75);
    EXPECT_FALSE(axis->setZoomLevel(7));
    EXPECT_TRUE(axis->setZoomLevel(0));
    expectVisible(*axis, 0, 100);

    EXPECT_FALSE(axis->panByValue(0));
    EXPECT_TRUE(axis->panByValue(10));
    expectVisible(*axis, 10, 110);
    axis->setChart(nullptr);

    auto data = freeAxis(0, 100);
    FakeAxisSeries series;
    for (double x : { 0.0, 1000.0 }) {
        auto p = LChartInternalDataPoint::init();
        p->setXValue(Value(x));
        data->mapCoordinatesForDataPointInSeries(*p, series);
    }
    data->updateGlRange();
    data->refreshDataRange();
    EXPECT_TRUE(data->panTo(1));
    expectVisible(*data, 900, 1000);
    EXPECT_TRUE(data->panTo(2));
    expectVisible(*data, 450, 550);
    data->panTo(0);
    expectVisible(*data, 0, 100);
}

TEST(LChartAxis, MomentumSettersClamp)
{
    auto axis = LChartNumberAxis::init();
    EXPECT_DOUBLE_EQ(axis->panMomentumFactor(), 0.9800000190734863);
    EXPECT_DOUBLE_EQ(axis->zoomMomentumFactor(), 0.75);
    axis->setPanMomentumFactor(0.95);
    EXPECT_EQ(axis->panMomentumFactor(), 0.9);
    axis->setZoomMomentumFactor(0.001);
    EXPECT_EQ(axis->zoomMomentumFactor(), 0.01);
    axis->setPanMomentumDelay(0);
    EXPECT_EQ(axis->panMomentumDelay(), 0.0001);
    axis->setZoomMomentumDelay(5);
    EXPECT_EQ(axis->zoomMomentumDelay(), 0.1);
    EXPECT_FLOAT_EQ(LChartAxis::momentumModifierForVelocityWithInitialVelocity(4, 4), 1);
    EXPECT_LT(LChartAxis::momentumModifierForVelocityWithInitialVelocity(1, 4), 0.2f);
}

TEST(LChartAxis, MomentumZoomDecaysAndEndsOnItsOwn)
{
    ScopedVirtualClock clock;
    MomentumChart chart;
    auto axis = freeAxis(0, 100);
    axis->setChart(&chart);
    EXPECT_FALSE(axis->zoomWithMomentumFromPosition(1.5, 50)); // not enabled
    axis->setEnableMomentumZooming(true);

    EXPECT_FALSE(axis->zoomWithMomentumFromPosition(1.0005, 50));
    EXPECT_FALSE(axis->isMomentumZooming());
    EXPECT_EQ(chart.zoomFinished, 1);

    EXPECT_TRUE(axis->zoomWithMomentumFromPosition(1.1, 50));
    double previousZoom = axis->zoom();
    int steps = 0;
    while (axis->isMomentumZooming() && steps < 500) {
        clock.clock().moveWithoutDraining(1.0 / 30);
        runOnePass();
        EXPECT_GE(axis->zoom(), previousZoom);
        previousZoom = axis->zoom();
        ++steps;
    }
    EXPECT_FALSE(axis->isMomentumZooming());
    EXPECT_EQ(chart.zoomFinished, 2);
    // The step factor's distance from 1 shrinks by 0.75 per 1/30 s: 0.1 × 0.75^n ≤ 0.001.
    EXPECT_GE(steps, 16);
    EXPECT_LE(steps, 18);
    axis->cancelGestures();
    EXPECT_EQ(chart.zoomFinished, 2);
    EXPECT_FALSE(runOnePass());
    axis->setChart(nullptr);
}

TEST(LChartAxis, MomentumPanStopsAtOnePointTwoPercentOfItsVelocity)
{
    ScopedVirtualClock clock;
    MomentumChart chart;
    auto axis = freeAxis(0, 100);
    axis->setChart(&chart);
    axis->setEnableMomentumPanning(true);
    EXPECT_TRUE(axis->panWithMomentumStartingAt(100));
    // The first step simulates 20 ms from 125 units per second.
    EXPECT_GT(axis->axisRangeInternal()->min(), 2.0);
    EXPECT_LT(axis->axisRangeInternal()->min(), 2.5);
    int steps = 0;
    while (axis->isMomentumPanning() && steps < 1000) {
        clock.clock().moveWithoutDraining(1.0 / 60);
        runOnePass();
        ++steps;
    }
    EXPECT_FALSE(axis->isMomentumPanning());
    EXPECT_EQ(chart.panFinished, 1);
    EXPECT_LE(std::fabs(axis->panMomentumCurrent()), 1.2 + 1e-9);
    // 125 units per second decaying by 0.98 per 5 ms travels at most 125 × 0.005 / 0.02.
    EXPECT_LT(axis->axisRangeInternal()->min(), 31.25);
    EXPECT_GT(axis->axisRangeInternal()->min(), 25);
    EXPECT_FALSE(runOnePass());

    EXPECT_TRUE(axis->panWithMomentumStartingAt(-50));
    axis->cancelGestures();
    EXPECT_FALSE(axis->isMomentumPanning());
    EXPECT_EQ(chart.panFinished, 2);
    EXPECT_FALSE(runOnePass());
    axis->setChart(nullptr);
}
