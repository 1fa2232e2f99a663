#include "charts/gl/LChartGLAnimationManager.h"

#include "charts/LChartAnimation.h"

LChartGL::AnimationValues LChartGLAnimationManager::valuesFor(const LChartGLAnimationState& state)
{
    const auto* animation = state.activeAnimation;
    bool running = animation && state.animationEnabled
        && animation->timeElapsed().floatValue() < animation->duration().floatValue();
    LChartGL::AnimationValues values;
    if (!running) {
        values.visible = !state.hidden;
        return values;
    }
    values.running = true;
    values.visible = true;
    values.originX = animation->animationOriginX();
    values.originY = animation->animationOriginY();
    if (animation == state.entryAnimation || animation == state.exitAnimation) {
        values.entryExit = true;
        values.xScale = animation->currentXScaleValue();
        values.yScale = animation->currentYScaleValue();
        values.alphaScale = animation->currentAlphaScaleValue();
    }
    return values;
}
