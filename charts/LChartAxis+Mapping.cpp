// Value mapping of LChartAxis: data values, drawing coordinates and pixels.

#include "charts/LChartAxis.h"

#include "charts/LChartAxisStyle.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartDrawer.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartRange.h"
#include "charts/LatticeChartLog.h"
#include "foundation/NSString.h"

#include <algorithm>
#include <cmath>

namespace {

CGRect glFrame(const LChartAxisHost* chart)
{
    LChartDrawer* view = chart ? chart->glView() : nullptr;
    return view ? view->frame() : CGRect {};
}

} // namespace

float LChartAxis::pixelValueForDataValue(const Value& value) const
{
    if (!m_axisRangeInternal) {
        LatticeChartLog::logMessageFromSource(
            "Calling pixelValueForDataValue: before an axisRange has been set.", this);
        return -1.0f;
    }
    double v = transformValueToInternal(value).doubleValue();
    double min = m_axisRangeInternal->min();
    double span = m_axisRangeInternal->max() - min;
    CGRect frame = glFrame(m_chart);
    double result;
    if (m_axisOrientation == 1) {
        double h = frame.size.height;
        result = h - h * (v - min) / span;
    } else {
        result = frame.size.width * (v - min) / span;
    }
    return static_cast<float>(result);
}

double LChartAxis::scaleDataValueForPixelValue(double pixels) const
{
    CGRect frame = glFrame(m_chart);
    double extent = isXAxis() ? frame.size.width : frame.size.height;
    double span = m_axisRangeInternal ? m_axisRangeInternal->max() - m_axisRangeInternal->min() : 0;
    return span * pixels / extent;
}

double LChartAxis::mapDataValueForPixelValue(double pixel) const
{
    CGRect frame = glFrame(m_chart);
    double distance = m_axisOrientation == 1 ? frame.size.height - pixel + frame.origin.y : pixel - frame.origin.x;
    double min = m_axisRangeInternal ? m_axisRangeInternal->min() : 0;
    return min + scaleDataValueForPixelValue(distance);
}

Value LChartAxis::dataValueForPixelValue(float pixel) const
{
    double p = pixel;
    if (isXAxis())
        p += glFrame(m_chart).origin.x;
    return Value(transformValueToExternal(Value(mapDataValueForPixelValue(p))).doubleValue());
}

double LChartAxis::mapPixelValueForDataValueUsingSeries(double value, const LChartAxisSeries* series) const
{
    CGRect frame = glFrame(m_chart);
    double origin = isXAxis() ? frame.origin.x : frame.origin.y;
    double pixel = origin + pixelValueForDataValue(transformValueToExternal(Value(value)));
    if (series)
        pixel += series->dataValueAdjustForAxis(*this);
    return pixel;
}

Value LChartAxis::dataValueFromCoord(double coord) const
{
    LChartDrawer* view = m_chart ? m_chart->glView() : nullptr;
    if (!view)
        return Value(coord);
    CGRect bounds = view->glBounds();
    double o = isXAxis() ? bounds.origin.x : bounds.origin.y;
    double g = isXAxis() ? view->glWidth() : view->glHeight();
    // (c − o) ÷ (g ÷ g) + o is the coordinate itself; a surface without size must not turn it
    // into NaN.
    if (g == 0)
        return Value(coord);
    return Value((coord - o) / (g / g) + o);
}

Value LChartAxis::offsetForSeries(const LChartAxisSeries& series) const
{
    return Value(series.dataValueAdjustForAxis(*this));
}

void LChartAxis::mapCoordinatesForDataPointInSeries(LChartInternalDataPoint& point, const LChartAxisSeries& series)
{
    LChartDataSeries* data = series.dataSeries();
    double c;
    if (isXAxis()) {
        if (data && !data->xValueKeys().empty() && point.xValues().count() > 0)
            point.setXCoords(point.xValues().mutableCopy());
        c = point.xValue().doubleValue();
        point.setXCoord(c);
    } else {
        if (data && !data->yValueKeys().empty() && point.yValues().count() > 0)
            point.setYCoords(point.yValues().mutableCopy());
        c = point.yValue().doubleValue();
        point.setYCoord(c);
    }
    // A point that is not at a finite place takes no part in the range.
    if (!std::isfinite(c))
        return;
    if (!m_glMinSet || c < m_glMin) {
        m_glMin = static_cast<float>(c);
        m_glMinSet = true;
    }
    if (!m_glMaxSet || c > m_glMax) {
        m_glMax = static_cast<float>(c);
        m_glMaxSet = true;
    }
}

void LChartAxis::mapCoordinatesForBarColumnChartDataPointInSeries(
    LChartInternalDataPoint& point, LChartAxisSeries& series)
{
    double v = isXAxis() ? point.xValue().doubleValue() : point.yValue().doubleValue();
    if (m_barColMax.isEqual(m_barColMin))
        m_barColSpacing = 1.0;
    double setPadding = m_style ? m_style->interSeriesSetPadding().doubleValue() : 0;
    double padding = m_style ? m_style->interSeriesPadding().doubleValue() : 0;
    double g = (1 - setPadding) * m_barColSpacing;
    double n = series.numSeries();
    double slot = g / n;
    double p = slot * (1 - padding);
    series.setSeriesWidth(Value(p));
    double i = series.index();
    double c = v + p / 2 - g / 2 + g * padding / (2 * n) + g * i / n;
    if (isXAxis())
        point.setXCoord(c);
    else
        point.setYCoord(c);

    double lo = v - 0.5 * m_barColSpacing;
    double hi = v + 0.5 * m_barColSpacing;
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return;
    if (!m_glMinSet || lo < m_glMin) {
        m_glMin = static_cast<float>(lo);
        m_glMinSet = true;
    }
    if (!m_glMaxSet || hi > m_glMax) {
        m_glMax = static_cast<float>(hi);
        m_glMaxSet = true;
    }
}

void LChartAxis::recalculateBarColumns(const std::vector<Ref<LChartAxisSeries>>& series)
{
    m_barColSpacing = 0;
    if (series.empty())
        return;
    std::vector<Ref<LChartInternalDataPoint>> points;
    for (const auto& s : series) {
        if (!s || !s->isBarColumnSeries() || s->orientation() != m_axisOrientation || !s->dataSeries())
            continue;
        const auto& own = s->dataSeries()->dataPoints();
        points.insert(points.end(), own.begin(), own.end());
    }
    sortDataIfRequired(points);
    bool vertical = m_axisOrientation != 0;
    auto valueOf = [vertical](const LChartInternalDataPoint& p) { return vertical ? p.yValue() : p.xValue(); };
    if (!points.empty()) {
        m_barColMin = valueOf(*points.front());
        m_barColMax = valueOf(*points.back());
    }
    bool spacingFound = false;
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        double current = valueOf(*points[i]).doubleValue();
        double next = valueOf(*points[i + 1]).doubleValue();
        if (NSString::stringWithFormat("%f", current) == NSString::stringWithFormat("%f", next))
            continue;
        double d = std::fabs(next - current);
        if (!spacingFound || d < m_barColSpacing) {
            m_barColSpacing = d;
            spacingFound = true;
        }
    }
    m_recalculateBarColumnsRequired = false;
}

void LChartAxis::configureBarColumnsWithMinWithMax(double spacing, const Value& min, const Value& max)
{
    m_recalculateBarColumnsRequired = false;
    setBarColSpacing(spacing);
    m_barColMin = min;
    m_barColMax = max;
    m_barColumnsConfigured = true;
}
