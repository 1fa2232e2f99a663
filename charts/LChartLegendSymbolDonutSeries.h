#pragma once

#include "charts/LChartLegendSymbol.h"

class LChartDonutSeries;
class LChartDonutSeriesStyle;

// One slice of a donut series in miniature: a quarter-circle ring segment whose centre sits on
// the bottom edge of the view, drawn by the series in its own colours and effect. The symbol
// keeps its series.
class LChartLegendSymbolDonutSeries : public LChartLegendSymbol {
    VX_OBJECT(LChartLegendSymbolDonutSeries, LChartLegendSymbol)
public:
    explicit LChartLegendSymbolDonutSeries(Passkey key)
        : LChartLegendSymbol(key)
    {
    }
    static Ref<LChartLegendSymbolDonutSeries> initWithSeriesAndSliceIndex(
        const Ref<LChartDonutSeries>& series, int32_t sliceIndex);

    const Ref<LChartDonutSeries>& series() const { return m_series; }
    const Ref<LChartDonutSeriesStyle>& style() const { return m_style; }
    void setStyle(const Ref<LChartDonutSeriesStyle>& style) { m_style = style; }
    int32_t sliceIndex() const { return m_sliceIndex; }
    void drawRect(CGRect rect) override;

protected:
    template <typename T> static Ref<T> makeSliceSymbol(const Ref<LChartDonutSeries>& series, int32_t sliceIndex)
    {
        auto symbol = makeSymbol<T>();
        symbol->takeSlice(series, sliceIndex);
        return symbol;
    }
    // The inner radius of the miniature for a symbol of height h.
    virtual CGFloat innerRadiusForHeight(CGFloat h) const { return h / 3; }

private:
    void takeSlice(const Ref<LChartDonutSeries>& series, int32_t sliceIndex);

    Ref<LChartDonutSeries> m_series;
    Ref<LChartDonutSeriesStyle> m_style;
    int32_t m_sliceIndex { 0 };
};
