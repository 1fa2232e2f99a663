#pragma once

// A hosted chart for gesture tests: the chart fills a 400 x 300 key window, its series come from
// a table of points, and a delegate records the gesture callbacks in order. Touches are given in
// the overlay's coordinates and synthesized in the window's.

#include "charts/LChartAxis.h"
#include "charts/LChartDataPoint.h"
#include "charts/LChartDatasource.h"
#include "charts/LChartLineSeries.h"
#include "charts/LChartRange.h"
#include "charts/gl/LChartGLView.h"
#include "charts/view/LChartCanvas.h"
#include "charts/view/LChartCanvasOverlay.h"
#include "charts/view/LChartDelegate.h"
#include "charts/view/LatticeChart.h"
#include "gles/SoftwareRendering.h"
#include "testing/HostedWindow.h"
#include "testing/TouchSynthesis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Series of (x, y) points; `make` gives each load its series (line series by default).
class PointTableSource final : public LChartDatasource {
public:
    std::vector<std::vector<std::pair<double, double>>> points;
    std::function<Ref<LChartLoadableSeries>(int32_t index)> make { [](int32_t) { return LChartLineSeries::init(); } };

    int32_t numberOfSeriesInSChart(LChartLoaderHost&) override { return static_cast<int32_t>(points.size()); }
    Ref<LChartLoadableSeries> sChartSeriesAtIndex(LChartLoaderHost&, int32_t index) override { return make(index); }
    int32_t sChartNumberOfDataPointsForSeriesAtIndex(LChartLoaderHost&, int32_t series) override
    {
        return static_cast<int32_t>(points[series].size());
    }
    Ref<LChartData> sChartDataPointAtIndexForSeriesAtIndex(LChartLoaderHost&, int32_t index, int32_t series) override
    {
        auto point = LChartDataPoint::init();
        point->setXValue(Value(points[series][index].first));
        point->setYValue(Value(points[series][index].second));
        return point;
    }
};

// The gesture callbacks by name; "(momentum)" marks movement reported while momentum runs.
class GestureRecorder final : public LChartDelegate {
public:
    std::vector<std::string> events;

    void sChartDidStartPanning(LatticeChart&) override { events.push_back("start pan"); }
    void sChartDidStartZooming(LatticeChart&) override { events.push_back("start zoom"); }
    void sChartIsPanningWithChartMovementInformation(LatticeChart&, const LChartMovementInformation& info) override
    {
        events.push_back(info.momentum ? "pan (momentum)" : "pan");
    }
    void sChartIsZoomingWithChartMovementInformation(LatticeChart&, const LChartMovementInformation& info) override
    {
        events.push_back(info.momentum ? "zoom (momentum)" : "zoom");
    }
    void sChartDidFinishPanning(LatticeChart&) override { events.push_back("finish pan"); }
    void sChartDidFinishZooming(LatticeChart&) override { events.push_back("finish zoom"); }
    void sChartDidResetZoom(LatticeChart&) override { events.push_back("reset zoom"); }
    void sChartDidBoxZoom(LatticeChart&) override { events.push_back("box zoom"); }
    void sChartToggledSelectionForSeriesNearPointAtPixelCoordinate(
        LatticeChart&, LChartSeries&, const Ref<LChartDataPoint>&, CGPoint) override
    {
        events.push_back("series selection");
    }
    void sChartToggledSelectionForPointInSeriesAtPixelCoordinate(
        LatticeChart&, const Ref<LChartDataPoint>&, LChartSeries&, CGPoint) override
    {
        events.push_back("point selection");
    }
    void sChartCrosshairMovedToXValueAndYValue(LatticeChart&, const Value& x, const Value& y) override
    {
        events.push_back("crosshair moved");
        crosshairValues = { x.doubleValue(), y.doubleValue() };
    }
    void sChartRadialSeriesDidStartPanning(LatticeChart&, LChartDonutSeries&) override
    {
        events.push_back("radial start");
    }
    void sChartRadialSeriesIsPanning(LatticeChart&, LChartDonutSeries&) override { events.push_back("radial pan"); }
    void sChartRadialSeriesWillBeginDecelerating(LatticeChart&, LChartDonutSeries&) override
    {
        events.push_back("radial decelerate");
    }

