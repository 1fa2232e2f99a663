#include "charts/LChartBarColumnSeries.h"

#include "charts/LChartAxis.h"
#include "charts/LChartAxisStyle.h"
#include "charts/LChartBandSeriesStyle.h"
#include "charts/LChartHitTestHost.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartNumberRange.h"
#include "charts/LChartSeriesDataBin.h"
#include "foundation/NSString.h"
#include "graphics/UIColor.h"

#include <algorithm>
#include <cmath>
#include <limits>

VX_REGISTER_CLASS(LChartBarColumnSeries);

Ref<LChartBarColumnSeriesStyle> LChartBarColumnSeries::barColumnStyle() const
{
    return std::static_pointer_cast<LChartBarColumnSeriesStyle>(baseStyle());
}

Ref<LChartBarColumnSeriesStyle> LChartBarColumnSeries::barColumnSelectedStyle() const
{
    return std::static_pointer_cast<LChartBarColumnSeriesStyle>(baseSelectedStyle());
}

void LChartBarColumnSeries::drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
    const LChartGLTranslation& translation, RenderIndices& slots)
{
    auto normal = barColumnStyle();
    if (!normal)
        return;
    auto chosen = selected() && barColumnSelectedStyle() ? barColumnSelectedStyle() : normal;
    auto pick = [&](auto getter) {
        auto value = ((*chosen).*getter)();
        if (!value)
            value = ((*normal).*getter)();
        return value;
    };
    const bool bars = orientation() == 1;
    std::vector<float> points;
    std::vector<float> lows;
    const bool stacked = isStacked() && bin.lowDataPoints().size() == bin.dataPoints().size();
    Value previous;
    for (size_t i = 0; i < bin.dataPoints().size(); ++i) {
        const auto& point = bin.dataPoints()[i];
        points.insert(points.end(), { static_cast<float>(point->xCoord()), static_cast<float>(point->yCoord()) });
        if (stacked) {
            const auto& low = bin.lowDataPoints()[i];
            lows.push_back(static_cast<float>(bars ? low->xCoord() : low->yCoord()));
        }
        Value changed = changedValueOfDataPoint(*point);
        if (i > 0 && changed.isEqual(previous))
            errorHandler()->handleErrorWithMessageFromSource(
                NSString::stringWithFormat(
                    "Your bar/column series has multiple data points with the value of %@ on the "
                    "%@ axis.  Both have been displayed, so the smaller values will have been "
                    "obscured",
                    changed, std::string(bars ? "Y" : "X")),
                this);
        previous = changed;
    }
    const auto size = static_cast<uint32_t>(points.size());
    Value widthValue = chosen->lineWidth().isNilOrNull() ? normal->lineWidth() : chosen->lineWidth();
    const float lineWidth = widthValue.floatValue() * resolutionScale();
    const auto clear = UIColor::clearColor();
    auto area = pick(&LChartBarColumnSeriesStyle::areaColor);
    auto areaBelow = pick(&LChartBarColumnSeriesStyle::areaColorBelowBaseline);
    if (!area)
        area = clear;
    if (!areaBelow)
        areaBelow = clear;
    auto gradient = pick(&LChartBarColumnSeriesStyle::areaColorGradient);
    auto gradientBelow = pick(&LChartBarColumnSeriesStyle::areaColorGradientBelowBaseline);
    if (!chosen->showAreaWithGradient()) {
        gradient = area;
        gradientBelow = areaBelow;
    }
    auto line = pick(&LChartBarColumnSeriesStyle::lineColor);
    auto lineBelow = pick(&LChartBarColumnSeriesStyle::lineColorBelowBaseline);
    const bool outlines = line || lineBelow;
    const bool showArea = chosen->showArea();
    const float width = seriesWidth().floatValue();
    const float* low = stacked ? lows.data() : nullptr;
    if (showArea || outlines) {
        // With outlines but no area the fill is still issued, all clear, so the outline keeps its mask.
        drawer.barColumnFill(points.data(), this, low, &slots["Triangles"], size, (showArea ? area : clear).get(),
            (showArea ? areaBelow : clear).get(), (showArea ? gradient : clear).get(),
            (showArea ? gradientBelow : clear).get(), width, glBaseline, orientation(), outlines, translation);
    }
    if (outlines)
        drawer.barColumnLine(points.data(), this, low, &slots["Lines"], size, line.get(), lineBelow.get(), width,
            lineWidth, glBaseline, orientation(), translation);
}

void LChartBarColumnSeries::mapDataPointOnXAxisAndYAxis(
    LChartInternalDataPoint& point, LChartAxis& xAxis, LChartAxis& yAxis)
{
    if (orientation() != 1) {
        xAxis.mapCoordinatesForBarColumnChartDataPointInSeries(point, *this);
        yAxis.mapCoordinatesForDataPointInSeries(point, *this);
    } else {
        xAxis.mapCoordinatesForDataPointInSeries(point, *this);
        yAxis.mapCoordinatesForBarColumnChartDataPointInSeries(point, *this);
    }
}

double LChartBarColumnSeries::dataValueAdjustForAxis(const LChartAxis& axis) const
{
    if (orientation() != axis.axisOrientation())
        return 0.0;
    int32_t n = numSeries();
    float k = offsetFromCentre();
    if (n % 2 == 0)
        k -= 0.5f;
    if (k == 0 || n <= 0)
        return 0.0;
    double padding = axis.style() ? axis.style()->interSeriesSetPadding().doubleValue() : 0.0;
    return k * (axis.barColSpacing() * (1 - padding) / n);
}

