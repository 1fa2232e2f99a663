#include "app/view-controllers/detail/KESTFlightGraphViewController.h"

#include "charts/LChartAxisStyle.h"
#include "charts/LChartCategoryAxis.h"
#include "charts/LChartLineSeries.h"
#include "charts/LChartMajorGridlineStyle.h"
#include "charts/LChartMultiYDataPoint.h"
#include "charts/LChartNumberAxis.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartSeriesStyle.h"
#include "charts/LChartTickStyle.h"
#include "charts/LChartTitleStyle.h"
#include "charts/view/LChartLegend.h"
#include "charts/view/LatticeChart.h"
#include "foundation/NSBundle.h"
#include "graphics/UIColor.h"

#include <algorithm>
#include <cmath>
#include <limits>

VX_REGISTER_CLASS(KESTFlightGraphViewController);

namespace {

// Speed in purple, altitude in green, as on the flight tab's spark lines.
Ref<UIColor> seriesColor(int32_t index)
{
    if (index == 1)
        return UIColor::colorWithRedGreenBlueAlpha(8 / 255.0f, 196 / 255.0f, 8 / 255.0f, 1);
    return UIColor::colorWithRedGreenBlueAlpha(186 / 255.0f, 10 / 255.0f, 224 / 255.0f, 1);
}

// Both value axes pan and zoom, with momentum, and centre their titles along the axis.
void configureValueAxis(LChartAxis& axis, const std::string& title)
{
    axis.setTitle(NSLocalizedString(title));
    axis.setEnableGesturePanning(true);
    axis.setEnableGestureZooming(true);
    axis.setEnableMomentumPanning(true);
    axis.setEnableMomentumZooming(true);
    if (axis.style() && axis.style()->titleStyle())
        axis.style()->titleStyle()->setPosition(0);
}

// Room of a twentieth of the values' span above and below them, so that a series running
// along its highest or lowest value (a cruise, the ground) and its markers are drawn whole
// rather than cut at the plot area's edge.
void padValueAxis(LChartAxis& axis, const Value& rows, const char* key)
{
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    if (rows.isArray()) {
        for (size_t i = 0; i < rows.count(); ++i) {
            const Value& value = rows.objectAtIndex(i).objectForKey(key);
            if (!value.isNumber() || !std::isfinite(value.doubleValue()))
                continue;
            low = std::min(low, value.doubleValue());
            high = std::max(high, value.doubleValue());
        }
    }
    double span = high - low;
    double padding = std::isfinite(span) && span > 0 ? span / 20 : 1;
    axis.setRangePaddingLow(Value(padding));
    axis.setRangePaddingHigh(Value(padding));
}

} // namespace

Ref<KESTFlightGraphViewController> KESTFlightGraphViewController::initWithChartDataAndKeys(
    const Value& rows, const Value& keys)
{
    auto controller = makeController<KESTFlightGraphViewController>("", nullptr);
    // Laid out below the navigation bar, never under it.
    controller->setExtendedLayoutIncludesOpaqueBars(false);
    controller->setEdgesForExtendedLayout(UIRectEdgeNone);
    controller->setTitle(NSBundle::mainBundle()->localizedStringForKey("Chart", "", ""));
    controller->m_chartData = rows;
    controller->m_chartDataKeys = keys;
    return controller;
}

void KESTFlightGraphViewController::viewDidLoad()
{
    KESTBaseViewController::viewDidLoad();
    setupChart();
}

