#pragma once

#include "app/view-controllers/common/KESTBaseViewController.h"
#include "charts/LChartDatasource.h"
#include "foundation/Value.h"

class LChartAxis;
class LatticeChart;

// One flight's speed and altitude over the samples of its track: two line series in a chart
// view that fills the screen less a 15-point margin, on a category x axis (no ticks, labels or
// grid lines) with an "Altitude" axis on the left and a "Speed" axis on the right. Series 0
// plots each row's "speed" on the speed axis, every other series its "altitude" on the altitude
// axis; the series are titled with the keys in order. The rows and keys are fixed for the
// screen's life, and the chart loads them on the main thread in its first layout pass. The
// screen is its chart's data source. Main thread only.
class KESTFlightGraphViewController : public KESTBaseViewController, public LChartDatasource {
    VX_OBJECT(KESTFlightGraphViewController, KESTBaseViewController)
public:
    explicit KESTFlightGraphViewController(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    // `rows`: an array of dictionaries with "prikey" (the x value), "altitude" and "speed"
    // (numbers in the user's units); `keys`: one series title per series.
    static Ref<KESTFlightGraphViewController> initWithChartDataAndKeys(const Value& rows, const Value& keys);

    void viewDidLoad() override;
    void setupChart();

    const Ref<LatticeChart>& chart() const { return m_chart; }
    void setChart(const Ref<LatticeChart>& chart) { m_chart = chart; }
    const Value& chartDataKeys() const { return m_chartDataKeys; }
    void setChartDataKeys(const Value& keys) { m_chartDataKeys = keys; }
    const Value& chartData() const { return m_chartData; }
    void setChartData(const Value& rows) { m_chartData = rows; }

    // The chart's data source.
    int32_t numberOfSeriesInSChart(LChartLoaderHost& chart) override;
    Ref<LChartLoadableSeries> sChartSeriesAtIndex(LChartLoaderHost& chart, int32_t index) override;
    int32_t sChartNumberOfDataPointsForSeriesAtIndex(LChartLoaderHost& chart, int32_t seriesIndex) override;
    Ref<LChartData> sChartDataPointAtIndexForSeriesAtIndex(
        LChartLoaderHost& chart, int32_t pointIndex, int32_t seriesIndex) override;
    // Series 0 goes on the last y axis (speed), every other series on the primary (altitude).
    Ref<LChartAxis> sChartYAxisForSeriesAtIndex(LChartLoaderHost& chart, int32_t index) override;

private:
    Ref<LatticeChart> m_chart;
    Value m_chartDataKeys;
    Value m_chartData;
};
