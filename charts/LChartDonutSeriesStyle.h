#pragma once

#include "charts/LChartSeriesStyle.h"

#include <vector>

// Donut and pie series: slice fills (flavours) and outlines (crusts) used in turn by slice
// index, labels, shading effect and protrusion. Its supplement does not run the base class's.
class LChartDonutSeriesStyle : public LChartSeriesStyle {
    VX_OBJECT(LChartDonutSeriesStyle, LChartSeriesStyle)
public:
    explicit LChartDonutSeriesStyle(Passkey key)
        : LChartSeriesStyle(key)
    {
    }
    static Ref<LChartDonutSeriesStyle> init();
    // Own values first; longer colour lists of the other style continue this one's.
    void supplementStyleFromStyle(const LChartDonutSeriesStyle& other);

    VX_STYLE_FLAGGED(bool, showFlavour, ShowFlavour, Set)
    VX_STYLE_FLAGGED(bool, showCrust, ShowCrust, Set)
    VX_STYLE_FLAGGED(bool, showLabels, ShowLabels, Set)
    VX_STYLE_PLAIN(int32_t, chartEffect, ChartEffect)
    VX_STYLE_OBJECT(std::vector<Ref<UIColor>>, crustColors, CrustColors)
    VX_STYLE_OBJECT(std::vector<Ref<UIColor>>, flavourColors, FlavourColors)
    VX_STYLE_OBJECT(Value, initialRotation, InitialRotation)
    VX_STYLE_OBJECT(Ref<UIFont>, labelFont, LabelFont)
    VX_STYLE_OBJECT(Ref<UIColor>, labelFontColor, LabelFontColor)
    VX_STYLE_OBJECT(Ref<UIColor>, labelBackgroundColor, LabelBackgroundColor)

public:
    std::vector<Ref<UIColor>>& mutableFlavourColors() { return m_flavourColors; }
    std::vector<Ref<UIColor>>& mutableCrustColors() { return m_crustColors; }
    const Value& crustThickness() const { return m_crustThickness; }
    // Below 1 is logged and refused.
    void setCrustThickness(const Value& thickness);
    float protrusion() const { return m_protrusion; }
    // Negative values are logged and refused; others raise protrusionSet.
    void setProtrusion(float protrusion);
    bool protrusionSet() const { return m_protrusionSet; }
    void setProtrusionSet(bool set) { m_protrusionSet = set; }

    // The colour at index mod count (unsigned); null for an empty list.
    Ref<UIColor> flavourColorAtIndex(int32_t index) const;
    Ref<UIColor> crustColorAtIndex(int32_t index) const;

protected:
    void initialiseDonutStyle();

private:
    Value m_crustThickness;
    float m_protrusion { 0 };
    bool m_protrusionSet { false };
};

class LChartPieSeriesStyle final : public LChartDonutSeriesStyle {
    VX_OBJECT(LChartPieSeriesStyle, LChartDonutSeriesStyle)
public:
    using LChartDonutSeriesStyle::LChartDonutSeriesStyle;
    static Ref<LChartPieSeriesStyle> init();
};

// OHLC series: rising and falling colours, trunk and arm widths. No base supplement.
class LChartOHLCSeriesStyle : public LChartSeriesStyle {
    VX_OBJECT(LChartOHLCSeriesStyle, LChartSeriesStyle)
public:
    explicit LChartOHLCSeriesStyle(Passkey key)
        : LChartSeriesStyle(key)
    {
    }
    static Ref<LChartOHLCSeriesStyle> init() { return make<LChartOHLCSeriesStyle>(); }
    void supplementStyleFromStyle(const LChartOHLCSeriesStyle& other);

    VX_STYLE_OBJECT(Ref<UIColor>, risingColor, RisingColor)
    VX_STYLE_OBJECT(Ref<UIColor>, fallingColor, FallingColor)
    VX_STYLE_OBJECT(Ref<UIColor>, risingColorGradient, RisingColorGradient)
    VX_STYLE_OBJECT(Ref<UIColor>, fallingColorGradient, FallingColorGradient)
    VX_STYLE_OBJECT(Value, trunkWidth, TrunkWidth)
    VX_STYLE_OBJECT(Value, armWidth, ArmWidth)
};

// Candlesticks: outline and wick on top of the OHLC colours; trunk and arm widths are not
// supplemented.
class LChartCandlestickSeriesStyle final : public LChartOHLCSeriesStyle {
    VX_OBJECT(LChartCandlestickSeriesStyle, LChartOHLCSeriesStyle)
public:
    using LChartOHLCSeriesStyle::LChartOHLCSeriesStyle;
    static Ref<LChartCandlestickSeriesStyle> init() { return make<LChartCandlestickSeriesStyle>(); }
    void supplementStyleFromStyle(const LChartCandlestickSeriesStyle& other);

    VX_STYLE_OBJECT(Ref<UIColor>, outlineColor, OutlineColor)
    VX_STYLE_OBJECT(Ref<UIColor>, stickColor, StickColor)
    VX_STYLE_OBJECT(Value, outlineWidth, OutlineWidth)
    VX_STYLE_OBJECT(Value, stickWidth, StickWidth)
};
