#include "charts/view/LatticeChart.h"

#include "charts/LChartAxisStyle.h"
#include "charts/LChartCartesianSeries.h"
#include "charts/LChartCategoryAxis.h"
#include "charts/LChartDataLoader.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartDateTimeAxis.h"
#include "charts/LChartDiscontinuousDateTimeAxis.h"
#include "charts/LChartDiscontinuousNumberAxis.h"
#include "charts/LChartDonutSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartLegendStyle.h"
#include "charts/LChartMultiYDataPoint.h"
#include "charts/LChartNumberAxis.h"
#include "charts/LChartRange.h"
#include "charts/LChartSeries.h"
#include "charts/LChartSeriesGroup.h"
#include "charts/LChartStyle.h"
#include "charts/LChartTheme.h"
#include "charts/LChartTitle.h"
#include "charts/LatticeChartLog.h"
#include "charts/LatticeCharts.h"
#include "charts/gl/LChartGLView.h"
#include "charts/view/LChartAnnotation.h"
#include "charts/view/LChartCanvas.h"
#include "charts/view/LChartCanvasOverlay.h"
#include "charts/view/LChartCrosshair.h"
#include "charts/view/LChartDelegate.h"
#include "charts/view/LChartGradientView.h"
#include "charts/view/LChartLegend.h"
#include "charts/view/LChartThreadWarnings.h"
#include "foundation/Dispatch.h"
#include "foundation/NSString.h"
#include "foundation/NSThread.h"
#include "graphics/UIColor.h"
#include "uikit/UIActivityIndicatorView.h"
#include "uikit/UILabel.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <set>

VX_REGISTER_CLASS(LatticeChart);

namespace {

Ref<LChartAxis> axisOfType(int32_t type)
{
    switch (type) {
    case 0:
        return LChartNumberAxis::init();
    case 1:
        return LChartDateTimeAxis::init();
    case 2:
        return LChartCategoryAxis::init();
    case 3:
        return LChartLogarithmicAxis::init();
    case 4:
        return LChartDiscontinuousNumberAxis::init();
    case 5:
        return LChartDiscontinuousDateTimeAxis::init();
    default:
        return nullptr;
    }
}

} // namespace

Ref<LatticeChart> LatticeChart::initWithFrame(CGRect frame)
{
    auto chart = makeView<LatticeChart>(frame);
    chart->initialiseChart();
    return chart;
}

Ref<LatticeChart> LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(
    CGRect frame, int32_t xType, int32_t yType)
{
    return initWithFrameWithThemeWithPrimaryXAxisTypeWithPrimaryYAxisType(frame, nullptr, xType, yType);
}

Ref<LatticeChart> LatticeChart::initWithFrameWithTheme(CGRect frame, const Ref<LChartTheme>& theme)
{
    auto chart = initWithFrame(frame);
    if (theme)
        chart->m_theme = theme;
    return chart;
}

Ref<LatticeChart> LatticeChart::init()
{
    LatticeChartLog::logger()->handleFatalErrorWithMessageFromSource(
        "Can't init a LatticeChart without a frame. Use 'initWithFrame:', 'initWithFrame:usingTheme:', "
        "initWithFrame:withTheme:withPrimaryXAxisType:withPrimaryYAxisType:', or "
        "'initWithFrame:withPrimaryXAxisType:withPrimaryYAxisType:' instead.",
        nullptr);
    return nullptr;
}

Ref<LatticeChart> LatticeChart::initWithFrameWithThemeWithPrimaryXAxisTypeWithPrimaryYAxisType(
    CGRect frame, const Ref<LChartTheme>& theme, int32_t xType, int32_t yType)
{
    auto chart = initWithFrameWithTheme(frame, theme);
    auto make = [&chart](int32_t type) {
        if (type > 5)
            LatticeChartLog::logger()->handleFatalErrorWithMessageFromSource(
                NSString::stringWithFormat("Axis type not recognised: %d", type), chart.get());
        return axisOfType(type);
    };
    Ref<LChartAxis> x = make(xType);
    Ref<LChartAxis> y = make(yType);
    if (!x || !y)
        LatticeChartLog::logger()->handleFatalErrorWithMessageFromSource(
            NSString::stringWithFormat("%c-Axis type not recognised: %d", x ? 'Y' : 'X', x ? yType : xType),
            chart.get());
    chart->addXAxis(x);
    chart->addYAxis(y);
    return chart;
}

void LatticeChart::initialiseChart()
{
    setClipsToBounds(true);
    m_shouldReloadData = true;
    m_rotatesOnDeviceRotation = true;
    m_autoCalculateAxisRanges = true;
    m_titleLabel = LChartTitle::init();
    m_titleLabel->setTag(1);
    m_titleLabel->setAdjustsFontSizeToFitWidth(false);
    m_titleLabel->setAutoresizingMask(kLChartAllAutoresizing);
    m_titleLabel->setFrame(CGRectZero);
    m_titleLabel->setUserSetFrame(false);
    addSubview(m_titleLabel);
    m_titleLabel->setHidden(true);
    m_legend = LChartLegend::initWithChart(this);
    m_legend->setTag(2);
    addSubview(m_legend);
    m_legend->setHidden(true);
    // The library's default theme, before the canvas exists: what it says of the canvas, the
    // plot-area border and the loading indicator takes no effect now.
    if (auto theme = LatticeCharts::theme())
        applyTheme(theme->copy());
    m_canvas = LChartCanvas::initWithFrameUsingChart(bounds(), this);
    m_canvas->setAutoresizingMask(kLChartAllAutoresizing);
    m_canvas->setAutoresizesSubviews(true);
    addSubview(m_canvas);
    updateCanvasSize();
    m_loadingIndicator
        = UIActivityIndicatorView::initWithActivityIndicatorStyle(UIActivityIndicatorViewStyleWhiteLarge);
    m_loadDataInBackground = false;
    m_loadingDataQueue = dispatch_queue_create("com.latticecontrols.charts.loadingDataQueue", DISPATCH_QUEUE_SERIAL);
    m_loadingQueueSize = 0;
    setGesturePanType(1);
}

void LatticeChart::notifyWillStartLoadingData()
{
    if (m_chartDelegate)
        m_chartDelegate->sChartWillStartLoadingData(*this);
}

void LatticeChart::notifyDidFinishLoadingData()
{
    if (m_chartDelegate)
        m_chartDelegate->sChartDidFinishLoadingData(*this);
}

void LatticeChart::notifyRenderStartedWithFullRedraw(bool fullRedraw)
{
    if (m_chartDelegate)
        m_chartDelegate->sChartRenderStartedWithFullRedraw(*this, fullRedraw);
}

void LatticeChart::notifyRenderFinished()
{
    if (m_chartDelegate)
        m_chartDelegate->sChartRenderFinished(*this);
}

LatticeChart::~LatticeChart()
{
    for (const auto& axis : m_xAxes)
        axis->setChart(nullptr);
    for (const auto& axis : m_yAxes)
        axis->setChart(nullptr);
    if (LChartCanvasOverlay* overlay = canvasOverlayView())
        overlay->detachChart();
    if (m_canvas)
        m_canvas->detachChart();
    if (m_legend)
        m_legend->setChart(nullptr);
    setLoadingIndicator(nullptr);
}

std::string LatticeChart::description() const
{
    return NSString::stringWithFormat("%s at %p", className(), static_cast<const void*>(this));
}

std::string LatticeChart::getInfo()
{
    return NSString::stringWithFormat("Version: %s, Edition: %s", "2.5.3", "Premium");
}
