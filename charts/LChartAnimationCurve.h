#pragma once

#include "foundation/NSObject.h"

// Maps an animation's progress (0 to 1) onto a factor. Curves are stateless; `copy` gives a
// new instance of the same class. Any thread.
class LChartAnimationCurve : public NSObject {
    VX_OBJECT(LChartAnimationCurve, NSObject)
public:
    explicit LChartAnimationCurve(Passkey key)
        : NSObject(key)
    {
    }
    virtual float valueAtTime(float t) const = 0;
    virtual Ref<LChartAnimationCurve> copy() const = 0;

    // The step response of a damped oscillator (damping 0.5, natural frequency 9.6736):
    // 0 at 0, peaking near 1.16 at 0.375 and settling at 1.
    static float evaluateOscillator(float t);
};

#define VX_ANIMATION_CURVE(Name)                                                                                       \
    class Name final : public LChartAnimationCurve {                                                                   \
        VX_OBJECT(Name, LChartAnimationCurve)                                                                          \
    public:                                                                                                            \
        explicit Name(Passkey key)                                                                                     \
            : LChartAnimationCurve(key)                                                                                \
        {                                                                                                              \
        }                                                                                                              \
        static Ref<Name> init() { return make<Name>(); }                                                               \
        float valueAtTime(float t) const override;                                                                     \
        Ref<LChartAnimationCurve> copy() const override { return init(); }                                             \
    };

// t.
VX_ANIMATION_CURVE(LChartLinearAnimationCurve)
// 1 always.
VX_ANIMATION_CURVE(LChartFlatAnimationCurve)
// t⁴.
VX_ANIMATION_CURVE(LChartEaseInAnimationCurve)
// 1 − (1 − t)⁵.
VX_ANIMATION_CURVE(LChartEaseOutAnimationCurve)
// 4t³ up to the middle, then its mirror image.
VX_ANIMATION_CURVE(LChartEaseInOutAnimationCurve)
// The oscillator.
VX_ANIMATION_CURVE(LChartBounceAnimationCurve)
// The oscillator at 0 for the first half, then run at double speed.
VX_ANIMATION_CURVE(LChartDelayBounceAnimationCurve)
// The oscillator at double speed for the first half, then held at its value for 1.
VX_ANIMATION_CURVE(LChartBounceDelayAnimationCurve)
// The delay-bounce curve, never below 0.05 (bars wait at 5 % of their size).
VX_ANIMATION_CURVE(LChartDelayBounceWithMinimumAnimationCurve)

#undef VX_ANIMATION_CURVE
