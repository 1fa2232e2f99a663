#pragma once

#include "charts/LChartStyleFields.h"
#include "foundation/NSObject.h"
#include "graphics/UIColor.h"

// Stripes of alternating colour between major ticks. Main thread only.
class LChartGridStripeStyle final : public NSObject {
    VX_OBJECT(LChartGridStripeStyle, NSObject)
public:
    explicit LChartGridStripeStyle(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LChartGridStripeStyle> init() { return make<LChartGridStripeStyle>(); }
    // The copy's flag is down.
    Ref<LChartGridStripeStyle> copy() const;
    void supplementStyleFromStyle(const LChartGridStripeStyle& other);

    VX_STYLE_FLAGGED(bool, showGridStripes, ShowGridStripes, Set)
    VX_STYLE_OBJECT(Ref<UIColor>, stripeColor, StripeColor)
    VX_STYLE_OBJECT(Ref<UIColor>, alternateStripeColor, AlternateStripeColor)
};
