#include "charts/LChartStyle.h"

Ref<LChartStyle> LChartStyle::copy() const
{
    auto other = init();
    other->setBackgroundColor(m_backgroundColor);
    other->setBackgroundColorGradient(m_backgroundColorGradient);
    other->setBorderColor(m_borderColor);
    other->setBorderWidth(m_borderWidth);
    other->setPlotAreaBackgroundColor(m_plotAreaBackgroundColor);
    other->setPlotAreaBorderColor(m_plotAreaBorderColor);
    other->setPlotAreaBorderWidth(m_plotAreaBorderWidth);
    other->setCanvasBackgroundColor(m_canvasBackgroundColor);
    other->setLoadingDataIndicatorColor(m_loadingDataIndicatorColor);
    return other;
}
