#include "charts/LChartTickStyle.h"

Ref<LChartTickStyle> LChartTickStyle::init()
{
    auto style = make<LChartTickStyle>();
    style->m_tickLabelOrientation = 0;
    style->m_tickGap = Value(5.0f);
    return style;
}

Ref<LChartTickStyle> LChartTickStyle::copy() const
{
    auto other = init();
    other->m_showTicks = m_showTicks;
    other->m_showLabels = m_showLabels;
    other->m_tickLabelOrientation = m_tickLabelOrientation;
    other->setLineWidth(m_lineWidth);
    other->setLineLength(m_lineLength);
    other->setLineColor(m_lineColor);
    other->setLabelColor(m_labelColor);
    other->setLabelFont(m_labelFont);
    other->setLabelTextShadowColor(m_labelTextShadowColor);
    other->setTickGap(m_tickGap);
    return other;
}

void LChartTickStyle::supplementStyleFromStyle(const LChartTickStyle& other)
{
    VX_SUPPLEMENT_FLAGGED(other, showTicks, ShowTicks, Set)
    VX_SUPPLEMENT_FLAGGED(other, showLabels, ShowLabels, Set)
    VX_SUPPLEMENT_FLAGGED(other, tickLabelOrientation, TickLabelOrientation, Set)
    VX_SUPPLEMENT_OBJECT(other, lineColor, LineColor)
    VX_SUPPLEMENT_OBJECT(other, lineWidth, LineWidth)
    VX_SUPPLEMENT_OBJECT(other, lineLength, LineLength)
    VX_SUPPLEMENT_OBJECT(other, labelColor, LabelColor)
    VX_SUPPLEMENT_OBJECT(other, labelFont, LabelFont)
    VX_SUPPLEMENT_OBJECT(other, labelTextShadowColor, LabelTextShadowColor)
    VX_SUPPLEMENT_OBJECT(other, tickGap, TickGap)
}
