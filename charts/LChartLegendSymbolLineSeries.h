#pragma once

#include "charts/LChartLegendSymbol.h"

class LChartLineSeries;
class LChartLineSeriesStyle;

// A line series' miniature: its line through the middle, no wider than two thirds of the
// height, the fill below it when the style shows one, and a marker when it shows points.
class LChartLegendSymbolLineSeries final : public LChartLegendSymbol {
    VX_OBJECT(LChartLegendSymbolLineSeries, LChartLegendSymbol)
public:
    explicit LChartLegendSymbolLineSeries(Passkey key)
        : LChartLegendSymbol(key)
    {
    }
    static Ref<LChartLegendSymbolLineSeries> initWithSeries(const LChartLineSeries& series);

    const Ref<LChartLineSeriesStyle>& style() const { return m_style; }
    void drawRect(CGRect rect) override;

private:
    Ref<LChartLineSeriesStyle> m_style;
};
