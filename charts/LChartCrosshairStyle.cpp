#include "charts/LChartCrosshairStyle.h"

Ref<LChartCrosshairStyle> LChartCrosshairStyle::copy() const
{
    auto other = init();
    other->setLineWidth(lineWidth());
    other->setLineColor(lineColor());
    other->setDefaultFont(defaultFont());
    other->setDefaultTextColor(defaultTextColor());
    other->setDefaultLabelBackgroundColor(defaultLabelBackgroundColor());
    other->setDefaultBackgroundColor(defaultBackgroundColor());
    other->setDefaultCornerRadius(defaultCornerRadius());
    other->setDefaultBorderWidth(defaultBorderWidth());
    other->setDefaultBorderColor(defaultBorderColor());
    other->setDefaultKeyValuesPerRow(defaultKeyValuesPerRow());
    return other;
}

void LChartCrosshairStyle::supplementStyleFromStyle(const LChartCrosshairStyle& other)
{
    VX_SUPPLEMENT_OBJECT(other, lineWidth, LineWidth)
    VX_SUPPLEMENT_OBJECT(other, lineColor, LineColor)
    VX_SUPPLEMENT_OBJECT(other, defaultFont, DefaultFont)
    VX_SUPPLEMENT_OBJECT(other, defaultTextColor, DefaultTextColor)
    VX_SUPPLEMENT_OBJECT(other, defaultLabelBackgroundColor, DefaultLabelBackgroundColor)
    VX_SUPPLEMENT_OBJECT(other, defaultBackgroundColor, DefaultBackgroundColor)
    VX_SUPPLEMENT_OBJECT(other, defaultCornerRadius, DefaultCornerRadius)
    VX_SUPPLEMENT_OBJECT(other, defaultBorderWidth, DefaultBorderWidth)
    VX_SUPPLEMENT_OBJECT(other, defaultBorderColor, DefaultBorderColor)
    VX_SUPPLEMENT_OBJECT(other, defaultKeyValuesPerRow, DefaultKeyValuesPerRow)
}
