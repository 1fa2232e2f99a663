// Axes: taking, replacing and removing them, the axis host, choosing a series' axes, ranges and
// redraws, programmatic zoom, value texts and the axes' gesture callbacks.

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

} // namespace

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
