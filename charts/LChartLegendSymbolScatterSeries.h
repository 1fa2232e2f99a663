#pragma once

#include "charts/LChartLegendSymbolPointSeries.h"

class LChartScatterSeries;

// A scatter series' miniature: the point series' marker.
class LChartLegendSymbolScatterSeries final : public LChartLegendSymbolPointSeries {
    VX_OBJECT(LChartLegendSymbolScatterSeries, LChartLegendSymbolPointSeries)
public:
    explicit LChartLegendSymbolScatterSeries(Passkey key)
        : LChartLegendSymbolPointSeries(key)
    {
    }
    static Ref<LChartLegendSymbolScatterSeries> initWithSeries(const LChartScatterSeries& series);
};
