#pragma once

#include "charts/LChartLegendSymbol.h"

class LChartCandlestickSeries;
class LChartCandlestickSeriesStyle;

// A candlestick series' miniature: a body half the height wide, rising colour above falling
// colour, with its wicks and outline.
class LChartLegendSymbolCandlestickSeries final : public LChartLegendSymbol {
    VX_OBJECT(LChartLegendSymbolCandlestickSeries, LChartLegendSymbol)
public:
    explicit LChartLegendSymbolCandlestickSeries(Passkey key)
        : LChartLegendSymbol(key)
    {
    }
    static Ref<LChartLegendSymbolCandlestickSeries> initWithSeries(const LChartCandlestickSeries& series);

    const Ref<LChartCandlestickSeriesStyle>& style() const { return m_style; }
    void drawRect(CGRect rect) override;

private:
    Ref<LChartCandlestickSeriesStyle> m_style;
};
