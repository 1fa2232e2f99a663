#pragma once

#include "charts/LChartAnimationCurve.h"
#include "foundation/Value.h"

class LChartAnimation;
class LChartRange;

// What an animation needs of the series it animates; the series implements it.
class LChartAnimatedSeries {
public:
    virtual ~LChartAnimatedSeries() = default;
    // Told once, when the animation runs past its duration.
    virtual void sendAnimationDidFinishCallback(LChartAnimation& animation) = 0;
    // Bars and columns grow from their baseline and wait at 5 % of their size.
    virtual bool isBarColumnSeries() const { return false; }
    virtual int32_t orientation() const { return 0; }
    virtual Value baseline() const { return {}; }
    // The range the series covers on its x (or y) axis; null for series without axes.
    virtual Ref<LChartRange> visibleRangeOnXAxis() const { return nullptr; }
    virtual Ref<LChartRange> visibleRangeOnYAxis() const { return nullptr; }
};

// One animation of a series: its duration and progress, and a curve per animated quantity
// (x scale, y scale, angle, radius, alpha). "Set" flags record the values a user chose, so
// automatic adjustments leave those alone. The series is not owned (it owns the animation).
// Main thread.
class LChartAnimation : public NSObject {
    VX_OBJECT(LChartAnimation, NSObject)
public:
    explicit LChartAnimation(Passkey key)
        : NSObject(key)
    {
    }
    // Flat curves, duration 1/60 s, origin (0.5, 0.5), active.
    static Ref<LChartAnimation> init();

    // Presets: 2.4 s, every "Set" flag down.
    static Ref<LChartAnimation> growAnimation();
    static Ref<LChartAnimation> growHorizontalAnimation();
    static Ref<LChartAnimation> growVerticalAnimation();
    static Ref<LChartAnimation> fadeAnimation();
    static Ref<LChartAnimation> televisionAnimation();
    static Ref<LChartAnimation> televisionAnimationInverted();
    static Ref<LChartAnimation> linearTransition();
    static Ref<LChartAnimation> radialSelection();

    // Duration, curve classes and origins; flags down, elapsed 0, no series.
    Ref<LChartAnimation> copy() const;

    const Ref<LChartAnimationCurve>& curve() const { return m_curve; }
    // Gives every channel a new curve of the same class.
    void setCurve(const Ref<LChartAnimationCurve>& curve);
    // 0 linear, 1 ease-in, 2 ease-out, 3 ease-in-out, 4 bounce; other codes change nothing.
    LChartAnimation& animationWithCurve(int32_t code);

    const Ref<LChartAnimationCurve>& xScaleCurve() const { return m_xScaleCurve; }
    void setXScaleCurve(const Ref<LChartAnimationCurve>& curve);
    const Ref<LChartAnimationCurve>& yScaleCurve() const { return m_yScaleCurve; }
    void setYScaleCurve(const Ref<LChartAnimationCurve>& curve);
    const Ref<LChartAnimationCurve>& angleCurve() const { return m_angleCurve; }
    void setAngleCurve(const Ref<LChartAnimationCurve>& curve) { m_angleCurve = curve; }
    const Ref<LChartAnimationCurve>& radiusCurve() const { return m_radiusCurve; }
    // Also becomes the x and y scale curves where the user set none.
    void setRadiusCurve(const Ref<LChartAnimationCurve>& curve);
    const Ref<LChartAnimationCurve>& alphaCurve() const { return m_alphaCurve; }
    void setAlphaCurve(const Ref<LChartAnimationCurve>& curve) { m_alphaCurve = curve; }

    const Value& duration() const { return m_duration; }
    void setDuration(const Value& duration) { m_duration = duration; }
    const Value& timeElapsed() const { return m_timeElapsed; }
    // Past the duration: clamps to it and becomes inactive, telling the series once.
    void setTimeElapsed(const Value& elapsed);
    bool reverse() const { return m_reverse; }
    void setReverse(bool reverse) { m_reverse = reverse; }
    bool active() const { return m_active; }

    const Value& absoluteOriginX() const { return m_absoluteOriginX; }
    void setAbsoluteOriginX(const Value& origin);
    const Value& absoluteOriginY() const { return m_absoluteOriginY; }
    void setAbsoluteOriginY(const Value& origin);
    float normalisedOriginX() const { return m_normalisedOriginX; }
    void setNormalisedOriginX(float origin);
    float normalisedOriginY() const { return m_normalisedOriginY; }
    void setNormalisedOriginY(float origin);

    LChartAnimatedSeries* series() const { return m_series; }
    // Adapts bar and column series' animations, then keeps the series (not owned).
    void setSeries(LChartAnimatedSeries* series);

    void clearSetFlags();
    bool absoluteOriginXSet() const { return m_absoluteOriginXSet; }
    bool absoluteOriginYSet() const { return m_absoluteOriginYSet; }
    bool normalisedOriginXSet() const { return m_normalisedOriginXSet; }
    bool normalisedOriginYSet() const { return m_normalisedOriginYSet; }
    bool xCurveSet() const { return m_xCurveSet; }
    bool yCurveSet() const { return m_yCurveSet; }

    float currentXScaleValue() const { return m_xScaleCurve->valueAtTime(progress()); }
    float currentYScaleValue() const { return m_yScaleCurve->valueAtTime(progress()); }
    float currentAngleScaleValue() const { return m_angleCurve->valueAtTime(progress()); }
    float currentRadiusScaleValue() const { return m_radiusCurve->valueAtTime(progress()); }
    float currentAlphaScaleValue() const { return m_alphaCurve->valueAtTime(progress()); }

    double animationOriginX() const;
    double animationOriginY() const;
    static double normalisedValueForRange(double fraction, const LChartRange& range);

private:
    float progress() const;
    static Ref<LChartAnimation> preset();

    bool m_absoluteOriginXSet { false };
    bool m_absoluteOriginYSet { false };
    bool m_normalisedOriginXSet { false };
    bool m_normalisedOriginYSet { false };
    bool m_xCurveSet { false };
    bool m_yCurveSet { false };
    bool m_active { true };
    bool m_reverse { false };
    Ref<LChartAnimationCurve> m_curve;
    Ref<LChartAnimationCurve> m_xScaleCurve;
    Ref<LChartAnimationCurve> m_yScaleCurve;
    Ref<LChartAnimationCurve> m_angleCurve;
    Ref<LChartAnimationCurve> m_radiusCurve;
    Ref<LChartAnimationCurve> m_alphaCurve;
    Value m_duration { 1.0 / 60.0 };
    Value m_absoluteOriginX;
    Value m_absoluteOriginY;
    float m_normalisedOriginX { 0.5f };
    float m_normalisedOriginY { 0.5f };
    Value m_timeElapsed { int32_t(0) };
    LChartAnimatedSeries* m_series { nullptr };
};
