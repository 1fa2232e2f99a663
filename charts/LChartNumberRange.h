#pragma once

#include "charts/LChartRange.h"

// A range of internal numbers, as axes and series make them.
class LChartNumberRange final : public LChartRange {
    VX_OBJECT(LChartNumberRange, LChartRange)
public:
    LChartNumberRange(Passkey key, Value minimum, Value maximum)
        : LChartRange(key, std::move(minimum), std::move(maximum))
    {
    }
    static Ref<LChartNumberRange> initWithMinimumAndMaximum(const Value& minimum, const Value& maximum)
    {
        return make<LChartNumberRange>(minimum, maximum);
    }

protected:
    Ref<LChartRange> makeSameKind(const Value& minimum, const Value& maximum) const override
    {
        return initWithMinimumAndMaximum(minimum, maximum);
    }
};
