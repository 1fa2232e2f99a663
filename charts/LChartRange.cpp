#include "charts/LChartRange.h"

#include "foundation/NSString.h"

Ref<LChartRange> LChartRange::initWithMinimumAndMaximum(const Value& minimum, const Value& maximum)
{
    return make<LChartRange>(minimum, maximum);
}

Ref<LChartRange> LChartRange::rangeWithRange(const Ref<LChartRange>& range)
{
    if (!range)
        return nullptr;
    return range->makeSameKind(range->minimum(), range->maximum());
}

Ref<LChartRange> LChartRange::makeSameKind(const Value& minimum, const Value& maximum) const
{
    return initWithMinimumAndMaximum(minimum, maximum);
}

std::string LChartRange::description() const
{
    return NSString::stringWithFormat("{ %f, %f }", min(), max());
}
