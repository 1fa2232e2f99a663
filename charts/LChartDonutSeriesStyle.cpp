#include "charts/LChartDonutSeriesStyle.h"

#include "charts/LatticeChartLog.h"

void LChartDonutSeriesStyle::initialiseDonutStyle()
{
    setChartEffect(-1);
    m_protrusion = 0;
    m_protrusionSet = false;
}

Ref<LChartDonutSeriesStyle> LChartDonutSeriesStyle::init()
{
    auto style = make<LChartDonutSeriesStyle>();
    style->initialiseDonutStyle();
    return style;
}

Ref<LChartPieSeriesStyle> LChartPieSeriesStyle::init()
{
    auto style = make<LChartPieSeriesStyle>();
    style->initialiseDonutStyle();
    return style;
}

void LChartDonutSeriesStyle::setCrustThickness(const Value& thickness)
{
    if (!thickness.isNil() && thickness.floatValue() < 1) {
        LatticeChartLog::logMessageFromSource("Donut series can't have a crust thickness less than one pixel", this);
        return;
    }
    m_crustThickness = thickness;
}

void LChartDonutSeriesStyle::setProtrusion(float protrusion)
{
    if (protrusion < 0) {
        LatticeChartLog::logMessageFromSource("Donut series can't have a negative protrusion", this);
        return;
    }
    m_protrusion = protrusion;
    m_protrusionSet = true;
}

namespace {

Ref<UIColor> colorAt(const std::vector<Ref<UIColor>>& colors, int32_t index)
{
    if (colors.empty())
        return nullptr;
    return colors[static_cast<uint32_t>(index) % static_cast<uint32_t>(colors.size())];
}

void continueColors(std::vector<Ref<UIColor>>& mine, const std::vector<Ref<UIColor>>& theirs)
{
    for (size_t i = mine.size(); i < theirs.size(); ++i)
        mine.push_back(theirs[i]);
}

} // namespace

Ref<UIColor> LChartDonutSeriesStyle::flavourColorAtIndex(int32_t index) const
{
    return colorAt(flavourColors(), index);
}

Ref<UIColor> LChartDonutSeriesStyle::crustColorAtIndex(int32_t index) const
{
    return colorAt(crustColors(), index);
}

void LChartDonutSeriesStyle::supplementStyleFromStyle(const LChartDonutSeriesStyle& other)
{
    VX_SUPPLEMENT_OBJECT(other, crustThickness, CrustThickness)
    VX_SUPPLEMENT_OBJECT(other, initialRotation, InitialRotation)
    VX_SUPPLEMENT_OBJECT(other, labelFont, LabelFont)
    VX_SUPPLEMENT_OBJECT(other, labelFontColor, LabelFontColor)
    VX_SUPPLEMENT_OBJECT(other, labelBackgroundColor, LabelBackgroundColor)
    continueColors(mutableFlavourColors(), other.flavourColors());
    continueColors(mutableCrustColors(), other.crustColors());
    VX_SUPPLEMENT_FLAGGED(other, showLabels, ShowLabels, Set)
    VX_SUPPLEMENT_FLAGGED(other, showFlavour, ShowFlavour, Set)
    VX_SUPPLEMENT_FLAGGED(other, showCrust, ShowCrust, Set)
}

void LChartOHLCSeriesStyle::supplementStyleFromStyle(const LChartOHLCSeriesStyle& other)
{
    VX_SUPPLEMENT_OBJECT(other, risingColor, RisingColor)
    VX_SUPPLEMENT_OBJECT(other, fallingColor, FallingColor)
    VX_SUPPLEMENT_OBJECT(other, risingColorGradient, RisingColorGradient)
    VX_SUPPLEMENT_OBJECT(other, fallingColorGradient, FallingColorGradient)
    VX_SUPPLEMENT_OBJECT(other, trunkWidth, TrunkWidth)
    VX_SUPPLEMENT_OBJECT(other, armWidth, ArmWidth)
}

void LChartCandlestickSeriesStyle::supplementStyleFromStyle(const LChartCandlestickSeriesStyle& other)
{
    VX_SUPPLEMENT_OBJECT(other, risingColor, RisingColor)
    VX_SUPPLEMENT_OBJECT(other, fallingColor, FallingColor)
    VX_SUPPLEMENT_OBJECT(other, risingColorGradient, RisingColorGradient)
    VX_SUPPLEMENT_OBJECT(other, fallingColorGradient, FallingColorGradient)
    VX_SUPPLEMENT_OBJECT(other, outlineColor, OutlineColor)
    VX_SUPPLEMENT_OBJECT(other, stickColor, StickColor)
    VX_SUPPLEMENT_OBJECT(other, outlineWidth, OutlineWidth)
    VX_SUPPLEMENT_OBJECT(other, stickWidth, StickWidth)
}
