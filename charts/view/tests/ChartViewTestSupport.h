#pragma once

#include "charts/LChartAxis.h"
#include "charts/LChartDataPoint.h"
#include "charts/LChartDonutSeries.h"
#include "charts/LChartLineSeries.h"
#include "charts/view/LChartDelegate.h"
#include "charts/view/LatticeChart.h"
#include "gles/SoftwareRendering.h"
#include "testing/HostedWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Line series of (x, y) points, made afresh for every load.
class LineSource final : public LChartDatasource {
public:
    std::vector<std::vector<std::pair<double, double>>> data;
    std::function<Ref<LChartLoadableSeries>()> make { [] { return LChartLineSeries::init(); } };
    int32_t loads { 0 };
    // The axis the source chooses for a series (orientation 0 x, 1 y); unset: no choice.
    std::function<Ref<LChartAxis>(int32_t series, int32_t orientation)> axisFor;

    int32_t numberOfSeriesInSChart(LChartLoaderHost&) override
    {
        ++loads;
        return static_cast<int32_t>(data.size());
    }
    Ref<LChartLoadableSeries> sChartSeriesAtIndex(LChartLoaderHost&, int32_t) override { return make(); }
    int32_t sChartNumberOfDataPointsForSeriesAtIndex(LChartLoaderHost&, int32_t series) override
    {
        return static_cast<int32_t>(data[series].size());
    }
    Ref<LChartData> sChartDataPointAtIndexForSeriesAtIndex(LChartLoaderHost&, int32_t index, int32_t series) override
    {
        auto point = LChartDataPoint::init();
        point->setXValue(Value(data[series][index].first));
        point->setYValue(Value(data[series][index].second));
        return point;
    }
    Ref<LChartAxis> sChartXAxisForSeriesAtIndex(LChartLoaderHost&, int32_t series) override
    {
        return axisFor ? axisFor(series, 0) : nullptr;
    }
    Ref<LChartAxis> sChartYAxisForSeriesAtIndex(LChartLoaderHost&, int32_t series) override
    {
        return axisFor ? axisFor(series, 1) : nullptr;
    }
};

// Records what the chart tells its delegate, and whether the loading indicator was showing on
// the chart when a load started or finished.
class RecordingDelegate final : public LChartDelegate {
public:
    std::vector<std::string> events;
    // Run (once) when the next load starts.
    std::function<void(LatticeChart&)> onWillLoad;

    void sChartWillStartLoadingData(LatticeChart& chart) override
    {
        events.push_back(std::string("will load") + indicator(chart));
        if (auto hook = std::exchange(onWillLoad, nullptr))
            hook(chart);
    }
    void sChartDidFinishLoadingData(LatticeChart& chart) override
    {
        events.push_back(std::string("did load") + indicator(chart));
    }
    void sChartRenderStartedWithFullRedraw(LatticeChart&, bool full) override
    {
        events.push_back(full ? "render full" : "render");
    }
    void sChartRenderFinished(LatticeChart&) override { events.push_back("frame"); }
    void sChartAlterLabelForDatapointAtSliceIndexInRadialSeries(
        LatticeChart&, UILabel&, LChartRadialDataPoint&, int32_t index, LChartDonutSeries&) override
    {
        events.push_back("label " + std::to_string(index));
    }
    void sChartRadialSeriesDidEndDecelerating(LatticeChart&, LChartDonutSeries&) override { events.push_back("rest"); }

    // The load events alone, in order.
    std::vector<std::string> loads() const
    {
        std::vector<std::string> list;
        for (const auto& event : events)
            if (event.find("load") != std::string::npos)
                list.push_back(event);
        return list;
    }

private:
    static const char* indicator(LatticeChart& chart)
    {
        const auto& shown = chart.loadingIndicator();
        return shown && shown->superview().get() == &chart ? " (indicator)" : "";
    }
};

// A key window on a virtual clock that charts are shown in, fed by `source`.
class ChartViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        preferSoftwareRendering();
        m_host = std::make_unique<HostedWindow>(HostedWindow::Window::Key, CGSizeMake(400, 300));
    }
    void TearDown() override { m_host.reset(); }
    Ref<LatticeChart> show(const Ref<LatticeChart>& chart)
    {
        m_host->root()->view()->addSubview(chart);
        chart->setDatasource(&source);
        chart->setNeedsLayout();
        m_host->settle(0);
        return chart;
    }
    // A chart in the window that reads its data source on its loading queue, not yet laid out.
    Ref<LatticeChart> backgroundLoadingChart(LChartDelegate& delegate)
    {
        auto chart = LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 200, 100), 0, 0);
        m_host->root()->view()->addSubview(chart);
        chart->setChartDelegate(&delegate);
        chart->setLoadDataInBackground(true);
        chart->setDatasource(&source);
        return chart;
    }
    std::unique_ptr<HostedWindow> m_host;
    LineSource source;
};
