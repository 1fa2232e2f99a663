#pragma once

#include "charts/LChartRange.h"

// Containment and fitting of ranges, for panning and zooming within limits.
class LChartRangeUtils {
public:
    LChartRangeUtils() = delete;

    // True when `outer` covers `inner` (ends may coincide).
    static bool rangeContainsOtherRange(const LChartRange& outer, const LChartRange& inner);
    // Moves `range` into `limits`, keeping its width where the limits allow. Always a plain
    // LChartRange; a range already inside keeps its own two values.
    static Ref<LChartRange> adjustRangeToFitRange(const LChartRange& range, const LChartRange& limits);
};
