#include "charts/LChartLineSeries.h"

#include "charts/LChartAxis.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartHitTestHost.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartMutableOrderedSet.h"
#include "charts/LChartOrderedDictionary.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartSeriesDataBin.h"
#include "charts/LChartTheme.h"
#include "charts/LatticeChartLog.h"
#include "graphics/UIColor.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

VX_REGISTER_CLASS(LChartLineSeries);

LChartLineSeries::LChartLineSeries(Passkey key)
    : LChartScatterSeries(key)
{
}

Ref<LChartLineSeries> LChartLineSeries::init(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    auto series = make<LChartLineSeries>();
    series->initLineSeries(std::move(errorHandler), false);
    return series;
}

void LChartLineSeries::initLineSeries(std::shared_ptr<LChartErrorHandler> errorHandler, bool stepLine)
{
    initPointSeries(std::move(errorHandler));
    setBaseStyle(LChartLineSeriesStyle::init());
    setBaseSelectedStyle(LChartLineSeriesStyle::init());
    m_stepLine = stepLine;
    setEntryAnimation(LChartAnimation::televisionAnimation());
    setExitAnimation(LChartAnimation::televisionAnimation());
    m_maxOffsetAboveBaseline = m_maxOffsetBelowBaseline = 0.01f;
}

Ref<LChartLineSeriesStyle> LChartLineSeries::style() const
{
    return std::static_pointer_cast<LChartLineSeriesStyle>(baseStyle());
}

void LChartLineSeries::setStyle(const Ref<LChartLineSeriesStyle>& style)
{
    setBaseStyle(style);
}

Ref<LChartLineSeriesStyle> LChartLineSeries::selectedStyle() const
{
    return std::static_pointer_cast<LChartLineSeriesStyle>(baseSelectedStyle());
}

void LChartLineSeries::setSelectedStyle(const Ref<LChartLineSeriesStyle>& style)
{
    setBaseSelectedStyle(style);
}

Ref<LChartSeriesStyle> LChartLineSeries::themeStyle(const LChartTheme& theme, int32_t index, bool selected) const
{
    return theme.lineSeriesStyleForSeriesAtIndex(index, selected);
}

void LChartLineSeries::supplementStylesFromStyles(
    const Ref<LChartSeriesStyle>& normal, const Ref<LChartSeriesStyle>& selected)
{
    if (normal && style())
        style()->supplementStyleFromStyle(static_cast<const LChartLineSeriesStyle&>(*normal));
    if (selected && selectedStyle())
        selectedStyle()->supplementStyleFromStyle(static_cast<const LChartLineSeriesStyle&>(*selected));
}

Ref<LChartSeriesDataBin> LChartLineSeries::dataBinWithStartValue(const Value& value)
{
    return LChartLineSeriesDataBin::initWithStartValueDataPointValueConverter(value, this);
}

LChartCartesianSeries::RenderIndices LChartLineSeries::emptyRenderIndexDict() const
{
    return { { "Triangles", 0 }, { "Indexed Offset Triangles", 0 }, { "Lines", 0 }, { "Points", 0 } };
}

Ref<LChartSeriesDataBin> LChartLineSeries::binBefore(const LChartSeriesDataBin& bin) const
{
    int32_t index = indexOfDataBin(bin);
    if (index <= 0)
        return nullptr;
    return dataBins().objectAtIndexAs<LChartSeriesDataBin>(static_cast<uint32_t>(index - 1));
}

