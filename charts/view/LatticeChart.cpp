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

std::vector<LChartAxis*> rawAxes(const std::vector<Ref<LChartAxis>>& axes)
{
    std::vector<LChartAxis*> list;
    for (const auto& axis : axes)
        list.push_back(axis.get());
    return list;
}

Ref<LChartCartesianSeries> asCartesian(const Ref<LChartSeries>& series)
{
    return std::dynamic_pointer_cast<LChartCartesianSeries>(series);
}

// Hidden while its text is nil or only white space.
void hideTitleIfBlank(LChartTitle& title)
{
    const std::string& text = title.text();
    title.setHidden(text.find_first_not_of(" \t\n\r\f\v") == std::string::npos);
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

void LatticeChart::setLoadingIndicator(const Ref<UIView>& indicator)
{
    if (indicator == m_loadingIndicator)
        return;
    if (m_loadingIndicator && m_loadingIndicator->superview())
        m_loadingIndicator->removeFromSuperview();
    m_loadingIndicator = indicator;
}

void LatticeChart::startLoadingIndicator()
{
    if (!m_loadingIndicator)
        return;
    addSubview(m_loadingIndicator);
    if (auto* spinner = dynamic_cast<UIActivityIndicatorView*>(m_loadingIndicator.get()))
        spinner->startAnimating();
}

void LatticeChart::stopLoadingIndicator()
{
    if (!m_loadingIndicator)
        return;
    if (auto* spinner = dynamic_cast<UIActivityIndicatorView*>(m_loadingIndicator.get()))
        spinner->stopAnimating();
    m_loadingIndicator->removeFromSuperview();
}

int32_t LatticeChart::loadingQueueSize() const
{
    std::lock_guard guard(m_queueSizeLock);
    return m_loadingQueueSize;
}

void LatticeChart::incrementQueueSize()
{
    std::lock_guard guard(m_queueSizeLock);
    ++m_loadingQueueSize;
}

void LatticeChart::decrementQueueSize()
{
    std::lock_guard guard(m_queueSizeLock);
    --m_loadingQueueSize;
}

void LatticeChart::loadOnMainThread()
{
    notifyWillStartLoadingData();
    bool hadAxes = !m_xAxes.empty() && !m_yAxes.empty();
    auto load = [this] {
        auto entries = loadNewChartSeriesEntries();
        auto groups = groupAndMapSeries(entries);
        updateChartWithNewChartSeriesNewSeriesGroups(entries, groups);
    };
    load();
    // Axes just made from the data: the series were read before there were axes to map
    // them, so they are read again against the new axes.
    if (!hadAxes && !m_isRadial && !m_xAxes.empty() && !m_yAxes.empty())
        load();
    notifyDidFinishLoadingData();
}

void LatticeChart::queueLoad(bool readInBackground)
{
    // The block holds the chart until it has run.
    auto self = std::static_pointer_cast<LatticeChart>(shared_from_this());
    incrementQueueSize();
    dispatch_async(m_loadingDataQueue, [self, readInBackground] {
        if (!readInBackground) {
            dispatch_sync(dispatch_get_main_queue(), [&] {
                self->startLoadingIndicator();
                self->loadOnMainThread();
                self->stopLoadingIndicator();
                self->setNeedsLayout();
            });
            self->decrementQueueSize();
            return;
        }
        // The queue reads the data source against copies taken on the main thread and hands
        // its results back there; it never touches what the main thread draws with.
        LoadSnapshot snapshot;
        dispatch_sync(dispatch_get_main_queue(), [&] {
            self->startLoadingIndicator();
            self->notifyWillStartLoadingData();
            snapshot = self->makeLoadSnapshot();
        });
        // Axes just made from the data: the series were read before there were axes to map
        // them, so they are read once more against the new axes, as a load on the main thread
        // does.
        for (bool again = true, first = true; again; first = false) {
            auto entries = self->loadEntriesFromSnapshot(snapshot);
            auto groups = self->groupAndMapSeries(entries);
            bool radial = self->m_loadingIsRadial;
            dispatch_sync(dispatch_get_main_queue(), [&] {
                bool hadAxes = !self->m_xAxes.empty() && !self->m_yAxes.empty();
                self->m_isRadial = radial;
                self->updateChartWithNewChartSeriesNewSeriesGroups(entries, groups);
                again = first && !hadAxes && !radial && !self->m_xAxes.empty() && !self->m_yAxes.empty();
                if (again) {
                    snapshot = self->makeLoadSnapshot();
                    return;
                }
                self->notifyDidFinishLoadingData();
                self->stopLoadingIndicator();
                self->setNeedsLayout();
            });
        }
        self->decrementQueueSize();
    });
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

void LatticeChart::setDatasource(LChartDatasource* datasource)
{
    m_datasource = datasource;
    reloadData();
}

void LatticeChart::reloadData()
{
    m_shouldReloadData = true;
    for (const auto& series : m_series)
        series->clearAppendFlags();
}

void LatticeChart::announceChangeToSeriesAtIndex(
    int32_t seriesIndex, const char* verb, const std::function<void(LChartSeries&)>& change)
{
    if (m_isRadial) {
        LatticeChartLog::logger()->handleErrorWithMessageFromSource(
            NSString::stringWithFormat("Cannot %s data points %s a radial chart.  If your data has changed, you "
                                       "should call reloadData instead.",
                verb, std::string(verb) == "append" ? "to" : "from"),
            this);
        return;
    }
    if (seriesIndex >= 0 && seriesIndex < static_cast<int32_t>(m_series.size()))
        change(*m_series[seriesIndex]);
}

void LatticeChart::appendNumberOfDataPointsToEndOfSeriesAtIndex(int32_t count, int32_t seriesIndex)
{
    announceChangeToSeriesAtIndex(
        seriesIndex, "append", [count](LChartSeries& series) { series.appendNumberOfDataPoints(count); });
}

void LatticeChart::removeNumberOfDataPointsFromStartOfSeriesAtIndex(int32_t count, int32_t seriesIndex)
{
    announceChangeToSeriesAtIndex(
        seriesIndex, "remove", [count](LChartSeries& series) { series.removeNumberOfDataPoints(count); });
}

std::pair<LChartAxis*, LChartAxis*> LatticeChart::axesForSeries(const LChartSeries* series) const
{
    auto log = LatticeChartLog::logger();
    if (!series)
        log->handleFatalErrorWithMessageFromSource("Attempting to find axes for nil series", this);
    auto linked = [&](const std::vector<Ref<LChartAxis>>& axes) -> LChartAxis* {
        for (const auto& axis : axes)
            for (const auto& owned : axis->ownedSeries())
                if (dynamic_cast<const LChartSeries*>(owned.get()) == series)
                    return axis.get();
        return nullptr;
    };
    LChartAxis* x = linked(m_xAxes);
    LChartAxis* y = linked(m_yAxes);
    if (!x || !y)
        log->handleFatalErrorWithMessageFromSource(
            NSString::stringWithFormat("Couldn't find axis for series \"%s\"%s", series->description(),
                m_xAxes.empty() && m_yAxes.empty() ? " (this chart has no axes)" : ""),
            this);
    return { x, y };
}

void LatticeChart::appendAnnouncedData()
{
    std::set<std::string> touched;
    bool appended = false;
    for (size_t i = 0; i < m_series.size(); ++i) {
        const auto& series = m_series[i];
        if (!series->dataToAppendOrRemove())
            continue;
        auto [x, y] = axesForSeries(series.get());
        auto loader = LChartDataLoader::initWithChartDatasourceErrorHandler(this, m_datasource, series->errorHandler());
        auto points = loader->appendDataPointsToSeriesWithIndexNumberOfPointsToRemoveFromStartXAxisYAxis(
            series->numberOfNewDataPoints(), series, static_cast<int32_t>(i), series->numberOfPointsToRemoveFromStart(),
            *x, *y);
        series->clearAppendFlags();
        std::vector<Ref<LChartAxisSeries>> all;
        for (const auto& each : m_series)
            if (auto cartesian = asCartesian(each))
                all.push_back(cartesian);
        if (auto cartesian = asCartesian(series)) {
            for (const auto& group : m_seriesGroups) {
                const auto& members = group->groupedSeries();
                if (std::find(members.begin(), members.end(), Ref<LChartGroupedSeries>(cartesian)) == members.end())
                    continue;
                group->xAxis()->recalculateBarColumns(all);
                group->yAxis()->recalculateBarColumns(all);
                group->mapDataPointsInSeries(points, cartesian);
                group->xAxis()->updateGlRange();
                group->yAxis()->updateGlRange();
            }
        }
        touched.insert(x->axisKey());
        touched.insert(y->axisKey());
        appended = true;
    }
    for (const auto& axis : m_xAxes)
        if (touched.count(axis->axisKey()))
            updateRangesOnCartesianAxis(*axis);
    for (const auto& axis : m_yAxes)
        if (touched.count(axis->axisKey()))
            updateRangesOnCartesianAxis(*axis);
    if (appended)
        m_canvas->setRedrawGL(true);
}

void LatticeChart::takeAxis(const Ref<LChartAxis>& axis, int32_t orientation)
{
    auto log = LatticeChartLog::logger();
    if (!axis)
        log->handleFatalErrorWithMessageFromSource("Cannot assign a nil axis to the chart", this);
    // An axis this chart already holds says so, rather than that it belongs to another chart.
    if (isOwningAxis(axis.get()))
        log->handleFatalErrorWithMessageFromSource(
            NSString::stringWithFormat("LChartAxis at %p is already in use as a chart axis. Each chart axis must use a "
                                       "distinct object.",
                static_cast<const void*>(axis.get())),
            this);
    if (axis->chart())
        log->handleFatalErrorWithMessageFromSource(
            NSString::stringWithFormat("LChartAxis at %p already belongs to another "
                                       "chart at %p",
                static_cast<const void*>(axis.get()), static_cast<const void*>(axis->chart())),
            this);
    axis->setAxisOrientation(orientation);
    // The theme's axis style fills in what the user did not set on the axis, and its title
    // style dresses the axis' title label.
    if (m_theme) {
        const Ref<LChartAxisStyle>& themeStyle = orientation == 0 ? m_theme->xAxisStyle() : m_theme->yAxisStyle();
        if (themeStyle) {
            applyStyleToAxisPreservingSetValues(themeStyle, *axis, true);
            if (const auto& titleStyle = themeStyle->titleStyle()) {
                const auto& label = axis->titleLabel();
                label->setTextColor(titleStyle->textColor());
                label->setFont(titleStyle->font());
                label->setMinimumFontSize(titleStyle->minimumFontSize());
                label->setTextAlignment(static_cast<NSTextAlignment>(titleStyle->textAlign()));
                label->setBackgroundColor(titleStyle->backgroundColor());
            }
        }
    }
    axis->setAxisFrame(m_canvas->frame());
    axis->setChart(this);
    setNeedsLayoutIfHaveAxesAndData();
    axis->titleLabel()->setAutoresizingMask(kLChartAllAutoresizing);
    addSubview(axis->titleLabel());
}

void LatticeChart::addXAxis(const Ref<LChartAxis>& axis)
{
    takeAxis(axis, 0);
    m_xAxes.push_back(axis);
    axisPanningChanged();
}

void LatticeChart::addYAxis(const Ref<LChartAxis>& axis)
{
    takeAxis(axis, 1);
    m_yAxes.push_back(axis);
    axisPanningChanged();
}

void LatticeChart::setXAxis(const Ref<LChartAxis>& axis)
{
    if (m_xAxes.empty())
        addXAxis(axis);
    else
        replaceXAxisWithAxis(m_xAxes.front(), axis);
}

void LatticeChart::setYAxis(const Ref<LChartAxis>& axis)
{
    if (m_yAxes.empty())
        addYAxis(axis);
    else
        replaceYAxisWithAxis(m_yAxes.front(), axis);
}

void LatticeChart::replaceXAxisWithAxis(const Ref<LChartAxis>& old, const Ref<LChartAxis>& axis)
{
    replaceAxisWithAxisInArray(old, axis, m_xAxes);
}

void LatticeChart::replaceYAxisWithAxis(const Ref<LChartAxis>& old, const Ref<LChartAxis>& axis)
{
    replaceAxisWithAxisInArray(old, axis, m_yAxes);
}

void LatticeChart::replaceAxisWithAxisInArray(
    const Ref<LChartAxis>& oldAxis, const Ref<LChartAxis>& axis, std::vector<Ref<LChartAxis>>& axes)
{
    // A copy: the caller may hand in the array's own element, which is overwritten below.
    Ref<LChartAxis> old = oldAxis;
    auto log = LatticeChartLog::logger();
    if (!axis)
        log->handleFatalErrorWithMessageFromSource(
            NSString::stringWithFormat(
                "Cannot replace old axis at %p with a nil axis", static_cast<const void*>(old.get())),
            this);
    auto place = std::find(axes.begin(), axes.end(), old);
    if (!old || place == axes.end())
        log->handleFatalErrorWithMessageFromSource(
            NSString::stringWithFormat(
                "Cannot replace axis at %p as it is not assigned to the chart", static_cast<const void*>(old.get())),
            this);
    takeAxis(axis, &axes == &m_xAxes ? 0 : 1);
    old->removeViews();
    *place = axis;
    for (const auto& series : old->ownedSeries())
        axis->linkSeries(series);
    // The old axis no longer points at this chart, so it can join another and never reaches
    // this chart once it is gone.
    old->unlinkAllSeries();
    old->setChart(nullptr);
    m_shouldReloadData = true;
    // Panning follows the axes the chart now holds, the new one counted.
    axisPanningChanged();
}

void LatticeChart::removeXAxis(const Ref<LChartAxis>& axis)
{
    removeAxisFrom(axis, m_xAxes);
}

void LatticeChart::removeYAxis(const Ref<LChartAxis>& axis)
{
    removeAxisFrom(axis, m_yAxes);
}

void LatticeChart::removeAxisFrom(const Ref<LChartAxis>& leaving, std::vector<Ref<LChartAxis>>& axes)
{
    // A copy: the caller may hand in the array's own element, which is erased below.
    Ref<LChartAxis> axis = leaving;
    auto log = LatticeChartLog::logger();
    if (axes.size() <= 1) {
        log->handleErrorWithMessageFromSource("Can't remove a primary axis", this);
        return;
    }
    auto place = std::find(axes.begin(), axes.end(), axis);
    if (!axis || place == axes.end()) {
        log->handleErrorWithMessageFromSource(
            NSString::stringWithFormat("Axis not present: %s", axis ? axis->description() : std::string("(null)")),
            this);
        return;
    }
    // The primary axis itself leaves only when another takes its place: its series go to the
    // axis that becomes primary.
    const Ref<LChartAxis>& heir = place == axes.begin() ? axes[1] : axes.front();
    axis->removeViews();
    for (const auto& series : axis->ownedSeries())
        heir->linkSeries(series);
    axis->unlinkAllSeries();
    axis->setChart(nullptr);
    Ref<LChartAxis> kept = heir;
    axes.erase(place);
    axisPanningChanged();
    // Groups drawn against the axis move to the heir and are mapped again on its ranges, so
    // nothing is drawn against an axis the chart no longer has.
    bool moved = false;
    for (const auto& group : m_seriesGroups) {
        if (group->xAxis() == axis)
            group->setXAxis(kept);
        else if (group->yAxis() == axis)
            group->setYAxis(kept);
        else
            continue;
        moved = true;
    }
    if (!moved)
        return;
    kept->initialiseAxisIfNeededFromChartSeries(kept->ownedSeries());
    for (const auto& group : m_seriesGroups)
        if (group->xAxis() == kept || group->yAxis() == kept)
            group->mapSeries();
    kept->updateGlRange();
    updateRangesOnCartesianAxis(*kept);
    m_canvas->setRedrawGL(true);
}

bool LatticeChart::isOwningAxis(const LChartAxis* axis) const
{
    auto same = [axis](const Ref<LChartAxis>& each) { return each.get() == axis; };
    return std::any_of(m_xAxes.begin(), m_xAxes.end(), same) || std::any_of(m_yAxes.begin(), m_yAxes.end(), same);
}

LChartDrawer* LatticeChart::glView() const
{
    return m_canvas ? m_canvas->glView().get() : nullptr;
}

Ref<UIView> LatticeChart::canvasOverlay() const
{
    return m_canvas ? m_canvas->overlay() : nullptr;
}

Ref<UIView> LatticeChart::canvasUnderlay() const
{
    return m_canvas ? m_canvas->underlay() : nullptr;
}

std::vector<LChartAxis*> LatticeChart::allXAxes() const
{
    return rawAxes(m_xAxes);
}

std::vector<LChartAxis*> LatticeChart::allYAxes() const
{
    return rawAxes(m_yAxes);
}

float LatticeChart::spaceForAxes(const std::vector<Ref<LChartAxis>>& axes, int32_t side) const
{
    float space = 0;
    for (const auto& axis : axes)
        if ((axis->axisPosition() == 1) == (side == 1))
            space += axis->spaceRequiredToDrawWithTitle(true);
    return space;
}

std::vector<Ref<LChartRange>> LatticeChart::visibleRangesOfSeriesGroupsOnAxis(const LChartAxis& axis) const
{
    std::vector<Ref<LChartRange>> ranges;
    for (const auto& group : m_seriesGroups) {
        if (group->xAxis().get() != &axis && group->yAxis().get() != &axis)
            continue;
        Ref<LChartRange> range = group->visibleRangeForAxis(axis);
        if (range && !range->minimum().isNil() && !range->maximum().isNil())
            ranges.push_back(range);
    }
    return ranges;
}

void LatticeChart::setNeedsLayoutIfHaveAxesAndData()
{
    if (m_datasource && (m_isRadial || (!m_xAxes.empty() && !m_yAxes.empty())))
        setNeedsLayout();
}

void LatticeChart::updateRangesOnCartesianAxis(LChartAxis& axis)
{
    axis.updateRanges();
    if (!m_autoCalculateAxisRanges)
        axis.adjustRangesIfDataIsOutsideOfAllowedPanningLimits();
    else if (axis.defaultRangeInternal())
        axis.resetZoomLevelWithAnimation(false);
}

void LatticeChart::redrawChartIncludePlotArea(bool includePlotArea)
{
    std::vector<Ref<LChartAxisSeries>> all;
    for (const auto& series : m_series)
        if (auto cartesian = asCartesian(series))
            all.push_back(cartesian);
    for (const auto& group : m_seriesGroups) {
        if (!group->requiresRecalculation())
            continue;
        for (const auto& axis : { group->xAxis(), group->yAxis() }) {
            axis->setRecalculateBarColumnsRequired(true);
            axis->recalculateBarColumns(all);
        }
    }
    if (includePlotArea) {
        for (const auto& series : m_series)
            series->invalidateAllBins();
        if (m_canvas)
            m_canvas->glView()->setResetAnimationTimer(true);
    }
    setNeedsLayoutIfHaveAxesAndData();
    if (m_canvas)
        m_canvas->setNeedsLayout();
    if (LChartCanvasOverlay* overlay = canvasOverlayView())
        overlay->positionCrosshairIfVisible();
    for (const auto& axis : allAxes())
        axis->restyleTickLabels();
}

std::string LatticeChart::title() const
{
    return m_titleLabel->text();
}

void LatticeChart::setTitleLabel(const Ref<LChartTitle>& label)
{
    if (!label || label == m_titleLabel)
        return;
    if (m_titleLabel)
        m_titleLabel->removeFromSuperview();
    m_titleLabel = label;
    addSubview(label);
}

void LatticeChart::setTitle(const std::string& title)
{
    m_titleLabel->setTitleText(title);
}

void LatticeChart::positionChartTitle()
{
    if (m_titleLabel->userSetFrame())
        return;
    m_titleLabel->sizeTitleToFit();
    CGRect title = m_titleLabel->frame();
    CGRect canvas = m_canvas->frame();
    double x = title.origin.x;
    if (m_titlePosition == 1) {
        x = canvas.origin.x + spaceRequiredForYAxesNormal() + m_borderThickness;
    } else if (m_titlePosition != 0) {
        x = canvas.origin.x + canvas.size.width - title.size.width - m_borderThickness;
    } else if (m_titleCentresOn == 0) {
        x = (frame().size.width - title.size.width) / 2;
    } else if (m_titleCentresOn == 1) {
        const auto& gl = m_canvas->glView();
        x = m_canvas->convertPointToView(gl->center(), self<UIView>()).x - title.size.width / 2;
    } else if (m_titleCentresOn == 2) {
        x = canvas.origin.x + (canvas.size.width - title.size.width) / 2;
    }
    m_titleLabel->setFrame(CGRectMake(x, title.origin.y, title.size.width, title.size.height));
    m_titleLabel->setUserSetFrame(false);
    bringSubviewToFront(m_titleLabel);
}

void LatticeChart::updateCanvasSize()
{
    positionLegend();
    CGRect c = bounds();
    float border = m_borderThickness;
    bool legendShown = m_legend && !m_legend->isHidden();
    float lw2 = 0, lh2 = 0;
    if (legendShown && !m_legend->userSetFrame()) {
        float margin = legendMargin();
        lw2 = static_cast<float>(m_legend->frame().size.width) + 2 * margin;
        lh2 = static_cast<float>(m_legend->frame().size.height) + 2 * margin;
    }
    float left = border, top = border, widthCut = 0, heightCut = 0;
    if (legendShown && m_legend->placement() != 1) {
        bool edge = m_legend->placement() == 2;
        switch (m_legend->position()) {
        case 4:
        case 5:
        case 6:
            left = border + (edge ? lw2 / 2 - spaceRequiredForYAxesNormal() : lw2);
            widthCut = edge ? lw2 / 2 - spaceRequiredForYAxesNormal() : lw2;
            break;
        case 0:
        case 1:
        case 2:
            widthCut += edge ? lw2 / 2 - spaceRequiredForYAxesReverse() / 2 : lw2;
            break;
        case 7:
            // On the edge, the legend's half replaces the border inset.
            top = edge ? lh2 / 2 : border + lh2;
            heightCut = edge ? lh2 / 2 : lh2;
            break;
        case 3:
            if (!edge)
                heightCut += lh2;
            else if (lh2 / 2 > spaceRequiredForXAxesNormal())
                heightCut += lh2 / 2 - spaceRequiredForXAxesNormal();
            break;
        default:
            break;
        }
    }
    if (!m_overlapChartTitle && !m_titleLabel->text().empty() && !m_titleLabel->userSetFrame()) {
        double height = m_titleLabel->frame().size.height;
        c.origin.y += height;
        c.size.height -= height;
    }
    CGRect frame = CGRectMake(c.origin.x + left, c.origin.y + top, c.size.width - widthCut, c.size.height - heightCut);
    if (frame.size.width <= 0 || frame.size.height <= 0)
        LatticeChartLog::logger()->handleErrorWithMessageFromSource(
            "The size/layout of the LatticeChart does not have sufficient room for laying out its elements, and may "
            "display incorrectly. Try disabling the chart legend, axis labels, axis titles, etc. or increasing the "
            "size of the chart itself",
            this);
    if (!CGRectEqualToRect(frame, m_canvas->frame())) {
        m_canvas->setFrame(frame);
        m_canvas->setNeedsLayout();
    }
}

LChartAxis* LatticeChart::axisWithOrientationForSeriesWithIndex(int32_t orientation, int32_t seriesIndex) const
{
    return axisForSeriesAmongAxes(orientation, seriesIndex, m_xAxes, m_yAxes);
}

LChartAxis* LatticeChart::axisForSeriesAmongAxes(int32_t orientation, int32_t seriesIndex,
    const std::vector<Ref<LChartAxis>>& xAxes, const std::vector<Ref<LChartAxis>>& yAxes) const
{
    Ref<LChartAxis> chosen;
    if (m_datasource) {
        auto& host = const_cast<LatticeChart&>(*this);
        chosen = orientation == 1 ? m_datasource->sChartYAxisForSeriesAtIndex(host, seriesIndex)
                                  : m_datasource->sChartXAxisForSeriesAtIndex(host, seriesIndex);
    }
    if (!chosen) {
        const auto& axes = orientation == 1 ? yAxes : xAxes;
        return axes.empty() ? nullptr : axes.front().get();
    }
    auto log = LatticeChartLog::logger();
    auto same = [&chosen](const Ref<LChartAxis>& each) { return each == chosen; };
    if (std::none_of(xAxes.begin(), xAxes.end(), same) && std::none_of(yAxes.begin(), yAxes.end(), same))
        log->handleFatalErrorWithMessageFromSource(
            NSString::stringWithFormat(
                "Axis %p has not been assigned to this chart", static_cast<const void*>(chosen.get())),
            this);
    if (chosen->axisOrientation() != orientation)
        log->handleFatalErrorWithMessageFromSource(
            NSString::stringWithFormat("Axis at %p is the wrong orientation", static_cast<const void*>(chosen.get())),
            this);
    return chosen.get();
}

Ref<LChartAxis> LatticeChart::createAxisFromDataWithOrientation(int32_t orientation) const
{
    if (m_series.empty() || m_series.front()->dataSeries()->dataPoints().empty())
        return nullptr;
    const auto& first = m_series.front()->dataSeries()->dataPoints().front();
    Value value = orientation == 0 ? first->xValue() : first->yValue();
    Ref<LChartAxis> axis;
    if (value.isDate())
        axis = LChartDateTimeAxis::init();
    else if (value.isNumber())
        axis = LChartNumberAxis::init();
    else if (!value.isNilOrNull())
        axis = LChartCategoryAxis::init();
    if (!axis)
        return nullptr;
    LatticeChartLog::logInfoWithMessageFromSource(Value::dictionary({ { Value("Axis"), Value(axis->description()) } }),
        NSString::stringWithFormat("Defaulting %c-axis", orientation == 0 ? 'x' : 'y'), this);
    for (const auto& series : m_series)
        if (auto cartesian = asCartesian(series))
            axis->linkSeries(cartesian);
    return axis;
}

bool LatticeChart::isRadial() const
{
    return NSThread::isMainThread() ? m_isRadial : m_loadingIsRadial;
}

void LatticeChart::setIsRadial(bool radial)
{
    if (NSThread::isMainThread())
        m_isRadial = radial;
    else
        m_loadingIsRadial = radial;
}

LatticeChart::LoadSnapshot LatticeChart::makeLoadSnapshot() const
{
    LoadSnapshot snapshot;
    const auto& views = subviews();
    snapshot.hasCanvas = std::any_of(views.begin(), views.end(),
        [](const Ref<UIView>& view) { return view && view->isMemberOfClass(LChartCanvas::classObject()); });
    snapshot.xAxes = m_xAxes;
    snapshot.yAxes = m_yAxes;
    for (const auto& axis : m_xAxes)
        snapshot.stubs[axis->axisKey()] = axis->stubCopyOfAxisForDataLoading();
    for (const auto& axis : m_yAxes)
        snapshot.stubs[axis->axisKey()] = axis->stubCopyOfAxisForDataLoading();
    snapshot.theme = m_theme;
    return snapshot;
}

std::vector<LChartNewSeriesEntry> LatticeChart::loadNewChartSeriesEntries()
{
    auto entries = loadEntriesFromSnapshot(makeLoadSnapshot());
    m_shouldReloadData = false;
    return entries;
}

std::vector<LChartNewSeriesEntry> LatticeChart::loadEntriesFromSnapshot(const LoadSnapshot& snapshot)
{
    if (!snapshot.hasCanvas)
        LatticeChartLog::logger()->handleFatalErrorWithMessageFromSource(
            "LatticeChart: Couldn't find canvas subview", this);
    auto stubs = snapshot.stubs;
    auto loader = LChartDataLoader::initWithChartDatasourceErrorHandler(this, m_datasource, LatticeChartLog::logger());

    std::vector<LChartNewSeriesEntry> entries;
    std::vector<Ref<LChartAxisSeries>> loaded;
    int32_t index = 0;
    for (const auto& offered : loader->emptyChartSeries()) {
        auto series = std::dynamic_pointer_cast<LChartSeries>(offered);
        if (!series) {
            ++index;
            continue;
        }
        series->setSeriesIndex(index);
        if (snapshot.theme)
            series->applyStylesFromThemeAtStyleIndexPreservingSetValues(*snapshot.theme, index, true);
        LChartAxis* x = axisForSeriesAmongAxes(0, index, snapshot.xAxes, snapshot.yAxes);
        LChartAxis* y = axisForSeriesAmongAxes(1, index, snapshot.xAxes, snapshot.yAxes);
        Ref<LChartAxis> xStub = x ? stubs[x->axisKey()] : nullptr;
        Ref<LChartAxis> yStub = y ? stubs[y->axisKey()] : nullptr;
        // Without axes (a chart whose axes come from its data) the points are loaded against
        // throwaway number axes.
        Ref<LChartAxis> xLoad = xStub ? xStub : Ref<LChartAxis>(LChartNumberAxis::init());
        Ref<LChartAxis> yLoad = yStub ? yStub : Ref<LChartAxis>(LChartNumberAxis::init());
        loader->populateChartSeriesAtIndexXAxisYAxis(offered, index, *xLoad, *yLoad);
        entries.push_back({ series, xStub, yStub });
        if (auto cartesian = asCartesian(series))
            loaded.push_back(cartesian);
        ++index;
    }
    for (const auto& [key, stub] : stubs)
        stub->initialiseAxisIfNeededFromChartSeries(loaded);
    // A load on the loading queue leaves the reload flag alone: the layout pass that queued it
    // cleared it, and a reload asked for while it reads must survive to the next layout pass.
    return entries;
}

std::vector<Ref<LChartSeriesGroup>> LatticeChart::groupAndMapSeries(const std::vector<LChartNewSeriesEntry>& entries)
{
    if (isRadial())
        return {};
    auto groups = putSeriesIntoGroups(entries);
    for (const auto& entry : entries)
        entry.series->calcMinMax();
    for (const auto& group : groups)
        group->mapSeries();
    return groups;
}

std::vector<Ref<LChartSeriesGroup>> LatticeChart::putSeriesIntoGroups(const std::vector<LChartNewSeriesEntry>& entries)
{
    std::vector<Ref<LChartSeriesGroup>> groups;
    for (const auto& entry : entries)
        addEntryToGroups(entry, groups);
    for (const auto& group : groups)
        group->setStacks();
    return groups;
}

void LatticeChart::addEntryToGroups(const LChartNewSeriesEntry& entry, std::vector<Ref<LChartSeriesGroup>>& groups)
{
    auto series = asCartesian(entry.series);
    // A series with no axis to map against waits for axes made from the data.
    if (!series || !entry.xAxisForMapping || !entry.yAxisForMapping)
        return;
    bool joined = false;
    for (const auto& group : groups) {
        if (group->xAxis() == entry.xAxisForMapping && group->yAxis() == entry.yAxisForMapping
            && group->seriesClass() == series->seriesClass() && group->seriesOrientation() == series->orientation()) {
            group->addSeries(series);
            joined = true;
        }
    }
    if (!joined)
        groups.push_back(LChartSeriesGroup::initWithSeriesAndXAxisAndYAxisErrorHandler(
            series, entry.xAxisForMapping, entry.yAxisForMapping, LatticeChartLog::logger()));
}

void LatticeChart::updateChartWithNewChartSeriesNewSeriesGroups(
    const std::vector<LChartNewSeriesEntry>& entries, const std::vector<Ref<LChartSeriesGroup>>& groups)
{
    m_series.clear();
    for (const auto& entry : entries)
        m_series.push_back(entry.series);
    m_seriesGroups = groups;
    for (const auto& axis : m_xAxes)
        axis->unlinkAllSeries();
    for (const auto& axis : m_yAxes)
        axis->unlinkAllSeries();

    if (m_isRadial) {
        for (const auto& axis : m_xAxes)
            axis->removeViews();
        for (const auto& axis : m_yAxes)
            axis->removeViews();
    } else {
        // Axes made from the data; a chart whose data gives no first value stays without them
        // (and undrawn) until data arrives.
        if (m_xAxes.empty())
            if (auto axis = createAxisFromDataWithOrientation(0))
                addXAxis(axis);
        if (m_yAxes.empty())
            if (auto axis = createAxisFromDataWithOrientation(1))
                addYAxis(axis);
        if (m_xAxes.empty() || m_yAxes.empty()) {
            m_seriesGroups.clear();
        } else {
            std::vector<Ref<LChartAxisSeries>> cartesian;
            for (const auto& series : m_series)
                if (auto c = asCartesian(series))
                    cartesian.push_back(c);
            for (const auto& axis : m_xAxes)
                axis->initialiseAxisIfNeededFromChartSeries(cartesian);
            for (const auto& axis : m_yAxes)
                axis->initialiseAxisIfNeededFromChartSeries(cartesian);
            for (size_t i = 0; i < entries.size(); ++i) {
                const auto& entry = entries[i];
                auto series = asCartesian(entry.series);
                if (!series)
                    continue;
                LChartAxis* x = axisWithOrientationForSeriesWithIndex(0, static_cast<int32_t>(i));
                LChartAxis* y = axisWithOrientationForSeriesWithIndex(1, static_cast<int32_t>(i));
                x->linkSeries(series);
                if (entry.xAxisForMapping)
                    x->reconfigureFromStubbedAxisCopy(*entry.xAxisForMapping);
                y->linkSeries(series);
                if (entry.yAxisForMapping)
                    y->reconfigureFromStubbedAxisCopy(*entry.yAxisForMapping);
            }
            for (const auto& group : m_seriesGroups) {
                for (const auto& axis : m_xAxes)
                    if (axis->axisKey() == group->xAxis()->axisKey()) {
                        group->setXAxis(axis);
                        break;
                    }
                for (const auto& axis : m_yAxes)
                    if (axis->axisKey() == group->yAxis()->axisKey()) {
                        group->setYAxis(axis);
                        break;
                    }
            }
            for (const auto& axis : m_xAxes)
                updateRangesOnCartesianAxis(*axis);
            for (const auto& axis : m_yAxes)
                updateRangesOnCartesianAxis(*axis);
        }
    }
    if (LChartCanvasOverlay* overlay = canvasOverlayView())
        overlay->enableAppropriateGestureRecognisers();
    if (m_legend && !m_legend->isHidden())
        m_legend->reload();
    crosshairChartDidReload();
    m_canvas->setReloadedData(true);
    m_canvas->setRedrawGL(true);
}

void LatticeChart::layoutSubviews()
{
    if (!NSThread::isMainThread()) {
        if (LChartThreadWarningIsDue(LChartThreadWarning::ChartLayout))
            LatticeChartLog::logger()->handleErrorWithMessageFromSource(
                "Ignoring layoutSubviews message that was received from a secondary thread. All chart layout requests "
                "should happen on the main thread. All further requests from this thread will be ignored without a "
                "warning message.",
                this);
        return;
    }
    if (!m_datasource)
        LatticeChartLog::logger()->handleFatalErrorWithMessageFromSource("A datasource has not been set.", this);
    if (m_shouldReloadData) {
        m_shouldReloadData = false;
        if (m_loadingIndicator)
            m_loadingIndicator->setCenter(m_canvas->center());
        // A queued load lays the chart out when it has swapped its series in; a reload due while
        // one is queued joins the queue so that it cannot overtake it.
        if (m_loadDataInBackground || loadingQueueSize() > 0) {
            queueLoad(m_loadDataInBackground);
            return;
        }
        loadOnMainThread();
    } else if (!m_isRadial) {
        appendAnnouncedData();
    }
    hideTitleIfBlank(*m_titleLabel);
    m_titleLabel->sizeTitleToFit();
    if (!m_xAxes.empty())
        hideTitleIfBlank(*m_xAxes.front()->titleLabel());
    if (!m_yAxes.empty())
        hideTitleIfBlank(*m_yAxes.front()->titleLabel());
    if (m_legend && !m_legend->isHidden() && (m_canvas->redrawGL() || m_canvas->orientationChanged()))
        m_legend->reload();
    updateCanvasSize();
    layoutCrosshair();
    for (const auto& axes : { &m_xAxes, &m_yAxes }) {
        for (const auto& axis : *axes) {
            axis->setAxisFrame(m_canvas->underlay()->frame());
            axis->configureTitle();
        }
    }
    // A cartesian chart still without axes has nothing to lay out or draw.
    if (m_isRadial || (!m_xAxes.empty() && !m_yAxes.empty()))
        m_canvas->setNeedsLayout();
    UIView::layoutSubviews();
}

// Accessors, axis lists, zoom and switches.

CGRect LatticeChart::getGLFrame() const
{
    return m_canvas && m_canvas->glView() ? m_canvas->glView()->frame() : CGRectZero;
}

CGRect LatticeChart::getPlotAreaFrame() const
{
    if (!m_canvas || !m_canvas->glView())
        return CGRectZero;
    const auto& gl = m_canvas->glView();
    auto chart = std::const_pointer_cast<UIView>(std::static_pointer_cast<const UIView>(shared_from_this()));
    return gl->convertRectToView(gl->bounds(), chart);
}

std::string LatticeChart::description() const
{
    return NSString::stringWithFormat("%s at %p", className(), static_cast<const void*>(this));
}

std::string LatticeChart::getInfo()
{
    return NSString::stringWithFormat("Version: %s, Edition: %s", "2.5.3", "Premium");
}

std::vector<Ref<LChartAxis>> LatticeChart::allAxes() const
{
    std::vector<Ref<LChartAxis>> axes = m_xAxes;
    axes.insert(axes.end(), m_yAxes.begin(), m_yAxes.end());
    return axes;
}

LChartAxis* LatticeChart::firstAxisIn(const std::vector<Ref<LChartAxis>>& axes, char orientation) const
{
    if (axes.empty()) {
        LatticeChartLog::logger()->handleErrorWithMessageFromSource(
            NSString::stringWithFormat("No primary %c-axis to customize.", orientation), this);
        return nullptr;
    }
    return axes.front().get();
}

std::vector<LChartAxis*> LatticeChart::primaryAxes() const
{
    std::vector<LChartAxis*> axes;
    if (m_xAxes.empty())
        return axes;
    axes.push_back(m_xAxes.front().get());
    if (!m_yAxes.empty())
        axes.push_back(m_yAxes.front().get());
    return axes;
}

std::vector<Ref<LChartAxis>> LatticeChart::secondaryXAxes() const
{
    return m_xAxes.size() > 1 ? std::vector<Ref<LChartAxis>>(m_xAxes.begin() + 1, m_xAxes.end())
                              : std::vector<Ref<LChartAxis>>();
}

std::vector<Ref<LChartAxis>> LatticeChart::secondaryYAxes() const
{
    return m_yAxes.size() > 1 ? std::vector<Ref<LChartAxis>>(m_yAxes.begin() + 1, m_yAxes.end())
                              : std::vector<Ref<LChartAxis>>();
}

std::vector<Ref<LChartAxis>> LatticeChart::secondaryAxes() const
{
    auto axes = secondaryXAxes();
    auto y = secondaryYAxes();
    axes.insert(axes.end(), y.begin(), y.end());
    return axes;
}

void LatticeChart::zoomToPointWithRange(LChartPoint point, LChartSize range)
{
    for (const auto& axis : m_xAxes)
        axis->zoomToPointWithRange(point.x, range.width);
    for (const auto& axis : m_yAxes)
        axis->zoomToPointWithRange(point.y, range.height);
}

bool LatticeChart::pointIsVisibleOnSeries(LChartPoint point, const LChartSeries& series) const
{
    auto [x, y] = axesForSeries(&series);
    auto cartesian = dynamic_cast<const LChartAxisSeries*>(&series);
    return x->valueIsVisibleOnSeries(point.x, cartesian) && y->valueIsVisibleOnSeries(point.y, cartesian);
}

std::string LatticeChart::stringForIdXAndIdYUsingSeries(
    const Value& x, const Value& y, const LChartSeries& series) const
{
    auto [xAxis, yAxis] = axesForSeries(&series);
    return NSString::stringWithFormat("%s, %s", xAxis->stringForId(x), yAxis->stringForId(y));
}

// Colours, borders and themes.

namespace {

// The gradient view under everything, from `top` down to `bottom`, following the chart's size.
Ref<UIView> newBackgroundGradientView(CGRect bounds, const Ref<UIColor>& top, const Ref<UIColor>& bottom)
{
    auto view = LChartGradientView::initWithFrame(bounds);
    view->setAutoresizingMask(kLChartAllAutoresizing);
    view->setTopColor(top);
    view->setBottomColor(bottom);
    view->setUserInteractionEnabled(false);
    return view;
}

} // namespace

void LatticeChart::setBackgroundColor(const Ref<UIColor>& color)
{
    if (m_theme && m_theme->chartStyle())
        m_theme->chartStyle()->setBackgroundColorGradient(nullptr);
    removeGradientView();
    UIView::setBackgroundColor(color);
}

void LatticeChart::removeGradientView()
{
    if (!m_gradientView)
        return;
    m_gradientView->removeFromSuperview();
    m_gradientView = nullptr;
}

void LatticeChart::rebuildGradientView()
{
    removeGradientView();
    const auto& style = m_theme ? m_theme->chartStyle() : nullptr;
    if (!style || !backgroundColor() || !style->backgroundColorGradient())
        return;
    m_gradientView = newBackgroundGradientView(bounds(), backgroundColor(), style->backgroundColorGradient());
    insertSubviewAtIndex(m_gradientView, 0);
}

Ref<UIColor> LatticeChart::canvasAreaBackgroundColor() const
{
    return m_canvas ? m_canvas->backgroundColor() : nullptr;
}

void LatticeChart::setCanvasAreaBackgroundColor(const Ref<UIColor>& color)
{
    if (m_canvas)
        m_canvas->setBackgroundColor(color ? color : UIColor::clearColor());
}

void LatticeChart::setPlotAreaBackgroundColor(const Ref<UIColor>& color)
{
    // The canvas paints it under the series, in the annotation underlay.
    m_plotAreaBackgroundColor = color;
}

Ref<UIColor> LatticeChart::plotAreaBorderColor() const
{
    if (!m_canvas || !m_canvas->glView()->layer()->borderColor())
        return nullptr;
    return UIColor::colorWithCGColor(m_canvas->glView()->layer()->borderColor());
}

void LatticeChart::setPlotAreaBorderColor(const Ref<UIColor>& color)
{
    if (m_canvas)
        m_canvas->glView()->layer()->setBorderColor(color ? color->CGColor() : nullptr);
}

float LatticeChart::plotAreaBorderThickness() const
{
    return m_canvas ? static_cast<float>(m_canvas->glView()->layer()->borderWidth()) : 0;
}

void LatticeChart::setPlotAreaBorderThickness(float thickness)
{
    if (m_canvas)
        m_canvas->glView()->layer()->setBorderWidth(thickness);
}

void LatticeChart::setBorderColor(const Ref<UIColor>& color)
{
    if (color == m_borderColor)
        return;
    m_borderColor = color;
    layer()->setBorderColor(color ? color->CGColor() : nullptr);
}

void LatticeChart::setBorderThickness(float thickness)
{
    m_borderThickness = thickness;
    layer()->setBorderWidth(thickness);
}

void LatticeChart::setFrame(CGRect frame)
{
    CGRect previous = this->frame();
    bool titleSet = m_titleLabel && m_titleLabel->userSetFrame();
    bool legendSet = m_legend && m_legend->userSetFrame();
    UIView::setFrame(frame);
    if (m_titleLabel)
        m_titleLabel->setUserSetFrame(titleSet);
    if (m_legend)
        m_legend->setUserSetFrame(legendSet);
    if ((previous.size.width <= 0 || previous.size.height <= 0) && m_gradientView)
        m_gradientView->setFrame(bounds());
}

void LatticeChart::applyTheme(const Ref<LChartTheme>& theme)
{
    if (theme != m_theme)
        m_theme = theme;
    applyThemeToChart();
}

void LatticeChart::applyStyleToAxisPreservingSetValues(
    const Ref<LChartAxisStyle>& style, LChartAxis& axis, bool preservingSetValues)
{
    if (!style)
        return;
    if (preservingSetValues && axis.style())
        axis.style()->supplementStyleFromStyle(*style);
    else
        axis.setStyle(style->copy());
}

void LatticeChart::applyThemeToSeriesAtIndexPreservingSetValues(
    LChartSeries& series, int32_t index, bool preservingSetValues)
{
    if (m_theme)
        series.applyStylesFromThemeAtStyleIndexPreservingSetValues(*m_theme, index, preservingSetValues);
}

void LatticeChart::applyThemeToChart()
{
    if (!m_theme)
        return;
    const LChartTheme& theme = *m_theme;
    for (const auto& axis : m_xAxes)
        applyStyleToAxisPreservingSetValues(theme.xAxisStyle(), *axis, false);
    for (const auto& axis : m_yAxes)
        applyStyleToAxisPreservingSetValues(theme.yAxisStyle(), *axis, false);
    for (size_t i = 0; i < m_series.size(); ++i)
        applyThemeToSeriesAtIndexPreservingSetValues(*m_series[i], static_cast<int32_t>(i), false);

    if (const auto& style = theme.chartStyle()) {
        // Setting the background colour drops the style's gradient: it is put back after.
        Ref<UIColor> gradient = style->backgroundColorGradient();
        setBackgroundColor(style->backgroundColor());
        style->setBackgroundColorGradient(gradient);
        rebuildGradientView();
        setCanvasAreaBackgroundColor(style->canvasBackgroundColor());
        setPlotAreaBackgroundColor(style->plotAreaBackgroundColor());
        setPlotAreaBorderColor(style->plotAreaBorderColor());
        setPlotAreaBorderThickness(style->plotAreaBorderWidth().floatValue());
        setBorderColor(style->borderColor());
        setBorderThickness(style->borderWidth().floatValue());
        if (auto* spinner = dynamic_cast<UIActivityIndicatorView*>(m_loadingIndicator.get()))
            spinner->setColor(style->loadingDataIndicatorColor());
    }

    if (const auto& title = theme.chartTitleStyle()) {
        m_titleLabel->setTextColor(title->textColor());
        m_titleLabel->setBackgroundColor(title->backgroundColor());
        m_titleLabel->setTextAlignment(static_cast<NSTextAlignment>(title->textAlign()));
        m_titleLabel->setMinimumFontSize(title->minimumFontSize());
        m_titleLabel->setFont(title->font());
        m_overlapChartTitle = title->overlapChartTitle();
        m_titleCentresOn = title->titleCentresOn();
        m_titlePosition = title->position();
    }

    auto dressAxisTitles = [](const std::vector<Ref<LChartAxis>>& axes, const Ref<LChartAxisStyle>& style) {
        const auto& titleStyle = style ? style->titleStyle() : nullptr;
        if (!titleStyle)
            return;
        for (const auto& axis : axes) {
            const auto& label = axis->titleLabel();
            label->setTextColor(titleStyle->textColor());
            label->setBackgroundColor(titleStyle->backgroundColor());
            label->setTextAlignment(static_cast<NSTextAlignment>(titleStyle->textAlign()));
            if (axis->style() && axis->style()->titleStyle())
                axis->style()->titleStyle()->setTitleOrientation(titleStyle->titleOrientation());
        }
    };
    dressAxisTitles(m_xAxes, theme.xAxisStyle());
    dressAxisTitles(m_yAxes, theme.yAxisStyle());
    applyThemeToLegend(theme);
    redrawChartIncludePlotArea(true);
}

// Radial series' callbacks.

void LatticeChart::notifyAlterLabelForSlice(
    const Ref<UILabel>& label, const LChartInternalDataPoint& point, int32_t index, LChartDonutSeries& series)
{
    if (!m_chartDelegate || !label)
        return;
    auto slice = LChartRadialDataPoint::initWithInternal(point);
    m_chartDelegate->sChartAlterLabelForDatapointAtSliceIndexInRadialSeries(*this, *label, *slice, index, series);
}

void LatticeChart::notifyToggledSelectionForRadialPoint(LChartDonutSeries& series, int32_t index, CGPoint tap)
{
    const auto& points = series.dataSeries()->dataPoints();
    if (!m_chartDelegate || index < 0 || static_cast<size_t>(index) >= points.size())
        return;
    auto slice = LChartRadialDataPoint::initWithInternal(*points[index]);
    m_chartDelegate->sChartToggledSelectionForRadialPointInSeriesAtPixelCoordinate(*this, *slice, series, tap);
}

void LatticeChart::notifyRadialSeriesDidEndDecelerating(LChartDonutSeries& series)
{
    if (m_chartDelegate)
        m_chartDelegate->sChartRadialSeriesDidEndDecelerating(*this, series);
}

float LatticeChart::legendMargin() const
{
    const auto& style = m_legend ? m_legend->style() : nullptr;
    return style ? style->marginWidth().floatValue() : 0;
}

void LatticeChart::setLegend(const Ref<LChartLegend>& legend)
{
    if (legend == m_legend)
        return;
    if (m_legend)
        m_legend->removeFromSuperview();
    m_legend = legend;
    if (m_legend)
        addSubview(m_legend);
}

void LatticeChart::positionLegend()
{
    if (!m_legend || m_legend->userSetFrame())
        return;
    CGRect c = bounds();
    CGRect legend = m_legend->frame();
    auto lw = static_cast<float>(legend.size.width);
    auto lh = static_cast<float>(legend.size.height);
    float border = m_borderThickness;
    float margin = legendMargin();
    int32_t placement = m_legend->placement();
    int32_t position = m_legend->position();
    float xN = spaceRequiredForXAxesNormal();
    float xR = spaceRequiredForXAxesReverse();
    float yN = spaceRequiredForYAxesNormal();
    float yR = spaceRequiredForYAxesReverse();
    const auto& gl = m_canvas->glView();
    auto glHeight = static_cast<float>(gl->bounds().size.height);
    bool titleUserSet = m_titleLabel->userSetFrame();
    float titleBottom = !titleUserSet && !m_titleLabel->isHidden()
        ? static_cast<float>(m_titleLabel->frame().origin.y + m_titleLabel->frame().size.height)
        : 0;
    bool roomForTitle = !m_overlapChartTitle && !m_titleLabel->text().empty() && !titleUserSet;
    float t = roomForTitle ? titleBottom : 0;
    float inside = placement == 1 ? 1 : 0;

    double x = legend.origin.x;
    switch (position) {
    case 0:
    case 1:
    case 2:
        x = c.size.width - lw - margin - border - inside * yR;
        break;
    case 4:
    case 5:
    case 6:
        x = c.origin.x + margin + border + inside * yN;
        break;
    case 3:
    case 7:
        if (placement == 0) {
            x = c.size.width / 2 - lw / 2;
        } else {
            CGRect canvas = m_canvas->frame();
            x = canvas.origin.x + gl->frame().origin.x + gl->frame().size.width / 2 - lw / 2;
        }
        break;
    default:
        // An unknown position keeps the legend's x.
        break;
    }

    double y = 0;
    switch (position) {
    case 0:
    case 6:
        y = (roomForTitle ? titleBottom : c.origin.y + border) + margin + inside * xR;
        break;
    case 1:
        y = t + glHeight / 2 - lh / 2 + xR;
        break;
    case 5:
        y = t + glHeight / 2 - lh / 2 + inside * xR;
        break;
    case 2:
        y = glHeight + t - lh - margin + xR;
        break;
    case 4:
        y = glHeight + t - lh - margin + inside * xR;
        break;
    case 3:
        if (placement == 0)
            y = glHeight + t + xN + xR + margin;
        else if (placement == 1)
            y = glHeight + t - lh - margin + xR;
        else
            y = glHeight + t - lh / 2 + xR;
        break;
    case 7:
        if (titleUserSet || m_titleLabel->text().empty()) {
            y = border + margin;
        } else if (!m_overlapChartTitle) {
            y = titleBottom + inside * xR;
        } else if (placement != 0) {
            y = titleBottom + border + margin + xR;
        } else {
            y = border + margin;
            // The overlapping title moves below the legend, without counting as placed by the
            // user, so the next title layout takes it back to the top edge.
            if (!m_legend->isHidden()) {
                CGRect title = m_titleLabel->frame();
                m_titleLabel->setFrame(
                    CGRectMake(title.origin.x, border + margin + lh + margin, title.size.width, title.size.height));
                m_titleLabel->setUserSetFrame(titleUserSet);
            }
        }
        break;
    default:
        LatticeChartLog::logMessageFromSource(
            NSString::stringWithFormat("Invalid legend position: %d", position), m_legend.get());
        y = 0;
        break;
    }
    m_legend->setFrame(CGRectMake(x, y, lw, lh));
    m_legend->setUserSetFrame(false);
}

void LatticeChart::applyThemeToLegend(const LChartTheme& theme)
{
    const auto& from = theme.legendStyle();
    if (!m_legend || !from)
        return;
    m_legend->setPosition(0);
    auto style = m_legend->style();
    if (!style) {
        style = LChartLegendStyle::init();
        m_legend->setStyle(style);
    }
    style->setFont(from->font());
    style->setFontColor(from->fontColor());
    style->setTitleFont(from->titleFont());
    style->setTitleFontColor(from->titleFontColor());
    style->setMarginWidth(from->marginWidth());
    style->setBorderColor(from->borderColor());
    m_legend->setCornerRadius(from->cornerRadius());
    style->setSymbolCornerRadius(from->symbolCornerRadius());
    style->setShowSymbols(from->showSymbols());
    style->setAreaColor(from->areaColor());
    style->setSymbolAlignment(from->symbolAlignment());
    style->setOrientation(from->orientation());
    style->setHorizontalPadding(from->horizontalPadding());
    style->setVerticalPadding(from->verticalPadding());
}

void LatticeChart::addAnnotation(const Ref<LChartAnnotation>& annotation)
{
    if (!annotation)
        return;
    m_annotations.push_back(annotation);
    addAnnotationToView(annotation);
}

void LatticeChart::addAnnotationToView(const Ref<LChartAnnotation>& annotation)
{
    if (!annotation || !m_canvas)
        return;
    const Ref<UIView>& layer = annotation->position() != 0 ? m_canvas->underlayForAnnotations()
                                                           : std::static_pointer_cast<UIView>(m_canvas->glView());
    layer->addSubview(annotation);
    annotation->updateViewWithCanvas(*m_canvas);
}

void LatticeChart::replaceAnnotationAtIndexWithAnnotation(int32_t index, const Ref<LChartAnnotation>& annotation)
{
    if (index < 0 || static_cast<size_t>(index) >= m_annotations.size()) {
        LatticeChartLog::logMessageFromSource("Invalid index in -replaceAnnotationAtIndex", this);
        return;
    }
    m_annotations[static_cast<size_t>(index)]->removeFromSuperview();
    m_annotations[static_cast<size_t>(index)] = annotation;
    addAnnotationToView(annotation);
}

void LatticeChart::removeAnnotation(const Ref<LChartAnnotation>& annotation)
{
    if (!annotation)
        return;
    annotation->removeFromSuperview();
    std::erase(m_annotations, annotation);
}

void LatticeChart::removeAllAnnotations()
{
    for (const auto& annotation : m_annotations)
        annotation->removeFromSuperview();
    m_annotations.clear();
}

CGRect LatticeChart::glFrameForHitTesting() const
{
    return m_canvas && m_canvas->glView() ? m_canvas->glView()->frame() : CGRectZero;
}

bool LatticeChart::crosshairInterpolatesPoints() const
{
    // Without a crosshair yet, the one it would get interpolates.
    return !m_crosshair || m_crosshair->interpolatePoints();
}

std::string LatticeChart::stringForXAndYUsingXAxisAndYAxis(
    double x, double y, LChartAxis* xAxis, LChartAxis* yAxis) const
{
    return NSString::stringWithFormat(
        "%@, %@", xAxis ? xAxis->stringForValue(x) : std::string(), yAxis ? yAxis->stringForValue(y) : std::string());
}

std::string LatticeChart::stringForXAndYUsingSeries(double x, double y, const LChartSeries* series) const
{
    if (!series)
        return stringForXAndY(x, y);
    auto [xAxis, yAxis] = axesForSeries(series);
    return stringForXAndYUsingXAxisAndYAxis(x, y, xAxis, yAxis);
}

std::string LatticeChart::stringForXAndY(double x, double y) const
{
    return stringForXAndYUsingXAxisAndYAxis(x, y, xAxis(), yAxis());
}

const Ref<LChartCrosshair>& LatticeChart::crosshair()
{
    if (!m_crosshair)
        setCrosshair(nullptr);
    return m_crosshair;
}

void LatticeChart::setCrosshair(const Ref<LChartCrosshair>& crosshair)
{
    if (crosshair && crosshair == m_crosshair)
        return;
    if (m_crosshair)
        m_crosshair->removeFromSuperview();
    m_crosshair = crosshair ? crosshair : LChartCrosshair::initWithChart(this);
    m_crosshair->setStyle(m_theme ? m_theme->crosshairStyle() : nullptr);
    if (m_canvas) {
        m_crosshair->setFrame(m_canvas->bounds());
        m_canvas->overlay()->addSubview(m_crosshair);
    }
}

void LatticeChart::layoutCrosshair()
{
    if (m_crosshair && m_canvas)
        m_crosshair->setFrame(m_canvas->bounds());
}

void LatticeChart::crosshairChartDidReload()
{
    if (m_crosshair)
        m_crosshair->chartDidReload();
}

LChartCanvasOverlay* LatticeChart::canvasOverlayView() const
{
    return m_canvas ? m_canvas->gestureOverlay() : nullptr;
}

void LatticeChart::setGestureDoubleTapEnabled(bool enabled)
{
    m_gestureDoubleTapEnabled = enabled;
    if (LChartCanvasOverlay* overlay = canvasOverlayView())
        overlay->enableAppropriateGestureRecognisers();
}

void LatticeChart::setGestureDoubleTapResetsZoom(bool resets)
{
    m_gestureDoubleTapResetsZoom = resets;
    setGestureDoubleTapEnabled(true);
}

void LatticeChart::setRadialTapEnabled(bool enabled)
{
    m_radialTapEnabled = enabled;
    if (LChartCanvasOverlay* overlay = canvasOverlayView())
        overlay->enableAppropriateGestureRecognisers();
}

void LatticeChart::setRadialRotationEnabled(bool enabled)
{
    m_radialRotationEnabled = enabled;
    if (LChartCanvasOverlay* overlay = canvasOverlayView())
        overlay->enableAppropriateGestureRecognisers();
}

int32_t LatticeChart::gesturePanType() const
{
    LChartCanvasOverlay* overlay = canvasOverlayView();
    return overlay ? overlay->gesturePanType() : 0;
}

void LatticeChart::setGesturePanType(int32_t type)
{
    if (LChartCanvasOverlay* overlay = canvasOverlayView()) {
        overlay->setGesturePanType(type);
        overlay->enableAppropriateGestureRecognisers();
    }
}

bool LatticeChart::gesturePinchAspectLock() const
{
    LChartCanvasOverlay* overlay = canvasOverlayView();
    return overlay && overlay->gesturePinchAspectLock();
}

void LatticeChart::setGesturePinchAspectLock(bool lock)
{
    if (LChartCanvasOverlay* overlay = canvasOverlayView())
        overlay->setGesturePinchAspectLock(lock);
}

void LatticeChart::axisPanningChanged()
{
    bool panning = false;
    for (LChartAxis* axis : allXAxes())
        panning = panning || axis->enableGesturePanning();
    for (LChartAxis* axis : allYAxes())
        panning = panning || axis->enableGesturePanning();
    if (LChartCanvasOverlay* overlay = canvasOverlayView())
        overlay->enablePanning(panning);
}

void LatticeChart::axisIsZooming(LChartAxis& axis)
{
    if (LChartCanvasOverlay* overlay = canvasOverlayView())
        overlay->axisIsZooming(axis);
}

void LatticeChart::axisIsPanning(LChartAxis& axis)
{
    if (LChartCanvasOverlay* overlay = canvasOverlayView())
        overlay->axisIsPanning(axis);
}

void LatticeChart::axisFinishedMomentumZooming(LChartAxis& axis)
{
    if (LChartCanvasOverlay* overlay = canvasOverlayView())
        overlay->axisFinishedMomentumZooming(axis);
}

void LatticeChart::axisFinishedMomentumPanning(LChartAxis& axis)
{
    if (LChartCanvasOverlay* overlay = canvasOverlayView())
        overlay->axisFinishedMomentumPanning(axis);
}
