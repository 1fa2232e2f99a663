#include "charts/LChartMajorGridlineStyle.h"

void LChartMajorGridlineStyle::setDashStyle(const Value& pattern)
{
    m_dashStyle = pattern.isNil() ? Value::array({ Value(10.0f), Value(10.0f) }) : pattern;
}

Ref<LChartMajorGridlineStyle> LChartMajorGridlineStyle::copy() const
{
    auto other = init();
    other->setShowMajorGridLines(m_showMajorGridLines);
    other->setDashedMajorGridLines(m_dashedMajorGridLines);
    other->setLineColor(m_lineColor);
    other->setLineWidth(m_lineWidth);
    other->setDashStyle(m_dashStyle);
    return other;
}

void LChartMajorGridlineStyle::supplementStyleFromStyle(const LChartMajorGridlineStyle& other)
{
    VX_SUPPLEMENT_FLAGGED(other, showMajorGridLines, ShowMajorGridLines, Set)
    VX_SUPPLEMENT_FLAGGED(other, dashedMajorGridLines, DashedMajorGridLines, Set)
    VX_SUPPLEMENT_OBJECT(other, lineColor, LineColor)
    VX_SUPPLEMENT_OBJECT(other, lineWidth, LineWidth)
    VX_SUPPLEMENT_OBJECT(other, dashStyle, DashStyle)
}