bool LChartLineSeries::updateMaxOffsetsFromBaselineWithDataPoints(
    const std::vector<Ref<LChartInternalDataPoint>>& points, float glBaseline)
{
    if (points.empty())
        return false;
    float hi = -INFINITY, lo = INFINITY;
    for (const auto& point : points) {
        auto measured = static_cast<float>(orientation() == 0 ? point->yCoord() : point->xCoord());
        hi = std::max(hi, measured);
        lo = std::min(lo, measured);
    }
    float above = hi - glBaseline > 0 ? hi - glBaseline : 0.01f;
    float below = glBaseline - lo > 0 ? glBaseline - lo : 0.01f;
    bool grew = false;
    if (above > m_maxOffsetAboveBaseline) {
        m_maxOffsetAboveBaseline = above;
        grew = true;
    }
    if (below > m_maxOffsetBelowBaseline) {
        m_maxOffsetBelowBaseline = below;
        grew = true;
    }
    return grew;
}

void LChartLineSeries::willDrawBinsWithGLBaseline(float glBaseline)
{
    // A bin that lost all its points takes the next bin's first segment with it: redraw that too.
    for (const auto& object : invalidBins()->array()) {
        const auto& bin = static_cast<const LChartSeriesDataBin&>(*object);
        if (!bin.dataPoints().empty())
            continue;
        int32_t index = indexOfDataBin(bin);
        if (index >= 0 && static_cast<size_t>(index + 1) < dataBins().count())
            invalidateBin(dataBins().objectAtIndexAs<LChartSeriesDataBin>(static_cast<uint32_t>(index + 1)));
    }
    auto normal = style();
    if (!normal || !normal->showFill() || isStacked())
        return;
    std::vector<Ref<LChartInternalDataPoint>> points;
    for (const auto& object : invalidBins()->array()) {
        const auto& bin = static_cast<const LChartSeriesDataBin&>(*object);
        points.insert(points.end(), bin.dataPoints().begin(), bin.dataPoints().end());
    }
    // A new extreme changes every bin's fill gradient.
    if (updateMaxOffsetsFromBaselineWithDataPoints(points, glBaseline) && invalidBins()->count() < dataBins().count())
        invalidateAllBins();
}

LChartLineRenderDataPoints LChartLineSeries::renderDataPointsForDataBin(
    const LChartSeriesDataBin& bin, float glBaseline, int32_t fillDirection) const
{
    std::vector<Ref<LChartInternalDataPoint>> points = bin.dataPoints();
    std::vector<Ref<LChartInternalDataPoint>> lows = bin.lowDataPoints();
    if (auto before = binBefore(bin); before && !before->dataPoints().empty()) {
        points.insert(points.begin(), before->dataPoints().back());
        if (isStacked() && !before->lowDataPoints().empty())
            lows.insert(lows.begin(), before->lowDataPoints().back());
    }
    const bool stacked = isStacked() && lows.size() == points.size();
    const auto d = static_cast<size_t>(fillDirection == 0 ? 0 : 1);
    auto coords = [](const LChartInternalDataPoint& point) {
        return std::array<float, 2> { static_cast<float>(point.xCoord()), static_cast<float>(point.yCoord()) };
    };

    LChartLineRenderDataPoints result;
    auto& out = result.points;
    auto& low = result.lowPoints;
    auto push = [](std::vector<float>& list, std::array<float, 2> xy) { list.insert(list.end(), { xy[0], xy[1] }); };
    bool above = false;
    for (size_t i = 0; i < points.size(); ++i) {
        auto here = coords(*points[i]);
        bool side = here[d] >= glBaseline;
        if (i > 0) {
            if (m_stepLine) {
                // The corner: the previous vertex's measured coordinate at this point's changed one.
                std::array<float, 2> corner = here;
                corner[d] = out[out.size() - 2 + d];
                push(out, corner);
                if (stacked) {
                    std::array<float, 2> lowCorner = coords(*lows[i]);
                    lowCorner[d] = low[low.size() - 2 + d];
                    push(low, lowCorner);
                }
            }
            if (side != above) {
                float p = out[out.size() - 2 + d];
                float q = here[d];
                float previousChanged = out[out.size() - 2 + (1 - d)];
                float dp = std::fabs(p - glBaseline), dq = std::fabs(q - glBaseline);
                float t = dp + dq == 0 ? 1 : dp / (dp + dq);
                std::array<float, 2> crossing {};
                crossing[d] = glBaseline;
                crossing[1 - d] = previousChanged + t * (here[1 - d] - previousChanged);
                push(out, crossing);
                push(out, crossing);
                if (stacked) {
                    push(low, crossing);
                    push(low, crossing);
                }
            }
        }
        above = side;
        push(out, here);
        if (stacked)
            push(low, coords(*lows[i]));
    }
    return result;
}

