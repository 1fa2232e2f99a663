#pragma once

#include "charts/LChartAxis.h"

// An axis of plain numbers: internal values are the values themselves.
class LChartNumberAxis : public LChartAxis {
    VX_OBJECT(LChartNumberAxis, LChartAxis)
public:
    explicit LChartNumberAxis(Passkey key)
        : LChartAxis(key)
    {
    }
    static Ref<LChartNumberAxis> init();
    static Ref<LChartNumberAxis> initWithRange(const Ref<LChartRange>& range);

    Ref<LChartRange> getNewRangeWithMinimumWithMaximum(const Value& minimum, const Value& maximum) const override;

protected:
    Ref<LChartAxis> makeEmptyAxis() const override { return init(); }
};
