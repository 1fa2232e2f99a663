#pragma once

#include "charts/LChartInternalDataPoint.h"
#include "foundation/Value.h"

// A marker point at (x, y) in data units, optionally selected and with a bubble area.
inline Ref<LChartInternalDataPoint> markerPoint(double x, double y, bool selected = false, double area = 0)
{
    auto p = LChartInternalDataPoint::init();
    p->setXValue(Value(x));
    p->setYValue(Value(y));
    p->setXCoord(x);
    p->setYCoord(y);
    p->setSelected(selected);
    if (area > 0)
        p->setValues(Value::dictionary({ { Value("Area"), Value(area) } }));
    return p;
}

// A price point at x with its four prices; its y value is the close.
inline Ref<LChartInternalDataPoint> pricePoint(double x, double open, double high, double low, double close)
{
    auto p = LChartInternalDataPoint::init();
    p->setXValue(Value(x));
    p->setYValue(Value(close));
    p->setXCoord(x);
    p->setYCoords(Value::dictionary({ { Value("Open"), Value(open) }, { Value("High"), Value(high) },
        { Value("Low"), Value(low) }, { Value("Close"), Value(close) } }));
    return p;
}