void LChartLineSeries::drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
    const LChartGLTranslation& translation, RenderIndices& slots)
{
    auto normal = style();
    auto chosen = selected() && selectedStyle() ? selectedStyle() : normal;
    auto pick = [&](auto getter) {
        auto value = chosen ? ((*chosen).*getter)() : decltype(((*normal).*getter)()) {};
        if (!value && normal)
            value = ((*normal).*getter)();
        return value;
    };
    auto pickWidth = [&](const Value& (LChartLineSeriesStyle::*getter)() const) {
        Value value = chosen ? ((*chosen).*getter)() : Value();
        if (value.isNilOrNull() && normal)
            value = ((*normal).*getter)();
        return value.floatValue();
    };
    const bool showFill = chosen && chosen->showFill();
    auto areaColor = pick(&LChartLineSeriesStyle::areaColor);
    auto areaLineColor = pick(&LChartLineSeriesStyle::areaLineColor);
    bool useAreaLine = showFill && areaColor && areaLineColor;
    auto lineColor = useAreaLine ? areaLineColor : pick(&LChartLineSeriesStyle::lineColor);
    float width
        = useAreaLine ? pickWidth(&LChartLineSeriesStyle::areaLineWidth) : pickWidth(&LChartLineSeriesStyle::lineWidth);
    auto lineBelow = pick(&LChartLineSeriesStyle::lineColorBelowBaseline);
    if (showFill && areaColor)
        if (auto areaBelow = pick(&LChartLineSeriesStyle::areaLineColorBelowBaseline))
            lineBelow = areaBelow;
    const auto clear = UIColor::clearColor();
    if (!lineColor)
        lineColor = clear;
    if (!lineBelow)
        lineBelow = clear;
    width *= resolutionScale();

    Ref<UIColor> fills[4] = { areaColor, pick(&LChartLineSeriesStyle::areaColorLowGradient),
        pick(&LChartLineSeriesStyle::areaColorBelowBaseline),
        pick(&LChartLineSeriesStyle::areaColorGradientBelowBaseline) };
    for (auto& fill : fills)
        if (!showFill)
            fill = clear;

    const int32_t d = 1 - (orientation() == 0 ? 0 : 1);
    auto vertices = renderDataPointsForDataBin(bin, glBaseline, d);
    auto size = static_cast<int32_t>(vertices.points.size());
    if (isStacked() && vertices.lowPoints.size() == vertices.points.size()) {
        drawer.drawBandSeriesFill(vertices.points.data(), this, vertices.lowPoints.data(), &slots["Triangles"], size,
            fills[0].get(), fills[2].get(), d, vertices.numBaselineCrosses, translation);
    } else {
        drawer.horizontalFill(vertices.points.data(), this, &slots["Triangles"], size, fills[0].get(), fills[2].get(),
            fills[1].get(), fills[3].get(), glBaseline, m_maxOffsetAboveBaseline, m_maxOffsetBelowBaseline, d,
            chosen && chosen->fillWithGradient(), translation);
    }
    drawer.drawLineStrip(vertices.points.data(), this, &slots["Lines"], &slots["Indexed Offset Triangles"],
        &slots["Points"], size, lineColor.get(), lineBelow.get(), width, glBaseline, d, translation);
    // The markers, as a scatter series draws them.
    LChartScatterSeries::drawBin(bin, drawer, glBaseline, translation, slots);
}

