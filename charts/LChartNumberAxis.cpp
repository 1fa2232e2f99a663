#include "charts/LChartNumberAxis.h"

#include "charts/LChartNumberRange.h"

Ref<LChartNumberAxis> LChartNumberAxis::init()
{
    auto axis = make<LChartNumberAxis>();
    axis->initialise();
    return axis;
}

Ref<LChartNumberAxis> LChartNumberAxis::initWithRange(const Ref<LChartRange>& range)
{
    auto axis = init();
    if (range)
        axis->setDefaultRange(range);
    return axis;
}

Ref<LChartRange> LChartNumberAxis::getNewRangeWithMinimumWithMaximum(const Value& minimum, const Value& maximum) const
{
    return LChartNumberRange::initWithMinimumAndMaximum(minimum, maximum);
}
