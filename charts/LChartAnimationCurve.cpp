#include "charts/LChartAnimationCurve.h"

#include <cmath>

namespace {

struct OscillatorConstants {
    float s;
    float p;
};

const OscillatorConstants& oscillatorConstants()
{
    static const OscillatorConstants constants { 0.8660254f, 1.0471976f };
    return constants;
}

} // namespace

float LChartAnimationCurve::evaluateOscillator(float t)
{
    const auto& c = oscillatorConstants();
    return std::exp(t * -4.8368f) * (-1.0f / c.s) * std::sin(t * (c.s * 9.6736f) + c.p) + 1.0f;
}

float LChartLinearAnimationCurve::valueAtTime(float t) const
{
    return t;
}

float LChartFlatAnimationCurve::valueAtTime(float) const
{
    return 1.0f;
}

float LChartEaseInAnimationCurve::valueAtTime(float t) const
{
    return (t * t) * (t * t);
}

float LChartEaseOutAnimationCurve::valueAtTime(float t) const
{
    float u = 1.0f - t;
    return 1.0f - u * ((u * u) * (u * u));
}

float LChartEaseInOutAnimationCurve::valueAtTime(float t) const
{
    if (t < 0.5f) {
        float a = t + t;
        return a * (a * a) * 0.5f;
    }
    float b = (t - 0.5f) * -2.0f + 1.0f;
    return (1.0f - b * (b * b)) * 0.5f + 0.5f;
}

float LChartBounceAnimationCurve::valueAtTime(float t) const
{
    return evaluateOscillator(t);
}

float LChartDelayBounceAnimationCurve::valueAtTime(float t) const
{
    if (t < 0.5f)
        return evaluateOscillator(0.0f);
    return evaluateOscillator((t - 0.5f) + (t - 0.5f));
}

float LChartBounceDelayAnimationCurve::valueAtTime(float t) const
{
    if (t <= 0.5f)
        return evaluateOscillator(t + t);
    return evaluateOscillator(1.0f);
}

float LChartDelayBounceWithMinimumAnimationCurve::valueAtTime(float t) const
{
    float v = t < 0.5f ? evaluateOscillator(0.0f) : evaluateOscillator((t - 0.5f) + (t - 0.5f));
    return v < 0.05f ? 0.05f : v;
}
