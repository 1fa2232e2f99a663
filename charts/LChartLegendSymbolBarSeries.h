#pragma once

#include "charts/LChartLegendSymbol.h"

class LChartBarSeries;
class LChartBarSeriesStyle;

// A bar series' miniature: the view filled with the style's area colour and framed on three
// sides (the left open) with its line.
class LChartLegendSymbolBarSeries final : public LChartLegendSymbol {
    VX_OBJECT(LChartLegendSymbolBarSeries, LChartLegendSymbol)
public:
    explicit LChartLegendSymbolBarSeries(Passkey key)
        : LChartLegendSymbol(key)
    {
    }
    static Ref<LChartLegendSymbolBarSeries> initWithSeries(const LChartBarSeries& series);

    const Ref<LChartBarSeriesStyle>& style() const { return m_style; }
    void drawRect(CGRect rect) override;

private:
    Ref<LChartBarSeriesStyle> m_style;
};
