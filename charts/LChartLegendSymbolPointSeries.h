#pragma once

#include "charts/LChartLegendSymbol.h"

class LChartPointSeries;
class LChartPointSeriesStyle;

// A point series' miniature: one marker of the point style's colour in the middle, no larger
// than half the height.
class LChartLegendSymbolPointSeries : public LChartLegendSymbol {
    VX_OBJECT(LChartLegendSymbolPointSeries, LChartLegendSymbol)
public:
    explicit LChartLegendSymbolPointSeries(Passkey key)
        : LChartLegendSymbol(key)
    {
    }
    static Ref<LChartLegendSymbolPointSeries> initWithSeries(const LChartPointSeries& series);

    const Ref<LChartPointSeriesStyle>& style() const { return m_style; }
    void drawRect(CGRect rect) override;

protected:
    template <typename T> static Ref<T> makePointSymbol(const LChartPointSeries& series)
    {
        auto symbol = makeSymbol<T>();
        symbol->takeStyleOf(series);
        return symbol;
    }

private:
    void takeStyleOf(const LChartPointSeries& series);

    Ref<LChartPointSeriesStyle> m_style;
};
