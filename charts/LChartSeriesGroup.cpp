#include "charts/LChartSeriesGroup.h"

#include "charts/LChartAxis.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartErrorHandler.h"
#include "charts/LChartNumberAxis.h"
#include "charts/LChartNumberRange.h"
#include "charts/LChartRange.h"
#include "foundation/NSString.h"

#include <algorithm>
#include <limits>

Ref<LChartSeriesGroup> LChartSeriesGroup::initWithXAxisAndYAxisErrorHandler(
    const Ref<LChartAxis>& xAxis, const Ref<LChartAxis>& yAxis, std::shared_ptr<LChartErrorHandler> handler)
{
    auto group = make<LChartSeriesGroup>();
    group->m_xAxis = xAxis;
    group->m_yAxis = yAxis;
    group->m_errorHandler = std::move(handler);
    return group;
}

Ref<LChartSeriesGroup> LChartSeriesGroup::initWithSeriesAndXAxisAndYAxisErrorHandler(
    const Ref<LChartGroupedSeries>& series, const Ref<LChartAxis>& xAxis, const Ref<LChartAxis>& yAxis,
    std::shared_ptr<LChartErrorHandler> handler)
{
    auto group = initWithXAxisAndYAxisErrorHandler(xAxis, yAxis, std::move(handler));
    group->addSeries(series);
    return group;
}

void LChartSeriesGroup::addSeries(const Ref<LChartGroupedSeries>& series)
{
    if (!series)
        return;
    if (!m_class)
        m_class = series->seriesClass();
    else if (!NSObject::classIsSubclassOf(series->seriesClass(), m_class))
        m_errorHandler->handleFatalErrorWithMessageFromSource(
            NSString::stringWithFormat("Cannot add series of type %@ to group of type %@",
                NSStringFromClass(series->seriesClass()), NSStringFromClass(m_class)),
            this);
    if (m_groupedSeries.empty())
        m_orientation = series->orientation();
    m_groupedSeries.push_back(series);
    series->setSeriesGroup(std::static_pointer_cast<LChartSeriesGroup>(shared_from_this()));
}

LChartAxis& LChartSeriesGroup::measuredAxis(const LChartGroupedSeries& series) const
{
    return series.orientation() == 0 ? *m_yAxis : *m_xAxis;
}

LChartAxis& LChartSeriesGroup::changedAxis(const LChartGroupedSeries& series) const
{
    return series.orientation() == 0 ? *m_xAxis : *m_yAxis;
}

void LChartSeriesGroup::setStacks()
{
    int32_t slots = 0;
    std::vector<std::pair<Value, int32_t>> stackSlots;
    m_numStacks = 0;
    for (const auto& series : m_groupedSeries) {
        Value stack = series->stackIndex();
        bool stacked = !stack.isNilOrNull();
        if (stacked) {
            if (LChartDataSeries* data = series->dataSeries())
                changedAxis(*series).sortDataIfRequired(data->dataPoints());
        } else {
            series->setIsStacked(false);
        }
        auto known = stacked ? std::find_if(stackSlots.begin(), stackSlots.end(),
                         [&](const auto& entry) { return entry.first.isEqual(stack); })
                             : stackSlots.end();
        if (known != stackSlots.end()) {
            series->setIndex(known->second);
            continue;
        }
        series->setIndex(slots);
        if (stacked) {
            stackSlots.emplace_back(stack, slots);
            ++m_numStacks;
        }
        ++slots;
    }
    for (const auto& series : m_groupedSeries)
        series->setNumSeries(slots);
}

bool LChartSeriesGroup::requiresRecalculation()
{
    m_aSeriesIsEntering = false;
    m_aSeriesIsExiting = false;
    bool result = false;
    for (const auto& series : m_groupedSeries) {
        if (series->requiresRecalculation())
            result = true;
        if (series->isEntering())
            m_aSeriesIsEntering = true;
        if (series->isExiting())
            m_aSeriesIsExiting = true;
    }
    if (result) {
        // Members of a stack that is changing leave first (to re-enter once it is rebuilt).
        for (const auto& series : m_groupedSeries) {
            if (!series->isStacked() || series->isEntering())
                continue;
            bool leave = (!series->hidden() && m_aSeriesIsEntering) || (m_aSeriesIsExiting && !series->isExiting());
            if (!leave)
                continue;
            if (!series->hidden())
                series->setShouldReenter(true);
            series->setHidden(true);
            m_aSeriesIsExiting = true;
        }
    }
    for (const auto& series : m_groupedSeries) {
        if (!series->isStacked() || !series->isEntering())
            continue;
        if (m_aSeriesIsExiting) {
            series->setDelayAnimation(true);
        } else {
            if (series->hidden())
                series->setHidden(false);
            series->setDelayAnimation(false);
        }
    }
    return result;
}

