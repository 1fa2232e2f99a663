#include "charts/LChartDataPoint.h"

#include "charts/LChartAxis.h"
#include "charts/LChartInternalDataPoint.h"
#include "foundation/NSString.h"

Ref<LChartDataPoint> LChartDataPoint::init()
{
    return make<LChartDataPoint>();
}

Ref<LChartDataPoint> LChartDataPoint::initWithInternalWithXAxisAndYAxis(
    const LChartInternalDataPoint& internal, const LChartAxis* xAxis, const LChartAxis* yAxis)
{
    auto point = init();
    point->initialiseFromInternal(internal, xAxis, yAxis);
    return point;
}

void LChartDataPoint::initialiseFromInternal(
    const LChartInternalDataPoint& internal, const LChartAxis* xAxis, const LChartAxis* yAxis)
{
    Value x = internal.xValue();
    Value y = internal.yValue();
    m_xValue = xAxis ? xAxis->transformValueToExternal(x) : Value();
    m_yValue = yAxis ? yAxis->transformValueToExternal(y) : Value();
    m_selected = internal.selected();
    m_index = internal.sChartDataPointIndex();
}

std::string LChartDataPoint::description() const
{
    return NSString::stringWithFormat("{ index=%lu, x=%@, y=%@, selected=%c }", static_cast<unsigned long>(m_index),
        m_xValue, m_yValue, m_selected ? 'Y' : 'N');
}
