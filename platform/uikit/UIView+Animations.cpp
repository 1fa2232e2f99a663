// UIView: animation blocks, begin/commit sections, and the changes they animate.
#include "uikit/UIView.h"

#include "foundation/NSRunLoop.h"
#include "foundation/ThreadChecks.h"
#include "graphics/CAAnimation.h"
#include "graphics/CATransaction.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// An open animation block or begin/commit section.
struct AnimationContext {
    double duration { 0.2 };
    double delay { 0 };
    UIViewAnimationCurve curve { UIViewAnimationCurveEaseInOut };
    std::string animationID;
    void* context { nullptr };
    UIView::AnimationDidStop didStop;
    UIView::CompletionBlock completion;
    std::vector<std::pair<Weak<UIView>, std::string>> changes;
    // Animations run elsewhere that joined the block (see joinCurrentAnimation).
    struct Joined {
        std::function<void(bool)> ended; // set when the block commits
        bool done { false };
        bool finished { true };
    };
    std::vector<std::shared_ptr<Joined>> joined;
};

std::vector<std::unique_ptr<AnimationContext>> s_animationStack;
bool s_animationsEnabled = true;
int s_withoutAnimationDepth = 0;

const char* curveName(UIViewAnimationCurve curve)
{
    switch (curve) {
    case UIViewAnimationCurveEaseIn:
        return "easeIn";
    case UIViewAnimationCurveEaseOut:
        return "easeOut";
    case UIViewAnimationCurveLinear:
        return "linear";
    default:
        return "easeInEaseOut";
    }
}

// Runs a block on the next pass of the main run loop, in every common mode.
void runOnNextPass(std::function<void()> block)
{
    NSRunLoop::mainRunLoop()->performInModesBlock({ NSRunLoopCommonModes }, std::move(block));
}

// What ends an animation block: counts the animations it started and calls back once when the
// last one has ended, telling whether all of them ran to their end.
struct AnimationGroup {
    int pending { 0 };
    bool finished { true };
    UIView::CompletionBlock completion;
    UIView::AnimationDidStop didStop;
    std::string animationID;
    void* context { nullptr };

    static void deliver(const std::shared_ptr<AnimationGroup>& group)
    {
        runOnNextPass([group] {
            if (group->completion)
                group->completion(group->finished);
            if (group->didStop)
                group->didStop(group->animationID, group->finished, group->context);
        });
    }
};

void commitContext(std::unique_ptr<AnimationContext> context)
{
    auto group = std::make_shared<AnimationGroup>();
    group->completion = std::move(context->completion);
    group->didStop = std::move(context->didStop);
    group->animationID = context->animationID;
    group->context = context->context;
    // Count first, so an animation interrupted while the others are being added cannot end the
    // group early.
    std::vector<std::pair<Ref<UIView>, std::string>> changes;
    for (auto& [weakView, key] : context->changes) {
        if (auto view = weakView.lock())
            changes.emplace_back(view, key);
    }
    group->pending = static_cast<int>(changes.size() + context->joined.size()) + 1;
    auto ended = [group](bool finished) {
        group->finished = group->finished && finished;
        if (--group->pending == 0)
            AnimationGroup::deliver(group);
    };
    for (auto& joined : context->joined) {
        if (joined->done)
            ended(joined->finished);
        else
            joined->ended = ended;
    }
    double begin = context->delay > 0 ? CACurrentMediaTime() + context->delay : 0;
    for (auto& [view, key] : changes) {
        auto animation = CABasicAnimation::animationWithKeyPath(key);
        animation->setDuration(context->duration);
        animation->setBeginTime(begin);
        animation->setTimingFunction(curveName(context->curve));
        animation->setCompletion(ended);
        view->layer()->addAnimation(animation, key);
    }
    ended(true);
}

} // namespace

// MARK: Animations

void UIView::recordAnimatedChange(const char* key)
{
    if (s_animationStack.empty() || !s_animationsEnabled || s_withoutAnimationDepth > 0)
        return;
    auto& context = *s_animationStack.back();
    if (context.duration <= 0)
        return;
    Weak<UIView> weak = std::static_pointer_cast<UIView>(shared_from_this());
    for (auto& [view, k] : context.changes) {
        if (k == key && view.lock().get() == this)
            return;
    }
    context.changes.emplace_back(weak, key);
}

