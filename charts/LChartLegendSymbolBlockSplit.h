#pragma once

#include "charts/LChartLegendSymbolBlock.h"

// A block split along its diagonal: the area colour in the upper left triangle, the low colour
// in the lower right one, then the block's outline.
class LChartLegendSymbolBlockSplit final : public LChartLegendSymbolBlock {
    VX_OBJECT(LChartLegendSymbolBlockSplit, LChartLegendSymbolBlock)
public:
    explicit LChartLegendSymbolBlockSplit(Passkey key)
        : LChartLegendSymbolBlock(key)
    {
    }
    static Ref<LChartLegendSymbolBlockSplit> initWithAreaColorAndLowAreaColorAndOutlineColor(
        const Ref<UIColor>& areaColor, const Ref<UIColor>& lowColor, const Ref<UIColor>& outlineColor);

    const Ref<UIColor>& lowColor() const { return m_lowColor; }
    void setLowColor(const Ref<UIColor>& color) { m_lowColor = color; }
    void drawRect(CGRect rect) override;

private:
    Ref<UIColor> m_lowColor;
};
