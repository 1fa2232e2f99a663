#include "charts/LChartBoxGestureStyle.h"

Ref<LChartBoxGestureStyle> LChartBoxGestureStyle::copy() const
{
    auto other = init();
    other->setBoxLineColor(boxLineColor());
    other->setTrackingLineColor(trackingLineColor());
    other->setBoxLineWidth(boxLineWidth());
    other->setTrackingLineWidth(trackingLineWidth());
    return other;
}
