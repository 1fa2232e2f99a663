#include "charts/LChartLegendStyle.h"

#include "charts/LatticeChartLog.h"

void LChartLegendStyle::setMarginWidth(const Value& margin)
{
    if (!margin.isNil() && margin.floatValue() < 0) {
        LatticeChartLog::logMessageFromSource("Legend can't have a margin width less than zero", this);
        return;
    }
    m_marginWidth = margin;
}

Ref<LChartLegendStyle> LChartLegendStyle::copy() const
{
    auto other = init();
    other->setFont(font());
    other->setFontColor(fontColor());
    other->setTextAlignment(m_textAlignment);
    other->setTitleFont(titleFont());
    other->setTitleFontColor(titleFontColor());
    other->setMarginWidth(m_marginWidth);
    other->setBorderColor(borderColor());
    other->setBorderWidth(borderWidth());
    other->setCornerRadius(cornerRadius());
    other->setSymbolCornerRadius(symbolCornerRadius());
    other->setShowSymbols(m_showSymbols);
    other->setSymbolAlignment(m_symbolAlignment);
    other->setOrientation(m_orientation);
    other->setAreaColor(areaColor());
    other->setHorizontalPadding(horizontalPadding());
    other->setVerticalPadding(verticalPadding());
    return other;
}

void LChartLegendStyle::supplementStyleFromStyle(const LChartLegendStyle& other)
{
    VX_SUPPLEMENT_OBJECT(other, font, Font)
    VX_SUPPLEMENT_OBJECT(other, fontColor, FontColor)
    VX_SUPPLEMENT_OBJECT(other, titleFont, TitleFont)
    VX_SUPPLEMENT_OBJECT(other, titleFontColor, TitleFontColor)
    VX_SUPPLEMENT_OBJECT(other, marginWidth, MarginWidth)
    VX_SUPPLEMENT_OBJECT(other, borderColor, BorderColor)
    VX_SUPPLEMENT_OBJECT(other, borderWidth, BorderWidth)
    VX_SUPPLEMENT_OBJECT(other, cornerRadius, CornerRadius)
    VX_SUPPLEMENT_OBJECT(other, symbolCornerRadius, SymbolCornerRadius)
    VX_SUPPLEMENT_OBJECT(other, areaColor, AreaColor)
    VX_SUPPLEMENT_OBJECT(other, horizontalPadding, HorizontalPadding)
    VX_SUPPLEMENT_OBJECT(other, verticalPadding, VerticalPadding)
    if (!m_textAlignmentSet)
        m_textAlignment = other.m_textAlignment;
    if (!m_showSymbolsSet)
        m_showSymbols = other.m_showSymbols;
    if (!m_symbolAlignmentSet)
        m_symbolAlignment = other.m_symbolAlignment;
    if (!m_orientationSet)
        m_orientation = other.m_orientation;
}