void LChartLineSeries::mapWithStackedSeriesOnXAxisAndYAxis(
    const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxis& xAxis, LChartAxis& yAxis)
{
    if (orientation() == 0)
        mapWithStackedSeriesOnChangedAxisAndMeasuredAxis(stack, xAxis, yAxis);
    else
        mapWithStackedSeriesOnChangedAxisAndMeasuredAxis(stack, yAxis, xAxis);
}

void LChartLineSeries::mapInvalidBinsWithStackedSeriesOnXAxisAndYAxis(const std::vector<Value>& bins,
    const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxis& xAxis, LChartAxis& yAxis)
{
    if (orientation() == 0)
        mapInvalidBinsWithStackedSeriesOnChangedAxisAndMeasuredAxis(bins, stack, xAxis, yAxis);
    else
        mapInvalidBinsWithStackedSeriesOnChangedAxisAndMeasuredAxis(bins, stack, yAxis, xAxis);
}

double LChartLineSeries::valueAtChangedValue(const Value& value, LChartAxis& changedAxis, LChartAxis&)
{
    return changedAxis.allowsInterpolation() ? interpolatedValueForChangedValue(value) : 0.0;
}

double LChartLineSeries::interpolatedValueForChangedValue(const Value& value) const
{
    double v = value.doubleValue();
    const LChartInternalDataPoint* before = nullptr;
    const LChartInternalDataPoint* after = nullptr;
    if (auto found = dataBinContainingChangedValue(value)) {
        const auto& points = found->first->dataPoints();
        auto position = std::partition_point(points.begin(), points.end(),
            [&](const Ref<LChartInternalDataPoint>& p) { return changedValueOfDataPoint(*p).doubleValue() < v; });
        if (position == points.begin() || position == points.end())
            return 0.0;
        before = (position - 1)->get();
        after = position->get();
    } else {
        auto closest = closestDataBinLessThanChangedValue(value);
        if (!closest || closest->second + 1 >= static_cast<int32_t>(dataBins().count()))
            return 0.0;
        auto next = dataBins().objectAtIndexAs<LChartSeriesDataBin>(static_cast<uint32_t>(closest->second + 1));
        if (closest->first->dataPoints().empty() || !next || next->dataPoints().empty())
            return 0.0;
        before = closest->first->dataPoints().back().get();
        after = next->dataPoints().front().get();
        if (!(changedValueOfDataPoint(*before).doubleValue() <= v
                && v <= changedValueOfDataPoint(*after).doubleValue()))
            return 0.0;
    }
    auto x0 = static_cast<float>(changedValueOfDataPoint(*before).doubleValue());
    auto x1 = static_cast<float>(changedValueOfDataPoint(*after).doubleValue());
    auto y0 = static_cast<float>(measuredValueOfDataPoint(*before).doubleValue());
    auto y1 = static_cast<float>(measuredValueOfDataPoint(*after).doubleValue());
    if (x1 == x0)
        return y0;
    float dy = y1 - y0;
    float dx = x1 - x0;
    return static_cast<float>(y0 + dy * (v - x0) / dx);
}

Ref<LChartInternalDataPoint> LChartLineSeries::lowDataPointToMatchDataPoint(
    const LChartInternalDataPoint& point, double offset, LChartAxis& changedAxis, LChartAxis& measuredAxis)
{
    auto low = LChartInternalDataPoint::init();
    setChangedValueOfDataPoint(changedValueOfDataPoint(point), *low);
    setMeasuredValueOfDataPoint(Value(offset), *low);
    changedAxis.mapCoordinatesForDataPointInSeries(*low, *this);
    measuredAxis.mapCoordinatesForDataPointInSeries(*low, *this);
    return low;
}