void UIView::animateWithDuration(double duration, AnimationBlock animations, CompletionBlock completion)
{
    animateWithDurationDelayOptions(
        duration, 0, UIViewAnimationOptionCurveEaseInOut, std::move(animations), std::move(completion));
}

void UIView::animateWithDurationDelayOptions(double duration, double delay, UIViewAnimationOptions options,
    AnimationBlock animations, CompletionBlock completion)
{
    assertIsMainThread();
    auto context = std::make_unique<AnimationContext>();
    context->duration = duration;
    context->delay = delay;
    context->curve = static_cast<UIViewAnimationCurve>((options >> 16) & 0xf);
    context->completion = std::move(completion);
    s_animationStack.push_back(std::move(context));
    if (animations)
        animations();
    auto done = std::move(s_animationStack.back());
    s_animationStack.pop_back();
    commitContext(std::move(done));
}

void UIView::transitionWithViewDurationOptions(const Ref<UIView>&, double duration, UIViewAnimationOptions options,
    AnimationBlock animations, CompletionBlock completion)
{
    assertIsMainThread();
    // The transition itself is not drawn; its timing and completion are kept.
    animateWithDurationDelayOptions(duration, 0, options, std::move(animations), nullptr);
    if (!completion)
        return;
    if (duration <= 0 || !s_animationsEnabled) {
        runOnNextPass([completion] { completion(true); });
        return;
    }
    NSRunLoop::mainRunLoop()->addDelayedPerform(
        nullptr, "UIViewTransition", [completion] { completion(true); }, duration, { NSRunLoopCommonModes });
}

void UIView::performWithoutAnimation(const AnimationBlock& actions)
{
    assertIsMainThread();
    ++s_withoutAnimationDepth;
    if (actions)
        actions();
    --s_withoutAnimationDepth;
}

void UIView::setAnimationsEnabled(bool enabled)
{
    assertIsMainThread();
    s_animationsEnabled = enabled;
}
bool UIView::areAnimationsEnabled()
{
    return s_animationsEnabled;
}

void UIView::beginAnimations(const std::string& animationID, void* context)
{
    assertIsMainThread();
    auto c = std::make_unique<AnimationContext>();
    c->animationID = animationID;
    c->context = context;
    s_animationStack.push_back(std::move(c));
}

void UIView::commitAnimations()
{
    assertIsMainThread();
    if (s_animationStack.empty())
        return;
    auto done = std::move(s_animationStack.back());
    s_animationStack.pop_back();
    commitContext(std::move(done));
}

void UIView::setAnimationDuration(double duration)
{
    if (!s_animationStack.empty())
        s_animationStack.back()->duration = duration;
}

void UIView::setAnimationDelay(double delay)
{
    if (!s_animationStack.empty())
        s_animationStack.back()->delay = delay;
}

void UIView::setAnimationCurve(UIViewAnimationCurve curve)
{
    if (!s_animationStack.empty())
        s_animationStack.back()->curve = curve;
}

void UIView::setAnimationBeginsFromCurrentState(bool) { }

void UIView::setAnimationDidStop(AnimationDidStop callback)
{
    if (!s_animationStack.empty())
        s_animationStack.back()->didStop = std::move(callback);
}

std::optional<UIView::AnimationTiming> UIView::currentAnimationTiming()
{
    if (s_animationStack.empty() || !s_animationsEnabled || s_withoutAnimationDepth > 0)
        return std::nullopt;
    const auto& context = *s_animationStack.back();
    if (context.duration <= 0)
        return std::nullopt;
    return AnimationTiming { context.duration, context.delay, context.curve };
}

std::function<void(bool finished)> UIView::joinCurrentAnimation()
{
    if (s_animationStack.empty())
        return [](bool) {};
    auto joined = std::make_shared<AnimationContext::Joined>();
    s_animationStack.back()->joined.push_back(joined);
    return [joined](bool finished) {
        if (joined->done)
            return;
        joined->done = true;
        joined->finished = finished;
        if (auto ended = std::move(joined->ended))
            ended(finished);
    };
}

void UIView::resetAnimationsForTesting()
{
    s_animationStack.clear();
    s_animationsEnabled = true;
    s_withoutAnimationDepth = 0;
}
