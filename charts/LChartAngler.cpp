#include "charts/LChartAngler.h"

#include <cmath>

namespace {
constexpr double kTwoPi = 6.283185307179586;
}

float LChartAngler::wrapAngleBetweenAnd(float angle, float low, float high)
{
    while (angle < low)
        angle = static_cast<float>(static_cast<double>(angle) + kTwoPi);
    while (angle > high)
        angle = static_cast<float>(static_cast<double>(angle) - kTwoPi);
    return angle;
}

float LChartAngler::wrap2PI(float angle)
{
    return wrapAngleBetweenAnd(angle, 0.0f, static_cast<float>(kTwoPi));
}

float LChartAngler::wrapHalfPI(float angle)
{
    return wrapAngleBetweenAnd(angle, static_cast<float>(-M_PI), static_cast<float>(M_PI));
}

float LChartAngler::angleBetweenPointAndPoint(CGPoint first, CGPoint second)
{
    return std::atan2(static_cast<float>(first.y - second.y), static_cast<float>(first.x - second.x));
}
