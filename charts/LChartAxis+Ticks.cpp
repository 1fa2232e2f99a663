// Tick frequency and label helpers of LChartAxis that the axis kinds build on.

#include "charts/LChartAxis.h"

#include "charts/LChartAxisStyle.h"
#include "charts/LChartDrawer.h"
#include "charts/LChartRange.h"
#include "charts/LChartTickLabelFormatter.h"
#include "graphics/NSString+Drawing.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kDiagonal = 0.8509035f;

CGRect glFrame(const LChartAxisHost* chart)
{
    LChartDrawer* view = chart ? chart->glView() : nullptr;
    return view ? view->frame() : CGRect {};
}

} // namespace

Value LChartAxis::longestLabel()
{
    if (!m_chart)
        return {};
    auto label = m_chart->longestLabelStringOnAxis(*this);
    return label ? Value(*label) : Value();
}

CGSize LChartAxis::sizeTickLabels()
{
    CGSize size {};
    Value label = longestLabel();
    auto tick = m_style ? m_style->majorTickStyle() : nullptr;
    if (label.isString() && tick && tick->labelFont())
        size = NSString_Drawing::sizeWithFont(label.string(), tick->labelFont());
    setLargestLabelExtentsForSize(size);
    return size;
}

CGSize LChartAxis::sizeCustomTickLabels(const std::vector<double>& values)
{
    CGSize size {};
    auto tick = m_style ? m_style->majorTickStyle() : nullptr;
    if (tick && tick->labelFont()) {
        for (double value : values) {
            CGSize one = NSString_Drawing::sizeWithFont(stringForId(Value(value)), tick->labelFont());
            size.width = std::max(size.width, one.width);
            size.height = std::max(size.height, one.height);
        }
    }
    setLargestLabelExtentsForSize(size);
    return size;
}

int32_t LChartAxis::tickLabelOrientation() const
{
    return m_style && m_style->majorTickStyle() ? m_style->majorTickStyle()->tickLabelOrientation() : 0;
}

void LChartAxis::setLargestLabelExtentsForSize(CGSize size)
{
    float w = static_cast<float>(size.width);
    float h = static_cast<float>(size.height);
    int32_t orientation = tickLabelOrientation();
    if (orientation == 2) {
        m_largestLabelWidth = h;
        m_largestLabelHeight = w;
    } else if (orientation == 1) {
        float a = (w + h) * kDiagonal;
        float c = std::min(w, h) * kDiagonal;
        m_largestLabelWidth = isXAxis() ? c : a;
        m_largestLabelHeight = isXAxis() ? a : c;
    } else {
        m_largestLabelWidth = w;
        m_largestLabelHeight = h;
    }
}

bool LChartAxis::spaceForLabelsWithLabelSizeScalers(int32_t n, CGPoint scalers)
{
    if (n < 0)
        return false;
    double z = zoomingIn(m_previousMajorTickFrequency) ? static_cast<double>(1.3f) : 1.0;
    CGRect frame = glFrame(m_chart);
    if (isXAxis())
        return n * m_largestLabelWidth * scalers.x * z <= frame.size.width;
    return n * m_largestLabelHeight * scalers.y * z <= frame.size.height;
}

double LChartAxis::getPixelforTick(double value) const
{
    if (!m_axisRangeInternal)
        return 0;
    CGRect frame = glFrame(m_chart);
    double min = m_axisRangeInternal->min();
    double max = m_axisRangeInternal->max();
    double span = max - min;
    float lineWidth = m_style && m_style->majorTickStyle() ? m_style->majorTickStyle()->lineWidth().floatValue() : 0;
    if (isXAxis())
        return std::ceil(static_cast<float>((value - min) / span * frame.size.width + lineWidth * 0.5));
    return std::ceil(static_cast<float>((max - value) / span * frame.size.height - lineWidth * 0.5));
}

bool LChartAxis::firstTickInsideChart(double value) const
{
    double p = getPixelforTick(value);
    bool diagonal = m_style && m_style->majorTickStyle() && m_style->majorTickStyle()->tickLabelOrientation() == 1;
    if (isXAxis()) {
        double q = diagonal ? -kDiagonal * 0.5 * m_largestLabelHeight : -0.5 * m_largestLabelWidth;
        double yAxes = m_chart ? m_chart->spaceRequiredForYAxesNormal() : 0;
        return p + yAxes + q > 0;
    }
    double q = diagonal ? p + kDiagonal * 0.5 * m_largestLabelWidth : p + 0.5 * m_largestLabelHeight;
    double height = m_chart ? m_chart->chartFrame().size.height - m_chart->spaceRequiredForXAxesReverse() : 0;
    return q <= height;
}

Value LChartAxis::appropriateFormat(const Value& value) const
{
    return m_labelFormatter ? m_labelFormatter->stringForObjectValueOnAxis(value, this) : Value();
}

void LChartAxis::updateInternalTickFrequencies(CGSize*)
{
    assertIsGenericAxis();
}

Value LChartAxis::firstMajorTick()
{
    assertIsGenericAxis();
}

Value LChartAxis::firstMinorTick()
{
    assertIsGenericAxis();
}

bool LChartAxis::isOverAlternate(double) const
{
    assertIsGenericAxis();
}

bool LChartAxis::zoomingIn(const Value&) const
{
    assertIsGenericAxis();
}

double LChartAxis::incrementTickMarkValueIsMajor(double, bool) const
{
    assertIsGenericAxis();
}

double LChartAxis::decrementTickMarkValueIsMajor(double, bool) const
{
    assertIsGenericAxis();
}

std::string LChartAxis::stringForValue(double)
{
    assertIsGenericAxis();
}

std::string LChartAxis::stringForId(const Value&)
{
    assertIsGenericAxis();
}
