#pragma once

#include "charts/LChartStyleFields.h"
#include "foundation/NSObject.h"
#include "graphics/UIColor.h"

// The box drawn while the user drags out a box zoom. Main thread only.
class LChartBoxGestureStyle final : public NSObject {
    VX_OBJECT(LChartBoxGestureStyle, NSObject)
public:
    explicit LChartBoxGestureStyle(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LChartBoxGestureStyle> init() { return make<LChartBoxGestureStyle>(); }
    Ref<LChartBoxGestureStyle> copy() const;

    VX_STYLE_OBJECT(Ref<UIColor>, boxLineColor, BoxLineColor)
    VX_STYLE_OBJECT(Ref<UIColor>, trackingLineColor, TrackingLineColor)
    VX_STYLE_PLAIN(float, boxLineWidth, BoxLineWidth)
    VX_STYLE_PLAIN(float, trackingLineWidth, TrackingLineWidth)
};
