#pragma once

#include "charts/LChartStyleFields.h"
#include "foundation/NSObject.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"

// Tick lines and their labels. A new style has a gap of 5 between tick and label and
// horizontal labels (orientation 0, flag down). Main thread only.
class LChartTickStyle final : public NSObject {
    VX_OBJECT(LChartTickStyle, NSObject)
public:
    explicit LChartTickStyle(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LChartTickStyle> init();
    // Flags of a copy are down.
    Ref<LChartTickStyle> copy() const;
    void supplementStyleFromStyle(const LChartTickStyle& other);

    VX_STYLE_FLAGGED(bool, showTicks, ShowTicks, Set)
    VX_STYLE_FLAGGED(bool, showLabels, ShowLabels, Set)
    VX_STYLE_OBJECT(Ref<UIColor>, lineColor, LineColor)
    VX_STYLE_OBJECT(Value, lineWidth, LineWidth)
    VX_STYLE_OBJECT(Value, lineLength, LineLength)
    VX_STYLE_OBJECT(Ref<UIColor>, labelColor, LabelColor)
    VX_STYLE_OBJECT(Ref<UIFont>, labelFont, LabelFont)
    VX_STYLE_OBJECT(Ref<UIColor>, labelTextShadowColor, LabelTextShadowColor)
    VX_STYLE_OBJECT(Value, tickGap, TickGap)
    // 0 horizontal, 1 diagonal, 2 vertical.
    VX_STYLE_FLAGGED(int32_t, tickLabelOrientation, TickLabelOrientation, Set)
};
