#include "charts/LChartMultiValueDataPoint.h"

#include "charts/LChartAxis.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LatticeChartLog.h"
#include "foundation/NSString.h"

Ref<LChartMultiValueDataPoint> LChartMultiValueDataPoint::init()
{
    return make<LChartMultiValueDataPoint>();
}

Ref<LChartMultiValueDataPoint> LChartMultiValueDataPoint::initWithValuesTransformUsingAxis(
    const Value& values, const LChartAxis* axis)
{
    auto point = init();
    point->m_values = Value();
    point->setValuesTransformUsingAxis(values, axis);
    return point;
}

void LChartMultiValueDataPoint::setValuesTransformUsingAxis(const Value& values, const LChartAxis* axis)
{
    if (!values.isDictionary())
        return;
    Value copy = Value::mutableDictionary();
    for (const auto& [key, value] : values.entries())
        copy.setObjectForKey(axis ? axis->transformValueToExternal(value) : value, key);
    m_values = copy;
}

Value LChartMultiValueDataPoint::sChartValueForKey(const std::string& key)
{
    Value value = m_values.isDictionary() ? m_values[key] : Value();
    if (value.isNil())
        LatticeChartLog::logMessageFromSource(NSString::stringWithFormat("Value for key: %@ is nil", key), this);
    return value;
}

void LChartMultiValueDataPoint::initialiseFromInternal(
    const LChartInternalDataPoint& internal, const LChartAxis* xAxis, const LChartAxis* yAxis)
{
    LChartDataPoint::initialiseFromInternal(internal, xAxis, yAxis);
    setValuesTransformUsingAxis(internal.values(), nullptr);
}

Ref<LChartBubbleDataPoint> LChartBubbleDataPoint::init()
{
    return make<LChartBubbleDataPoint>();
}

double LChartBubbleDataPoint::area() const
{
    return m_values.isDictionary() ? m_values["Area"].doubleValue() : 0;
}

void LChartBubbleDataPoint::setArea(double area)
{
    if (!m_values.isDictionary())
        m_values = Value::mutableDictionary();
    m_values.setObjectForKey(Value(area), Value("Area"));
}

void LChartBubbleDataPoint::initialiseFromInternal(
    const LChartInternalDataPoint& internal, const LChartAxis* xAxis, const LChartAxis* yAxis)
{
    LChartMultiValueDataPoint::initialiseFromInternal(internal, xAxis, yAxis);
    setArea(internal.values()["Area"].doubleValue());
}
