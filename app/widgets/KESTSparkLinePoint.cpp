#include "app/widgets/KESTSparkLinePoint.h"

VX_REGISTER_CLASS(KESTSparkLinePoint);

Ref<KESTSparkLinePoint> KESTSparkLinePoint::initWithValue(float value)
{
    auto point = makeView<KESTSparkLinePoint>(CGRectZero);
    point->m_value = value;
    return point;
}