void KESTFlightGraphViewController::setupChart()
{
    auto screen = view();
    m_chart = LatticeChart::initWithFrame(CGRectInset(screen->bounds(), 15, 15));
    m_chart->setDatasource(this);
    m_chart->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleWidth
        | UIViewAutoresizingFlexibleRightMargin | UIViewAutoresizingFlexibleTopMargin | UIViewAutoresizingFlexibleHeight
        | UIViewAutoresizingFlexibleBottomMargin);
    m_chart->setClipsToBounds(false);
    // The legend stays hidden; were it shown, it would sit inside the plot area at the bottom
    // middle, one series per line.
    if (const auto& legend = m_chart->legend()) {
        legend->setHidden(true);
        legend->setPlacement(1);
        legend->setPosition(3);
        legend->setMaxSeriesPerLine(1);
    }
    // A double tap on the plot shows the whole flight again.
    m_chart->setGestureDoubleTapResetsZoom(true);

    // The samples' positions: evenly spaced, unlabelled, with a quarter slot of room at each end.
    auto xAxis = LChartCategoryAxis::init();
    xAxis->setTickLabelClippingModeHigh(0);
    xAxis->setRangePaddingHigh(Value(0.25f));
    xAxis->setRangePaddingLow(Value(0.25f));
    xAxis->setEnableGesturePanning(true);
    xAxis->setEnableGestureZooming(true);
    xAxis->setEnableMomentumPanning(true);
    xAxis->setEnableMomentumZooming(true);
    if (const auto& style = xAxis->style()) {
        if (style->majorGridLineStyle())
            style->majorGridLineStyle()->setShowMajorGridLines(false);
        if (style->minorTickStyle())
            style->minorTickStyle()->setShowTicks(false);
        if (style->majorTickStyle()) {
            style->majorTickStyle()->setShowTicks(false);
            style->majorTickStyle()->setShowLabels(false);
        }
    }
    m_chart->addXAxis(xAxis);

    auto altitudeAxis = LChartNumberAxis::init();
    configureValueAxis(*altitudeAxis, "Altitude");
    padValueAxis(*altitudeAxis, m_chartData, "altitude");
    m_chart->setYAxis(altitudeAxis);

    auto speedAxis = LChartNumberAxis::init();
    configureValueAxis(*speedAxis, "Speed");
    padValueAxis(*speedAxis, m_chartData, "speed");
    speedAxis->setAxisPosition(1);
    m_chart->addYAxis(speedAxis);

    m_chart->setBackgroundColor(UIColor::whiteColor());
    screen->setBackgroundColor(UIColor::whiteColor());
    screen->addSubview(m_chart);
}

int32_t KESTFlightGraphViewController::numberOfSeriesInSChart(LChartLoaderHost&)
{
    return m_chartDataKeys.isArray() ? static_cast<int32_t>(m_chartDataKeys.count()) : 0;
}

Ref<LChartLoadableSeries> KESTFlightGraphViewController::sChartSeriesAtIndex(LChartLoaderHost&, int32_t index)
{
    auto series = LChartLineSeries::init();
    auto color = seriesColor(index);
    const auto& style = series->style();
    if (style->pointStyle()) {
        style->pointStyle()->setShowPoints(true);
        style->pointStyle()->setColor(color);
    }
    style->setLineColor(color);
    const Value& title = m_chartDataKeys.objectAtIndex(static_cast<size_t>(index));
    series->setTitle(title.isString() ? title.string() : title.stringValue());
    return series;
}

int32_t KESTFlightGraphViewController::sChartNumberOfDataPointsForSeriesAtIndex(LChartLoaderHost&, int32_t)
{
    return m_chartData.isArray() ? static_cast<int32_t>(m_chartData.count()) : 0;
}

Ref<LChartData> KESTFlightGraphViewController::sChartDataPointAtIndexForSeriesAtIndex(
    LChartLoaderHost&, int32_t pointIndex, int32_t seriesIndex)
{
    const Value& row = m_chartData.objectAtIndex(static_cast<size_t>(pointIndex));
    const char* key = seriesIndex == 0 ? "speed" : "altitude";
    auto point = LChartMultiYDataPoint::init();
    point->setXValue(row.objectForKey("prikey"));
    Value values = Value::mutableDictionary();
    values.setObjectForKey(row.objectForKey(key), key);
    point->setYValues(values);
    return point;
}

Ref<LChartAxis> KESTFlightGraphViewController::sChartYAxisForSeriesAtIndex(LChartLoaderHost& host, int32_t index)
{
    auto* chart = dynamic_cast<LatticeChart*>(&host);
    if (!chart)
        chart = m_chart.get();
    if (!chart || chart->yAxes().empty())
        return nullptr;
    return index == 0 ? chart->yAxes().back() : chart->yAxes().front();
}
