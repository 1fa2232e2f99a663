#pragma once

#include "charts/LChartStyleFields.h"
#include "foundation/NSObject.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"

// The legend box and its entries. The four scalar flags are raised only by their setters; a
// copy raises all four. Main thread only.
class LChartLegendStyle final : public NSObject {
    VX_OBJECT(LChartLegendStyle, NSObject)
public:
    explicit LChartLegendStyle(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LChartLegendStyle> init() { return make<LChartLegendStyle>(); }
    Ref<LChartLegendStyle> copy() const;
    void supplementStyleFromStyle(const LChartLegendStyle& other);

    VX_STYLE_OBJECT(Ref<UIFont>, font, Font)
    VX_STYLE_OBJECT(Ref<UIColor>, fontColor, FontColor)
    VX_STYLE_OBJECT(Ref<UIFont>, titleFont, TitleFont)
    VX_STYLE_OBJECT(Ref<UIColor>, titleFontColor, TitleFontColor)
    VX_STYLE_OBJECT(Ref<UIColor>, borderColor, BorderColor)
    VX_STYLE_OBJECT(Value, borderWidth, BorderWidth)
    VX_STYLE_OBJECT(Value, cornerRadius, CornerRadius)
    VX_STYLE_OBJECT(Value, symbolCornerRadius, SymbolCornerRadius)
    VX_STYLE_OBJECT(Ref<UIColor>, areaColor, AreaColor)
    VX_STYLE_OBJECT(Value, horizontalPadding, HorizontalPadding)
    VX_STYLE_OBJECT(Value, verticalPadding, VerticalPadding)

public:
    const Value& marginWidth() const { return m_marginWidth; }
    // A negative margin is logged and refused.
    void setMarginWidth(const Value& margin);

    int32_t textAlignment() const { return m_textAlignment; }
    void setTextAlignment(int32_t value)
    {
        m_textAlignment = value;
        m_textAlignmentSet = true;
    }
    bool textAlignmentSet() const { return m_textAlignmentSet; }
    bool showSymbols() const { return m_showSymbols; }
    void setShowSymbols(bool value)
    {
        m_showSymbols = value;
        m_showSymbolsSet = true;
    }
    int32_t symbolAlignment() const { return m_symbolAlignment; }
    void setSymbolAlignment(int32_t value)
    {
        m_symbolAlignment = value;
        m_symbolAlignmentSet = true;
    }
    int32_t orientation() const { return m_orientation; }
    void setOrientation(int32_t value)
    {
        m_orientation = value;
        m_orientationSet = true;
    }

private:
    Value m_marginWidth;
    int32_t m_textAlignment { 0 };
    bool m_textAlignmentSet { false };
    bool m_showSymbols { false };
    bool m_showSymbolsSet { false };
    int32_t m_symbolAlignment { 0 };
    bool m_symbolAlignmentSet { false };
    int32_t m_orientation { 0 };
    bool m_orientationSet { false };
};
