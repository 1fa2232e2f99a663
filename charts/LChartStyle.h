#pragma once

#include "charts/LChartStyleFields.h"
#include "foundation/NSObject.h"
#include "graphics/UIColor.h"

// The chart-wide look: backgrounds, borders and the loading indicator. Every field starts
// unset. Main thread only.
class LChartStyle final : public NSObject {
    VX_OBJECT(LChartStyle, NSObject)
public:
    explicit LChartStyle(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LChartStyle> init() { return make<LChartStyle>(); }
    Ref<LChartStyle> copy() const;

    VX_STYLE_OBJECT(Ref<UIColor>, backgroundColor, BackgroundColor)
    VX_STYLE_OBJECT(Ref<UIColor>, backgroundColorGradient, BackgroundColorGradient)
    VX_STYLE_OBJECT(Ref<UIColor>, borderColor, BorderColor)
    VX_STYLE_OBJECT(Value, borderWidth, BorderWidth)
    VX_STYLE_OBJECT(Ref<UIColor>, plotAreaBackgroundColor, PlotAreaBackgroundColor)
    VX_STYLE_OBJECT(Ref<UIColor>, plotAreaBorderColor, PlotAreaBorderColor)
    VX_STYLE_OBJECT(Value, plotAreaBorderWidth, PlotAreaBorderWidth)
    VX_STYLE_OBJECT(Ref<UIColor>, canvasBackgroundColor, CanvasBackgroundColor)
    VX_STYLE_OBJECT(Ref<UIColor>, loadingDataIndicatorColor, LoadingDataIndicatorColor)
};
