#include "charts/LChartMultiYDataPoint.h"

#include "charts/LChartInternalDataPoint.h"
#include "foundation/NSString.h"

namespace {

// The mean of the keyed values, or nil without any.
Value meanOfValues(const Value& values)
{
    if (!values.isDictionary() || values.count() == 0)
        return {};
    double sum = 0;
    for (const auto& entry : values.entries())
        sum += entry.second.doubleValue();
    return Value(sum / static_cast<double>(values.count()));
}

} // namespace

Ref<LChartMultiYDataPoint> LChartMultiYDataPoint::init()
{
    return make<LChartMultiYDataPoint>();
}

Value LChartMultiYDataPoint::sChartYValue()
{
    if (m_yValue.isNil())
        m_yValue = meanOfValues(m_inner->values());
    return m_yValue;
}

void LChartMultiYDataPoint::initialiseFromInternal(
    const LChartInternalDataPoint& internal, const LChartAxis* xAxis, const LChartAxis* yAxis)
{
    LChartDataPoint::initialiseFromInternal(internal, xAxis, yAxis);
    m_inner = LChartMultiValueDataPoint::initWithValuesTransformUsingAxis(internal.yValues(), yAxis);
}

Ref<LChartMultiXDataPoint> LChartMultiXDataPoint::init()
{
    return make<LChartMultiXDataPoint>();
}

Value LChartMultiXDataPoint::sChartXValue()
{
    if (m_xValue.isNil())
        m_xValue = meanOfValues(m_inner->values());
    return m_xValue;
}

Value LChartMultiXDataPoint::sChartXValueForKey(const std::string& key)
{
    const Value& values = m_inner->values();
    return values.isDictionary() ? values[key] : Value();
}

void LChartMultiXDataPoint::initialiseFromInternal(
    const LChartInternalDataPoint& internal, const LChartAxis* xAxis, const LChartAxis* yAxis)
{
    LChartDataPoint::initialiseFromInternal(internal, xAxis, yAxis);
    m_inner = LChartMultiValueDataPoint::initWithValuesTransformUsingAxis(internal.xValues(), xAxis);
}

Ref<LChartRadialDataPoint> LChartRadialDataPoint::init()
{
    return make<LChartRadialDataPoint>();
}

Ref<LChartRadialDataPoint> LChartRadialDataPoint::initWithInternal(const LChartInternalDataPoint& internal)
{
    auto point = init();
    point->m_xValue = internal.xValue();
    point->m_yValue = internal.yValue();
    point->setSelected(internal.selected());
    point->setSChartDataPointIndex(internal.sChartDataPointIndex());
    return point;
}

std::string LChartRadialDataPoint::description() const
{
    return NSString::stringWithFormat("{ x=%@, y=%@, self.selected=%c }", m_xValue, m_yValue, selected() ? 'Y' : 'N');
}
