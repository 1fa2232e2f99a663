#pragma once

#include "charts/LChartLegendSymbol.h"

class LChartBandSeries;
class LChartBandSeriesStyle;

// A band series' miniature: the line miniature in the high line's colour over the normal area
// colour.
class LChartLegendSymbolBandSeries final : public LChartLegendSymbol {
    VX_OBJECT(LChartLegendSymbolBandSeries, LChartLegendSymbol)
public:
    explicit LChartLegendSymbolBandSeries(Passkey key)
        : LChartLegendSymbol(key)
    {
    }
    static Ref<LChartLegendSymbolBandSeries> initWithSeries(const LChartBandSeries& series);

    const Ref<LChartBandSeriesStyle>& style() const { return m_style; }
    void drawRect(CGRect rect) override;

private:
    Ref<LChartBandSeriesStyle> m_style;
};
