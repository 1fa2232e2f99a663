#pragma once

#include "charts/LChartStyleFields.h"
#include "foundation/NSObject.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"

// The crosshair lines and the tooltip. No set flags. Main thread only.
class LChartCrosshairStyle final : public NSObject {
    VX_OBJECT(LChartCrosshairStyle, NSObject)
public:
    explicit LChartCrosshairStyle(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LChartCrosshairStyle> init() { return make<LChartCrosshairStyle>(); }
    Ref<LChartCrosshairStyle> copy() const;
    void supplementStyleFromStyle(const LChartCrosshairStyle& other);

    VX_STYLE_OBJECT(Value, lineWidth, LineWidth)
    VX_STYLE_OBJECT(Ref<UIColor>, lineColor, LineColor)
    VX_STYLE_OBJECT(Ref<UIFont>, defaultFont, DefaultFont)
    VX_STYLE_OBJECT(Ref<UIColor>, defaultTextColor, DefaultTextColor)
    VX_STYLE_OBJECT(Ref<UIColor>, defaultLabelBackgroundColor, DefaultLabelBackgroundColor)
    VX_STYLE_OBJECT(Ref<UIColor>, defaultBackgroundColor, DefaultBackgroundColor)
    VX_STYLE_OBJECT(Value, defaultCornerRadius, DefaultCornerRadius)
    VX_STYLE_OBJECT(Value, defaultBorderWidth, DefaultBorderWidth)
    VX_STYLE_OBJECT(Ref<UIColor>, defaultBorderColor, DefaultBorderColor)
    VX_STYLE_OBJECT(Value, defaultKeyValuesPerRow, DefaultKeyValuesPerRow)
};
