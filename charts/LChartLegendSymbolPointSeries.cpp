#include "charts/LChartLegendSymbolPointSeries.h"

#include "charts/LChartPointSeries.h"
#include "charts/LChartPointSeriesStyle.h"
#include "graphics/UIGraphics.h"

#include <cmath>

VX_REGISTER_CLASS(LChartLegendSymbolPointSeries);

Ref<LChartLegendSymbolPointSeries> LChartLegendSymbolPointSeries::initWithSeries(const LChartPointSeries& series)
{
    return makePointSymbol<LChartLegendSymbolPointSeries>(series);
}

void LChartLegendSymbolPointSeries::takeStyleOf(const LChartPointSeries& series)
{
    m_style = series.style();
}

void LChartLegendSymbolPointSeries::drawRect(CGRect rect)
{
    LChartLegendSymbol::drawRect(rect);
    if (!m_style)
        return;
    CGSize size = bounds().size;
    drawPointMarker(UIGraphicsGetCurrentContext(), size,
        CGPointMake(std::floor(size.width) / 2 + 0.5, std::floor(size.height) / 2 + 0.5), m_style->pointStyle());
}
