// Loading: the data source, the loading queue and its indicator, reloads read on the main thread
// or on the loading queue, grouping and mapping, the swap-in, and appends.

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

namespace {

Ref<LChartCartesianSeries> asCartesian(const Ref<LChartSeries>& series)
{
    return std::dynamic_pointer_cast<LChartCartesianSeries>(series);
}

} // namespace

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
