#pragma once

#include "charts/LChartLegendSymbol.h"

class LChartOHLCSeries;
class LChartOHLCSeriesStyle;

// An OHLC series' miniature: a rising bar on the left and a falling bar on the right, each a
// stem with its open and close ticks.
class LChartLegendSymbolOHLCSeries final : public LChartLegendSymbol {
    VX_OBJECT(LChartLegendSymbolOHLCSeries, LChartLegendSymbol)
public:
    explicit LChartLegendSymbolOHLCSeries(Passkey key)
        : LChartLegendSymbol(key)
    {
    }
    static Ref<LChartLegendSymbolOHLCSeries> initWithSeries(const LChartOHLCSeries& series);

    const Ref<LChartOHLCSeriesStyle>& style() const { return m_style; }
    void drawRect(CGRect rect) override;

private:
    Ref<LChartOHLCSeriesStyle> m_style;
};