void LChartSeriesGroup::mapSeries()
{
    bool recalculate = requiresRecalculation();
    for (const auto& series : m_groupedSeries)
        series->clearStackedRange();

    bool changed = false;
    Class logAxis = LChartLogarithmicAxis::classObject();
    if (m_xAxis->isKindOfClass(logAxis) || m_yAxis->isKindOfClass(logAxis)) {
        // Logarithmic axes never stack.
        for (const auto& series : m_groupedSeries) {
            if (!series->stackIndex().isNilOrNull()) {
                series->setStackIndex(Value());
                changed = true;
            }
        }
    }
    if (changed || recalculate)
        setStacks();

    if (seriesAreStacked()) {
        // Stacks in order of first appearance, so mapping is the same on every run.
        std::vector<std::pair<Value, std::vector<Ref<LChartGroupedSeries>>>> stacks;
        for (const auto& series : m_groupedSeries) {
            Value stack = series->stackIndex();
            if (stack.isNilOrNull()) {
                mapSingleSeries(*series);
                continue;
            }
            if (series->hidden())
                continue;
            auto entry = std::find_if(
                stacks.begin(), stacks.end(), [&](const auto& known) { return known.first.isEqual(stack); });
            if (entry == stacks.end())
                stacks.push_back({ stack, { series } });
            else
                entry->second.push_back(series);
        }
        for (const auto& [index, list] : stacks) {
            if (!list.empty())
                list.front()->mapWithStackedSeriesOnXAxisAndYAxis(list, *m_xAxis, *m_yAxis);
        }
    } else {
        for (const auto& series : m_groupedSeries) {
            if (!series->stackIndex().isNilOrNull())
                series->mapWithStackedSeriesOnXAxisAndYAxis({ series }, *m_xAxis, *m_yAxis);
            else
                mapSingleSeries(*series);
        }
    }
    for (const auto& series : m_groupedSeries)
        series->setRequiresRecalculation(false);
}

void LChartSeriesGroup::mapSingleSeries(LChartGroupedSeries& series)
{
    if (LChartDataSeries* data = series.dataSeries())
        mapDataPointsInSingleSeries(data->dataPoints(), series);
}

void LChartSeriesGroup::mapDataPointsInSingleSeries(
    const std::vector<Ref<LChartInternalDataPoint>>& points, LChartGroupedSeries& series)
{
    for (const auto& point : points) {
        if (point)
            series.mapDataPointOnXAxisAndYAxis(*point, *m_xAxis, *m_yAxis);
    }
}

void LChartSeriesGroup::mapDataPointsInSeries(
    const std::vector<Ref<LChartInternalDataPoint>>& points, const Ref<LChartGroupedSeries>& series)
{
    if (!series)
        return;
    Value stack = series->stackIndex();
    if (stack.isNilOrNull()) {
        mapDataPointsInSingleSeries(points, *series);
        return;
    }
    // The stack in group order, bottom first, as a full mapping stacks it: the series that
    // received the points keeps its own place, so it is raised by the series below it only.
    std::vector<Ref<LChartGroupedSeries>> list;
    for (const auto& other : m_groupedSeries) {
        if (other == series || (other->stackIndex().isEqual(stack) && !other->hidden()))
            list.push_back(other);
    }
    series->mapInvalidBinsWithStackedSeriesOnXAxisAndYAxis(series->invalidBinKeys(), list, *m_xAxis, *m_yAxis);
}

double LChartSeriesGroup::baselineForSeries(const LChartGroupedSeries& series) const
{
    LChartAxis& axis = measuredAxis(series);
    Value own = series.baseline();
    if (!own.isNilOrNull()) {
        if (series.isStacked())
            return own.doubleValue();
        return axis.transformValueToInternal(own).doubleValue();
    }
    if (!series.isStacked() && !series.isBarColumnSeries()) {
        const auto& range = axis.defaultRangeInternal();
        return range ? range->min() : 0;
    }
    return axis.defaultBaseline();
}

