#include "charts/LChartTitleStyle.h"

Ref<LChartTitleStyle> LChartTitleStyle::copy() const
{
    auto other = makeEmpty();
    copyInto(*other);
    return other;
}

void LChartTitleStyle::copyInto(LChartTitleStyle& other) const
{
    other.setTextColor(m_textColor);
    other.setFont(m_font);
    other.setMinimumFontSize(m_minimumFontSize);
    other.setTextAlign(m_textAlign);
    other.setBackgroundColor(m_backgroundColor);
    other.setPosition(m_position);
}

void LChartAxisTitleStyle::copyInto(LChartTitleStyle& other) const
{
    LChartTitleStyle::copyInto(other);
    static_cast<LChartAxisTitleStyle&>(other).setTitleOrientation(m_titleOrientation);
}

void LChartAxisTitleStyle::supplementStyleFromStyle(const LChartAxisTitleStyle& other)
{
    if (!backgroundColor())
        setBackgroundColor(other.backgroundColor());
    if (!font())
        setFont(other.font());
    if (!textColor())
        setTextColor(other.textColor());
    if (minimumFontSize() == 0.0f)
        setMinimumFontSize(other.minimumFontSize());
    if (textAlign() == 0)
        setTextAlign(other.textAlign());
    if (m_titleOrientation == 0)
        setTitleOrientation(other.titleOrientation());
    if (position() == 0)
        setPosition(other.position());
}

void LChartMainTitleStyle::copyInto(LChartTitleStyle& other) const
{
    LChartTitleStyle::copyInto(other);
    auto& main = static_cast<LChartMainTitleStyle&>(other);
    main.setOverlapChartTitle(m_overlapChartTitle);
    main.setTitleCentresOn(m_titleCentresOn);
}
