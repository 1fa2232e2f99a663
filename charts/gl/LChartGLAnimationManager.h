#pragma once

#include "charts/gl/SeriesHandle.h"

class LChartAnimation;

// What the drawing engine needs of a series' animations in one frame.
struct LChartGLAnimationState {
    const LChartAnimation* activeAnimation { nullptr };
    const LChartAnimation* entryAnimation { nullptr };
    const LChartAnimation* exitAnimation { nullptr };
    bool animationEnabled { false };
    bool hidden { false };
};

// Turns a series' animation state into the values the engine draws it with: a hidden series with
// no running animation is not drawn; a running entry or exit animation scales and fades the
// series about the animation's origin; any other running animation only moves the origin.
// Main thread only.
class LChartGLAnimationManager {
public:
    static LChartGL::AnimationValues valuesFor(const LChartGLAnimationState& state);
};
