#pragma once

#include "charts/LChartLegendSymbolDonutSeries.h"

// One slice of a pie series in miniature: the donut slice symbol without a hole.
class LChartLegendSymbolPieSeries final : public LChartLegendSymbolDonutSeries {
    VX_OBJECT(LChartLegendSymbolPieSeries, LChartLegendSymbolDonutSeries)
public:
    explicit LChartLegendSymbolPieSeries(Passkey key)
        : LChartLegendSymbolDonutSeries(key)
    {
    }
    static Ref<LChartLegendSymbolPieSeries> initWithSeriesAndSliceIndex(
        const Ref<LChartDonutSeries>& series, int32_t sliceIndex);

protected:
    CGFloat innerRadiusForHeight(CGFloat) const override { return 0; }
};