void LChartBarColumnSeries::mapWithStackedSeriesOnXAxisAndYAxis(
    const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxis& xAxis, LChartAxis& yAxis)
{
    if (orientation() == 0)
        mapWithStackedSeriesOnChangedAxisAndMeasuredAxis(stack, xAxis, yAxis);
    else
        mapWithStackedSeriesOnChangedAxisAndMeasuredAxis(stack, yAxis, xAxis);
}

void LChartBarColumnSeries::mapInvalidBinsWithStackedSeriesOnXAxisAndYAxis(const std::vector<Value>& bins,
    const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxis& xAxis, LChartAxis& yAxis)
{
    if (orientation() == 0)
        mapInvalidBinsWithStackedSeriesOnChangedAxisAndMeasuredAxis(bins, stack, xAxis, yAxis);
    else
        mapInvalidBinsWithStackedSeriesOnChangedAxisAndMeasuredAxis(bins, stack, yAxis, xAxis);
}

Ref<LChartInternalDataPoint> LChartBarColumnSeries::lowDataPointToMatchDataPoint(
    const LChartInternalDataPoint& point, double offset, LChartAxis& changedAxis, LChartAxis& measuredAxis)
{
    auto low = LChartInternalDataPoint::init();
    setChangedValueOfDataPoint(changedValueOfDataPoint(point), *low);
    setMeasuredValueOfDataPoint(Value(offset), *low);
    changedAxis.mapCoordinatesForBarColumnChartDataPointInSeries(*low, *this);
    measuredAxis.mapCoordinatesForDataPointInSeries(*low, *this);
    return low;
}

void LChartBarColumnSeries::mapStackedDataPoint(
    LChartInternalDataPoint& point, LChartAxis& changedAxis, LChartAxis& measuredAxis, double offset)
{
    Value own = measuredValueOfDataPoint(point);
    double top = own.doubleValue() + offset;
    setMeasuredValueOfDataPoint(Value(top), point);
    measuredAxis.mapCoordinatesForDataPointInSeries(point, *this);
    checkForNewStackedRangeMinAndMax(std::min(offset, top), std::max(offset, top));
    setMeasuredValueOfDataPoint(own, point);
    changedAxis.mapCoordinatesForBarColumnChartDataPointInSeries(point, *this);
}

Ref<LChartRange> LChartBarColumnSeries::visibleRangeOnAxis(const LChartAxis& axis) const
{
    Ref<LChartRange> range = LChartCartesianSeries::visibleRangeOnAxis(axis);
    bool measured = (orientation() == 0) != axis.isXAxis();
    if (measured) {
        if (!stackIndex().isNilOrNull() && stackedRange())
            return rangeBaselinedWithRangeOnAxis(stackedRange(), axis);
        return rangeBaselinedWithRangeOnAxis(range, axis);
    }
    if (!range)
        return nullptr;
    double half = axis.barColSpacing() / 2;
    return LChartNumberRange::initWithMinimumAndMaximum(Value(range->min() - half), Value(range->max() + half));
}

void LChartBarColumnSeries::supplementStylesFromStyles(
    const Ref<LChartSeriesStyle>& normal, const Ref<LChartSeriesStyle>& selected)
{
    supplementStylesOfClass<LChartBarColumnSeriesStyle>(normal, selected);
}

void LChartBarColumnSeries::normaliseRangeStartAndLength(double& start, double& length)
{
    if (length < 0) {
        start += length;
        length = -length;
    }
}

bool LChartBarColumnSeries::pointInsideBounds(LChartPoint point, std::array<double, 4> bounds)
{
    normaliseRangeStartAndLength(bounds[0], bounds[2]);
    normaliseRangeStartAndLength(bounds[1], bounds[3]);
    return bounds[0] <= point.x && point.x <= bounds[0] + bounds[2] && bounds[1] <= point.y
        && point.y <= bounds[1] + bounds[3];
}

void LChartBarColumnSeries::distanceInfoInsideNearestRectangle(
    LChartSeriesDistanceInfo& info, LChartPoint touch, const LChartHitTestHost& chart, bool isOnlySeries)
{
    LChartCartesianSeries::distanceInfoToPointInChartIsOnlySeries(info, touch, chart, isOnlySeries);
    if (!info.dataPoint)
        return;
    const LChartInternalDataPoint& point = *info.dataPoint;
    auto [xAxis, yAxis] = chart.axesForSeries(this);
    const bool bars = orientation() == 1;
    LChartAxis* changedAxis = bars ? yAxis : xAxis;
    auto group = seriesGroup().lock();

    // Along the measured axis: from the baseline to the value, or where the stack put it.
    const double b = group ? group->baselineForSeries(*this) : 0.0;
    const double v = measuredValueOfDataPoint(point).doubleValue();
    double start = std::min(b, v);
    double length = std::fabs(v - b);
    double& resolvedMeasured = bars ? info.resolvedPoint.x : info.resolvedPoint.y;
    if (isStacked()) {
        const double lift = (bars ? point.xCoord() : point.yCoord()) - v - b;
        if (!baseline().isNilOrNull()) {
            start = b + lift;
            length = v;
            resolvedMeasured = v + start;
        } else {
            start = std::min(b, v) + lift;
            resolvedMeasured = start + (v < b ? 0 : length);
        }
    }

    // Along the changed axis: the series' slot about the changed value.
    const double width = seriesWidth().doubleValue();
    const double changedStart = changedValueOfDataPoint(point).doubleValue() - width / 2
        + (changedAxis ? dataValueAdjustForAxis(*changedAxis) : 0.0);

    std::array<double, 4> bounds = bars ? std::array<double, 4> { start, changedStart, length, width }
                                        : std::array<double, 4> { changedStart, start, width, length };
    info.distance = pointInsideBounds(touch, bounds) ? 0.0 : std::numeric_limits<double>::max();
}