LChartGLTranslation LChartSeriesGroup::translationForChart(const LChartAxisHost* chart) const
{
    const auto& xRange = m_xAxis->axisRangeInternal();
    const auto& yRange = m_yAxis->axisRangeInternal();
    double xmin = xRange ? xRange->min() : 0;
    double xspan = xRange ? xRange->max() - xmin : 0;
    double ymin = yRange ? yRange->min() : 0;
    double yspan = yRange ? yRange->max() - ymin : 0;
    LChartDrawer* view = chart ? chart->glView() : nullptr;
    double ox = 0;
    double oy = 0;
    double w = 0;
    double h = 0;
    if (view) {
        CGRect bounds = view->glBounds();
        ox = static_cast<float>(bounds.origin.x);
        oy = static_cast<float>(bounds.origin.y);
        w = view->glWidth();
        h = view->glHeight();
    }
    LChartGLTranslation translation;
    // Without a surface size the algebraically equal forms keep every value finite.
    translation.xScale = static_cast<float>(w != 0 ? xspan * (w * 0.5) / w : xspan * 0.5);
    translation.yScale = static_cast<float>(h != 0 ? yspan * (h * 0.5) / h : yspan * 0.5);
    translation.xOffset = static_cast<float>(w != 0 ? (xmin - ox) * w / w - w * 0.5 : xmin - ox - w * 0.5);
    translation.yOffset = static_cast<float>(h != 0 ? (ymin - oy) * h / h - h * 0.5 : ymin - oy - h * 0.5);
    return translation;
}

bool LChartSeriesGroup::drawSingleSeriesOnChart(LChartGroupedSeries& series, LChartAxisHost* chart)
{
    if (!series.hidden() && series.delayAnimation())
        return false;
    LChartDrawer* view = chart ? chart->glView() : nullptr;
    if (!view)
        return false;
    LChartGLTranslation translation = translationForChart(chart);
    float baseline = static_cast<float>(baselineForSeries(series));
    bool result = series.drawWithDrawerWithGLBaselineAndGLTranslation(*view, baseline, translation);
    series.updateWithDrawerAndGLTranslation(*view, translation);
    return result;
}

bool LChartSeriesGroup::drawStackedSeriesOnChart(
    const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxisHost* chart)
{
    bool result = false;
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (drawSingleSeriesOnChart(**it, chart))
            result = true;
    }
    return result;
}

bool LChartSeriesGroup::drawSeriesOnChart(LChartAxisHost* chart)
{
    if (m_groupedSeries.empty())
        return false;
    bool result = false;
    auto count = static_cast<int32_t>(m_groupedSeries.size());
    if (count == m_groupedSeries.back()->index() + 1) {
        for (const auto& series : m_groupedSeries) {
            if (drawSingleSeriesOnChart(*series, chart))
                result = true;
        }
        return result;
    }
    for (int32_t slot = 0; slot < count; ++slot) {
        std::vector<Ref<LChartGroupedSeries>> inSlot;
        for (const auto& series : m_groupedSeries) {
            if (series->index() == slot)
                inSlot.push_back(series);
        }
        bool drew = false;
        if (inSlot.size() >= 2)
            drew = drawStackedSeriesOnChart(inSlot, chart);
        else if (inSlot.size() == 1)
            drew = inSlot.front()->isStacked() ? drawStackedSeriesOnChart(inSlot, chart)
                                               : drawSingleSeriesOnChart(*inSlot.front(), chart);
        if (drew)
            result = true;
    }
    return result;
}

Ref<LChartRange> LChartSeriesGroup::visibleRangeForAxis(const LChartAxis& axis) const
{
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    bool any = false;
    for (const auto& series : m_groupedSeries) {
        if (series->hidden() && !series->isExiting())
            continue;
        Ref<LChartRange> range = series->visibleRangeOnAxis(axis);
        if (!range)
            continue;
        any = true;
        low = std::min(low, range->min());
        high = std::max(high, range->max());
    }
    if (!any)
        return LChartNumberRange::initWithMinimumAndMaximum(Value(), Value());
    return LChartNumberRange::initWithMinimumAndMaximum(Value(low), Value(high));
}