void LChartLineSeries::mapStackedDataPoint(
    LChartInternalDataPoint& point, LChartAxis& changedAxis, LChartAxis& measuredAxis, double offset)
{
    Value own = measuredValueOfDataPoint(point);
    double top = own.doubleValue() + offset;
    setMeasuredValueOfDataPoint(Value(top), point);
    changedAxis.mapCoordinatesForDataPointInSeries(point, *this);
    measuredAxis.mapCoordinatesForDataPointInSeries(point, *this);
    setMeasuredValueOfDataPoint(own, point);
    checkForNewStackedRangeMinAndMax(std::min(offset, top), std::max(offset, top));
}

Ref<LChartRange> LChartLineSeries::visibleRangeOnAxis(const LChartAxis& axis) const
{
    bool measured = (orientation() == 0) != axis.isXAxis();
    if (measured) {
        if (!stackIndex().isNilOrNull())
            return rangeBaselinedWithRangeOnAxis(stackedRange(), axis);
        if (!baseline().isNilOrNull())
            return rangeBaselinedWithRangeOnAxis(LChartCartesianSeries::visibleRangeOnAxis(axis), axis);
    }
    return LChartCartesianSeries::visibleRangeOnAxis(axis);
}

int32_t LChartLineSeries::distanceComparisonModeForPoint() const
{
    int32_t trace = style() ? style()->lineCrosshairTraceStyle() : 0;
    if (trace == 0)
        return 1;
    if (trace == 1)
        return 2;
    LatticeChartLog::fatalLogMessageFromSource("bad line trace mode", this);
}

void LChartLineSeries::distanceInfoUsingGLToPointInChartIsOnlySeries(
    LChartSeriesDistanceInfo& info, LChartPoint touch, const LChartHitTestHost& chart, bool isOnlySeries) const
{
    findNearestPoint(info, touch, chart, isOnlySeries, [](LChartInternalDataPoint& point) {
        return LChartPoint { point.xCoord(), point.yCoord() };
    });
}

void LChartLineSeries::distanceInfoToPointInChartIsOnlySeries(
    LChartSeriesDistanceInfo& info, LChartPoint touch, const LChartHitTestHost& chart, bool isOnlySeries)
{
    distanceInfoUsingGLToPointInChartIsOnlySeries(info, touch, chart, isOnlySeries);
    if (!info.dataPoint)
        return;
    if (chart.crosshairInterpolatesPoints())
        info.resolvedPoint = interpolatePointForCoord(*info.dataPoint, touch);
    else
        info.resolvedPoint = { info.dataPoint->xCoord(), info.dataPoint->yCoord() };
}

LChartPoint LChartLineSeries::interpolatePointForCoord(const LChartInternalDataPoint& point, LChartPoint touch) const
{
    // Trace along x (0) or y (1); the other coordinate measures the distance.
    bool traceX = distanceComparisonModeForPoint() == 1;
    const float h = static_cast<float>(traceX ? touch.x : touch.y);
    LChartPoint best { point.xCoord(), point.yCoord() };
    double bestDistance = std::numeric_limits<double>::max();
    const auto& points = dataSeries()->dataPoints();
    for (size_t i = 1; i < points.size(); ++i) {
        std::array<float, 2> a { static_cast<float>(points[i - 1]->xCoord()),
            static_cast<float>(points[i - 1]->yCoord()) };
        std::array<float, 2> b { static_cast<float>(points[i]->xCoord()), static_cast<float>(points[i]->yCoord()) };
        const size_t trace = traceX ? 0 : 1;
        const size_t other = 1 - trace;
        if (a[trace] > b[trace])
            std::swap(a, b);
        if (!(a[trace] <= h && h <= b[trace]))
            continue;
        float s = a[trace] == b[trace] ? 1.0f : std::fabs((h - a[trace]) / (b[trace] - a[trace]));
        std::array<float, 2> at { a[0] + s * (b[0] - a[0]), a[1] + s * (b[1] - a[1]) };
        if (stepLine())
            at[other] = a[other];
        double distance = std::fabs((traceX ? touch.y : touch.x) - at[other]);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = { at[0], at[1] };
        }
    }
    return best;
}
