#pragma once

#include "charts/LChartLegendSymbol.h"

// A plain block: the area filled with one colour and framed one point wide with another;
// either colour may be null, and then that part is not drawn.
class LChartLegendSymbolBlock : public LChartLegendSymbol {
    VX_OBJECT(LChartLegendSymbolBlock, LChartLegendSymbol)
public:
    explicit LChartLegendSymbolBlock(Passkey key)
        : LChartLegendSymbol(key)
    {
    }
    static Ref<LChartLegendSymbolBlock> initWithAreaColorAndOutlineColor(
        const Ref<UIColor>& areaColor, const Ref<UIColor>& outlineColor);

    const Ref<UIColor>& areaColor() const { return m_areaColor; }
    void setAreaColor(const Ref<UIColor>& color) { m_areaColor = color; }
    const Ref<UIColor>& outlineColor() const { return m_outlineColor; }
    void setOutlineColor(const Ref<UIColor>& color) { m_outlineColor = color; }
    void drawRect(CGRect rect) override;

protected:
    template <typename T> static Ref<T> makeBlock(const Ref<UIColor>& areaColor, const Ref<UIColor>& outlineColor)
    {
        auto symbol = makeSymbol<T>();
        symbol->setAreaColor(areaColor);
        symbol->setOutlineColor(outlineColor);
        return symbol;
    }
    // The one-point frame inset by half a point, in the outline colour.
    void strokeOutline(const CGContextRef& context, CGRect rect) const;

private:
    Ref<UIColor> m_areaColor;
    Ref<UIColor> m_outlineColor;
};
