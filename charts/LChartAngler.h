#pragma once

#include "graphics/CGGeometry.h"

// Angle helpers for radial series and the rotation gesture. Angles are float radians.
class LChartAngler {
public:
    LChartAngler() = delete;

    // Adds whole turns while the angle is below `low`, then subtracts them while it is above
    // `high`. The two loops run once each, in that order, so a window narrower than a turn can
    // leave a large angle below `low`.
    static float wrapAngleBetweenAnd(float angle, float low, float high);
    // Into 0..2π.
    static float wrap2PI(float angle);
    // Into −π..π (a whole turn wide).
    static float wrapHalfPI(float angle);
    // The direction from `second` to `first`, in −π..π.
    static float angleBetweenPointAndPoint(CGPoint first, CGPoint second);
};
