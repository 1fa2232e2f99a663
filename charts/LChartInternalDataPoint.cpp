#include "charts/LChartInternalDataPoint.h"

#include "charts/LChartMultiYDataPoint.h"
#include "charts/LatticeChartLog.h"
#include "foundation/NSString.h"
#include "graphics/UIImage.h"

Ref<LChartInternalDataPoint> LChartInternalDataPoint::init()
{
    return make<LChartInternalDataPoint>();
}

const Value& LChartInternalDataPoint::lazy(Value& dictionary)
{
    if (!dictionary.isDictionary())
        dictionary = Value::mutableDictionary();
    return dictionary;
}

void LChartInternalDataPoint::storeValue(Value& member, const Value& value, const char* which)
{
    if (member.isIdenticalTo(value))
        return;
    if (value.isNil()) {
        LatticeChartLog::fatalLogMessageFromSource(
            NSString::stringWithFormat(
                "LChartDataPoint: %s Object cannot be nil, and must be an object that responds to "
                "the selector 'description'",
                which),
            this);
    }
    member = value.isDate() ? Value(value.dateValue()) : value;
}

void LChartInternalDataPoint::setXValue(const Value& value)
{
    storeValue(m_xValue, value, "X");
}

void LChartInternalDataPoint::setYValue(const Value& value)
{
    storeValue(m_yValue, value, "Y");
}

int LChartInternalDataPoint::compareXAsNumber(const LChartInternalDataPoint& other) const
{
    return compareValues(m_xValue, other.m_xValue);
}

int LChartInternalDataPoint::compareYAsNumber(const LChartInternalDataPoint& other) const
{
    return compareValues(m_yValue, other.m_yValue);
}

std::string LChartInternalDataPoint::description() const
{
    return NSString::stringWithFormat("{ x=%@, y=%@, selected=%c }", m_xValue, m_yValue, selected() ? 'Y' : 'N');
}

Ref<LChartDataPoint> LChartInternalDataPoint::getExternalDatapointFromInternalWithXAxisAndYAxis(
    const LChartInternalDataPoint& internal, const LChartAxis* xAxis, const LChartAxis* yAxis)
{
    Ref<LChartDataPoint> point;
    if (internal.xValues().count() > 0)
        point = LChartMultiXDataPoint::init();
    else if (internal.yValues().count() > 0)
        point = LChartMultiYDataPoint::init();
    else if (internal.values().count() > 0)
        point = LChartBubbleDataPoint::init();
    else
        point = LChartDataPoint::init();
    point->initialiseFromInternal(internal, xAxis, yAxis);
    return point;
}