    size_t count(const std::string& event) const { return std::count(events.begin(), events.end(), event); }
    bool has(const std::string& event) const { return count(event) > 0; }
    // The events with runs of the same event collapsed to one.
    std::vector<std::string> collapsed() const
    {
        std::vector<std::string> list;
        for (const auto& event : events)
            if (list.empty() || list.back() != event)
                list.push_back(event);
        return list;
    }

    std::pair<double, double> crosshairValues {};
};

class GestureChartTest : public ::testing::Test {
protected:
    void SetUp() override { preferSoftwareRendering(); }
    void TearDown() override
    {
        if (m_chart)
            m_chart->setChartDelegate(nullptr);
        m_chart = nullptr;
        m_host.reset();
    }

    // A cartesian chart of `points` on number axes of fixed width whose gestures are all switched
    // on and whose zoom and range changes do not animate.
    Ref<LatticeChart> showChart(std::vector<std::vector<std::pair<double, double>>> points)
    {
        source.points = std::move(points);
        m_chart = LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 400, 300), 0, 0);
        for (LChartAxis* axis : { m_chart->xAxis(), m_chart->yAxis() }) {
            axis->setEnableGestureZooming(true);
            axis->setEnableGesturePanning(true);
            axis->setEnableMomentumZooming(true);
            axis->setEnableMomentumPanning(true);
            // A fixed width keeps the plot area still while the tick labels change.
            axis->setWidth(Value(40));
        }
        return host(m_chart);
    }
    // A radial chart of one series per table entry, made by `make`.
    Ref<LatticeChart> showRadialChart(std::vector<std::vector<std::pair<double, double>>> points,
        std::function<Ref<LChartLoadableSeries>(int32_t)> make)
    {
        source.points = std::move(points);
        source.make = std::move(make);
        m_chart = LatticeChart::initWithFrame(CGRectMake(0, 0, 400, 300));
        return host(m_chart);
    }
    Ref<LatticeChart> host(const Ref<LatticeChart>& chart)
    {
        m_host->window()->addSubview(chart);
        chart->setAnimateZoomGesture(false);
        chart->setAnimateBoxGesture(false);
        chart->setChartDelegate(&recorder);
        chart->setDatasource(&source);
        chart->setNeedsLayout();
        m_host->settle(0);
        return chart;
    }
    LChartCanvasOverlay& overlay() const { return *m_chart->canvasOverlayView(); }
    CGRect plotArea() const { return m_chart->canvas()->glView()->frame(); }
    // A point of the overlay in the window, where touches are synthesized.
    CGPoint inWindow(CGPoint overlayPoint) const
    {
        return m_chart->canvas()->overlay()->convertPointToView(overlayPoint, nullptr);
    }
    // The overlay pixel of an x or y data value.
    static double pixelOf(LChartAxis* axis, double value)
    {
        return axis->mapPixelValueForDataValueUsingSeries(value, nullptr);
    }
    static void setRange(LChartAxis* axis, double minimum, double maximum)
    {
        axis->setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
            Value(minimum), Value(maximum), false, false);
    }
    void settle(double seconds) { m_host->settle(seconds); }
    // Runs frames 1/60 s apart for `seconds`. Animations timed by the media clock (a slice
    // moving out) ask for the next frame at once and so never drain on a clock that stands still.
    void runFrames(double seconds)
    {
        for (double t = 0; t < seconds; t += 1.0 / 60) {
            m_host->clock().moveWithoutDraining(1.0 / 60);
            runOnePass();
        }
    }
    // Steps the run loop frame by frame until no axis animates its range. A range animation
    // steps by delayed performs of delay 0 and so never drains on a clock that stands still.
    void finishRangeAnimations()
    {
        for (int frame = 0; frame < 200; ++frame) {
            bool animating = false;
            for (LChartAxis* axis : m_chart->allXAxes())
                animating = animating || axis->animatingRange();
            for (LChartAxis* axis : m_chart->allYAxes())
                animating = animating || axis->animatingRange();
            if (!animating)
                return;
            m_host->clock().moveWithoutDraining(1.0 / 60);
            runOnePass();
        }
        ADD_FAILURE() << "a range animation did not finish";
    }

    std::unique_ptr<HostedWindow> m_host { std::make_unique<HostedWindow>(
        HostedWindow::Window::Key, CGSizeMake(400, 300)) };
    PointTableSource source;
    GestureRecorder recorder;
    Ref<LatticeChart> m_chart;
};
