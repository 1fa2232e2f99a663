#pragma once

#include "charts/LChartLegendSymbol.h"

class LChartColumnSeries;
class LChartColumnSeriesStyle;

// A column series' miniature: the view filled with the style's area colour and framed on three
// sides (the bottom open) with its line.
class LChartLegendSymbolColumnSeries final : public LChartLegendSymbol {
    VX_OBJECT(LChartLegendSymbolColumnSeries, LChartLegendSymbol)
public:
    explicit LChartLegendSymbolColumnSeries(Passkey key)
        : LChartLegendSymbol(key)
    {
    }
    static Ref<LChartLegendSymbolColumnSeries> initWithSeries(const LChartColumnSeries& series);

    const Ref<LChartColumnSeriesStyle>& style() const { return m_style; }
    void drawRect(CGRect rect) override;

private:
    Ref<LChartColumnSeriesStyle> m_style;
};
