#include "charts/LChartRangeUtils.h"

#include <algorithm>

bool LChartRangeUtils::rangeContainsOtherRange(const LChartRange& outer, const LChartRange& inner)
{
    return outer.max() >= inner.max() && outer.min() <= inner.min();
}

Ref<LChartRange> LChartRangeUtils::adjustRangeToFitRange(const LChartRange& range, const LChartRange& limits)
{
    double rangeSpan = range.max() - range.min();
    double limitSpan = limits.max() - limits.min();
    double width = limitSpan < rangeSpan ? limitSpan : rangeSpan;
    double lo = limits.min();
    double hi = limits.max();

    if (range.min() > hi)
        return LChartRange::initWithMinimumAndMaximum(Value(hi - width), Value(hi));
    if (range.max() < lo)
        return LChartRange::initWithMinimumAndMaximum(Value(lo), Value(lo + width));
    if (range.min() < lo)
        return LChartRange::initWithMinimumAndMaximum(Value(lo), Value(std::min(lo + width, hi)));
    if (range.max() > hi)
        return LChartRange::initWithMinimumAndMaximum(Value(std::max(hi - width, lo)), Value(hi));
    return LChartRange::initWithMinimumAndMaximum(range.minimum(), range.maximum());
}
